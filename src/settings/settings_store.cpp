// The settings in the per-user key: taken over on a user's first start, read at every start.
#include <QAction>
#include <cmath>

#include "app/flex_form.h"
#include "settings/number_text.h"
#include "settings/platform_defaults.h"
#include "settings/store_text.h"

namespace horalog {

namespace {

const char* const kKey = "Software\\Kvistborg\\Horalog";
constexpr float kDefaultHours = 7.4f;
constexpr std::int16_t kDefaultLunch = 50;
constexpr std::int16_t kDefaultLunchFrom = 450;

}  // namespace

std::optional<float> Flex_Form::readHours(const QString& name, const QString& text,
                                          float fallback) {
    const auto value = readNumber(text);
    // Hours times 100 must fit the balances.
    if (!value || std::fabs(*value * 100.0) > 2147483647.0) {
        refuse(QStringLiteral("Indstillingen \"%1\" med værdien \"%2\" kan ikke anvendes, fordi "
                              "tallet er for stort. Værdien %3 bruges i stedet.")
                   .arg(name, text, plainNumberText(fallback)));
        return std::nullopt;
    }
    return static_cast<float>(*value);
}

std::int16_t Flex_Form::readWhole(const QString& name, const QString& text, std::int16_t fallback) {
    const auto value = readInt16(text);
    if (!value) {
        refuse(QStringLiteral("Indstillingen \"%1\" med værdien \"%2\" kan ikke anvendes, fordi "
                              "tallet er for stort. Værdien %3 bruges i stedet.")
                   .arg(name, text, QString::number(fallback)));
        return fallback;
    }
    return *value;
}

void Flex_Form::fileNameNotice(bool firstWording) {
    platform_.messageBox(
        this,
        QStringLiteral("Horalogs data vil blive gemt i ") + Filnavn +
            QStringLiteral("\r\n\r\nHvis der ønskes anvendt en anden placering,\r\n") +
            (firstWording ? QStringLiteral("kan dette rettes under Opsætninger/Filnavn")
                          : QStringLiteral("kan dette rettes under 'Opsætninger - Filnavn'")),
        QStringLiteral("Horalog.dat filnavn"), MessageIcon::Information, MessageButtons::Ok,
        MessageAnswer::Ok);
}

void Flex_Form::Flyt_Opsaetninger() {
    if (reg().OpenKey(kHKeyCurrentUser, kKey, false, false)) {
        reg().CloseKey();
        return;
    }
    QString moedt = QStringLiteral(" ");
    if (reg().OpenKey(kHKeyLocalMachine, kKey, false, false)) {
        CRegistry& r = reg();
        if (r.ValueExists("Moedt")) {
            moedt = fromStoreText(r.ReadValue("Moedt"));
        }
        Arbejdstimer = kDefaultHours;
        if (r.ValueExists("Arbejdstimer")) {
            Arbejdstimer = readHours(QStringLiteral("Arbejdstimer"),
                                     fromStoreText(r.ReadValue("Arbejdstimer")), kDefaultHours)
                               .value_or(kDefaultHours);
        }
        FrokostVarighed =
            r.ValueExists("FrokostVarighed")
                ? readWhole(QStringLiteral("FrokostVarighed"),
                            fromStoreText(r.ReadValue("FrokostVarighed")), kDefaultLunch)
                : kDefaultLunch;
        FrokostArbejdstid =
            r.ValueExists("FrokostArbejdstid")
                ? readWhole(QStringLiteral("FrokostArbejdstid"),
                            fromStoreText(r.ReadValue("FrokostArbejdstid")), kDefaultLunchFrom)
                : kDefaultLunchFrom;
        if (r.ValueExists("Filnavn")) {
            Filnavn = fromStoreText(r.ReadValue("Filnavn"));
        } else {
            Filnavn = defaultRegistrationFile();
            fileNameNotice(true);
        }
        // The machine-wide key stays open in Reg until its next OpenKey.
    } else {
        Arbejdstimer = kDefaultHours;
        FrokostVarighed = kDefaultLunch;
        FrokostArbejdstid = kDefaultLunchFrom;
        Filnavn = defaultRegistrationFile();
        fileNameNotice(false);
    }
    std::unique_ptr<CRegistry> user = makeRegistry_();
    user->OpenKey(kHKeyCurrentUser, kKey, true, true);
    user->WriteValue("Moedt", toStoreText(moedt));
    user->WriteValue("Arbejdstimer", toStoreText(plainNumberText(Arbejdstimer)));
    user->WriteValue("FrokostVarighed", toStoreText(QString::number(FrokostVarighed)));
    user->WriteValue("FrokostArbejdstid", toStoreText(QString::number(FrokostArbejdstid)));
    user->WriteValue("Filnavn", toStoreText(Filnavn));
    user->CloseKey();
}

void Flex_Form::readSettings() {
    CRegistry& r = reg();
    if (r.ValueExists("Arbejdstimer")) {
        Arbejdstimer = readHours(QStringLiteral("Arbejdstimer"),
                                 fromStoreText(r.ReadValue("Arbejdstimer")), kDefaultHours)
                           .value_or(kDefaultHours);
    } else {
        Arbejdstimer = kDefaultHours;
        r.WriteValue("Arbejdstimer", "7.4");
    }
    Arbejds_Menu->setText(QStringLiteral("&Arbejdstid  (") + plainNumberText(Arbejdstimer) +
                          QStringLiteral(" timer)"));
    if (r.ValueExists("FrokostVarighed")) {
        FrokostVarighed = readWhole(QStringLiteral("FrokostVarighed"),
                                    fromStoreText(r.ReadValue("FrokostVarighed")), kDefaultLunch);
    } else {
        FrokostVarighed = kDefaultLunch;
        r.WriteValue("FrokostVarighed", "50");
    }
    if (r.ValueExists("FrokostArbejdstid")) {
        FrokostArbejdstid =
            readWhole(QStringLiteral("FrokostArbejdstid"),
                      fromStoreText(r.ReadValue("FrokostArbejdstid")), kDefaultLunchFrom);
    } else {
        FrokostArbejdstid = kDefaultLunchFrom;
        r.WriteValue("FrokostArbejdstid", "450");
    }
    if (r.ValueExists("Filnavn")) {
        Filnavn = fromStoreText(r.ReadValue("Filnavn"));
    } else {
        Filnavn = defaultRegistrationFile();
        fileNameNotice(true);
        r.WriteValue("Filnavn", toStoreText(Filnavn));
    }
    Filnavn_Menu->setText(QStringLiteral("&Filnavn  (") + Filnavn + QLatin1Char(')'));
    r.CloseKey();
    Frokost_Aktiv = true;
}

}  // namespace horalog
