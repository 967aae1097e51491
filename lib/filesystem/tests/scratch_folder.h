#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace lumo::testing_support {

// A fresh, uniquely named folder under the system's temporary folder; removed with all its
// content on destruction. Works on every platform the tests run on.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix) {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const auto candidate = std::filesystem::temp_directory_path() /
                                   (prefix + "-" + std::to_string(random()) + "-" + std::to_string(random()));
            // create_directory is false when the name is taken, so two runs never share one.
            if (std::filesystem::create_directory(candidate)) {
                folder_ = candidate;
                return;
            }
        }
        throw std::runtime_error("no free scratch folder name for " + prefix);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    const std::filesystem::path& folder() const { return folder_; }

    // The folder, or a name inside it, as UTF-8 text.
    std::string text(const std::string& name = "") const {
        const std::u8string utf8 = (name.empty() ? folder_ : folder_ / name).u8string();
        return std::string(utf8.begin(), utf8.end());
    }

private:
    std::filesystem::path folder_;
};

}  // namespace lumo::testing_support
