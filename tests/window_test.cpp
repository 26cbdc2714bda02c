// The working window driven as a user drives it: start-up, a whole day, restarts, refusals and
// failures, each seen in the widgets, the dialogs, the file and the store.
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/value_field.h"
#include "form_fixture.h"

namespace horalog::testing {
namespace {

const QString kCaption = QStringLiteral("Horalogs registrering");

class WindowTest : public FormTest {
protected:
    QLineEdit* komme() { return child<QLineEdit>("Komme_Text"); }
    QLineEdit* gaa() { return child<QLineEdit>("Gaa_Text"); }
    void click() { child<QPushButton>("Registrer_Command")->click(); }
    QColor kommeColour() { return komme()->palette().color(QPalette::Base); }
    void tick() { ASSERT_FALSE(ends(&Flex_Form::Udregn_Timer_Timer)); }
};

TEST_F(WindowTest, FirstStartAsksWhereAndCreatesTheFile) {
    platform.answerMessage(MessageAnswer::Ok);
    platform.answerInput(QStringLiteral("150"));
    ASSERT_TRUE(startForm());
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Horalog.dat filnavn"));
    EXPECT_EQ(platform.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(platform.shown[0].text.endsWith(QStringLiteral("'Opsætninger - Filnavn'")));
    EXPECT_FALSE(platform.shown[0].windowVisible);
    EXPECT_EQ(platform.shown[1].title, QStringLiteral("Opstart Horalog"));
    EXPECT_EQ(platform.shown[1].defaultText, QStringLiteral("0"));
    EXPECT_TRUE(platform.shown[1].windowVisible);
    EXPECT_EQ(readBytes(file), QByteArray("dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n"
                                          "05-12-2026;0;-;-;-;0;150\r\n"));
    EXPECT_EQ(userValue("Filnavn"), file.toStdString());
    EXPECT_EQ(userValue("Arbejdstimer"), "7.4");
    EXPECT_EQ(text("Total_CT"), QStringLiteral("150 ct "));
    EXPECT_EQ(text("Periode_Diff"), QStringLiteral("0 ct "));
    EXPECT_EQ(komme()->text(), QStringLiteral("07:00"));  // the system started an hour ago
}

TEST_F(WindowTest, MachineWideSettingsAreTakenOver) {
    seedKey(
        true,
        {{"Arbejdstimer", "7.25"}, {"FrokostVarighed", "40000"}, {"Filnavn", file.toStdString()}});
    writeBytes(file, QByteArray());
    platform.answerMessage(MessageAnswer::Ok);  // the refused lunch value
    ASSERT_TRUE(startForm());
    EXPECT_EQ(platform.shown.at(0).icon, MessageIcon::Exclamation);
    EXPECT_EQ(userValue("Arbejdstimer"), "7.25");
    EXPECT_EQ(userValue("FrokostVarighed"), "50");
    EXPECT_EQ(text("Arbejds_Menu"), QStringLiteral("&Arbejdstid  (7.25 timer)"));
}

TEST_F(WindowTest, DateFormatRefusedEndsBeforeAnythingIsTouched) {
    platform.datePattern = QStringLiteral("MM/dd/yyyy");
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_FALSE(startForm());
    EXPECT_EQ(platform.endedWith, 1);
    EXPECT_EQ(platform.shown.at(0).title, QStringLiteral("Fejl i dato format"));
    EXPECT_EQ(platform.shown.at(0).icon, MessageIcon::Critical);
    EXPECT_TRUE(platform.shown.at(0).text.startsWith(
        QStringLiteral("Ulovlig dato-format: MM/dd/yyyy\r\nDer skal")));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(paths.user)));
    EXPECT_FALSE(QFile::exists(file));
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
    EXPECT_EQ(gaa()->text(), QStringLiteral("16:30"));
    EXPECT_EQ(gaa()->selectedText(), QStringLiteral("16:30"));
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("800 ct "));
    EXPECT_EQ(text("Idag_TM"), QStringLiteral("08:00 "));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Horalogs registrering - 800 ct "));

    click();
    EXPECT_EQ(readBytes(file),
              QByteArray("h\r\nx;0;-;-;-;0;0\r\n05-12-2026;1;08:00;16:30;800;800;60;\r\n"));
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Arbejdstid idag: 08:00  (800 ct)"));
    EXPECT_EQ(userValue("Moedt"), " ");
    EXPECT_EQ(komme()->text(), QString());
    EXPECT_EQ(gaa()->text(), QString());
    EXPECT_EQ(kommeColour(), QColor(255, 255, 255));
    EXPECT_EQ(form().windowTitle(), kCaption);
    EXPECT_EQ(text("Idag_CT"), QString());
    EXPECT_EQ(text("Periode_CT"), QStringLiteral("800 ct "));
    EXPECT_EQ(text("Periode_Diff"), QStringLiteral("60 ct "));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("60 ct "));
    EXPECT_TRUE(platform.shown.empty());
}

// Today's arrival reopens the day; another day's is offered, and "Nej" leaves no day open.
TEST_F(WindowTest, StoredArrivalAtStart) {
    const struct {
        const char* moedt;
        std::optional<MessageAnswer> answer;
        const char* komme;
        const char* idag;
    } cases[] = {
        {"05-12-2026 08:15", std::nullopt, "08:15", "175 ct "},
        {"04-12-2026 08:15", MessageAnswer::Yes, "08:15", "175 ct "},
        {"04-12-2026 08:15", MessageAnswer::No, "08:00", ""},
        {" ", std::nullopt, "08:00", ""},
    };
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
        EXPECT_EQ(gaa()->text(), c.idag[0] != '\0' ? QStringLiteral("10:00") : QString());
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
    EXPECT_EQ(gaa()->text(), QString());
    EXPECT_EQ(text("Idag_CT"), QString());
    EXPECT_EQ(form().windowTitle(), kCaption);
    EXPECT_TRUE(form().findChild<QTimer*>(QStringLiteral("Udregn_Timer"))->isActive());
}

TEST_F(WindowTest, RefusedInputChangesNothing) {
    startExistingUser("x;0;-;-;-;0;0\r\n");
    komme()->setText(QStringLiteral("99999999999"));
    platform.answerMessage(MessageAnswer::Ok);
    click();
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Tiden \"99999999999\" kan ikke anvendes, fordi tallet er for stort."
                             "\r\n\r\nIntet er ændret."));
    EXPECT_EQ(userValue("Moedt"), " ");
    // A day too long for the file's worked-time column.
    komme()->setText(QStringLiteral("00:00"));
    click();
    gaa()->setText(QStringLiteral("9999:00"));
    platform.answerMessage(MessageAnswer::Ok);
    click();
    EXPECT_TRUE(
        platform.shown.back().text.startsWith(QStringLiteral("Dagen kan ikke registreres")));
    EXPECT_EQ(readBytes(file), QByteArray("x;0;-;-;-;0;0\r\n"));
}

TEST_F(WindowTest, WriteFailureAtDepartureKeepsTheOpenDay) {
    const QString folder = dir->path() + QStringLiteral("/data");
    QDir().mkpath(folder);
    file = folder + QStringLiteral("/Horalog.Dat");
    startExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    QDir(folder).removeRecursively();
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_TRUE(ends(&Flex_Form::Registrer_Command_Click));
    EXPECT_EQ(platform.endedWith, 1);
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("Fejl under oprettelse af fil"));
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Fejl under skrivning til filen: ") + file +
                  QStringLiteral("\r\nFejl: No such file or directory\r\n"
                                 "Programmet kan ikke fortsætte før fejlen er rettet."));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");
}

TEST_F(WindowTest, DepartureFollowsTheClockUntilTyped) {
    startExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    gaa()->setText(QStringLiteral("15:00"));
    EXPECT_EQ(text("Idag_CT"), QString());  // a change clears the figures
    at(16, 0);
    tick();
    EXPECT_EQ(gaa()->text(), QStringLiteral("15:00"));
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("650 ct "));
    gaa()->clear();
    tick();
    EXPECT_EQ(gaa()->text(), QStringLiteral("16:00"));
    gaa()->setText(QStringLiteral("00:30"));
    ASSERT_FALSE(ends(&Flex_Form::Gaa_Text_LostFocus));
    EXPECT_EQ(text("Idag_CT"), QString());
}

// At the desktop's fonts the fields are narrower than their widest figures; the figure is set
// smaller rather than losing its minus sign.
TEST_F(WindowTest, ValueFieldsShowTheirWholeText) {
    startExistingUser("x;32767;-;-;-;-2147483648;-2147483648\r\n");
    EXPECT_EQ(text("Total_CT"), QStringLiteral("-2147483648 ct "));
    const QString widest = QStringLiteral("-2147483648 ct ");
    for (const char* name : {"Idag_CT", "Idag_TM", "Periode_CT", "Periode_Diff", "Total_CT"}) {
        auto* field = child<QLabel>(name);
        for (const QString& t : {widest, QStringLiteral("-21474836:28 "), text("Periode_Diff")}) {
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
