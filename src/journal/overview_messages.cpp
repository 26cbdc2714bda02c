#include "journal/overview_messages.h"

namespace horalog {

QString overviewTitle() {
    return QStringLiteral("Oversigt");
}

QString chartName() {
    return QStringLiteral("Flex-saldo dag for dag og arbejdstid pr. uge");
}

QString readingName() {
    return QStringLiteral("Registreringsfilen læses");
}

QString readingProgress() {
    return readingNote() + QStringLiteral(" %p %");
}

QString readingNote() {
    return QStringLiteral("Læser registreringsfilen …");
}

QString monthsName() {
    return QStringLiteral("Måned for måned");
}

QString limitsName() {
    return QStringLiteral("Arbejdstidens grænser");
}

QString limitsHeading() {
    return u'&' + limitsName();
}

QString saveAsImage() {
    return QStringLiteral("Gem som billede");
}

QString saveButton() {
    return u'&' + saveAsImage() + u'…';
}

QString closeName() {
    return QStringLiteral("Luk");
}

QString closeButton() {
    return u'&' + closeName();
}

QString imageFileName() {
    return QStringLiteral("horalog-oversigt.png");
}

QString imageFilter() {
    return QStringLiteral("PNG-billede (*.png)");
}

QString unreadableOverview(const QString& error) {
    return QStringLiteral("Registreringsfilen kan ikke læses: ") + error;
}

Message replaceImageQuestion(const QString& path) {
    Message replace =
        question(saveAsImage(), QStringLiteral("Filen ") + path +
                                    QStringLiteral(" findes allerede. Vil du erstatte den?"));
    replace.defaultButton = MessageAnswer::No;
    return replace;
}

Message chartRefusedNotice(const QString& refusal) {
    return notice(overviewTitle(), refusal, MessageIcon::Exclamation);
}

QString chartNotSaved(const QString& path) {
    return QStringLiteral("Billedet kunne ikke gemmes i ") + path;
}

Message chartNotSavedNotice(const QString& path) {
    return chartRefusedNotice(chartNotSaved(path));
}

QString chartSaved(const QString& path) {
    return QStringLiteral("Billedet er gemt i ") + path;
}

}  // namespace horalog
