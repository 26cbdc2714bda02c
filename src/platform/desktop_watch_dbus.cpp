#include "platform/desktop_watch_dbus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QWidget>

#include "platform/desktop_watch.h"

namespace horalog {

namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
constexpr int kLookupMs = 5000;

}  // namespace

DBusDesktopWatch::DBusDesktopWatch(std::function<void(DesktopEvent)> handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
    QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected()) {
        system.connect(kLogin, kLoginPath, kManager, QStringLiteral("PrepareForSleep"), this,
                       SLOT(sleeping(bool)));
        QDBusMessage lookup = QDBusMessage::createMethodCall(kLogin, kLoginPath, kManager,
                                                             QStringLiteral("GetSessionByPID"));
        lookup << static_cast<quint32>(QCoreApplication::applicationPid());
        auto* call = new QDBusPendingCallWatcher(system.asyncCall(lookup, kLookupMs), this);
        connect(call, &QDBusPendingCallWatcher::finished, this, &DBusDesktopWatch::sessionFound);
    }
    // Desktops without a logind session lock through their screen saver; where both report, a
    // lock told twice is one lock.
    QDBusConnection session = QDBusConnection::sessionBus();
    if (session.isConnected()) {
        for (const char* path : {"/org/freedesktop/ScreenSaver", "/ScreenSaver"}) {
            session.connect(QString(), QLatin1String(path),
                            QStringLiteral("org.freedesktop.ScreenSaver"),
                            QStringLiteral("ActiveChanged"), this, SLOT(screenSaverActive(bool)));
        }
    }
}

void DBusDesktopWatch::sessionFound(QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *call;
    if (reply.isError()) {
        return;  // not in a logind session: the screen saver, if any, tells
    }
    const QString path = reply.value().path();
    QDBusConnection system = QDBusConnection::systemBus();
    system.connect(kLogin, path, kSession, QStringLiteral("Lock"), this, SLOT(locked()));
    system.connect(kLogin, path, kSession, QStringLiteral("Unlock"), this, SLOT(unlocked()));
    system.connect(kLogin, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                   QStringLiteral("PropertiesChanged"), this,
                   SLOT(sessionChanged(QString, QVariantMap, QStringList)));
}

void DBusDesktopWatch::sessionChanged(const QString& interface, const QVariantMap& changed,
                                      const QStringList& /*invalidated*/) {
    const auto hint = changed.find(QStringLiteral("LockedHint"));
    if (interface == kSession && hint != changed.end()) {
        hint->toBool() ? locked() : unlocked();
    }
}

void watchDesktop(QWidget* window, std::function<void(DesktopEvent)> handler) {
    new DBusDesktopWatch(std::move(handler), window);
}

}  // namespace horalog
