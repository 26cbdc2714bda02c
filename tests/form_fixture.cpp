#include "form_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "registry/registry.h"

namespace horalog {

bool FlexFormProbe::udregnTimerActive() const {
    return f.Udregn_Timer->isActive();
}

namespace testing {

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

bool FormTest::startForm() {
    return !ends(&Flex_Form::Form_Load);
}

bool FormTest::ends(void (Flex_Form::*handler)()) {
    try {
        form().run(handler);
    } catch (const ProgramEnded&) {
        return true;
    }
    return false;
}

namespace {
void seed(const HivePaths& paths, bool machine,
          const std::vector<std::pair<std::string, std::string>>& values) {
    CRegistry reg(std::make_shared<HiveFileBackend>(paths, true));
    reg.OpenKey(machine ? kHKeyLocalMachine : kHKeyCurrentUser, "Software\\Kvistborg\\Horalog",
                true, true);
    for (const auto& [n, v] : values) {
        reg.WriteValue(n, v);
    }
}
}  // namespace

void FormTest::seedUserKey(const std::vector<std::pair<std::string, std::string>>& values) {
    seed(paths, false, values);
}

void FormTest::seedMachineKey(const std::vector<std::pair<std::string, std::string>>& values) {
    seed(paths, true, values);
}

std::optional<std::string> FormTest::userValue(const std::string& name) {
    CRegistry reg(std::make_shared<HiveFileBackend>(paths));
    if (!reg.OpenKey(kHKeyCurrentUser, "Software\\Kvistborg\\Horalog") || !reg.ValueExists(name)) {
        return std::nullopt;
    }
    return reg.ReadValue(name);
}

void FormTest::seedExistingUser(const QByteArray& bytes, const std::string& moedt) {
    writeBytes(file, bytes);
    seedUserKey({{"Moedt", moedt},
                 {"Arbejdstimer", "7.4"},
                 {"FrokostVarighed", "50"},
                 {"FrokostArbejdstid", "450"},
                 {"Filnavn", file.toStdString()}});
}

QString FormTest::text(const char* name) {
    if (auto* label = child<QLabel>(name)) {
        return label->text();
    }
    if (auto* edit = child<QLineEdit>(name)) {
        return edit->text();
    }
    ADD_FAILURE() << "no control " << name;
    return QString();
}

}  // namespace testing
}  // namespace horalog
