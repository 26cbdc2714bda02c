// Keyboard, About, tray and the ways the program ends, with real key events where the
// offscreen platform delivers them.
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include "form_fixture.h"
#include "platform/qt_platform.h"

namespace horalog::testing {
namespace {

class WindowKeysTest : public FormTest {
protected:
    void startActive(const std::string& moedt = " ") {
        seedExistingUser("x;0;-;-;-;0;0\r\n", moedt);
        ASSERT_TRUE(startForm());
        QApplication::setActiveWindow(&form());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    }
    QWidget* focused() { return QApplication::focusWidget(); }
    QLineEdit* komme() { return child<QLineEdit>("Komme_Text"); }
    QLineEdit* gaa() { return child<QLineEdit>("Gaa_Text"); }
};

TEST_F(WindowKeysTest, TabOrderAndAccessKeys) {
    startActive();
    EXPECT_EQ(focused(), komme());
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), gaa());
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), child<QPushButton>("Registrer_Command"));
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), komme());

    QTest::keyClick(focused(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(focused(), gaa());
    QTest::keyClick(focused(), Qt::Key_K, Qt::AltModifier);
    EXPECT_EQ(focused(), komme());

    komme()->setText(QStringLiteral("07:30"));
    EXPECT_EQ(child<QPushButton>("Registrer_Command")->shortcut(),
              QKeySequence(QStringLiteral("Alt+R")));
    QTest::keyClick(focused(), Qt::Key_R, Qt::AltModifier);  // presses the button, animated
    QTest::qWait(300);
    EXPECT_TRUE(probe().Komme_Registreret());
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Komme tidspunkt 07:30 (750 ct) registreret"));
    EXPECT_EQ(focused(), gaa());
}

TEST_F(WindowKeysTest, FocusFillsAndSelects) {
    startActive();
    komme()->clear();
    platform.now.setTime(QTime(7, 45, 10));
    QTest::keyClick(focused(), Qt::Key_Tab);
    QTest::keyClick(focused(), Qt::Key_Tab);
    QTest::keyClick(focused(), Qt::Key_Tab);  // back into the empty arrival field
    EXPECT_EQ(komme()->text(), QStringLiteral("07:45"));
    EXPECT_EQ(komme()->selectedText(), QStringLiteral("07:45"));
}

TEST_F(WindowKeysTest, EnterRecalculatesWhereverTheFocusIs) {
    startActive("05-12-2026 08:00");
    gaa()->setText(QStringLiteral("16:30"));
    EXPECT_EQ(text("Idag_CT"), QString());
    komme()->setFocus();
    QTest::keyClick(komme(), Qt::Key_Return);
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("800 ct "));
    EXPECT_EQ(focused(), komme());

    gaa()->setText(QStringLiteral("16:00"));
    QTest::keyClick(komme(), Qt::Key_Return, Qt::ShiftModifier);  // with a modifier: nothing
    EXPECT_EQ(text("Idag_CT"), QString());
}

TEST_F(WindowKeysTest, AltF4AndAfsluttEndTheProgram) {
    startActive();
    EXPECT_TRUE(ends(&Flex_Form::Afslut_Menu_Click));
    EXPECT_EQ(platform.endedWith, 0);
    platform.endedWith.reset();
    try {
        form().Form_KeyDown(115, 4);
    } catch (const ProgramEnded& e) {
        EXPECT_EQ(e.status, 0);
    }
    EXPECT_EQ(platform.endedWith, 0);
    // Alt with Shift as well is not Alt+F4.
    platform.endedWith.reset();
    form().Form_KeyDown(115, 5);
    EXPECT_FALSE(platform.endedWith.has_value());
}

TEST_F(WindowKeysTest, AboutBox) {
    startActive();
    platform.answerMessage(MessageAnswer::Ok);
    ASSERT_FALSE(ends(&Flex_Form::Om_Menu_Click));
    const ShownDialog& d = platform.shown.back();
    EXPECT_EQ(d.title, QStringLiteral("Om Horalogs registrering"));
    EXPECT_EQ(d.icon, MessageIcon::Information);
    EXPECT_EQ(d.buttons, MessageButtons::Ok);
    const QStringList lines = d.text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("Horalogs registrering, Version 1.7.0"));
    EXPECT_EQ(lines[1],
              QStringLiteral("Registrer og udregner horalog udfra komme & gå tidspunkt."));
    EXPECT_EQ(lines[2], QString());
    EXPECT_FALSE(lines[3].isEmpty());
}

TEST_F(WindowKeysTest, WindowAndMenus) {
    startActive();
    EXPECT_EQ(form().centralWidget()->size(), QSize(394, 194));
    EXPECT_EQ(form().minimumSize(), form().maximumSize());  // fixed size
    EXPECT_FALSE(form().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    auto* func = child<QMenu>("Func_Menu");
    auto* opsaet = child<QMenu>("Opsaet_Menu");
    QStringList captions;
    for (QMenu* menu : {func, opsaet}) {
        captions << menu->title();
        for (QAction* a : menu->actions()) {
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
    }
    EXPECT_EQ(
        captions,
        (QStringList{QStringLiteral("&Funktioner"), QStringLiteral("Angiv a&fspadsering"),
                     QStringLiteral("&Nulstil flex periode"), QStringLiteral("-"),
                     QStringLiteral("&Om Horalog"), QStringLiteral("-"), QStringLiteral("&Afslut"),
                     QStringLiteral("&Opsætninger"), QStringLiteral("&Arbejdstid  (7.4 timer)"),
                     QStringLiteral("&Medregn frokost efter 4 timer"),
                     QStringLiteral("&Filnavn  (") + file + QLatin1Char(')')}));
    EXPECT_TRUE(opsaet->actions().at(1)->isChecked());
}

TEST_F(WindowKeysTest, MinimisingWithoutATrayKeepsTheWindowMinimised) {
    startActive("05-12-2026 08:00");
    EXPECT_TRUE(probe().trayFilled());
    EXPECT_EQ(probe().trayTip(), form().windowTitle());
    form().showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(form().isMinimized());
    EXPECT_TRUE(form().isVisible());  // no tray here, so the taskbar entry stays
    form().run(&Flex_Form::Tray_Click);
    EXPECT_FALSE(form().isMinimized());
}

// A panel started after the program is used at the next minimising.
TEST_F(WindowKeysTest, TrayLookedForWhenMinimising) {
    startActive("05-12-2026 08:00");
    EXPECT_EQ(form().findChild<QSystemTrayIcon*>(), nullptr);
    platform.tray = true;
    form().showMinimized();
    QApplication::processEvents();
    auto* tray = form().findChild<QSystemTrayIcon*>(QStringLiteral("Tray_Icon"));
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(tray->isVisible());
    EXPECT_EQ(tray->toolTip(), form().windowTitle());
    EXPECT_FALSE(form().isVisible());
    form().run(&Flex_Form::Tray_Click);
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(tray->isVisible());
}

// The real Qt dialogs, answered by a timer that fires once the dialog runs.
TEST(QtPlatformDialogs, MessageAndInputBoxes) {
    QtPlatform platform(QLocale::c());
    QString seenText;
    QStringList seenButtons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        for (QAbstractButton* b : box->buttons()) {
            seenButtons << b->text();
        }
        EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("Ja"));
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        box->buttons().at(1)->click();  // Nej
    });
    EXPECT_EQ(platform.messageBox(nullptr, QStringLiteral("a\r\nb"), QStringLiteral("t"),
                                  MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes),
              MessageAnswer::No);
    EXPECT_EQ(seenText, QStringLiteral("a\nb"));
    EXPECT_EQ(seenButtons, (QStringList{QStringLiteral("Ja"), QStringLiteral("Nej")}));

    for (const bool accept : {true, false}) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->textValue(), QStringLiteral("0"));
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Opstart Horalog"));
            EXPECT_EQ(dialog->cancelButtonText(), QStringLiteral("Annuller"));
            dialog->setTextValue(QStringLiteral("150"));
            accept ? dialog->accept() : dialog->reject();
        });
        EXPECT_EQ(platform.inputBox(nullptr, QStringLiteral("p"), QStringLiteral("Opstart Horalog"),
                                    QStringLiteral("0")),
                  accept ? QStringLiteral("150") : QString());
    }
}

TEST(QtPlatformLocale, WithoutAUserLocaleDanishConventions) {
    QtPlatform c(QLocale::c());
    EXPECT_EQ(c.shortDatePattern(), QStringLiteral("dd-MM-yyyy"));
    EXPECT_EQ(c.decimalSeparator(), QLatin1Char(','));
    EXPECT_EQ(c.timeWithSeconds(QTime(8, 5, 30)), QStringLiteral("08:05:30"));
    QtPlatform danish(QLocale(QLocale::Danish, QLocale::Denmark));
    EXPECT_TRUE(danish.shortDatePattern().startsWith(QStringLiteral("dd")));
    EXPECT_EQ(danish.decimalSeparator(), QLatin1Char(','));
    QtPlatform english(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(english.decimalSeparator(), QLatin1Char('.'));
    EXPECT_GT(c.millisecondsSinceStart(), 0);
}

}  // namespace
}  // namespace horalog::testing
