#include "osc/OSCValueDecoder.h"

#include <string>

namespace tempik::osc {

void OSCValueDecoder::fail(const char* text) {
  throw OSCDecodeError::malformed(text);
}

void OSCValueDecoder::failRead(std::int64_t byteLength, std::size_t remaining) {
  if (byteLength < 0) {
    throw OSCDecodeError::internalInconsistency(
        "Negative byte count requested while parsing data: " + std::to_string(byteLength));
  }
  throw OSCDecodeError::malformed(
      "Not enough bytes remain in data stream while parsing data. Attempted to read " +
      std::to_string(byteLength) + " bytes but only " + std::to_string(remaining) +
      " bytes remain.");
}

void OSCValueDecoder::failArrayDepth() {
  throw OSCDecodeError::malformed("Arrays are nested deeper than " +
                                  std::to_string(kMaxArrayDepth) + " levels.");
}

void OSCValueDecoder::advancePosition(std::int64_t byteCount) {
  if (byteCount < 0) {
    throw OSCDecodeError::malformed("Attempted to move byte read position backwards by " +
                                    std::to_string(-byteCount) + " bytes.");
  }
  const std::size_t remaining = remainingByteCount();
  if (static_cast<std::uint64_t>(byteCount) > remaining) {
    throw OSCDecodeError::malformed(
        "Attempted to advance byte read position past end of available bytes. " +
        std::to_string(remaining) + " bytes remain but " + std::to_string(byteCount) +
        " were advanced.");
  }
  pos_ += static_cast<std::size_t>(byteCount);
}

}  // namespace tempik::osc
