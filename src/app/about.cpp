#include "app/flex_form.h"

namespace horalog {

void Flex_Form::Om_Menu_Click() {
    platform_.messageBox(
        this,
        QStringLiteral("Horalogs registrering, Version %1.%2.%3\r\n")
                .arg(HORALOG_VERSION_MAJOR)
                .arg(HORALOG_VERSION_MINOR)
                .arg(HORALOG_VERSION_PATCH) +
            QStringLiteral("Registrer og udregner horalog udfra komme & gå tidspunkt."
                           "\r\n\r\nKvistborg, 1999-2026"),
        QStringLiteral("Om Horalogs registrering"), MessageIcon::Information, MessageButtons::Ok,
        MessageAnswer::Ok);
}

}  // namespace horalog
