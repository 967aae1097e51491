#pragma once

namespace lumo::util {

// Base for classes that own a resource: neither copyable nor copy-assignable.
class non_copyable {
protected:
    non_copyable() = default;
    ~non_copyable() = default;

public:
    non_copyable(const non_copyable&) = delete;
    non_copyable& operator=(const non_copyable&) = delete;
};

}  // namespace lumo::util
