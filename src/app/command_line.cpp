#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>
#include <cstdio>
#include <memory>

#include "app/flex_chart.h"
#include "app/version.h"
#include "journal/file_figures.h"
#include "journal/journal_file.h"
#include "journal/limits.h"
#include "journal/overview.h"
#include "journal/report.h"
#include "platform/qt_platform.h"
#include "settings/settings.h"
#include "text/time_text.h"
#include "timekeeping/date_pattern.h"
#include "timekeeping/open_day.h"
#include "timekeeping/status_line.h"
#include "timekeeping/today.h"
#include "timekeeping/working_day.h"

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
int status() {
    QString stored;
    const auto settings = settingsWithFile(stored);
    if (!settings) {
        return 1;
    }
    const FileFigures file = readFileFigures(*settings->filnavn);
    if (!file.ok()) {
        return fail(*settings->filnavn + QStringLiteral(": ") + file.error().text, 1);
    }
    QtPlatform platform;
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
int chart(const QString& target) {
    QString arrival;
    const auto settings = settingsWithFile(arrival);
    if (!settings) {
        return 1;
    }
    if (const auto refused = chartTargetRefusal(target, keptFiles(*settings->filnavn))) {
        return fail(*refused, 1);
    }
    const QDate today = QDate::currentDate();
    const auto overview = readOverview(*settings->filnavn, chartStart(today), today);
    if (!overview.ok()) {
        return fail(*settings->filnavn + QStringLiteral(": ") + overview.error().text, 1);
    }
    const QImage image =
        flexChartImage(overview->chart, settings->values.arbejdstimer, QGuiApplication::palette());
    if (!saveChartImage(image, target)) {
        return fail(QStringLiteral("Billedet kunne ikke gemmes i ") + target, 1);
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

const QStringList kOwnOptions = {QStringLiteral("-h"),       QStringLiteral("--help"),
                                 QStringLiteral("-v"),       QStringLiteral("--version"),
                                 QStringLiteral("--status"), QStringLiteral("--report"),
                                 QStringLiteral("--check")};

// The option's value, when one of the arguments is "--name=value".
std::optional<QString> valueOf(int argc, char* argv[], const QString& name) {
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument.startsWith(name + u'=')) {
            return argument.mid(name.size() + 1);
        }
    }
    return std::nullopt;
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

int answerCommandLine(int argc, char* argv[], bool console) {
    qtsOwnHandler = qInstallMessageHandler(withoutRuntimeDirWarning);
    // The chart is drawn with fonts, which need Qt's graphical side; offscreen, it needs no
    // display.
    const std::optional<QString> chartFile = valueOf(argc, argv, QStringLiteral("--chart"));
    if (chartFile) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::unique_ptr<QCoreApplication> app =
        chartFile ? std::make_unique<QGuiApplication>(argc, argv)
                  : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Horalog"));
    QCoreApplication::setApplicationVersion(QLatin1String(kVersion));
    installDanishQtTranslation();
    // "--report=csv" picks the form of the report; the parser knows flags and values only.
    QStringList arguments = QCoreApplication::arguments();
    QString form = QStringLiteral("tabel");
    for (QString& argument : arguments) {
        if (argument.startsWith(QStringLiteral("--report="))) {
            form = argument.mid(9);
            argument = QStringLiteral("--report");
        } else if (argument.startsWith(QStringLiteral("--chart="))) {
            argument = QStringLiteral("--chart");
        }
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Registrerer komme- og gåtid og holder flexsaldoen. Uden tilvalg åbnes "
                       "vinduet."));
    parser.addOptions(
        {{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Viser denne hjælp.")},
         {{QStringLiteral("v"), QStringLiteral("version")},
          QStringLiteral("Viser programmets version.")},
         {QStringLiteral("status"),
          QStringLiteral("Én linje med dagens tid, periodens tid og flexsaldoen.")},
         {QStringLiteral("report"),
          QStringLiteral("Registreringerne måned for måned; --report=csv giver semikolonsepareret "
                         "tekst til et regneark.")},
         {QStringLiteral("check"),
          QStringLiteral("De registrerede dage holdt op mod arbejdstidsreglerne. ") +
              checkedRules()},
         {QStringLiteral("chart"),
          QStringLiteral("--chart=FIL.png gemmer oversigtens billede af de sidste 12 måneder: "
                         "flexsaldoen dag for dag og arbejdstiden uge for uge.")}});
    // Anything but these is named as it was typed: the parser would spell "-style=fusion" out
    // letter by letter, and a lone "--" would end the options and leave the report.
    QStringList unknown;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (!kOwnOptions.contains(argument) && !argument.startsWith(QStringLiteral("--report=")) &&
            !(argument.startsWith(QStringLiteral("--chart=")) && argument.size() > 8)) {
            unknown << argument;
        }
    }
    QString wrong;
    if (chartFile && chartFile->isEmpty()) {
        wrong = QStringLiteral("--chart kræver et filnavn: --chart=FIL.png");
    } else if (!unknown.isEmpty()) {
        wrong = (unknown.size() == 1 ? QStringLiteral("Ukendt valgmulighed: ")
                                     : QStringLiteral("Ukendte valgmuligheder: ")) +
                unknown.join(QStringLiteral(", "));
    } else if (!parser.parse(arguments)) {
        wrong = parser.errorText();
    } else if (!parser.positionalArguments().isEmpty()) {
        wrong = QStringLiteral("Ukendt argument: ") + parser.positionalArguments().constFirst();
    } else if (form != QStringLiteral("tabel") && form != QStringLiteral("csv")) {
        wrong = QStringLiteral("Ukendt form af rapporten: ") + form;
    }
    if (!wrong.isEmpty()) {
        return fail(wrong + QStringLiteral("\nSe horalog --help."), 2);
    }
    if (parser.isSet(QStringLiteral("help"))) {
        if (console) {  // Qt would show a message box where it finds no console window
            QTextStream(stdout) << parser.helpText();
            return 0;
        }
        parser.showHelp(0);
    }
    if (parser.isSet(QStringLiteral("version"))) {
        if (console) {
            QTextStream(stdout) << QCoreApplication::applicationName() << u' '
                                << QCoreApplication::applicationVersion() << Qt::endl;
            return 0;
        }
        parser.showVersion();
    }
    if (parser.isSet(QStringLiteral("status"))) {
        return status();
    }
    if (chartFile) {
        return chart(*chartFile);
    }
    if (parser.isSet(QStringLiteral("check"))) {
        return check();
    }
    return report(form);
}

}  // namespace

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
