#pragma once

#include <filesystem>
#include <string>

namespace lumo::test {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the owner is destroyed. `prefix` names it for whoever finds one left behind; the rest of
// the name is digits, so a lowercase prefix gives a lowercase name. Throws
// std::runtime_error when no folder can be made.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "lumo-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder, or `name` inside it, as UTF-8 text.
    std::string text(const std::string& name = "") const;

private:
    std::filesystem::path path_;
};

// Writes `content` to `file` (creating its parent folders), replacing what was there.
// Throws std::runtime_error when the file cannot be written.
void writeFile(const std::filesystem::path& file, const std::string& content);
// Writes like writeFile and then dates the file later than it was before the write, so a
// reader that compares modification times sees the change even within one tick of the file
// system's clock.
void writeFileDatedLater(const std::filesystem::path& file, const std::string& content);
// The whole content of `file`; "" when it cannot be read.
std::string readFile(const std::filesystem::path& file);
// The content of the data file `name` in `folder`, as the tests ship it. Data files are
// never empty, so a missing or empty one fails the running test.
std::string readTestData(const std::filesystem::path& folder, const std::string& name);

}  // namespace lumo::test
