#include "sdk_service/option_store.h"

#include <climits>
#include <optional>
#include <string>
#include <system_error>

#include "filesystem/std_path.h"
#include "io/atomic_file.h"
#include "io/whole_file.h"
#include "sdk_service/diagnostics.h"
#include "sdk_service/json_text.h"

namespace lumo::sdk_service {

using Json = nlohmann::ordered_json;

namespace {

std::string describe(const OptionPlace& place) {
    return "option \"" + place.path + "\" of " + place.program + " in " + place.file.string();
}

bool isBlank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

const char* optionTypeName(OptionType type) {
    switch (type) {
    case OptionType::color:
        return "color";
    case OptionType::boolean:
        return "bool";
    case OptionType::number:
        return "number";
    case OptionType::key:
        return "key";
    case OptionType::rect:
        return "rect";
    case OptionType::select:
        return "select";
    }
    return "";
}

bool fitsOptionType(OptionType type, const Json& value) {
    switch (type) {
    case OptionType::color:
        if (!value.is_array() || value.size() != 3) return false;
        for (const Json& channel : value) {
            if (!channel.is_number_integer()) return false;
            // Unsigned and signed integers compare alike through the library's operators.
            if (channel < 0 || channel > 255) return false;
        }
        return true;
    case OptionType::boolean:
        return value.is_boolean();
    case OptionType::number:
        return value.is_number();
    case OptionType::key:
    case OptionType::select:
        return value.is_string();
    case OptionType::rect:
        if (!value.is_array() || value.size() != 4) return false;
        for (const Json& number : value)
            if (!number.is_number_integer() || number < INT_MIN || number > INT_MAX) return false;
        return true;
    }
    return false;
}

OptionStore::FileStamp OptionStore::stampOf(const std::filesystem::path& file) {
    std::error_code error;
    FileStamp stamp;
    if (file.empty() || !std::filesystem::is_regular_file(file, error)) return stamp;
    auto modified = std::filesystem::last_write_time(file, error);
    if (error) return stamp;
    auto size = std::filesystem::file_size(file, error);
    if (error) return stamp;
    stamp.exists = true;
    stamp.modified = static_cast<std::int64_t>(modified.time_since_epoch().count());
    stamp.size = size;
    return stamp;
}

bool OptionStore::synchronise(const std::filesystem::path& file) {
    if (file.empty()) {
        reportOnce(
            "no options file: neither LUMO_OPTIONS nor the user's configuration folder is known; "
            "options are kept in memory only");
    }
    if (!loaded_ || file != file_ || stampOf(file) != stamp_) load(file);
    return usable_;
}

void OptionStore::startOver(const std::filesystem::path& file) {
    file_ = file;
    stamp_ = stampOf(file);
    loaded_ = true;
    usable_ = true;
    document_ = Json::object();
}

void OptionStore::load(const std::filesystem::path& file) {
    startOver(file);
    if (!stamp_.exists) return;

    // Shared with a program or editor that may be replacing the file meanwhile.
    const std::optional<std::string> text = util::readSharedFile(filesystem::from_std_path(file));
    if (!text) {
        reportOnce("cannot read the options file " + file.string() + "; options keep their defaults");
        usable_ = false;
        return;
    }
    adopt(*text);
}

void OptionStore::loadText(const std::string& text) {
    startOver({});
    adopt(text);
}

void OptionStore::adopt(const std::string& text) {
    // A file a person has just created empty holds no options yet.
    if (isBlank(text)) return;
    try {
        Json parsed = Json::parse(text);
        if (!parsed.is_object()) {
            reportOnce("the options file " + file_.string() + " holds a JSON " + parsed.type_name() +
                       ", not an object; options keep their defaults");
            usable_ = false;
            return;
        }
        document_ = std::move(parsed);
    } catch (const Json::exception& error) {
        // Syntax errors, and numbers too large for a double (out_of_range). Never write over a
        // file a person is editing: it stays as it is until repaired.
        reportOnce("the options file " + file_.string() + " is not valid JSON (" + error.what() +
                   "); options keep their defaults");
        usable_ = false;
    }
}

Json& OptionStore::section(const std::string& program) {
    Json& programOptions = document_[program];
    if (programOptions.is_null()) programOptions = Json::object();
    return programOptions;
}

bool OptionStore::save() {
    if (file_.empty()) return true;
    std::string problem = lumo::util::writeFileAtomically(file_, dumpJson(document_, 2) + "\n");
    if (!problem.empty()) {
        reportOnce("cannot save the options: " + problem);
        return false;
    }
    stamp_ = stampOf(file_);
    return true;
}

bool OptionStore::read(const OptionPlace& place, OptionType type, Json& value) {
    if (!synchronise(place.file)) return false;
    Json& options = section(place.program);
    if (!options.is_object()) {
        reportOnce("the options of " + place.program + " in " + place.file.string() + " are a JSON " +
                   options.type_name() + ", not an object; options keep their defaults");
        return false;
    }

    auto found = options.find(place.path);
    if (found == options.end()) {
        options[place.path] = Json{{"type", optionTypeName(type)}, {"default", value}, {"value", value}};
        return save();
    }
    Json& entry = *found;
    if (!entry.is_object()) {
        reportOnce(describe(place) + " is not a JSON object; the program keeps its value");
        return false;
    }

    bool changed = false;
    // The program's declaration decides the type; a default is recorded once.
    auto storedType = entry.find("type");
    if (storedType == entry.end() || *storedType != optionTypeName(type)) {
        entry["type"] = optionTypeName(type);
        entry["default"] = value;
        changed = true;
    } else if (!entry.contains("default")) {
        entry["default"] = value;
        changed = true;
    }

    bool handedBack = true;
    auto stored = entry.find("value");
    if (stored == entry.end()) {
        entry["value"] = value;
        changed = true;
    } else if (fitsOptionType(type, *stored)) {
        value = *stored;
    } else {
        reportOnce(describe(place) + ": the stored value " + dumpJson(*stored) + " is not a " +
                   optionTypeName(type) + "; the program keeps its value");
        handedBack = false;
    }

    if (changed && !save()) return false;
    return handedBack;
}

bool OptionStore::label(const OptionPlace& place, const std::string& label) {
    if (!synchronise(place.file)) return false;
    Json& options = section(place.program);
    if (!options.is_object()) {
        reportOnce("the options of " + place.program + " in " + place.file.string() +
                   " are not a JSON object; labels are not kept");
        return false;
    }
    Json& entry = options[place.path];
    if (entry.is_null()) entry = Json::object();
    if (!entry.is_object()) {
        reportOnce(describe(place) + " is not a JSON object; its label is not kept");
        return false;
    }
    auto stored = entry.find("label");
    if (stored != entry.end() && *stored == label) return true;
    entry["label"] = label;
    return save();
}

}  // namespace lumo::sdk_service
