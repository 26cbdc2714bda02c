// The clock tick with a day open against a bare window that renews five labels and its caption
// as often: the tick should cost what the labels cost. Prints the CPU of each and their ratio.
#include <time.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <cstdio>

#include "app/flex_form.h"
#include "platform/qt_platform.h"
#include "registry/hive_file.h"

namespace {

// The real platform with a clock the bench moves on by five seconds a tick.
class BenchPlatform : public horalog::QtPlatform {
public:
    BenchPlatform() : QtPlatform(QLocale::c()) {}
    QDateTime currentDateTime() override { return now; }
    QDateTime now{QDate(2026, 12, 5), QTime(8, 0, 0), Qt::UTC};  // no time zone lookups
};

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

constexpr int kMinutes = 600;
constexpr int kTicks = kMinutes * 12;

double formTicks(const QString& folder) {
    const horalog::HivePaths paths{(folder + QStringLiteral("/u.reg")).toStdString(),
                                   (folder + QStringLiteral("/m.reg")).toStdString()};
    const QString file = folder + QStringLiteral("/Horalog.Dat");
    {
        horalog::CRegistry reg(std::make_shared<horalog::HiveFileBackend>(paths));
        reg.OpenKey(horalog::kHKeyCurrentUser, horalog::kSettingsKey, true, true);
        reg.WriteValue("Moedt", "05-12-2026 08:00");
        reg.WriteValue("Filnavn", file.toStdString());
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("x;0;-;-;-;0;0\r\n");
    }
    BenchPlatform platform;
    horalog::Flex_Form form(platform, [paths] {
        return std::make_unique<horalog::CRegistry>(
            std::make_shared<horalog::HiveFileBackend>(paths));
    });
    form.start();
    QApplication::processEvents();
    const double start = cpuSeconds();
    for (int i = 0; i < kTicks; ++i) {
        platform.now = platform.now.addSecs(5);
        form.run(&horalog::Flex_Form::Udregn_Timer_Timer);
        QApplication::processEvents();
    }
    return cpuSeconds() - start;
}

double bareTicks() {
    QMainWindow window;
    auto* central = new QWidget(&window);
    auto* layout = new QVBoxLayout(central);
    QLabel* labels[5];
    for (QLabel*& label : labels) {
        label = new QLabel(central);
        layout->addWidget(label);
    }
    window.setCentralWidget(central);
    window.show();
    QApplication::processEvents();
    const double start = cpuSeconds();
    for (int i = 0; i < kTicks; ++i) {
        const int minute = i / 12;
        const QString ct = QStringLiteral("%1 ct ").arg(minute * 5 / 3);
        labels[0]->setText(QString());
        labels[1]->setText(ct);
        labels[2]->setText(
            QStringLiteral("%1:%2 ").arg(minute / 60).arg(minute % 60, 2, 10, QLatin1Char('0')));
        labels[3]->setText(QStringLiteral("0 ct "));
        labels[4]->setText(QStringLiteral("0 ct "));
        window.setWindowTitle(QStringLiteral("Horalogs registrering - ") + ct);
        QApplication::processEvents();
    }
    return cpuSeconds() - start;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("HOME", dir.path().toLocal8Bit());
    const double bare = bareTicks();
    const double form = formTicks(dir.path());
    std::printf(
        "tick CPU over %d minutes of ticks: window %.3f s, bare window %.3f s, ratio %.2f\n",
        kMinutes, form, bare, form / bare);
    return form / bare <= 1.5 ? 0 : 1;
}
