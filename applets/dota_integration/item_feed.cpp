#include "dota_integration/item_feed.h"
#include "dota_integration/item_feed_internal.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>

#include <curl/curl.h>
#include <nlohmann/json.hpp>

namespace heroglow {

std::string itemDataText;

namespace {

constexpr const char* kItemFeedAddress = "http://www.dota2.com/jsfeed/heropediadata?feeds=itemdata";
constexpr const char* kItemFeedVariable = "HEROGLOW_ITEM_FEED_URL";
// Start-up waits for the feed, so a server that accepts and never answers must not hold it.
constexpr long kConnectTimeoutSeconds = 5;
constexpr long kTransferTimeoutSeconds = 15;
// The catalogue is a few hundred kilobytes; a feed far larger than that is not one.
constexpr std::size_t kMaximumFeedBytes = 32u << 20;
constexpr long kMaximumRedirects = 5;
// Neither the address nor a redirect may reach files, mail or other protocols.
constexpr const char* kFeedProtocols = "http,https";

struct EasyHandleCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleCleanup>;

// libcurl calls its write function through a void* user pointer; this keeps the call typed.
// Nothing may be thrown through libcurl's C frames: a failure becomes a short count, which
// ends the transfer with a write error.
std::size_t writeToText(char* data, std::size_t size, std::size_t count, void* text) noexcept {
    try {
        return appendToText(data, size, count, static_cast<std::string*>(text));
    } catch (...) {
        return 0;
    }
}

}  // namespace

std::string itemFeedAddress() {
    const char* configured = std::getenv(kItemFeedVariable);
    return configured != nullptr && *configured != '\0' ? configured : kItemFeedAddress;
}

std::size_t appendToText(char* data, std::size_t size, std::size_t count, std::string* text) {
    if (text == nullptr) return 0;
    // A feed without a declared length is cut off here instead, and what it sent let go.
    if (size * count > kMaximumFeedBytes - std::min(text->size(), kMaximumFeedBytes)) {
        std::string().swap(*text);
        return 0;
    }
    text->append(data, size * count);
    return size * count;
}

int fetchItemData() {
    EasyHandle curl(curl_easy_init());
    if (!curl) return 0;

    const std::string address = itemFeedAddress();
    curl_easy_setopt(curl.get(), CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    // One thread only: no signal-based time-outs during name resolution.
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, kTransferTimeoutSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, kMaximumRedirects);
    curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaximumFeedBytes));
    CURLcode restricted = curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, kFeedProtocols);
    if (restricted == CURLE_OK)
        restricted = curl_easy_setopt(curl.get(), CURLOPT_REDIR_PROTOCOLS_STR, kFeedProtocols);
    if (restricted != CURLE_OK) {
        // Without the restriction the download does not happen at all.
        std::cout << "Failed to restrict protocols " << restricted << std::endl;
        return 0;
    }

    CURLcode result = curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, writeToText);
    if (result != CURLE_OK) {
        std::cout << "Failed to set writer " << result << std::endl;
        return 0;
    }
    result = curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &itemDataText);
    if (result != CURLE_OK) {
        std::cout << "Failed to set write data " << result << std::endl;
    }

    result = curl_easy_perform(curl.get());
    if (result != CURLE_OK) {
        std::cout << "curl_easy_perform() failed: " << result << std::endl;
        return 0;
    }

    try {
        // Only checked: nothing else reads the catalogue.
        [[maybe_unused]] const nlohmann::json parsed =
            nlohmann::json::parse(itemDataText, nullptr, true, false);
    } catch (const nlohmann::json::exception&) {
        std::cout << "Bad JSON received";
        return -1;
    }
    return 0;
}

}  // namespace heroglow
