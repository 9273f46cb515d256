#include "net/ReadinessSources.h"

#include <sys/ioctl.h>

#include <asio/posix/stream_descriptor.hpp>

#include "net/Runtime.h"

namespace tempik::net {

// Asio reports readiness once per wait; a resumed source waits again after each report, which
// gives the level-triggered behaviour callers expect. Everything here runs on the queue except
// the wait completions, which only hand over to the queue.
struct ReadinessSources::State : std::enable_shared_from_this<State> {
  enum Direction { kRead = 0, kWrite = 1 };

  State(std::shared_ptr<SerialQueue> owner, UniqueFd fd, ReadHandler onRead, WriteHandler onWrite)
      : descriptor(detail::Runtime::instance().io(), fd.release()),
        queue(std::move(owner)),
        onReadable(std::move(onRead)),
        onWritable(std::move(onWrite)) {}

  void resume(Direction direction) {
    resumed[direction] = true;
    arm(direction);
  }

  void arm(Direction direction) {
    if (armed[direction] || stopped) return;
    armed[direction] = true;
    auto wait = direction == kRead ? asio::posix::descriptor_base::wait_read
                                   : asio::posix::descriptor_base::wait_write;
    descriptor.async_wait(wait, [self = shared_from_this(), direction](const std::error_code& e) {
      self->queue->dispatchEvent([self, direction, e] { self->fired(direction, e); });
    });
  }

  void fired(Direction direction, const std::error_code& error) {
    armed[direction] = false;
    if (stopped || error == asio::error::operation_aborted || !resumed[direction]) return;
    if (direction == kRead) {
      int available = 0;
      if (::ioctl(descriptor.native_handle(), FIONREAD, &available) < 0) available = 0;
      onReadable(static_cast<std::size_t>(available));
    } else {
      onWritable();
    }
    if (!stopped && resumed[direction]) arm(direction);
  }

  void stop() {
    stopped = true;
    resumed[kRead] = resumed[kWrite] = false;
    // Handlers may own the socket that owns us; let them go with the last wait.
  }

  asio::posix::stream_descriptor descriptor;
  std::shared_ptr<SerialQueue> queue;
  ReadHandler onReadable;
  WriteHandler onWritable;
  bool resumed[2] = {false, false};
  bool armed[2] = {false, false};
  bool stopped = false;
};

ReadinessSources::ReadinessSources(std::shared_ptr<SerialQueue> queue, UniqueFd fd,
                                   ReadHandler onReadable, WriteHandler onWritable)
    : state_(std::make_shared<State>(std::move(queue), std::move(fd), std::move(onReadable),
                                     std::move(onWritable))) {}

ReadinessSources::~ReadinessSources() {
  cancel();
}

int ReadinessSources::descriptor() const noexcept {
  return state_->stopped ? -1 : state_->descriptor.native_handle();
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
  state_->descriptor.close(ignored);  // aborts the waits; the descriptor is closed once, here
}

UniqueFd ReadinessSources::release() {
  if (state_->stopped) return UniqueFd();
  state_->stop();
  return UniqueFd(state_->descriptor.release());
}

}  // namespace tempik::net
