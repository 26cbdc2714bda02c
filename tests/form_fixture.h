#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <memory>

#include "app/flex_form.h"
#include "registry/hive_file.h"
#include "scripted_platform.h"

namespace horalog::testing {

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// An existing user's store: the registration file, the open day ("Moedt") and the defaults.
inline QByteArray userStore(const QString& file, const QByteArray& moedt) {
    return "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"Moedt\"=\"" + moedt +
           "\"\n\"Arbejdstimer\"=\"7.4\"\n\"FrokostVarighed\"=\"50\"\n\"FrokostArbejdstid\"="
           "\"450\"\n\"Filnavn\"=\"" +
           file.toUtf8() + "\"\n\n";
}

// A window over a real store and a real registration file in a fresh temporary folder, seen as
// a user sees it: widget texts by object name, the dialogs, the file's bytes, the store's values.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::make_unique<QTemporaryDir>();
        qputenv("HOME", dir->path().toLocal8Bit());
        file = dir->filePath(QStringLiteral("Horalog.Dat"));
        paths = {dir->filePath(QStringLiteral("config/HKEY_CURRENT_USER.reg")).toStdString(),
                 dir->filePath(QStringLiteral("HKEY_LOCAL_MACHINE.reg")).toStdString()};
    }
    void TearDown() override {
        window.reset();
        EXPECT_TRUE(platform.allAnswered()) << "a scripted answer was never asked for";
    }
    // A new folder, store, platform and window, for the next row of a table.
    void fresh() {
        TearDown();
        platform = ScriptedPlatform();
        SetUp();
    }
    CRegistry store() { return CRegistry(std::make_shared<HiveFileBackend>(paths)); }
    Flex_Form& form() {
        if (!window) {
            window = std::make_unique<Flex_Form>(platform, [p = paths] {
                return std::make_unique<CRegistry>(std::make_shared<HiveFileBackend>(p));
            });
        }
        return *window;
    }
    // Runs a handler as the wiring does and reports whether the program ended in it.
    bool ends(void (Flex_Form::*handler)()) {
        try {
            form().run(handler);
        } catch (const ProgramEnded&) {
            return true;
        }
        return false;
    }
    bool startForm() { return !ends(&Flex_Form::Form_Load); }
    // An existing user whose file holds these bytes and whose open day is "Moedt".
    void startExistingUser(const QByteArray& bytes, const QByteArray& moedt = " ") {
        writeBytes(file, bytes);
        writeBytes(QString::fromStdString(paths.user), userStore(file, moedt));
        ASSERT_TRUE(startForm());
    }
    std::optional<std::string> userValue(const std::string& name) {
        CRegistry reg = store();
        if (!reg.OpenKey(kHKeyCurrentUser, kSettingsKey) || !reg.ValueExists(name)) {
            return std::nullopt;
        }
        return reg.ReadValue(name);
    }
    void at(int hour, int minute) { platform.now.setTime(QTime(hour, minute, 0)); }
    template <typename W>
    W* child(const char* name) {
        return form().findChild<W*>(QLatin1String(name));
    }
    // The text of a label, a field or a menu entry.
    QString text(const char* name) {
        if (auto* label = child<QLabel>(name)) {
            return label->text();
        }
        auto* edit = child<QLineEdit>(name);
        return edit ? edit->text() : child<QAction>(name)->text();
    }
    QString lastDialog() { return platform.shown.empty() ? QString() : platform.shown.back().text; }

    std::unique_ptr<QTemporaryDir> dir;
    QString file;  // the registration file
    HivePaths paths;
    ScriptedPlatform platform;
    std::unique_ptr<Flex_Form> window;
};

}  // namespace horalog::testing
