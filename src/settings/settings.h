#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "registry/registry.h"

namespace horalog {

// The per-user and machine-wide settings live under this key of their root.
inline constexpr char kSettingsKey[] = "Software\\Kvistborg\\Horalog";

struct WorkSettings {
    float arbejdstimer = 7.4f;
    std::int16_t frokostVarighed = 50;
    std::int16_t frokostArbejdstid = 450;
};

// What the stored settings hold: the values to use, a message for each stored number that cannot
// be held (its default is used, the stored text stays), and the file name when there is one.
struct SettingsReading {
    WorkSettings values;
    QStringList warnings;
    std::optional<QString> filnavn;
};

// The settings key of a root, open for as long as the guard lives, so that each caller holds it
// for exactly the reads and writes that need it and a call put between two callers cannot change
// which key the later one sees.
class SettingsKey {
public:
    SettingsKey(CRegistry& reg, std::uint32_t root, bool create, bool allAccess)
        : reg_(reg), open_(reg.OpenKey(root, kSettingsKey, create, allAccess)) {}
    ~SettingsKey();
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    bool isOpen() const { return open_; }

private:
    CRegistry& reg_;
    bool open_;
};

// Reads the open key. writeMissing writes each missing number back with its default.
SettingsReading readSettings(CRegistry& key, bool writeMissing);

// The stored arrival "Moedt", or nothing when the value is missing.
std::optional<QString> readStoredArrival(CRegistry& key);

// The per-user key as a user's first start leaves it.
void writeUserKey(CRegistry& user, const QString& moedt, const WorkSettings& values,
                  const QString& filnavn);

// One value into the per-user key.
void writeUserSetting(CRegistry& reg, const QString& name, const QString& value);

// The notice that names where the data will be kept. Its last line points to the menu entry in
// two wordings: «Opsætninger/Filnavn» when settings are taken over from the machine's key or a
// stored name is missing, «'Opsætninger - Filnavn'» at the very first start.
enum class NoticeWording { TakenOver, FirstStart };
QString fileNameNotice(const QString& filnavn, NoticeWording wording);

QString hoursMenuCaption(float arbejdstimer);
QString fileMenuCaption(const QString& filnavn);

}  // namespace horalog
