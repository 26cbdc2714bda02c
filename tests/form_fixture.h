#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "app/flex_form.h"
#include "test_helpers.h"
#include "test_store.h"

namespace horalog::testing {

using namespace Qt::StringLiterals;

inline const QByteArray kHeader = "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n";
inline const QByteArray kThreeDays = kHeader + "05-12-2026;3;08:00;16:00;750;2220;125;\r\n";
// A night shift after a day's work, and the one finding --check and the overview both give.
inline const QByteArray kShortRest = kHeader +
                                     "08-12-2026;1;08:00;16:00;750;750;60;\r\n"
                                     "09-12-2026;2;22:00;06:00;750;1500;70;\r\n";
inline const QString kShortRestFinding =
    QStringLiteral("09-12-2026: 6:00 hvile (gik 16:00 den 08-12-2026, mødte 22:00 den 08-12-2026)");
inline const QString kUnchanged = QStringLiteral("\r\n\r\nIntet er ændret.");

// Before the program ends on a file error; a blank line when the error is the file's content.
inline QString fatalFileMessage(const char* firstLine, const QString& file, const QString& error,
                                bool blankLine) {
    return QString::fromUtf8(firstLine) + file + u"\r\nFejl: "_s + error +
           (blankLine ? u"\r\n\r\n"_s : u"\r\n"_s) +
           u"Programmet kan ikke fortsætte før fejlen er rettet."_s;
}

// Thrown where the real program would end, so a test can look at what was written before.
struct ProgramEnded {};

struct ShownDialog {
    QChar kind;                        // as in the script: '>' input, '@' file, '!' message
    QString title, text, defaultText;  // text: the message or the prompt
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultButton = MessageAnswer::Ok;
    FileDialogRequest file{};
    bool windowVisible = false;  // whether the window was on screen when it was shown
};

// Answers dialogs from a script and records each; a dialog the script did not expect fails.
class ScriptedPlatform : public Platform {
public:
    // In order: ">text" an input's OK or "Annuller", "@path" a file or "@" none, "Ja", "Nej", "OK".
    void answer(const QString& script) { answers_ << script.split(u'|', Qt::SkipEmptyParts); }
    bool allAnswered() const { return answers_.isEmpty(); }

    MessageAnswer ask(QWidget* parent, const Message& m) override {
        const QString a =
            show({u'!', m.title, m.text, {}, m.icon, m.buttons, m.defaultButton}, parent);
        ++showing_;
        if (whileMessageShown) {
            whileMessageShown();
        }
        --showing_;
        using enum MessageAnswer;
        return a == u"Ja" ? Yes : a == u"Nej" ? No : Ok;
    }
    std::optional<QString> input(QWidget* parent, const InputRequest& r) override {
        const QString a = show({u'>', r.title, r.prompt, r.proposal}, parent);
        return a == kCancel ? std::nullopt : std::optional(a.mid(1));
    }
    std::optional<QString> chooseFile(QWidget* parent, const FileDialogRequest& request) override {
        const QString a = show({u'@', request.title, {}, {}, {}, {}, {}, request}, parent);
        return a.isEmpty() ? std::nullopt : std::optional(a);
    }
    QDateTime currentDateTime() override { return now; }
    std::int64_t millisecondsSinceStart() override { return uptimeMs; }
    QString shortDatePattern() override { return datePattern; }
    QChar decimalSeparator() override { return QLatin1Char(','); }
    QString timeWithSeconds(const QTime& time) override { return time.toString(u"HH:mm:ss"); }
    bool dialogOpen() override { return showing_ > 0; }
    void bringDialogForward() override { broughtForward += showing_ > 0 ? 1 : 0; }
    bool trayAvailable() override { return tray; }
    void trayMessage(QSystemTrayIcon&, const QString& title, const QString& text) override {
        trayMessages.push_back(title + u'|' + text);
    }
    void watchDesktop(QWidget*, std::function<void(DesktopEvent)> handler) override {
        desktop = std::move(handler);
    }
    [[noreturn]] void end(int status) override {
        endedWith = status;
        throw ProgramEnded{};
    }

    std::vector<ShownDialog> shown;
    std::optional<int> endedWith;
    QDateTime now{QDate(2026, 12, 5), QTime(8, 0, 0)};
    std::int64_t uptimeMs = 3600 * 1000;
    QString datePattern = QStringLiteral("dd-MM-yyyy");
    bool tray = false;
    std::vector<QString> trayMessages;                      // "title|text"
    int broughtForward = 0;                                 // dialogs brought to the front
    std::function<void(DesktopEvent)> desktop;              // plays what the desktop tells
    std::function<void()> whileMessageShown;                // as a real one's event loop runs
    std::function<QString(const ShownDialog&)> unscripted;  // answers what the script does not

private:
    static inline const QString kCancel = QStringLiteral("Annuller");
    // The answer scripted for the dialog: a file dialog's without its mark, an input's with it.
    QString show(ShownDialog d, QWidget* parent) {
        d.windowVisible = parent != nullptr && parent->isVisible();
        shown.push_back(d);
        const QString a = !answers_.isEmpty() ? answers_.takeFirst()
                          : unscripted        ? unscripted(d)
                                              : QString();
        const bool marked = a.startsWith(u'>') || a.startsWith(u'@');
        const QChar kind = a == kCancel ? QChar(u'>') : marked ? a[0] : QChar(u'!');
        if (a.isEmpty() || kind != d.kind) {
            ADD_FAILURE() << "unexpected dialog: " << (d.title + u'|' + d.text).toStdString();
            return d.kind == u'>' ? kCancel : QString();
        }
        return kind == u'@' ? a.mid(1) : a;
    }
    QStringList answers_;
    int showing_ = 0;
};

// A path as a REGEDIT4 text holds it: a Windows path's backslashes escaped.
inline QByteArray regText(const QString& path) {
    return path.toUtf8().replace("\\", "\\\\");
}

// An existing user's store: the registration file, the open day ("Moedt") and the defaults.
inline QByteArray userStore(const QString& file, const QByteArray& moedt) {
    return "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"Moedt\"=\"" + moedt +
           "\"\n\"Arbejdstimer\"=\"7.4\"\n\"FrokostVarighed\"=\"50\"\n\"FrokostArbejdstid\"="
           "\"450\"\n\"Filnavn\"=\"" +
           regText(file) + "\"\n\n";
}

// A window over a real store and file in a fresh folder, seen as a user sees it.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::make_unique<QTemporaryDir>();
        qputenv("HOME", dir->path().toLocal8Bit());
        file = inDir("Horalog.Dat");
        store.emplace(dir->path());
        backend.reset();
    }
    void TearDown() override {
        window.reset();
        EXPECT_TRUE(platform.allAnswered()) << "a scripted answer was never asked for";
    }
    void fresh() {
        TearDown();
        platform = ScriptedPlatform();
        SetUp();
    }
    // A window over the test's store (or `backend`, when set), not yet started.
    std::unique_ptr<Flex_Form> newWindow(ScriptedPlatform& on) {
        return std::make_unique<Flex_Form>(on, [this] {
            return std::make_unique<CRegistry>(backend ? backend : store->backend());
        });
    }
    Flex_Form& form() { return window ? *window : *(window = newWindow(platform)); }
    // Runs a handler as the wiring does and reports whether the program ended in it.
    bool ends(void (Flex_Form::*handler)()) try {
        form().run(handler);
        return false;
    } catch (const ProgramEnded&) {
        return true;
    }
    bool startForm(const QString& answers = {}) {
        platform.answer(answers);
        return !ends(&Flex_Form::Form_Load);
    }
    // Triggers the menu entry whose text begins so, through its action: a wrong row shows.
    void menu(const QString& entry) {
        for (QAction* action : form().findChildren<QAction*>()) {
            if (action->text().startsWith(entry)) {
                return action->trigger();
            }
        }
        ADD_FAILURE() << "no menu entry " << entry.toStdString();
    }
    // An existing user whose file holds these bytes and whose open day is "Moedt".
    void startExistingUser(const QByteArray& bytes, const QByteArray& moedt = " ") {
        writeBytes(file, bytes);
        store->seed(kHKeyCurrentUser, userStore(file, moedt));
        ASSERT_TRUE(startForm());
    }
    void seedMachine(const QByteArray& values) {
        store->seed(kHKeyLocalMachine,
                    "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Kvistborg\\Horalog]\n" + values);
    }
    std::optional<std::string> userValue(const std::string& name) { return store->userValue(name); }
    QString stored(const char* n) { return QString::fromStdString(userValue(n).value_or("none")); }
    // A path in the test's folder as the file dialog gives it: with backslashes on Windows.
    QString inDir(const char* name) const {
        return QDir::toNativeSeparators(dir->filePath(QLatin1String(name)));
    }
    void at(int hour, int minute) { platform.now.setTime(QTime(hour, minute, 0)); }
    void on(int day, int hour, int minute, int month = 12) {
        platform.now = QDateTime(QDate(2026, month, day), QTime(hour, minute));
    }
    template <typename W>
    W* child(const char* name) {
        return form().findChild<W*>(QLatin1String(name));
    }
    static QString textIn(Flex_Form& w, const char* name) {
        return w.findChild<QObject*>(QLatin1String(name))->property("text").toString();
    }
    QString text(const char* name) { return textIn(form(), name); }
    static void enter(Flex_Form& w, const char* field, const QString& time) {
        w.findChild<QLineEdit*>(QLatin1String(field))->setText(time);
        w.findChild<QPushButton*>(QStringLiteral("Registrer_Command"))->click();
    }
    void arrive(const QString& time) { enter(form(), "Komme_Text", time); }
    void leave(const QString& time) { enter(form(), "Gaa_Text", time); }
    QLineEdit* komme() { return child<QLineEdit>("Komme_Text"); }
    QLineEdit* gaa() { return child<QLineEdit>("Gaa_Text"); }
    QString kommeColour() { return komme()->palette().color(QPalette::Base).name(); }
    void click() { child<QPushButton>("Registrer_Command")->click(); }
    void tick() { ASSERT_FALSE(ends(&Flex_Form::Udregn_Timer_Timer)); }
    QString today() { return text("Idag_CT") + text("Idag_TM"); }
    QString lastDialog() { return platform.shown.empty() ? QString() : platform.shown.back().text; }

    std::unique_ptr<QTemporaryDir> dir;
    QString file;  // the registration file
    std::optional<TestStore> store;
    std::shared_ptr<RegistryBackend> backend;
    ScriptedPlatform platform;
    std::unique_ptr<Flex_Form> window;
};

}  // namespace horalog::testing
