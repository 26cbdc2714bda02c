// The clock tick with a day open against bare windows that renew five labels and their caption
// as often, offscreen: the best of three runs each, as a busy machine only ever adds. It reports;
// the gate is bench/tick_on_x.sh, on a real display, where a tick's cost is what a user pays.
// The working window's departure field follows the clock, so once a minute it draws a new time in
// a framed field, which costs more than all its labels together: the bare window to hold it
// against is the one with such a field; the one without is printed beside it.
// A tick that changes no minute shows nothing new and leaves the figures; the files' stamps are
// one look at each name, with no time zone asked.
#include <time.h>

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "app/flex_form.h"
#include "bare_window.h"
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

double bareTicks(bool withField) {
    BareWindow window(withField);
    window.show();
    QApplication::processEvents();
    const double start = cpuSeconds();
    for (int i = 0; i < kTicks; ++i) {
        window.renew(i / 12);
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
    double bare = 1e9;
    double bareWithField = 1e9;
    double form = 1e9;
    for (int run = 0; run < 3; ++run) {
        bare = std::min(bare, bareTicks(false));
        bareWithField = std::min(bareWithField, bareTicks(true));
        form = std::min(form, formTicks(dir.path()));
    }
    std::printf(
        "tick CPU over %d minutes of ticks: window %.3f s, bare window with a time field %.3f s, "
        "ratio %.2f (without the field %.3f s, ratio %.2f)\n",
        kMinutes, form, bareWithField, form / bareWithField, bare, form / bare);
}
