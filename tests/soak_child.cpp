// The soak test's child: registers days, time off and period resets against a real file and
// store as fast as it can, until it is killed.
#include <QApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <cstdio>
#include <cstdlib>

#include "app/flex_form.h"
#include "platform/qt_platform.h"
#include "registry/hive_file.h"

namespace {

using namespace horalog;

// Answers every dialog as a willing user would.
class AutoPlatform : public QtPlatform {
public:
    explicit AutoPlatform(QRandomGenerator& random) : QtPlatform(QLocale::c()), random_(random) {}
    MessageAnswer messageBox(QWidget*, const QString&, const QString&, MessageIcon,
                             MessageButtons buttons, MessageAnswer) override {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
    }
    QString inputBox(QWidget*, const QString& prompt, const QString&, const QString&) override {
        if (prompt.startsWith(QStringLiteral("Angiv antal timer"))) {
            return QStringLiteral("%1,%2").arg(random_.bounded(-2, 8)).arg(random_.bounded(1000));
        }
        return prompt.startsWith(QStringLiteral("Indtast evt.")) ? QStringLiteral("soak")
                                                                 : QStringLiteral("0");
    }
    std::optional<QString> chooseFile(QWidget*, const FileDialogRequest&) override { return {}; }
    void endProgram(int status) override {
        std::fprintf(stderr, "the program ended with %d\n", status);
        std::_Exit(status + 10);
    }

private:
    QRandomGenerator& random_;
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QRandomGenerator random(static_cast<quint32>(std::atoi(argv[2])));
    qputenv("HOME", folder.toLocal8Bit());
    const HivePaths paths{(folder + QStringLiteral("/HKEY_CURRENT_USER.reg")).toStdString(),
                          (folder + QStringLiteral("/HKEY_LOCAL_MACHINE.reg")).toStdString()};
    AutoPlatform platform(random);
    Flex_Form form(platform, [paths] {
        return std::make_unique<CRegistry>(std::make_shared<HiveFileBackend>(paths));
    });
    form.start();
    QLineEdit* fields[] = {form.findChild<QLineEdit*>(QStringLiteral("Komme_Text")),
                           form.findChild<QLineEdit*>(QStringLiteral("Gaa_Text"))};
    for (;;) {
        const int op = random.bounded(20);
        for (int i = 0; op < 15 && i < 2; ++i) {  // arrival 06-09, departure 12-17
            fields[1]->clear();
            fields[i]->setText(QStringLiteral("%1:%2")
                                   .arg(random.bounded(6 + 6 * i, 10 + 8 * i), 2, 10, QChar('0'))
                                   .arg(random.bounded(60), 2, 10, QChar('0')));
            form.run(&Flex_Form::Registrer_Command_Click);
        }
        if (op >= 15) {
            form.run(op < 19 ? &Flex_Form::Afspadsering_Menu_Click
                             : &Flex_Form::Nulstil_Menu_Click);
        }
    }
}
