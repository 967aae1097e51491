#include "io/atomic_file.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <system_error>

namespace lumo::util {

namespace {

// Two programs may share one options file, so the temporary name must differ between
// processes as well as between calls.
std::string temporarySuffix() {
    static const unsigned long long processTag = [] {
        std::random_device device;
        return (static_cast<unsigned long long>(device()) << 32) ^ device();
    }();
    static std::atomic<unsigned long long> counter{0};
    return ".tmp-" + std::to_string(processTag) + "-" + std::to_string(++counter);
}

}  // namespace

std::string writeFileAtomically(const std::filesystem::path& target, std::string_view content) {
    std::error_code error;
    const std::filesystem::path folder = target.parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
        if (error) return "cannot create folder " + folder.string() + ": " + error.message();
    }

    std::filesystem::path temporary = target;
    temporary += temporarySuffix();
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, error);
            return "cannot write " + temporary.string();
        }
    }
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::string problem = "cannot replace " + target.string() + ": " + error.message();
        std::filesystem::remove(temporary, error);
        return problem;
    }
    return {};
}

}  // namespace lumo::util
