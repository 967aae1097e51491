#pragma once

// Windows only: the owner of a kernel handle (file, process, thread), closed with CloseHandle.
#include "util/unique_handle.h"
#include "util/windows_support.h"

namespace lumo::util {

struct WindowsHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    // Files fail as INVALID_HANDLE_VALUE, processes and threads as null.
    static bool valid(Handle handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
    static void close(Handle handle) { ::CloseHandle(handle); }
};
using WindowsHandle = UniqueHandle<WindowsHandleTraits>;

}  // namespace lumo::util
