#include "timekeeping/away.h"

#include <gtest/gtest.h>

#include <QTimeZone>

namespace horalog {
namespace {

// Events as «L16:42» (locked), «U» (unlocked), «S» (sleeping), «W» (woken); «+» the next day.
TEST(Away, WhenTheUserWasLastSeen) {
    const char* cases[][4] = {
        // date, events, the moment kept, the notices
        {"2026-12-07", "L11:30 U13:05", "", "Du var væk 11:30–13:05 (1:35)."},
        {"2026-12-07", "L12:00 U12:30", "", ""},  // the lunch itself: no notice
        {"2026-12-07", "L12:00 U12:31", "", "Du var væk 12:00–12:31 (0:31)."},
        {"2026-12-07", "L16:42 S23:59 W+08:30 U+08:31", "16:42", ""},
        {"2026-12-07", "S23:59 W+08:30", "23:59", ""},
        {"2026-12-07", "S12:00 W13:00", "", "Du var væk 12:00–13:00 (1:00)."},
        {"2026-12-07", "L16:42 U16:50 L17:10", "17:10", ""},
        {"2026-12-07", "L16:42 L16:50 S17:00", "16:42", ""},  // the lock told twice
        {"2026-12-07", "U09:00 W09:01", "", ""},
        {"2026-12-07", "L11:30 W12:00 U13:05", "", "Du var væk 11:30–13:05 (1:35)."},
        {"2026-12-07", "L16:42 U+08:31 L+12:00", "12:00", ""},
        {"2026-03-29", "L01:30 U03:30", "", "Du var væk 01:30–03:30 (1:00)."},  // real time
        {"2026-10-25", "L01:30 U03:00", "", "Du var væk 01:30–03:00 (2:30)."},
    };
    const QTimeZone copenhagen("Europe/Copenhagen");
    for (const auto& [day, events, lastSeen, expected] : cases) {
        const QDate date = QDate::fromString(QLatin1String(day), Qt::ISODate);
        Away away;
        QStringList notices;
        for (const QString& e : QString::fromUtf8(events).split(u' ')) {
            const bool next = e.at(1) == u'+';
            const QTime time = QTime::fromString(e.mid(next ? 2 : 1), QStringLiteral("HH:mm"));
            const DesktopEvent event = e.at(0) == u'L'   ? DesktopEvent::Locked
                                       : e.at(0) == u'U' ? DesktopEvent::Unlocked
                                       : e.at(0) == u'S' ? DesktopEvent::Sleeping
                                                         : DesktopEvent::Woken;
            if (const auto ended =
                    away.on(event, QDateTime(date.addDays(next ? 1 : 0), time, copenhagen))) {
                if (const auto notice = awayNotice(*ended, 50)) {
                    notices << *notice;
                }
            }
        }
        const QString seen =
            away.lastSeen() ? away.lastSeen()->toString(QStringLiteral("HH:mm")) : QString();
        EXPECT_EQ(seen + u'|' + notices.join(u' '),
                  QString::fromUtf8(lastSeen) + u'|' + QString::fromUtf8(expected))
            << events;
    }
}

}  // namespace
}  // namespace horalog
