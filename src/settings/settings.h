#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

#include "registry/registry.h"
#include "text/message.h"
#include "text/result.h"

namespace horalog {

// The per-user and machine-wide settings live under this key of their root.
inline constexpr char kSettingsKey[] = "Software\\Kvistborg\\Horalog";

// The stored values, one row each: its name in the store, how it is kept, a number's default. The
// file name's default is the platform's (defaultRegistrationFile).
enum class Setting {
    Moedt,
    Arbejdstimer,
    FrokostVarighed,
    FrokostArbejdstid,
    Filnavn,
    MoedtFilLaengde,
    SidstAktiv
};
// A text as it stands, hours as plain number text, minutes in 16 bits, a file's size.
enum class SettingKind { Text, Hours, Minutes, Size };
struct SettingRow {
    Setting setting;
    const char* name;
    SettingKind kind;
    double fallback;  // a number's, used where it is missing or cannot be held
    bool firstStart;  // written at a user's first start
};
// In the order the values are read and written. The registration file's size when the open day's
// arrival was registered is written with the arrival only, and the last moment the program ran
// with a day open only when it ends; neither at a first start.
inline constexpr std::array<SettingRow, 7> kSettingRows = {{
    {Setting::Moedt, "Moedt", SettingKind::Text, 0.0, true},
    {Setting::Arbejdstimer, "Arbejdstimer", SettingKind::Hours, 7.4, true},
    {Setting::FrokostVarighed, "FrokostVarighed", SettingKind::Minutes, 50.0, true},
    {Setting::FrokostArbejdstid, "FrokostArbejdstid", SettingKind::Minutes, 450.0, true},
    {Setting::Filnavn, "Filnavn", SettingKind::Text, 0.0, true},
    {Setting::MoedtFilLaengde, "MoedtFilLaengde", SettingKind::Size, 0.0, false},
    {Setting::SidstAktiv, "SidstAktiv", SettingKind::Text, 0.0, false},
}};
constexpr const SettingRow& settingRow(Setting setting) {
    return kSettingRows[static_cast<std::size_t>(setting)];
}

// "Moedt" when no day is open.
inline const QString kNoArrival = QStringLiteral(" ");

struct WorkSettings {
    float arbejdstimer = static_cast<float>(settingRow(Setting::Arbejdstimer).fallback);
    std::int16_t frokostVarighed =
        static_cast<std::int16_t>(settingRow(Setting::FrokostVarighed).fallback);
    std::int16_t frokostArbejdstid =
        static_cast<std::int16_t>(settingRow(Setting::FrokostArbejdstid).fallback);
    bool operator==(const WorkSettings&) const = default;
};

// What a settings key holds: the values to use, a message for each stored number that cannot be
// held (its default is used, the stored text stays), the file name and the open day's arrival
// when they are there.
struct StoredSettings {
    WorkSettings values;
    QStringList warnings;
    std::optional<QString> filnavn;
    std::optional<QString> moedt;
    std::optional<qint64> moedtFilLaengde;
    std::optional<QString>
        sidstAktiv;  // «07-12-2026 16:42»: when the program last ended, a day open
};

// Why the store did not take a value: its own words, and what the user is told of a command's
// change: «Opsætningerne kan ikke gemmes: …» with the reason (held by another copy, a full disk,
// read only).
struct StoreFailure {
    QString description;
    QString told;
};
using StoreWrite = Result<void, StoreFailure>;

// The settings as the store holds them. Every call opens the key it needs and closes it again
// before it returns, so no key stays open between two events and no caller handles keys.
class SettingsStore {
public:
    explicit SettingsStore(CRegistry& reg) : reg_(reg) {}

    bool userKeyExists();
    // The machine-wide key, only ever read; nothing when there is none.
    std::optional<StoredSettings> readMachineKey();
    // The per-user key; writeMissing writes each missing number back with its default.
    StoredSettings readUserKey(bool writeMissing = false);
    // The stored arrival "Moedt", or the empty text when it is missing.
    QString storedArrival();
    // Moves whenever the per-user key may have changed; empty when that cannot be told.
    std::string userKeyStamp() { return reg_.changeStamp(kHKeyCurrentUser, kSettingsKey); }
    // Raises the store's key error, for the writes whose failure ends what the program does.
    void write(Setting setting, const QString& text);
    // A value written by a command: a store that cannot take it is answered, never raised.
    StoreWrite tryWrite(Setting setting, const QString& text);
    // A user's first start: the per-user key with all five values.
    void createUserKey(const QString& moedt, const WorkSettings& values, const QString& filnavn);

private:
    StoredSettings read(bool writeMissing);
    CRegistry& reg_;
};

// The stored text of a number setting.
QString storedHours(float arbejdstimer);

// The notice that names where the data will be kept. Its last line points to the menu entry in
// two wordings: «Opsætninger/Filnavn» when settings are taken over from the machine's key or a
// stored name is missing, «'Opsætninger - Filnavn'» at the very first start.
enum class NoticeWording { TakenOver, FirstStart };
Message fileNameNotice(const QString& filnavn, NoticeWording wording);
// The question for the daily hours, proposing the hours as they are.
InputRequest dailyHoursQuestion(const QString& proposal);
QString dailyHoursSubject();  // «Arbejdstiden», as a refusal names it
// The status line after the change, the hours in the user's locale.
QString dailyHoursChanged(float arbejdstimer, QChar decimalSeparator);
Message aboutMessage(const QString& version);

QString hoursMenuCaption(float arbejdstimer);
// The caption after the hours were changed while the program runs: «&Arbejdstid  (7.5)».
QString changedHoursMenuCaption(float arbejdstimer);
QString fileMenuCaption(const QString& filnavn);

}  // namespace horalog
