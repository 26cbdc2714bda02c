// The bare window on a real display and a real 5-second timer, to set the working window's
// tick against: bench/tick_on_x.sh runs both. Its texts follow the minutes since midnight, as
// the window's do for a day opened at 00:00, so both change in the same minutes.
//   horalog_bare_window [--field]
#include <QApplication>
#include <QTime>
#include <QTimer>

#include "bare_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    BareWindow window(QApplication::arguments().contains(QStringLiteral("--field")));
    const auto renew = [&window] {
        window.renew(QTime::currentTime().msecsSinceStartOfDay() / 60000);
    };
    renew();
    window.show();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &window, renew);
    tick.start(5000);
    return QApplication::exec();
}
