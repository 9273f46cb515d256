#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "net/SerialQueue.h"
#include "net/UniqueFd.h"

namespace tempik::net {

/// Read and write readiness of one descriptor, reported as jobs on a serial queue. The object
/// owns the descriptor and closes it when cancelled or destroyed. Both sources start suspended;
/// a resumed source reports again and again while the condition holds, so suspend it when there
/// is nothing to do. Create, resume, suspend, cancel and destroy it on its queue only.
class ReadinessSources {
 public:
  /// available: the bytes the descriptor holds (FIONREAD); 0 at end of stream or on an error.
  using ReadHandler = std::function<void(std::size_t available)>;
  using WriteHandler = std::function<void()>;

  ReadinessSources(std::shared_ptr<SerialQueue> queue, UniqueFd fd, ReadHandler onReadable,
                   WriteHandler onWritable);
  ReadinessSources(const ReadinessSources&) = delete;
  ReadinessSources& operator=(const ReadinessSources&) = delete;
  ~ReadinessSources();

  int descriptor() const noexcept;

  void resumeRead();
  void suspendRead();
  bool isReadSuspended() const noexcept;
  void resumeWrite();
  void suspendWrite();
  bool isWriteSuspended() const noexcept;

  /// Stops both sources for good and closes the descriptor. Idempotent.
  void cancel();

  /// Stops both sources and hands the descriptor back open.
  UniqueFd release();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace tempik::net
