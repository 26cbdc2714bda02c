// The desktop's lock and sleep as they come over D-Bus: two private buses, the system one with a
// stand-in for logind, the session one for the screen saver; the window's proposal read back.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>

#include "form_fixture.h"
#include "platform/desktop_watch.h"

namespace horalog::testing {
namespace {

// A bus of the test's own, gone with it.
struct PrivateBus {
    PrivateBus() {
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"),
                      QStringLiteral("--print-address=1")});
        daemon.waitForReadyRead(5000);
        address = QString::fromUtf8(daemon.readLine().trimmed());
    }
    ~PrivateBus() {
        daemon.kill();
        daemon.waitForFinished();
    }
    QProcess daemon;
    QString address;
};

const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/_7");

// logind's manager, as far as the program asks it.
class Login1 : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public Q_SLOTS:
    QDBusObjectPath GetSessionByPID(uint) {
        asked = true;
        return QDBusObjectPath(kSessionPath);
    }

public:
    bool asked = false;
};

class DesktopOverDBus : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_FALSE(system.address.isEmpty()) << "no dbus-daemon";
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", system.address.toUtf8());
        qputenv("DBUS_SESSION_BUS_ADDRESS", session.address.toUtf8());
        ASSERT_TRUE(logind.registerService(QStringLiteral("org.freedesktop.login1")));
        ASSERT_TRUE(logind.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager,
                                          QDBusConnection::ExportAllSlots));
    }
    void on(int day, int hour, int minute) {
        platform.now = QDateTime(QDate(2026, 12, day), QTime(hour, minute));
    }
    // Sends the signal once and waits until the window is told of it.
    static void send(QDBusConnection& bus, const QDBusMessage& signal,
                     const std::function<bool()>& told) {
        bus.send(signal);
        pump(told);
    }
    static void pump(const std::function<bool()>& until, int ms = 10000) {
        const QDeadlineTimer deadline(ms);
        while (!until() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
    static QDBusMessage signal(const QString& path, const char* interface, const char* name,
                               const QVariantList& arguments = {}) {
        QDBusMessage m =
            QDBusMessage::createSignal(path, QLatin1String(interface), QLatin1String(name));
        m.setArguments(arguments);
        return m;
    }

    PrivateBus system, session;
    QDBusConnection logind =
        QDBusConnection::connectToBus(system.address, QStringLiteral("logind"));
    QDBusConnection saver =
        QDBusConnection::connectToBus(session.address, QStringLiteral("screensaver"));
    Login1 manager;
};

TEST_F(DesktopOverDBus, TheLastLockIsTheProposal) {
    on(7, 8, 0);
    startExistingUser(kHeader + "01-12-2026;3;08:00;16:00;750;2220;125;\r\n");
    arrive("08:00");
    std::vector<DesktopEvent> told;
    watchDesktop(&form(), [&](DesktopEvent event) {
        told.push_back(event);
        platform.desktop(event);
    });
    // The session is looked up without blocking: the window listens once the answer is in.
    pump([&] { return manager.asked; });
    pump([] { return false; }, 500);
    // Each signal as the desktop event it is; what the window makes of them is the scripted
    // platform's to test, the proposal read back here once.
    on(7, 11, 30);
    send(logind,
         signal(kSessionPath, "org.freedesktop.DBus.Properties", "PropertiesChanged",
                {QStringLiteral("org.freedesktop.login1.Session"),
                 QVariantMap{{QStringLiteral("LockedHint"), true}}, QStringList()}),
         [&] { return told.size() == 1; });
    on(7, 13, 5);
    send(logind, signal(kSessionPath, "org.freedesktop.login1.Session", "Unlock"),
         [&] { return told.size() == 2; });
    on(7, 16, 42);
    send(saver,
         signal(QStringLiteral("/org/freedesktop/ScreenSaver"), "org.freedesktop.ScreenSaver",
                "ActiveChanged", {true}),
         [&] { return told.size() == 3; });
    on(7, 23, 59);
    send(logind,
         signal(QStringLiteral("/org/freedesktop/login1"), "org.freedesktop.login1.Manager",
                "PrepareForSleep", {true}),
         [&] { return told.size() == 4; });
    EXPECT_EQ(told, (std::vector<DesktopEvent>{DesktopEvent::Locked, DesktopEvent::Unlocked,
                                               DesktopEvent::Locked, DesktopEvent::Sleeping}));
    on(8, 8, 30);
    platform.answer(QStringLiteral("Nej|>16:42"));
    tick();
    EXPECT_EQ(platform.shown.back().defaultText, QStringLiteral("16:42"));
}

}  // namespace
}  // namespace horalog::testing

#include "desktop_watch_test.moc"
