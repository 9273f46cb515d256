#include "net/ReadinessSources.h"

#include <asio/generic/stream_protocol.hpp>

#include "net/Runtime.h"

namespace tempik::net {

namespace {

asio::socket_base::wait_type asioWait(platform::Wait wait) {
  switch (wait) {
    case platform::Wait::read:
      return asio::socket_base::wait_read;
    case platform::Wait::write:
      return asio::socket_base::wait_write;
    case platform::Wait::error:
      break;
  }
  return asio::socket_base::wait_error;
}

}  // namespace

// Asio reports readiness once per wait; a resumed source waits again after each report, which
// gives the level-triggered behaviour callers expect. A direction may need several waits (the
// platform's writable waits): whichever fires reports, and each is armed again on its own.
// Everything here runs on the queue except the wait completions, which only hand over to it.
struct ReadinessSources::State : std::enable_shared_from_this<State> {
  enum Direction { kRead = 0, kWrite = 1 };
  static constexpr std::size_t kMaxWaits = 2;

  State(std::shared_ptr<SerialQueue> owner, UniqueFd fd, int family, ReadHandler onRead,
        WriteHandler onWrite)
      : socket(detail::Runtime::instance().io()),
        queue(std::move(owner)),
        onReadable(std::move(onRead)),
        onWritable(std::move(onWrite)) {
    // Asio only waits on the socket; every call on it is the socket layer's own. A socket is
    // handed to Asio once in its life: Windows cannot take it back from a completion port.
    std::error_code error;
    const auto handle = fd.get();
    socket.assign(asio::generic::stream_protocol(family, IPPROTO_TCP), handle, error);
    if (error) {
      stopped = true;  // fd still owns the socket and closes it
      return;
    }
    fd.release();
    static constexpr platform::Wait kReadable[] = {platform::Wait::read};
    waits[kRead] = kReadable;
    waits[kWrite] = platform::writableWaits();
  }

  void resume(Direction direction) {
    resumed[direction] = true;
    arm(direction);
  }

  void arm(Direction direction) {
    if (stopped) return;
    for (std::size_t i = 0; i < waits[direction].size() && i < kMaxWaits; ++i) {
      if (armed[direction][i]) continue;
      armed[direction][i] = true;
      socket.async_wait(asioWait(waits[direction][i]), [self = shared_from_this(), direction,
                                                        i](const std::error_code& e) {
        self->queue->dispatchEvent([self, direction, i, e] { self->fired(direction, i, e); });
      });
    }
  }

  void fired(Direction direction, std::size_t wait, const std::error_code& error) {
    armed[direction][wait] = false;
    if (stopped || error == asio::error::operation_aborted || !resumed[direction]) return;
    // The handler may replace itself (setHandlers): it is moved out while it runs and put back
    // unless it was.
    if (direction == kRead) {
      auto handler = std::move(onReadable);
      const auto handle = static_cast<platform::SocketHandle>(socket.native_handle());
      handler(platform::bytesAvailable(handle), platform::errnoOf(error));
      if (!onReadable) onReadable = std::move(handler);
    } else {
      auto handler = std::move(onWritable);
      handler();
      if (!onWritable) onWritable = std::move(handler);
    }
    if (!stopped && resumed[direction]) arm(direction);
  }

  void stop() {
    stopped = true;
    resumed[kRead] = resumed[kWrite] = false;
    // Handlers may own the socket that owns us; let them go with the last wait.
  }

  asio::generic::stream_protocol::socket socket;
  std::shared_ptr<SerialQueue> queue;
  ReadHandler onReadable;
  WriteHandler onWritable;
  std::span<const platform::Wait> waits[2];
  bool resumed[2] = {false, false};
  bool armed[2][kMaxWaits] = {};
  bool stopped = false;
};

ReadinessSources::ReadinessSources(std::shared_ptr<SerialQueue> queue, UniqueFd fd, int family,
                                   ReadHandler onReadable, WriteHandler onWritable)
    : state_(std::make_shared<State>(std::move(queue), std::move(fd), family, std::move(onReadable),
                                     std::move(onWritable))) {}

ReadinessSources::~ReadinessSources() {
  cancel();
}

platform::SocketHandle ReadinessSources::descriptor() const noexcept {
  return state_->stopped ? platform::kNoSocket
                         : static_cast<platform::SocketHandle>(state_->socket.native_handle());
}

void ReadinessSources::setHandlers(ReadHandler onReadable, WriteHandler onWritable) {
  state_->onReadable = std::move(onReadable);
  state_->onWritable = std::move(onWritable);
}

void ReadinessSources::resumeRead() {
  state_->resume(State::kRead);
}
void ReadinessSources::suspendRead() {
  state_->resumed[State::kRead] = false;
}
bool ReadinessSources::isReadSuspended() const noexcept {
  return !state_->resumed[State::kRead];
}
void ReadinessSources::resumeWrite() {
  state_->resume(State::kWrite);
}
void ReadinessSources::suspendWrite() {
  state_->resumed[State::kWrite] = false;
}
bool ReadinessSources::isWriteSuspended() const noexcept {
  return !state_->resumed[State::kWrite];
}

void ReadinessSources::cancel() {
  if (state_->stopped) return;
  state_->stop();
  std::error_code ignored;
  state_->socket.close(ignored);  // aborts the waits; the descriptor is closed once, here
}

}  // namespace tempik::net
