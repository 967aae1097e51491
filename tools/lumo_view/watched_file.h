#pragma once

#include <optional>

#include "file_stamp.h"
#include "panel.h"

namespace lumo::view {

// A state file under watch and the panel that shows it.
class WatchedFile {
public:
    explicit WatchedFile(const std::string& file);

    // Reads the file again when its stamp changed since the last look; true when the panel
    // got a new state. A missing, unreadable or malformed file keeps the last good state.
    bool refresh();
    const Panel& panel() const { return panel_; }

private:
    Panel panel_;
    std::optional<FileStamp> stamp_;
};

}  // namespace lumo::view
