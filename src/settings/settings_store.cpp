// The settings in the per-user key: taken over on a user's first start, read at every start.
#include <QAction>
#include <cmath>

#include "app/flex_form.h"
#include "platform/platform_paths.h"
#include "settings/number_text.h"
#include "settings/store_text.h"

namespace horalog {

namespace {

constexpr float kDefaultHours = 7.4f;
constexpr std::int16_t kDefaultLunch = 50;
constexpr std::int16_t kDefaultLunchFrom = 450;

}  // namespace

namespace {

// A stored value's text; a missing one is nothing, and is written back with its default when asked.
std::optional<QString> storedText(CRegistry& r, const char* name, const char* fallback,
                                  bool writeMissing) {
    if (r.ValueExists(name)) {
        return fromStoreText(r.ReadValue(name));
    }
    if (writeMissing) {
        r.WriteValue(name, fallback);
    }
    return std::nullopt;
}

}  // namespace

void Flex_Form::readNumberSettings(CRegistry& r, bool writeMissing) {
    // A stored number too large for its variable is reported and its default used; the stored
    // text stays for the user to mend.
    const auto refuseSetting = [this](const char* name, const QString& text, const char* fallback) {
        warn(QStringLiteral("Indstillingen \"%1\" med værdien \"%2\" kan ikke anvendes, fordi "
                            "tallet er for stort.\r\n\r\nVærdien %3 bruges nu. Den gemte værdi "
                            "står uændret, så den kan rettes.")
                 .arg(QLatin1String(name), text, QLatin1String(fallback)));
    };
    const auto whole = [&](const char* name, std::int16_t fallback, const char* fallbackText) {
        const auto text = storedText(r, name, fallbackText, writeMissing);
        const auto value = text ? readInt16(*text) : std::optional<std::int16_t>(fallback);
        if (!value) {
            refuseSetting(name, *text, fallbackText);
        }
        return value.value_or(fallback);
    };

    Arbejdstimer = kDefaultHours;
    if (const auto text = storedText(r, "Arbejdstimer", "7.4", writeMissing)) {
        if (const auto hours = readHours(*text)) {
            Arbejdstimer = static_cast<float>(*hours);
        } else {
            refuseSetting("Arbejdstimer", *text, "7.4");
        }
    }
    FrokostVarighed = whole("FrokostVarighed", kDefaultLunch, "50");
    FrokostArbejdstid = whole("FrokostArbejdstid", kDefaultLunchFrom, "450");
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
    if (reg().OpenKey(kHKeyCurrentUser, kSettingsKey, false, false)) {
        reg().CloseKey();
        return;
    }
    QString moedt = QStringLiteral(" ");
    if (reg().OpenKey(kHKeyLocalMachine, kSettingsKey, false, false)) {
        CRegistry& r = reg();
        if (r.ValueExists("Moedt")) {
            moedt = fromStoreText(r.ReadValue("Moedt"));
        }
        readNumberSettings(r, false);
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
    user->OpenKey(kHKeyCurrentUser, kSettingsKey, true, true);
    user->WriteValue("Moedt", toStoreText(moedt));
    user->WriteValue("Arbejdstimer", toStoreText(plainNumberText(Arbejdstimer)));
    user->WriteValue("FrokostVarighed", toStoreText(QString::number(FrokostVarighed)));
    user->WriteValue("FrokostArbejdstid", toStoreText(QString::number(FrokostArbejdstid)));
    user->WriteValue("Filnavn", toStoreText(Filnavn));
    user->CloseKey();
}

void Flex_Form::readSettings() {
    CRegistry& r = reg();
    readNumberSettings(r, true);
    Arbejds_Menu->setText(QStringLiteral("&Arbejdstid  (") + plainNumberText(Arbejdstimer) +
                          QStringLiteral(" timer)"));
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
