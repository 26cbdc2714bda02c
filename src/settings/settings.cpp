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

// The minutes a number setting of that kind holds.
std::int16_t& minutesOf(WorkSettings& values, Setting setting) {
    return setting == Setting::FrokostVarighed ? values.frokostVarighed : values.frokostArbejdstid;
}

// A number setting's value as the store holds it; the empty text for the others.
QString numberText(const SettingRow& row, WorkSettings values) {
    switch (row.kind) {
        case SettingKind::Hours:
            return storedHours(values.arbejdstimer);
        case SettingKind::Minutes:
            return QString::number(minutesOf(values, row.setting));
        default:
            return QString();
    }
}

// Where a text setting is read to.
std::optional<QString>& textOf(StoredSettings& stored, Setting setting) {
    return setting == Setting::Moedt     ? stored.moedt
           : setting == Setting::Filnavn ? stored.filnavn
                                         : stored.sidstAktiv;
}

QString settingWarning(const char* name, const QString& text, const QString& fallback) {
    return QStringLiteral(
               "Indstillingen \"%1\" med værdien \"%2\" kan ikke anvendes, fordi tallet er for "
               "stort.\r\n\r\nVærdien %3 bruges nu. Den gemte værdi står uændret, så den kan "
               "rettes.")
        .arg(QLatin1String(name), text, fallback);
}

}  // namespace

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
        const QString fallback = numberText(row, WorkSettings{});
        if (!text) {
            if (writeMissing && !fallback.isEmpty()) {
                reg_.WriteValue(row.name, toStoreText(fallback));
            }
            continue;
        }
        switch (row.kind) {
            case SettingKind::Text:
                textOf(stored, row.setting) = text;
                break;
            case SettingKind::Size: {
                bool ok = false;
                const qint64 size = text->toLongLong(&ok);
                stored.moedtFilLaengde = ok && size >= 0 ? std::optional(size) : std::nullopt;
                break;
            }
            case SettingKind::Hours:
                if (const auto hours = readHours(*text)) {
                    v.arbejdstimer = static_cast<float>(*hours);
                } else {
                    stored.warnings << settingWarning(row.name, *text, fallback);
                }
                break;
            case SettingKind::Minutes:
                if (const auto number = readInt16(*text)) {
                    minutesOf(v, row.setting) = *number;
                } else {
                    stored.warnings << settingWarning(row.name, *text, fallback);
                }
                break;
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
        if (!row.firstStart) {
            continue;
        }
        const QString text = row.kind != SettingKind::Text     ? numberText(row, values)
                             : row.setting == Setting::Filnavn ? filnavn
                                                               : moedt;
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

QString dailyHoursSubject() {
    return QStringLiteral("Arbejdstiden");
}

QString dailyHoursChanged(float arbejdstimer, QChar decimalSeparator) {
    return QStringLiteral("Daglige arbejdstid ændret til ") +
           localeNumberText(arbejdstimer, decimalSeparator);
}

Message aboutMessage(const QString& version) {
    return notice(QStringLiteral("Om Horalogs registrering"),
                  QStringLiteral("Horalogs registrering, Version ") + version +
                      QStringLiteral("\r\nRegistrer og udregner horalog udfra komme "
                                     "& gå tidspunkt.\r\n\r\nKvistborg, 1999-2026"));
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
