#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "link/OSCTCPFraming.h"

namespace tempik::link {

/// Splits one connection's length-framed byte stream into packets, whatever the chunking: a
/// header or packet split over several reads is carried to the next. A header announcing more
/// than maxPacketSize bytes leaves no way to find the next packet, so the stream becomes
/// unrecoverable: feed reports it and ignores everything after; the caller drops the
/// connection.
///
/// Not thread-safe: one decoder per connection, used on that connection's queue.
class LengthHeaderStreamDecoder {
 public:
  static constexpr std::size_t maxPacketSize = std::size_t{1} << 20;

  /// Sees the packet's bytes; valid only during the call. Must not feed this decoder.
  using PacketSink = std::function<void(ByteView packet)>;

  /// Hands every packet completed by chunk to sink, in stream order. Returns false once the
  /// stream is unrecoverable (packets before the bad header are still handed over).
  bool feed(ByteView chunk, const PacketSink& sink);

  struct FeedResult {
    std::vector<Bytes> packets;
    bool unrecoverable = false;
  };
  /// The same, collecting the packets.
  FeedResult feed(ByteView chunk);

  bool isUnrecoverable() const { return unrecoverable_; }

 private:
  std::array<std::uint8_t, 4> header_{};
  std::size_t headerSize_ = 0;  // header bytes collected so far
  bool inBody_ = false;
  std::size_t bodyLength_ = 0;
  Bytes body_;
  bool unrecoverable_ = false;
};

}  // namespace tempik::link
