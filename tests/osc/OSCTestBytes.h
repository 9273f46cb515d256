#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "osc/OSCErrors.h"

namespace tempik::osc::test {

using Bytes = std::vector<std::uint8_t>;

/// Bytes written as numbers: bytesOf({0x2F, 0x61, 0, 0}).
inline Bytes bytesOf(std::initializer_list<int> values) {
  Bytes out;
  for (const int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

/// Bytes written as text, embedded zeros included: bytesOf("/a\0\0"sv).
inline Bytes bytesOf(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

/// The decode error's text, or "(decoded)" when the bytes decode.
template <class Decoded>
std::string decodeFailure(const Bytes& bytes) {
  try {
    Decoded::decode(bytes);
  } catch (const OSCDecodeError& error) {
    return error.description();
  }
  return "(decoded)";
}

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace tempik::osc::test
