// The working window driven as a user drives it, seen in the widgets, dialogs, file and store.
#include <QAccessible>
#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <cmath>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "app/value_field.h"
#include "form_fixture.h"
#include "journal/file_figures.h"
#include "platform/platform_paths.h"

namespace horalog::testing {
namespace {

const QString kGone =
    u" findes ikke længere. Den kan være flyttet eller slettet af et andet program; vælg den "
    u"under Opsætninger/Filnavn."_s;
const QByteArray kNoDay = "x;0;-;-;-;0;0\r\n";

// The file is where a first start proposes it: C:\Horalog.Dat on Windows.
class WindowTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        file = defaultRegistrationFile();
        QFile::remove(file);
    }
};

// Notice, balance; the administrator's values and file name made the user's; no records taken.
TEST_F(WindowTest, FirstStart) {
    ASSERT_TRUE(startForm(u"OK|>150"_s));
    EXPECT_TRUE(platform.shown.at(0).text.endsWith(u"'Opsætninger - Filnavn'"_s));
    EXPECT_EQ(platform.shown.at(1).title, u"Opstart Horalog"_s);
    EXPECT_TRUE(!platform.shown[0].windowVisible && platform.shown[1].windowVisible);
    EXPECT_EQ(readBytes(file), kHeader + "05-12-2026;0;-;-;-;0;150\r\n");
    EXPECT_EQ(text("Total_CT") + komme()->text(), u"150 ct 07:00"_s);  // up an hour
    // Centred on the 800 x 800 screen: 394 x 194 px (5910 x 2910 twips) under its menu bar.
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 800, 800));
    EXPECT_EQ(form().pos(), QPoint(203, 303 - form().menuBar()->height() / 2));
    fresh();
    seedMachine("\"Arbejdstimer\"=\"7.5\"\n");
    ASSERT_TRUE(startForm(u"OK|>0"_s));
    EXPECT_TRUE(platform.shown.at(0).text.endsWith(u"Opsætninger/Filnavn"_s));
    EXPECT_EQ(stored("Arbejdstimer") + stored("Filnavn"), u"7.5"_s + file);
    fresh();  // missing values are written back with their defaults
    writeBytes(file, kNoDay);
    store->seed(kHKeyCurrentUser,
                "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"FrokostVarighed\"="
                "\"31.5\"\n");
    ASSERT_TRUE(startForm(u"OK"_s));
    EXPECT_TRUE(lastDialog().endsWith(u"Opsætninger/Filnavn"_s));
    EXPECT_EQ(stored("Filnavn") + stored("Arbejdstimer") + stored("FrokostVarighed"),
              file + u"7.431.5"_s);  // 31.5 read as 32, not rewritten
    fresh();  // two first starts at once: the balance typed second once went on with the other's
    platform.unscripted = [this](const ShownDialog&) {  // the balance: the other copy is first
        EXPECT_TRUE(createRegistrationFile(file, u"05-12-2026"_s, 200).ok());
        platform.answer(u"OK"_s);
        return u">100"_s;
    };
    ASSERT_TRUE(startForm(u"OK"_s));
    EXPECT_EQ(
        lastDialog() + u'|' + text("Total_CT"),
        u"Registreringsfilen blev oprettet af et andet Horalog med saldoen 200 ct.|200 ct "_s);
    fresh();  // a date format it cannot read, or a file it cannot make, ends the program
    platform.datePattern = u"MM/dd/yyyy"_s;
    EXPECT_TRUE(!startForm(u"OK"_s) && platform.endedWith == 1 && !store->userKeyExists());
#ifdef _WIN32
    const QString where = u"Rettes via kontrol panelet og regionale indstillinger."_s;
#else
    const QString where =
        u"Rettes ved at sætte LC_TIME til en dansk sprogindstilling, f.eks. LC_TIME=da_DK.UTF-8."_s;
#endif
    EXPECT_EQ(lastDialog(),
              u"Ulovlig dato-format: MM/dd/yyyy\r\nDer skal anvendes dansk notation "
              u"med dagen først og årstallet sidst.\r\n(dd-mm-yy eller dd-mm-yyyy)\r\n"_s +
                  where);
    fresh();
    file = inDir("mangler/Horalog.Dat");
    store->seed(kHKeyCurrentUser, userStore(file, " "));
    EXPECT_FALSE(startForm(u">0|OK"_s));
    EXPECT_EQ(lastDialog(), fatalFileMessage("Fejl under oprettelse af filen: ", file,
                                             systemText(ENOENT), false));
    const QString user = userLoginName(), sep = QString(pathSeparator());
    const std::pair<const char*, QString> names[] = {{"", "Horalog-"_L1 + user + ".Dat"_L1},
                                                     {"$USER.dat", user + ".dat"_L1},
                                                     {"%username%.dat", user + ".dat"_L1}};
    for (const auto& [name, expected] : names) {
        fresh();
        const QString shared = inDir("fælles");
        QDir().mkpath(shared);
        seedMachine("\"Filnavn\"=\"" +
                    regText(*name ? shared + sep + QLatin1String(name) : shared) + "\"\n");
        ASSERT_TRUE(startForm(u">0"_s));
        EXPECT_TRUE(QFile::exists(shared + sep + expected)) << name;
        EXPECT_EQ(stored("Filnavn"), shared + sep + expected);
    }
    fresh();  // another user's file named as it stands: "Nej" goes to the user's own file
    const QString other = inDir("user1.dat");
    writeBytes(other, kThreeDays);
    seedMachine("\"Filnavn\"=\"" + regText(other) + "\"\n");
    ASSERT_TRUE(startForm(u"Nej|>40"_s));
    EXPECT_EQ(platform.shown.at(0).text,
              u"Registreringsfilen "_s + other +
                  u" findes allerede og indeholder registreringer (flex total 125 ct).\r\n\r\n"
                  u"Skal Horalog fortsætte i den fil?\r\n(Ved 'Nej' bruges "_s +
                  file + u')');
    EXPECT_EQ(readBytes(other), kThreeDays);
    EXPECT_EQ(stored("Filnavn") + text("Total_CT"), file + u"40 ct "_s);
    window.reset();  // the user's own file, found without settings: "Nej" starts a new period
    store->forget(kHKeyCurrentUser);
    ASSERT_TRUE(startForm(u"OK|Nej|>-20"_s));
    EXPECT_TRUE(readBytes(file).endsWith("05-12-2026;0;-;-;-;0;40\r\n" + kHeader +
                                         "05-12-2026;0;-;-;-;0;-20\r\n"));
    EXPECT_EQ(text("Total_CT"), u"-20 ct "_s);
#ifndef _WIN32  // that new period's file made a FIFO or a dangling link while asked: said once
    for (const bool fifo : {true, false}) {
        fresh();
        writeBytes(file, kThreeDays);
        platform.unscripted = [&](const ShownDialog&) {  // the balance, then the refusal
            QFile::remove(file);
            EXPECT_TRUE(fifo ? ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0
                             : QFile::link(inDir("nowhere"), file));
            platform.answer(u"OK"_s);
            return platform.shown.size() > 3 ? throw ProgramEnded{} : u">-20"_s;  // never ends
        };
        ASSERT_TRUE(startForm(u"OK|Nej"_s)) << fifo;
        const QString unusable =
            u" kan ikke bruges: Stien er ikke en almindelig fil (en mappe, en FIFO eller en enhed)."_s;
        EXPECT_EQ(
            lastDialog() + text("Total_CT"),
            u"Registreringsfilen "_s + file + (fifo ? unusable : kGone) + kUnchanged + u"0 ct "_s);
    }
#endif
}

// A day in a dark theme (the arrival once light on white or green); refusals; a deleted file.
TEST_F(WindowTest, FullDay) {
    const QPalette light = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(45, 45, 45)));  // white text on black
    const auto lin = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const auto contrast = [&] {  // between the field's lightest and darkest pixel
        komme()->deselect();
        const QImage field = komme()->grab().toImage().copy(komme()->rect().adjusted(4, 4, -4, -4));
        QList<double> l;  // each pixel's luminance
        for (int i = 0; i < field.width() * field.height(); ++i) {
            const QColor c = field.pixelColor(i % field.width(), i / field.width());
            l << 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
        }
        const auto [darkest, lightest] = std::ranges::minmax(l);
        return (lightest + 0.05) / (darkest + 0.05);
    };
    startExistingUser("h\r\n" + kNoDay);
    arrive("08:00");
    EXPECT_EQ(text("Status_Label"), u"Komme tidspunkt 08:00 (800 ct) registreret"_s);
    EXPECT_GE(contrast(), 4.5) << "open";
    // Another arrival replaces the registered one only when the user says so.
    for (const char* step : {"07:30|Ja|07:30", "08:00|Ja|08:00", "07:00|Nej|08:00"}) {
        const QStringList s = QString::fromLatin1(step).split(u'|');
        platform.answer(s[1]);
        arrive(s[0]);
        EXPECT_EQ(userValue("Moedt"), "05-12-2026 " + s[2].toStdString());
    }
    EXPECT_TRUE(lastDialog().startsWith(u"Skal det allerede registreret komme"_s));
    const char* const refused[][2] = {
        {"99999999999", "Tiden \"99999999999\" kan ikke anvendes, fordi tallet er for stort."},
        {"", "Gå-tiden 05:00 ligger før komme-tiden 08:00."}};  // the clock's own set back to 05:00
    for (const auto& [typed, refusal] : refused) {
        platform.answer(u"OK"_s);
        at(5, 0);
        gaa()->setText(QLatin1String(typed));
        tick();
        click();
        EXPECT_EQ(lastDialog(), QString::fromUtf8(refusal) + kUnchanged);
        EXPECT_EQ(platform.shown.back().icon, MessageIcon::Exclamation);
    }
    at(16, 30);
    tick();  // the refusals left the day open, on green
    EXPECT_EQ(text("Status_Label") + gaa()->selectedText() + u'|' + today() + form().windowTitle() +
                  u'|' + kommeColour() + u'|' + stored("Moedt"),
              u"16:30|800 ct 08:00 Horalogs registrering - 800 ct |#00ff00|05-12-2026 08:00"_s);
    click();
    EXPECT_EQ(text("Status_Label") + komme()->text() + gaa()->text() + today() + u'|' +
                  form().windowTitle() + u'|' + text("Periode_Diff") + text("Total_CT"),
              u"Arbejdstid idag: 08:00  (800 ct)|Horalogs registrering|60 ct 60 ct "_s);
    tick();  // the closed day does not run on
    EXPECT_EQ(gaa()->text() + today() + kommeColour(), u"#ffffff"_s);
    komme()->setText(u"08:00"_s);
    EXPECT_GE(contrast(), 4.5) << "closed";
    QApplication::setPalette(light);
    EXPECT_EQ(readBytes(file), "h\r\n" + kNoDay + "05-12-2026;1;08:00;16:30;800;800;60;\r\n");
    arrive("08:00");  // the file deleted under the window: said, not made anew; the day stays open
    QFile::remove(file);
    platform.answer(u"OK"_s);
    leave("16:00");
    EXPECT_EQ(
        lastDialog() + u'|' + gaa()->text() + u'|' + komme()->text() + u'|' + stored("Moedt"),
        u"Registreringsfilen "_s + file + kGone + kUnchanged + u"|16:00|08:00|05-12-2026 08:00"_s);
}

// Another day's arrival at the start: "Nej" opens no day, even if the clock ticked.
TEST_F(WindowTest, StoredArrivalAtStart) {
    const char* const cases[][2] = {// the answers; arrival and today, departure, "Moedt"
                                    {"Ja", "08:15175 ct |10:00|04-12-2026 08:15"},
                                    {"Nej|Annuller", "08:00|| "}};
    for (const auto& [answers, seen] : cases) {
        fresh();
        at(10, 0);
        platform.uptimeMs = 2 * 3600 * 1000;
        platform.answer(QLatin1String(answers));
        platform.whileMessageShown = [this] {
            QTest::qWait(form().findChild<QTimer*>(u"Udregn_Timer"_s)->interval() + 200);
        };
        startExistingUser(kNoDay, "04-12-2026 08:15");
        tick();
        EXPECT_EQ(komme()->text() + text("Idag_CT") + u'|' + gaa()->text() + u'|' + stored("Moedt"),
                  QLatin1String(seen));
    }
#ifndef _WIN32  // a store that can no longer be written (a folder) ends with its error, no crash
    const QString storeFile = store->fileOf(kHKeyCurrentUser);
    ASSERT_TRUE(QFile::remove(storeFile) && QDir().mkpath(storeFile));
    platform.answer(u"OK"_s);  // the arrival proposed after "Nej"
    EXPECT_TRUE(ends(&Flex_Form::Registrer_Command_Click) && platform.endedWith == 1);
    EXPECT_EQ(platform.shown.back().title + u'|' + lastDialog(),
              u"Horalog|Run-time error '-2147221502 (80040002)':\r\n\r\nThe settings file "_s +
                  storeFile + u" is a folder, not a file."_s);
    EXPECT_EQ(platform.shown.back().icon, MessageIcon::Critical);
#endif
}

// The tray (back when the click is let go), keys, every figure whole and sign first, the names.
TEST_F(WindowTest, TheWindowFromTheKeyboardAndTheTray) {
    startExistingUser("x;32767;-;-;-;-2147483648;-2147483648\r\n", "05-12-2026 08:00");
    EXPECT_EQ(text("Total_CT"), u"-2147483648 ct "_s);
    for (const bool tray : {false, true}) {
        platform.tray = tray;
        form().showNormal();
        form().showMinimized();
        QApplication::processEvents();
        EXPECT_EQ(form().isVisible(), !tray);
    }
    auto* icon = form().findChild<QSystemTrayIcon*>(u"Tray_Icon"_s);
    ASSERT_TRUE(icon && icon->isVisible() && icon->toolTip() == form().windowTitle());
    QWidget pad;
    pad.show();
    QTest::mousePress(&pad, Qt::LeftButton);
    Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
    QTest::qWait(100);
    EXPECT_FALSE(form().isVisible());
    QTest::mouseRelease(&pad, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([this] { return form().isVisible(); }, 2000) &&
                !form().isMinimized() && !icon->isVisible());
    QApplication::setActiveWindow(&form());  // the departure field from the keyboard
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    komme()->clear();
    gaa()->setText(u"12:00"_s);
    QString seen;  // the focus, and what a field entered selects (an empty arrival takes the time)
    for (const char* key : {"Tab", "Tab", "Tab", "Alt+K"}) {
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(QLatin1String(key)));
        seen += QApplication::focusWidget()->objectName() + u':' + komme()->selectedText() +
                gaa()->selectedText() + u' ';
    }
    EXPECT_EQ(seen, u"Registrer_Command: Komme_Text:08:00 Gaa_Text:12:00 Komme_Text:08:00 "_s);
    gaa()->setText(u"15:00"_s);
    at(16, 0);
    tick();
    EXPECT_EQ(gaa()->text() + today(), u"15:00650 ct 06:30 "_s);  // typed: kept
    gaa()->setText(u"16:30"_s);  // a typed change clears the figures
    QTest::keyClick(komme(), Qt::Key_Return, Qt::ShiftModifier);  // with a modifier: nothing
    QTest::keyClick(komme(), Qt::Key_Tab);  // leaving another field: nothing either
    EXPECT_EQ(today(), QString());
    QTest::keyClick(gaa(), Qt::Key_Return);
    EXPECT_EQ(text("Idag_CT"), u"800 ct "_s);
    gaa()->setText(u"16:00"_s);
    QTest::keyClick(gaa(), Qt::Key_Tab);  // leaving the field by Tab counts too
    EXPECT_EQ(text("Idag_CT"), u"750 ct "_s);
    gaa()->setText(u"00:30"_s);
    ASSERT_FALSE(ends(&Flex_Form::Gaa_Text_LostFocus));
    EXPECT_EQ(today(), QString());
    gaa()->clear();
    tick();
    EXPECT_EQ(gaa()->text(), u"16:00"_s);
    QTest::keyClick(gaa(), Qt::Key_F4, Qt::AltModifier | Qt::ShiftModifier);  // not Alt+F4
    // The key handed straight to the window's filter: the end must not unwind through Qt.
    QKeyEvent altF4(QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
    EXPECT_THROW(static_cast<QObject&>(form()).eventFilter(gaa(), &altF4), ProgramEnded);
    EXPECT_EQ(platform.endedWith, 0);
    // Room in px: twips / 15; a field's less borders and indent, the button's less 8 px of frame.
    for (const char* name : {"Idag_CT", "Idag_TM", "Periode_CT", "Periode_Diff", "Total_CT"}) {
        const int room = QByteArray(name).endsWith("_CT") ? 61 : 53;
        auto* field = child<QLabel>(name);
        for (const QString& t :
             {u"-2147483648 ct "_s, u"-21474836:28 "_s, u"-1110 ct "_s, text("Periode_Diff")}) {
            showValue(field, t);
            EXPECT_LE(QFontMetricsF(field->font()).horizontalAdvance(t), room) << name;
        }
        showValue(field, u"5 ct "_s);  // fits: back at the field's own size
        EXPECT_DOUBLE_EQ(field->font().pointSizeF(), 9.75) << name;
    }
    const std::tuple<const char*, int, double> captions[] = {
        {"Komme_Label", 129, 9.75}, {"Gaa_Label", 129, 9.75},        {"Idag_Label", 129, 9.75},
        {"Idag_TM_Label", 97, 0},   {"Periode_Label", 129, 9.75},    {"Periode_Diff_Label", 97, 0},
        {"Total_Label", 129, 9.75}, {"Registrer_Command", 153, 8.25}};
    for (const auto& [name, room, points] : captions) {  // points 0: whatever fits
        auto* w = child<QWidget>(name);
        EXPECT_LE(w->fontMetrics().horizontalAdvance(text(name).remove(u'&')), room) << name;
        EXPECT_TRUE(points == 0 || w->font().pointSizeF() == points) << name;
    }
    QStringList names;
    for (const char* n : {"Komme_Text", "Gaa_Text", "Idag_CT", "Idag_TM", "Periode_CT",
                          "Periode_Diff", "Total_CT"}) {
        names << QAccessible::queryAccessibleInterface(child<QWidget>(n))->text(QAccessible::Name);
    }
    names << child<QLabel>("Komme_Label")->buddy()->objectName()
          << child<QLabel>("Gaa_Label")->buddy()->objectName();
    EXPECT_EQ(names.join(u'|'),
              u"Komme tid|Gå tid|Tid idag|Timer/minutter|Tid denne periode|+/- "
              u"for periode|Flex total|Komme_Text|Gaa_Text"_s);
}

}  // namespace
}  // namespace horalog::testing
