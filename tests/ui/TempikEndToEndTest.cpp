// tempik itself, started offscreen beside eos-sim on loopback, with the real timings.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/EndToEnd.h"

namespace tempik {
namespace {

using fakes::EosSim;

constexpr const char* key = "/eos/user/20/key/effect";

TEST(TempikEndToEnd, PressesTwiceAnswersTapsComesBackAfterADropAndStaysTheOnlyOne) {
  QTemporaryDir home;
  EosSim console({"--tap-bpm", "120"});  // the console taps at a steady 120 BPM by itself
  ASSERT_FALSE(console.host().isEmpty());
  const QByteArray settings = "[General]\nbpmFX=1\nbpmMacro=901\neosIP=" + console.host().toUtf8();
  QProcess tempik;
  tempik.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  ASSERT_TRUE(fakes::startTempik(tempik, home.path(), settings));
  const auto press = console.next("message", key), nextPress = console.next("message", key);
  ASSERT_TRUE(press && nextPress) << "no connection";
  EXPECT_NEAR(press->at.msecsTo(nextPress->at), 300, 100) << "the key gap";
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
  // A second launch hands over to the first and leaves: no second connection.
  QProcess secondLaunch;
  ASSERT_TRUE(fakes::startTempik(secondLaunch, home.path(), settings));
  ASSERT_TRUE(secondLaunch.waitForFinished(10'000)) << "the second launch keeps running";
  EXPECT_TRUE(secondLaunch.exitStatus() == QProcess::NormalExit && secondLaunch.exitCode() == 0);
  // A crash leaves the lock and the socket behind; they must not stop the next start.
  tempik.kill();
  ASSERT_TRUE(tempik.waitForFinished(10'000) && console.next("disconnected"));
  EXPECT_EQ(console.connections, 2) << "the first, and the first again after the drop";
  QProcess afterCrash;
  ASSERT_TRUE(fakes::startTempik(afterCrash, home.path(), settings));
  EXPECT_TRUE(console.next("message", key)) << "a stale lock kept tempik from starting";
  afterCrash.terminate();
  EXPECT_TRUE(afterCrash.waitForFinished(10'000));
}

// tempik's own settings file, damaged: it starts, connects with what it could read (or its
// defaults), sends the tempo with what it read, and says nothing.
TEST(TempikEndToEnd, StartsConnectsAndTapsWithWhatItCanReadOfADamagedSettingsFile) {
  QByteArray garbage(512, 0);
  for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 37 + i / 7);
  EosSim console({"--tap-bpm", "120"});
  ASSERT_FALSE(console.host().isEmpty());
  const QByteArray host = "\neosIP=" + console.host().toUtf8() + "\n";
  const struct {
    QByteArray file;
    bool readOnlyFolder;
    QString command;  // the start of the tempo command
  } cases[] = {
      {garbage + "\n[General]\nbpmFX=1-4" + host + garbage, false, "Effect 1 Thru 4 BPM "},
      {"[General]\nbpmFX=2" + host, true, "Effect 2 BPM "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command.toStdString());
    QTemporaryDir home;
    QProcess tempik;
    ASSERT_TRUE(fakes::startTempik(tempik, home.path(), c.file, c.readOnlyFolder));
    const auto command = console.next("message", "/eos/user/20/newcmd");
    ASSERT_TRUE(command && !command->arguments.empty()) << "no tempo command";
    EXPECT_TRUE(command->arguments.front().startsWith(c.command))
        << command->arguments.front().toStdString();
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
