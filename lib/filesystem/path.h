#pragma once

#include <string_view>
#include <memory>
#include <string>
#include <system_error>

namespace lumo::filesystem {

// A path under Windows rules on every platform: '\' and '/' both separate, drive roots
// ("C:\"), UNC roots ("\\server\share\"), preferred separator '\'. The text is wide
// (wchar_t) and owned on the heap; copies are deep.
class path {
public:
    path();
    // UTF-8; an empty text gives an empty path. Invalid UTF-8 throws std::system_error
    // (std::errc::invalid_argument, generic category).
    path(const std::string& utf8);
    path(const char* utf8);
    path(const std::wstring& text);
    path(const wchar_t* text);

    path(const path& other);
    path(path&& other) noexcept;
    path& operator=(const path& other);
    path& operator=(path&& other) noexcept;
    ~path();

    // Appends with one separator unless one is already there; an absolute right side
    // replaces the left side (Windows append rules).
    path& operator/=(const path& rhs);
    // Appends the right text directly, with no separator.
    path& operator+=(const path& rhs);

    bool empty() const;
    // A root name followed by a separator: "C:\x", "\\server\share\x". Drive-relative
    // ("C:x") and rooted ("\x") paths are not absolute.
    bool is_absolute() const;
    // True when the element after the root and the last separator is not empty.
    bool has_filename() const;
    // Removes that element in place, keeping the separator before it; returns a copy.
    path remove_filename();
    // Without the last element and the separators before it; the root stays.
    path parent_path() const;
    // Every '/' becomes '\', in place.
    path& make_preferred();

    // UTF-8; text that is not valid wide text throws std::range_error("bad conversion").
    std::string string() const;
    std::wstring wstring() const;
    const std::wstring& native_text() const;

private:
    std::unique_ptr<std::wstring> text_;
};

path operator/(const path& lhs, const path& rhs);
// The same text, character for character (no case folding, no normalising).
inline bool operator==(const path& lhs, const path& rhs) { return lhs.native_text() == rhs.native_text(); }

// `base` followed by each element of the '/'-separated `relative` ("game/csgo/cfg", as the
// games table writes folders); empty elements are skipped. The text is UTF-8; invalid UTF-8
// throws as the constructor does.
path join(path base, std::string_view relative);

// The path of UTF-8 text without throwing: on invalid UTF-8 an empty path, with `ec` set to
// std::errc::invalid_argument (generic category); otherwise `ec` is cleared.
path path_from_utf8(const std::string& utf8, std::error_code& ec);

}  // namespace lumo::filesystem
