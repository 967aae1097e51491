#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

// Little-endian reading and writing of the protocol's fields, for protocol.cpp only.

namespace lumo::openrgb::detail {

inline constexpr std::size_t kMaxStringBytes = 0xFFFE;  // a u16 length that counts the NUL
inline constexpr std::size_t kMaxCount = 0xFFFF;

// Reads fields off a payload. The first read past the end (or of a malformed string) marks the
// reader failed; every later read then returns an empty value, so a parser may read a whole
// block and check failed() once. Nothing is allocated beyond the bytes actually present.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool failed() const { return failed_; }
    std::size_t remaining() const { return failed_ ? 0 : bytes_.size() - position_; }
    bool atEnd() const { return !failed_ && position_ == bytes_.size(); }
    // For what the caller finds malformed beyond the bytes' framing.
    void fail() { failed_ = true; }

    // True when `count` items of at least `minimumSize` bytes each can still follow; marks the
    // reader failed otherwise, so a hostile count never sizes an allocation.
    bool holds(std::size_t count, std::size_t minimumSize) {
        if (!failed_ && count <= remaining() / minimumSize) return true;
        failed_ = true;
        return false;
    }

    std::uint16_t u16() { return static_cast<std::uint16_t>(take(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(take(4)); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

    // A u16 length counting the NUL, the bytes, the NUL. A length of 0 or a last byte other
    // than NUL is malformed. Bytes before the last are kept as they are, NULs included.
    std::string string() {
        const std::size_t length = u16();
        if (length == 0 || length > remaining() || bytes_[position_ + length - 1] != 0) {
            failed_ = true;
            return {};
        }
        std::string text(reinterpret_cast<const char*>(bytes_.data() + position_), length - 1);
        position_ += length;
        return text;
    }

private:
    std::uint64_t take(std::size_t size) {
        if (remaining() < size) {
            failed_ = true;
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) value |= std::uint64_t{bytes_[position_ + i]} << (8 * i);
        position_ += size;
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

// Appends fields to a payload.
class ByteWriter {
public:
    void u16(std::uint16_t value) { put(value, 2); }
    void u32(std::uint32_t value) { put(value, 4); }
    void i32(std::int32_t value) { put(static_cast<std::uint32_t>(value), 4); }
    // Longer texts are cut to the kMaxStringBytes a u16 length can carry.
    void string(std::string_view text) {
        if (text.size() > kMaxStringBytes) text = text.substr(0, kMaxStringBytes);
        u16(static_cast<std::uint16_t>(text.size() + 1));
        bytes_.append(text);
        bytes_.push_back('\0');
    }

    std::size_t size() const { return bytes_.size(); }
    // Writes `value` over the four bytes at `offset` (a size reserved earlier).
    void patchU32(std::size_t offset, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    std::string take() { return std::move(bytes_); }

private:
    void put(std::uint32_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }

    std::string bytes_;
};

}  // namespace lumo::openrgb::detail
