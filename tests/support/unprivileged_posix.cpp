#include "unprivileged_posix.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumo::test {

namespace {

// "nobody" on Debian and most other systems.
constexpr uid_t kNobody = 65534;
constexpr int kCannotDrop = 77;

}  // namespace

void runUnprivileged(const std::function<void()>& body) {
    if (::geteuid() != 0) {
        body();
        return;
    }
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // Groups first: after setuid there is no right left to drop them.
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 ||
            ::setuid(0) == 0)
            ::_exit(kCannotDrop);
        body();
        // The child's own failures were printed as they happened; the parent only learns
        // whether there were any. _exit: the parent's files and handlers are not ours to run.
        std::fflush(stdout);
        ::_exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the unprivileged child died by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == kCannotDrop) GTEST_SKIP() << "cannot become an unprivileged user here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the checks failed in the unprivileged child (see above)";
}

}  // namespace lumo::test
