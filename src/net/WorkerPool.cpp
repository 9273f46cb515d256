#include "net/WorkerPool.h"

#include <asio/post.hpp>

#include "net/Runtime.h"

namespace tempik::net {

void WorkerPool::post(std::function<void()> job) {
  asio::post(detail::Runtime::instance().workers(), std::move(job));
}

}  // namespace tempik::net
