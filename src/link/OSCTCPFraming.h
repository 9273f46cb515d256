#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

// How OSC packets are delimited on a TCP byte stream, and the pure (stateless) encoders and
// decoders of both conventions. Everything here may be called from any thread.
namespace tempik::link {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

enum class OSCTCPFramingMode {
  osc1_0,  ///< each packet is preceded by its length as a 4-byte big-endian header
  osc1_1,  ///< each packet is SLIP-framed, with END on both sides
  none,    ///< reserved: packets go out unframed and each received chunk is one packet
};

/// The modes offered to users (none is reserved).
inline constexpr std::array<OSCTCPFramingMode, 2> allFramingModes{OSCTCPFramingMode::osc1_0,
                                                                  OSCTCPFramingMode::osc1_1};

namespace slip {
inline constexpr std::uint8_t END = 0xC0;
inline constexpr std::uint8_t ESC = 0xDB;
inline constexpr std::uint8_t ESC_END = 0xDC;
inline constexpr std::uint8_t ESC_ESC = 0xDD;
}  // namespace slip

enum class OSCTCPPacketLengthHeaderDecodingError { notEnoughBytes };
enum class OSCTCPSLIPDecodingError { doubleEscapeBytes, missingEscapedCharacter };

std::string_view description(OSCTCPPacketLengthHeaderDecodingError error);
std::string_view description(OSCTCPSLIPDecodingError error);

/// Either every packet of the chunk, in stream order, or the error: never both.
using PacketLengthHeaderDecodeResult =
    std::variant<std::vector<Bytes>, OSCTCPPacketLengthHeaderDecodingError>;
using SLIPDecodeResult = std::variant<std::vector<Bytes>, OSCTCPSLIPDecodingError>;

/// The 4-byte big-endian length, then the packet. The packet must be shorter than 4 GiB.
Bytes packetLengthHeaderEncode(ByteView packet);
PacketLengthHeaderDecodeResult packetLengthHeaderDecode(ByteView chunk);

/// END, the packet with END and ESC escaped, END.
Bytes slipEncode(ByteView packet);
/// Splits one chunk on its own; a malformed escape anywhere loses the whole chunk. Connections
/// use SlipStreamDecoder instead, which carries partial frames and loses only the bad frame.
SLIPDecodeResult slipDecode(ByteView chunk);

/// Frames one outgoing packet by mode.
Bytes frame(OSCTCPFramingMode mode, ByteView packet);

}  // namespace tempik::link
