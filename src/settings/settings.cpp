#include "settings/settings.h"

#include "settings/store_text.h"
#include "text/number_text.h"

namespace horalog {

namespace {

constexpr char kDefaultHoursText[] = "7.4";

std::optional<QString> valueText(CRegistry& r, const char* name) {
    if (!r.ValueExists(name)) {
        return std::nullopt;
    }
    return fromStoreText(r.ReadValue(name));
}

// A stored value's text; a missing one is nothing, and is written back with its default when
// asked.
std::optional<QString> storedText(CRegistry& r, const char* name, const char* fallback,
                                  bool writeMissing) {
    if (auto text = valueText(r, name)) {
        return text;
    }
    if (writeMissing) {
        r.WriteValue(name, fallback);
    }
    return std::nullopt;
}

QString settingWarning(const char* name, const QString& text, const char* fallback) {
    return QStringLiteral(
               "Indstillingen \"%1\" med værdien \"%2\" kan ikke anvendes, fordi tallet er for "
               "stort.\r\n\r\nVærdien %3 bruges nu. Den gemte værdi står uændret, så den kan "
               "rettes.")
        .arg(QLatin1String(name), text, QLatin1String(fallback));
}

}  // namespace

SettingsKey::~SettingsKey() {
    if (open_) {
        try {
            reg_.CloseKey();
        } catch (...) {
            // Closing only lets a handle go; nothing is lost when it fails.
        }
    }
}

SettingsReading readSettings(CRegistry& key, bool writeMissing) {
    SettingsReading reading;
    WorkSettings& v = reading.values;
    if (const auto text = storedText(key, "Arbejdstimer", kDefaultHoursText, writeMissing)) {
        if (const auto hours = readHours(*text)) {
            v.arbejdstimer = static_cast<float>(*hours);
        } else {
            reading.warnings << settingWarning("Arbejdstimer", *text, kDefaultHoursText);
        }
    }
    const auto whole = [&](const char* name, std::int16_t& value, const char* fallback) {
        if (const auto text = storedText(key, name, fallback, writeMissing)) {
            if (const auto number = readInt16(*text)) {
                value = *number;
            } else {
                reading.warnings << settingWarning(name, *text, fallback);
            }
        }
    };
    whole("FrokostVarighed", v.frokostVarighed, "50");
    whole("FrokostArbejdstid", v.frokostArbejdstid, "450");
    reading.filnavn = valueText(key, "Filnavn");
    return reading;
}

std::optional<QString> readStoredArrival(CRegistry& key) {
    return valueText(key, "Moedt");
}

void writeUserKey(CRegistry& user, const QString& moedt, const WorkSettings& values,
                  const QString& filnavn) {
    user.OpenKey(kHKeyCurrentUser, kSettingsKey, true, true);
    user.WriteValue("Moedt", toStoreText(moedt));
    user.WriteValue("Arbejdstimer", toStoreText(plainNumberText(values.arbejdstimer)));
    user.WriteValue("FrokostVarighed", toStoreText(QString::number(values.frokostVarighed)));
    user.WriteValue("FrokostArbejdstid", toStoreText(QString::number(values.frokostArbejdstid)));
    user.WriteValue("Filnavn", toStoreText(filnavn));
    user.CloseKey();
}

void writeUserSetting(CRegistry& reg, const QString& name, const QString& value) {
    reg.OpenKey(kHKeyCurrentUser, kSettingsKey, false, true);
    reg.WriteValue(toStoreText(name), toStoreText(value));
    reg.CloseKey();
}

QString fileNameNotice(const QString& filnavn, NoticeWording wording) {
    return QStringLiteral("Horalogs data vil blive gemt i ") + filnavn +
           QStringLiteral("\r\n\r\nHvis der ønskes anvendt en anden placering,\r\n") +
           (wording == NoticeWording::TakenOver
                ? QStringLiteral("kan dette rettes under Opsætninger/Filnavn")
                : QStringLiteral("kan dette rettes under 'Opsætninger - Filnavn'"));
}

QString hoursMenuCaption(float arbejdstimer) {
    return QStringLiteral("&Arbejdstid  (") + plainNumberText(arbejdstimer) +
           QStringLiteral(" timer)");
}

QString fileMenuCaption(const QString& filnavn) {
    return QStringLiteral("&Filnavn  (") + filnavn + QLatin1Char(')');
}

}  // namespace horalog
