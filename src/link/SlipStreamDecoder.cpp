#include "link/SlipStreamDecoder.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tempik::link {

namespace {

// The first END or ESC in [from, to), or to: sixteen bytes at a time where the chunk has them,
// one pass for both bytes.
const std::uint8_t* findSpecial(const std::uint8_t* from, const std::uint8_t* to) {
#if defined(__SSE2__)
  const __m128i end = _mm_set1_epi8(static_cast<char>(slip::END));
  const __m128i escape = _mm_set1_epi8(static_cast<char>(slip::ESC));
  for (; to - from >= 16; from += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const auto marks = static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, end), _mm_cmpeq_epi8(v, escape))));
    if (marks != 0) return from + std::countr_zero(marks);
  }
#endif
  while (from != to && *from != slip::END && *from != slip::ESC) ++from;
  return from;
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
