#include "sdk_service/service.h"

#include <exception>
#include <string>

#include "sdk_service/diagnostics.h"
#include "filesystem/user_files.h"
#include "sdk_service/program_name.h"

namespace lumo::sdk_service {

Service& Service::instance() {
    static Service* service = new Service();
    return *service;
}

void Service::setSink(Sink* sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = sink;
}

KeyboardState Service::snapshot() {
    std::lock_guard<std::mutex> lock(mutex_);
    return keyboard_.snapshot();
}

bool Service::guarded(const char* operation, const std::function<bool()>& body) {
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        return body();
    } catch (const std::exception& error) {
        // Unwinding released the lock; the record of reported problems needs it again.
        std::lock_guard<std::mutex> lock(mutex_);
        reportOnce(std::string(operation) + " failed: " + error.what());
    } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        reportOnce(std::string(operation) + " failed");
    }
    return false;
}

Service::Json Service::recorded(const Arguments& arguments) const {
    return sink_ != nullptr && sink_->recordsCalls() ? arguments() : Json();
}

void Service::called(const char* operation, const Json& arguments, const Json* result, bool returned) {
    if (sink_ != nullptr && sink_->recordsCalls()) sink_->called(operation, arguments, result, returned);
}

void Service::lightingChanged() {
    if (sink_ != nullptr) sink_->lightingChanged(keyboard_);
}

bool Service::initialize(const char* operation, const Arguments& make) {
    return guarded(operation, [&] {
        const Json arguments = recorded(make);
        keyboard_.setInitialized(true);
        lightingChanged();
        called(operation, arguments, nullptr, true);
        return true;
    });
}

bool Service::shutdown(const char* operation) {
    return guarded(operation, [&] {
        const bool wasInitialized = keyboard_.initialized();
        if (wasInitialized) {
            keyboard_ = Keyboard();
            lightingChanged();
        }
        called(operation, Json::array(), nullptr, wasInitialized);
        return wasInitialized;
    });
}

bool Service::lighting(const char* operation, const Arguments& make,
                       const std::function<bool(Keyboard&)>& change) {
    return guarded(operation, [&] {
        const Json arguments = recorded(make);
        keyboard_.expireEffects(Keyboard::Clock::now());
        const bool done = keyboard_.initialized() && change(keyboard_);
        if (done) lightingChanged();
        called(operation, arguments, nullptr, done);
        return done;
    });
}

bool Service::option(const char* operation, const Arguments& make, const OptionWork& work) {
    return guarded(operation, [&] {
        const Json arguments = recorded(make);
        Json result;
        bool done = false;
        if (keyboard_.initialized()) {
            OptionPlace place{lumo::filesystem::options_file(), programName(), {}};
            done = work(options_, place, result);
        }
        called(operation, arguments, done && !result.is_null() ? &result : nullptr, done);
        return done;
    });
}

}  // namespace lumo::sdk_service
