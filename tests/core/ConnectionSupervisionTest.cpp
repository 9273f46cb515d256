#include "core/TempoController.h"

#include <gtest/gtest.h>

#include "ControllerHarness.h"

namespace tempik::core {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Supervision : public ControllerHarness {
 protected:
  [[nodiscard]] std::vector<ManualExecutor::Duration> connectTimes() const {
    std::vector<ManualExecutor::Duration> times;
    for (const auto& call : transport->callsOf(Kind::connect)) times.push_back(call.at);
    return times;
  }
  [[nodiscard]] std::string lastHost() const {
    return transport->callsOf(Kind::connect).back().host;
  }
};

TEST_F(Supervision, ChecksFiveSecondsAfterEachAttemptEnds) {
  transport->connectAnswer.reset();  // the test answers each attempt
  start();
  executor->advanceBy(2s);
  transport->finishConnect(std::nullopt);  // a 2 s attempt that failed
  executor->runReady();
  EXPECT_FALSE(controller->isConnected());

  executor->advanceBy(5s);  // 7 s: next attempt; already connected, nothing new
  transport->finishConnect(true);
  executor->runReady();
  EXPECT_TRUE(controller->isConnected());
  EXPECT_THAT(sent(), IsEmpty());

  changes.clear();
  executor->advanceBy(5s);  // 12 s: still connected: no notification
  transport->finishConnect(true);
  executor->advanceBy(5s);  // 17 s: the link was lost: a fresh connection presses the keys
  transport->finishConnect(false);
  executor->advanceBy(5300ms);
  EXPECT_THAT(changes, IsEmpty());
  EXPECT_EQ(sent(), (std::vector<Sent>{effectKey, effectKey}));
  EXPECT_EQ(sendTimes(), (std::vector<ManualExecutor::Duration>{17s, 17300ms}));
  // The next pass waits for the key presses to end.
  EXPECT_EQ(connectTimes(), (std::vector<ManualExecutor::Duration>{0s, 7s, 12s, 17s, 22300ms}));
}

TEST_F(Supervision, BlankHostDropsTheLinkAtOnceAndOnlyDisconnectsFromThenOn) {
  startConnected();
  controller->setEosIP(" \u00A0\n");
  EXPECT_FALSE(controller->isConnected());
  EXPECT_THAT(changes, ElementsAre(ObservedProperty::eosIP, ObservedProperty::isConnected));
  executor->advanceBy(749ms);
  EXPECT_THAT(transport->calls(), IsEmpty());
  executor->advanceBy(1ms);
  ASSERT_EQ(transport->calls().size(), 1u);
  EXPECT_EQ(transport->calls()[0].kind, Kind::disconnect);
  executor->advanceBy(5s);  // the check loop goes on, disconnecting
  EXPECT_EQ(transport->callsOf(Kind::disconnect).size(), 2u);
  EXPECT_THAT(transport->callsOf(Kind::connect), IsEmpty());
}

TEST_F(Supervision, TypingReconnectsOnceToTheWholeTrimmedAddress) {
  startConnected();
  const auto edited = executor->now();
  for (const char* typed : {"1", "19", "192.168.1.9", " 192.168.1.9\u2003"}) {
    controller->setEosIP(typed);
    executor->advanceBy(200ms);
  }
  executor->advanceBy(2s);
  EXPECT_EQ(store->writes().size(), 4u);
  EXPECT_EQ(store->writes().back().second, " 192.168.1.9\u2003");
  EXPECT_EQ(connectTimes(), std::vector<ManualExecutor::Duration>{edited + 600ms + 750ms});
  EXPECT_EQ(lastHost(), "192.168.1.9");
  EXPECT_TRUE(controller->isConnected());  // the outcome is compared with the trimmed field
}

TEST_F(Supervision, OutcomeForAnOldAddressIsDiscarded) {
  transport->connectAnswer.reset();
  start({{"eosIP", "10.0.0.1"}});
  controller->setEosIP("10.0.0.2");
  transport->finishConnect(false);  // 10.0.0.1 connected, but nobody wants it any more
  executor->runReady();
  EXPECT_FALSE(controller->isConnected());
  EXPECT_THAT(sent(), IsEmpty());
}

TEST_F(Supervision, OvertakenFailureDoesNotUndoTheNewerConnection) {
  transport->connectAnswer.reset();
  start({{"eosIP", "10.0.0.1"}});  // attempt 1 under way
  controller->setEosIP("10.0.0.1");
  executor->advanceBy(750ms);  // attempt 2 to the same address
  ASSERT_EQ(transport->unansweredConnects(), 2u);
  transport->finishConnect(false, 1);
  executor->runReady();
  transport->finishConnect(std::nullopt, 0);  // the transport reports the older one failed
  executor->runReady();
  EXPECT_TRUE(controller->isConnected());
}

TEST_F(Supervision, FailedSendDropsTheLinkAndTheRestThenReconnectsWithoutResending) {
  startConnected({{"bpmFX", "1"}, {"bpmMacro", "2"}});
  transport->sendAnswer = [](const auto&) { return link::SendError{}; };
  tap120();
  EXPECT_EQ(sent(), std::vector<Sent>{tempoCommand("Effect 1 BPM 120#")});  // no label after it
  EXPECT_FALSE(controller->isConnected());
  EXPECT_EQ(changes.back(), ObservedProperty::isConnected);
  transport->sendAnswer = nullptr;
  transport->clearCalls();
  executor->advanceBy(5500ms);  // the pass after the key presses of the first connection
  EXPECT_TRUE(controller->isConnected());
  EXPECT_EQ(sent(), (std::vector<Sent>{effectKey, effectKey}));
}

}  // namespace
}  // namespace tempik::core
