#pragma once

// heroglow's user options, declared through the SDK's option service and read back once at
// start-up; the variables hold their defaults until then (and for good without an SDK).
void declareAndReadOptions();
