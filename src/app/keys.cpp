// The keys the window acts on itself: Enter counts the day so far, Alt+F4 ends the program.
#include <QKeyEvent>

#include "app/flex_form.h"

namespace horalog {

void Flex_Form::Form_KeyDown(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (key.key() == Qt::Key_F4 && modifiers == Qt::AltModifier) {
        Afslut_Menu_Click();
    } else if ((key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
               modifiers == Qt::NoModifier) {
        Gaa_Text_LostFocus();
    }
}

}  // namespace horalog
