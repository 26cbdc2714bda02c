// Keyboard, About, tray and the ways the program ends, with real key events where the
// offscreen platform delivers them.
#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
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

class DesktopTest : public FormTest {
protected:
    void startActive(const std::string& moedt = " ") {
        startExistingUser("x;0;-;-;-;0;0\r\n", moedt);
        QApplication::setActiveWindow(&form());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    }
    QWidget* focused() { return QApplication::focusWidget(); }
    QLineEdit* komme() { return child<QLineEdit>("Komme_Text"); }
    QLineEdit* gaa() { return child<QLineEdit>("Gaa_Text"); }
};

TEST_F(DesktopTest, TabOrderAndAccessKeys) {
    startActive();
    EXPECT_EQ(focused(), komme());
    for (const char* next : {"Gaa_Text", "Registrer_Command", "Komme_Text"}) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        EXPECT_EQ(focused()->objectName(), QLatin1String(next));
    }
    QTest::keyClick(focused(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(focused(), gaa());
    QTest::keyClick(focused(), Qt::Key_K, Qt::AltModifier);
    EXPECT_EQ(focused(), komme());
    EXPECT_EQ(komme()->selectedText(), komme()->text());

    komme()->setText(QStringLiteral("07:30"));
    QTest::keyClick(focused(), Qt::Key_R, Qt::AltModifier);  // presses the button, animated
    QTest::qWait(300);
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Komme tidspunkt 07:30 (750 ct) registreret"));
    EXPECT_EQ(focused(), gaa());
}

TEST_F(DesktopTest, EnterRecalculatesAndAltF4Ends) {
    startActive("05-12-2026 08:00");
    komme()->setFocus();
    gaa()->setText(QStringLiteral("16:30"));
    QTest::keyClick(komme(), Qt::Key_Return, Qt::ShiftModifier);  // with a modifier: nothing
    EXPECT_EQ(text("Idag_CT"), QString());
    QTest::keyClick(komme(), Qt::Key_Return);
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("800 ct "));
    EXPECT_EQ(focused(), komme());
    form().Form_KeyDown(115, 5);  // Alt with Shift as well is not Alt+F4
    EXPECT_FALSE(platform.endedWith.has_value());
    EXPECT_THROW(form().Form_KeyDown(115, 4), ProgramEnded);
    EXPECT_EQ(platform.endedWith, 0);
}

TEST_F(DesktopTest, AboutBox) {
    startActive();
    platform.answerMessage(MessageAnswer::Ok);
    ASSERT_FALSE(ends(&Flex_Form::Om_Menu_Click));
    const ShownDialog& d = platform.shown.back();
    EXPECT_EQ(d.title, QStringLiteral("Om Horalogs registrering"));
    EXPECT_EQ(d.icon, MessageIcon::Information);
    EXPECT_TRUE(d.text.startsWith(
        QStringLiteral("Horalogs registrering, Version 1.7.0\r\nRegistrer og udregner horalog "
                       "udfra komme & gå tidspunkt.\r\n\r\n")));
}

TEST_F(DesktopTest, WindowAndMenus) {
    startActive();
    EXPECT_EQ(form().centralWidget()->size(), QSize(394, 194));
    EXPECT_EQ(form().minimumSize(), form().maximumSize());  // fixed size
    EXPECT_FALSE(form().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QStringList captions;
    for (QMenu* menu : {child<QMenu>("Func_Menu"), child<QMenu>("Opsaet_Menu")}) {
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
    const QRect kommeRect = komme()->geometry();
    EXPECT_EQ(kommeRect, QRect(144, 4, 65, 27));
    EXPECT_EQ(child<QLabel>("Total_CT")->geometry(), QRect(144, 132, 65, 25));
    EXPECT_EQ(child<QLabel>("Idag_CT")->toolTip(),
              QStringLiteral("tid fra registreret komme tidspunkt til \"Gå tid\" i centitimer"));
}

// Without a tray the window stays minimised with its taskbar entry; a panel started after the
// program is used at the next minimising.
TEST_F(DesktopTest, MinimisingUsesATrayWhenThereIsOne) {
    startActive("05-12-2026 08:00");
    form().showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(form().findChild<QSystemTrayIcon*>(), nullptr);
    form().run(&Flex_Form::Tray_Click);
    EXPECT_FALSE(form().isMinimized());

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

// The real dialog: Danish texts from Qt's translation, the filters as given, and a name in a
// folder that does not exist refused by the dialog itself.
TEST(QtPlatformFileDialog, AcceptsANewNameOnlyInAnExistingFolder) {
    ASSERT_TRUE(installDanishQtTranslation());
    QTemporaryDir folder;
    QtPlatform platform(QLocale::c());
    const QString wanted = folder.filePath(QStringLiteral("ny.dat"));
    QString title;
    QStringList buttons;
    QStringList filters;
    QString refusal;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        for (const QPushButton* b : dialog->findChildren<QPushButton*>()) {
            if (b->isVisible()) {
                buttons << b->text();
            }
        }
        EXPECT_EQ(dialog->directory().absolutePath(), folder.path());
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            refusal = box->text();
            box->accept();
        });
        dialog->selectFile(folder.filePath(QStringLiteral("mangler/ny.dat")));
        QMetaObject::invokeMethod(dialog, "accept");
        EXPECT_TRUE(dialog->isVisible());
        dialog->selectFile(wanted);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    FileDialogRequest request{
        QStringLiteral("Indtast navnet"),
        folder.path(),
        QStringLiteral("Horalog.Dat"),
        {QStringLiteral("Dat fil (*.Dat)|*.dat"), QStringLiteral("Alle filer (*.*)|*.*")}};
    EXPECT_EQ(platform.chooseFile(nullptr, request), wanted);
    EXPECT_EQ(title, QStringLiteral("Indtast navnet"));
    EXPECT_EQ(filters,
              (QStringList{QStringLiteral("Dat fil (*.Dat)"), QStringLiteral("Alle filer (*.*)")}));
    EXPECT_TRUE(buttons.contains(QStringLiteral("&Gem"))) << buttons.join(u',').toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Annuller"))) << buttons.join(u',').toStdString();
    EXPECT_EQ(refusal, QStringLiteral("Mappen \"") + folder.path() +
                           QStringLiteral("/mangler\" findes ikke."));
}

}  // namespace
}  // namespace horalog::testing
