#pragma once

#include <string>

namespace heroglow {

// The downloaded item catalogue; empty until fetchItemData has run.
extern std::string itemDataText;

// The feed's address: the game publisher's item-data feed, or the whole value of the
// environment variable HEROGLOW_ITEM_FEED_URL when that is set and not empty.
std::string itemFeedAddress();

// Downloads the item feed into itemDataText and checks that it parses: 0, or -1 when the
// text is not JSON. Transfer failures are reported on standard output. Gives up on a feed
// that cannot be reached within 5 s, does not finish within 15 s, is larger than 32 MiB or
// redirects more than 5 times; only http and https are followed.
int fetchItemData();

}  // namespace heroglow
