// The registration file through the window: first use, reading the figures, appending a day,
// and every file failure ending the program with its message and nothing lost.
#include <QLabel>

#include "form_fixture.h"

namespace horalog::testing {
namespace {

const QString kFatalTitle = QStringLiteral("Fejl under oprettelse af fil");
const QString kCannotGoOn = QStringLiteral("Programmet kan ikke fortsætte før fejlen er rettet.");

class RegistrationFileTest : public FormTest {};

TEST_F(RegistrationFileTest, FirstStartCreatesTheFile) {
    platform.answerMessage(MessageAnswer::Ok);  // the file-name notice
    platform.answerInput(QStringLiteral("150"));
    ASSERT_TRUE(startForm());

    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Horalog.dat filnavn"));
    EXPECT_FALSE(platform.shown[0].windowVisible);
    const ShownDialog& ask = platform.shown[1];
    EXPECT_EQ(ask.kind, ShownDialog::Kind::Input);
    EXPECT_TRUE(ask.windowVisible);
    EXPECT_EQ(ask.title, QStringLiteral("Opstart Horalog"));
    EXPECT_EQ(ask.defaultText, QStringLiteral("0"));
    EXPECT_EQ(ask.text, QStringLiteral(
                            "Horalogs-programmet har ikke været anvendt før.\r\nIndtast nuværende "
                            "horalog, eller 0 hvis horalog ikke tidligere har været registreret:"));

    EXPECT_EQ(readBytes(file), QByteArray("dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n"
                                          "05-12-2026;0;-;-;-;0;150\r\n"));
    EXPECT_EQ(probe().Flex_Total(), 150);
    EXPECT_EQ(probe().Periode_Dage(), 0);
    EXPECT_EQ(probe().Periode_Sum(), 0);
    EXPECT_EQ(text("Total_CT"), QStringLiteral("150 ct "));
    EXPECT_EQ(text("Periode_CT"), QStringLiteral("0 ct "));
    EXPECT_EQ(text("Periode_Diff"), QStringLiteral("0 ct "));
}

TEST_F(RegistrationFileTest, BalanceAnswers) {
    const std::pair<const char*, std::int32_t> cases[] = {{"-35", -35}, {"", 0},      {"1,5", 1},
                                                          {"12.5", 12}, {"13.5", 14}, {"abc", 0}};
    for (const auto& [answer, total] : cases) {
        fresh();
        seedUserKey({{"Moedt", " "},
                     {"Arbejdstimer", "7.4"},
                     {"FrokostVarighed", "50"},
                     {"FrokostArbejdstid", "450"},
                     {"Filnavn", file.toStdString()}});
        platform.answerInput(QString::fromLatin1(answer));
        ASSERT_TRUE(startForm());
        EXPECT_EQ(probe().Flex_Total(), total) << answer;
        EXPECT_TRUE(readBytes(file).endsWith(";0;-;-;-;0;" + QByteArray::number(total) + "\r\n"));
    }
}

TEST_F(RegistrationFileTest, BalanceBeyond32BitsIsAskedAgain) {
    seedExistingUser(QByteArray());
    QFile::remove(file);
    platform.answerInput(QStringLiteral("99999999999"));
    platform.answerMessage(MessageAnswer::Ok);
    platform.answerInput(QStringLiteral("2147483647"));
    ASSERT_TRUE(startForm());
    EXPECT_EQ(platform.shown[1].icon, MessageIcon::Exclamation);
    EXPECT_EQ(probe().Flex_Total(), 2147483647);
}

TEST_F(RegistrationFileTest, ReadsTheLastRecord) {
    const struct {
        QByteArray bytes;
        Figures figures;
    } cases[] = {
        {"h\r\n05-12-2026;3;08:00;16:00;750;2220;125;\r\n\r\n", {3, 2220, 125}},  // blank last line
        {"h\r\n05-12-2026;3;08:00;16:00;750;2220;125;", {3, 2220, 125}},          // no line end
        {"dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n", {0, 0, 0}},
        {"", {0, 0, 0}},
    };
    for (const auto& c : cases) {
        fresh();
        seedExistingUser(c.bytes);
        ASSERT_TRUE(startForm());
        EXPECT_EQ((Figures{probe().Periode_Dage(), probe().Periode_Sum(), probe().Flex_Total()}),
                  c.figures)
            << c.bytes.toStdString();
        EXPECT_EQ(readBytes(file), c.bytes);  // reading never changes the file
    }
}

TEST_F(RegistrationFileTest, DayRecordWorkedExample) {
    const QByteArray before = "h\r\n05-12-2026;3;08:00;16:00;750;2220;125;";  // no line end
    seedExistingUser(before);
    ASSERT_TRUE(startForm());
    probe().Komme_CT() = 800;
    probe().Gaa_CT() = 1650;
    ASSERT_FALSE(ends(&Flex_Form::Laes_Registrering));
    EXPECT_TRUE(form().Gem_Registrering());
    EXPECT_EQ(readBytes(file), before + "\r\n05-12-2026;4;08:00;16:30;800;3020;185;\r\n");
    EXPECT_EQ(text("Total_CT"), QStringLiteral("185 ct "));
    EXPECT_EQ(text("Periode_CT"), QStringLiteral("3020 ct "));
    EXPECT_EQ(text("Periode_Diff"), QStringLiteral("60 ct "));
}

struct Failure {
    const char* name;
    QString path;
    QString error;
};

TEST_F(RegistrationFileTest, CreationFailuresEndTheProgram) {
    const Failure cases[] = {
        {"missing folder", QStringLiteral("/no/such/folder/Horalog.Dat"),
         QStringLiteral("No such file or directory")},
        {"full disk", QStringLiteral("/dev/full"), QStringLiteral("No space left on device")},
    };
    for (const auto& c : cases) {
        fresh();
        seedUserKey({{"Moedt", " "},
                     {"Arbejdstimer", "7.4"},
                     {"FrokostVarighed", "50"},
                     {"FrokostArbejdstid", "450"},
                     {"Filnavn", c.path.toStdString()}});
        platform.answerInput(QStringLiteral("10"));
        platform.answerMessage(MessageAnswer::Ok);
        EXPECT_FALSE(startForm()) << c.name;
        EXPECT_EQ(platform.endedWith, 1);
        const ShownDialog& d = platform.shown.back();
        EXPECT_EQ(d.title, kFatalTitle);
        EXPECT_EQ(d.icon, MessageIcon::Exclamation);
        EXPECT_EQ(d.buttons, MessageButtons::Ok);
        EXPECT_EQ(d.text, QStringLiteral("Fejl under oprettelse af filen: ") + c.path +
                              QStringLiteral("\r\nFejl: ") + c.error + QStringLiteral("\r\n") +
                              kCannotGoOn);
    }
}

TEST_F(RegistrationFileTest, FieldBeyondItsColumnEndsWithAMessage) {
    const QByteArray before = "x;3;-;-;-;2220;99999999999\r\n";
    seedExistingUser(before);
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_FALSE(startForm());
    EXPECT_EQ(platform.shown.back().title, kFatalTitle);
    EXPECT_TRUE(platform.shown.back().text.contains(QStringLiteral("99999999999")));
    EXPECT_EQ(readBytes(file), before);
}

}  // namespace
}  // namespace horalog::testing
