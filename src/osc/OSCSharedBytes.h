#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace tempik::osc {

/// A read-only run of received bytes that shares its buffer: the messages and bundles decoded
/// from one packet keep their own bytes without copying them. Empty for values built in code.
class OSCSharedBytes {
 public:
  OSCSharedBytes() = default;
  /// Copies `bytes` into a new shared buffer.
  static OSCSharedBytes copyOf(std::span<const std::uint8_t> bytes);

  /// The part [offset, offset + count) of this run, sharing the buffer.
  OSCSharedBytes slice(std::size_t offset, std::size_t count) const {
    return OSCSharedBytes(buffer_, data_ + offset, count);
  }

  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
  bool hasValue() const { return buffer_ != nullptr; }

 private:
  OSCSharedBytes(std::shared_ptr<const std::uint8_t[]> buffer, const std::uint8_t* data,
                 std::size_t size)
      : buffer_(std::move(buffer)), data_(data), size_(size) {}

  std::shared_ptr<const std::uint8_t[]> buffer_;
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace tempik::osc
