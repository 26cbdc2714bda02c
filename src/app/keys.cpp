// The keys the window acts on itself. Its key handler takes a key code and shift flags, as the
// window's keys were first written for: Enter counts the day so far, Alt+F4 ends the program.
#include <QKeyEvent>

#include "app/flex_form.h"

namespace horalog {

namespace {

constexpr int kKeyReturn = 13;
constexpr int kKeyF4 = 115;
constexpr int kShiftFlag = 1;
constexpr int kCtrlFlag = 2;
constexpr int kAltFlag = 4;

int keyCodeOf(const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kKeyReturn;
        case Qt::Key_F4:
            return kKeyF4;
        default:
            return 0;
    }
}

int shiftFlagsOf(const QKeyEvent& key) {
    const Qt::KeyboardModifiers m = key.modifiers();
    return (m.testFlag(Qt::ShiftModifier) ? kShiftFlag : 0) |
           (m.testFlag(Qt::ControlModifier) ? kCtrlFlag : 0) |
           (m.testFlag(Qt::AltModifier) ? kAltFlag : 0);
}

}  // namespace

void Flex_Form::keyPressed(const QKeyEvent& key) {
    if (const int code = keyCodeOf(key); code != 0) {
        Form_KeyDown(code, shiftFlagsOf(key));
    }
}

void Flex_Form::Form_KeyDown(int keyCode, int shift) {
    if (keyCode == kKeyF4 && shift == kAltFlag) {
        Afslut_Menu_Click();
        return;
    }
    if (keyCode == kKeyReturn && shift == 0) {
        Gaa_Text_LostFocus();
    }
}

}  // namespace horalog
