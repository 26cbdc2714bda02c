// The real program as a user, a panel or a script starts it: one copy at a time, and options
// answered without a window or a graphical session.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>

#include "cli/command_line.h"
#include "form_fixture.h"
#include "platform/qt_platform.h"

namespace horalog::testing {
namespace {

class RealProgram : public ::testing::Test {
protected:
    void seed(const QByteArray& records, const QByteArray& moedt = " ",
              const QByteArray& lunch = "50") {
        writeBytes(data, records);
        writeBytes(store, userStore(data, moedt)
                              .replace("\"FrokostVarighed\"=\"50\"",
                                       "\"FrokostVarighed\"=\"" + lunch + '"'));
    }
    // The window opens offscreen; the program's own options have no graphical session at all.
    std::unique_ptr<QProcess> start(const QStringList& arguments, bool window = false) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = environment;
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        if (runtimeDir) {
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());  // the folder is 0700
        } else {
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));  // as under cron or ssh
        }
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   window ? QStringLiteral("offscreen") : QStringLiteral("none"));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   QStringLiteral("detect_leaks=0:verify_asan_link_order=0"));
        env.remove(QStringLiteral("DISPLAY"));
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(HORALOG_BINARY), arguments);
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }
    // The exit status, then standard output, then "|" and standard error.
    QString run(const QStringList& options) {
        auto p = start(options);
        EXPECT_TRUE(p->waitForFinished(20000));
        return QString::number(p->exitCode()) + QString::fromUtf8(p->readAllStandardOutput()) +
               u'|' + QString::fromUtf8(p->readAllStandardError());
    }
    QString run(const QString& option) { return run(QStringList{option}); }
    QString stored() { return QString::fromLatin1(readBytes(data) + readBytes(store)); }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    bool runtimeDir = true;
    QTemporaryDir home;
    QString data = home.filePath(QStringLiteral("Horalog.Dat"));
    QString store = home.filePath(QStringLiteral("config/horalog/HKEY_CURRENT_USER.reg"));
};

// Qt's own options start the window (a session manager's restore once got exit status 2). A
// second start ends at once and changes nothing, nor does an option; the lock of a killed first
// copy does not block the next start.
TEST_F(RealProgram, OneCopyAtATime) {
    seed("x;2;-;-;-;1500;20\r\n");
    const QString before = stored();
    auto first =
        start({QStringLiteral("-session"), QStringLiteral("2a1b"), QStringLiteral("-reverse"),
               QStringLiteral("-style=fusion"), QStringLiteral("--stylesheet=x.qss")},
              true);
    QElapsedTimer t;  // the first copy holds its lock once start-up is through
    for (t.start(); !QFile::exists(home.filePath(QStringLiteral("horalog/horalog.lock"))) &&
                    t.elapsed() < 20000;) {
        QThread::msleep(50);
    }
    QThread::msleep(500);
    auto second = start({}, true);
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(run(QStringLiteral("--status")).startsWith(u'0'));
    EXPECT_EQ(first->state(), QProcess::Running);
    // The socket lives in the user's own folder, where no other user can take its name first.
    EXPECT_TRUE(QFileInfo::exists(home.filePath(QStringLiteral("horalog/horalog.socket"))));
    EXPECT_EQ(stored(), before);
    first->kill();
    first->waitForFinished();
    auto next = start({}, true);
    EXPECT_FALSE(next->waitForFinished(3000));  // still running: it took the lock over
    next->kill();
    next->waitForFinished();
}

// The answers that need no settings, and a usage error's exit status and pointer to the help.
TEST_F(RealProgram, AnswersWithoutSettings) {
    EXPECT_EQ(run(QStringLiteral("--version")), QStringLiteral("0Horalog 1.7.0\n|"));
    const QString help = run(QStringLiteral("--help"));
    EXPECT_TRUE(help.startsWith(u'0') && help.contains(QStringLiteral("--report=csv")))
        << help.toStdString();
    EXPECT_EQ(run(QStringLiteral("--chart")),
              QStringLiteral("2|Ukendt valgmulighed: --chart\nSe horalog --help.\n"));
}

// The window for Qt's own options in every form Qt takes them; otherwise the option that answers
// and its value, or the usage error: an unknown option is named as typed ("-style=fusion" was
// once spelled out letter by letter), "--chart" wants the picture's file, and of several options
// one answers.
TEST(CommandLine, ReadsTheArguments) {
    const std::pair<const char*, const char*> cases[] = {
        {"-style=fusion", "window"},
        {"--stylesheet=x.qss", "window"},
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
        {"--chart", "Ukendt valgmulighed: --chart"},
        {"--status=x --help=x", "Ukendte valgmuligheder: --status=x, --help=x"},
        {"-- status", "Ukendte valgmuligheder: --, status"},
        {"--foo --chart=", "--chart kræver et filnavn: --chart=FIL.png"},
    };
    for (const auto& [arguments, expected] : cases) {
        const QStringList given = QString::fromUtf8(arguments).split(u' ');
        std::vector<QByteArray> bytes{"horalog"};
        std::vector<char*> argv;
        for (const QString& a : given) {
            bytes.push_back(a.toUtf8());
        }
        for (QByteArray& b : bytes) {
            argv.push_back(b.data());
        }
        const ReadArguments read = readArguments(given);
        EXPECT_EQ(onlyQtOptions(static_cast<int>(argv.size()), argv.data())
                      ? QStringLiteral("window")
                  : read.option.isEmpty() ? read.wrong
                                          : read.option + u'=' + read.value,
                  QString::fromUtf8(expected))
            << arguments;
    }
}

// Exit status 1 without settings or a file, and nothing made then (an unreadable last line is
// among the odd files).
TEST_F(RealProgram, StatusWithoutAnOpenDay) {
    EXPECT_TRUE(run(QStringLiteral("--status")).startsWith(QStringLiteral("1|")));  // no settings
    EXPECT_FALSE(QFile::exists(store));
    seed("x;3;-;-;-;2220;125\r\n");
    EXPECT_EQ(run(QStringLiteral("--status")),
              QStringLiteral("0Ikke mødt · periode 2220 ct (0 ct) · flex 125 ct\n|"));
    QFile::remove(data);
    EXPECT_TRUE(run(QStringLiteral("--status")).startsWith(QStringLiteral("1|")));
    EXPECT_FALSE(QFile::exists(data));
}

// The open day as the window shows it, and when the day's hours (7.4, with the lunch that
// closing the day deducts) are reached. 22:00 yesterday is 3½ hours at 01:30, named as it is
// stored; 08:00 yesterday counts from 08:00 today, as after "Ja"; today's arrival is in this
// locale's date pattern. The clock is moved with libfaketime,
// and the status only reads.
TEST_F(RealProgram, StatusOfTheOpenDay) {
    const QString faketime = QStringLiteral("/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1");
    if (!QFileInfo::exists(faketime)) {
        GTEST_SKIP() << "libfaketime is not installed";
    }
    environment.insert(QStringLiteral("LD_PRELOAD"), faketime);
    environment.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Copenhagen"));
    const auto on = [](int day, const char* time) {
        return QDate(2026, 12, day).toString(QtPlatform().shortDatePattern()) + u' ' +
               QLatin1String(time);
    };
    const struct {
        const char* now;
        int arrivalDay;
        const char* arrival;
        const char* lunch;
        const char* today;
        const char* free;
    } cases[] = {
        {"2026-12-08 01:30", 7, "22:00", "50", "3:30 (350 ct)", "fri kl. 05:54"},
        {"2026-12-08 10:00", 7, "08:00", "50", "2:00 (200 ct)", "fri kl. 15:54"},  // by the clock
        {"2026-12-08 15:25", 8, "07:32", "50", "7:23 (739 ct)", "fri kl. 15:26"},
        {"2026-12-08 15:26", 8, "07:32", "50", "7:24 (740 ct)", "fri siden 15:26"},
        {"2026-12-08 15:26", 8, "07:32", "0", "7:54 (790 ct)", "fri siden 14:56"},
    };
    for (const auto& c : cases) {
        environment.insert(QStringLiteral("FAKETIME"),
                           QStringLiteral("@") + QLatin1String(c.now) + QStringLiteral(":00"));
        const QString arrival = on(c.arrivalDay, c.arrival);
        seed("x;3;-;-;-;2220;125\r\n", arrival.toUtf8(), c.lunch);
        const QString before = stored();
        EXPECT_EQ(
            run(QStringLiteral("--status")),
            QStringLiteral("0Mødt %1 · idag %2 · periode 2220 ct (0 ct) · flex 125 ct · %3\n|")
                .arg(c.arrivalDay == 8 ? QLatin1String(c.arrival) : arrival, QLatin1String(c.today),
                     QLatin1String(c.free)))
            << c.now;
        EXPECT_EQ(stored(), before);
    }
}

// The overview's picture without a display or a window, for a script or an e-mail. It never
// writes over the registration file, the store or a file that is not a PNG, by whatever name.
TEST_F(RealProgram, ChartWithoutADisplay) {
    seed(kHeader + "01-12-2026;1;08:00;16:00;750;750;10;\r\n");
    const QString png = home.filePath(QStringLiteral("oversigt.png"));
    EXPECT_EQ(run(QStringLiteral("--chart=") + png), QStringLiteral("0|"));
    EXPECT_EQ(QImage(png, "PNG").size(), QSize(1000, 560));
    EXPECT_EQ(run(QStringLiteral("--chart=") + home.filePath(QStringLiteral("nowhere/x.png"))),
              QStringLiteral("1|Billedet kunne ikke gemmes i ") +
                  home.filePath(QStringLiteral("nowhere/x.png")) + u'\n');
    // The files kept are the program's own, found as the program finds them; the other
    // refusals are the journal's table's.
    const QString before = stored();
    const std::pair<QString, const char*> refused[] = {
        {data, "det er registreringsfilen."},
        {home.path() + QStringLiteral("/./config/horalog/../horalog/HKEY_CURRENT_USER.reg"),
         "det er programmets indstillinger."},
    };
    for (const auto& [target, why] : refused) {
        EXPECT_EQ(run(QStringLiteral("--chart=") + target),
                  QStringLiteral("1|Billedet gemmes ikke i ") + target + QStringLiteral(": ") +
                      QString::fromUtf8(why) + u'\n');
    }
    EXPECT_EQ(stored(), before);
    runtimeDir = false;  // Qt once warned of it on standard error
    EXPECT_EQ(run(QStringLiteral("--chart=") + png) + run(QStringLiteral("--check")),
              QStringLiteral("0|0Ingen overskridelser.\n|"));
}

// The findings (none is among the chart's runs); of 25 unreadable lines the first 20 are named (a
// file of millions once wrote each to the terminal, for minutes).
TEST_F(RealProgram, CheckNamesEachFinding) {
    seed(kShortRest + QByteArray("x;99999999999;-;-;-;0;0\r\n").repeated(25));
    QString named;
    for (int line = 4; line < 24; ++line) {
        named += QStringLiteral("Linje %1 kan ikke læses og er sprunget over.\n").arg(line);
    }
    EXPECT_EQ(run(QStringLiteral("--check")), u'0' + kShortRestFinding + u'\n' + u'|' + named +
                                                  QStringLiteral("… og 5 linjer mere\n"));
}

// A store the registry code cannot parse (the registry editor's UTF-16 export) once ended the
// command line with an uncaught error and SIGABRT. Odd things at the file's and the store's
// places are named, never waited on (a FIFO once hung --status); a NUL in the last figures is
// named too (it once read «1\0» «10» as flex 1 ct).
TEST_F(RealProgram, OddFilesAreFailuresNamedPromptly) {
    seed(
        QByteArray("08-12-2026;1;08:00;16:00;750;750;1\x00"
                   "10;\r\n",
                   40));
    EXPECT_EQ(run(QStringLiteral("--status")),
              QStringLiteral("1|") + data +
                  QStringLiteral(": Den sidste registrering har et tal, der ikke kan læses: "
                                 "08-12-2026;1;08:00;16:00;750;750;1\uFFFD10;\n"));
    seed("x;3;-;-;-;2220;125\r\n");
    const QString exported = QStringLiteral("\uFEFFWindows Registry Editor Version 5.00\r\n");
    writeBytes(store, QStringEncoder(QStringEncoder::Utf16LE)(exported));
    EXPECT_EQ(run(QStringLiteral("--report")),
              QStringLiteral("1|The settings file ") + store +
                  QStringLiteral(" is damaged and cannot be read.\n"));
    seed("x;3;-;-;-;2220;125\r\n");
    QFile::remove(data);
    ASSERT_EQ(::mkfifo(QFile::encodeName(data).constData(), 0600), 0);
    EXPECT_EQ(run(QStringLiteral("--status")),
              QStringLiteral("1|") + data +
                  QStringLiteral(": Stien er ikke en almindelig fil (en mappe, en FIFO eller en "
                                 "enhed).\n"));
    QFile::remove(store);
    ASSERT_EQ(::mkfifo(QFile::encodeName(store).constData(), 0600), 0);
    EXPECT_TRUE(run(QStringLiteral("--status")).startsWith(QStringLiteral("1|")));
}

// Worked out by hand: November two days and a reset, December a day and time off, January two
// days (one whose time does not fit in 32 bits, one with a two-digit year and LF alone), and
// three lines the report cannot read (a figure too large, no date, a month 13). The last three
// lines, out of calendar order and the last without a line end, put two-digit years on either
// side of 2000 and of the 68/69 pivot: the months come out as 1969, 1999, 2026, 2027, 2068.
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
    const QString unreadable = QStringLiteral(
        "|Linje 9 kan ikke læses og er sprunget over.\nLinje 10 kan ikke læses og er sprunget "
        "over.\nLinje 11 kan ikke læses og er sprunget over.");
    const QString table = run(QStringLiteral("--report"));
    EXPECT_EQ(table.section(u'\n', 0, 1),  // a column of 8, then columns of 16
              QStringLiteral("0Måned        Arbejdsdage      Arbejdstid    Afspadsering   "
                             "Nulstillinger            Flex\n1969-02                0         "
                             "   0 ct            0 ct               1           40 ct"));
    EXPECT_TRUE(table.endsWith(QStringLiteral(" 33 ct\n") + unreadable + u'\n'));
    EXPECT_EQ(
        run(QStringLiteral("--report=csv")),
        QStringLiteral("0måned;arbejdsdage;arbejdstid;afspadsering;nulstillinger;flex\n"
                       "1969-02;0;0;0;1;40\n1999-12;1;725;0;0;95\n2026-11;2;1550;0;1;220\n"
                       "2026-12;1;650;12;0;118\n2027-01;2;750;0;0;128\n2068-02;0;0;8;0;33\n") +
            unreadable + u'\n');
}

// The file is read in large pieces: lines that straddle two reads and lines ending in CR alone
// (an old editor's) are each read whole and once; one longer than any record (a 2 MB comment) is
// named and skipped, never held whole. Excel reads the CSV as UTF-8 only after a byte-order mark.
TEST_F(RealProgram, ReportAcrossReads) {
    QByteArray records;
    for (int i = 0; i < 30000; ++i) {
        records += "01-03-2026;1;08:00;16:00;750;750;100;\r\n";
    }
    seed(records + "02-03-2026;1;08:00;16:00;750;750;90;" + QByteArray(2 << 20, 'x') +
         "\r\n03-03-2026;1;08:00;16:00;750;750;80;\r04-03-2026;1;08:00;16:00;750;750;70;\r");
    auto csv = start({QStringLiteral("--report=csv")});
    ASSERT_TRUE(csv->waitForFinished(20000));
    EXPECT_EQ(csv->readAllStandardOutput(),  // as bytes: a QString would drop the byte-order mark
              "\xEF\xBB\xBFm\xC3\xA5ned;arbejdsdage;arbejdstid;afspadsering;nulstillinger;flex\n"
              "2026-03;30002;22501500;0;0;70\n");
    EXPECT_EQ(csv->readAllStandardError(),
              "Linje 30001 kan ikke l\xC3\xA6ses og er sprunget over.\n");
}

}  // namespace
}  // namespace horalog::testing
