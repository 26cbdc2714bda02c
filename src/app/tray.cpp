// The tray, the keys the window intercepts, and the ways the program ends.
#include <QCloseEvent>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/app_icon.h"
#include "app/flex_form.h"

namespace horalog {

void Flex_Form::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        run(&Flex_Form::Form_Resize);
    }
}

void Flex_Form::Form_Resize() {
    if (isMinimized()) {
        // The tray is looked for now, since a panel may start or stop while the program runs.
        // Without one the window stays minimised with its taskbar entry.
        if (!Tray_Data.filled || !platform_.trayAvailable()) {
            return;
        }
        if (Tray_Icon == nullptr) {
            createTrayIcon();
        }
        Tray_Icon->setToolTip(Tray_Data.tip);
        Tray_Icon->show();
        // Hidden once the state change is through; some window managers lose a window
        // hidden in the middle of minimising it.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized()) {
                hide();
            }
        });
        return;
    }
    if (Tray_Icon != nullptr) {
        Tray_Icon->hide();
    }
}

void Flex_Form::createTrayIcon() {
    Tray_Icon = new QSystemTrayIcon(appIcon(), this);
    Tray_Icon->setObjectName(QStringLiteral("Tray_Icon"));
    connect(Tray_Icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick) {
                    restoreOnRelease();
                }
            });
}

// The X11 tray reports a left click when the button goes down; the window comes back when it
// is let go, as a click on the icon is meant, so that a press alone changes nothing.
void Flex_Form::restoreOnRelease() {
    if (QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)) {
        QTimer::singleShot(20, this, [this] { restoreOnRelease(); });
        return;
    }
    run(&Flex_Form::Tray_Click);
}

void Flex_Form::Tray_Click() {
    showNormal();
    raise();
    activateWindow();
}

void Flex_Form::Form_KeyDown(int keyCode, int shift) {
    if (keyCode == 115 && shift == 4) {
        Afslut_Menu_Click();
        return;
    }
    if (keyCode == 13 && shift == 0) {
        Gaa_Text_LostFocus();
    }
}

void Flex_Form::closeEvent(QCloseEvent* event) {
    // The user closing the window ends the program; a close by the system just closes.
    if (event->spontaneous()) {
        run(&Flex_Form::Afslut_Menu_Click);
    }
    event->accept();
}

void Flex_Form::Afslut_Menu_Click() {
    if (Tray_Icon != nullptr) {
        Tray_Icon->hide();
    }
    platform_.endProgram(0);
}

}  // namespace horalog
