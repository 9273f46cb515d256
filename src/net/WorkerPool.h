#pragma once

#include <functional>

namespace tempik::net {

/// The shared pool of background workers for calls that block (name resolution). Jobs run
/// concurrently with each other and with every queue; post from any thread.
class WorkerPool {
 public:
  static void post(std::function<void()> job);
};

}  // namespace tempik::net
