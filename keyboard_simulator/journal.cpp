#include "journal.h"

#include "simulator_json.h"
#include "diagnostics.h"

namespace lumo::simulator {

void Journal::append(const std::filesystem::path& file, const nlohmann::ordered_json& line) {
    if (file != openFile_) {
        out_.close();
        out_.clear();
        openFile_ = file;
        if (!file.empty()) {
            if (file.has_parent_path()) {
                std::error_code ignored;
                std::filesystem::create_directories(file.parent_path(), ignored);
            }
            out_.open(file, std::ios::binary | std::ios::app);
            if (!out_) reportOnce("cannot open the journal " + file.string());
        }
    }
    if (!out_.is_open()) return;
    out_ << dumpJson(line) << '\n';
    out_.flush();
    if (!out_) {
        reportOnce("cannot write to the journal " + file.string());
        out_.clear();
    }
}

}  // namespace lumo::simulator
