#include "link/LengthHeaderStreamDecoder.h"

#include <algorithm>

namespace tempik::link {

bool LengthHeaderStreamDecoder::feed(ByteView chunk, const PacketSink& sink) {
  std::size_t position = 0;
  while (!unrecoverable_ && position < chunk.size()) {
    const std::size_t available = chunk.size() - position;
    if (!inBody_) {
      const std::size_t take = std::min(available, header_.size() - headerSize_);
      std::copy_n(chunk.begin() + static_cast<std::ptrdiff_t>(position), take,
                  header_.begin() + static_cast<std::ptrdiff_t>(headerSize_));
      headerSize_ += take;
      position += take;
      if (headerSize_ < header_.size()) break;
      headerSize_ = 0;
      bodyLength_ = (std::size_t{header_[0]} << 24) | (std::size_t{header_[1]} << 16) |
                    (std::size_t{header_[2]} << 8) | header_[3];
      if (bodyLength_ > maxPacketSize) {
        unrecoverable_ = true;
        break;
      }
      const std::size_t rest = chunk.size() - position;
      if (rest >= bodyLength_) {
        // The whole packet is in this chunk: hand it over without copying.
        sink(chunk.subspan(position, bodyLength_));
        position += bodyLength_;
      } else {
        inBody_ = true;
        body_.clear();
        body_.reserve(bodyLength_);
      }
      continue;
    }
    const std::size_t take = std::min(available, bodyLength_ - body_.size());
    body_.insert(body_.end(), chunk.begin() + static_cast<std::ptrdiff_t>(position),
                 chunk.begin() + static_cast<std::ptrdiff_t>(position + take));
    position += take;
    if (body_.size() == bodyLength_) {
      inBody_ = false;
      sink(body_);
      body_.clear();
    }
  }
  return !unrecoverable_;
}

LengthHeaderStreamDecoder::FeedResult LengthHeaderStreamDecoder::feed(ByteView chunk) {
  FeedResult result;
  result.unrecoverable = !feed(chunk, [&result](ByteView packet) {
    result.packets.emplace_back(packet.begin(), packet.end());
  });
  return result;
}

}  // namespace tempik::link
