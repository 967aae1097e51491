#pragma once

#include <functional>

namespace lumo::test {

// Runs `body` without the superuser's rights, which ignore permission bits: run as root (as
// CI is), it runs in a forked child that has become the user "nobody", and its failures
// fail the calling test; otherwise it runs right here. Skips the test when the rights
// cannot be dropped.
void runUnprivileged(const std::function<void()>& body);

}  // namespace lumo::test
