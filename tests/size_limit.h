#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace horalog::testing {

// Runs the step in a child whose files may grow to `limit` bytes, so that a write stops part-way
// as on a full disk; true when the step says it failed so.
inline bool failsWithSizeLimit(rlim_t limit, const std::function<bool()>& stepFailed) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit l{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &l);
        ::_exit(stepFailed() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace horalog::testing
