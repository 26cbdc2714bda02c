// Reading the figures must cost the same for a file of a day and one of twenty years.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "journal/journal_file.h"
#include "journal/record.h"

namespace {

QString makeFile(const QTemporaryDir& dir, qint64 bytes) {
    const QString path = dir.filePath(QStringLiteral("bench-%1.dat").arg(bytes));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n");
    const QByteArray day = "05-12-2026;4;08:00;16:30;800;3020;185;\r\n";
    QByteArray block;
    while (block.size() < 1 << 20) {
        block += day;
    }
    while (f.size() + block.size() <= bytes) {
        f.write(block);
    }
    while (f.size() + day.size() <= bytes) {
        f.write(day);
    }
    return path;
}

void readFigures(benchmark::State& state) {
    static QTemporaryDir dir;
    const QString path = makeFile(dir, state.range(0));
    for (auto _ : state) {
        const auto last = horalog::readLastRecordLine(path);
        const auto figures = last.ok() && *last
                                 ? horalog::figuresFromLine(**last)
                                 : horalog::Result<std::optional<horalog::Figures>>(std::nullopt);
        if (!figures.ok() || !*figures) {
            state.SkipWithError("no figures");
            break;
        }
        benchmark::DoNotOptimize(**figures);
    }
    state.SetLabel(QStringLiteral("%1 bytes").arg(QFile(path).size()).toStdString());
    QFile::remove(path);
}

// A crash's tail of NULs without a line end, as long as the file: found to be damage after
// reading no more than one line's limit.
void readDamagedTail(benchmark::State& state) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("damaged.dat"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(
            "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n"
            "05-12-2026;4;08:00;16:30;800;3020;185;\r\n");
        f.resize(state.range(0));  // sparse: NULs
    }
    for (auto _ : state) {
        const auto last = horalog::readLastRecordLine(path);
        if (last.ok() || last.error().problem != horalog::FileProblem::Damaged) {
            state.SkipWithError("not found to be damaged");
            break;
        }
        benchmark::DoNotOptimize(last);
    }
    QFile::remove(path);
}

}  // namespace

BENCHMARK(readDamagedTail)->Arg(100LL * 1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(readFigures)->Arg(1024)->Arg(100LL * 1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
