#include <windows.h>
#include <wtsapi32.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QObject>
#include <QWidget>

#include "platform/desktop_watch.h"

namespace horalog {

namespace {

// The session's lock and unlock (registered for the window) and the machine's sleep and wake
// (sent to every top-level window), from the window's own messages.
class WinDesktopWatch : public QObject, public QAbstractNativeEventFilter {
public:
    WinDesktopWatch(QWidget* window, std::function<void(DesktopEvent)> handler)
        : QObject(window),
          hwnd_(reinterpret_cast<HWND>(window->winId())),
          handler_(std::move(handler)) {
        registered_ = WTSRegisterSessionNotification(hwnd_, NOTIFY_FOR_THIS_SESSION) != FALSE;
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~WinDesktopWatch() override {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        if (registered_) {
            WTSUnRegisterSessionNotification(hwnd_);
        }
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        const MSG* msg = static_cast<const MSG*>(message);
        if (type != "windows_generic_MSG" || msg->hwnd != hwnd_) {
            return false;
        }
        if (msg->message == WM_WTSSESSION_CHANGE && msg->wParam == WTS_SESSION_LOCK) {
            handler_(DesktopEvent::Locked);
        } else if (msg->message == WM_WTSSESSION_CHANGE && msg->wParam == WTS_SESSION_UNLOCK) {
            handler_(DesktopEvent::Unlocked);
        } else if (msg->message == WM_POWERBROADCAST && msg->wParam == PBT_APMSUSPEND) {
            handler_(DesktopEvent::Sleeping);
        } else if (msg->message == WM_POWERBROADCAST && msg->wParam == PBT_APMRESUMEAUTOMATIC) {
            handler_(DesktopEvent::Woken);
        }
        return false;
    }

private:
    HWND hwnd_;
    std::function<void(DesktopEvent)> handler_;
    bool registered_ = false;
};

}  // namespace

void watchDesktop(QWidget* window, std::function<void(DesktopEvent)> handler) {
    new WinDesktopWatch(window, std::move(handler));
}

}  // namespace horalog
