#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "adjust/adjust.h"
#include "journal/file_figures.h"
#include "journal/file_messages.h"
#include "journal/file_session.h"
#include "journal/journal_file.h"
#include "journal/record.h"
#include "platform/platform.h"
#include "registry/registry.h"
#include "settings/file_location.h"
#include "settings/settings.h"
#include "text/number_text.h"
#include "timekeeping/away.h"
#include "timekeeping/balance.h"
#include "timekeeping/date_pattern.h"
#include "timekeeping/day_messages.h"
#include "timekeeping/open_day.h"
#include "timekeeping/today.h"
#include "timekeeping/working_day.h"

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace horalog {

class Tray_Data;

// A refusal as the user reads it: the reason, then that nothing was changed.
QString nothingChanged(const QString& refusal);

// The one working window. It owns all working state and every handler; a handler reads its
// widgets, asks the rules, shows what they return through the platform and writes its widgets.
class Flex_Form : public QMainWindow {
    Q_OBJECT

public:
    using RegistryFactory = std::function<std::unique_ptr<CRegistry>()>;

    Flex_Form(Platform& platform, RegistryFactory makeRegistry, QWidget* parent = nullptr);
    ~Flex_Form() override;

    // Runs a handler; an error that nobody handled shows its message and ends the program.
    void run(void (Flex_Form::*handler)());
    void start() { run(&Flex_Form::Form_Load); }

    void Form_Load();
    void Form_KeyDown(const QKeyEvent& key);
    void Form_Resize();
    void Komme_Text_GotFocus();
    void Gaa_Text_GotFocus();
    void Gaa_Text_Change();
    void Gaa_Text_LostFocus();
    void Registrer_Command_Click();
    void Udregn_Timer_Timer();
    void Afspadsering_Menu_Click();
    void Oversigt_Menu_Click();
    void Nulstil_Menu_Click();
    void Om_Menu_Click();
    void Afslut_Menu_Click();
    void Arbejds_Menu_Click();
    void Frokost_Menu_Click();
    void Filnavn_Menu_Click();
    void Tray_Click();

    void Laes_Registrering();
    // The day's worked time once its record is on disk, and whether the figures had to be read
    // again from the file first; nothing when the day could not be counted (figures beyond their
    // columns), and then nothing was written.
    struct RegisteredDay {
        std::int16_t worked = 0;
        bool reread = false;
    };
    std::optional<RegisteredDay> Gem_Registrering();
    // Kept when the program ends with a day open: the next start's question about a forgotten
    // departure proposes it.
    void rememberLastActive();
    QString SplitFilename(const QString& filename, FilenamePart part) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void wireEvents();

    void Flyt_Opsaetninger();
    void Laes_Opsaetninger();
    StoredArrival storedArrival();
    StoredArrival forgetClosedArrival(const StoredArrival& stored);
    void claimExistingFile();
    bool keepOtherDaysArrival(const StoredArrival& stored);
    void askAboutANewDate();
    void dropOpenDay();
    std::optional<ForgottenDay> askForgottenDeparture(const StoredArrival& stored,
                                                      const QStringList& lastActive,
                                                      std::optional<std::int32_t> arrivalOffset);
    void recordForgottenDay(const StoredArrival& stored, const ForgottenDay& day);
    QStringList lastActive();
    void noteTick(const QDateTime& now);
    void desktopEvent(DesktopEvent event);
    QString lastActiveText(const QDateTime& at);
    void noticeHoursReached(const QDateTime& now);
    void useSettings(const WorkSettings& values);
    std::optional<HoursAnswer> askHours(const InputRequest& request, const QString& what,
                                        bool ignoreBelowZero, QString* typed = nullptr);
    void showWarnings(const QStringList& warnings);
    void showWindowCentred();
    void proposeArrival();
    void restoreArrival(const StoredArrival& stored);
    void showArrival(const TypedTime& arrival);

    bool book(const std::function<Result<Adjustment>(const Figures&)>& adjust);
    std::optional<RegisteredDay> appendDay(const QString& date, std::int32_t kommeCT,
                                           std::int32_t gaaCT, std::int32_t shift);
    AppendOutcome append(const BuildRecords& build, LastLineGap gap = LastLineGap::None);
    AppendOutcome told(AppendOutcome done, LastLineGap gap);
    AppendOptions appendOptions();
    bool followMovedFile();
    void registerArrival();
    void registerDeparture(bool dayClosedElsewhere);
    void forgetSavedDay();

    // Another copy of the program (a laptop over the same home) may have changed the shared store
    // or file since this window last looked; each command and each tick takes that over first.
    using Followed = OpenDay::Followed;
    Followed followSharedState();
    bool storeMayHaveMoved();
    void followBeforeCommand();
    void followSettings(const StoredSettings& stored);
    Followed followOpenDay(const QString& moedt);
    void followFile();
    void takeOverArrival(bool wasOpen);
    void closeOpenDayHere();
    bool rereadFigures();
    bool fileClosesArrival(const QString& filnavn, const StoredArrival& stored,
                           std::optional<qint64> sizeAtArrival);
    std::optional<TypedTime> typedTime(const QString& text);
    void fileNameNotice(NoticeWording wording);
    void setFilnavn(const QString& path);

    void Opdater_Visning(const QString& text);
    void showTodaySoFar();
    void clearToday();
    void restartTimer();
    void showBalances();
    void setCaption(const QString& caption);
    void setKommeColour(bool registered);
    void setGaaText(const QString& text);

    CRegistry& reg();
    SettingsStore store() { return SettingsStore(reg()); }
    void writeSetting(Setting setting, const QString& value);
    bool storeSetting(Setting setting, const QString& value);
    StoreWrite trySetting(Setting setting, const QString& value);
    QString dateTimeText();
    QString currentDateText();
    QString nowText();
    LunchRule lunch() const;
    const Figures& figures() const { return file_.figures(); }

    [[noreturn]] void fileError(const QString& firstLine, const QString& error, LastLineGap gap);
    void refuse(const QString& text);
    void warn(const QString& text);
    [[noreturn]] void unhandledError(const QString& heading, const QString& description);

    Platform& platform_;
    RegistryFactory makeRegistry_;

    // The working state. The file's figures are the file session's: Periode_Dage, Periode_Sum and
    // Flex_Total are their names here.
    FileSession file_;
    std::int16_t Periode_Dage() const { return figures().dage; }
    std::int32_t Periode_Sum() const { return figures().sum; }
    std::int32_t Flex_Total() const { return figures().total; }
    bool Gaa_Auto = false;
    float Arbejdstimer = 0.0f;
    std::int16_t Dato_Laengde = 0;
    QString Filnavn;  // the file session's path, set with it by setFilnavn
    bool Frokost_Aktiv = false;
    std::int16_t FrokostVarighed = 0;
    std::int16_t FrokostArbejdstid = 0;
    std::int32_t Gaa_CT = 0;
    // Komme_CT and Komme_Registreret are the open day's (day_).
    std::int32_t Komme_CT() const { return day_.kommeCT(); }
    bool Komme_Registreret() const { return day_.isOpen(); }
    std::unique_ptr<CRegistry> Reg;

    // The arrival, its date and UTC offset, the stored text as this copy knows it, the date "Ja"
    // confirmed, whether the question stands, and the stretches away the desktop told of.
    OpenDay day_;
    bool waitingForLock_ = false;  // no tick runs while a command waits for the file's lock
    // A time off typed but not booked (the file was locked): the next time's default answers.
    std::optional<std::pair<QString, QString>> unbookedTimeOff_;
    // The store's stamp at the last tick, and whether it stood still over two ticks: a change
    // within its time stamp's granularity after a read is caught by the read at the next tick.
    std::string storeStamp_;
    bool storeSettled_ = false;
    QDateTime lastTick_;
    // What today's figures were last shown for by a tick: a tick in the same minute, with the same
    // arrival and rules, would show the same texts, so it leaves them. Any other showing clears it.
    struct TickShown {
        qint64 minute = 0;
        std::int32_t komme = 0;
        LunchRule lunch;
        std::int16_t dateLength = 0;
        bool operator==(const TickShown&) const = default;
    };
    std::optional<TickShown> tickShown_;
    QDateTime sleptAt_;      // the last tick before the machine last slept
    QDate hoursNoticeDate_;  // the tray told that the day's hours are reached, once a day

    Tray_Data* Tray = nullptr;
    QPointer<QDialog> oversigt_;  // one overview at a time

    QLabel* Komme_Label = nullptr;
    QLineEdit* Komme_Text = nullptr;
    QLabel* Gaa_Label = nullptr;
    QLineEdit* Gaa_Text = nullptr;
    QLabel* Idag_Label = nullptr;
    QLabel* Idag_CT = nullptr;
    QLabel* Idag_TM_Label = nullptr;
    QLabel* Idag_TM = nullptr;
    QLabel* Periode_Label = nullptr;
    QLabel* Periode_CT = nullptr;
    QLabel* Periode_Diff_Label = nullptr;
    QLabel* Periode_Diff = nullptr;
    QLabel* Total_Label = nullptr;
    QLabel* Total_CT = nullptr;
    QLabel* Status_Label = nullptr;
    QPushButton* Registrer_Command = nullptr;
    QTimer* Udregn_Timer = nullptr;

    QMenu* Func_Menu = nullptr;
    QAction* Afspadsering_Menu = nullptr;
    QAction* Oversigt_Menu = nullptr;
    QAction* Nulstil_Menu = nullptr;
    QAction* Om_Menu = nullptr;
    QAction* Afslut_Menu = nullptr;
    QMenu* Opsaet_Menu = nullptr;
    QAction* Arbejds_Menu = nullptr;
    QAction* Frokost_Menu = nullptr;
    QAction* Filnavn_Menu = nullptr;
};

}  // namespace horalog
