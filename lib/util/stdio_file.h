#pragma once

#include <cstdio>

#include "util/unique_handle.h"

namespace lumo::util {

// The owner of a stdio stream, closed with fclose. Where the close result matters (buffered
// writes), release() the stream and fclose it yourself.
struct StdioFileTraits {
    using Handle = std::FILE*;
    static Handle invalid() { return nullptr; }
    static void close(Handle file) { std::fclose(file); }
};
using StdioFile = UniqueHandle<StdioFileTraits>;

}  // namespace lumo::util
