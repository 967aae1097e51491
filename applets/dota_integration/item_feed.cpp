#include "dota_integration/item_feed.h"

#include <cstdlib>
#include <iostream>
#include <memory>

#include <curl/curl.h>
#include <nlohmann/json.hpp>

std::string itemDataText;

namespace {

constexpr const char* kItemFeedAddress = "http://www.dota2.com/jsfeed/heropediadata?feeds=itemdata";
constexpr const char* kItemFeedVariable = "HEROGLOW_ITEM_FEED_URL";
// Start-up waits for the feed, so a server that accepts and never answers must not hold it.
constexpr long kConnectTimeoutSeconds = 5;
constexpr long kTransferTimeoutSeconds = 15;

struct EasyHandleCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleCleanup>;

// libcurl calls its write function through a void* user pointer; this keeps the call typed.
std::size_t writeToText(char* data, std::size_t size, std::size_t count, void* text) {
    return appendToText(data, size, count, static_cast<std::string*>(text));
}

}  // namespace

std::string itemFeedAddress() {
    const char* configured = std::getenv(kItemFeedVariable);
    return configured != nullptr && *configured != '\0' ? configured : kItemFeedAddress;
}

std::size_t appendToText(char* data, std::size_t size, std::size_t count, std::string* text) {
    if (text == nullptr) return 0;
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
