#include "osc/OSCSharedBytes.h"

#include <cstring>

namespace tempik::osc {

OSCSharedBytes OSCSharedBytes::copyOf(std::span<const std::uint8_t> bytes) {
  std::shared_ptr<std::uint8_t[]> buffer =
      std::make_shared_for_overwrite<std::uint8_t[]>(bytes.size());
  if (!bytes.empty()) std::memcpy(buffer.get(), bytes.data(), bytes.size());
  const std::uint8_t* data = buffer.get();
  return OSCSharedBytes(std::move(buffer), data, bytes.size());
}

}  // namespace tempik::osc
