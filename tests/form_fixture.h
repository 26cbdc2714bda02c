#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "app/flex_form.h"
#include "registry/hive_file.h"
#include "scripted_platform.h"

namespace horalog::testing {

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

using Values = std::vector<std::pair<std::string, std::string>>;

// A window over a real store and a real registration file in a fresh temporary folder, seen as
// a user sees it: widget texts by object name, the dialogs, the file's bytes, the store's values.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A new folder, store, platform and window, for the next row of a table.
    void fresh();

    // Runs start-up; false when the program ended during it.
    bool startForm() { return !ends(&Flex_Form::Form_Load); }
    Flex_Form& form();
    // Runs a handler as the wiring does and reports whether the program ended in it.
    bool ends(void (Flex_Form::*handler)());

    void seedKey(bool machine, const Values& values);
    std::optional<std::string> userValue(const std::string& name);
    // An existing user whose file holds these bytes and whose open day is "Moedt".
    void startExistingUser(const QByteArray& file, const std::string& moedt = " ");
    void at(int hour, int minute) { platform.now.setTime(QTime(hour, minute, 0)); }

    template <typename W>
    W* child(const char* name) {
        return form().findChild<W*>(QLatin1String(name));
    }
    QString text(const char* name);  // of a label, field or menu entry

    std::unique_ptr<QTemporaryDir> dir;
    QString file;  // the registration file
    HivePaths paths;
    ScriptedPlatform platform;
    std::unique_ptr<Flex_Form> window;
};

}  // namespace horalog::testing
