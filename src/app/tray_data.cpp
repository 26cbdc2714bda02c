#include "app/tray_data.h"

#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/app_icon.h"

namespace horalog {

namespace {

constexpr int kTipLength = 63;  // the longest tip the Windows tray shows
constexpr int kReleasePollMs = 20;

}  // namespace

Tray_Data::Tray_Data(Platform& platform, std::function<void()> restore, QObject* parent)
    : QObject(parent), platform_(platform), restore_(std::move(restore)) {
    setObjectName(QStringLiteral("Tray_Data"));
}

void Tray_Data::setTip(const QString& caption) {
    tip_ = caption.left(kTipLength);
    if (icon_ != nullptr && icon_->toolTip() != tip_) {
        icon_->setToolTip(tip_);
    }
}

bool Tray_Data::showIcon() {
    if (!filled_ || !platform_.trayAvailable()) {
        return false;
    }
    if (icon_ == nullptr) {
        icon_ = new QSystemTrayIcon(appIcon(), this);
        icon_->setObjectName(QStringLiteral("Tray_Icon"));
        connect(icon_, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason why) {
                    if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick) {
                        restoreOnRelease();
                    }
                });
    }
    icon_->setToolTip(tip_);
    icon_->show();
    return true;
}

void Tray_Data::hideIcon() {
    if (icon_ != nullptr) {
        icon_->hide();
    }
}

bool Tray_Data::inTray() const {
    return icon_ != nullptr && icon_->isVisible();
}

void Tray_Data::notify(const QString& title, const QString& text) {
    if (inTray()) {
        platform_.trayMessage(*icon_, title, text);
    }
}

// The X11 tray reports a left click when the button goes down; the window comes back when it
// is let go, as a click on the icon is meant, so that a press alone changes nothing.
void Tray_Data::restoreOnRelease() {
    if (QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)) {
        QTimer::singleShot(kReleasePollMs, this, [this] { restoreOnRelease(); });
        return;
    }
    restore_();
}

}  // namespace horalog
