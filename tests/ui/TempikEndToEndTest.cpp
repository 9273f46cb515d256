// tempik itself, started offscreen beside eos-sim on loopback: the console's taps come back
// as the tempo command.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/EndToEnd.h"

namespace {

using tempik::fakes::EosSim;

TEST(TempikEndToEnd, AnswersTheConsolesTapsWithTheTempoCommand) {
  QTemporaryDir configHome;
  ASSERT_TRUE(QDir().mkpath(configHome.path() + "/tempik"));
  {
    QFile settings(configHome.path() + "/tempik/tempik.conf");
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[General]\neosIP=127.0.0.1\nbpmFX=1\nbpmMacro=901\n");
  }

  // tempik always talks to port 3038. The console taps at a steady 120 BPM by itself.
  EosSim console(EOS_SIM_PATH, {"--listen", "127.0.0.1:3038", "--tap-bpm", "120"});
  ASSERT_TRUE(console.waitUntilListening())
      << "eos-sim cannot listen on 127.0.0.1:3038 (is another console running?)";

  QProcess tempik;
  tempik.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  ASSERT_TRUE(tempik::fakes::startTempikOffscreen(tempik, TEMPIK_PATH, configHome.path()));

  const QDeadlineTimer deadline(30'000);
  // Connected: the Effect key is pressed twice.
  EXPECT_TRUE(console.nextMessage("/eos/user/20/key/effect", deadline));
  EXPECT_TRUE(console.nextMessage("/eos/user/20/key/effect", deadline));

  // The third tap gives the tempo (the console's timer may stray by a beat or so).
  const auto command = console.nextMessage("/eos/user/20/newcmd", deadline);
  ASSERT_TRUE(command) << "no tempo command within 30 s";
  ASSERT_EQ(command->arguments.size(), 1);
  const QString text = command->arguments.front();
  ASSERT_TRUE(text.startsWith("Effect 1 BPM ") && text.endsWith("#")) << text.toStdString();
  const int bpm = text.mid(13, text.size() - 14).toInt();
  EXPECT_NEAR(bpm, 120, 3) << text.toStdString();

  const auto label = console.nextMessage("/eos/set/macro/901/label", deadline);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->arguments, QStringList{QStringLiteral("BPM || %1").arg(bpm)});

  EXPECT_EQ(tempik.state(), QProcess::Running);
  tempik.terminate();
  EXPECT_TRUE(tempik.waitForFinished(10'000));
}

}  // namespace
