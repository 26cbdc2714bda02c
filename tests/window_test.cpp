// The working window driven as a user drives it: start-up, a whole day, the keys, refusals and
// failures, each seen in the widgets, the dialogs, the file and the store.
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
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

// The file is where a first start proposes it: C:\Horalog.Dat on Windows.
class WindowTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        file = defaultRegistrationFile();
        QFile::remove(file);
    }
};

TEST_F(WindowTest, FirstStartCreatesTheFileWithTheBalanceGiven) {
    platform.answer(QStringLiteral("OK|>150"));
    ASSERT_TRUE(startForm());
    EXPECT_TRUE(platform.shown.at(0).text.endsWith(QStringLiteral("'Opsætninger - Filnavn'")));
    EXPECT_EQ(platform.shown.at(1).title, QStringLiteral("Opstart Horalog"));
    EXPECT_TRUE(!platform.shown[0].windowVisible && platform.shown[1].windowVisible);
    EXPECT_EQ(readBytes(file), kHeader + "05-12-2026;0;-;-;-;0;150\r\n");
    EXPECT_EQ(userValue("Filnavn"), file.toStdString());
    EXPECT_EQ(text("Total_CT") + komme()->text(), QStringLiteral("150 ct 07:00"));  // up an hour
    // Centred on the offscreen screen, 800 x 800: the window is 394 px wide (5910 twips) and 194
    // px high (2910 twips) under its menu bar, so 400 - 197 from the left, 400 - 97 - half the
    // menu bar from the top.
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 800, 800));
    EXPECT_EQ(form().pos(), QPoint(203, 303 - form().menuBar()->height() / 2));
}

// Two first starts at once: the copy whose balance was typed second once went on with the other
// copy's balance without a word.
TEST_F(WindowTest, AFileMadeByAnotherFirstStartIsTold) {
    platform.unscripted = [this](const ShownDialog& d) {
        if (d.kind == u'>') {  // the other copy is answered first
            EXPECT_TRUE(createRegistrationFile(file, QStringLiteral("05-12-2026"), 200).ok());
            return QStringLiteral(">100");
        }
        return QStringLiteral("OK");
    };
    ASSERT_TRUE(startForm());
    EXPECT_EQ(lastDialog(), QStringLiteral("Registreringsfilen blev oprettet af et andet Horalog "
                                           "med saldoen 200 ct."));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("200 ct "));
}

// An administrator's key: its values are the user's, and without a file name the notice names
// the setting otherwise.
TEST_F(WindowTest, FirstStartTakesTheAdministratorsValues) {
    seedMachine("\"Arbejdstimer\"=\"7.5\"\n");
    platform.answer(QStringLiteral("OK|>0"));
    ASSERT_TRUE(startForm());
    EXPECT_TRUE(platform.shown.at(0).text.endsWith(QStringLiteral("Opsætninger/Filnavn")));
    EXPECT_EQ(userValue("Arbejdstimer").value_or("") + userValue("Filnavn").value_or(""),
              "7.5" + file.toStdString());
}

// A machine-wide file name gives each user a file of their own, and a file that holds records is
// never taken over silently: user 2 once started on user 1's balance and booked days onto it.
TEST_F(WindowTest, AMachineWideFileNameIsEachUsersOwn) {
    const QString user = userLoginName(), sep = QString(pathSeparator());
    const struct {
        const char* stored;
        QString expected;
    } names[] = {{"", QStringLiteral("Horalog-") + user + QStringLiteral(".Dat")},
                 {"$USER.dat", user + ".dat"},
                 {"%username%.dat", user + ".dat"}};
    for (const auto& n : names) {
        fresh();
        const QString shared = inDir("fælles");
        QDir().mkpath(shared);
        seedMachine("\"Filnavn\"=\"" +
                    regText(*n.stored ? shared + sep + QLatin1String(n.stored) : shared) + "\"\n");
        platform.answer(QStringLiteral(">0"));
        ASSERT_TRUE(startForm());
        EXPECT_TRUE(QFile::exists(shared + sep + n.expected)) << n.stored;
        EXPECT_EQ(QString::fromStdString(userValue("Filnavn").value_or("")),
                  shared + sep + n.expected);
    }
    fresh();  // another user's file named as it stands: "Nej" goes to the user's own file
    const QString other = inDir("user1.dat");
    writeBytes(other, kThreeDays);
    seedMachine("\"Filnavn\"=\"" + regText(other) + "\"\n");
    platform.answer(QStringLiteral("Nej|>40"));
    ASSERT_TRUE(startForm());
    EXPECT_EQ(platform.shown.at(0).text,
              QStringLiteral("Registreringsfilen ") + other +
                  QStringLiteral(" findes allerede og indeholder registreringer (flex total 125 "
                                 "ct).\r\n\r\nSkal Horalog fortsætte i den fil?\r\n(Ved 'Nej' "
                                 "bruges ") +
                  file + u')');
    EXPECT_EQ(readBytes(other), kThreeDays);
    EXPECT_EQ(userValue("Filnavn"), file.toStdString());
    EXPECT_EQ(text("Total_CT"), QStringLiteral("40 ct "));
    // The user's own file, found without settings: "Nej" starts a new period at its end.
    window.reset();
    store->forget(kHKeyCurrentUser);
    platform.answer(QStringLiteral("OK|Nej|>-20"));
    ASSERT_TRUE(startForm());
    EXPECT_TRUE(readBytes(file).endsWith("05-12-2026;0;-;-;-;0;40\r\n" + kHeader +
                                         "05-12-2026;0;-;-;-;0;-20\r\n"));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("-20 ct "));
}

#ifndef _WIN32
// The user's own file found without settings, "Nej" to its records, and while the balance is
// asked a FIFO or a dangling link put at its place: said once. Each refusal was once said again
// and again, the start never ending.
TEST_F(WindowTest, ANewPeriodInAFileThatIsNoFileIsSaidOnce) {
    const QString unusable = QStringLiteral(
        " kan ikke bruges: Stien er ikke en almindelig fil "
        "(en mappe, en FIFO eller en enhed).");
    const QString gone = QStringLiteral(
        " findes ikke længere. Den kan være flyttet eller slettet "
        "af et andet program; vælg den under Opsætninger/Filnavn.");
    for (const bool fifo : {true, false}) {
        fresh();
        writeBytes(file, kThreeDays);
        int refusals = 0;
        platform.unscripted = [&](const ShownDialog& d) {
            if (d.kind == u'>') {
                QFile::remove(file);
                EXPECT_TRUE(fifo ? ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0
                                 : QFile::link(inDir("nowhere"), file));
                return QStringLiteral(">-20");
            }
            if (++refusals > 1) {
                throw ProgramEnded{-1};
            }
            return QStringLiteral("OK");
        };
        platform.answer(QStringLiteral("OK|Nej"));
        ASSERT_TRUE(startForm()) << fifo;
        EXPECT_EQ(lastDialog(), QStringLiteral("Registreringsfilen ") + file +
                                    (fifo ? unusable : gone) + kUnchanged);
        EXPECT_EQ(text("Total_CT"), QStringLiteral("0 ct "));
    }
}
#endif

// Missing values are written back with their defaults.
TEST_F(WindowTest, MissingSettingsAreWrittenBack) {
    writeBytes(file, "x;0;-;-;-;0;0\r\n");
    store->seed(kHKeyCurrentUser,
                "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"FrokostVarighed\"="
                "\"31.5\"\n");
    platform.answer(QStringLiteral("OK"));
    ASSERT_TRUE(startForm());
    EXPECT_TRUE(lastDialog().endsWith(QStringLiteral("Opsætninger/Filnavn")));
    EXPECT_EQ(userValue("Filnavn").value_or("") + userValue("Arbejdstimer").value_or("") +
                  userValue("FrokostVarighed").value_or(""),  // read as 32, not rewritten
              file.toStdString() + "7.431.5");
}

TEST_F(WindowTest, ADateFormatItCannotReadEndsTheProgram) {
    platform.datePattern = QStringLiteral("MM/dd/yyyy");
    platform.answer(QStringLiteral("OK"));
    EXPECT_FALSE(startForm());
    EXPECT_EQ(platform.endedWith, 1);
#ifdef _WIN32
    const QString where = QStringLiteral("Rettes via kontrol panelet og regionale indstillinger.");
#else
    const QString where = QStringLiteral(
        "Rettes ved at sætte LC_TIME til en dansk sprogindstilling, f.eks. LC_TIME=da_DK.UTF-8.");
#endif
    EXPECT_EQ(lastDialog(), QStringLiteral("Ulovlig dato-format: MM/dd/yyyy\r\nDer skal anvendes "
                                           "dansk notation med dagen først og årstallet sidst.\r\n"
                                           "(dd-mm-yy eller dd-mm-yyyy)\r\n") +
                                where);
    EXPECT_FALSE(store->userKeyExists());
}

TEST_F(WindowTest, AFileItCannotMakeEndsTheProgram) {
    file = inDir("mangler/Horalog.Dat");
    store->seed(kHKeyCurrentUser, userStore(file, " "));
    platform.answer(QStringLiteral(">0|OK"));
    EXPECT_FALSE(startForm());
    EXPECT_EQ(lastDialog(), fatalFileMessage("Fejl under oprettelse af filen: ", file,
                                             systemText(ENOENT), false));
}

TEST_F(WindowTest, FullDay) {
    startExistingUser("h\r\nx;0;-;-;-;0;0\r\n");
    arrive("08:00");
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Komme tidspunkt 08:00 (800 ct) registreret"));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");
    EXPECT_EQ(komme()->palette().color(QPalette::Base), QColor(0, 255, 0));
    // Another arrival replaces the registered one only when the user says so.
    for (const char* step : {"07:30|Ja|07:30", "08:00|Ja|08:00", "07:00|Nej|08:00"}) {
        const QStringList s = QString::fromLatin1(step).split(u'|');
        komme()->setText(s[0]);
        platform.answer(s[1]);
        click();
        EXPECT_EQ(userValue("Moedt"), "05-12-2026 " + s[2].toStdString());
    }
    EXPECT_TRUE(lastDialog().startsWith(QStringLiteral("Skal det allerede registreret komme")));
    at(16, 30);
    tick();
    EXPECT_EQ(text("Status_Label") + gaa()->selectedText() + u'|' + today() + form().windowTitle(),
              QStringLiteral("16:30|800 ct 08:00 Horalogs registrering - 800 ct "));
    click();
    EXPECT_EQ(readBytes(file),
              QByteArray("h\r\nx;0;-;-;-;0;0\r\n05-12-2026;1;08:00;16:30;800;800;60;\r\n"));
    EXPECT_EQ(userValue("Moedt"), " ");
    EXPECT_EQ(
        text("Status_Label") + komme()->text() + gaa()->text() + today() + u'|' +
            form().windowTitle() + u'|' + text("Periode_Diff") + text("Total_CT"),
        QStringLiteral("Arbejdstid idag: 08:00  (800 ct)|Horalogs registrering|60 ct 60 ct "));
    EXPECT_EQ(komme()->palette().color(QPalette::Base), QColor(255, 255, 255));
    tick();  // the closed day does not run on
    EXPECT_EQ(gaa()->text() + today(), QString());
}

// In a dark theme the arrival's text stayed light on the window's white or green: the contrast
// between the field's lightest and darkest pixel must be at least 4.5 in both states.
TEST_F(WindowTest, ArrivalReadableInADarkTheme) {
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(238, 238, 238));
    QApplication::setPalette(dark);
    const auto contrast = [this] {
        komme()->deselect();
        const QImage field = komme()->grab().toImage().copy(komme()->rect().adjusted(4, 4, -4, -4));
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        double lightest = 0, darkest = 1;
        for (int y = 0; y < field.height(); ++y) {
            for (int x = 0; x < field.width(); ++x) {
                const QColor c = field.pixelColor(x, y);
                const double l = 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) +
                                 0.0722 * linear(c.blueF());
                lightest = std::max(lightest, l);
                darkest = std::min(darkest, l);
            }
        }
        return (lightest + 0.05) / (darkest + 0.05);
    };
    startExistingUser("h\r\nx;0;-;-;-;0;0\r\n");
    arrive("08:00");
    const double open = contrast();
    leave("16:30");
    komme()->setText(QStringLiteral("08:00"));
    const double closed = contrast();
    QApplication::setPalette(light);
    EXPECT_GE(open, 4.5);
    EXPECT_GE(closed, 4.5);
}

// Another day's arrival is offered, and "Nej" leaves no day open, even when the clock ticked
// while the question stood; an unreadable one opens none. The store keeps it until the next
// arrival, unless the day is skipped.
TEST_F(WindowTest, StoredArrivalAtStart) {
    const struct {
        const char* moedt;
        const char* answer;  // to the question, when there is one
        const char* shown;   // arrival field, then today's figure
        const char* kept;
    } cases[] = {{"04-12-2026 08:15", "Ja", "08:15175 ct ", "04-12-2026 08:15"},
                 {"04-12-2026 08:15", "Nej|Annuller", "08:00", " "},    // its departure skipped
                 {"05-12-2026 9e99", "", "08:00", "05-12-2026 9e99"}};  // no time of day
    for (const auto& c : cases) {
        fresh();
        at(10, 0);
        platform.uptimeMs = 2 * 3600 * 1000;
        platform.answer(QLatin1String(c.answer));
        platform.whileMessageShown = [this] {
            auto* timer = form().findChild<QTimer*>(QStringLiteral("Udregn_Timer"));
            if (timer->isActive()) {
                QTest::qWait(timer->interval() + 200);
            }
        };
        startExistingUser("x;0;-;-;-;0;0\r\n", c.moedt);
        tick();
        EXPECT_EQ(komme()->text() + text("Idag_CT"), QLatin1String(c.shown)) << c.moedt;
        EXPECT_EQ(gaa()->text().isEmpty(), text("Idag_CT").isEmpty());
        EXPECT_EQ(userValue("Moedt"), c.kept);
    }
}

// A departure the file cannot hold or that makes no working day is refused, and the day stays
// open: one before the arrival on its own date (typed, or a clock set back) and one more than a
// day after it. A typed 25:00 still closes the day at 01:00 the next morning.
TEST_F(WindowTest, ADepartureThatMakesNoDayIsRefused) {
    const QByteArray none = "x;0;-;-;-;0;0\r\n";
    startExistingUser(none, "05-12-2026 08:00");
    const struct {
        const char* typed;
        const char* refusal;
    } cases[] = {
        {"99999999999", "Tiden \"99999999999\" kan ikke anvendes, fordi tallet er for stort."},
        {"9999:00", "Gå-tiden 9999:00 ligger mere end et døgn efter komme-tiden 08:00."},
        {"9999", "Gå-tiden 100:39 ligger mere end et døgn efter komme-tiden 08:00."},
        {"06:00", "Gå-tiden 06:00 ligger før komme-tiden 08:00."},
        {"", "Gå-tiden 05:00 ligger før komme-tiden 08:00."},  // the clock set back to 05:00
    };
    for (const auto& c : cases) {
        platform.answer(QStringLiteral("OK"));
        if (*c.typed == '\0') {
            at(5, 0);
            gaa()->clear();
            tick();
            click();
        } else {
            leave(c.typed);
        }
        EXPECT_EQ(lastDialog(), QString::fromUtf8(c.refusal) + kUnchanged);
        EXPECT_EQ(platform.shown.back().icon, MessageIcon::Exclamation);
    }
    EXPECT_EQ(readBytes(file), none);
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");
    EXPECT_EQ(komme()->palette().color(QPalette::Base), QColor(0, 255, 0));
    leave("25:00");
    EXPECT_EQ(readBytes(file), none + "05-12-2026;1;08:00;25:00;1650;1650;910;\r\n");
}

// The file deleted under the running window: said, not made anew without its header, and the day
// stays open.
TEST_F(WindowTest, AFileDeletedUnderTheWindowIsSaid) {
    startExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    QFile::remove(file);
    platform.answer(QStringLiteral("OK"));
    leave("16:00");
    EXPECT_EQ(lastDialog(), QStringLiteral("Registreringsfilen ") + file +
                                QStringLiteral(" findes ikke længere. Den kan være flyttet eller "
                                               "slettet af et andet program; vælg den under "
                                               "Opsætninger/Filnavn.") +
                                kUnchanged);
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");
    EXPECT_EQ(gaa()->text() + u'|' + komme()->text(), QStringLiteral("16:00|08:00"));
}

// A store that can no longer be written (its file turned into a folder) ends the program with
// the registry error's number and the reason, not a crash.
TEST_F(WindowTest, StoreThatCannotBeWrittenEndsWithTheRegistryError) {
#ifdef _WIN32
    GTEST_SKIP() << "the store is Windows' own registry there";
#else
    startExistingUser("x;0;-;-;-;0;0\r\n");
    const QString storeFile = store->fileOf(kHKeyCurrentUser);
    ASSERT_TRUE(QFile::remove(storeFile) && QDir().mkpath(storeFile));
    komme()->setText(QStringLiteral("08:00"));
    platform.answer(QStringLiteral("OK"));
    EXPECT_TRUE(ends(&Flex_Form::Registrer_Command_Click));
    EXPECT_EQ(platform.endedWith, 1);
    const QString heading = QStringLiteral("Run-time error '-2147221502 (80040002)':\r\n\r\n");
    EXPECT_EQ(platform.shown.back().title + u'|' + lastDialog().left(heading.size()),
              QStringLiteral("Horalog|") + heading);
    EXPECT_GT(lastDialog().size(), heading.size());  // and the reason
    EXPECT_EQ(platform.shown.back().icon, MessageIcon::Critical);
#endif
}

TEST_F(WindowTest, TheDepartureFieldFromTheKeyboard) {
    startExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    QApplication::setActiveWindow(&form());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    komme()->clear();
    gaa()->setText(QStringLiteral("12:00"));
    QString seen;  // the focus, and what a field entered selects (an empty arrival takes the time)
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen += QApplication::focusWidget()->objectName() + u':' + komme()->selectedText() +
                gaa()->selectedText() + u' ';
    }
    EXPECT_EQ(seen, QStringLiteral("Registrer_Command: Komme_Text:08:00 Gaa_Text:12:00 "));
    QTest::keyClick(gaa(), Qt::Key_K, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), komme());
    gaa()->setText(QStringLiteral("15:00"));
    EXPECT_EQ(today(), QString());  // a typed change clears the figures
    at(16, 0);
    tick();
    EXPECT_EQ(gaa()->text() + today(), QStringLiteral("15:00650 ct 06:30 "));  // typed: kept
    gaa()->setText(QStringLiteral("16:30"));
    QTest::keyClick(komme(), Qt::Key_Return, Qt::ShiftModifier);  // with a modifier: nothing
    QTest::keyClick(komme(), Qt::Key_Tab);  // leaving another field: nothing either
    EXPECT_EQ(today(), QString());
    QTest::keyClick(gaa(), Qt::Key_Return);
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("800 ct "));
    gaa()->setText(QStringLiteral("16:00"));
    QTest::keyClick(gaa(), Qt::Key_Tab);  // leaving the field by Tab counts too
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("750 ct "));
    gaa()->setText(QStringLiteral("00:30"));
    ASSERT_FALSE(ends(&Flex_Form::Gaa_Text_LostFocus));
    EXPECT_EQ(today(), QString());
    gaa()->clear();
    tick();
    EXPECT_EQ(gaa()->text(), QStringLiteral("16:00"));
    QTest::keyClick(gaa(), Qt::Key_F4, Qt::AltModifier | Qt::ShiftModifier);  // not Alt+F4
    // The key handed straight to the window's filter: the end must not unwind through Qt.
    QKeyEvent altF4(QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
    EXPECT_THROW(static_cast<QObject&>(form()).eventFilter(gaa(), &altF4), ProgramEnded);
    EXPECT_EQ(platform.endedWith, 0);
}

// Without a tray the window stays minimised; a panel started later is used at the next
// minimising, and the window comes back when the click on its icon is let go.
TEST_F(WindowTest, MinimisingUsesATrayWhenThereIsOne) {
    startExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    for (const bool tray : {false, true}) {
        platform.tray = tray;
        form().showNormal();
        form().showMinimized();
        QApplication::processEvents();
        EXPECT_EQ(form().isVisible(), !tray);
    }
    auto* icon = form().findChild<QSystemTrayIcon*>(QStringLiteral("Tray_Icon"));
    ASSERT_TRUE(icon && icon->isVisible());
    EXPECT_EQ(icon->toolTip(), form().windowTitle());
    QWidget pad;
    pad.show();
    QTest::mousePress(&pad, Qt::LeftButton);
    Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
    QTest::qWait(100);
    EXPECT_FALSE(form().isVisible());
    QTest::mouseRelease(&pad, Qt::LeftButton);
    QElapsedTimer waited;
    for (waited.start(); !form().isVisible() && waited.elapsed() < 2000;) {
        QTest::qWait(20);
    }
    EXPECT_TRUE(form().isVisible() && !form().isMinimized() && !icon->isVisible());
}

// Every figure shows whole, sign first (a cut-off minus once read as a surplus), every caption
// is read whole, and each field is named by its caption for a screen reader.
TEST_F(WindowTest, EveryTextIsReadWhole) {
    startExistingUser("x;32767;-;-;-;-2147483648;-2147483648\r\n");
    EXPECT_EQ(text("Total_CT"), QStringLiteral("-2147483648 ct "));
    // The room in pixels: a field's width in twips / 15, less its 1 px border on either side
    // and its 2 px indent; a caption's whole width; the button's less 8 px of frame and margins.
    const struct {
        const char* name;
        int room;
    } values[] = {{"Idag_CT", 61},
                  {"Idag_TM", 53},
                  {"Periode_CT", 61},
                  {"Periode_Diff", 53},
                  {"Total_CT", 61}};
    for (const auto& v : values) {
        auto* field = child<QLabel>(v.name);
        for (const QString& t : {QStringLiteral("-2147483648 ct "), QStringLiteral("-21474836:28 "),
                                 QStringLiteral("-1110 ct "), text("Periode_Diff")}) {
            showValue(field, t);
            EXPECT_LE(QFontMetricsF(field->font()).horizontalAdvance(t), v.room) << v.name;
        }
        showValue(field, QStringLiteral("5 ct "));  // fits: back at the field's own size
        EXPECT_DOUBLE_EQ(field->font().pointSizeF(), 9.75) << v.name;
    }
    const struct {
        const char* name;
        int room;
        double points;  // 0: whatever makes it fit
    } captions[] = {{"Komme_Label", 129, 9.75},   {"Gaa_Label", 129, 9.75},
                    {"Idag_Label", 129, 9.75},    {"Idag_TM_Label", 97, 0},
                    {"Periode_Label", 129, 9.75}, {"Periode_Diff_Label", 97, 0},
                    {"Total_Label", 129, 9.75},   {"Registrer_Command", 153, 8.25}};
    for (const auto& c : captions) {
        auto* w = child<QWidget>(c.name);
        auto* button = qobject_cast<QPushButton*>(w);
        const QString shown = (button ? button->text() : text(c.name)).remove(u'&');
        EXPECT_LE(QFontMetrics(w->font()).horizontalAdvance(shown), c.room) << c.name;
        EXPECT_TRUE(c.points == 0 || w->font().pointSizeF() == c.points) << c.name;
    }
    QStringList names;
    for (const char* field : {"Komme_Text", "Gaa_Text", "Idag_CT", "Idag_TM", "Periode_CT",
                              "Periode_Diff", "Total_CT"}) {
        names << QAccessible::queryAccessibleInterface(child<QWidget>(field))
                     ->text(QAccessible::Name);
    }
    names << child<QLabel>("Komme_Label")->buddy()->objectName()
          << child<QLabel>("Gaa_Label")->buddy()->objectName();
    EXPECT_EQ(names.join(u'|'),
              QStringLiteral("Komme tid|Gå tid|Tid idag|Timer/minutter|Tid denne "
                             "periode|+/- for periode|Flex total|Komme_Text|Gaa_Text"));
}

}  // namespace
}  // namespace horalog::testing
