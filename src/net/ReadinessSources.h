#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "net/Platform.h"
#include "net/SerialQueue.h"
#include "net/UniqueFd.h"

namespace tempik::net {

/// Read and write readiness of one socket, reported as jobs on a serial queue. The object owns
/// the socket and closes it when cancelled or destroyed. Both sources start suspended;
/// a resumed source reports again and again while the condition holds, so suspend it when there
/// is nothing to do. Create, resume, suspend, cancel and destroy it on its queue only.
class ReadinessSources {
 public:
  /// available: the bytes the socket holds (FIONREAD); 0 at end of stream or on an error.
  /// error: the errno code of a wait that failed (Windows reports a reset there), else 0.
  using ReadHandler = std::function<void(std::size_t available, int error)>;
  using WriteHandler = std::function<void()>;

  /// family: the socket's address family (AF_INET, AF_INET6).
  ReadinessSources(std::shared_ptr<SerialQueue> queue, UniqueFd fd, int family,
                   ReadHandler onReadable, WriteHandler onWritable);
  ReadinessSources(const ReadinessSources&) = delete;
  ReadinessSources& operator=(const ReadinessSources&) = delete;
  ~ReadinessSources();

  platform::SocketHandle descriptor() const noexcept;

  void resumeRead();
  void suspendRead();
  bool isReadSuspended() const noexcept;
  void resumeWrite();
  void suspendWrite();
  bool isWriteSuspended() const noexcept;

  /// Replaces both handlers (also from inside one of them), as a connect watch becomes the
  /// connection's sources.
  void setHandlers(ReadHandler onReadable, WriteHandler onWritable);

  /// Stops both sources for good and closes the descriptor. Idempotent.
  void cancel();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace tempik::net
