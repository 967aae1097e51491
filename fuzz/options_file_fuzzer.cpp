// The SDK service's options file: the input's first line names the program, its second
// the option, the rest is the file. Reading the option as each type hands back a value of that
// type or leaves the caller's alone, and once read it reads the same again and takes a label.
#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "fuzz_check.h"
#include "sdk_service/option_store.h"

using lumo::sdk_service::OptionPlace;
using lumo::sdk_service::OptionStore;
using lumo::sdk_service::OptionType;
using Json = nlohmann::ordered_json;

namespace {

// A value of each type, as a program declares it.
Json callerValue(OptionType type) {
    switch (type) {
    case OptionType::color:
        return Json::array({255, 25, 25});
    case OptionType::boolean:
        return true;
    case OptionType::number:
        return 30.0;
    case OptionType::key:
        return "Q";
    case OptionType::rect:
        return Json::array({0, 0, 10, 20});
    case OptionType::select:
        return "first";
    }
    return nullptr;
}

std::string takeLine(std::string& text) {
    const std::size_t end = text.find('\n');
    std::string line = text.substr(0, end);
    text.erase(0, end == std::string::npos ? text.size() : end + 1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string file(reinterpret_cast<const char*>(data), size);
    OptionPlace place;
    place.program = takeLine(file);
    place.path = takeLine(file);

    // One store through all six types, as programs that disagree about an option's type meet
    // it: each read retypes the entry.
    OptionStore store;
    store.loadText(file);
    for (const OptionType type : {OptionType::color, OptionType::boolean, OptionType::number, OptionType::key,
                                  OptionType::rect, OptionType::select}) {
        const Json declared = callerValue(type);
        Json value = declared;
        if (!store.read(place, type, value)) {
            FUZZ_CHECK(value == declared);
            continue;
        }
        FUZZ_CHECK(lumo::sdk_service::fitsOptionType(type, value));
        Json again = declared;
        FUZZ_CHECK(store.read(place, type, again));
        FUZZ_CHECK(again == value);
        FUZZ_CHECK(store.label(place, "label"));
    }
    return 0;
}
