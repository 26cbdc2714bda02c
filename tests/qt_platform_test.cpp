// The real Qt dialogs, each answered by a timer that fires once the dialog runs, and the locale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>

#include "platform/qt_platform.h"
#include "settings/file_location.h"

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

// A name the caller refuses (here one in a folder that does not exist) is refused with its
// reason while the dialog stays open.
TEST(QtPlatformDialogs, FileDialogStaysOpenOnARefusedName) {
    QTemporaryDir folder;
    const QString wanted = folder.filePath(QStringLiteral("ny.dat"));
    QString refused;
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        whenShown<QMessageBox>([&](QMessageBox* box) {
            refused = box->text();
            box->accept();
        });
        dialog->selectFile(folder.filePath(QStringLiteral("mangler/ny.dat")));
        QMetaObject::invokeMethod(dialog, "accept");
        dialog->selectFile(wanted);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(
        QtPlatform(QLocale::c()).chooseFile(nullptr, {{}, folder.path(), {}, {}, locationRefusal}),
        wanted);
    EXPECT_EQ(refused, QStringLiteral("Mappen \"") + folder.path() +
                           QStringLiteral("/mangler\" findes ikke."));
}

TEST(QtPlatformLocale, WithoutAUserLocaleDanishConventions) {
    QtPlatform c(QLocale::c());
    EXPECT_EQ(c.shortDatePattern() + c.decimalSeparator() + c.timeWithSeconds(QTime(8, 5, 30)),
              QStringLiteral("dd-MM-yyyy,08:05:30"));
    EXPECT_EQ(QtPlatform(QLocale(QLocale::English, QLocale::UnitedKingdom)).decimalSeparator(),
              QLatin1Char('.'));
    double uptime = 0;  // the kernel's own count, in seconds
    ASSERT_TRUE(std::ifstream("/proc/uptime") >> uptime);
    EXPECT_NEAR(static_cast<double>(c.millisecondsSinceStart()) / 1000.0, uptime, 0.2);
}

}  // namespace
}  // namespace horalog
