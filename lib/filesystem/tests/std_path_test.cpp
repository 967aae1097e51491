#include "filesystem/std_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace lumo::filesystem {
namespace {

// Paths cross between the two types without losing non-ASCII text, and a lumo path's
// backslashes become the system's separator.
TEST(StdPath, PathsCrossBothWaysWithTheirText) {
    for (const std::string text : {"plain", "Dota 2 \xC3\x84\xC3\xB6", "\xE2\x9C\x93 check", ""}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(utf8_text(std_path_from_utf8(text)), text);
        EXPECT_EQ(from_std_path(std_path_from_utf8(text)).string(), text);
    }
    const std::filesystem::path crossed = to_std_path(path("Steam\\steamapps\\common"));
    EXPECT_EQ(crossed, std::filesystem::path("Steam") / "steamapps" / "common");
    EXPECT_EQ(from_std_path(crossed).string(), utf8_text(crossed));
}

}  // namespace
}  // namespace lumo::filesystem
