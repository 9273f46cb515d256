#include "core/TempoController.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <random>
#include <stdexcept>

#include "link/EosOscTransport.h"
#include "link/OSCTCPFraming.h"
#include "osc/OSCMessage.h"
#include "support/LoopbackPeer.h"
#include "support/MemorySettingsStore.h"
#include "support/SteppingWallClock.h"
#include "support/ThreadExecutor.h"

namespace tempik::core {
namespace {

using namespace std::chrono_literals;
using link::Bytes;

constexpr std::chrono::milliseconds patience = 20s;  // the machine is shared, maybe under TSan

/// A message with string arguments as a SLIP frame, as it travels either way.
Bytes frame(const char* address, osc::OSCValueList arguments = {}) {
  return link::slipEncode(osc::OSCMessage(address, std::move(arguments)).rawData());
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

/// Listens on the console's port 3038 of a random 127.x.y.z address, so parallel test runs
/// do not meet.
class ConsoleListener {
 public:
  ConsoleListener() {
    std::random_device random;
    std::uniform_int_distribution<int> octet(1, 254);
    for (int tries = 0; tries < 20 && host_.empty(); ++tries) {
      const std::string host = "127." + std::to_string(octet(random)) + "." +
                               std::to_string(octet(random)) + "." + std::to_string(octet(random));
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(3038);
      ::inet_pton(AF_INET, host.c_str(), &address.sin_addr);
      socket_ = fakes::LoopbackPeer(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
      const int on = 1;
      ::setsockopt(socket_.fd(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
      if (::bind(socket_.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
          ::listen(socket_.fd(), 16) == 0) {
        host_ = host;
      }
    }
    if (host_.empty()) throw std::runtime_error("no free loopback address for port 3038");
  }

  [[nodiscard]] const std::string& host() const { return host_; }

  /// The next connection, or an invalid peer after the deadline.
  [[nodiscard]] fakes::LoopbackPeer accept(std::chrono::milliseconds deadline) const {
    if (!fakes::waitReady(socket_.fd(), POLLIN, deadline)) return {};
    return fakes::LoopbackPeer(::accept4(socket_.fd(), nullptr, nullptr, SOCK_CLOEXEC));
  }

 private:
  fakes::LoopbackPeer socket_;  // the listening one, closed on destruction
  std::string host_;
};

/// The controller with the real transport on a real executor, against a console on loopback
/// read from the test's thread.
class ControllerOnLoopback : public ::testing::Test {
 protected:
  void SetUp() override {
    // Weak: completions that arrive after the test has ended are dropped.
    transport = link::EosOscTransport::create(
        [weak = std::weak_ptr<fakes::ThreadExecutor>(executor)](std::function<void()> job) {
          if (const auto executor = weak.lock()) executor->post(std::move(job));
        });
    auto store = std::make_shared<fakes::MemorySettingsStore>(
        std::map<std::string, std::string, std::less<>>{
            {"eosIP", listener.host()}, {"bpmFX", "1"}, {"bpmMacro", "7"}});
    started = std::chrono::steady_clock::now();
    controller = executor->call([&] {
      return TempoController::create({executor, clock, store, transport});
    });
    console = listener.accept(patience);
    ASSERT_TRUE(console.valid());
  }

  void TearDown() override {
    executor->call([&] { controller.reset(); });
    // The transport completes in order: once this completes, every earlier completion has run.
    auto done = std::make_shared<std::promise<void>>();
    transport->disconnect([done] { done->set_value(); });
    EXPECT_EQ(done->get_future().wait_for(patience), std::future_status::ready);
    transport.reset();
  }

  /// The next bytes the console gets, as many as expected has.
  Bytes next(const Bytes& expected) { return console.read(expected.size(), patience); }

  /// Sends two markers through the executor and the transport, which both keep order, and
  /// expects them next: whatever the controller started before has arrived, and nothing else.
  void expectNothingMore() {
    for (int round = 0; round < 2; ++round) {
      auto sent = std::make_shared<std::promise<void>>();
      executor->post([this, sent] {
        transport->send("/test/settle", {}, [sent](auto) { sent->set_value(); });
      });
      ASSERT_EQ(sent->get_future().wait_for(patience), std::future_status::ready);
    }
    const Bytes markers = concat({frame("/test/settle"), frame("/test/settle")});
    EXPECT_EQ(next(markers), markers) << "the console got more than expected";
  }

  bool isConnected() {
    return executor->call([&] { return controller->isConnected(); });
  }

  const Bytes presses =
      concat({frame("/eos/user/20/key/effect"), frame("/eos/user/20/key/effect")});
  const Bytes tempo120 = concat({frame("/eos/user/20/newcmd", {"Effect 1 BPM 120#"}),
                                 frame("/eos/set/macro/7/label", {"BPM || 120"})});
  const Bytes threeTaps =
      concat({frame("/tempik/tap"), frame("/tempik/tap"), frame("/tempik/tap")});

  ConsoleListener listener;
  fakes::LoopbackPeer console;
  std::chrono::steady_clock::time_point started;
  std::shared_ptr<fakes::ThreadExecutor> executor = std::make_shared<fakes::ThreadExecutor>();
  std::shared_ptr<fakes::SteppingWallClock> clock = std::make_shared<fakes::SteppingWallClock>();
  std::shared_ptr<link::EosOscTransport> transport;
  std::shared_ptr<TempoController> controller;
};

TEST_F(ControllerOnLoopback, PressesEffectTwiceSendsConsoleTapsAndRecoversFromErrorsOnce) {
  ASSERT_EQ(next(presses), presses);
  // The 300 ms key gap; connecting on loopback takes next to nothing.
  const auto secondPress = std::chrono::steady_clock::now() - started;
  EXPECT_GE(secondPress, 300ms);
  EXPECT_LT(secondPress, 2s);
  EXPECT_TRUE(isConnected());
  expectNothingMore();

  console.write(threeTaps);
  EXPECT_EQ(next(tempo120), tempo120);

  const Bytes notRunning = frame("/eos/out/user/20/cmd", {"LIVE: Effect Not Running"});
  console.write(notRunning);
  const Bytes recovery = concat({presses, tempo120});
  EXPECT_EQ(next(recovery), recovery);
  console.write(notRunning);  // the same tempo is not resent twice
  EXPECT_EQ(next(presses), presses);
  expectNothingMore();
}

TEST_F(ControllerOnLoopback, ReconnectsAfterTheConsoleDropsWithoutResending) {
  ASSERT_EQ(next(presses), presses);
  expectNothingMore();
  console.write(threeTaps);
  ASSERT_EQ(next(tempo120), tempo120);

  console.close();
  console = listener.accept(5s + patience);
  ASSERT_TRUE(console.valid());
  EXPECT_EQ(next(presses), presses);
  expectNothingMore();
  EXPECT_TRUE(isConnected());
}

}  // namespace
}  // namespace tempik::core
