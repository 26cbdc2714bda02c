#include "settings/settings.h"

#include "settings/store_text.h"
#include "text/number_text.h"

namespace horalog {

namespace {

// A key of a root, open for as long as the guard lives.
class OpenKey {
public:
    OpenKey(CRegistry& reg, std::uint32_t root, bool create, bool allAccess)
        : reg_(reg), open_(reg.OpenKey(root, kSettingsKey, create, allAccess)) {}
    ~OpenKey() {
        if (open_) {
            try {
                reg_.CloseKey();
            } catch (...) {
                // Closing only lets a handle go; nothing is lost when it fails.
            }
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    bool isOpen() const { return open_; }

private:
    CRegistry& reg_;
    bool open_;
};

std::optional<QString> valueText(CRegistry& r, const char* name) {
    if (!r.ValueExists(name)) {
        return std::nullopt;
    }
    return fromStoreText(r.ReadValue(name));
}

// A number setting's value as the store holds it; the empty text for the others.
QString numberText(Setting setting, const WorkSettings& values) {
    switch (setting) {
        case Setting::Arbejdstimer:
            return storedHours(values.arbejdstimer);
        case Setting::FrokostVarighed:
            return QString::number(values.frokostVarighed);
        case Setting::FrokostArbejdstid:
            return QString::number(values.frokostArbejdstid);
        default:
            return QString();
    }
}

QString settingWarning(const char* name, const QString& text, const QString& fallback) {
    return QStringLiteral(
               "Indstillingen \"%1\" med værdien \"%2\" kan ikke anvendes, fordi tallet er for "
               "stort.\r\n\r\nVærdien %3 bruges nu. Den gemte værdi står uændret, så den kan "
               "rettes.")
        .arg(QLatin1String(name), text, fallback);
}

}  // namespace

const SettingRow& settingRow(Setting setting) {
    return kSettingRows[static_cast<std::size_t>(setting)];
}

bool SettingsStore::userKeyExists() {
    return OpenKey(reg_, kHKeyCurrentUser, false, false).isOpen();
}

std::optional<StoredSettings> SettingsStore::readMachineKey() {
    OpenKey key(reg_, kHKeyLocalMachine, false, false);
    if (!key.isOpen()) {
        return std::nullopt;
    }
    return read(false);
}

StoredSettings SettingsStore::readUserKey(bool writeMissing) {
    OpenKey key(reg_, kHKeyCurrentUser, false, true);
    return read(writeMissing);
}

QString SettingsStore::storedArrival() {
    OpenKey key(reg_, kHKeyCurrentUser, false, true);
    return valueText(reg_, settingRow(Setting::Moedt).name).value_or(QString());
}

StoredSettings SettingsStore::read(bool writeMissing) {
    StoredSettings stored;
    WorkSettings& v = stored.values;
    for (const SettingRow& row : kSettingRows) {
        const std::optional<QString> text = valueText(reg_, row.name);
        const QString fallback = numberText(row.setting, WorkSettings{});
        if (!text && writeMissing && !fallback.isEmpty()) {
            reg_.WriteValue(row.name, toStoreText(fallback));
        }
        switch (row.setting) {
            case Setting::Moedt:
                stored.moedt = text;
                break;
            case Setting::Filnavn:
                stored.filnavn = text;
                break;
            case Setting::SidstAktiv:
                stored.sidstAktiv = text;
                break;
            case Setting::MoedtFilLaengde:
                if (bool ok = false; text) {
                    const qint64 size = text->toLongLong(&ok);
                    stored.moedtFilLaengde = ok && size >= 0 ? std::optional(size) : std::nullopt;
                }
                break;
            case Setting::Arbejdstimer:
                if (!text) {
                    break;
                } else if (const auto hours = readHours(*text)) {
                    v.arbejdstimer = static_cast<float>(*hours);
                } else {
                    stored.warnings << settingWarning(row.name, *text, fallback);
                }
                break;
            case Setting::FrokostVarighed:
            case Setting::FrokostArbejdstid: {
                std::int16_t& value = row.setting == Setting::FrokostVarighed ? v.frokostVarighed
                                                                              : v.frokostArbejdstid;
                if (!text) {
                    break;
                } else if (const auto number = readInt16(*text)) {
                    value = *number;
                } else {
                    stored.warnings << settingWarning(row.name, *text, fallback);
                }
                break;
            }
        }
    }
    return stored;
}

namespace {

QString storeNotWritten(const RegistryError& error) {
    QString reason;
    switch (error.result()) {
        case kLockViolation:
            reason = QStringLiteral("de er låst af et andet Horalog. Prøv igen om lidt.");
            break;
        case kDiskFull:
            reason = QStringLiteral("disken er fuld.");
            break;
        case kAccessDenied:
            reason = QStringLiteral("filen eller mappen er skrivebeskyttet.");
            break;
        default:
            reason = QString::fromLocal8Bit(
                (error.problem().empty() ? error.description() : error.problem()).c_str());
    }
    return QStringLiteral("Opsætningerne kan ikke gemmes: ") + reason;
}

}  // namespace

StoreWrite SettingsStore::tryWrite(Setting setting, const QString& text) {
    try {
        write(setting, text);
    } catch (const RegistryError& e) {
        return StoreWrite::failed(
            {QString::fromLocal8Bit(e.description().c_str()), storeNotWritten(e)});
    }
    return {};
}

void SettingsStore::write(Setting setting, const QString& text) {
    OpenKey key(reg_, kHKeyCurrentUser, false, true);
    reg_.WriteValue(settingRow(setting).name, toStoreText(text));
}

void SettingsStore::createUserKey(const QString& moedt, const WorkSettings& values,
                                  const QString& filnavn) {
    OpenKey key(reg_, kHKeyCurrentUser, true, true);
    for (const SettingRow& row : kSettingRows) {
        QString text;
        switch (row.setting) {
            case Setting::MoedtFilLaengde:
            case Setting::SidstAktiv:
                continue;
            case Setting::Moedt:
                text = moedt;
                break;
            case Setting::Arbejdstimer:
            case Setting::FrokostVarighed:
            case Setting::FrokostArbejdstid:
                text = numberText(row.setting, values);
                break;
            case Setting::Filnavn:
                text = filnavn;
                break;
        }
        reg_.WriteValue(row.name, toStoreText(text));
    }
}

QString storedHours(float arbejdstimer) {
    return plainNumberText(arbejdstimer);
}

Message fileNameNotice(const QString& filnavn, NoticeWording wording) {
    return notice(QStringLiteral("Horalog.dat filnavn"),
                  QStringLiteral("Horalogs data vil blive gemt i ") + filnavn +
                      QStringLiteral("\r\n\r\nHvis der ønskes anvendt en anden placering,\r\n") +
                      (wording == NoticeWording::TakenOver
                           ? QStringLiteral("kan dette rettes under Opsætninger/Filnavn")
                           : QStringLiteral("kan dette rettes under 'Opsætninger - Filnavn'")));
}

InputRequest dailyHoursQuestion(const QString& proposal) {
    return {QStringLiteral("Daglige arbejdstid"),
            QStringLiteral("Angiv daglige arbejdstid i timer:"), proposal};
}

QString hoursMenuCaption(float arbejdstimer) {
    return QStringLiteral("&Arbejdstid  (") + plainNumberText(arbejdstimer) +
           QStringLiteral(" timer)");
}

QString changedHoursMenuCaption(float arbejdstimer) {
    return QStringLiteral("&Arbejdstid  (") + plainNumberText(arbejdstimer) + QLatin1Char(')');
}

QString fileMenuCaption(const QString& filnavn) {
    return QStringLiteral("&Filnavn  (") + filnavn + QLatin1Char(')');
}

}  // namespace horalog
