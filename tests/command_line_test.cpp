// The real program as a user, a panel or a script starts it, one copy at a time.
#include <sys/stat.h>

#include <QImage>
#include <QProcess>
#include <QStringEncoder>
#include <QTest>
#include <QThread>

#include "cli/command_line.h"
#include "form_fixture.h"
#include "platform/qt_platform.h"

namespace horalog::testing {
namespace {

class RealProgram : public ::testing::Test {
protected:
    void seed(const QByteArray& records, const QByteArray& moedt = " ", const char* lunch = "50") {
        writeBytes(data, records);
        writeBytes(store, userStore(data, moedt).replace("\"50\"", '"' + QByteArray(lunch) + '"'));
    }
    // The window offscreen, the options with no graphics; a runtime folder (0700) or none (cron).
    std::unique_ptr<QProcess> start(const QStringList& arguments, bool window = false) {
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        runtimeDir ? env.insert("XDG_RUNTIME_DIR", home.path()) : env.remove("XDG_RUNTIME_DIR");
        env.insert("QT_QPA_PLATFORM", window ? "offscreen" : "none");
        env.insert("ASAN_OPTIONS", "detect_leaks=0:verify_asan_link_order=0");
        env.remove("DISPLAY");
        auto p = std::make_unique<QProcess>();  // killed, if still running, when it goes
        p->setProcessEnvironment(env);
        p->start(HORALOG_BINARY, arguments);
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }
    // The exit status, then standard output, then "|" and standard error.
    QString run(const QString& option) {
        auto p = start({option});
        EXPECT_TRUE(p->waitForFinished(20000));
        return QString::number(p->exitCode()) + p->readAllStandardOutput() + u'|' +
               p->readAllStandardError();
    }
    // Both files' bytes, or what stands at their place instead.
    static QString bytesAt(const QString& f) {
        return QFileInfo(f).isFile() ? QString::fromLatin1(readBytes(f))
                                     : QString::number(QFileInfo::exists(f));
    }
    QString stored() { return bytesAt(data) + bytesAt(store); }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    bool runtimeDir = true;
    QTemporaryDir home;
    QString data = home.filePath("Horalog.Dat");
    QString store = home.filePath("config/horalog/HKEY_CURRENT_USER.reg");
};

// Qt's options start the window (once status 2); a second copy ends; a killed one's lock is free.
TEST_F(RealProgram, OneCopyAtATime) {
    seed("x;2;-;-;-;1500;20\r\n");
    const QString before = stored();
    auto one = start({"-session", "2a1b", "-reverse", "-style=fusion", "--stylesheet=x.qss"}, true);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(home.filePath("horalog/horalog.lock")); }, 20000));
    QThread::msleep(500);
    auto second = start({}, true);
    ASSERT_TRUE(second->waitForFinished(20000) && second->exitCode() == 0);
    EXPECT_TRUE(run("--status").startsWith(u'0'));
    EXPECT_EQ(one->state(), QProcess::Running);
    // The socket lives in the user's own folder, where no other user can take its name first.
    EXPECT_TRUE(QFileInfo::exists(home.filePath("horalog/horalog.socket")));
    EXPECT_EQ(stored(), before);
    one.reset();                                           // killed
    EXPECT_FALSE(start({}, true)->waitForFinished(3000));  // still running: it took the lock over
}

// Qt's options start the window; else the option that answers, or an unknown one named as typed.
TEST(CommandLine, ReadsTheArguments) {
    const std::pair<const char*, const char*> cases[] = {
        {"-qmljsdebugger=port:1234", "window"},
        {"-style fusion -widgetcount", "window"},
        {"-style", "Ukendt valgmulighed: -style"},
        {"-platform=xcb", "Ukendt valgmulighed: -platform=xcb"},
        {"-reverse --status", "Ukendt valgmulighed: -reverse"},
        {"--status", "status="},
        {"-h --status", "help="},
        {"--status -v", "version="},
        {"--report", "report=tabel"},
        {"--report=csv --report", "report=csv"},
        {"--report=x --report=csv", "report=csv"},
        {"--check --report", "check="},
        {"--report --check --chart=a.png", "chart=a.png"},
        {"--chart=a.png --status", "status="},
        {"--report=x", "Ukendt form af rapporten: x"},
        {"--report= --status", "Ukendt form af rapporten: "},
        {"--report=x --foo", "Ukendt valgmulighed: --foo"},
        {"-style=x --status", "Ukendt valgmulighed: -style=x"},
        {"--status=x --help=x", "Ukendte valgmuligheder: --status=x, --help=x"},
        {"-- status", "Ukendte valgmuligheder: --, status"},
        {"--foo --chart=", "--chart kræver et filnavn: --chart=FIL.png"},
    };
    for (const auto& [arguments, expected] : cases) {
        QByteArrayList bytes = ("horalog " + QByteArray(arguments)).split(' ');
        std::vector<char*> argv(static_cast<std::size_t>(bytes.size()));
        std::ranges::transform(bytes, argv.begin(), [](QByteArray& b) { return b.data(); });
        const ReadArguments read = readArguments(QString::fromUtf8(arguments).split(u' '));
        const QString answer = read.option.isEmpty() ? read.wrong : read.option + u'=' + read.value;
        EXPECT_EQ(onlyQtOptions(int(argv.size()), argv.data()) ? u"window"_s : answer, expected)
            << arguments;
    }
}

// One run per way an answer ends, without a display, nothing written or made (once a FIFO hung).
TEST_F(RealProgram, AnswersAndFailures) {
    const QByteArray none = "none", fifo = "fifo", days = "x;3;-;-;-;2220;125\r\n",
                     chart = kHeader + "01-12-2026;1;08:00;16:00;750;750;10;\r\n";
    QString named;
    for (int line = 4; line < 24; ++line) {
        named += u"Linje %1 kan ikke læses og er sprunget over.\n"_s.arg(line);
    }
    // The file's and the store's bytes ("": the user's), the option, the answer; $f, $s, $h: paths.
    const std::tuple<QByteArray, QByteArray, QString, QString> cases[] = {
        {none, none, "--version", "0Horalog 1.7.0\n|"},
        {none, none, "--chart", "2|Ukendt valgmulighed: --chart\nSe horalog --help.\n"},
        {none, none, "--status", "1|Horalog er ikke sat op endnu: start programmet én gang.\n"},
        {none, "", "--status",
         "1|Der er ingen registreringsfil endnu: start programmet én gang.\n"},
        {days, "", "--status", "0Ikke mødt · periode 2220 ct (0 ct) · flex 125 ct\n|"},
        {kShortRest + QByteArray("x;99999999999;-;-;-;0;0\r\n").repeated(25), "", "--check",
         u'0' + kShortRestFinding + "\n|" + named + "… og 5 linjer mere\n"},
        {"08-12-2026;1;08:00;16:00;750;750;1\00010;\r\n"_ba, "", "--status",
         "1|$f: Den sidste registrering har et tal, der ikke kan læses: "
         "08-12-2026;1;08:00;16:00;750;750;1\uFFFD10;\n"},
        {days,
         QStringEncoder(QStringEncoder::Utf16LE)(
             u"\uFEFFWindows Registry Editor Version 5.00\r\n"_s),
         "--report", "1|The settings file $s is damaged and cannot be read.\n"},
        {fifo, "", "--status",
         "1|$f: Stien er ikke en almindelig fil (en mappe, en FIFO eller en enhed).\n"},
        {days, fifo, "--status", "1|The settings file $s is a named pipe (FIFO), not a file.\n"},
        {chart, "", "--chart=$h/oversigt.png", "0|"},  // the overview's picture, for a script
        {chart, "", "--check", "0Ingen overskridelser.\n|"},
        {chart, "", "--chart=$h/nowhere/x.png",
         "1|Billedet kunne ikke gemmes i $h/nowhere/x.png\n"},
        {chart, "", "--chart=$f", "1|Billedet gemmes ikke i $f: det er registreringsfilen.\n"},
        {chart, "", "--chart=$h/./config/horalog/../horalog/HKEY_CURRENT_USER.reg",
         "1|Billedet gemmes ikke i $h/./config/horalog/../horalog/HKEY_CURRENT_USER.reg: det er "
         "programmets indstillinger.\n"},
    };
    const auto place = [](const QString& path, const QByteArray& bytes) {
        QFile::remove(path);
        ASSERT_TRUE(bytes == "none" || (bytes == "fifo" ? ::mkfifo(qPrintable(path), 0600) == 0
                                                        : !writeBytes(path, bytes).isEmpty()));
    };
    runtimeDir = false;  // as under cron or ssh, where Qt once warned of it on standard error
    for (auto [records, storeBytes, option, expected] : cases) {
        place(data, records);
        place(store, storeBytes.isEmpty() ? userStore(data, " ") : storeBytes);
        const QString before = stored();
        for (QString* t : {&option, &expected}) {
            t->replace(u"$f"_s, data).replace(u"$s"_s, store).replace(u"$h"_s, home.path());
        }
        EXPECT_EQ(run(option), expected);
        EXPECT_EQ(stored(), before) << option.toStdString();
    }
    EXPECT_EQ(QImage(home.filePath("oversigt.png"), "PNG").size(), QSize(1000, 560));
    const QString help = run("--help");
    EXPECT_TRUE(help.startsWith(u'0') && help.contains("--report=csv")) << help.toStdString();
}

// The open day as the window counts it, in this locale's date pattern, at libfaketime's clock.
TEST_F(RealProgram, StatusOfTheOpenDay) {
    const QString faketime = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
    if (!QFileInfo::exists(faketime)) {
        GTEST_SKIP() << "libfaketime is not installed";
    }
    env.insert("LD_PRELOAD", faketime);
    env.insert("TZ", "Europe/Copenhagen");
    const auto date = [](int day) {
        return dec(day).toString(QtPlatform().shortDatePattern()).toUtf8();
    };
    // Now on the 8th, the day of the arrival, its time, the lunch, today's time, when free.
    using S = const char*;
    const std::tuple<S, int, S, S, S, S> cases[] = {
        {"01:30", 7, "22:00", "50", "3:30 (350 ct)", "fri kl. 05:54"},
        {"15:25", 8, "07:32", "50", "7:23 (739 ct)", "fri kl. 15:26"},
        {"15:26", 8, "07:32", "50", "7:24 (740 ct)", "fri siden 15:26"},
        {"15:26", 8, "07:32", "0", "7:54 (790 ct)", "fri siden 14:56"},
    };
    for (const auto& [now, day, time, lunch, today, free] : cases) {
        env.insert("FAKETIME", QStringLiteral("@2026-12-08 %1:00").arg(now));
        const QByteArray arrival = date(day) + ' ' + time;
        seed("x;3;-;-;-;2220;125\r\n", arrival, lunch);
        EXPECT_EQ(run("--status"),
                  u"0Mødt %1 · idag %2 · periode 2220 ct (0 ct) · flex 125 ct · %3\n|"_s.arg(
                      QString::fromUtf8(day == 8 ? QByteArray(time) : arrival), today, free))
            << now;
    }
    // A night saved by a copy killed before it forgot the arrival, and time off after it.
    seed("x;3;-;-;-;2220;125\r\n" + date(8) + ";4;22:00;01:30;300;2520;-315;\r\n" + date(8) +
             ";4;-;-;-100;2420;-415;\r\n",
         date(7) + " 22:00");
    writeBytes(store,
               readBytes(store).replace("\"Moedt\"", "\"MoedtFilLaengde\"=\"20\"\n\"Moedt\""));
    EXPECT_EQ(run("--status"), u"0Ikke mødt · periode 2420 ct (-540 ct) · flex -415 ct\n|"_s);
}

// By hand: a time beyond 32 bits, LF alone, unreadable lines, two-digit years about 2000 and 68/69.
TEST_F(RealProgram, ReportByMonth) {
    seed(kHeader +
         "03-11-2026;0;-;-;-;0;150\r\n"
         "03-11-2026;1;08:00;16:30;800;800;210;\r\n04-11-2026;2;08:00;16:00;750;1550;220;\r\n"
         "30-11-2026;0;-;-;-;0;220;periode afsluttet/nulstillet\r\n\r\n"
         "01-12-2026;1;08:00;15:00;650;650;130;\r\n"
         "02-12-2026;1;-;-;-12,5;638;118;periode afsluttet/nulstillet\r\n"
         "03-12-2026;x;-;-;-;0;99999999999\r\nukendt;2;-;-;-;0;118\r\n13-13-2026;2;-;-;-;0;118\r\n"
         "03-01-2027;1;08:00;16:00;2147483648;638;118;\r\n04-01-27;2;08:00;16:00;750;1388;128\n"
         "31-12-99;1;08:00;15:30;725;725;95;\r\n28-02-68;3;-;-;-7,5;0;33;fri\r\n"
         "01-02-69;0;-;-;-;0;40;periode afsluttet/nulstillet");
    const QString unreadable =
        "|Linje 9 kan ikke læses og er sprunget over.\nLinje 10 kan ikke læses og er sprunget "
        "over.\nLinje 11 kan ikke læses og er sprunget over.\n";
    const QString table = run("--report");
    EXPECT_EQ(table.section(u'\n', 0, 1),  // a column of 8, then columns of 16
              "0Måned        Arbejdsdage      Arbejdstid    Afspadsering   Nulstillinger         "
              "   Flex\n1969-02                0            0 ct            0 ct               1  "
              "         40 ct");
    EXPECT_TRUE(table.endsWith(" 33 ct\n" + unreadable));
    EXPECT_EQ(run("--report=csv"),
              "0måned;arbejdsdage;arbejdstid;afspadsering;nulstillinger;flex\n1969-02;0;0;0;1;40\n"
              "1999-12;1;725;0;0;95\n2026-11;2;1550;0;1;220\n2026-12;1;650;12;0;118\n"
              "2027-01;2;750;0;0;128\n2068-02;0;0;8;0;33\n" +
                  unreadable);
    // Lines across reads or ending in CR alone read once, a 2 MB one skipped; the byte-order mark.
    seed(QByteArray("01-03-2026;1;08:00;16:00;750;750;100;\r\n").repeated(30000) +
         "02-03-2026;1;08:00;16:00;750;750;90;" + QByteArray(2 << 20, 'x') +
         "\r\n03-03-2026;1;08:00;16:00;750;750;80;\r04-03-2026;1;08:00;16:00;750;750;70;\r");
    auto csv = start({"--report=csv"});
    ASSERT_TRUE(csv->waitForFinished(20000));
    EXPECT_EQ(csv->readAllStandardOutput() + '|' + csv->readAllStandardError(),  // with its BOM
              "\xEF\xBB\xBFm\xC3\xA5ned;arbejdsdage;arbejdstid;afspadsering;nulstillinger;flex\n"
              "2026-03;30002;22501500;0;0;70\n"
              "|Linje 30001 kan ikke l\xC3\xA6ses og er sprunget over.\n");
}

}  // namespace
}  // namespace horalog::testing
