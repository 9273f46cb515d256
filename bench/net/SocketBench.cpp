// Round trips through a blocking echo peer on loopback, timed from the request to the
// completion callback, for AsyncSocket, for Asio's tcp::socket with the same hand-offs (the
// write posted through the socket's strand, the read completion handed from it to another
// strand) and for plain blocking write()/read(), the floor. Then read throughput from a peer
// that writes as fast as it can, against a plain read() loop. Ratios come last.

#include <benchmark/benchmark.h>

#include <asio/bind_executor.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/post.hpp>
#include <asio/strand.hpp>
#include <asio/write.hpp>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <thread>

#include "net/AsyncSocket.h"
#include "support/LoopbackPeer.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using tempik::fakes::LoopbackListener;
using tempik::fakes::LoopbackPeer;

constexpr std::size_t kMessage = 64;
constexpr std::size_t kThroughputBytes = 128u << 20;

/// Percentiles and rates of one run, kept for the closing comparison.
struct Figures {
  std::map<std::string, double> p50, p99, megabytesPerSecond;
};

/// Accepts one connection and sends every byte back until the other side closes.
class EchoPeer {
 public:
  EchoPeer() {
    thread_ = std::thread([this] {
      LoopbackPeer peer = listener_.accept(30s);
      std::uint8_t buffer[4096];
      for (;;) {
        ssize_t n = ::read(peer.fd(), buffer, sizeof buffer);
        if (n <= 0 || !peer.write(std::vector<std::uint8_t>(buffer, buffer + n))) return;
      }
    });
  }
  ~EchoPeer() { thread_.join(); }
  std::uint16_t port() const { return listener_.port(); }

 private:
  LoopbackListener listener_;
  std::thread thread_;
};

/// Accepts one connection and writes `total` bytes into it as fast as it can.
class FloodPeer {
 public:
  explicit FloodPeer(std::size_t total) {
    thread_ = std::thread([this, total] {
      LoopbackPeer peer = listener_.accept(30s);
      std::vector<std::uint8_t> block(256 << 10, 0x5a);
      for (std::size_t sent = 0; sent < total; sent += block.size()) {
        if (!peer.write(block)) return;
      }
    });
  }
  ~FloodPeer() { thread_.join(); }
  std::uint16_t port() const { return listener_.port(); }

 private:
  LoopbackListener listener_;
  std::thread thread_;
};

void record(benchmark::State& state, Figures& figures, const std::string& name,
            std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  if (samples.empty()) return;
  const double p50 = samples[samples.size() / 2];
  const double p99 = samples[samples.size() * 99 / 100];
  state.counters["p50_us"] = p50;
  state.counters["p99_us"] = p99;
  figures.p50[name] = p50;
  figures.p99[name] = p99;
}

/// Counts bytes and stamps the moment a round trip's last byte arrived.
class EchoDelegate : public tempik::net::AsyncSocketDelegate {
 public:
  void socketDidConnectToHost(tempik::net::AsyncSocket& socket, const std::string&,
                              std::uint16_t) override {
    socket.readDataWithTimeout(-1, 0);
    connected.store(true);
    connected.notify_all();
  }
  void socketDidReadData(tempik::net::AsyncSocket& socket, const std::vector<std::uint8_t>& data,
                         std::int64_t) override {
    const auto total = received.load() + data.size();
    if (total % kMessage == 0) arrivedAt = Clock::now();
    received.store(total);
    received.notify_all();
    socket.readDataWithTimeout(-1, 0);
  }
  std::atomic<bool> connected{false};
  std::atomic<std::size_t> received{0};
  Clock::time_point arrivedAt;  // written before `received`, read after it
};

void asyncSocketRoundTrip(benchmark::State& state, Figures& figures) {
  EchoPeer echo;
  auto delegate = std::make_shared<EchoDelegate>();
  auto socket = tempik::net::AsyncSocket::create(
      delegate, tempik::net::SerialQueue::create("bench.delegate"));
  tempik::net::SocketError error;
  socket->connectToHost("127.0.0.1", echo.port(), 5, error);
  delegate->connected.wait(false);
  const std::vector<std::uint8_t> message(kMessage, 1);
  std::vector<double> samples;
  std::size_t expected = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    socket->writeData(message, -1, 0);
    expected += kMessage;
    for (auto seen = delegate->received.load(); seen < expected; seen = delegate->received.load()) {
      delegate->received.wait(seen);
    }
    const double micros =
        std::chrono::duration<double, std::micro>(delegate->arrivedAt - start).count();
    samples.push_back(micros);
    state.SetIterationTime(micros / 1e6);
  }
  socket->disconnect();
  record(state, figures, "AsyncSocket", std::move(samples));
}

void asioRoundTrip(benchmark::State& state, Figures& figures) {
  EchoPeer echo;
  asio::io_context io(2);
  auto work = asio::make_work_guard(io);
  std::thread threads[2] = {std::thread([&] { io.run(); }), std::thread([&] { io.run(); })};
  auto socketStrand = asio::make_strand(io);
  auto callbackStrand = asio::make_strand(io);
  asio::ip::tcp::socket socket(socketStrand);
  socket.connect({asio::ip::make_address("127.0.0.1"), echo.port()});

  std::atomic<std::size_t> received{0};
  Clock::time_point arrivedAt;
  std::array<std::uint8_t, 65536> buffer{};
  std::function<void()> readMore = [&] {
    socket.async_read_some(
        asio::buffer(buffer),
        asio::bind_executor(socketStrand, [&](const std::error_code& error, std::size_t n) {
          if (error) return;
          asio::post(callbackStrand, [&, n] {
            const auto total = received.load() + n;
            if (total % kMessage == 0) arrivedAt = Clock::now();
            received.store(total);
            received.notify_all();
          });
          readMore();
        }));
  };
  asio::post(socketStrand, readMore);

  const std::vector<std::uint8_t> message(kMessage, 1);
  std::vector<double> samples;
  std::size_t expected = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    asio::post(socketStrand, [&] {
      asio::async_write(
          socket, asio::buffer(message),
          asio::bind_executor(socketStrand, [](const std::error_code&, std::size_t) {}));
    });
    expected += kMessage;
    for (auto seen = received.load(); seen < expected; seen = received.load()) received.wait(seen);
    const double micros = std::chrono::duration<double, std::micro>(arrivedAt - start).count();
    samples.push_back(micros);
    state.SetIterationTime(micros / 1e6);
  }
  asio::post(socketStrand, [&] { socket.close(); });
  work.reset();
  for (auto& thread : threads) thread.join();
  record(state, figures, "Asio tcp::socket", std::move(samples));
}

void plainRoundTrip(benchmark::State& state, Figures& figures) {
  EchoPeer echo;
  LoopbackPeer client(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(echo.port());
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::connect(client.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  const std::vector<std::uint8_t> message(kMessage, 1);
  std::vector<double> samples;
  for (auto _ : state) {
    const auto start = Clock::now();
    client.write(message);
    client.read(kMessage);
    const double micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    samples.push_back(micros);
    state.SetIterationTime(micros / 1e6);
  }
  record(state, figures, "plain write/read", std::move(samples));
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double asyncSocketTransfer() {
  FloodPeer flood(kThroughputBytes);
  auto delegate = std::make_shared<EchoDelegate>();
  auto socket = tempik::net::AsyncSocket::create(
      delegate, tempik::net::SerialQueue::create("bench.delegate"));
  tempik::net::SocketError error;
  const auto start = Clock::now();
  socket->connectToHost("127.0.0.1", flood.port(), 5, error);
  for (auto seen = delegate->received.load(); seen < kThroughputBytes;
       seen = delegate->received.load()) {
    delegate->received.wait(seen);
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double plainTransfer() {
  FloodPeer flood(kThroughputBytes);
  const auto start = Clock::now();
  LoopbackPeer client(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(flood.port());
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::connect(client.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  std::vector<std::uint8_t> buffer(256 << 10);
  for (std::size_t total = 0; total < kThroughputBytes;) {
    ssize_t n = ::read(client.fd(), buffer.data(), buffer.size());
    if (n <= 0) break;
    total += static_cast<std::size_t>(n);
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The two readers take turns, so that both see the same share of a noisy machine; the ratio is
// the median of the ratios of each pair.
void readThroughput(benchmark::State& state, Figures& figures) {
  std::vector<double> mine, plain, ratios;
  for (auto _ : state) {
    const double asyncSeconds = asyncSocketTransfer();
    const double plainSeconds = plainTransfer();
    state.SetIterationTime(asyncSeconds);
    mine.push_back(kThroughputBytes / asyncSeconds / 1e6);
    plain.push_back(kThroughputBytes / plainSeconds / 1e6);
    ratios.push_back(plainSeconds / asyncSeconds);
  }
  state.counters["AsyncSocket_MB_per_s"] = median(mine);
  state.counters["plain_MB_per_s"] = median(plain);
  figures.megabytesPerSecond["AsyncSocket"] = median(mine);
  figures.megabytesPerSecond["plain read loop"] = median(plain);
  figures.megabytesPerSecond["ratio"] = median(ratios);
}

}  // namespace

int main(int argc, char** argv) {
  Figures figures;
  auto each = [&](const char* name, void (*run)(benchmark::State&, Figures&)) {
    return benchmark::RegisterBenchmark(
               name, [&figures, run](benchmark::State& state) { run(state, figures); })
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  };
  each("RoundTrip/AsyncSocket", asyncSocketRoundTrip)->Iterations(20000);
  each("RoundTrip/AsioTcpSocket", asioRoundTrip)->Iterations(20000);
  each("RoundTrip/PlainBlocking", plainRoundTrip)->Iterations(20000);
  each("ReadThroughput/AsyncSocketThenPlainReadLoop", readThroughput)->Iterations(9);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  // Only the figures of this run are compared (medians; the last repetition when repeated).
  const auto ratio = [](const std::map<std::string, double>& of, const char* a, const char* b) {
    return of.count(a) && of.count(b) && of.at(b) > 0 ? of.at(a) / of.at(b) : 0.0;
  };
  std::printf("\nround trip p50: AsyncSocket %.1f us, Asio %.1f us, plain %.1f us\n",
              figures.p50["AsyncSocket"], figures.p50["Asio tcp::socket"],
              figures.p50["plain write/read"]);
  std::printf("round trip p99: AsyncSocket %.1f us, Asio %.1f us, plain %.1f us\n",
              figures.p99["AsyncSocket"], figures.p99["Asio tcp::socket"],
              figures.p99["plain write/read"]);
  std::printf("p50 AsyncSocket / Asio: %.2f (target <= 1.30)\n",
              ratio(figures.p50, "AsyncSocket", "Asio tcp::socket"));
  std::printf(
      "read throughput: AsyncSocket %.0f MB/s, plain %.0f MB/s, ratio %.2f (target >= 0.70)\n",
      figures.megabytesPerSecond["AsyncSocket"], figures.megabytesPerSecond["plain read loop"],
      ratio(figures.megabytesPerSecond, "AsyncSocket", "plain read loop"));
  return 0;
}
