#include "link/SlipStreamDecoder.h"

#include <algorithm>
#include <cstring>

namespace tempik::link {

namespace {

// The first END or ESC in [from, to), or to. Two vectorised scans beat one byte-wise loop.
const std::uint8_t* findSpecial(const std::uint8_t* from, const std::uint8_t* to) {
  const void* end = std::memchr(from, slip::END, static_cast<std::size_t>(to - from));
  const auto* limit = end ? static_cast<const std::uint8_t*>(end) : to;
  const void* escape = std::memchr(from, slip::ESC, static_cast<std::size_t>(limit - from));
  return escape ? static_cast<const std::uint8_t*>(escape) : limit;
}

}  // namespace

SlipStreamDecoder::SlipStreamDecoder(WholePacketCheck isWholePacket)
    : isWholePacket_(std::move(isWholePacket)) {}

void SlipStreamDecoder::append(ByteView bytes) {
  if (discarding_) return;
  if (bytes.size() > maxFrameSize - frame_.size()) {
    dropFrame();
    return;
  }
  frame_.insert(frame_.end(), bytes.begin(), bytes.end());
}

void SlipStreamDecoder::dropFrame() {
  frame_.clear();
  // An oversized frame may have grown the buffer to the cap: give that memory back.
  if (frame_.capacity() > 64 * 1024) frame_.shrink_to_fit();
  escapePending_ = false;
  discarding_ = true;
}

void SlipStreamDecoder::feed(ByteView chunk, const FrameSink& sink) {
  const std::uint8_t* position = chunk.data();
  const std::uint8_t* const end = chunk.data() + chunk.size();
  while (position != end) {
    if (discarding_) {
      position = std::find(position, end, slip::END);
      if (position == end) break;
      discarding_ = false;
      ++position;
      continue;
    }
    if (escapePending_) {
      const std::uint8_t byte = *position++;
      escapePending_ = false;
      if (byte == slip::ESC_END) {
        append(ByteView(&slip::END, 1));
      } else if (byte == slip::ESC_ESC) {
        append(ByteView(&slip::ESC, 1));
      } else {
        dropFrame();
        if (byte == slip::END) discarding_ = false;  // that END already closes the bad frame
      }
      continue;
    }
    const std::uint8_t* const runEnd = findSpecial(position, end);
    const ByteView run(position, static_cast<std::size_t>(runEnd - position));
    if (runEnd != end && *runEnd == slip::END && frame_.empty()) {
      // A whole frame inside this chunk: hand it over without copying.
      if (!run.empty() && run.size() <= maxFrameSize) sink(run);
    } else {
      append(run);
      if (runEnd != end && *runEnd == slip::END && !discarding_) {
        sink(frame_);
        frame_.clear();
      }
    }
    if (runEnd == end) break;
    if (*runEnd == slip::ESC) escapePending_ = !discarding_;
    discarding_ = discarding_ && *runEnd != slip::END;
    position = runEnd + 1;
  }
  if (!frame_.empty() && !escapePending_ && !discarding_ && isWholePacket_ &&
      isWholePacket_(frame_)) {
    sink(frame_);
    frame_.clear();
  }
}

std::vector<Bytes> SlipStreamDecoder::feed(ByteView chunk) {
  std::vector<Bytes> frames;
  feed(chunk, [&frames](ByteView frame) { frames.emplace_back(frame.begin(), frame.end()); });
  return frames;
}

}  // namespace tempik::link
