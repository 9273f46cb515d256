#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "link/OSCTCPFraming.h"

namespace tempik::link {

/// Splits one connection's SLIP byte stream into frames, whatever the chunking: a frame split
/// over several reads is carried (pending escape included) until its END. A malformed escape
/// loses only the frame it is in; decoding resumes after the next END. A frame never grows
/// past maxFrameSize: beyond it the frame is discarded up to the next END.
///
/// A peer that never sends the closing END is not stalled: when a chunk ends inside a frame
/// that isWholePacket accepts, that frame is delivered at once.
///
/// Not thread-safe: one decoder per connection, used on that connection's queue.
class SlipStreamDecoder {
 public:
  static constexpr std::size_t maxFrameSize = std::size_t{1} << 20;

  /// Sees the frame's bytes; valid only during the call. Must not feed this decoder.
  using FrameSink = std::function<void(ByteView frame)>;
  using WholePacketCheck = std::function<bool(ByteView frame)>;

  SlipStreamDecoder() = default;
  explicit SlipStreamDecoder(WholePacketCheck isWholePacket);

  /// Hands every frame completed by chunk to sink, in stream order.
  void feed(ByteView chunk, const FrameSink& sink);
  /// The same, collecting the frames.
  std::vector<Bytes> feed(ByteView chunk);

  /// Bytes held for the unfinished frame.
  std::size_t pendingSize() const { return frame_.size(); }

 private:
  void append(ByteView bytes);
  void dropFrame();

  WholePacketCheck isWholePacket_;
  Bytes frame_;
  bool escapePending_ = false;
  bool discarding_ = false;  // skipping to the next END after a bad escape or an oversized frame
};

}  // namespace tempik::link
