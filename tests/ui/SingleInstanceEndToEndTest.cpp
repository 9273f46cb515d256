// tempik launched again beside eos-sim: the second launch hands over and leaves the console
// alone, and a crashed run's lock and socket do not stop the next start.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/EndToEnd.h"

namespace {

TEST(SingleInstanceEndToEnd, ASecondLaunchExitsWithoutConnectingAndACrashLeavesNoLock) {
  QTemporaryDir home;
  tempik::fakes::EosSim console(EOS_SIM_PATH, {"--listen", "127.0.0.1:3038"});
  ASSERT_TRUE(console.waitUntilListening()) << "is another console on 127.0.0.1:3038?";
  const QDeadlineTimer deadline(30'000);
  int connections = 0, presses = 0;
  // Reads the console's events until one of this kind; false when none comes.
  const auto readUntil = [&](const QString& kind, int pressesWanted = 0) {
    while (const auto event = console.nextEvent(deadline)) {
      connections += event->value("event") == "connected";
      presses += event->value("address") == "/eos/user/20/key/effect";
      if (event->value("event") == kind && presses >= pressesWanted) return true;
    }
    return false;
  };

  QProcess first;
  ASSERT_TRUE(tempik::fakes::startTempikOffscreen(first, TEMPIK_PATH, home.path()));
  ASSERT_TRUE(readUntil("message", 2)) << "the first launch never pressed Effect twice";

  QProcess second;
  ASSERT_TRUE(tempik::fakes::startTempikOffscreen(second, TEMPIK_PATH, home.path()));
  ASSERT_TRUE(second.waitForFinished(10'000)) << "the second launch keeps running";
  EXPECT_TRUE(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);

  first.kill();  // a crash: the lock file and the socket stay behind
  ASSERT_TRUE(first.waitForFinished(10'000));
  ASSERT_TRUE(readUntil("disconnected"));
  EXPECT_EQ(connections, 1);
  EXPECT_EQ(presses, 2);

  QProcess third;
  ASSERT_TRUE(tempik::fakes::startTempikOffscreen(third, TEMPIK_PATH, home.path()));
  EXPECT_TRUE(readUntil("message", 3)) << "a stale lock kept tempik from starting";
}

}  // namespace
