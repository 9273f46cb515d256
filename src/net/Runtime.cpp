#include "net/Runtime.h"

#include <asio/steady_timer.hpp>

#include "net/Platform.h"

namespace tempik::net::detail {

namespace {
constexpr int kQueueThreads = 2;
constexpr int kWorkerThreads = 2;
}  // namespace

Runtime& Runtime::instance() {
  static Runtime runtime;
  return runtime;
}

Runtime::Runtime()
    : io_(kQueueThreads), keepRunning_(asio::make_work_guard(io_)), workers_(kWorkerThreads) {
  // Makes the reactor's kernel objects (epoll, eventfd, timerfd) now rather than on the first
  // timer, so the facility holds a fixed set of descriptors from its first use on.
  asio::steady_timer{io_}.cancel();
  for (int i = 0; i < kQueueThreads; ++i) {
    threads_.emplace_back([this] {
      platform::nameThisThread("tempik-queues");
      io_.run();
    });
  }
}

Runtime::~Runtime() {
  keepRunning_.reset();
  io_.stop();
  for (auto& thread : threads_) thread.join();
  workers_.stop();
  workers_.join();
  // Jobs still queued hold their queues (and sockets their queues): run what is ready, here,
  // while the reactor still stands, so no such ring is left for the final teardown.
  io_.restart();
  for (int round = 0; round < 1000 && io_.poll() > 0; ++round) {
  }
}

}  // namespace tempik::net::detail
