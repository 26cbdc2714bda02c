#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <thread>

#include "journal/journal_io.h"
#include "lockfile/lock_file.h"
#include "platform/file_sync.h"

namespace horalog {

namespace {

constexpr int kLockPollMs = 25;

// The lock file beside the registration file, where its file system has no byte-range locks (a
// network share without a lock service): beside the target of a symlink, so that every name of
// the file shares one lock.
std::filesystem::path besidePath(const QString& registrationFile) {
    const QFileInfo info(registrationFile);
    const QString canonical = info.canonicalFilePath();
    const QString lock =
        (canonical.isEmpty() ? info.absoluteFilePath() : canonical) + QStringLiteral(".lock");
#ifdef _WIN32
    return std::filesystem::path(lock.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(lock).toStdString());
#endif
}

Result<LockAttempt> tryBeside(LockFile& beside, int staleLockMs) {
    const LockFile::Attempt attempt = beside.tryTake(std::chrono::milliseconds(staleLockMs));
    switch (attempt.state) {
        case LockFile::State::Taken:
            return LockAttempt::Taken;
        case LockFile::State::Held:
            return LockAttempt::Busy;
        case LockFile::State::CannotMake:
        case LockFile::State::CannotWrite:
            break;
    }
    return Result<LockAttempt>::failed(systemErrorText(attempt.error));
}

}  // namespace

QString lockedText() {
    return QStringLiteral("Registreringsfilen er låst af et andet program. Prøv igen om lidt.");
}

FileOutcome journal_io::takeLock(QFile& file, const QString& path, const AppendOptions& options,
                                 std::optional<LockFile>& beside) {
    const auto start = std::chrono::steady_clock::now();
    int pause = 1;
    for (;;) {
        const Result<LockAttempt> attempt =
            beside ? tryBeside(*beside, options.staleLockMs) : tryLockFile(file.handle());
        if (!attempt.ok()) {
            return failure(FileProblem::Failed, attempt.error());
        }
        if (*attempt == LockAttempt::Unsupported) {
            beside.emplace(besidePath(path), 0644);
            continue;
        }
        if (*attempt == LockAttempt::Taken) {
            return {};
        }
        if (std::chrono::steady_clock::now() - start >=
            std::chrono::milliseconds(options.lockWaitMs)) {
            return failure(FileProblem::Locked, lockedText());
        }
        if (options.whileWaiting) {
            options.whileWaiting();
        }
        // Short at first, as most locks are held for a moment only.
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        pause = std::min(2 * pause, kLockPollMs);
    }
}

}  // namespace horalog
