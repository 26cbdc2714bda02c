// Minimising to the tray, coming back from it, and the ways the program ends.
#include <QCloseEvent>
#include <QTimer>

#include "app/flex_form.h"
#include "app/tray_data.h"

namespace horalog {

void Flex_Form::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        run(&Flex_Form::Form_Resize);
    }
}

void Flex_Form::Form_Resize() {
    if (!isMinimized()) {
        Tray->hideIcon();
        return;
    }
    // Without a tray the window stays minimised with its taskbar entry.
    if (!Tray->showIcon()) {
        return;
    }
    // Hidden once the state change is through; some window managers lose a window hidden in the
    // middle of minimising it.
    QTimer::singleShot(0, this, [this] {
        if (isMinimized()) {
            hide();
        }
    });
}

// Also a second start's: the window comes forward, and a question open now in front of it. A
// question of the start-up comes alone, as the window behind it is not filled in yet.
void Flex_Form::Tray_Click() {
    if (Tray->filled()) {
        showNormal();
        raise();
        activateWindow();
    }
    platform_.bringDialogForward();
}

void Flex_Form::closeEvent(QCloseEvent* event) {
    // The user closing the window ends the program; a close by the system just closes.
    if (event->spontaneous()) {
        run(&Flex_Form::Afslut_Menu_Click);
    }
    event->accept();
}

void Flex_Form::Afslut_Menu_Click() {
    rememberLastActive();
    Tray->hideIcon();
    platform_.endProgram(0);
}

}  // namespace horalog
