// The desktop's lock and sleep over two private buses: logind's stand-in and the screen saver's.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <QTest>
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
        setProperty("asked", true);
        return QDBusObjectPath(kSessionPath);
    }
};

TEST(DesktopOverDBus, EachSignalIsItsEvent) {
    const auto busOfItsOwn = [](QProcess& daemon, const char* variable, const QString& name) {
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        daemon.waitForReadyRead(5000);
        const QByteArray address = daemon.readLine().trimmed();
        qputenv(variable, address);
        return QDBusConnection::connectToBus(QString::fromUtf8(address), name);
    };
    QProcess systemDaemon, sessionDaemon;
    QDBusConnection logind = busOfItsOwn(systemDaemon, "DBUS_SYSTEM_BUS_ADDRESS", "logind");
    QDBusConnection saver = busOfItsOwn(sessionDaemon, "DBUS_SESSION_BUS_ADDRESS", "screensaver");
    ASSERT_TRUE(logind.isConnected() && saver.isConnected()) << "no dbus-daemon";
    Login1 manager;
    ASSERT_TRUE(logind.registerService("org.freedesktop.login1") &&
                logind.registerObject("/org/freedesktop/login1", &manager,
                                      QDBusConnection::ExportAllSlots));
    QWidget window;
    std::vector<DesktopEvent> told;
    watchDesktop(&window, [&](DesktopEvent event) { told.push_back(event); });
    // The session is looked up without blocking: the watch listens once the answer is in.
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager.property("asked").toBool(); }, 10000));
    QTest::qWait(500);
    const auto signal = &QDBusMessage::createSignal;
    const std::pair<QDBusConnection&, QDBusMessage> sent[] = {
        {logind, signal(kSessionPath, "org.freedesktop.DBus.Properties", "PropertiesChanged")
                     << "org.freedesktop.login1.Session" << QVariantMap{{"LockedHint", true}}
                     << QStringList()},
        {logind, signal(kSessionPath, "org.freedesktop.login1.Session", "Unlock")},
        {saver,
         signal("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged")
             << true},
        {logind,
         signal("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep")
             << true}};
    for (const auto& [bus, message] : sent) {  // each sent once, and waited for
        bus.send(message);                     // delivered through the event loop, so not yet told
        EXPECT_TRUE(QTest::qWaitFor([&, n = told.size()] { return told.size() > n; }, 10000));
    }
    EXPECT_EQ(told, (std::vector<DesktopEvent>{DesktopEvent::Locked, DesktopEvent::Unlocked,
                                               DesktopEvent::Locked, DesktopEvent::Sleeping}));
}

}  // namespace
}  // namespace horalog

#include "desktop_watch_test.moc"
