// A stand-in SDK library for the loader's tests. It exports only some of the SDK's names and
// reports through environment variables, which the test process reads back:
//   LUMO_TEST_SDK_LOADS         how many times this library's constructor ran
//   LUMO_TEST_SDK_LAST_CALL     the last operation and its arguments, flag included
//   LUMO_TEST_SDK_INIT_RESULTS  read: the results of successive LumoLedInit calls ("01": false, then true)
#include <cstdlib>
#include <string>

#include "lighting/lumo_sdk.h"
#include "text.h"

#define TEST_SDK_EXPORT extern "C" __attribute__((visibility("default")))

// Every name with the SDK's type, so that a definition below of another type does not compile.
#define TEST_SDK_DECLARE(Type, Name) TEST_SDK_EXPORT lumo::sdk::Type Name;
LUMO_SDK_EXPORTS(TEST_SDK_DECLARE)
#undef TEST_SDK_DECLARE

namespace {

void report(const std::string& text) { ::setenv("LUMO_TEST_SDK_LAST_CALL", text.c_str(), 1); }

__attribute__((constructor)) void countLoad() {
    const char* loads = std::getenv("LUMO_TEST_SDK_LOADS");
    const int count = loads == nullptr ? 0 : std::atoi(loads);
    ::setenv("LUMO_TEST_SDK_LOADS", std::to_string(count + 1).c_str(), 1);
}

}  // namespace

#ifndef LUMO_TEST_SDK_WITHOUT_INIT
TEST_SDK_EXPORT bool LumoLedInit() {
    static std::size_t calls = 0;
    const char* results = std::getenv("LUMO_TEST_SDK_INIT_RESULTS");
    const std::string planned = results == nullptr ? "" : results;
    const bool result = calls < planned.size() && planned[calls] == '1';
    ++calls;
    report("LumoLedInit");
    return result;
}
#endif

TEST_SDK_EXPORT bool LumoGetConfigOptionColor(const wchar_t* path, int* red, int* green, int* blue,
                                              int flag) {
    report("LumoGetConfigOptionColor " + lumo::test::narrow(path) + " " + std::to_string(*red) + " " +
           std::to_string(*green) + " " + std::to_string(*blue) + " " + std::to_string(flag));
    *red = 11;
    *green = 22;
    *blue = 33;
    return true;
}

TEST_SDK_EXPORT bool LumoLedSetLighting(int red, int green, int blue) {
    report("LumoLedSetLighting " + std::to_string(red) + " " + std::to_string(green) + " " +
           std::to_string(blue));
    return true;
}

// An SDK that declines: its false must come back unchanged.
TEST_SDK_EXPORT bool LumoLedStopEffects() {
    report("LumoLedStopEffects");
    return false;
}
