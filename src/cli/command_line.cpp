#include "cli/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "chart/chart_image.h"
#include "journal/file_figures.h"
#include "journal/journal_file.h"
#include "journal/limits.h"
#include "journal/overview.h"
#include "journal/overview_messages.h"
#include "journal/report.h"
#include "platform/clock.h"
#include "settings/settings.h"
#include "text/time_text.h"
#include "timekeeping/date_pattern.h"
#include "timekeeping/open_day.h"
#include "timekeeping/status_line.h"
#include "timekeeping/today.h"
#include "timekeeping/working_day.h"
#include "version.h"

namespace horalog {

namespace {

int fail(const QString& text, int status) {
    QTextStream(stderr) << text << Qt::endl;
    return status;
}

// The settings and the stored arrival, read only, when the store names a registration file
// that exists; otherwise nothing, and standard error says why.
std::optional<StoredSettings> settingsWithFile(QString& arrival) {
    CRegistry reg;
    SettingsStore store(reg);
    if (!store.userKeyExists()) {
        fail(QStringLiteral("Horalog er ikke sat op endnu: start programmet én gang."), 1);
        return std::nullopt;
    }
    const StoredSettings settings = store.readUserKey();
    arrival = settings.moedt.value_or(QString());
    if (settings.filnavn && registrationPathKind(*settings.filnavn) == PathKind::NotRegular) {
        fail(*settings.filnavn + QStringLiteral(": ") + notRegularText(), 1);
        return std::nullopt;
    }
    if (!settings.filnavn || !registrationFileExists(*settings.filnavn)) {
        fail(QStringLiteral("Der er ingen registreringsfil endnu: start programmet én gang."), 1);
        return std::nullopt;
    }
    return settings;
}

// The status line from the store and the file as they are; nothing is written.
int status(Clock& platform) {
    QString stored;
    const auto settings = settingsWithFile(stored);
    if (!settings) {
        return 1;
    }
    const FileFigures file = readFileFigures(*settings->filnavn);
    if (!file.ok()) {
        return fail(*settings->filnavn + QStringLiteral(": ") + file.error().text, 1);
    }
    // A day saved by a copy that ended before it could forget the arrival is no open day.
    if (fileClosesArrival(*settings->filnavn, StoredArrival(stored), platform.shortDatePattern(),
                          settings->moedtFilLaengde)) {
        stored = kNoArrival;
    }
    const WorkSettings& w = settings->values;
    const auto day = openDayStatus(stored, platform.currentDateTime(), platform.shortDatePattern(),
                                   w.arbejdstimer, {true, w.frokostVarighed, w.frokostArbejdstid});
    QTextStream(stdout) << statusLine(day, file->figures.value_or(Figures{}),
                                      settings->values.arbejdstimer)
                        << Qt::endl;
    return 0;
}

void unreadableLines(const UnreadableLines& lines) {
    QTextStream err(stderr);
    for (const QString& message : unreadableMessages(lines)) {
        err << message << u'\n';
    }
}

int report(const QString& form) {
    QString arrival;
    const auto settings = settingsWithFile(arrival);
    if (!settings) {
        return 1;
    }
    const QString& path = *settings->filnavn;
    const auto read = readReport(path);
    if (!read.ok()) {
        return fail(path + QStringLiteral(": ") + read.error().text, 1);
    }
    const MonthlyReport& months = *read;
    unreadableLines(months.unreadable());
    QTextStream out(stdout);
    if (form == QStringLiteral("csv")) {
        // Excel reads UTF-8 only after the mark («Måned» came out as «MÃ¥ned»); LibreOffice and
        // Python's csv read it too.
        out.setGenerateByteOrderMark(true);
        out << months.csv();
    } else {
        out << months.table();
    }
    return 0;
}

// The registered days against the working-time limits; exit status 1 only when the file cannot
// be read.
int check() {
    QString arrival;
    const auto settings = settingsWithFile(arrival);
    if (!settings) {
        return 1;
    }
    WorkingTimeCheck limits;
    RecordReader reader([&limits](const Entry& e) { limits.add(e); });
    if (const FileOutcome read = readFileLines(
            *settings->filnavn, [&reader](std::string_view line) { reader.addLine(line); });
        !read.ok()) {
        return fail(*settings->filnavn + QStringLiteral(": ") + read.error().text, 1);
    }
    unreadableLines(reader.unreadable());
    QStringList findings = limits.findings();
    if (findings.isEmpty()) {
        findings << noFindings();
    }
    QTextStream out(stdout);
    for (const QString& line : findings) {
        out << line << u'\n';
    }
    return 0;
}

// The overview's chart of the last twelve months as a PNG, drawn offscreen in the light palette.
int chart(const QString& target, Clock& clock) {
    QString arrival;
    const auto settings = settingsWithFile(arrival);
    if (!settings) {
        return 1;
    }
    if (const auto refused = chartTargetRefusal(target, keptFiles(*settings->filnavn))) {
        return fail(*refused, 1);
    }
    const QDate today = clock.currentDateTime().date();
    const auto overview = readOverview(*settings->filnavn, chartStart(today), today);
    if (!overview.ok()) {
        return fail(*settings->filnavn + QStringLiteral(": ") + overview.error().text, 1);
    }
    const QImage image =
        flexChartImage(overview->chart, settings->values.arbejdstimer, QGuiApplication::palette());
    if (!saveChartImage(image, target)) {
        return fail(chartNotSaved(target), 1);
    }
    return 0;
}

}  // namespace

bool onlyQtOptions(int argc, char* argv[]) {
    // Qt's own, as QApplication and its platforms take them: these with a value after them, the
    // first three also as "-style=fusion".
    static const QStringList withValue = {
        QStringLiteral("-style"),         QStringLiteral("-stylesheet"),
        QStringLiteral("-qmljsdebugger"), QStringLiteral("-session"),
        QStringLiteral("-platform"),      QStringLiteral("-display"),
        QStringLiteral("-geometry"),      QStringLiteral("-qwindowgeometry"),
        QStringLiteral("-title"),         QStringLiteral("-qwindowtitle"),
        QStringLiteral("-icon"),          QStringLiteral("-qwindowicon"),
        QStringLiteral("-name"),          QStringLiteral("-platformpluginpath"),
        QStringLiteral("-platformtheme"), QStringLiteral("-plugin"),
        QStringLiteral("-visual")};
    static const QStringList withEquals = {QStringLiteral("-style"), QStringLiteral("-stylesheet"),
                                           QStringLiteral("-qmljsdebugger")};
    static const QStringList alone = {QStringLiteral("-reverse"), QStringLiteral("-widgetcount"),
                                      QStringLiteral("-nograb"),  QStringLiteral("-dograb"),
                                      QStringLiteral("-sync"),    QStringLiteral("-testability"),
                                      QStringLiteral("-qdevel"),  QStringLiteral("-qdebug")};
    for (int i = 1; i < argc; ++i) {
        QString option = QString::fromLocal8Bit(argv[i]);
        if (option.startsWith(QStringLiteral("--")) && option.length() > 2) {
            option.remove(0, 1);  // Qt takes its options with one dash or two
        }
        if (withEquals.contains(option.section(u'=', 0, 0)) && option.contains(u'=')) {
            continue;
        }
        if (withValue.contains(option) && i + 1 < argc) {
            ++i;
        } else if (!alone.contains(option)) {
            return false;
        }
    }
    return true;
}

namespace {

// What an option is given to answer.
struct Given {
    QString value;  // after "=", or the default
    bool console;
    Clock& clock;
    QCommandLineParser& parser;  // for the help text
};

enum class ValueForm {
    None,      // "--status" alone
    Optional,  // "--report" or "--report=csv"
    Required,  // "--chart=FIL.png"; "--chart" alone is no option of ours
};

// An option of the program: its names as the parser takes them (a short one first), its value,
// its line of help and what answers it.
struct Option {
    QStringList names;
    ValueForm form = ValueForm::None;
    QString help;
    int (*answer)(const Given&);
    // When several are given, the lowest answers.
    int precedence = 0;
    // An optional value's default and its other forms; a required one's missing value's word.
    QStringList values = {};
    QString wrongValue = {};
    // Whether it draws, which takes Qt's graphical side (offscreen, without a display).
    bool draws = false;
};

int help(const Given& g) {
    if (g.console) {  // Qt would show a message box where it finds no console window
        QTextStream(stdout) << g.parser.helpText();
        return 0;
    }
    g.parser.showHelp(0);
}

int version(const Given& g) {
    if (g.console) {
        QTextStream(stdout) << QCoreApplication::applicationName() << u' '
                            << QCoreApplication::applicationVersion() << Qt::endl;
        return 0;
    }
    g.parser.showVersion();
}

const std::vector<Option>& options() {
    static const std::vector<Option> table = {
        {{QStringLiteral("h"), QStringLiteral("help")},
         ValueForm::None,
         QStringLiteral("Viser denne hjælp."),
         help,
         0},
        {{QStringLiteral("v"), QStringLiteral("version")},
         ValueForm::None,
         QStringLiteral("Viser programmets version."),
         version,
         1},
        {{QStringLiteral("status")},
         ValueForm::None,
         QStringLiteral("Én linje med dagens tid, periodens tid og flexsaldoen."),
         [](const Given& g) { return status(g.clock); },
         2},
        {{QStringLiteral("report")},
         ValueForm::Optional,
         QStringLiteral("Registreringerne måned for måned; --report=csv giver semikolonsepareret "
                        "tekst til et regneark."),
         [](const Given& g) { return report(g.value); },
         5,
         {QStringLiteral("tabel"), QStringLiteral("csv")},
         QStringLiteral("Ukendt form af rapporten: ")},
        {{QStringLiteral("check")},
         ValueForm::None,
         QStringLiteral("De registrerede dage holdt op mod arbejdstidsreglerne. ") + checkedRules(),
         [](const Given&) { return check(); },
         4},
        {{QStringLiteral("chart")},
         ValueForm::Required,
         QStringLiteral("--chart=FIL.png gemmer oversigtens billede af de sidste 12 måneder: "
                        "flexsaldoen dag for dag og arbejdstiden uge for uge."),
         [](const Given& g) { return chart(g.value, g.clock); },
         3,
         {},
         QStringLiteral("--chart kræver et filnavn: --chart=FIL.png"),
         true},
    };
    return table;
}

// One argument as typed, read against the table.
struct Reading {
    const Option* option = nullptr;  // none: not one of the program's options
    std::optional<QString> value;    // after "="
};

Reading read(const QString& argument) {
    for (const Option& o : options()) {
        for (const QString& name : o.names) {
            const QString dashed =
                (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
            if (argument == dashed && o.form != ValueForm::Required) {
                return {&o, std::nullopt};
            }
            if (o.form != ValueForm::None && name.size() > 1 &&
                argument.startsWith(dashed + u'=')) {
                return {&o, argument.mid(dashed.size() + 1)};
            }
        }
    }
    return {};
}

QtMessageHandler qtsOwnHandler = nullptr;

// Qt looks for a display server in XDG_RUNTIME_DIR as it starts, and warns when the variable is
// unset, as under cron or ssh: an answer on the command line needs no display, so no warning.
void withoutRuntimeDirWarning(QtMsgType type, const QMessageLogContext& context,
                              const QString& text) {
    if (type == QtWarningMsg && text.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set")) {
        return;
    }
    qtsOwnHandler(type, context, text);
}

// The option that answers and its value, or why the arguments cannot be answered.
struct Choice {
    const Option* option = nullptr;
    QString value;
    QString wrong;
};

// Each argument is read against the table. Anything else is named as it was typed: a parser
// would spell "-style=fusion" out letter by letter, and a lone "--" would end the options. A
// value given twice counts as given last.
Choice choose(const QStringList& arguments) {
    QStringList unknown;
    std::map<const Option*, QString> given;
    for (const QString& argument : arguments) {
        const Reading r = read(argument);
        if (r.option == nullptr) {
            unknown << argument;
        } else if (r.value || !given.contains(r.option)) {
            given[r.option] = r.value.value_or(r.option->values.value(0));
        }
    }
    for (const auto& [option, value] : given) {
        if (option->form == ValueForm::Required && value.isEmpty()) {
            return {nullptr, {}, option->wrongValue};
        }
    }
    if (!unknown.isEmpty()) {
        return {nullptr,
                {},
                (unknown.size() == 1 ? QStringLiteral("Ukendt valgmulighed: ")
                                     : QStringLiteral("Ukendte valgmuligheder: ")) +
                    unknown.join(QStringLiteral(", "))};
    }
    for (const auto& [option, value] : given) {
        if (option->form == ValueForm::Optional && !option->values.contains(value)) {
            return {nullptr, {}, option->wrongValue + value};
        }
    }
    if (given.empty()) {
        return {};
    }
    const auto first = std::min_element(
        given.begin(), given.end(),
        [](const auto& a, const auto& b) { return a.first->precedence < b.first->precedence; });
    return {first->first, first->second, {}};
}

QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

int answerCommandLine(int argc, char* argv[], bool console) {
    qtsOwnHandler = qInstallMessageHandler(withoutRuntimeDirWarning);
    // A picture is drawn with fonts, which need Qt's graphical side; offscreen, it needs no
    // display.
    const Choice before = choose(argumentsOf(argc, argv));
    const bool draws = before.option != nullptr && before.option->draws;
    if (draws) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::unique_ptr<QCoreApplication> app =
        draws ? std::make_unique<QGuiApplication>(argc, argv)
              : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Horalog"));
    QCoreApplication::setApplicationVersion(QLatin1String(kVersion));
    installDanishQtTranslation();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Registrerer komme- og gåtid og holder flexsaldoen. Uden tilvalg åbnes "
                       "vinduet."));
    for (const Option& o : options()) {
        parser.addOption({o.names, o.help});
    }
    // Read again: Qt's graphical side takes its own options out of the arguments.
    const Choice choice = choose(argumentsOf(argc, argv));
    if (choice.option == nullptr) {
        return fail(choice.wrong + QStringLiteral("\nSe horalog --help."), 2);
    }
    SystemClock clock;
    return choice.option->answer({choice.value, console, clock, parser});
}

}  // namespace

ReadArguments readArguments(const QStringList& arguments) {
    const Choice choice = choose(arguments);
    return {choice.option != nullptr ? choice.option->names.constLast() : QString(), choice.value,
            choice.wrong};
}

int runCommandLine(int argc, char* argv[], bool console) {
    try {
        return answerCommandLine(argc, argv, console);
    } catch (const RegistryError& e) {
        // A store that cannot be read (a damaged file, a registry export in another format) is a
        // failure to report, not a crash.
        return fail(QString::fromLocal8Bit(e.description().c_str()), 1);
    }
}

}  // namespace horalog
