// The real Qt dialogs, each answered by a timer that fires once the dialog runs, and the locale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTranslator>
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

TEST(QtPlatformDialogs, DanishButtonsAndAnswers) {
    QtPlatform platform(QLocale::c());
    QStringList seen;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        seen << box->text() << box->defaultButton()->text();
        for (QAbstractButton* b : box->buttons()) {
            seen << b->text();
        }
        box->buttons().at(1)->click();
    });
    EXPECT_EQ(platform.messageBox(nullptr, QStringLiteral("a\r\nb"), QStringLiteral("t"),
                                  MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes),
              MessageAnswer::No);
    EXPECT_EQ(seen.join(u'|'), QStringLiteral("a\nb|Ja|Ja|Nej"));
    for (const bool accept : {true, false}) {
        whenShown<QInputDialog>([accept](QInputDialog* dialog) {
            EXPECT_EQ(dialog->textValue() + dialog->cancelButtonText(),
                      QStringLiteral("0Annuller"));
            dialog->setTextValue(QStringLiteral("150"));
            accept ? dialog->accept() : dialog->reject();
        });
        EXPECT_EQ(platform.inputBox(nullptr, QStringLiteral("p"), QStringLiteral("Opstart Horalog"),
                                    QStringLiteral("0")),
                  accept ? QStringLiteral("150") : QString());
    }
}

// Danish texts from Qt's translation, the filters as given, and a name the caller refuses (here
// one in a folder that does not exist) refused while the dialog stays open.
TEST(QtPlatformDialogs, FileDialogTakesANewNameOnlyInAnExistingFolder) {
    ASSERT_TRUE(installDanishQtTranslation());
    QTemporaryDir folder;
    QtPlatform platform(QLocale::c());
    const QString wanted = folder.filePath(QStringLiteral("ny.dat"));
    QStringList seen;
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        seen << dialog->windowTitle() << dialog->nameFilters();
        for (const QPushButton* b : dialog->findChildren<QPushButton*>()) {
            seen << (b->isVisible() ? b->text() : QString());
        }
        whenShown<QMessageBox>([&](QMessageBox* box) {
            seen << box->text();
            box->accept();
        });
        dialog->selectFile(folder.filePath(QStringLiteral("mangler/ny.dat")));
        QMetaObject::invokeMethod(dialog, "accept");
        dialog->selectFile(wanted);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(platform.chooseFile(nullptr, {QStringLiteral("Indtast navnet"),
                                            folder.path(),
                                            QStringLiteral("Horalog.Dat"),
                                            {QStringLiteral("Dat fil (*.Dat)|*.dat"),
                                             QStringLiteral("Alle filer (*.*)|*.*")},
                                            locationRefusal}),
              wanted);
    EXPECT_EQ(seen.mid(0, 3).join(u'|'),
              QStringLiteral("Indtast navnet|Dat fil (*.Dat)|Alle filer (*.*)"));
    EXPECT_TRUE(seen.contains(QStringLiteral("&Gem")) && seen.contains(QStringLiteral("Annuller")))
        << seen.join(u',').toStdString();
    EXPECT_EQ(seen.last(), QStringLiteral("Mappen \"") + folder.path() +
                               QStringLiteral("/mangler\" findes ikke."));
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);  // the other tests read Qt's own texts in English
        delete t;
    }
}

TEST(QtPlatformLocale, WithoutAUserLocaleDanishConventions) {
    QtPlatform c(QLocale::c());
    EXPECT_EQ(c.shortDatePattern() + c.decimalSeparator() + c.timeWithSeconds(QTime(8, 5, 30)),
              QStringLiteral("dd-MM-yyyy,08:05:30"));
    EXPECT_EQ(QtPlatform(QLocale(QLocale::English, QLocale::UnitedKingdom)).decimalSeparator(),
              QLatin1Char('.'));
    // The system's uptime in milliseconds, whole seconds and their fraction alike.
    const std::int64_t before = c.millisecondsSinceStart();
    QThread::msleep(300);
    double uptime = 0;  // the kernel's own count, in seconds
    ASSERT_TRUE(std::ifstream("/proc/uptime") >> uptime);
    EXPECT_NEAR(static_cast<double>(before) / 1000.0, uptime, 1.0);
    EXPECT_NEAR(c.millisecondsSinceStart() - before, 300 + 50, 50);
}

}  // namespace
}  // namespace horalog
