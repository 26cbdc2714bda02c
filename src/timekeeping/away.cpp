#include "timekeeping/away.h"

namespace horalog {

std::optional<AwayStretch> Away::on(DesktopEvent event, const QDateTime& at) {
    switch (event) {
        case DesktopEvent::Locked:
            locked_ = true;
            break;
        case DesktopEvent::Sleeping:
            break;
        case DesktopEvent::Unlocked:
            locked_ = false;
            break;
        case DesktopEvent::Woken:
            if (locked_) {
                return std::nullopt;  // back only once the screen is unlocked
            }
            break;
    }
    const bool leaving = event == DesktopEvent::Locked || event == DesktopEvent::Sleeping;
    if (leaving) {
        if (!since_) {
            since_ = at;  // a sleep after a lock keeps the lock's moment
            lastSeen_ = at;
        }
        return std::nullopt;
    }
    if (!since_) {
        return std::nullopt;
    }
    const AwayStretch stretch{*since_, at};
    since_.reset();
    if (stretch.from.date() == at.date()) {
        lastSeen_.reset();
    }
    return stretch;
}

std::optional<QString> awayNotice(const AwayStretch& stretch, std::int16_t lunchCT) {
    const qint64 seconds = stretch.from.secsTo(stretch.to);
    if (stretch.from.date() != stretch.to.date() || seconds * 100 <= qint64{lunchCT} * 3600) {
        return std::nullopt;
    }
    const qint64 minutes = seconds / 60;
    return QStringLiteral("Du var væk %1–%2 (%3:%4).")
        .arg(stretch.from.toString(QStringLiteral("HH:mm")),
             stretch.to.toString(QStringLiteral("HH:mm")))
        .arg(minutes / 60)
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString awayTitle() {
    return QStringLiteral("Velkommen tilbage");
}

}  // namespace horalog
