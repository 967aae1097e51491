#pragma once

#include <filesystem>
#include <string>

namespace lumo::test {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the owner is destroyed. `prefix` names it for whoever finds one left behind.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "lumo-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Writes `content` to `file` (creating its parent folders), replacing what was there.
void writeFile(const std::filesystem::path& file, const std::string& content);
// The whole content of `file`; "" when it cannot be read.
std::string readFile(const std::filesystem::path& file);

}  // namespace lumo::test
