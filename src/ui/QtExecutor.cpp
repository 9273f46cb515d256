#include "ui/QtExecutor.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <utility>

namespace tempik::ui {
namespace {

class TimerJob final : public core::ScheduledJob {
 public:
  TimerJob(std::chrono::milliseconds delay, std::function<void()> job)
      : timer_(std::make_unique<QTimer>()), job_(std::move(job)) {
    timer_->setSingleShot(true);
    // The controller's 300 ms key gap and 750 ms debounce should not drift by the 5 %
    // that a coarse timer allows.
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] {
      // The job may destroy this handle (and the timer) while it runs: touch nothing after.
      auto job = std::move(job_);
      job_ = nullptr;
      if (job) job();
    });
    timer_->start(delay);
  }

  void cancel() override {
    timer_->stop();
    job_ = nullptr;
  }

 private:
  std::unique_ptr<QTimer> timer_;
  std::function<void()> job_;
};

std::chrono::milliseconds timerDelay(std::chrono::steady_clock::duration delay) {
  using std::chrono::milliseconds;
  // Round up so that a job never runs early; QTimer takes at most INT_MAX milliseconds.
  const auto rounded = std::chrono::ceil<milliseconds>(std::max(delay, decltype(delay)::zero()));
  return std::min(rounded, milliseconds(std::numeric_limits<int>::max()));
}

}  // namespace

QtExecutor::QtExecutor() : context_(std::make_unique<QObject>()) {}

QtExecutor::~QtExecutor() {
  // The last owner may let go on a worker thread; the context must die on its own thread.
  if (context_->thread() != QThread::currentThread()) context_.release()->deleteLater();
}

void QtExecutor::post(std::function<void()> job) {
  QMetaObject::invokeMethod(context_.get(), std::move(job), Qt::QueuedConnection);
}

std::unique_ptr<core::ScheduledJob> QtExecutor::postAfter(std::chrono::steady_clock::duration delay,
                                                          std::function<void()> job) {
  return std::make_unique<TimerJob>(timerDelay(delay), std::move(job));
}

}  // namespace tempik::ui
