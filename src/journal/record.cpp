#include "journal/record.h"

#include <QStringList>
#include <limits>

#include "journal/journal_file.h"
#include "journal/records.h"
#include "journal/windows1252.h"
#include "text/time_text.h"

namespace horalog {

namespace {
QString n(std::int64_t value) {
    return QString::number(value);
}
QString timeOf(std::int32_t ct) {
    return Formater_Tid(Omregn_Til_Tid(ct));
}
}  // namespace

QString lastRecordTooLarge(const QString& line) {
    return QStringLiteral("Den sidste registrering har et tal, der er for stort: ") +
           line.left(100);
}

QString lastRecordUnreadable(const QString& line) {
    QString shown = line.left(100);
    // A NUL or a control character would cut the message short or garble it.
    for (QChar& c : shown) {
        if (c.unicode() < 0x20) {
            c = QChar::ReplacementCharacter;
        }
    }
    return QStringLiteral("Den sidste registrering har et tal, der ikke kan læses: ") + shown;
}

QString headerLine() {
    return QStringLiteral("dato;dag;komme;gå;tid;periode;total;kommentar");
}

QString openingRecord(const QString& date, std::int32_t total) {
    return date + QStringLiteral(";0;-;-;-;0;") + n(total);
}

QString dayRecord(const QString& date, const Figures& after, std::int32_t kommeCT,
                  std::int32_t gaaCT, std::int16_t tid) {
    return date + QLatin1Char(';') + n(after.dage) + QLatin1Char(';') + timeOf(kommeCT) +
           QLatin1Char(';') + timeOf(gaaCT) + QLatin1Char(';') + n(tid) + QLatin1Char(';') +
           n(after.sum) + QLatin1Char(';') + n(after.total) + QLatin1Char(';');
}

QString timeOffRecord(const QString& date, const Figures& after, const QString& tidText,
                      const QString& comment) {
    return date + QLatin1Char(';') + n(after.dage) + QStringLiteral(";-;-;") + tidText +
           QLatin1Char(';') + n(after.sum) + QLatin1Char(';') + n(after.total) + QLatin1Char(';') +
           comment;
}

QString resetRecord(const QString& date, std::int32_t total) {
    return date + QStringLiteral(";0;-;-;-;0;") + n(total) +
           QStringLiteral(";periode afsluttet/nulstillet");
}

Result<std::optional<Figures>> figuresFromLine(const QString& line) {
    const QByteArray bytes = toWindows1252(line);
    const RecordFields r =
        recordFields(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (r.count < 7) {
        return std::optional<Figures>();
    }
    if (r.isHeader()) {
        return std::optional(Figures{});  // as the header was always read: three zeros
    }
    const auto dage = wholeFigure(r.field[1]);
    const auto sum = wholeFigure(r.field[5]);
    const auto total = wholeFigure(r.field[6]);
    if (!dage || !sum || !total) {
        return Result<std::optional<Figures>>::failed(lastRecordUnreadable(line));
    }
    using Int16 = std::numeric_limits<std::int16_t>;
    using Int32 = std::numeric_limits<std::int32_t>;
    if (*dage < Int16::min() || *dage > Int16::max() || *sum < Int32::min() ||
        *sum > Int32::max() || *total < Int32::min() || *total > Int32::max()) {
        return Result<std::optional<Figures>>::failed(lastRecordTooLarge(line));
    }
    return std::optional(Figures{static_cast<std::int16_t>(*dage), static_cast<std::int32_t>(*sum),
                                 static_cast<std::int32_t>(*total)});
}

}  // namespace horalog
