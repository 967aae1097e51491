// The KeyValues reader's reporting parse: any text gives the same tree as the plain parse, and
// at most one fault whose line lies in the text and whose cause is one of the reader's.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "steam/keyvalues.h"

using lumo::util::KeyValues;

namespace {

bool sameTree(const KeyValues& a, const KeyValues& b) {
    if (a.values() != b.values() || a.children().size() != b.children().size() ||
        a.entries().size() != b.entries().size())
        return false;
    auto other = b.children().begin();
    for (const auto& [key, child] : a.children()) {
        if (key != other->first || !sameTree(child, other->second)) return false;
        ++other;
    }
    return true;
}

bool knownCause(const std::string& cause) {
    for (const char* start : {"a quoted text is never closed", "a { where a key belongs", "a closing } without an opening {",
                              "a block opened on line ", "missing { or a value after \"", "blocks nested deeper than "}) {
        if (cause.rfind(start, 0) == 0) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    KeyValues reported;
    const auto fault = reported.parseReportingFault(text);
    KeyValues plain;
    plain.parse(text);
    FUZZ_CHECK(sameTree(reported, plain));
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (const KeyValues::Entry& entry : reported.entries()) FUZZ_CHECK(entry.line >= 1 && entry.line <= lines);
    if (fault) {
        FUZZ_CHECK(fault->line >= 1 && fault->line <= lines);
        FUZZ_CHECK(knownCause(fault->cause));
    }
    return 0;
}
