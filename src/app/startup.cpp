// Start-up: the date format, the settings, an open day, the registration file, the balances.
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <cmath>

#include "app/app_icon.h"
#include "app/flex_form.h"
#include "settings/store_text.h"
#include "timekeeping/time_text.h"

namespace horalog {

void Flex_Form::Form_Load() {
    QString pattern = platform_.shortDatePattern();
    Dato_Laengde = static_cast<std::int16_t>(std::min<qsizetype>(pattern.length(), 32767));
    pattern.replace(QChar(u'å'), QLatin1Char('y'));
    pattern.replace(QChar(u'Å'), QLatin1Char('y'));
    if (pattern.left(2).compare(QStringLiteral("dd"), Qt::CaseInsensitive) != 0 ||
        pattern.right(2).compare(QStringLiteral("yy"), Qt::CaseInsensitive) != 0) {
        platform_.messageBox(
            this,
            QStringLiteral("Ulovlig dato-format: ") + pattern +
                QStringLiteral(
                    "\r\nDer skal anvendes dansk notation med dagen først og årstallet sidst."
                    "\r\n(dd-mm-yy eller dd-mm-yyyy)"
                    "\r\nRettes via kontrol panelet og regionale indstillinger."),
            QStringLiteral("Fejl i dato format"), MessageIcon::Critical, MessageButtons::Ok,
            MessageAnswer::Ok);
        platform_.endProgram(1);
    }

    Flyt_Opsaetninger();
    reg().OpenKey(kHKeyCurrentUser, kSettingsKey, false, true);
    const QString stored = readArrival();
    readSettings();

    showWindowCentred();
    if (Komme_Registreret) {
        restoreArrival(stored);
    } else {
        proposeArrival();
    }

    Gaa_Auto = true;
    Periode_Dage = 0;
    Flex_Total = 0;
    Periode_Sum = 0;
    Laes_Registrering();
    showBalances();

    Tray_Data.filled = true;
    Tray_Data.tip = windowTitle().left(63);
    // Only now may the clock move the window: a tick during a start-up question would show a
    // day that is not open.
    Udregn_Timer->start();
}

QString Flex_Form::readArrival() {
    Komme_Registreret = false;
    if (!reg().ValueExists("Moedt")) {
        return QString();
    }
    const QString stored = fromStoreText(reg().ReadValue("Moedt"));
    if (stored.length() < 14) {
        return stored;
    }
    Komme_Registreret = true;
    if (stored.left(Dato_Laengde) == currentDateText()) {
        return stored;
    }
    const qsizetype blank = stored.indexOf(QLatin1Char(' '));
    const QString date = blank < 0 ? stored : stored.left(blank);
    const QString time = blank < 0 ? QString() : stored.mid(blank + 1);
    const MessageAnswer answer = platform_.messageBox(
        this,
        QStringLiteral("Der er registreret et komme-tidspunkt for en anden dag.\r\nDato: ") + date +
            QStringLiteral("  Tid: ") + time +
            QStringLiteral("\r\n\r\nSkal denne registrering anvendes ?"),
        QStringLiteral("Registreret komme tid"), MessageIcon::Question, MessageButtons::YesNo,
        MessageAnswer::Yes);
    if (answer != MessageAnswer::Yes) {
        Komme_Registreret = false;
    }
    return stored;
}

void Flex_Form::showWindowCentred() {
    adjustSize();
    const QRect screen = QGuiApplication::primaryScreen() != nullptr
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 1024, 768);
    move(screen.width() / 2 - width() / 2, screen.height() / 2 - height() / 2);
    show();
    repaint();
}

void Flex_Form::proposeArrival() {
    const QTime time = platform_.currentDateTime().time();
    const double now = time.hour() * 3600.0 + time.minute() * 60.0 + time.second();
    const double up = static_cast<double>(platform_.millisecondsSinceStart()) / 1000.0;
    const auto start = static_cast<int>(up <= now ? std::nearbyint(now - up) : 0.0);
    Komme_Text->setText(QStringLiteral("%1:%2")
                            .arg(start / 3600, 2, 10, QLatin1Char('0'))
                            .arg((start % 3600) / 60, 2, 10, QLatin1Char('0')));
    Komme_Text->setFocus();
    Komme_Text_GotFocus();
}

void Flex_Form::restoreArrival(const QString& stored) {
    const auto hhmm = Tekst_Til_Tid(stored, Dato_Laengde);
    const auto ct = hhmm ? Omregn_Til_CT(*hhmm) : std::nullopt;
    if (!ct) {
        // A stored arrival no clock can show is no arrival.
        Komme_Registreret = false;
        proposeArrival();
        return;
    }
    Komme_Text->setText(Formater_Tid(*hhmm));
    Komme_CT = *ct;
    setKommeColour(true);
    Gaa_Text->setText(nowText());
    Gaa_Text->setFocus();
    Gaa_Text_GotFocus();
    Opdater_Visning(Gaa_Text->text());
    Komme_Registreret = true;
}

}  // namespace horalog
