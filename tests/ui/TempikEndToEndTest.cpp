// tempik itself, started offscreen beside eos-sim on loopback, with the real timings.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/EndToEnd.h"

namespace tempik {
namespace {

using fakes::EosSim;

constexpr const char* key = "/eos/user/20/key/effect";

TEST(TempikEndToEnd, PressesEffectTwiceAnswersTheConsolesTapsAndComesBackAfterADrop) {
  QTemporaryDir home;
  // tempik always talks to port 3038. The console taps at a steady 120 BPM by itself.
  EosSim console({"--listen", "127.0.0.1:3038", "--tap-bpm", "120"});
  ASSERT_TRUE(console.waitUntilListening()) << "eos-sim cannot listen on 127.0.0.1:3038";
  QProcess tempik;
  tempik.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  ASSERT_TRUE(fakes::startTempik(tempik, home.path(), "[General]\nbpmFX=1\nbpmMacro=901\n"));
  const auto first = console.next("message", key), second = console.next("message", key);
  ASSERT_TRUE(first && second) << "no connection";
  EXPECT_NEAR(first->at.msecsTo(second->at), 300, 100) << "the key gap";
  // The third tap gives the tempo (the console's timer may stray by a beat or so).
  const auto command = console.next("message", "/eos/user/20/newcmd");
  ASSERT_TRUE(command && command->arguments.size() == 1) << "no tempo command";
  const QString text = command->arguments.front();
  ASSERT_TRUE(text.startsWith("Effect 1 BPM ") && text.endsWith("#")) << text.toStdString();
  const int bpm = text.mid(13, text.size() - 14).toInt();
  EXPECT_NEAR(bpm, 120, 3) << text.toStdString();
  const auto label = console.next("message", "/eos/set/macro/901/label");
  ASSERT_TRUE(label);
  EXPECT_EQ(label->arguments, QStringList{QStringLiteral("BPM || %1").arg(bpm)});
  // The console drops the link: the check loop brings it back within its 5 s.
  console.command("d");
  const auto dropped = console.next("dropped");
  const auto again = console.next("message", key);
  ASSERT_TRUE(dropped && again) << "no reconnection";
  EXPECT_LE(dropped->at.msecsTo(again->at), 6500);
  EXPECT_EQ(tempik.state(), QProcess::Running);
  tempik.terminate();
  EXPECT_TRUE(tempik.waitForFinished(10'000));
}

// tempik's own settings file, damaged: it starts, connects with what it could read (or its
// defaults), sends the tempo with what it read, and says nothing.
TEST(TempikEndToEnd, StartsConnectsAndTapsWithWhatItCanReadOfADamagedSettingsFile) {
  QByteArray garbage(512, 0);
  for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 37 + i / 7);
  const struct {
    QByteArray file;
    bool readOnlyFolder;
    QString command;  // the start of the tempo command, or empty when none is configured
  } cases[] = {
      {garbage, false, {}},
      {garbage + "\n[General]\nbpmFX=1-4\n" + garbage, false, "Effect 1 Thru 4 BPM "},
      {"[General]\neosIP=127.0.0.1\nbpmFX=2\n", true, "Effect 2 BPM "},
  };
  EosSim console({"--listen", "127.0.0.1:3038", "--tap-bpm", "120"});
  ASSERT_TRUE(console.waitUntilListening()) << "eos-sim cannot listen on 127.0.0.1:3038";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command.toStdString());
    QTemporaryDir home;
    QProcess tempik;
    ASSERT_TRUE(fakes::startTempik(tempik, home.path(), c.file, c.readOnlyFolder));
    EXPECT_TRUE(console.next("message", key)) << "no connection";
    if (!c.command.isEmpty()) {
      const auto command = console.next("message", "/eos/user/20/newcmd");
      ASSERT_TRUE(command && !command->arguments.empty()) << "no tempo command";
      EXPECT_TRUE(command->arguments.front().startsWith(c.command))
          << command->arguments.front().toStdString();
    }
    EXPECT_EQ(tempik.state(), QProcess::Running);
    tempik.terminate();
    EXPECT_TRUE(tempik.waitForFinished(10'000));
    // The offscreen platform says once that it cannot size windows to their hints; a desktop's
    // platform can. Anything else tempik printed would reach the operator.
    QString printed = QString::fromUtf8(tempik.readAllStandardError());
    printed.remove("This plugin does not support propagateSizeHints()\n");
    EXPECT_EQ(printed.toStdString(), "");
    QFile::setPermissions(home.path() + "/tempik",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(console.next("disconnected"));
  }
}

}  // namespace
}  // namespace tempik
