#include "adjust/adjust.h"

#include "journal/record.h"
#include "journal/windows1252.h"
#include "text/number_text.h"

namespace horalog {

InputRequest timeOffQuestion(const QString& proposal) {
    return {QStringLiteral("Afspadsering"),
            QStringLiteral("Angiv antal timer afspadseret:\r\n(Der fratrækkes ikke automatisk "
                           "frokost og pauser)"),
            proposal};
}

QString timeOffCommentProposal() {
    return QStringLiteral("afspadsering");
}

QString timeOffSubject() {
    return QStringLiteral("Afspadseringen");
}

InputRequest timeOffCommentQuestion(const QString& proposal) {
    return {QStringLiteral("Afspadsering"),
            QStringLiteral("Indtast evt. bemærkning til afspadsering:\r\n(Blot en husktekst eller "
                           "kommentar)"),
            proposal};
}

Result<Adjustment> bookTimeOff(const Figures& before, double hours, QString comment,
                               const QString& answer, const QString& date, QChar decimalSeparator) {
    // A line break would split the record in two, and a ';' would split the comment across two
    // columns in a spreadsheet.
    comment.replace(QLatin1Char('\r'), QLatin1Char(' '));
    comment.replace(QLatin1Char('\n'), QLatin1Char(' '));
    comment.replace(QLatin1Char(';'), QLatin1Char(','));
    if (const QString missing = notInWindows1252(comment); !missing.isEmpty()) {
        return Result<Adjustment>::failed(
            QStringLiteral("Bemærkningen \"%1\" kan ikke gemmes, fordi filen ikke kan rumme "
                           "tegnene \"%2\".")
                .arg(comment, missing));
    }
    const auto amount = static_cast<float>(hours * 100.0);
    const auto after = takeTimeOff(before, amount);
    if (!after) {
        return Result<Adjustment>::failed(
            QStringLiteral(
                "Afspadseringen \"%1\" kan ikke anvendes, fordi saldoen bliver for stor.")
                .arg(answer));
    }
    Adjustment a;
    a.after = *after;
    a.record = timeOffRecord(date, *after, localeNumberText(-amount, decimalSeparator), comment);
    a.status = QStringLiteral("Afspadsering af ") + localeNumberText(amount, decimalSeparator) +
               QStringLiteral(" ct tilføjet");
    return a;
}

Message periodResetQuestion() {
    return question(QStringLiteral("Nulstil periode"),
                    QStringLiteral("Skal denne periode afsluttes,\r\nog totalen nulstilles ?"));
}

Result<Adjustment> resetPeriod(const Figures& before, const QString& date) {
    Adjustment a;
    a.after = {0, 0, before.total};
    a.record = resetRecord(date, before.total);
    a.status = QStringLiteral("Flexperiode nulstillet");
    return a;
}

}  // namespace horalog
