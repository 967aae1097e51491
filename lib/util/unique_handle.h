#pragma once

#include <utility>

namespace lumo::util {

// Owns one operating-system handle and closes it when destroyed; move-only. `Traits` says what
// the handle is and how it closes:
//   using Handle = ...;
//   static Handle invalid();            the value that owns nothing
//   static void close(Handle handle);   called only for handles that are not invalid()
// Some systems have two "nothing" values (a Windows file is INVALID_HANDLE_VALUE or null):
// traits may also define `static bool valid(Handle)`.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    bool valid() const {
        if constexpr (requires(Handle h) { Traits::valid(h); }) {
            return Traits::valid(handle_);
        } else {
            return handle_ != Traits::invalid();
        }
    }
    explicit operator bool() const { return valid(); }

    // Gives the handle up without closing it.
    Handle release() { return std::exchange(handle_, Traits::invalid()); }
    // Closes the owned handle (if any) and takes `handle`.
    void reset(Handle handle = Traits::invalid()) {
        if (valid()) Traits::close(handle_);
        handle_ = handle;
    }
    // For out-parameters of system calls: closes what is owned and lends the slot.
    Handle* receive() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::invalid();
};

}  // namespace lumo::util
