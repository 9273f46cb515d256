#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

// Every number on the OSC wire is big-endian.
namespace tempik::osc {

inline std::uint32_t loadBigEndian32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
  return v;
}

inline std::uint64_t loadBigEndian64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  return v;
}

// Byte by byte: with the capacity reserved up front these stay inline, unlike range inserts.
inline void appendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline void appendBigEndian64(std::vector<std::uint8_t>& out, std::uint64_t v) {
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

/// Appends `count` zero bytes.
inline void appendZeros(std::vector<std::uint8_t>& out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) out.push_back(0);
}

}  // namespace tempik::osc
