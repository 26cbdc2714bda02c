// The working window driven as a user drives it: start-up, a whole day, restarts, the fields.
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
    QPushButton* button() { return child<QPushButton>("Registrer_Command"); }
    QColor kommeColour() { return komme()->palette().color(QPalette::Base); }
    void at(int h, int m) { platform.now.setTime(QTime(h, m, 0)); }
    void tick() { ASSERT_FALSE(ends(&Flex_Form::Udregn_Timer_Timer)); }
};

TEST_F(WindowTest, FullDay) {
    seedExistingUser("h\r\nx;0;-;-;-;0;0\r\n");
    at(8, 0);
    ASSERT_TRUE(startForm());
    EXPECT_EQ(kommeColour(), QColor(255, 255, 255));

    komme()->setText(QStringLiteral("08:00"));
    button()->click();
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Komme tidspunkt 08:00 (800 ct) registreret"));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");
    EXPECT_EQ(kommeColour(), QColor(0, 255, 0));
    EXPECT_EQ(form().windowTitle(), kCaption);
    EXPECT_TRUE(probe().Komme_Registreret());

    at(16, 30);
    tick();
    EXPECT_EQ(text("Status_Label"), QString());
    EXPECT_EQ(gaa()->text(), QStringLiteral("16:30"));
    EXPECT_TRUE(probe().Gaa_Auto());
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("800 ct "));
    EXPECT_EQ(text("Idag_TM"), QStringLiteral("08:00 "));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Horalogs registrering - 800 ct "));
    EXPECT_EQ(probe().trayTip(), form().windowTitle());

    button()->click();
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
    EXPECT_FALSE(probe().Komme_Registreret());
    EXPECT_TRUE(probe().udregnTimerActive());
}

TEST_F(WindowTest, ArrivalTextsAreTakenAsTheyRead) {
    seedExistingUser("x;0;-;-;-;0;0\r\n");
    ASSERT_TRUE(startForm());
    komme()->setText(QStringLiteral("8:05"));
    button()->click();
    EXPECT_EQ(komme()->text(), QStringLiteral("08:05"));
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Komme tidspunkt 08:05 (808 ct) registreret"));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:05");

    platform.answerMessage(MessageAnswer::Yes);
    gaa()->clear();
    komme()->setText(QStringLiteral("0:75"));  // shown as typed, stored normalised
    button()->click();
    EXPECT_EQ(komme()->text(), QStringLiteral("00:75"));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 01:15");
    EXPECT_EQ(probe().Komme_CT(), 125);
}

TEST_F(WindowTest, TimeBeyond32BitsIsRefused) {
    seedExistingUser("x;0;-;-;-;0;0\r\n");
    ASSERT_TRUE(startForm());
    komme()->setText(QStringLiteral("99999999999"));
    platform.answerMessage(MessageAnswer::Ok);
    button()->click();
    EXPECT_EQ(platform.shown.back().icon, MessageIcon::Exclamation);
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Tiden \"99999999999\" kan ikke anvendes, fordi tallet er for "
                             "stort.\r\n\r\nIntet er ændret."));
    EXPECT_FALSE(probe().Komme_Registreret());
    EXPECT_EQ(userValue("Moedt"), " ");
}

TEST_F(WindowTest, DayTooLongForItsColumnIsRefused) {
    seedExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 00:00");
    ASSERT_TRUE(startForm());
    gaa()->setText(QStringLiteral("400:00"));  // 40000 ct, beyond the 16-bit tid column
    platform.answerMessage(MessageAnswer::Ok);
    button()->click();
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("Horalog"));
    EXPECT_EQ(readBytes(file), QByteArray("x;0;-;-;-;0;0\r\n"));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 00:00");
    EXPECT_EQ(probe().Periode_Dage(), 0);
}

TEST_F(WindowTest, RestartWithTodaysArrival) {
    seedExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:15");
    at(10, 0);
    ASSERT_TRUE(startForm());
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(komme()->text(), QStringLiteral("08:15"));
    EXPECT_EQ(kommeColour(), QColor(0, 255, 0));
    EXPECT_EQ(probe().Komme_CT(), 825);
    EXPECT_EQ(gaa()->text(), QStringLiteral("10:00"));
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("175 ct "));
    EXPECT_TRUE(probe().Gaa_Auto());
    EXPECT_TRUE(probe().Komme_Registreret());
}

TEST_F(WindowTest, ArrivalOfAnotherDay) {
    for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        fresh();
        seedExistingUser("x;0;-;-;-;0;0\r\n", "04-12-2026 08:15");
        at(10, 0);
        platform.uptimeMs = 2 * 3600 * 1000;
        platform.answerMessage(answer);
        ASSERT_TRUE(startForm());
        const ShownDialog& q = platform.shown.at(0);
        EXPECT_EQ(q.title, QStringLiteral("Registreret komme tid"));
        EXPECT_EQ(q.text,
                  QStringLiteral(
                      "Der er registreret et komme-tidspunkt for en anden dag.\r\n"
                      "Dato: 04-12-2026  Tid: 08:15\r\n\r\nSkal denne registrering anvendes ?"));
        EXPECT_EQ(q.icon, MessageIcon::Question);
        EXPECT_EQ(q.buttons, MessageButtons::YesNo);
        EXPECT_EQ(q.defaultButton, MessageAnswer::Yes);
        EXPECT_EQ(userValue("Moedt"), "04-12-2026 08:15");
        if (answer == MessageAnswer::Yes) {
            EXPECT_EQ(komme()->text(), QStringLiteral("08:15"));
            EXPECT_EQ(probe().Komme_CT(), 825);
            at(16, 0);
            gaa()->setText(QStringLiteral("16:00"));
            button()->click();
            EXPECT_TRUE(readBytes(file).endsWith("05-12-2026;1;08:15;16:00;725;725;-15;\r\n"));
        } else {
            EXPECT_FALSE(probe().Komme_Registreret());
            EXPECT_EQ(komme()->text(), QStringLiteral("08:00"));  // the system started at 08:00
            EXPECT_EQ(text("Idag_CT"), QString());
        }
    }
}

// The timer once ran during this question: a tick filled in a departure and "Tid idag" for a day
// the answer then left closed.
TEST_F(WindowTest, NoTickWhileTheStartupQuestionStands) {
    seedExistingUser("x;0;-;-;-;0;0\r\n", "04-12-2026 08:15");
    at(10, 0);
    platform.answerMessage(MessageAnswer::No, [this] {
        auto* timer = form().findChild<QTimer*>(QStringLiteral("Udregn_Timer"));
        ASSERT_NE(timer, nullptr);
        if (timer->isActive()) {
            QTest::qWait(timer->interval() + 200);
        }
    });
    ASSERT_TRUE(startForm());
    EXPECT_EQ(gaa()->text(), QString());
    EXPECT_EQ(text("Idag_CT"), QString());
    EXPECT_EQ(text("Idag_TM"), QString());
    EXPECT_EQ(form().windowTitle(), kCaption);
    EXPECT_TRUE(form().findChild<QTimer*>(QStringLiteral("Udregn_Timer"))->isActive());
}

// At the desktop's fonts the fields are narrower than their widest figures; the figure is set
// smaller rather than losing its minus sign.
TEST_F(WindowTest, ValueFieldsShowTheirWholeText) {
    seedExistingUser("x;32767;-;-;-;-2147483648;-2147483648\r\n");
    ASSERT_TRUE(startForm());
    form().show();
    EXPECT_EQ(text("Total_CT"), QStringLiteral("-2147483648 ct "));
    EXPECT_EQ(text("Periode_CT"), QStringLiteral("-2147483648 ct "));
    const struct {
        const char* field;
        QString widest;
    } cases[] = {
        {"Idag_CT", QStringLiteral("-2147483648 ct ")},
        {"Idag_TM", QStringLiteral("-21474836:28 ")},
        {"Periode_CT", QStringLiteral("-2147483648 ct ")},
        {"Periode_Diff", QStringLiteral("-2147483648 ct ")},
        {"Periode_Diff", text("Periode_Diff")},
        {"Total_CT", QStringLiteral("-2147483648 ct ")},
    };
    for (const auto& c : cases) {
        auto* field = child<QLabel>(c.field);
        showValue(field, c.widest);
        EXPECT_EQ(field->text(), c.widest);
        EXPECT_LE(QFontMetricsF(field->font()).horizontalAdvance(c.widest), valueRoom(field))
            << c.field << " " << c.widest.toStdString();
        // A text that fits goes back to the field's own size.
        showValue(field, QStringLiteral("5 ct "));
        EXPECT_DOUBLE_EQ(field->font().pointSizeF(), 9.75) << c.field;
    }
}

TEST_F(WindowTest, ReplacementAnsweredNoChangesNothing) {
    seedExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:15");
    ASSERT_TRUE(startForm());
    gaa()->clear();
    komme()->setText(QStringLiteral("09:00"));
    platform.answerMessage(MessageAnswer::No);
    button()->click();
    const ShownDialog& q = platform.shown.back();
    EXPECT_EQ(q.title, QStringLiteral("Registrer komme-tid"));
    EXPECT_EQ(
        q.text,
        QStringLiteral(
            "Skal det allerede registreret komme-tidspunkt\r\nerstattes af den angivne tid ?"));
    EXPECT_EQ(q.defaultButton, MessageAnswer::Yes);
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:15");
    EXPECT_EQ(probe().Komme_CT(), 825);
    EXPECT_EQ(komme()->text(), QStringLiteral("09:00"));
    EXPECT_EQ(text("Status_Label"), QString());
}

TEST_F(WindowTest, ArrivalProposedFromTheSystemStart) {
    const struct {
        std::int64_t uptimeMs;
        const char* proposal;
    } cases[] = {
        {36000000 - 3599600, "01:00"},   // started at 00:59:59.6: rounds to 01:00:00
        {36000000 - 27770000, "07:42"},  // 07:42:50, seconds dropped
        {36000001, "00:00"},             // running since before midnight
    };
    for (const auto& c : cases) {
        fresh();
        seedExistingUser("x;0;-;-;-;0;0\r\n");
        at(10, 0);
        platform.uptimeMs = c.uptimeMs;
        ASSERT_TRUE(startForm());
        EXPECT_EQ(komme()->text(), QLatin1String(c.proposal));
        EXPECT_EQ(komme()->selectedText(), QLatin1String(c.proposal));
    }
}

TEST_F(WindowTest, DateFormats) {
    const struct {
        const char16_t* pattern;
        int length;
        bool accepted;
    } cases[] = {
        {u"dd-MM-yyyy", 10, true},  {u"dd-MM-yy", 8, true},  {u"dd-MM-åååå", 10, true},
        {u"DD.MM.YYYY", 10, true},  {u"d-M-yyyy", 8, false}, {u"yyyy-MM-dd", 10, false},
        {u"MM/dd/yyyy", 10, false},
    };
    for (const auto& c : cases) {
        fresh();
        platform.datePattern = QString::fromUtf16(c.pattern);
        if (c.accepted) {
            platform.answerMessage(MessageAnswer::Ok);
            platform.answerInput(QStringLiteral("0"));
            ASSERT_TRUE(startForm());
            EXPECT_EQ(probe().Dato_Laengde(), c.length);
            EXPECT_EQ(readBytes(file).mid(48, c.length + 1).size(), c.length + 1);
            continue;
        }
        platform.answerMessage(MessageAnswer::Ok);
        EXPECT_FALSE(startForm());
        EXPECT_EQ(platform.endedWith, 1);
        ASSERT_EQ(platform.shown.size(), 1u);
        const ShownDialog& d = platform.shown[0];
        EXPECT_EQ(d.title, QStringLiteral("Fejl i dato format"));
        EXPECT_EQ(d.icon, MessageIcon::Critical);
        EXPECT_EQ(d.text,
                  QStringLiteral("Ulovlig dato-format: ") + QString::fromUtf16(c.pattern) +
                      QStringLiteral("\r\nDer skal anvendes dansk notation med dagen først og "
                                     "årstallet sidst.\r\n(dd-mm-yy eller dd-mm-yyyy)\r\nRettes "
                                     "via kontrol panelet og regionale indstillinger."));
        EXPECT_FALSE(QFile::exists(QString::fromStdString(paths.user)));
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_FALSE(probe().hasReg());
    }
}

TEST_F(WindowTest, WriteFailureAtDepartureKeepsTheOpenDay) {
    seedExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    at(16, 30);
    ASSERT_TRUE(startForm());
    probe().Filnavn() = QStringLiteral("/dev/full");
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_TRUE(ends(&Flex_Form::Registrer_Command_Click));
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral(
                  "Fejl under skrivning til filen: /dev/full\r\nFejl: No space left on device\r\n"
                  "Programmet kan ikke fortsætte før fejlen er rettet."));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");

    // The next start offers the open day again.
    window.reset();
    ASSERT_TRUE(startForm());
    EXPECT_TRUE(probe().Komme_Registreret());
    EXPECT_EQ(probe().Komme_CT(), 800);
}

TEST_F(WindowTest, DepartureFieldFollowsTheClockUntilTyped) {
    seedExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    at(12, 0);
    ASSERT_TRUE(startForm());
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("400 ct "));  // below the lunch threshold
    gaa()->setText(QStringLiteral("1"));                    // typing clears today's figures
    EXPECT_FALSE(probe().Gaa_Auto());
    EXPECT_EQ(text("Idag_CT"), QString());
    EXPECT_EQ(form().windowTitle(), kCaption);
    gaa()->setText(QStringLiteral("15:00"));
    at(12, 5);
    tick();
    EXPECT_EQ(gaa()->text(), QStringLiteral("15:00"));
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("650 ct "));
    gaa()->clear();
    tick();
    EXPECT_EQ(gaa()->text(), QStringLiteral("12:05"));
    EXPECT_TRUE(probe().Gaa_Auto());
}

TEST_F(WindowTest, LeavingTheDepartureField) {
    const struct {
        const char* moedt;
        const char* typed;
        const char* idag;
    } cases[] = {
        {"05-12-2026 08:00", "16:30", "800 ct "},  {" ", "16:30", ""},  // no open day
        {"05-12-2026 08:00", "00:30", ""},                              // begins with 0
        {"05-12-2026 08:00", "00.30", "-800 ct "},  // 00:30, before the arrival: lunch as well
        {"05-12-2026 08:00", "abc", ""},
    };
    for (const auto& c : cases) {
        fresh();
        seedExistingUser("x;0;-;-;-;0;0\r\n", c.moedt);
        ASSERT_TRUE(startForm());
        gaa()->setText(QLatin1String(c.typed));
        ASSERT_FALSE(ends(&Flex_Form::Gaa_Text_LostFocus));
        EXPECT_EQ(text("Idag_CT"), QLatin1String(c.idag)) << c.typed;
    }
}

}  // namespace
}  // namespace horalog::testing
