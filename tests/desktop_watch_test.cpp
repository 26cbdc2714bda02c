// The desktop's lock and sleep as they come over D-Bus: two private buses, the system one with a
// stand-in for logind, the session one for the screen saver. What the window makes of them is
// WorkingDayTest's.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QProcess>
#include <QWidget>

#include "platform/desktop_watch.h"

namespace horalog {
namespace {

const char* const kSessionPath = "/org/freedesktop/login1/session/_7";

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

void pump(const std::function<bool()>& until, int ms = 10000) {
    const QDeadlineTimer deadline(ms);
    while (!until() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

TEST(DesktopOverDBus, EachSignalIsItsEvent) {
    const auto busOfItsOwn = [](QProcess& daemon) {  // gone with the test
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        daemon.waitForReadyRead(5000);
        return QString::fromUtf8(daemon.readLine().trimmed());
    };
    QProcess systemDaemon, sessionDaemon;
    const QString system = busOfItsOwn(systemDaemon), session = busOfItsOwn(sessionDaemon);
    ASSERT_FALSE(system.isEmpty()) << "no dbus-daemon";
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", system.toUtf8());
    qputenv("DBUS_SESSION_BUS_ADDRESS", session.toUtf8());
    QDBusConnection logind = QDBusConnection::connectToBus(system, "logind");
    QDBusConnection saver = QDBusConnection::connectToBus(session, "screensaver");
    Login1 manager;
    ASSERT_TRUE(logind.registerService("org.freedesktop.login1"));
    ASSERT_TRUE(logind.registerObject("/org/freedesktop/login1", &manager,
                                      QDBusConnection::ExportAllSlots));
    QWidget window;
    std::vector<DesktopEvent> told;
    watchDesktop(&window, [&](DesktopEvent event) { told.push_back(event); });
    // The session is looked up without blocking: the watch listens once the answer is in.
    pump([&] { return manager.asked; });
    pump([] { return false; }, 500);
    const struct {
        QDBusConnection& bus;
        const char *path, *interface, *name;
        QVariantList arguments;
    } sent[] = {
        {logind,
         kSessionPath,
         "org.freedesktop.DBus.Properties",
         "PropertiesChanged",
         {"org.freedesktop.login1.Session", QVariantMap{{"LockedHint", true}}, QStringList()}},
        {logind, kSessionPath, "org.freedesktop.login1.Session", "Unlock", {}},
        {saver,
         "/org/freedesktop/ScreenSaver",
         "org.freedesktop.ScreenSaver",
         "ActiveChanged",
         {true}},
        {logind,
         "/org/freedesktop/login1",
         "org.freedesktop.login1.Manager",
         "PrepareForSleep",
         {true}},
    };
    for (const auto& s : sent) {  // each sent once, and waited for
        QDBusMessage signal = QDBusMessage::createSignal(s.path, s.interface, s.name);
        signal.setArguments(s.arguments);
        const std::size_t before = told.size();
        s.bus.send(signal);
        pump([&] { return told.size() > before; });
    }
    EXPECT_EQ(told, (std::vector<DesktopEvent>{DesktopEvent::Locked, DesktopEvent::Unlocked,
                                               DesktopEvent::Locked, DesktopEvent::Sleeping}));
}

}  // namespace
}  // namespace horalog

#include "desktop_watch_test.moc"
