#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <optional>

#include "link/OSCTCPFraming.h"
#include "osc/OSCPacket.h"

namespace tempik::link::testing {

/// The packet's bytes as one SLIP frame, as a console sends them.
inline Bytes slipFrame(const osc::OSCPacket& packet) {
  return slipEncode(packet.rawData());
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Generous: the machine is shared and may run the tests under a sanitizer.
inline constexpr std::chrono::milliseconds kPatience{30'000};

/// A thread-safe mailbox: callbacks push, the test waits with a deadline.
template <class T>
class Inbox {
 public:
  void push(T value) {
    {
      std::lock_guard lock(mutex_);
      items_.push_back(std::move(value));
    }
    ready_.notify_all();
  }

  std::optional<T> pop(std::chrono::steady_clock::duration timeout = kPatience) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, timeout, [this] { return !items_.empty(); })) return std::nullopt;
    T value = std::move(items_.front());
    items_.pop_front();
    return value;
  }

  std::size_t size() const {
    std::lock_guard lock(mutex_);
    return items_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<T> items_;
};

}  // namespace tempik::link::testing
