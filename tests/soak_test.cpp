// Two busy copies over one file and store, killed at random: whole, recounted lines; a store.
#include <signal.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <cmath>
#include <set>

#include "form_fixture.h"

namespace horalog::testing {
namespace {

// Whole records, each one's figures the recount of all before it, no day twice; counts the nights.
std::string checkFile(QByteArray bytes, int& nights) {
    if (!bytes.isEmpty() && (!bytes.startsWith(kHeader) || !bytes.endsWith("\r\n") ||
                             bytes.count('\n') != bytes.count("\r\n"))) {
        return "no header, a line without its CR, or the file ends inside a line";
    }
    const QList<QByteArray> lines = bytes.replace("\r\n", "\n").split('\n');
    double dage = 0, sum = 0, total = 0;
    std::set<QString> arrivals;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split(';');
        const std::string where = "line " + std::to_string(i + 1) + ": " + lines[i].toStdString();
        if (f.size() < 7 || f[0].size() != 10 || lines[i].contains('\r')) {
            return where + " is not a record";
        } else if (i == 1) {
            total = f[6].toDouble();
        } else if (f.size() >= 8 && f[7] == "periode afsluttet/nulstillet") {
            dage = sum = 0;
        } else if (f[2] != "-") {    // a day: 7.4 hours due, as the float the program holds
            nights += f[3] <= f[2];  // a night's record is dated the day after its arrival
            const QDate date = QDate::fromString(QString::fromLatin1(f[0]), u"dd-MM-yyyy");
            const QString arrival = date.addDays(-(f[3] <= f[2])).toString(u"yyyy-MM-dd ") + f[2];
            if (!arrivals.insert(arrival).second) {
                return where + " counts the day that arrived " + arrival.toStdString() +
                       " a second time";
            }
            ++dage;
            sum += f[4].toDouble();
            total = std::nearbyint(total + f[4].toDouble() - static_cast<double>(7.4f) * 100.0);
        } else {  // time off: the amount as the float the program read
            const double amount = -QByteArray(f[4]).replace(',', '.').toFloat();
            sum = std::nearbyint(sum - amount);
            total = std::nearbyint(total - amount);
        }
        if (f[1].toDouble() != dage || f[5].toDouble() != sum || f[6].toDouble() != total) {
            return where + " disagrees with the recount " + std::to_string(dage) + ", " +
                   std::to_string(sum) + ", " + std::to_string(total);
        }
    }
    return {};
}

// The recount itself: a night closed twice (a kill between its record and the store) is found.
TEST(SoakRecount, ADayCountedTwiceIsFound) {
    const QByteArray night = "08-12-2026;1;22:00;01:30;300;300;-440;\r\n",
                     opening = kHeader + "07-12-2026;0;-;-;-;0;0\r\n";
    int nights = 0;
    EXPECT_EQ(checkFile(opening + night, nights), "");
    EXPECT_EQ(nights, 1);
    EXPECT_EQ(checkFile(opening + night + "08-12-2026;2;22:00;01:45;325;625;-855;\r\n", nights),
              "line 4: 08-12-2026;2;22:00;01:45;325;625;-855; counts the day that arrived "
              "2026-12-07 22:00 a second time");
}

TEST(Soak, KilledAtRandomNothingIsLost) {
    const int kills = std::max(qEnvironmentVariableIntValue("HORALOG_SOAK_KILLS"), 25);
    QTemporaryDir dir;
    QRandomGenerator random(20261206);
    qputenv("ASAN_OPTIONS", "detect_leaks=0");
    int nights = 0;
    for (int kill = 1; kill <= kills; ++kill) {
        SCOPED_TRACE("after kill " + std::to_string(kill));
        QProcess children[2];
        for (int i = 0; i < 2; ++i) {
            children[i].start(QCoreApplication::applicationFilePath(),
                              {"--soak-child", dir.path(), QString::number(2 * kill + i)});
            ASSERT_TRUE(children[i].waitForStarted(10000));
        }
        QThread::msleep(random.bounded(50u, kill % 5 == 1 ? 2000u : 400u));
        for (QProcess& child : children) {
            ASSERT_EQ(child.state(), QProcess::Running)
                << child.readAllStandardError().toStdString();
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            ASSERT_TRUE(child.waitForFinished(10000));
            QThread::msleep(random.bounded(30u));
        }
        const QByteArray bytes = readBytes(dir.filePath("Horalog.Dat"));
        nights = 0;
        ASSERT_EQ(checkFile(bytes, nights), "") << bytes.right(3000).toStdString();
        EXPECT_NO_THROW(
            CRegistry(TestStore(dir.path()).backend()).OpenKey(kHKeyCurrentUser, kSettingsKey));
    }
    const long long lines = readBytes(dir.filePath("Horalog.Dat")).count('\n');
    EXPECT_TRUE(lines > kills && nights > 0);  // the children did real work between the kills
    std::printf("%d kills, %lld lines (%d nights), all whole and consistent\n", kills, lines,
                nights);
}

// Killed between the night's record and the store: the next start once asked, and wrote it twice.
TEST_F(FormTest, ANightKilledAfterItsRecordIsClosedOnce) {
    on(7, 22, 0);
    startExistingUser(kThreeDays);
    arrive("22:00");
    window.reset();  // the night is closed by a child, which is killed (-1, a crash)
    ASSERT_EQ(QProcess::execute(qApp->applicationFilePath(), {"--night-child", dir->path()}), -1);
    ASSERT_EQ(readBytes(file), kThreeDays + "08-12-2026;4;22:00;01:30;300;2520;-315;\r\n");
    // Another copy books time off after the night's record: the record is no longer the last.
    const QByteArray night = readBytes(file) + "08-12-2026;4;-;-;-100;2420;-415;afspadsering\r\n";
    writeBytes(file, night);
    ASSERT_EQ(userValue("Moedt"), "07-12-2026 22:00");
    on(8, 8, 0);
    ASSERT_TRUE(startForm());  // no question about the 7th
    EXPECT_EQ(stored("Moedt") + u'|' + text("Total_CT") + u'|' + text("Idag_CT"), u" |-415 ct |"_s);
    arrive("08:00");
    leave("08:30");
    EXPECT_EQ(readBytes(file), night + "08-12-2026;5;08:00;08:30;0;2420;-1155;\r\n");
}

}  // namespace

// Closes the night from 22:00 on the 7th at 01:30, killed as the store forgets the arrival.
int nightChild(const QString& folder) {
    ScriptedPlatform platform;
    platform.now = QDateTime(QDate(2026, 12, 8), QTime(1, 30));
    platform.answer("Ja");  // the arrival on the 7th is kept
    const auto killing = std::make_shared<FullStore>(TestStore(folder).backend());
    killing->beforeSet = [](const std::string& name, const std::string& text) {
        if (name == "Moedt" && text == " ") {
            ::raise(SIGKILL);
        }
    };
    Flex_Form form(platform, [killing] { return std::make_unique<CRegistry>(killing); });
    form.start();
    form.findChild<QPushButton*>("Registrer_Command")->click();
    return 3;  // not killed: no record was written
}

// Days, nights, time off and resets until killed; the first child first closes a day left open.
int soakChild(const QString& folder, quint32 seed) {
    QRandomGenerator random(seed);
    qputenv("HOME", folder.toLocal8Bit());
    const auto at = [&random](int fromHour, int hours) {
        return QTime(random.bounded(fromHour, fromHour + hours), random.bounded(60));
    };
    ScriptedPlatform platform;  // answers every dialog as a willing user would
    QDate day = QDate(2000, 1, 1).addDays(2000LL * seed);
    const TestStore store(folder);
    const QString open =
        seed % 2 == 0 ? QString::fromStdString(store.userValue("Moedt").value_or("")) : QString();
    const QDateTime arrived = QDateTime::fromString(open, u"dd-MM-yyyy HH:mm");
    platform.now = !arrived.isValid()               ? QDateTime(day, at(6, 4))
                   : arrived.time() >= QTime(20, 0) ? QDateTime(arrived.date().addDays(1), at(0, 6))
                                                    : QDateTime(arrived.date(), at(12, 6));
    platform.unscripted = [&random](const ShownDialog& d) {
        return d.kind == u'!' ? QString::fromLatin1(d.buttons == MessageButtons::Ok ? "OK" : "Ja")
               : d.text.startsWith(u"Angiv antal timer")
                   ? QStringLiteral(">%1,%2").arg(random.bounded(-2, 8)).arg(random.bounded(1000))
                   : QString::fromLatin1(d.text.startsWith(u"Indtast evt.") ? ">soak" : ">0");
    };
    Flex_Form form(platform, [&store] { return std::make_unique<CRegistry>(store.backend()); });
    form.start();
    if (arrived.isValid() && store.userValue("Moedt") == open.toStdString()) {
        form.run(&Flex_Form::Registrer_Command_Click);  // the departure its clock shows
    }
    const auto press = [&](const char* field, const QDateTime& now) {
        platform.now = now;
        form.findChild<QLineEdit*>("Gaa_Text")->clear();
        form.findChild<QLineEdit*>(field)->setText(now.time().toString(u"HH:mm"));
        form.run(&Flex_Form::Registrer_Command_Click);
    };
    for (;;) {
        const int op = random.bounded(20);
        if (op < 15) {  // a day from 06-09 to 12-17, or a night from 20-23 to 00-05
            const bool night = random.bounded(2) == 1;
            press("Komme_Text", QDateTime(day, night ? at(20, 4) : at(6, 4)));
            press("Gaa_Text", QDateTime(day.addDays(night ? 1 : 0), night ? at(0, 6) : at(12, 6)));
            day = day.addDays(1);
        } else {
            form.run(op < 19 ? &Flex_Form::Afspadsering_Menu_Click
                             : &Flex_Form::Nulstil_Menu_Click);
        }
    }
}

}  // namespace horalog::testing
