#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "environment.h"
#include "files.h"
#include "lighting/lumo_binding.h"
#include "sdk_service/json_text.h"
#include "sdk_service/operations.h"
#include "sdk_service/service.h"

namespace lumo::sdk_service {
namespace {

using Json = Service::Json;

// Writes down what the service tells it: each call as its journal line would read (without
// the time) and the keyboard after each lighting change.
class RecordingSink : public Service::Sink {
public:
    void called(const char* operation, const Json& arguments, const Json* result, bool returned) override {
        Json line;
        line["op"] = operation;
        line["args"] = arguments;
        if (result != nullptr) line["result"] = *result;
        line["ret"] = returned;
        calls.push_back(dumpJson(line));
    }
    bool recordsCalls() const override { return records; }
    void lightingChanged(const Keyboard& keyboard) override { changes.push_back(keyboard.snapshot()); }

    bool records = true;
    std::vector<std::string> calls;
    std::vector<KeyboardState> changes;
};

template <class Function>
Function* operation(const char* name) {
    return reinterpret_cast<Function*>(operationNamed(name));
}

// Each test starts from a keyboard that was never initialised, options in its own folder.
class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        Service::instance().shutdown("LumoLedShutdown");
        Service::instance().setSink(&sink);
    }
    void TearDown() override { Service::instance().setSink(nullptr); }

    lumo::test::TempFolder temp_{"sdk-service"};
    lumo::test::ScopedEnvironment options_{"LUMO_OPTIONS", temp_.text("options.json")};
    RecordingSink sink;
};

TEST_F(ServiceTest, TheSinkHearsEveryCallAndSeesEveryLightingChange) {
    auto* setLighting = operation<sdk::LedSetLighting>("LumoLedSetLighting");
    auto* getBool = operation<sdk::GetConfigOptionBool>("LumoGetConfigOptionBool");
    bool flag = true;
    const struct {
        const char* what;
        std::function<bool()> call;
        bool returned;
        const char* line;
        bool changed;
        Rgb device;  // bytes, afterwards
        std::size_t effects;
    } cases[] = {
        {"lighting before init",
         [&] { return setLighting(10, 20, 30); },
         false,
         R"({"op":"LumoLedSetLighting","args":[10,20,30],"ret":false})",
         false,
         {},
         0},
        {"option before init",
         [&] { return getBool(L"misc/show", &flag, 1); },
         false,
         R"({"op":"LumoGetConfigOptionBool","args":["misc/show",true,1],"ret":false})",
         false,
         {},
         0},
        {"init",
         [] { return operations::LumoLedInit(); },
         true,
         R"({"op":"LumoLedInit","args":[],"ret":true})",
         true,
         {},
         0},
        {"lighting",
         [&] { return setLighting(100, 0, 50); },
         true,
         R"({"op":"LumoLedSetLighting","args":[100,0,50],"ret":true})",
         true,
         {255, 0, 127},
         0},
        {"out of range",
         [&] { return setLighting(101, 0, 0); },
         false,
         R"({"op":"LumoLedSetLighting","args":[101,0,0],"ret":false})",
         false,
         {255, 0, 127},
         0},
        {"option declared",
         [&] { return getBool(L"misc/show", &flag, 1); },
         true,
         R"({"op":"LumoGetConfigOptionBool","args":["misc/show",true,1],"result":true,"ret":true})",
         false,
         {255, 0, 127},
         0},
        {"key flash",
         [] { return operations::LumoLedFlashSingleKey(0x1C, 0, 0, 100, 0, 400); },
         true,
         R"({"op":"LumoLedFlashSingleKey","args":[28,0,0,100,0,400],"ret":true})",
         true,
         {255, 0, 127},
         1},
        {"key by name, which no key has",
         [] { return operations::LumoLedSetLightingForKeyWithKeyName(1, 1, 1, 1); },
         false,
         R"({"op":"LumoLedSetLightingForKeyWithKeyName","args":[1,1,1,1],"ret":false})",
         false,
         {255, 0, 127},
         1},
        {"shutdown",
         [] { return operations::LumoLedShutdown(); },
         true,
         R"({"op":"LumoLedShutdown","args":[],"ret":true})",
         true,
         {},
         0},
        {"shutdown again",
         [] { return operations::LumoLedShutdown(); },
         false,
         R"({"op":"LumoLedShutdown","args":[],"ret":false})",
         false,
         {},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sink.calls.clear();
        sink.changes.clear();
        EXPECT_EQ(c.call(), c.returned);
        EXPECT_EQ(sink.calls, std::vector<std::string>{c.line});
        const KeyboardState now = Service::instance().snapshot();
        EXPECT_EQ(now.device, c.device);
        EXPECT_EQ(now.effects.size(), c.effects);
        ASSERT_EQ(sink.changes.size(), c.changed ? 1u : 0u);
        if (c.changed) {
            EXPECT_EQ(sink.changes[0].initialized, now.initialized);
            EXPECT_EQ(sink.changes[0].device, now.device);
            EXPECT_EQ(sink.changes[0].keys, now.keys);
        }
    }
    EXPECT_TRUE(std::filesystem::exists(temp_.path() / "options.json"));

    // A sink that only wants the picture (the OpenRGB backend) hears of changes, not of calls.
    sink.records = false;
    sink.calls.clear();
    sink.changes.clear();
    EXPECT_TRUE(operations::LumoLedInit());
    EXPECT_TRUE(setLighting(0, 100, 0));
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_EQ(sink.changes.size(), 2u);

    Service::instance().setSink(nullptr);
    sink.calls.clear();
    EXPECT_TRUE(operations::LumoLedInit());
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(ServiceTest, EveryOperationBindsByItsNameAndNothingElseDoes) {
    std::set<void*> distinct;
    for (const char* name : sdk::kExportNames) {
        SCOPED_TRACE(name);
        void* function = operationNamed(name);
        EXPECT_NE(function, nullptr);
        distinct.insert(function);
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(sdk::kExportCount));
    for (const char* name : {"", "LumoLed", "lumoLedInit", "LumoLedInit ", "LumoLedShutdownX"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(operationNamed(name), nullptr);
    }
    EXPECT_EQ(operationNamed(nullptr), nullptr);

    // What a backend does: the programs' binding over the service's operations.
    lumo::lighting::bindExports(operationNamed);
    ASSERT_TRUE(operations::LumoLedInit());
    sink.calls.clear();
    EXPECT_TRUE(::LumoLedSetTargetDevice(sdk::kPerKeyDevices));
    EXPECT_TRUE(::LumoLedStopEffects());
    EXPECT_EQ(sink.calls,
              (std::vector<std::string>{R"({"op":"LumoLedSetTargetDevice","args":[4],"ret":true})",
                                        R"({"op":"LumoLedStopEffects","args":[],"ret":true})"}));
    EXPECT_EQ(Service::instance().snapshot().mask, sdk::kPerKeyDevices);
    lumo::lighting::bindExports([](const char*) -> void* { return nullptr; });
}

}  // namespace
}  // namespace lumo::sdk_service
