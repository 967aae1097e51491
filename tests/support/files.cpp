#include "files.h"

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include <gtest/gtest.h>

namespace lumo::test {

TempFolder::TempFolder(const std::string& prefix) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            std::filesystem::temp_directory_path() /
            (prefix + "-" + std::to_string(random()) + "-" + std::to_string(random()));
        // create_directory is false when the name is taken, so two runs never share one.
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("no free temporary folder name for " + prefix);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::text(const std::string& name) const {
    const std::u8string utf8 = (name.empty() ? path_ : path_ / name).u8string();
    return std::string(utf8.begin(), utf8.end());
}

void writeFile(const std::filesystem::path& file, const std::string& content) {
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

void writeFileDatedLater(const std::filesystem::path& file, const std::string& content) {
    std::error_code missing;
    const auto before = std::filesystem::last_write_time(file, missing);
    writeFile(file, content);
    if (missing) return;
    if (std::filesystem::last_write_time(file) <= before) {
        std::filesystem::last_write_time(file, before + std::chrono::seconds(1));
    }
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string readTestData(const std::filesystem::path& folder, const std::string& name) {
    const std::string content = readFile(folder / name);
    if (content.empty()) ADD_FAILURE() << "test data " << (folder / name).string() << " is missing or empty";
    return content;
}

}  // namespace lumo::test
