#include "journal.h"

#include "sdk_service/diagnostics.h"
#include "sdk_service/json_text.h"

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
            if (!out_) sdk_service::reportOnce("cannot open the journal " + file.string());
        }
    }
    if (!out_.is_open()) return;
    out_ << sdk_service::dumpJson(line) << '\n';
    out_.flush();
    if (!out_) {
        sdk_service::reportOnce("cannot write to the journal " + file.string());
        out_.clear();
    }
}

}  // namespace lumo::simulator
