// The fuzzers' seed corpora, and every crash input they found, replayed on each test run.
#include <gtest/gtest.h>

#include <QDir>

#include "fuzz_checks.h"

namespace {

TEST(FuzzCorpus, EveryInputKeepsItsProperties) {
    const std::pair<const char*, void (*)(const std::uint8_t*, std::size_t)> targets[] = {
        {"number", horalog::fuzz::checkNumberReading},
        {"time_text", horalog::fuzz::checkTimeText},
        {"last_record", horalog::fuzz::checkLastRecord},
        {"store", horalog::fuzz::checkStoreText}};
    for (const auto& [name, check] : targets) {
        const QDir folder(QStringLiteral(HORALOG_CORPUS "/") + QLatin1String(name));
        const QStringList inputs = folder.entryList(QDir::Files);
        EXPECT_FALSE(inputs.isEmpty()) << name;
        for (const QString& input : inputs) {
            QFile f(folder.filePath(input));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            SCOPED_TRACE(input.toStdString());
            check(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                  static_cast<std::size_t>(bytes.size()));
        }
    }
}

}  // namespace
