#include "link/OSCTCPFraming.h"

#include <utility>

namespace tempik::link {

std::string_view description(OSCTCPPacketLengthHeaderDecodingError error) {
  switch (error) {
    case OSCTCPPacketLengthHeaderDecodingError::notEnoughBytes:
      return "Not enough bytes.";
  }
  return {};
}

std::string_view description(OSCTCPSLIPDecodingError error) {
  switch (error) {
    case OSCTCPSLIPDecodingError::doubleEscapeBytes:
      return "SLIP packet data is malformed. Double escape bytes encountered.";
    case OSCTCPSLIPDecodingError::missingEscapedCharacter:
      return "SLIP packet data is malformed. Encountered an escape byte but missing subsequent "
             "escaped character.";
  }
  return {};
}

Bytes packetLengthHeaderEncode(ByteView packet) {
  const auto length = static_cast<std::uint32_t>(packet.size());
  Bytes out;
  out.reserve(4 + packet.size());
  out.push_back(static_cast<std::uint8_t>(length >> 24));
  out.push_back(static_cast<std::uint8_t>(length >> 16));
  out.push_back(static_cast<std::uint8_t>(length >> 8));
  out.push_back(static_cast<std::uint8_t>(length));
  out.insert(out.end(), packet.begin(), packet.end());
  return out;
}

PacketLengthHeaderDecodeResult packetLengthHeaderDecode(ByteView chunk) {
  std::vector<Bytes> packets;
  std::size_t position = 0;
  while (position < chunk.size()) {
    if (chunk.size() - position < 4) return OSCTCPPacketLengthHeaderDecodingError::notEnoughBytes;
    const std::size_t length = (std::size_t{chunk[position]} << 24) |
                               (std::size_t{chunk[position + 1]} << 16) |
                               (std::size_t{chunk[position + 2]} << 8) | chunk[position + 3];
    position += 4;
    if (chunk.size() - position < length) {
      return OSCTCPPacketLengthHeaderDecodingError::notEnoughBytes;
    }
    packets.emplace_back(chunk.begin() + static_cast<std::ptrdiff_t>(position),
                         chunk.begin() + static_cast<std::ptrdiff_t>(position + length));
    position += length;
  }
  return packets;
}

Bytes slipEncode(ByteView packet) {
  Bytes out;
  out.reserve(packet.size() + packet.size() / 10);
  out.push_back(slip::END);
  for (const std::uint8_t byte : packet) {
    if (byte == slip::END) {
      out.push_back(slip::ESC);
      out.push_back(slip::ESC_END);
    } else if (byte == slip::ESC) {
      out.push_back(slip::ESC);
      out.push_back(slip::ESC_ESC);
    } else {
      out.push_back(byte);
    }
  }
  out.push_back(slip::END);
  return out;
}

SLIPDecodeResult slipDecode(ByteView chunk) {
  std::vector<Bytes> packets;
  Bytes frame;
  bool escapePending = false;
  for (const std::uint8_t byte : chunk) {
    if (escapePending) {
      if (byte == slip::ESC_END) {
        frame.push_back(slip::END);
      } else if (byte == slip::ESC_ESC) {
        frame.push_back(slip::ESC);
      } else if (byte == slip::ESC) {
        return OSCTCPSLIPDecodingError::doubleEscapeBytes;
      } else {
        return OSCTCPSLIPDecodingError::missingEscapedCharacter;
      }
      escapePending = false;
    } else if (byte == slip::END) {
      if (!frame.empty()) packets.push_back(std::exchange(frame, {}));
    } else if (byte == slip::ESC) {
      escapePending = true;
    } else {
      frame.push_back(byte);
    }
  }
  if (escapePending) return OSCTCPSLIPDecodingError::missingEscapedCharacter;
  if (!frame.empty()) packets.push_back(std::move(frame));
  return packets;
}

Bytes frame(OSCTCPFramingMode mode, ByteView packet) {
  switch (mode) {
    case OSCTCPFramingMode::osc1_0:
      return packetLengthHeaderEncode(packet);
    case OSCTCPFramingMode::osc1_1:
      return slipEncode(packet);
    case OSCTCPFramingMode::none:
      break;
  }
  return Bytes(packet.begin(), packet.end());
}

}  // namespace tempik::link
