#pragma once

#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "util/non_copyable.h"

namespace lumo::util {

// Raised by the streams on misuse or when a file cannot be opened; carries only its message.
class BinaryStreamException : public std::runtime_error {
public:
    explicit BinaryStreamException(const std::string& message) : std::runtime_error(message) {}
};

// A file by name (UTF-8) and its stdio handle; the handle is closed on destruction.
class BinaryStream : public non_copyable {
public:
    explicit BinaryStream(std::string fileName);
    virtual ~BinaryStream();

protected:
    std::string fileName_;
    std::FILE* handle_ = nullptr;
};

// Raw whole-file reader: no typed reads, no seeking, no writing.
class BinaryInputStream : public BinaryStream {
public:
    // Does not open the file.
    explicit BinaryInputStream(std::string fileName);

    // Opens in mode "rb". Throws BinaryStreamException "File already open!" when open,
    // "Failed to open file!" when the file cannot be opened (the handle stays null).
    void open();

    // Reads the rest of the file in 1024-byte chunks into `content` (replacing it);
    // true when at least one byte was read. Throws "File must be open for read() to work!",
    // and "Failed to read file!" when the system reports a read error (no partial content).
    bool read(std::string& content);

    // Up to `count` bytes; fewer (or none) at the end. Throws when not open or on a read
    // error, as above.
    std::string read(std::size_t count);

    // True once the end of the file was reached. Throws "File must be open for eof() to work!".
    bool eof() const;

    // The whole remaining content.
    std::string readAll();
};

}  // namespace lumo::util
