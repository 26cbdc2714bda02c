#include "timekeeping/away.h"

#include <gtest/gtest.h>

#include "in_copenhagen.h"

namespace horalog {
namespace {

// Date; events «L16:42» locked, «U» unlocked, «S» asleep, «W» woken, «+» next day; kept|notices.
TEST(Away, WhenTheUserWasLastSeen) {
    const char* cases[][3] = {
        {"2026-12-07", "L11:30 U13:05", "|Du var væk 11:30–13:05 (1:35)."},
        {"2026-12-07", "L12:00 U12:30", "|"},  // the lunch itself: no notice
        {"2026-12-07", "L12:00 U12:31", "|Du var væk 12:00–12:31 (0:31)."},
        {"2026-12-07", "L16:42 S23:59 W+08:30 U+08:31", "16:42|"},
        {"2026-12-07", "S23:59 W+08:30", "23:59|"},
        {"2026-12-07", "S12:00 W13:00", "|Du var væk 12:00–13:00 (1:00)."},
        {"2026-12-07", "L16:42 U16:50 L17:10", "17:10|"},
        {"2026-12-07", "L16:42 L16:50 S17:00", "16:42|"},  // the lock told twice
        {"2026-12-07", "U09:00 W09:01", "|"},
        {"2026-12-07", "L11:30 W12:00 U13:05", "|Du var væk 11:30–13:05 (1:35)."},
        {"2026-12-07", "L16:42 U+08:31 L+12:00", "12:00|"},
        {"2026-03-29", "L01:30 U03:30", "|Du var væk 01:30–03:30 (1:00)."},  // real time
        {"2026-10-25", "L01:30 U03:00", "|Du var væk 01:30–03:00 (2:30)."},
    };
    const testing::InCopenhagen zone;
    for (const auto& [day, events, expected] : cases) {
        Away away;
        QString notices;
        for (const QString& e : QString::fromUtf8(events).split(u' ')) {
            const QDate date = QDate::fromString(QLatin1String(day), Qt::ISODate);
            const QDateTime at(date.addDays(e[1] == u'+'), QTime::fromString(e.right(5), u"HH:mm"));
            if (const auto end = away.on(DesktopEvent(QStringView(u"LUSW").indexOf(e[0])), at)) {
                notices += awayNotice(*end, 50).value_or(QString());
            }
        }
        const QString seen = away.lastSeen() ? away.lastSeen()->toString(u"HH:mm") : QString();
        EXPECT_EQ(seen + u'|' + notices, QString::fromUtf8(expected)) << events;
    }
}

}  // namespace
}  // namespace horalog
