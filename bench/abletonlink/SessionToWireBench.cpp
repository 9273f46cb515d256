// Following an Ableton Link session, timed, inside a private network namespace (Link announces
// itself on every interface that is up, so outside one the benchmark only says why it skips):
// - a tempo committed by a Link peer, until tempik's console on loopback has read the last byte
//   of the tempo's command (tempik's Link session, controller and real transport in between);
//   beside it, in the same repetition, the floor: the same between two bare Link peers, until
//   the other's tempo callback hears of it. Once with commits that Link sends at once (the path
//   alone), once at random moments (what a change by hand meets: Link holds some back);
// - tempik's Link session joined, one peer present (link-peer, in a process of its own),
//   nothing changing: the CPU tempik spends on it, and the bare peer's for comparison.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "CommitMoments.h"
#include "ConsoleWire.h"
#include "PeerProcess.h"
#include "SessionPeer.h"
#include "abletonlink/AbletonLinkSession.h"
#include "core/TempoController.h"
#include "link/EosOscTransport.h"
#include "support/Fakes.h"
#include "support/QueueExecutor.h"
#include "support/Recorder.h"

namespace {

using namespace std::chrono_literals;
using tempik::bench::Clock;
using tempik::bench::CommitMoments;
using tempik::bench::Moment;
using tempik::bench::SessionPeer;
using tempik::core::TempoController;

constexpr auto patience = 10s;

// How far apart commits are at least, counted from the last one's arrival: past tempik's follow
// interval (500 ms from the change before, which holds any change made within it; counted from
// a moment just before the console's read). The floor's commits are spaced alike: how often
// Link holds a change back depends on how long ago the last change was.
constexpr auto spacing = 520ms;
constexpr std::size_t floorChanges = 100;

// 110 and 112 BPM by turns: each is a new whole BPM, far enough from the last to be followed.
double tempoNumber(std::uint64_t change) {
  return change % 2 == 0 ? 110.0 : 112.0;
}

/// The floor: one bare peer commits, the other's tempo callback hears of it.
std::vector<Clock::duration> peerToPeer(Moment moment, std::size_t changes) {
  SessionPeer committer(120), listener(120);
  if (!committer.waitForPeers(1, patience) || !listener.waitForPeers(1, patience)) {
    throw std::runtime_error("the two Link peers never met (is loopback up?)");
  }
  CommitMoments moments(moment);
  std::vector<Clock::duration> latencies;
  auto last = Clock::now();
  // The first change is not counted: the session may have only just been chosen.
  for (std::size_t change = 0; change <= changes; ++change) {
    moments.sleepAfter(last, spacing);
    const double tempo = tempoNumber(change);
    const std::size_t from = listener.tempiHeard();
    const auto start = Clock::now();
    committer.commitTempo(tempo);
    const auto heard = listener.waitForTempo(tempo, from, patience);
    if (!heard) throw std::runtime_error("the other Link peer never heard of a tempo");
    if (change > 0) latencies.push_back(*heard - start);
    last = *heard;
  }
  return latencies;
}

/// tempik following the session: its Link session, the controller and the real transport,
/// connected to a console of its own on loopback. Built and destroyed on the benchmark's
/// thread, which calls into tempik on its executor.
class FollowingTempik {
 public:
  FollowingTempik() {
    const tempik::bench::ConsoleListener listener;
    session_ = executor_->call(
        [&] { return std::make_shared<tempik::abletonlink::AbletonLinkSession>(executor_); });
    transport_ = tempik::link::EosOscTransport::create(
        [weak = std::weak_ptr<tempik::fakes::QueueExecutor>(executor_)](std::function<void()> job) {
          if (const auto executor = weak.lock()) executor->post(std::move(job));
        });
    auto store = std::make_shared<tempik::fakes::MemorySettingsStore>(
        tempik::fakes::MemorySettingsStore::Values{
            {"eosIP", listener.host()}, {"bpmFX", "1"}, {"followLink", "true"}});
    controller_ = executor_->call([&] {
      return TempoController::create({.executor = executor_,
                                      .clock = std::make_shared<tempik::core::SystemWallClock>(),
                                      .defaults = store,
                                      .transport = transport_,
                                      .linkSession = session_});
    });
    console_ = std::make_unique<tempik::bench::FrameLog>(listener.accept());
  }
  ~FollowingTempik() {
    executor_->call([&] {
      controller_.reset();
      session_.reset();
    });
  }
  FollowingTempik(const FollowingTempik&) = delete;
  FollowingTempik& operator=(const FollowingTempik&) = delete;

  [[nodiscard]] std::size_t frames() const { return console_->size(); }

  /// When the console read the last byte of the command that sets bpm, looking from frame
  /// number `from` on; nothing when not by the deadline.
  [[nodiscard]] std::optional<Clock::time_point> waitForTempo(double bpm, std::size_t from,
                                                              Clock::duration deadline) const {
    const auto frame =
        console_->waitFor("BPM " + std::to_string(std::llround(bpm)) + "#", from, deadline);
    if (!frame) return std::nullopt;
    return frame->completedAt;
  }

 private:
  std::shared_ptr<tempik::fakes::QueueExecutor> executor_ =
      std::make_shared<tempik::fakes::QueueExecutor>();
  std::shared_ptr<tempik::abletonlink::AbletonLinkSession> session_;
  std::shared_ptr<tempik::link::EosOscTransport> transport_;
  std::shared_ptr<TempoController> controller_;
  std::unique_ptr<tempik::bench::FrameLog> console_;
};

double percentileMicroseconds(std::vector<Clock::duration> samples, double fraction) {
  std::sort(samples.begin(), samples.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
  return std::chrono::duration<double, std::micro>(samples[index]).count();
}

double shareOver(const std::vector<Clock::duration>& samples, Clock::duration limit) {
  const auto over =
      std::count_if(samples.begin(), samples.end(), [&](auto s) { return s > limit; });
  return 100.0 * static_cast<double>(over) / static_cast<double>(samples.size());
}

void BM_SessionToWire(benchmark::State& state, Moment moment) {
  std::vector<Clock::duration> floors, follows;
  try {
    floors = peerToPeer(moment, floorChanges);
    SessionPeer committer(120);
    FollowingTempik tempik;
    if (!committer.waitForPeers(1, patience)) throw std::runtime_error("tempik never joined");
    // Once connected (the Effect key presses over), tempik follows: commit until a tempo
    // reaches the console.
    std::uint64_t change = 0;
    for (;; ++change) {
      if (change == 10) throw std::runtime_error("no followed tempo reached the console");
      const std::size_t from = tempik.frames();
      committer.commitTempo(tempoNumber(change));
      if (tempik.waitForTempo(tempoNumber(change), from, 2s)) break;
    }
    CommitMoments moments(moment);
    auto last = Clock::now();
    for (auto _ : state) {
      moments.sleepAfter(last, spacing);
      const double tempo = tempoNumber(++change);
      const std::size_t from = tempik.frames();
      const auto start = Clock::now();
      committer.commitTempo(tempo);
      const auto arrived = tempik.waitForTempo(tempo, from, patience);
      if (!arrived) throw std::runtime_error("a followed tempo never reached the console");
      follows.push_back(*arrived - start);
      state.SetIterationTime(std::chrono::duration<double>(follows.back()).count());
      last = *arrived;
    }
  } catch (const std::exception& error) {
    state.SkipWithError(error.what());
    return;
  }
  const double followP50 = percentileMicroseconds(follows, 0.50);
  const double floorP50 = percentileMicroseconds(floors, 0.50);
  state.counters["tempik_p50_us"] = followP50;
  state.counters["tempik_p99_us"] = percentileMicroseconds(follows, 0.99);
  state.counters["link_p50_us"] = floorP50;
  state.counters["link_p99_us"] = percentileMicroseconds(floors, 0.99);
  state.counters["p50_vs_link"] = followP50 / floorP50;
  // The changes Link held back (see CommitMoments.h): none when it sends them at once.
  state.counters["link_over_1ms_pct"] = shareOver(floors, 1ms);
  state.counters["tempik_over_1ms_pct"] = shareOver(follows, 1ms);
}
BENCHMARK_CAPTURE(BM_SessionToWire, sent_at_once, Moment::sentAtOnce)
    ->Iterations(100)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SessionToWire, at_random_moments, Moment::random)
    ->Iterations(100)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

std::chrono::nanoseconds processCpuTime() {
  timespec used{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
  return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
}

/// Packets loopback has carried: in the private namespace, every one is Link's.
std::uint64_t loopbackPackets() {
  std::ifstream devices("/proc/net/dev");
  std::string line;
  while (std::getline(devices, line)) {
    std::istringstream fields(line);
    std::string name;
    std::uint64_t bytes = 0, packets = 0;
    if (fields >> name >> bytes >> packets && name == "lo:") return packets;
  }
  return 0;
}

constexpr auto idleWindow = 10s;

void BM_IdleJoined(benchmark::State& state) {
  using tempik::core::TempoSessionState;
  tempik::bench::PeerProcess peer(LINK_PEER_PATH);
  auto executor = std::make_shared<tempik::fakes::QueueExecutor>();
  tempik::fakes::Recorder<TempoSessionState> seen;
  auto session = executor->call([&] {
    auto joined = std::make_shared<tempik::abletonlink::AbletonLinkSession>(executor);
    joined->join([&seen](const TempoSessionState& now) {
      seen.change([&](TempoSessionState& last) { last = now; });
    });
    return joined;
  });
  const bool met =
      seen.waitUntil([](const TempoSessionState& now) { return now.peers == 1; }, patience) &&
      peer.waitForPeers(1, patience);
  if (met) {
    // Joining measures the session with a few pings: let them pass.
    std::this_thread::sleep_for(2s);
    for (auto _ : state) {
      const auto cpu = processCpuTime();
      const auto peerCpu = peer.cpuTime();
      const auto packets = loopbackPackets();
      const auto start = Clock::now();
      std::this_thread::sleep_for(idleWindow);
      const double wall = std::chrono::duration<double>(Clock::now() - start).count();
      state.SetIterationTime(wall);
      state.counters["tempik_cpu_pct"] =
          100 * std::chrono::duration<double>(processCpuTime() - cpu).count() / wall;
      state.counters["peer_cpu_pct"] =
          100 * std::chrono::duration<double>(peer.cpuTime() - peerCpu).count() / wall;
      state.counters["packets_per_s"] = static_cast<double>(loopbackPackets() - packets) / wall;
    }
  } else {
    state.SkipWithError("tempik's session and link-peer never met");
  }
  executor->call([&] { session.reset(); });
}
BENCHMARK(BM_IdleJoined)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

bool inPrivateNetwork() {
  const char* flag = std::getenv("TEMPIK_PRIVATE_NETWORK");
  return flag != nullptr && std::string_view(flag) == "1";
}

}  // namespace

int main(int argc, char** argv) {
  if (!inPrivateNetwork()) {
    std::puts(
        "bench_abletonlink: skipped: not in a private network (TEMPIK_PRIVATE_NETWORK is not 1), "
        "where Link would announce itself on every interface that is up. Run it under "
        "scripts/private-network.");
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
