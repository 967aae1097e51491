#include "filesystem/path.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <system_error>
#include <utility>

namespace lumo::filesystem {
namespace {

TEST(PathJoin, FollowsWindowsAppendRules) {
    struct Case {
        const wchar_t* left;
        const wchar_t* right;
        const wchar_t* joined;
    };
    const Case cases[] = {
        {L"C:\\Games\\Steam", L"steamapps", L"C:\\Games\\Steam\\steamapps"},
        {L"C:\\Games\\Steam\\", L"steamapps", L"C:\\Games\\Steam\\steamapps"},
        {L"C:/Games/", L"steamapps", L"C:/Games/steamapps"},
        {L"/home/ann/.steam/steam", L"steamapps", L"/home/ann/.steam/steam\\steamapps"},
        {L"C:\\", L"Games", L"C:\\Games"},
        // Drive-relative stays relative to the drive's current folder.
        {L"C:", L"foo", L"C:foo"},
        {L"C:foo", L"bar", L"C:foo\\bar"},
        // Absolute or other-root right sides replace the left side.
        {L"C:\\a", L"D:\\b", L"D:\\b"},
        {L"C:\\a", L"D:b", L"D:b"},
        {L"C:\\a", L"\\\\server\\share\\x", L"\\\\server\\share\\x"},
        // Same drive, relative right side: appended.
        {L"C:\\a", L"C:b", L"C:\\a\\b"},
        // A root directory on the right keeps only the left root name.
        {L"C:\\a\\b", L"\\x", L"C:\\x"},
        {L"/a", L"/b", L"/b"},
        {L"\\\\server\\share\\dir", L"/x", L"\\\\server/x"},
        // A server name always gets its separator.
        {L"\\\\server", L"share", L"\\\\server\\share"},
        {L"\\\\server\\share", L"x", L"\\\\server\\share\\x"},
        {L"", L"x", L"x"},
        {L"a", L"", L"a\\"},
        {L"a\\", L"", L"a\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "left=" << path(c.left).string() << " right=" << path(c.right).string());
        EXPECT_EQ((path(c.left) / path(c.right)).wstring(), c.joined);
        path inPlace(c.left);
        inPlace /= path(c.right);
        EXPECT_EQ(inPlace.wstring(), c.joined);
    }
    EXPECT_EQ(join(path("C:\\Games"), "csgo/cfg/config.cfg").wstring(), L"C:\\Games\\csgo\\cfg\\config.cfg");
    EXPECT_EQ(join(path(), "730/local").wstring(), L"730\\local") << "relative";
    EXPECT_EQ(join(path("a"), "").wstring(), L"a");
}

TEST(PathJoin, WithItself) {
    path p(L"dir");
    p /= p;
    EXPECT_EQ(p.wstring(), L"dir\\dir");
    p += p;
    EXPECT_EQ(p.wstring(), L"dir\\dirdir\\dir");
}

TEST(PathJoin, ConcatenationAddsNoSeparator) {
    path p("C:\\Games\\dota");
    p += path(".cfg");
    EXPECT_EQ(p.wstring(), L"C:\\Games\\dota.cfg");
    p += path("\\x");
    EXPECT_EQ(p.wstring(), L"C:\\Games\\dota.cfg\\x");
}

TEST(PathElements, FilenameAndParent) {
    struct Case {
        const wchar_t* text;
        bool hasFilename;
        const wchar_t* withoutFilename;
        const wchar_t* parent;
    };
    const Case cases[] = {
        {L"C:\\dir\\file.txt", true, L"C:\\dir\\", L"C:\\dir"},
        {L"C:\\file.txt", true, L"C:\\", L"C:\\"},
        {L"C:/file.txt", true, L"C:/", L"C:/"},
        {L"C:\\", false, L"C:\\", L"C:\\"},
        {L"C:foo", true, L"C:", L"C:"},
        {L"C:", false, L"C:", L"C:"},
        {L"\\\\server\\share\\x", true, L"\\\\server\\share\\", L"\\\\server\\share"},
        {L"\\\\server\\share", true, L"\\\\server\\", L"\\\\server\\"},
        {L"\\\\server", false, L"\\\\server", L"\\\\server"},
        {L"dir\\sub\\", false, L"dir\\sub\\", L"dir\\sub"},
        {L"a/b//c", true, L"a/b//", L"a/b"},
        {L"a\\b\\\\", false, L"a\\b\\\\", L"a\\b"},
        {L"/home/x", true, L"/home/", L"/home"},
        {L"/", false, L"/", L"/"},
        {L"file", true, L"", L""},
        {L"", false, L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(path(c.text).string());
        path p(c.text);
        EXPECT_EQ(p.has_filename(), c.hasFilename);
        EXPECT_EQ(p.parent_path().wstring(), c.parent);
        EXPECT_EQ(p.wstring(), c.text) << "parent_path must not change the path";
        path returned = p.remove_filename();
        EXPECT_EQ(p.wstring(), c.withoutFilename);
        EXPECT_EQ(returned.wstring(), c.withoutFilename);
    }
}

// Only absolute paths are safe to hand to a loader that searches for relative names.
TEST(PathElements, IsAbsolute) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"C:\\dir\\sdk.dll", true}, {L"c:/sdk.dll", true},  {L"\\\\server\\share\\sdk.dll", true},
        {L"C:sdk.dll", false},       {L"\\sdk.dll", false},  {L"sdk.dll", false},
        {L"..\\sdk.dll", false},     {L"\\\\server", false}, {L"", false},
    };
    for (const auto& [text, absolute] : cases) {
        SCOPED_TRACE(path(text).string());
        EXPECT_EQ(path(text).is_absolute(), absolute);
    }
}

TEST(PathElements, MakePreferredTurnsEverySlash) {
    path p("C:/a/b\\c//d");
    EXPECT_EQ(p.make_preferred().wstring(), L"C:\\a\\b\\c\\\\d");
    EXPECT_EQ(p.wstring(), L"C:\\a\\b\\c\\\\d");
}

TEST(PathText, ConstructionAndConversion) {
    EXPECT_TRUE(path().empty());
    EXPECT_TRUE(path("").empty());
    EXPECT_TRUE(path(static_cast<const char*>(nullptr)).empty());
    EXPECT_TRUE(path(L"").empty());
    EXPECT_FALSE(path("x").empty());

    const std::string utf8 = "C:\\Spiele\\M\xC3\xBCller\\\xE2\x82\xAC\\\xF0\x9F\x8E\xAE";
    path p(utf8);
    EXPECT_EQ(p.string(), utf8);
    EXPECT_EQ(path(std::string(utf8).c_str()).wstring(), p.wstring());
    EXPECT_EQ(p.wstring().substr(0, 12), L"C:\\Spiele\\M\u00FC");
}

TEST(PathText, InvalidUtf8IsInvalidArgument) {
    for (const char* bad : {"\x80", "dir\\\xC3", "\xC0\xAF", "ok\xED\xA0\x80"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(bad)));
        try {
            path p(bad);
            ADD_FAILURE() << "no exception";
        } catch (const std::system_error& e) {
            EXPECT_EQ(e.code(), std::make_error_code(std::errc::invalid_argument));
            EXPECT_EQ(e.code().value(), 22);
        }
        // The same text made without throwing: an empty path and the same error.
        std::error_code ec;
        EXPECT_TRUE(path_from_utf8(bad, ec).empty());
        EXPECT_EQ(ec, std::make_error_code(std::errc::invalid_argument));
    }
    std::error_code ec = std::make_error_code(std::errc::io_error);
    EXPECT_EQ(path_from_utf8("dir\\M\xC3\xBCller", ec).wstring(), L"dir\\M\u00FCller");
    EXPECT_FALSE(ec);
}

TEST(PathText, InvalidWideTextIsBadConversion) {
    std::wstring loneSurrogate = L"dir\\";
    loneSurrogate += static_cast<wchar_t>(0xD800);
    path p(loneSurrogate);
    EXPECT_EQ(p.wstring(), loneSurrogate);
    try {
        (void)p.string();
        ADD_FAILURE() << "no exception";
    } catch (const std::range_error& e) {
        EXPECT_STREQ(e.what(), "bad conversion");
    }
}

TEST(PathOwnership, CopiesAreDeepAndMovedFromIsUsable) {
    path original("C:\\a");
    path copy(original);
    copy /= path("b");
    EXPECT_EQ(original.wstring(), L"C:\\a");
    EXPECT_EQ(copy.wstring(), L"C:\\a\\b");

    path assigned;
    assigned = original;
    assigned.make_preferred() += path("x");
    EXPECT_EQ(original.wstring(), L"C:\\a");

    path moved(std::move(original));
    EXPECT_EQ(moved.wstring(), L"C:\\a");
    // A moved-from path behaves as an empty one and can be reused.
    EXPECT_TRUE(original.empty());  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(original.string(), "");
    EXPECT_EQ(original.parent_path().wstring(), L"");
    original /= path("again");
    EXPECT_EQ(original.wstring(), L"again");

    path target("t");
    target = std::move(moved);
    EXPECT_EQ(target.wstring(), L"C:\\a");
    moved = target;
    EXPECT_EQ(moved.wstring(), L"C:\\a");
}

}  // namespace
}  // namespace lumo::filesystem
