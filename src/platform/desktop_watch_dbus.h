#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <functional>

#include "platform/desktop_event.h"

class QDBusPendingCallWatcher;

namespace horalog {

// logind's session (its Lock and Unlock signals, its LockedHint) and sleep (PrepareForSleep) on
// the system bus, and the screen saver's ActiveChanged on the session bus. The session is looked
// up without blocking: the start never waits for a bus that does not answer.
class DBusDesktopWatch : public QObject {
    Q_OBJECT

public:
    DBusDesktopWatch(std::function<void(DesktopEvent)> handler, QObject* parent);

private Q_SLOTS:
    void sessionFound(QDBusPendingCallWatcher* call);
    void locked() { handler_(DesktopEvent::Locked); }
    void unlocked() { handler_(DesktopEvent::Unlocked); }
    void sleeping(bool start) { handler_(start ? DesktopEvent::Sleeping : DesktopEvent::Woken); }
    void screenSaverActive(bool active) {
        handler_(active ? DesktopEvent::Locked : DesktopEvent::Unlocked);
    }
    void sessionChanged(const QString& interface, const QVariantMap& changed,
                        const QStringList& invalidated);

private:
    std::function<void(DesktopEvent)> handler_;
};

}  // namespace horalog
