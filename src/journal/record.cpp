#include "journal/record.h"

#include <QStringList>

#include "journal/journal_file.h"
#include "text/number_text.h"
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
    const QStringList fields = line.split(QLatin1Char(';'));
    if (fields.size() < 7) {
        return std::optional<Figures>();
    }
    const auto dage = readInt16(fields[1]);
    const auto sum = readInt32(fields[5]);
    const auto total = readInt32(fields[6]);
    if (!dage || !sum || !total) {
        return Result<std::optional<Figures>>::failed(lastRecordTooLarge(line));
    }
    return std::optional(Figures{*dage, *sum, *total});
}

}  // namespace horalog
