#include "io/binary_stream.h"

#include <system_error>
#include <utility>

#include "filesystem/operations.h"
#include "filesystem/path.h"

namespace lumo::util {
namespace {

constexpr std::size_t kChunkSize = 1024;

}  // namespace

BinaryStream::BinaryStream(std::string fileName) : fileName_(std::move(fileName)) {}

BinaryStream::~BinaryStream() {
    if (handle_ != nullptr) std::fclose(handle_);
}

BinaryInputStream::BinaryInputStream(std::string fileName) : BinaryStream(std::move(fileName)) {}

void BinaryInputStream::open() {
    if (handle_ != nullptr) throw BinaryStreamException("File already open!");
    try {
        handle_ = filesystem::fopen(filesystem::path(fileName_), "rb");
    } catch (const std::system_error&) {
        // A name that is not UTF-8 names no file we can open.
    }
    if (handle_ == nullptr) throw BinaryStreamException("Failed to open file!");
}

bool BinaryInputStream::read(std::string& content) {
    if (handle_ == nullptr) throw BinaryStreamException("File must be open for read() to work!");
    std::string buffer;
    while (!eof()) buffer += read(kChunkSize);
    content = std::move(buffer);
    return !content.empty();
}

std::string BinaryInputStream::read(std::size_t count) {
    if (handle_ == nullptr) throw BinaryStreamException("File must be open for read() to work!");
    std::string bytes(count, '\0');
    bytes.resize(std::fread(bytes.data(), 1, count, handle_));
    // A read error never sets the end-of-file indicator; failing here keeps the whole-file
    // read from looping forever or handing back a cut-off file as if it were complete.
    if (std::ferror(handle_)) throw BinaryStreamException("Failed to read file!");
    return bytes;
}

bool BinaryInputStream::eof() const {
    if (handle_ == nullptr) throw BinaryStreamException("File must be open for eof() to work!");
    return std::feof(handle_) != 0;
}

std::string BinaryInputStream::readAll() {
    std::string content;
    read(content);
    return content;
}

}  // namespace lumo::util
