#include "form_fixture.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace horalog::testing {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void FormTest::SetUp() {
    dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir->isValid());
    const QString d = dir->path();
    qputenv("HOME", d.toLocal8Bit());
    file = d + QStringLiteral("/Horalog.Dat");
    paths = {(d + QStringLiteral("/config/horalog/HKEY_CURRENT_USER.reg")).toStdString(),
             (d + QStringLiteral("/etc/HKEY_LOCAL_MACHINE.reg")).toStdString()};
}

void FormTest::TearDown() {
    window.reset();
    EXPECT_TRUE(platform.allAnswered()) << "a scripted answer was never asked for";
}

void FormTest::fresh() {
    TearDown();
    platform = ScriptedPlatform();
    SetUp();
}

Flex_Form& FormTest::form() {
    if (!window) {
        const HivePaths p = paths;
        window = std::make_unique<Flex_Form>(platform, [p] {
            return std::make_unique<CRegistry>(std::make_shared<HiveFileBackend>(p));
        });
    }
    return *window;
}

bool FormTest::ends(void (Flex_Form::*handler)()) {
    try {
        form().run(handler);
    } catch (const ProgramEnded&) {
        return true;
    }
    return false;
}

void FormTest::seedKey(bool machine, const Values& values) {
    CRegistry reg(std::make_shared<HiveFileBackend>(paths, true));
    reg.OpenKey(machine ? kHKeyLocalMachine : kHKeyCurrentUser, kSettingsKey, true, true);
    for (const auto& [n, v] : values) {
        reg.WriteValue(n, v);
    }
}

std::optional<std::string> FormTest::userValue(const std::string& name) {
    CRegistry reg(std::make_shared<HiveFileBackend>(paths));
    if (!reg.OpenKey(kHKeyCurrentUser, kSettingsKey) || !reg.ValueExists(name)) {
        return std::nullopt;
    }
    return reg.ReadValue(name);
}

void FormTest::startExistingUser(const QByteArray& bytes, const std::string& moedt) {
    writeBytes(file, bytes);
    seedKey(false, {{"Moedt", moedt},
                    {"Arbejdstimer", "7.4"},
                    {"FrokostVarighed", "50"},
                    {"FrokostArbejdstid", "450"},
                    {"Filnavn", file.toStdString()}});
    ASSERT_TRUE(startForm());
}

QString FormTest::text(const char* name) {
    if (auto* label = child<QLabel>(name)) {
        return label->text();
    }
    if (auto* edit = child<QLineEdit>(name)) {
        return edit->text();
    }
    if (auto* action = child<QAction>(name)) {
        return action->text();
    }
    ADD_FAILURE() << "no control " << name;
    return QString();
}

}  // namespace horalog::testing
