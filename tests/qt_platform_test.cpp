// The real Qt dialogs, each answered by a timer that fires once the dialog runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/qt_platform.h"

namespace horalog {
namespace {

template <typename D, typename F>
void whenShown(F answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

// "Nej" read as "Ja" would end a period; a cancelled input must read as nothing typed.
TEST(QtPlatformDialogs, DanishButtonsAndAnswers) {
    QtPlatform platform(QLocale::c());
    QString seen;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        seen =
            box->text() + u'|' + box->defaultButton()->text() + u'|' + box->buttons().at(1)->text();
        box->buttons().at(1)->click();
    });
    EXPECT_EQ(platform.messageBox(nullptr, QStringLiteral("a\r\nb"), QStringLiteral("t"),
                                  MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes),
              MessageAnswer::No);
    EXPECT_EQ(seen, QStringLiteral("a\nb|Ja|Nej"));
    for (const bool accept : {true, false}) {
        whenShown<QInputDialog>([accept](QInputDialog* dialog) {
            EXPECT_EQ(dialog->textValue() + dialog->cancelButtonText(), u"0Annuller");
            dialog->setTextValue(QStringLiteral("150"));
            accept ? dialog->accept() : dialog->reject();
        });
        EXPECT_EQ(platform.inputBox(nullptr, {}, {}, QStringLiteral("0")),
                  accept ? QStringLiteral("150") : QString());
    }
}

// The hour padded to two digits where the user's own format pads it.
TEST(QtPlatformLocale, TimeWithSeconds) {
    EXPECT_EQ(QtPlatform(QLocale(QLocale::Danish)).timeWithSeconds(QTime(8, 5, 30)), u"08.05.30");
}

}  // namespace
}  // namespace horalog
