// Receive throughput from a loopback flood of SLIP-framed console messages: the Eos transport
// (read, split, decode, deliver the strings to the handler) beside a plain read() loop that
// only splits frames on END. Both read the same bytes from the same kind of connection.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "link/EosOscTransport.h"
#include "link/OSCTCPFraming.h"
#include "osc/OSCMessage.h"

namespace {

using namespace tempik;

constexpr int kMessagesPerRound = 200'000;

link::Bytes floodBytes() {
  link::Bytes all;
  const link::Bytes one = link::slipEncode(
      osc::OSCMessage("/eos/out/user/20/cmd", {"LIVE: Effect Not Running"}).rawData());
  for (int i = 0; i < kMessagesPerRound; ++i) all.insert(all.end(), one.begin(), one.end());
  return all;
}

// A loopback listener that accepts one connection and floods it on request.
class Flooder {
 public:
  Flooder() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 1) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::runtime_error("cannot listen");
    }
    port_ = ntohs(address.sin_port);
  }
  ~Flooder() {
    if (peer_ >= 0) ::close(peer_);
    ::close(listener_);
  }

  std::uint16_t port() const { return port_; }
  void accept() { peer_ = ::accept(listener_, nullptr, nullptr); }

  /// Writes bytes on a thread of its own.
  std::thread flood(const link::Bytes& bytes) {
    return std::thread([this, &bytes] {
      std::size_t done = 0;
      while (done < bytes.size()) {
        const ssize_t n = ::send(peer_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
      }
    });
  }

 private:
  int listener_ = -1;
  int peer_ = -1;
  std::uint16_t port_ = 0;
};

int connectTo(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("cannot connect");
  }
  return fd;
}

void BM_PlainReadLoopSplittingOnEnd(benchmark::State& state) {
  const link::Bytes bytes = floodBytes();
  Flooder flooder;
  const int fd = connectTo(flooder.port());
  flooder.accept();
  std::vector<std::uint8_t> buffer(64 * 1024);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    std::thread writer = flooder.flood(bytes);
    int frames = 0;
    bool inFrame = false;
    while (frames < kMessagesPerRound) {
      const ssize_t n = ::read(fd, buffer.data(), buffer.size());
      if (n <= 0) break;
      for (ssize_t i = 0; i < n; ++i) {
        if (buffer[static_cast<std::size_t>(i)] == link::slip::END) {
          frames += inFrame ? 1 : 0;
          inFrame = false;
        } else {
          inFrame = true;
        }
      }
    }
    writer.join();
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    benchmark::DoNotOptimize(frames);
  }
  ::close(fd);
  state.SetItemsProcessed(state.iterations() * kMessagesPerRound);
}

void BM_EosOscTransportReceive(benchmark::State& state) {
  const link::Bytes bytes = floodBytes();
  Flooder flooder;
  auto transport = link::EosOscTransport::create([](std::function<void()> job) { job(); });

  std::mutex mutex;
  std::condition_variable done;
  std::atomic<long> delivered = 0;
  std::atomic<long> target = 0;
  std::size_t argumentBytes = 0;
  std::promise<void> handlerSet;
  transport->setReceiveHandler(
      [&](const std::string&, const std::vector<std::string>& arguments) {
        argumentBytes += arguments.empty() ? 0 : arguments.front().size();
        if (delivered.fetch_add(1, std::memory_order_relaxed) + 1 >= target.load()) {
          std::lock_guard lock(mutex);
          done.notify_all();
        }
      },
      [&handlerSet] { handlerSet.set_value(); });
  handlerSet.get_future().wait();
  std::promise<link::ConnectOutcome> connected;
  std::thread acceptor([&flooder] { flooder.accept(); });
  transport->connect("127.0.0.1", flooder.port(),
                     [&connected](link::ConnectOutcome outcome) { connected.set_value(outcome); });
  acceptor.join();
  if (connected.get_future().get() != link::ConnectOutcome{link::NewConnection{}}) {
    state.SkipWithError("cannot connect");
    return;
  }
  for (auto _ : state) {
    target += kMessagesPerRound;
    const auto start = std::chrono::steady_clock::now();
    std::thread writer = flooder.flood(bytes);
    {
      std::unique_lock lock(mutex);
      done.wait(lock, [&] { return delivered >= target; });
    }
    writer.join();
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.SetItemsProcessed(state.iterations() * kMessagesPerRound);
  std::promise<void> disconnected;
  transport->disconnect([&disconnected] { disconnected.set_value(); });
  disconnected.get_future().wait();
  benchmark::DoNotOptimize(argumentBytes);
}

BENCHMARK(BM_PlainReadLoopSplittingOnEnd)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_EosOscTransportReceive)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
