// The operator edits the host field 100 times within a second: only the address that stands
// at the end is tried, once, 750 ms after the last edit.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <future>

#include "ControllerUnderTest.h"
#include "FaultyConsole.h"

namespace tempik::faults {
namespace {

using Log = FaultyConsole::Log;
using Clock = std::chrono::steady_clock;

TEST(HostEdits, AHundredEditsInASecondBringOneAttemptToTheFinalAddress) {
  FaultyConsole first("127.0.0.26");
  FaultyConsole final("127.0.0.27");
  FaultyConsole passing("127.0.0.28");  // typed over on the way
  ControllerUnderTest tempik({{"eosIP", first.host()}, {"bpmFX", "1"}});
  ASSERT_TRUE(
      first.waitUntil([](const Log& log) { return log.on(0, effectKey).size() >= 2; }, patience));
  // The key presses are over, so the check loop's next pass is 5 s away.
  ASSERT_TRUE(tempik.recorder->waitUntil(
      [](const auto& log) { return sendsCompleted(log, effectKey, 2); }, patience));

  constexpr int edits = 100;
  std::vector<std::string> addresses;
  for (int i = 0; i < edits - 1; ++i) {
    addresses.push_back(i % 10 == 9 ? passing.host()
                                    : final.host().substr(0, 1 + i % final.host().size()));
  }
  addresses.push_back(final.host());

  std::vector<Clock::time_point> editedAt;  // on the UI thread until done
  std::promise<void> done;
  std::vector<std::unique_ptr<core::ScheduledJob>> pending;
  tempik.onUiThread([&](core::TempoController& controller) {
    for (int i = 0; i < edits; ++i) {
      pending.push_back(tempik.executor->postAfter(8ms * i, [&, i] {
        controller.setEosIP(addresses[static_cast<std::size_t>(i)]);
        editedAt.push_back(Clock::now());
        if (i == edits - 1) done.set_value();
      }));
    }
    return 0;
  });
  ASSERT_EQ(done.get_future().wait_for(patience), std::future_status::ready);
  tempik.onUiThread([&](core::TempoController&) {
    pending.clear();
    return 0;
  });
  ASSERT_EQ(editedAt.size(), std::size_t{edits});
  ASSERT_LT(editedAt.back() - editedAt.front(), 1s);
  const auto lastEdit = editedAt.back();

  ASSERT_TRUE(
      final.waitUntil([](const Log& log) { return log.on(0, effectKey).size() >= 2; }, patience));
  ASSERT_TRUE(
      first.waitUntil([](const Log& log) { return log.connections[0].closedByPeer; }, patience))
      << "the old connection is closed";

  const auto acceptedAt = final.log().connections.at(0).acceptedAt;
  EXPECT_GE(acceptedAt - lastEdit, 750ms);
  EXPECT_LE(acceptedAt - lastEdit, 750ms + 1s);
  EXPECT_EQ(final.log().connections.size(), 1u);
  EXPECT_EQ(passing.log().connections.size(), 0u);
  EXPECT_EQ(first.log().connections.size(), 1u);

  std::vector<std::string> triedSinceFirstEdit;
  for (const auto& attempt : tempik.recorder->log().attempts) {
    if (attempt.started >= editedAt.front() && attempt.started <= acceptedAt) {
      triedSinceFirstEdit.push_back(attempt.host);
    }
  }
  EXPECT_THAT(triedSinceFirstEdit, ::testing::ElementsAre(final.host()));

  EXPECT_TRUE(tempik.isConnected());
  const auto writes =
      tempik.onUiThread([&](core::TempoController&) { return tempik.store->writes(); });
  EXPECT_EQ(writes.size(), std::size_t{edits}) << "each edit is saved";
  EXPECT_EQ(tempik.onUiThread([&](core::TempoController&) { return tempik.store->read("eosIP"); }),
            final.host());
}

}  // namespace
}  // namespace tempik::faults
