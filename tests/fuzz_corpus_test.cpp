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
        EXPECT_FALSE(folder.isEmpty(QDir::Files)) << name;
        for (const QString& input : folder.entryList(QDir::Files)) {
            QFile f(folder.filePath(input));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const std::string bytes = f.readAll().toStdString();
            SCOPED_TRACE(input.toStdString());
            check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        }
    }
}

}  // namespace
