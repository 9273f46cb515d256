// tempik following a real Link session, with a second peer in this process and the console
// on loopback, inside a private network namespace.
#include <gmock/gmock.h>

#include <ableton/Link.hpp>
#include <cstdlib>

#include "ControllerUnderTest.h"
#include "abletonlink/AbletonLinkSession.h"

namespace tempik::faults {
namespace {

// A Link peer the test drives; it records every tempo the session takes on and its peers.
class Peer {
 public:
  explicit Peer(double tempo) : link_(tempo) {
    link_.setTempoCallback(
        [this](double bpm) { tempi_.change([&](auto& v) { v.push_back(bpm); }); });
    link_.setNumPeersCallback([this](std::size_t n) { peers_.change([&](auto& v) { v = n; }); });
    link_.enable(true);
  }
  void setTempo(double bpm) {
    auto state = link_.captureAppSessionState();
    state.setTempo(bpm, link_.clock().micros());
    link_.commitAppSessionState(state);
  }
  bool waitForPeers(std::size_t n) {
    return peers_.waitUntil([n](std::size_t count) { return count == n; }, patience);
  }
  [[nodiscard]] std::vector<double> tempiTakenOn() {
    std::vector<double> seen;
    return tempi_.waitUntil([&](const auto& v) { return seen = v, true; }, 0s), seen;
  }

 private:
  fakes::Recorder<std::vector<double>> tempi_;
  fakes::Recorder<std::size_t> peers_;
  ableton::Link link_;
};

TEST(LinkSession, APeerMovesTheTempoTheConsoleFollowsAndTempikNeverChangesTheSession) {
  if (!std::getenv("TEMPIK_PRIVATE_NETWORK")) {
    GTEST_SKIP() << "Link runs only inside a private network namespace (scripts/private-network)";
  }
  const auto console = consoleOnItsPort();
  ControllerUnderTest tempik({{"eosIP", console->host()}, {"bpmFX", "1"}, {"followLink", "true"}},
                             [](std::shared_ptr<core::Executor> executor) {
                               return std::make_shared<abletonlink::AbletonLinkSession>(executor);
                             });
  // Link carries a tempo as whole microseconds per beat.
  const auto tempikSees = [&](std::size_t n, double bpm) {
    return tempik.linkSession.waitUntil(
        [&](auto& s) { return s && s->peers == n && std::abs(s->tempo - bpm) < 1e-3; }, patience);
  };
  const auto follow = [&](bool on) {
    tempik.onUiThread([on](core::TempoController& c) { return c.setFollowsLink(on), 0; });
  };
  ASSERT_TRUE(tempikSees(0, 120.0)) << "alone in a session of its own";
  follow(false);
  Peer peer(130.0);
  // Link joins the older of two sessions; one founded within half a second of another's
  // start may win instead. A running session is older than that.
  std::this_thread::sleep_until(std::chrono::steady_clock::now() + 700ms);

  // Joining, again and again, takes the running session's tempo and leaves it as it was;
  // leaving is seen by the peer at once.
  for (int join = 1; join <= 8; ++join) {
    SCOPED_TRACE(join);
    follow(true);
    ASSERT_TRUE(peer.waitForPeers(1) && tempikSees(1, 130.0));
    follow(false);
    ASSERT_TRUE(peer.waitForPeers(0));
  }
  const auto tempiOnJoining = peer.tempiTakenOn();
  EXPECT_THAT(tempiOnJoining, ::testing::IsEmpty());

  // Following: the peer moves the tempo and the console follows; taps set the console's tempo
  // and leave the session's alone.
  follow(true);
  const auto consoleGets = [&](std::size_t commands, const char* command) {
    return console->waitFor(tempoCommand, commands) &&
           console->log().to(tempoCommand).back().arguments[0] == command;
  };
  EXPECT_TRUE(consoleGets(1, "Effect 1 BPM 130#"));
  peer.setTempo(126.4);
  EXPECT_TRUE(consoleGets(2, "Effect 1 BPM 126#"));
  tempik.onUiThread([](core::TempoController& c) {
    auto at = std::chrono::system_clock::now();
    for (int i = 0; i < 3; ++i) c.tap(at += 500ms);
    return 0;
  });
  EXPECT_TRUE(consoleGets(3, "Effect 1 BPM 120#"));
  peer.setTempo(127.6);
  EXPECT_TRUE(consoleGets(4, "Effect 1 BPM 128#"));
  const auto tempi = peer.tempiTakenOn();
  EXPECT_THAT(std::vector(tempi.begin() + std::ssize(tempiOnJoining), tempi.end()),
              ::testing::ElementsAre(::testing::DoubleNear(126.4, 1e-3),
                                     ::testing::DoubleNear(127.6, 1e-3)));
}

}  // namespace
}  // namespace tempik::faults
