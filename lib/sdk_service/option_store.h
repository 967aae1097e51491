#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

namespace lumo::sdk_service {

// The last two serve operations the applets do not use: a rectangle x, y, width, height and a
// choice among texts.
enum class OptionType { color, boolean, number, key, rect, select };

// "color", "bool", "number", "key", "rect" or "select", as the options file names the types.
const char* optionTypeName(OptionType type);
// Whether `value` is a stored value of that type: [red, green, blue] integers 0-255, a JSON
// boolean, any JSON number, text, four integers, text.
bool fitsOptionType(OptionType type, const nlohmann::ordered_json& value);

// Which option a call concerns: the options file, the program's section and the option path.
struct OptionPlace {
    std::filesystem::path file;
    std::string program;
    std::string path;
};

// The option service, kept in a JSON file that people and tools may edit while programs run:
// { program: { path: { "type", "default", "value", "label" } } }. Before each operation the
// file is read again when its modification time or size has changed; after a declaration or a
// new label it is replaced atomically. Problems with the file are reported once each on
// standard error and never thrown at the caller.
class OptionStore {
public:
    // Reads an option. `value` holds the caller's value on entry. An unknown path is declared
    // with that value as default and as value; a known one hands back its stored value when
    // that has the right type, and fills in a missing type, default or value from the caller.
    // Returns false, leaving `value` as it was, when the file is unusable (malformed), the
    // entry is not an object, the stored value has the wrong type, or a declaration could not
    // be written.
    bool read(const OptionPlace& place, OptionType type, nlohmann::ordered_json& value);

    // Sets the text shown for an option or a group (declaring the entry when unknown). Returns
    // false when the file is unusable or the label could not be written.
    bool label(const OptionPlace& place, const std::string& label);

    // Takes `text` as the content of an options file without a name, judged and reported as a
    // read file is: operations whose place names no file then use these options and never
    // write them anywhere.
    void loadText(const std::string& text);

private:
    struct FileStamp {
        bool exists = false;
        std::int64_t modified = 0;  // file clock ticks
        std::uintmax_t size = 0;
        bool operator==(const FileStamp&) const = default;
    };

    static FileStamp stampOf(const std::filesystem::path& file);
    // Brings the in-memory options up to date with the file; false when the file is unusable.
    bool synchronise(const std::filesystem::path& file);
    void load(const std::filesystem::path& file);
    // Forgets the options and takes `file` (with its current stamp) as theirs.
    void startOver(const std::filesystem::path& file);
    // Takes the options from the text of file_, or marks them unusable.
    void adopt(const std::string& text);
    // The program's section, created when missing.
    nlohmann::ordered_json& section(const std::string& program);
    bool save();

    std::filesystem::path file_;
    FileStamp stamp_;
    bool loaded_ = false;
    bool usable_ = true;
    nlohmann::ordered_json document_ = nlohmann::ordered_json::object();
};

}  // namespace lumo::sdk_service
