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

LineReading figuresFromLine(const QString& line, Figures& figures) {
    const QStringList fields = line.split(QLatin1Char(';'));
    if (fields.size() < 7) {
        return LineReading::TooFewFields;
    }
    const auto dage = readInt16(fields[1]);
    const auto sum = readInt32(fields[5]);
    const auto total = readInt32(fields[6]);
    if (!dage || !sum || !total) {
        return LineReading::OutOfRange;
    }
    figures = {*dage, *sum, *total};
    return LineReading::Read;
}

FileFigures readFileFigures(const QString& path) {
    const LastRecord last = readLastRecordLine(path);
    if (!last.outcome.ok) {
        return {false, last.outcome.error, std::nullopt, std::nullopt, last.outcome.problem};
    }
    if (!last.line) {
        return {};
    }
    Figures read;
    if (figuresFromLine(*last.line, read) == LineReading::OutOfRange) {
        return {false, lastRecordTooLarge(*last.line), std::nullopt, std::nullopt,
                FileProblem::Damaged};
    }
    return {true, QString(), read, last.line};
}

FileFigures createRegistrationFile(const QString& path, const QString& date, std::int32_t total,
                                   const AppendOptions& options) {
    AppendOptions creating = options;
    creating.mustExist = false;
    bool createdElsewhere = false;
    const FileOutcome written =
        createFile(path, {headerLine(), openingRecord(date, total)}, createdElsewhere, creating);
    if (!written.ok) {
        return {false, written.error, std::nullopt, std::nullopt, written.problem};
    }
    if (createdElsewhere) {
        return readFileFigures(path);
    }
    return {true, QString(), Figures{0, 0, total}, openingRecord(date, total)};
}

QString fileErrorText(const QString& firstLine, const QString& path, const QString& error,
                      LastLineGap gap) {
    return firstLine + path + QStringLiteral("\r\nFejl: ") + error +
           (gap == LastLineGap::BlankLine ? QStringLiteral("\r\n\r\n") : QStringLiteral("\r\n")) +
           QStringLiteral("Programmet kan ikke fortsætte før fejlen er rettet.");
}

QString creatingFailed() {
    return QStringLiteral("Fejl under oprettelse af filen: ");
}

QString fileChangedNotice() {
    return QStringLiteral(
        "Registreringsfilen er ændret af et andet program; tallene er læst igen.");
}

QString writingFailed() {
    return QStringLiteral("Fejl under skrivning til filen: ");
}

QString balanceQuestion() {
    return QStringLiteral(
        "Horalogs-programmet har ikke været anvendt før.\r\nIndtast nuværende horalog, eller 0 "
        "hvis horalog ikke tidligere har været registreret:");
}

}  // namespace horalog
