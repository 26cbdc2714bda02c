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

// Answers every dialog as a willing user would.
class AutoPlatform : public horalog::QtPlatform {
public:
    explicit AutoPlatform(QRandomGenerator& random) : QtPlatform(QLocale::c()), random_(random) {}
    horalog::MessageAnswer messageBox(QWidget*, const QString&, const QString&,
                                      horalog::MessageIcon, horalog::MessageButtons buttons,
                                      horalog::MessageAnswer) override {
        return buttons == horalog::MessageButtons::Ok ? horalog::MessageAnswer::Ok
                                                      : horalog::MessageAnswer::Yes;
    }
    QString inputBox(QWidget*, const QString& prompt, const QString&, const QString&) override {
        if (prompt.startsWith(QStringLiteral("Angiv antal timer"))) {
            return QStringLiteral("%1,%2")
                .arg(random_.bounded(-2, 8))
                .arg(random_.bounded(0, 1000));
        }
        return prompt.startsWith(QStringLiteral("Indtast evt.")) ? QStringLiteral("soak")
                                                                 : QStringLiteral("0");
    }
    std::optional<QString> chooseFile(QWidget*, const horalog::FileDialogRequest&) override {
        return std::nullopt;
    }
    void endProgram(int status) override {
        std::fprintf(stderr, "the program ended with %d\n", status);
        std::_Exit(status + 10);
    }

private:
    QRandomGenerator& random_;
};

QString clock(QRandomGenerator& r, int fromHour, int toHour) {
    return QStringLiteral("%1:%2")
        .arg(r.bounded(fromHour, toHour), 2, 10, QLatin1Char('0'))
        .arg(r.bounded(0, 60), 2, 10, QLatin1Char('0'));
}

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
    const horalog::HivePaths paths{
        (folder + QStringLiteral("/HKEY_CURRENT_USER.reg")).toStdString(),
        (folder + QStringLiteral("/HKEY_LOCAL_MACHINE.reg")).toStdString()};
    AutoPlatform platform(random);
    horalog::Flex_Form form(platform, [paths] {
        return std::make_unique<horalog::CRegistry>(
            std::make_shared<horalog::HiveFileBackend>(paths));
    });
    form.start();
    auto* komme = form.findChild<QLineEdit*>(QStringLiteral("Komme_Text"));
    auto* gaa = form.findChild<QLineEdit*>(QStringLiteral("Gaa_Text"));
    for (;;) {
        const int op = random.bounded(0, 20);
        if (op < 15) {
            gaa->clear();
            komme->setText(clock(random, 6, 10));
            form.run(&horalog::Flex_Form::Registrer_Command_Click);
            gaa->setText(clock(random, 12, 18));
            form.run(&horalog::Flex_Form::Registrer_Command_Click);
        } else if (op < 19) {
            form.run(&horalog::Flex_Form::Afspadsering_Menu_Click);
        } else {
            form.run(&horalog::Flex_Form::Nulstil_Menu_Click);
        }
    }
}
