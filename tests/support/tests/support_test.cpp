// The contracts of the test support's platform seams, the same on every system.
#include <gtest/gtest.h>

#include "environment.h"
#include "loopback.h"

namespace lumo::test {
namespace {

constexpr const char* kVariable = "LUMO_TEST_SUPPORT_VARIABLE";

TEST(ScopedEnvironment, SetsAndUnsetsForItsLifetimeAndRestoresWhatWasThere) {
    setEnvironmentValue(kVariable, std::nullopt);
    {
        const ScopedEnvironment outer(kVariable, "outer");
        EXPECT_EQ(environmentValue(kVariable), "outer");
        {
            const ScopedEnvironment inner(kVariable, "inner value with spaces");
            EXPECT_EQ(environmentValue(kVariable), "inner value with spaces");
            const ScopedUnsetEnvironment unset(kVariable);
            EXPECT_EQ(environmentValue(kVariable), std::nullopt);
        }
        EXPECT_EQ(environmentValue(kVariable), "outer") << "the earlier value comes back";
    }
    EXPECT_EQ(environmentValue(kVariable), std::nullopt) << "an unset variable stays unset";
}

TEST(Loopback, ListeningIsToldFromTheSystemsTable) {
    const std::uint16_t port = unusedLoopbackPort();
    ASSERT_NE(port, 0);
    EXPECT_FALSE(isListening(port));
    {
        const PortBlocker blocker(port);
        ASSERT_TRUE(blocker.holding());
        EXPECT_TRUE(isListening(port));
        const PortBlocker second(port);
        EXPECT_FALSE(second.holding()) << "a port somebody listens on cannot be taken";
    }
    EXPECT_FALSE(isListening(port));
}

}  // namespace
}  // namespace lumo::test
