#pragma once

#include <asio/executor_work_guard.hpp>
#include <asio/io_context.hpp>
#include <asio/thread_pool.hpp>

#include <thread>
#include <vector>

namespace tempik::net::detail {

/// The threads under the work-queue facility: two run queues, timers and readiness events,
/// two more run blocking calls. Started on first use, stopped and joined at exit. While nothing
/// happens every thread sleeps in the kernel (no polling, no periodic timer).
class Runtime {
 public:
  static Runtime& instance();

  asio::io_context& io() noexcept { return io_; }
  asio::thread_pool& workers() noexcept { return workers_; }

  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;
  ~Runtime();

 private:
  Runtime();

  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> keepRunning_;
  asio::thread_pool workers_;
  std::vector<std::thread> threads_;
};

}  // namespace tempik::net::detail
