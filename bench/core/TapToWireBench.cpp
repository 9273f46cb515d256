// How long a tap that changes the tempo takes to reach the console: from tap() on the
// executor's thread to the tempo command's last byte read by a console on loopback. Beside
// it, measured in the same run and interleaved with it, the floor: three hand-offs between
// threads and a write() to read() on loopback, with none of tempik's code.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/TempoController.h"
#include "link/EosOscTransport.h"
#include "support/Fakes.h"
#include "support/QueueExecutor.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using tempik::core::TempoController;

constexpr std::uint8_t slipEnd = 0xC0;
constexpr auto patience = 10s;

class Socket {
 public:
  explicit Socket(int fd = -1) : fd_(fd) {}
  Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Socket& operator=(Socket&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  [[nodiscard]] int fd() const { return fd_; }

 private:
  int fd_;
};

sockaddr_in loopbackAddress(const std::string& host, std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  ::inet_pton(AF_INET, host.c_str(), &address.sin_addr);
  return address;
}

Socket listenOn(const std::string& host, std::uint16_t port) {
  Socket listener(::socket(AF_INET, SOCK_STREAM, 0));
  const int yes = 1;
  ::setsockopt(listener.fd(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  const sockaddr_in address = loopbackAddress(host, port);
  if (::bind(listener.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener.fd(), 4) != 0) {
    return Socket{};
  }
  return listener;
}

/// Reads a connection on a thread of its own and notes when each SLIP frame's last byte
/// was read.
class FrameReader {
 public:
  explicit FrameReader(Socket connection)
      : connection_(std::move(connection)), thread_([this] { run(); }) {}
  ~FrameReader() {
    ::shutdown(connection_.fd(), SHUT_RDWR);
    thread_.join();
  }

  [[nodiscard]] std::size_t frames() const {
    const std::lock_guard lock(mutex_);
    return completions_.size();
  }

  /// When frame number `index` (from 0) was complete; nothing after the deadline.
  std::optional<Clock::time_point> waitForFrame(std::size_t index, Clock::duration deadline) const {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, deadline, [&] { return completions_.size() > index; })) {
      return std::nullopt;
    }
    return completions_[index];
  }
  Clock::time_point waitForFrame(std::size_t index) const {
    if (auto at = waitForFrame(index, patience)) return *at;
    throw std::runtime_error("no frame from the console connection");
  }

 private:
  void run() {
    std::uint8_t buffer[4096];
    bool inFrame = false;
    for (;;) {
      const ssize_t size = ::read(connection_.fd(), buffer, sizeof buffer);
      const auto now = Clock::now();
      if (size <= 0) return;
      std::size_t completed = 0;
      for (ssize_t i = 0; i < size; ++i) {
        if (buffer[i] != slipEnd) {
          inFrame = true;
          if (frame_.size() < ping.size()) frame_.push_back(char(buffer[i]));
        } else if (inFrame) {
          // The controller's pings are not what the benchmark times.
          if (frame_ != ping) ++completed;
          inFrame = false;
          frame_.clear();
        }
      }
      if (completed == 0) continue;
      {
        const std::lock_guard lock(mutex_);
        completions_.insert(completions_.end(), completed, now);
      }
      arrived_.notify_all();
    }
  }

  static constexpr std::string_view ping = "/eos/ping";
  std::string frame_;  // the start of the frame being read
  Socket connection_;
  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  std::vector<Clock::time_point> completions_;
  std::thread thread_;
};

/// A thread that runs the jobs handed to it, woken by a condition variable.
class HandOffThread {
 public:
  HandOffThread() : thread_([this] { run(); }) {}
  ~HandOffThread() {
    post(nullptr);
    thread_.join();
  }
  void post(std::function<void()> job) {
    {
      const std::lock_guard lock(mutex_);
      jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
  }

 private:
  void run() {
    for (;;) {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return !jobs_.empty(); });
      auto job = std::move(jobs_.front());
      jobs_.pop_front();
      lock.unlock();
      if (!job) return;
      job();
    }
  }
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  std::thread thread_;
};

/// The floor: the caller hands to first, first to second, second to third, which writes a
/// tempo command's worth of bytes to a loopback connection that a reader thread reads.
class Floor {
 public:
  Floor() {
    Socket listener = listenOn("127.0.0.1", 0);
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(listener.fd(), reinterpret_cast<sockaddr*>(&address), &length);
    writer_ = Socket(::socket(AF_INET, SOCK_STREAM, 0));
    ::connect(writer_.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int yes = 1;
    ::setsockopt(writer_.fd(), IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    reader_ = std::make_unique<FrameReader>(Socket(::accept(listener.fd(), nullptr, nullptr)));
    frame_.assign(44, 'x');
    frame_.back() = slipEnd;
  }

  Clock::duration oneRound() {
    const std::size_t index = reader_->frames();
    const auto start = Clock::now();
    first_.post([this] {
      second_.post([this] {
        third_.post([this] {
          if (::write(writer_.fd(), frame_.data(), frame_.size()) < 0) std::abort();
        });
      });
    });
    return reader_->waitForFrame(index) - start;
  }

 private:
  Socket writer_;
  std::unique_ptr<FrameReader> reader_;
  std::vector<std::uint8_t> frame_;
  HandOffThread first_, second_, third_;
};

/// The controller on the real transport, connected to a console of its own on loopback
/// (port 3038 of a random 127.x.y.z), its Effect key presses over.
class TapToWire {
 public:
  TapToWire() {
    std::random_device random;
    std::uniform_int_distribution<int> octet(1, 254);
    Socket listener;
    std::string host;
    for (int tries = 0; tries < 20 && listener.fd() < 0; ++tries) {
      host = "127." + std::to_string(octet(random)) + "." + std::to_string(octet(random)) + "." +
             std::to_string(octet(random));
      listener = listenOn(host, 3038);
    }
    if (listener.fd() < 0) throw std::runtime_error("no free loopback address for port 3038");

    transport_ = tempik::link::EosOscTransport::create(
        [weak = std::weak_ptr<tempik::fakes::QueueExecutor>(executor_)](std::function<void()> job) {
          if (const auto executor = weak.lock()) executor->post(std::move(job));
        });
    auto store = std::make_shared<tempik::fakes::MemorySettingsStore>(
        tempik::fakes::MemorySettingsStore::Values{{"eosIP", host}, {"bpmFX", "1"}});
    controller_ = executor_->call([&] {
      return TempoController::create(
          {executor_, std::make_shared<tempik::core::SystemWallClock>(), store, transport_});
    });
    console_ = std::make_unique<FrameReader>(Socket(::accept(listener.fd(), nullptr, nullptr)));
    console_->waitForFrame(1);  // both Effect key presses

    // Taps are dropped while the key presses finish: tap until one gets through.
    for (int tries = 0;; ++tries) {
      if (tries == 100) throw std::runtime_error("no tempo reached the console");
      executor_->call([&] { controller_->tap(nextTap()); });
      if (console_->waitForFrame(2, 50ms)) break;
    }
  }

  ~TapToWire() {
    executor_->call([&] { controller_.reset(); });
  }

  /// One tap that changes the tempo, timed from tap() to the last byte read.
  Clock::duration oneTap() {
    const std::size_t index = console_->frames();
    const auto start = executor_->call([&] {
      const auto at = Clock::now();
      controller_->tap(nextTap());
      return at;
    });
    return console_->waitForFrame(index) - start;
  }

 private:
  // Gaps of 0.5 s and 0.6 s by turns: the mean of the last three, and so the tempo, changes
  // with every tap (113 and 106 BPM by turns).
  std::chrono::system_clock::time_point nextTap() {
    tapTime_ += (tapCount_++ % 2 == 0) ? 500ms : 600ms;
    return tapTime_;
  }

  std::shared_ptr<tempik::fakes::QueueExecutor> executor_ =
      std::make_shared<tempik::fakes::QueueExecutor>();
  std::shared_ptr<tempik::link::EosOscTransport> transport_;
  std::shared_ptr<TempoController> controller_;
  std::unique_ptr<FrameReader> console_;
  std::chrono::system_clock::time_point tapTime_ = std::chrono::system_clock::now();
  std::uint64_t tapCount_ = 0;
};

double percentileMicroseconds(std::vector<Clock::duration> samples, double fraction) {
  std::sort(samples.begin(), samples.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
  return std::chrono::duration<double, std::micro>(samples[index]).count();
}

void BM_TapToWire(benchmark::State& state) {
  Floor floor;
  TapToWire tempik;
  std::vector<Clock::duration> taps, floors;
  for (auto _ : state) {
    const auto tap = tempik.oneTap();
    floors.push_back(floor.oneRound());
    taps.push_back(tap);
    state.SetIterationTime(std::chrono::duration<double>(tap).count());
  }
  const double tapP50 = percentileMicroseconds(taps, 0.50);
  const double floorP50 = percentileMicroseconds(floors, 0.50);
  state.counters["tap_p50_us"] = tapP50;
  state.counters["tap_p99_us"] = percentileMicroseconds(taps, 0.99);
  state.counters["floor_p50_us"] = floorP50;
  state.counters["floor_p99_us"] = percentileMicroseconds(floors, 0.99);
  state.counters["p50_vs_floor"] = tapP50 / floorP50;
}
BENCHMARK(BM_TapToWire)
    ->Iterations(1000)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
