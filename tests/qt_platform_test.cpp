// The real Qt dialogs, each answered by a timer that fires once the dialog runs, and the locale.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include "platform/platform_paths.h"
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

// "Nej" read as "Ja" would end a period; Annuller, Escape and closing an input are no empty OK.
TEST(QtPlatformDialogs, AnswersAreReadAsGiven) {
    QtPlatform platform(QLocale::c());
    QStringList seen;  // what the dialogs show, checked at the end
    whenShown<QMessageBox>([&](QMessageBox* box) {
        seen << box->text() << box->defaultButton()->text() << box->buttons().at(1)->text();
        box->buttons().at(1)->click();
    });
    EXPECT_EQ(platform.ask(nullptr, question("t", "a\r\nb")), MessageAnswer::No);
    const std::tuple<const char*, void (*)(QInputDialog*), std::optional<QString>> cases[] = {
        {"150", [](QInputDialog* d) { d->accept(); }, "150"},
        {"", [](QInputDialog* d) { d->accept(); }, QString()},
        {"150", [](QInputDialog* d) { d->reject(); }, std::nullopt},
        {"150", [](QInputDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, std::nullopt},
        {"150", [](QInputDialog* d) { d->close(); }, std::nullopt}};
    for (const auto& [typed, close, given] : cases) {
        whenShown<QInputDialog>([&, typed = typed, close = close](QInputDialog* dialog) {
            EXPECT_EQ(dialog->textValue() + dialog->cancelButtonText(), u"0Annuller");
            dialog->setTextValue(typed);
            close(dialog);
        });
        EXPECT_EQ(platform.input(nullptr, InputRequest{{}, {}, "0"}), given) << typed;
    }
    whenShown<QInputDialog>([](QInputDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(platform.ask(nullptr, InputRequest{}), QString());
    // Qt's Danish, the filters as given, a name in no folder refused with the dialog kept open.
    ASSERT_TRUE(installDanishQtTranslation());
    QTemporaryDir folder;
    const QString wanted = QDir::toNativeSeparators(folder.filePath("ny.dat"));
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        seen << dialog->windowTitle() << dialog->nameFilters();
        for (const QPushButton* b : dialog->findChildren<QPushButton*>()) {
            seen << (b->isVisible() ? b->text() : QString());
        }
        whenShown<QMessageBox>([&](QMessageBox* box) {
            seen << box->text();
            box->accept();
        });
        dialog->selectFile(folder.filePath("mangler/ny.dat"));
        QMetaObject::invokeMethod(dialog, "accept");
        dialog->selectFile(wanted);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const QStringList filters{"Dat fil (*.Dat)", "Alle filer (*.*)"};
    const FileDialogRequest request{"Indtast navnet", folder.path(), "Horalog.Dat", filters,
                                    usableLocation};
    EXPECT_EQ(platform.chooseFile(nullptr, request), wanted);
    EXPECT_EQ(
        seen.join(u'|'),
        "a\nb|Ja|Nej|Indtast navnet|Dat fil (*.Dat)|Alle filer (*.*)|&Gem|Annuller|Mappen \"" +
            QDir::toNativeSeparators(folder.filePath("mangler")) + "\" findes ikke.");
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        dialog->selectFile(wanted);
        QMetaObject::invokeMethod(dialog, "reject");
    });
    EXPECT_EQ(platform.chooseFile(nullptr, request), std::nullopt);
    qDeleteAll(qApp->findChildren<QTranslator*>());  // the other tests read Qt's texts untranslated
}

// Danish conventions without a user locale; with one, its date pattern|decimal|time with seconds.
TEST(QtPlatformLocale, ConventionsOfTheUsersLocale) {
    const std::pair<QLocale, QString> cases[] = {
        {QLocale::c(), "dd-MM-yyyy|,|08:05:30"},
        {QLocale(QLocale::Danish, QLocale::Denmark), "dd.MM.yyyy|,|08.05.30"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "M/d/yy|.|8:05:30"},
        {QLocale(QLocale::German, QLocale::Germany), "dd.MM.yy|,|08:05:30"}};
    for (const auto& [locale, seen] : cases) {
        QtPlatform p(locale);
        EXPECT_EQ(seen, p.shortDatePattern() + u'|' + p.decimalSeparator() + u'|' +
                            p.timeWithSeconds(QTime(8, 5, 30)));
    }
}

#ifndef _WIN32
// Without HOME the file once went to "/Horalog.Dat" and the store to /tmp, open to any user.
TEST(QtPlatformUnix, HomeFromThePasswordDatabaseAndUptimeFromTheKernel) {
    const QByteArray home = qgetenv("HOME");
    qunsetenv("HOME");
    const QString file = defaultRegistrationFile();
    qputenv("HOME", home);
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(file, QFile::decodeName(entry->pw_dir) + "/Horalog.Dat");
    // The arrival proposed at a start counts back from the system's start, as the kernel counts it.
    QFile proc("/proc/uptime");
    ASSERT_TRUE(proc.open(QIODevice::ReadOnly)) << "no /proc/uptime to compare with";
    const double kernel = proc.readAll().split(' ').at(0).toDouble();
    EXPECT_NEAR(double(QtPlatform(QLocale::c()).millisecondsSinceStart()) / 1000.0, kernel, 1.0);
}
#endif

}  // namespace
}  // namespace horalog
