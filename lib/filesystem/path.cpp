#include "filesystem/path.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "text/utf.h"

namespace lumo::filesystem {
namespace {

constexpr wchar_t kPreferredSeparator = L'\\';

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool isDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Length of the root name: "C:" for drives, "\\server" (two separators and a name, which
// also covers the "\\?" and "\\." device prefixes) for network paths, else nothing.
std::size_t rootNameEnd(std::wstring_view text) {
    if (text.size() >= 2 && isDriveLetter(text[0]) && text[1] == L':') return 2;
    if (text.size() >= 3 && isSeparator(text[0]) && isSeparator(text[1]) && !isSeparator(text[2])) {
        auto next = std::find_if(text.begin() + 3, text.end(), isSeparator);
        return static_cast<std::size_t>(next - text.begin());
    }
    return 0;
}

// Where the relative part starts: after the root name and any separators that follow it
// (those separators are the root directory).
std::size_t relativeStart(std::wstring_view text) {
    std::size_t i = rootNameEnd(text);
    while (i < text.size() && isSeparator(text[i])) ++i;
    return i;
}

// Where the last element starts: after the last separator of the relative part.
std::size_t filenameStart(std::wstring_view text) {
    std::size_t start = relativeStart(text);
    std::size_t i = text.size();
    while (i > start && !isSeparator(text[i - 1])) --i;
    return i;
}

bool isAbsolute(std::wstring_view text) {
    std::size_t nameEnd = rootNameEnd(text);
    return nameEnd > 0 && nameEnd < text.size() && isSeparator(text[nameEnd]);
}

const std::wstring& emptyText() {
    static const std::wstring empty;
    return empty;
}

}  // namespace

path::path() : text_(std::make_unique<std::wstring>()) {}

path::path(const std::string& utf8) : text_(std::make_unique<std::wstring>(util::fromUtf8(utf8))) {
    // The codec reports failure as an empty result; only an empty input may give one.
    if (text_->empty() && !utf8.empty())
        throw std::system_error(std::make_error_code(std::errc::invalid_argument));
}

path path_from_utf8(const std::string& utf8, std::error_code& ec) {
    std::wstring text = util::fromUtf8(utf8);
    if (text.empty() && !utf8.empty()) {
        ec = std::make_error_code(std::errc::invalid_argument);
        return {};
    }
    ec.clear();
    return path(std::move(text));
}

path::path(const char* utf8) : path(std::string(utf8 == nullptr ? "" : utf8)) {}

path::path(const std::wstring& text) : text_(std::make_unique<std::wstring>(text)) {}

path::path(const wchar_t* text) : text_(std::make_unique<std::wstring>(text == nullptr ? L"" : text)) {}

path::path(const path& other) : text_(std::make_unique<std::wstring>(other.native_text())) {}

path::path(path&& other) noexcept = default;

path& path::operator=(const path& other) {
    if (this != &other) {
        if (text_) {
            *text_ = other.native_text();
        } else {
            text_ = std::make_unique<std::wstring>(other.native_text());
        }
    }
    return *this;
}

path& path::operator=(path&& other) noexcept = default;

path::~path() = default;

path& path::operator/=(const path& rhs) {
    // Copy first: `rhs` may be this very path.
    const std::wstring right = rhs.native_text();
    if (!text_) text_ = std::make_unique<std::wstring>();
    std::wstring& left = *text_;

    if (isAbsolute(right)) {
        left = right;
        return *this;
    }
    const std::size_t rightNameEnd = rootNameEnd(right);
    const std::size_t leftNameEnd = rootNameEnd(left);
    if (rightNameEnd > 0 &&
        std::wstring_view(right).substr(0, rightNameEnd) != std::wstring_view(left).substr(0, leftNameEnd)) {
        // A different drive or server: the right side stands on its own.
        left = right;
        return *this;
    }
    if (rightNameEnd < right.size() && isSeparator(right[rightNameEnd])) {
        // A root directory on the right replaces everything after the left root name.
        left.erase(leftNameEnd);
    } else if (leftNameEnd == left.size()) {
        // Only a root name (or nothing) on the left: "C:" + "x" is drive-relative "C:x",
        // while a server name always needs its separator.
        if (leftNameEnd >= 3) left += kPreferredSeparator;
    } else if (!isSeparator(left.back())) {
        left += kPreferredSeparator;
    }
    left.append(right, rightNameEnd, std::wstring::npos);
    return *this;
}

path& path::operator+=(const path& rhs) {
    const std::wstring right = rhs.native_text();
    if (!text_) text_ = std::make_unique<std::wstring>();
    *text_ += right;
    return *this;
}

bool path::is_absolute() const { return isAbsolute(native_text()); }

bool path::empty() const { return native_text().empty(); }

bool path::has_filename() const {
    const std::wstring& text = native_text();
    return filenameStart(text) < text.size();
}

path path::remove_filename() {
    if (text_) text_->erase(filenameStart(*text_));
    return *this;
}

path path::parent_path() const {
    const std::wstring& text = native_text();
    const std::size_t start = relativeStart(text);
    std::size_t end = text.size();
    if (start == end) return *this;
    while (end > start && !isSeparator(text[end - 1])) --end;
    while (end > start && isSeparator(text[end - 1])) --end;
    return path(text.substr(0, end));
}

path& path::make_preferred() {
    if (text_) std::replace(text_->begin(), text_->end(), L'/', kPreferredSeparator);
    return *this;
}

std::string path::string() const {
    const std::wstring& text = native_text();
    std::string utf8 = util::toUtf8(text);
    if (utf8.empty() && !text.empty()) throw std::range_error("bad conversion");
    return utf8;
}

std::wstring path::wstring() const { return native_text(); }

const std::wstring& path::native_text() const { return text_ ? *text_ : emptyText(); }

path operator/(const path& lhs, const path& rhs) {
    path joined(lhs);
    joined /= rhs;
    return joined;
}

path join(path base, std::string_view relative) {
    while (!relative.empty()) {
        const std::size_t slash = relative.find('/');
        const std::string_view element = relative.substr(0, slash);
        if (!element.empty()) base /= path(std::string(element));
        relative = slash == std::string_view::npos ? std::string_view() : relative.substr(slash + 1);
    }
    return base;
}

}  // namespace lumo::filesystem
