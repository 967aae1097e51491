#include "status/status_file.h"

#include <chrono>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "filesystem/user_files.h"
#include "io/atomic_file.h"

namespace lumo::status {

namespace {

constexpr auto kMinimumInterval = std::chrono::seconds(1);
constexpr std::size_t kScanLimit = 64 * 1024;

std::int64_t secondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string formatStatus(const ProgramStatus& status) {
    const nlohmann::json object = {
        {"program", status.program},     {"pid", status.processId},
        {"started", status.started},     {"posts", status.posts},
        {"last_post", status.lastPost},  {"provider_appid", status.providerAppId},
        {"backend", status.backend},
    };
    return object.dump(2) + "\n";
}

std::optional<ProgramStatus> parseStatus(std::string_view text) {
    const nlohmann::json object = nlohmann::json::parse(text, nullptr, false);
    if (!object.is_object()) return std::nullopt;
    try {
        ProgramStatus status;
        status.program = object.at("program").get<std::string>();
        status.processId = object.at("pid").get<std::uint32_t>();
        status.started = object.at("started").get<std::int64_t>();
        status.posts = object.at("posts").get<std::uint64_t>();
        status.lastPost = object.at("last_post").get<std::int64_t>();
        status.providerAppId = object.at("provider_appid").get<std::string>();
        status.backend = object.at("backend").get<std::string>();
        return status;
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

std::filesystem::path statusFile(const std::string& program) {
    const std::filesystem::path folder = filesystem::state_folder();
    if (folder.empty()) return {};
    return statusFileIn(folder, program);
}

std::filesystem::path statusFileIn(const std::filesystem::path& folder, const std::string& program) {
    return folder / (program + "-status.json");
}

std::string providerAppId(std::string_view json) {
    json = json.substr(0, kScanLimit);
    const std::size_t provider = json.find("\"provider\"");
    if (provider == std::string_view::npos) return {};
    // The provider object ends at its first closing brace: it holds no nested objects.
    const std::size_t end = json.find('}', provider);
    const std::string_view object = json.substr(provider, end == std::string_view::npos ? json.npos : end - provider);
    std::size_t pos = object.find("\"appid\"");
    if (pos == std::string_view::npos) return {};
    pos += 7;
    while (pos < object.size() && isSpace(object[pos])) ++pos;
    if (pos >= object.size() || object[pos] != ':') return {};
    ++pos;
    while (pos < object.size() && isSpace(object[pos])) ++pos;
    std::string digits;
    while (pos < object.size() && object[pos] >= '0' && object[pos] <= '9' && digits.size() < 12) {
        digits += object[pos++];
    }
    return digits;
}

StatusWriter::StatusWriter(std::string program, std::string backend) : file_(statusFile(program)) {
    fixed_.program = std::move(program);
    fixed_.backend = std::move(backend);
    fixed_.processId = currentProcessId();
    fixed_.started = secondsNow();
    writer_ = std::thread([this] { run(); });
}

StatusWriter::~StatusWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

void StatusWriter::notePost(const char* json) {
    // At most 12 digits: the number fits, and the text stays in the string's own buffer.
    const std::string appId = json == nullptr ? std::string() : providerAppId(json);
    if (!appId.empty()) providerAppIdPlusOne_.store(std::stoull(appId) + 1, std::memory_order_relaxed);
    lastPost_.store(secondsNow(), std::memory_order_relaxed);
    posts_.fetch_add(1, std::memory_order_relaxed);
}

ProgramStatus StatusWriter::current() const {
    ProgramStatus status = fixed_;
    status.posts = posts_.load(std::memory_order_relaxed);
    status.lastPost = lastPost_.load(std::memory_order_relaxed);
    if (const std::uint64_t appId = providerAppIdPlusOne_.load(std::memory_order_relaxed); appId != 0)
        status.providerAppId = std::to_string(appId - 1);
    return status;
}

void StatusWriter::run() {
    std::optional<ProgramStatus> written;
    std::unique_lock lock(mutex_);
    for (;;) {
        const ProgramStatus now = current();
        if (now != written) {
            lock.unlock();
            if (!file_.empty()) util::writeFileAtomically(file_, formatStatus(now));
            written = now;
            lock.lock();
        }
        if (stopping_) return;
        wake_.wait_for(lock, kMinimumInterval, [this] { return stopping_; });
    }
}

}  // namespace lumo::status
