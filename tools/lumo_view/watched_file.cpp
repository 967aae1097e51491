#include "watched_file.h"

#include <fstream>
#include <sstream>

namespace lumo::view {

WatchedFile::WatchedFile(const std::string& file) {
    panel_.title = titleForStateFile(file);
    panel_.file = file;
}

bool WatchedFile::refresh() {
    const std::optional<FileStamp> stamp = stampOf(panel_.file);
    if (!stamp || stamp == stamp_) return false;
    stamp_ = stamp;
    std::ifstream in(panel_.file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::optional<KeyboardState> state = parseKeyboardState(text.str());
    if (!state) return false;
    panel_.state = std::move(state);
    return true;
}

}  // namespace lumo::view
