#include "net/SerialQueue.h"

#include <asio/defer.hpp>
#include <asio/steady_timer.hpp>

#include <atomic>

#include "net/Runtime.h"

namespace tempik::net {

namespace {

// The queues whose jobs the calling thread is running, innermost first. A job that waits for
// another queue with sync() may run that queue's job inline, so there can be several.
struct RunningFrame {
  const SerialQueue* queue;
  RunningFrame* outer;
};
thread_local RunningFrame* tlsRunning = nullptr;

class RunningScope {
 public:
  explicit RunningScope(const SerialQueue* queue) : frame_{queue, tlsRunning} {
    tlsRunning = &frame_;
  }
  ~RunningScope() { tlsRunning = frame_.outer; }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;

 private:
  RunningFrame frame_;
};

// Jobs one drain runs before it yields the thread to other queues.
constexpr std::size_t kDrainBudget = 64;

}  // namespace

struct OneShotTimer::State {
  State(asio::io_context& io, std::shared_ptr<SerialQueue> owner, SerialQueue::Job work)
      : timer(io), queue(std::move(owner)), job(std::move(work)) {}

  asio::steady_timer timer;  // touched by after() and, later, on the queue only
  std::shared_ptr<SerialQueue> queue;
  SerialQueue::Job job;           // on the queue only
  std::atomic<bool> done{false};  // fired or cancelled
};

std::shared_ptr<SerialQueue> SerialQueue::create(std::string label) {
  detail::Runtime::instance();  // the threads outlive every queue
  return std::shared_ptr<SerialQueue>(new SerialQueue(std::move(label)));
}

SerialQueue::SerialQueue(std::string label) : label_(std::move(label)) {}

SerialQueue::~SerialQueue() = default;

bool SerialQueue::isCurrent() const noexcept {
  for (auto* frame = tlsRunning; frame != nullptr; frame = frame->outer) {
    if (frame->queue == this) return true;
  }
  return false;
}

void SerialQueue::async(Job job) {
  std::unique_lock lock(mutex_);
  jobs_.push_back(std::move(job));
  if (!running_) scheduleDrain(lock);
}

void SerialQueue::scheduleDrain(std::unique_lock<std::mutex>&) {
  if (drainScheduled_) return;
  drainScheduled_ = true;
  // From a pool thread the drain runs on that same thread once its current work is done (no
  // wake-up of another thread); from anywhere else it is an ordinary post.
  asio::defer(detail::Runtime::instance().io(), [self = shared_from_this()] { self->drain(); });
}

void SerialQueue::drain() {
  std::unique_lock lock(mutex_);
  drainScheduled_ = false;
  if (running_ || jobs_.empty()) return;
  running_ = true;
  runJobs(lock, kDrainBudget);
  running_ = false;
  if (!jobs_.empty()) scheduleDrain(lock);
  idleOrDone_.notify_all();
}

void SerialQueue::runJobs(std::unique_lock<std::mutex>& lock, std::size_t budget) {
  while (!jobs_.empty() && budget-- > 0) {
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    {
      RunningScope scope(this);
      job();
      job = nullptr;  // captures may end lives that call back into this queue
    }
    lock.lock();
  }
}

void SerialQueue::runSync(const std::function<void()>& job) {
  if (isCurrent()) {
    job();
    return;
  }
  bool done = false;
  std::unique_lock lock(mutex_);
  jobs_.push_back([this, &job, &done] {
    job();
    std::lock_guard doneLock(mutex_);
    done = true;
    idleOrDone_.notify_all();
  });
  while (!done) {
    if (running_) {
      idleOrDone_.wait(lock);
      continue;
    }
    // Nobody runs the queue: run it here, in order, up to and including our job, so waiting
    // never depends on a free pool thread.
    running_ = true;
    while (!done) runJobs(lock, 1);
    running_ = false;
    if (!jobs_.empty()) scheduleDrain(lock);
    idleOrDone_.notify_all();
  }
}

void SerialQueue::dispatchEvent(Job job) {
  std::unique_lock lock(mutex_);
  if (running_ || !jobs_.empty()) {
    jobs_.push_back(std::move(job));
    if (!running_) scheduleDrain(lock);
    return;
  }
  running_ = true;
  jobs_.push_back(std::move(job));
  runJobs(lock, 1);
  running_ = false;
  if (!jobs_.empty()) scheduleDrain(lock);
  idleOrDone_.notify_all();
}

namespace {

std::shared_ptr<OneShotTimer::State> startTimer(std::shared_ptr<SerialQueue> queue,
                                                SerialQueue::Duration delay, SerialQueue::Job job) {
  auto state = std::make_shared<OneShotTimer::State>(detail::Runtime::instance().io(),
                                                     std::move(queue), std::move(job));
  state->timer.expires_after(delay);
  return state;
}

}  // namespace

OneShotTimer SerialQueue::after(Duration delay, Job job) {
  auto state = startTimer(shared_from_this(), delay, std::move(job));
  OneShotTimer::arm(state);
  return OneShotTimer(std::move(state));
}

void SerialQueue::asyncAfter(Duration delay, Job job) {
  OneShotTimer::arm(startTimer(shared_from_this(), delay, std::move(job)));
}

void OneShotTimer::arm(const std::shared_ptr<State>& state) {
  state->timer.async_wait([state](const std::error_code& error) {
    if (error || state->done.load()) return;
    state->queue->dispatchEvent([state] {
      if (state->done.exchange(true)) return;
      auto job = std::move(state->job);
      state->job = nullptr;
      job();
    });
  });
}

void OneShotTimer::cancel() noexcept {
  auto state = std::move(state_);
  if (!state || state->done.exchange(true)) return;
  // The job's captures are released and the kernel timer disarmed on the queue, which is the
  // only place besides after() that touches them.
  auto release = [state] {
    state->timer.cancel();
    state->job = nullptr;
  };
  if (state->queue->isCurrent()) {
    release();
  } else {
    state->queue->async(std::move(release));
  }
}

bool OneShotTimer::isPending() const noexcept {
  return state_ && !state_->done.load();
}

}  // namespace tempik::net
