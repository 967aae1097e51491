#pragma once

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

namespace lumo::simulator {

// Appends one JSON object per line to the journal file, flushing each line so that a reader
// (or a test) sees every call as soon as it returns. The file is kept open between lines and
// reopened when the caller names another file; an empty path closes it.
class Journal {
public:
    void append(const std::filesystem::path& file, const nlohmann::ordered_json& line);

private:
    std::filesystem::path openFile_;
    std::ofstream out_;
};

}  // namespace lumo::simulator
