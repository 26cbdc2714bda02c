#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "app/flex_form.h"
#include "registry/hive_file.h"
#include "scripted_platform.h"

namespace horalog {

// Reaches the window's private state, for assertions only.
struct FlexFormProbe {
    Flex_Form& f;
    bool& Gaa_Auto() { return f.Gaa_Auto; }
    std::int16_t& Periode_Dage() { return f.Periode_Dage; }
    float& Arbejdstimer() { return f.Arbejdstimer; }
    std::int16_t& Dato_Laengde() { return f.Dato_Laengde; }
    QString& Filnavn() { return f.Filnavn; }
    std::int32_t& Flex_Total() { return f.Flex_Total; }
    bool& Frokost_Aktiv() { return f.Frokost_Aktiv; }
    std::int16_t& FrokostVarighed() { return f.FrokostVarighed; }
    std::int16_t& FrokostArbejdstid() { return f.FrokostArbejdstid; }
    std::int32_t& Gaa_CT() { return f.Gaa_CT; }
    std::int32_t& Komme_CT() { return f.Komme_CT; }
    bool& Komme_Registreret() { return f.Komme_Registreret; }
    std::int32_t& Periode_Sum() { return f.Periode_Sum; }
    bool hasReg() const { return f.Reg != nullptr; }
    QString trayTip() const { return f.Tray_Data.tip; }
    bool trayFilled() const { return f.Tray_Data.filled; }
    bool udregnTimerActive() const;
};

namespace testing {

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

// A window over a real store and a real registration file in a fresh temporary folder.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A new folder, store, platform and window, for the next row of a table.
    void fresh();

    // Creates the window (once) and runs start-up; false when the program ended during it.
    bool startForm();
    Flex_Form& form();
    FlexFormProbe probe() { return FlexFormProbe{form()}; }

    // A per-user store holding these values, as a former run left it.
    void seedUserKey(const std::vector<std::pair<std::string, std::string>>& values);
    void seedMachineKey(const std::vector<std::pair<std::string, std::string>>& values);
    std::optional<std::string> userValue(const std::string& name);
    // An existing user with this registration file content and "Moedt".
    void seedExistingUser(const QByteArray& file, const std::string& moedt = " ");

    // Runs a handler as the wiring does and reports whether the program ended in it.
    bool ends(void (Flex_Form::*handler)());

    template <typename W>
    W* child(const char* name) {
        return form().findChild<W*>(QLatin1String(name));
    }
    QString text(const char* name);

    std::unique_ptr<QTemporaryDir> dir;
    QString file;  // the registration file
    HivePaths paths;
    ScriptedPlatform platform;
    std::unique_ptr<Flex_Form> window;
};

}  // namespace testing
}  // namespace horalog
