#pragma once

#include <QByteArray>
#include <cstddef>
#include <random>

namespace tempik::faults {

// The same `size` random bytes for the same `seed`, so a failing case can be re-run.
inline QByteArray garbageBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  QByteArray bytes;
  for (std::size_t i = 0; i < size; ++i) bytes.append(static_cast<char>(random()));
  return bytes;
}

}  // namespace tempik::faults
