// The working window driven as a user drives it: start-up, a whole day, the keys, refusals and
// failures, each seen in the widgets, the dialogs, the file and the store.
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include "app/value_field.h"
#include "form_fixture.h"

namespace horalog::testing {
namespace {

class WindowTest : public FormTest {
protected:
    QLineEdit* komme() { return child<QLineEdit>("Komme_Text"); }
    QLineEdit* gaa() { return child<QLineEdit>("Gaa_Text"); }
    void click() { child<QPushButton>("Registrer_Command")->click(); }
    void tick() { ASSERT_FALSE(ends(&Flex_Form::Udregn_Timer_Timer)); }
    QColor kommeColour() { return komme()->palette().color(QPalette::Base); }
};

TEST_F(WindowTest, FirstStartAsksWhereAndCreatesTheFile) {
    platform.answerMessage(MessageAnswer::Ok);
    platform.answerInput(QStringLiteral("150"));
    ASSERT_TRUE(startForm());
    EXPECT_EQ(platform.shown.at(0).title, QStringLiteral("Horalog.dat filnavn"));
    EXPECT_TRUE(platform.shown[0].text.endsWith(QStringLiteral("'Opsætninger - Filnavn'")));
    EXPECT_FALSE(platform.shown[0].windowVisible);
    EXPECT_EQ(platform.shown.at(1).title, QStringLiteral("Opstart Horalog"));
    EXPECT_TRUE(platform.shown[1].windowVisible);
    EXPECT_EQ(readBytes(file), QByteArray("dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n"
                                          "05-12-2026;0;-;-;-;0;150\r\n"));
    EXPECT_EQ(userValue("Filnavn"), file.toStdString());
    EXPECT_EQ(text("Total_CT"), QStringLiteral("150 ct "));
    EXPECT_EQ(komme()->text(), QStringLiteral("07:00"));  // the system started an hour ago
}

// A screen reader says "Flex total: 60 ct", not "60 ct"; a caption's access key leads to its field.
TEST_F(WindowTest, FieldsAreNamedByTheirCaptions) {
    startExistingUser("x;0;-;-;-;0;60\r\n");
    const char* cases[][2] = {{"Komme_Text", "Komme tid"},
                              {"Gaa_Text", "Gå tid"},
                              {"Idag_CT", "Tid idag"},
                              {"Idag_TM", "Timer/minutter"},
                              {"Periode_CT", "Tid denne periode"},
                              {"Periode_Diff", "+/- for periode"},
                              {"Total_CT", "Flex total"}};
    for (const auto& [name, caption] : cases) {
        QAccessibleInterface* field = QAccessible::queryAccessibleInterface(child<QWidget>(name));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text(QAccessible::Name), QString::fromUtf8(caption)) << name;
    }
    EXPECT_EQ(child<QLabel>("Komme_Label")->buddy(), komme());
    EXPECT_EQ(child<QLabel>("Gaa_Label")->buddy(), gaa());
}

TEST_F(WindowTest, DateFormatRefusedEndsBeforeAnythingIsTouched) {
    platform.datePattern = QStringLiteral("MM/dd/yyyy");
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_FALSE(startForm());
    EXPECT_EQ(platform.endedWith, 1);
    EXPECT_EQ(platform.shown.at(0).icon, MessageIcon::Critical);
    EXPECT_TRUE(platform.shown[0].text.startsWith(QStringLiteral("Ulovlig dato-format: MM/dd")));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(paths.user)));
}

TEST_F(WindowTest, FullDay) {
    startExistingUser("h\r\nx;0;-;-;-;0;0\r\n");
    komme()->setText(QStringLiteral("08:00"));
    click();
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Komme tidspunkt 08:00 (800 ct) registreret"));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");
    EXPECT_EQ(kommeColour(), QColor(0, 255, 0));
    at(16, 30);
    tick();
    EXPECT_EQ(text("Status_Label"), QString());
    EXPECT_EQ(gaa()->selectedText(), QStringLiteral("16:30"));
    EXPECT_EQ(text("Idag_TM"), QStringLiteral("08:00 "));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Horalogs registrering - 800 ct "));
    click();
    EXPECT_EQ(readBytes(file),
              QByteArray("h\r\nx;0;-;-;-;0;0\r\n05-12-2026;1;08:00;16:30;800;800;60;\r\n"));
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Arbejdstid idag: 08:00  (800 ct)"));
    EXPECT_EQ(userValue("Moedt"), " ");
    EXPECT_EQ(komme()->text() + gaa()->text() + text("Idag_CT"), QString());
    EXPECT_EQ(kommeColour(), QColor(255, 255, 255));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Horalogs registrering"));
    EXPECT_EQ(text("Periode_Diff") + text("Total_CT"), QStringLiteral("60 ct 60 ct "));
}

// Today's arrival reopens the day; another day's is offered, and "Nej" leaves no day open.
TEST_F(WindowTest, StoredArrivalAtStart) {
    const struct {
        const char* moedt;
        std::optional<MessageAnswer> answer;
        const char* komme;
        const char* idag;
    } cases[] = {{"05-12-2026 08:15", std::nullopt, "08:15", "175 ct "},
                 {"04-12-2026 08:15", MessageAnswer::Yes, "08:15", "175 ct "},
                 {"04-12-2026 08:15", MessageAnswer::No, "08:00", ""},
                 {" ", std::nullopt, "08:00", ""}};
    for (const auto& c : cases) {
        fresh();
        at(10, 0);
        platform.uptimeMs = 2 * 3600 * 1000;
        if (c.answer) {
            platform.answerMessage(*c.answer);
        }
        startExistingUser("x;0;-;-;-;0;0\r\n", c.moedt);
        EXPECT_EQ(komme()->text(), QLatin1String(c.komme)) << c.moedt;
        EXPECT_EQ(text("Idag_CT"), QLatin1String(c.idag)) << c.moedt;
        EXPECT_EQ(userValue("Moedt"), c.moedt);  // untouched until the next arrival
        EXPECT_EQ(platform.shown.size(), c.answer ? 1u : 0u);
    }
}

// The timer once ran during this question: a tick filled in a departure and "Tid idag" for a day
// the answer then left closed.
TEST_F(WindowTest, NoTickWhileTheStartupQuestionStands) {
    at(10, 0);
    platform.answerMessage(MessageAnswer::No, [this] {
        auto* timer = form().findChild<QTimer*>(QStringLiteral("Udregn_Timer"));
        if (timer->isActive()) {
            QTest::qWait(timer->interval() + 200);
        }
    });
    startExistingUser("x;0;-;-;-;0;0\r\n", "04-12-2026 08:15");
    EXPECT_EQ(gaa()->text() + text("Idag_CT"), QString());
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Horalogs registrering"));
}

TEST_F(WindowTest, RefusedTimeAndFailedWrite) {
    const QString folder = dir->path() + QStringLiteral("/data");
    QDir().mkpath(folder);
    file = folder + QStringLiteral("/Horalog.Dat");
    startExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    gaa()->setText(QStringLiteral("99999999999"));
    platform.answerMessage(MessageAnswer::Ok);
    click();
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Tiden \"99999999999\" kan ikke anvendes, fordi tallet er for stort."
                             "\r\n\r\nIntet er ændret."));
    gaa()->setText(QStringLiteral("9999:00"));  // too long for the file's column
    platform.answerMessage(MessageAnswer::Ok);
    click();
    EXPECT_TRUE(
        platform.shown.back().text.startsWith(QStringLiteral("Dagen kan ikke registreres")));
    EXPECT_EQ(readBytes(file), QByteArray("x;0;-;-;-;0;0\r\n"));

    QDir(folder).removeRecursively();
    gaa()->setText(QStringLiteral("16:00"));
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_TRUE(ends(&Flex_Form::Registrer_Command_Click));
    EXPECT_EQ(platform.endedWith, 1);
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("Fejl under oprettelse af fil"));
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Fejl under skrivning til filen: ") + file +
                  QStringLiteral("\r\nFejl: No such file or directory\r\n"
                                 "Programmet kan ikke fortsætte før fejlen er rettet."));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");  // the day is offered again
}

TEST_F(WindowTest, DepartureFieldAndKeys) {
    startExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    QApplication::setActiveWindow(&form());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    for (const char* next : {"Registrer_Command", "Komme_Text", "Gaa_Text"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(next));
    }
    QTest::keyClick(gaa(), Qt::Key_K, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), komme());
    gaa()->setText(QStringLiteral("15:00"));
    EXPECT_EQ(text("Idag_CT"), QString());  // a typed change clears the figures
    at(16, 0);
    tick();
    EXPECT_EQ(gaa()->text(), QStringLiteral("15:00"));  // typed: the clock leaves it
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("650 ct "));
    gaa()->setText(QStringLiteral("16:30"));
    QTest::keyClick(komme(), Qt::Key_Return, Qt::ShiftModifier);  // with a modifier: nothing
    EXPECT_EQ(text("Idag_CT"), QString());
    QTest::keyClick(komme(), Qt::Key_Return);  // Enter counts wherever the focus is
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("800 ct "));
    gaa()->setText(QStringLiteral("00:30"));
    ASSERT_FALSE(ends(&Flex_Form::Gaa_Text_LostFocus));
    EXPECT_EQ(text("Idag_CT"), QString());
    gaa()->clear();
    tick();
    EXPECT_EQ(gaa()->text(), QStringLiteral("16:00"));
    form().Form_KeyDown(115, 5);  // Alt with Shift as well is not Alt+F4
    EXPECT_THROW(form().Form_KeyDown(115, 4), ProgramEnded);
    EXPECT_EQ(platform.endedWith, 0);
}

// Without a tray the window stays minimised with its taskbar entry; a panel started after the
// program is used at the next minimising.
TEST_F(WindowTest, MinimisingUsesATrayWhenThereIsOne) {
    startExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    form().showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(form().findChild<QSystemTrayIcon*>(), nullptr);
    platform.tray = true;
    form().showNormal();
    form().showMinimized();
    QApplication::processEvents();
    auto* tray = form().findChild<QSystemTrayIcon*>(QStringLiteral("Tray_Icon"));
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(tray->isVisible());
    EXPECT_EQ(tray->toolTip(), form().windowTitle());
    EXPECT_FALSE(form().isVisible());
    form().run(&Flex_Form::Tray_Click);
    EXPECT_TRUE(form().isVisible() && !form().isMinimized());
    EXPECT_FALSE(tray->isVisible());
}

// At the desktop's fonts the fields are narrower than their widest figures; the figure is set
// smaller rather than losing its minus sign.
TEST_F(WindowTest, ValueFieldsShowTheirWholeText) {
    startExistingUser("x;32767;-;-;-;-2147483648;-2147483648\r\n");
    EXPECT_EQ(text("Total_CT"), QStringLiteral("-2147483648 ct "));
    EXPECT_EQ(form().centralWidget()->size(), QSize(394, 194));
    for (const char* name : {"Idag_CT", "Idag_TM", "Periode_CT", "Periode_Diff", "Total_CT"}) {
        auto* field = child<QLabel>(name);
        for (const QString& t : {QStringLiteral("-2147483648 ct "), QStringLiteral("-21474836:28 "),
                                 text("Periode_Diff")}) {
            showValue(field, t);
            EXPECT_EQ(field->text(), t);
            EXPECT_LE(QFontMetricsF(field->font()).horizontalAdvance(t), valueRoom(field))
                << name << " " << t.toStdString();
        }
        showValue(field, QStringLiteral("5 ct "));  // fits: back at the field's own size
        EXPECT_DOUBLE_EQ(field->font().pointSizeF(), 9.75) << name;
    }
}

}  // namespace
}  // namespace horalog::testing
