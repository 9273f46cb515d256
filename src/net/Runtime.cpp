#include "net/Runtime.h"

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
  for (int i = 0; i < kQueueThreads; ++i) threads_.emplace_back([this] { io_.run(); });
}

Runtime::~Runtime() {
  keepRunning_.reset();
  io_.stop();
  for (auto& thread : threads_) thread.join();
  workers_.stop();
  workers_.join();
}

}  // namespace tempik::net::detail
