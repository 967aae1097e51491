#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lumo::util {

// Replaces `target` with `content` so that a reader sees either the old file or the new one,
// never a part: the text goes to a temporary file in the same folder, which is then renamed
// over the target. Creates the folder when missing. Returns "" on success, otherwise what went
// wrong (the target is then untouched and no temporary file is left behind).
std::string writeFileAtomically(const std::filesystem::path& target, std::string_view content);

}  // namespace lumo::util
