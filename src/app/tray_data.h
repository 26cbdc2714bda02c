#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "platform/platform.h"

class QSystemTrayIcon;

namespace horalog {

// The icon in the system tray while the window is minimised: its tip kept equal to the window's
// caption, a click on it bringing the window back.
class Tray_Data : public QObject {
    Q_OBJECT

public:
    Tray_Data(Platform& platform, std::function<void()> restore, QObject* parent);

    // Filled at the end of the start-up; until then a minimised window keeps its taskbar entry.
    void fill() { filled_ = true; }
    bool filled() const { return filled_; }
    void setTip(const QString& caption);
    // Shows the icon in the window's place when the desktop has a tray now (a panel may start or
    // stop while the program runs); false when the window must stay minimised instead.
    bool showIcon();
    void hideIcon();
    // Whether the window sits in the tray now, and a notice from its icon.
    bool inTray() const;
    void notify(const QString& title, const QString& text);

private:
    void restoreOnRelease();

    Platform& platform_;
    std::function<void()> restore_;
    bool filled_ = false;
    QString tip_;
    QSystemTrayIcon* icon_ = nullptr;
};

}  // namespace horalog
