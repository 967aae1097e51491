#pragma once

#include <cstddef>
#include <string>

// The downloaded item catalogue; empty until fetchItemData has run.
extern std::string itemDataText;

// libcurl write callback: appends size * count bytes to `text`; 0 (abort) when it is null.
std::size_t appendToText(char* data, std::size_t size, std::size_t count, std::string* text);

// Downloads the item feed into itemDataText and checks that it parses: 0, or -1 when the
// text is not JSON. Transfer failures are reported on standard output.
int fetchItemData();
