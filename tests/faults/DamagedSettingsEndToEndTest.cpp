// The real tempik started offscreen on a damaged settings file, beside eos-sim: it starts,
// connects with what it could read (or its defaults), sends the tempo with what it read, and
// prints nothing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <memory>

#include "GarbageBytes.h"
#include "support/EndToEnd.h"

namespace tempik::faults {
namespace {

QByteArray garbage(std::size_t size) {
  return garbageBytes(size, 3038);
}

struct Case {
  const char* name;
  QByteArray file;
  bool readOnlyFolder;
  QString command;  // the start of the tempo command, or empty when none is configured
  QString label;    // the macro label address, or empty
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class DamagedSettingsEndToEnd : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    // QProcess watches its children through the application's event dispatcher.
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv.data());
  }
  void TearDown() override {
    QFile::setPermissions(configHome.path() + "/tempik",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }

  QTemporaryDir configHome;
  int argc = 1;
  std::array<char*, 2> argv{const_cast<char*>("tempik_faults"), nullptr};
  std::unique_ptr<QCoreApplication> app;
};

TEST_P(DamagedSettingsEndToEnd, StartsConnectsAndTapsWithWhatItCanRead) {
  const Case& c = GetParam();
  const QString folder = configHome.path() + "/tempik";
  ASSERT_TRUE(QDir().mkpath(folder));
  {
    QFile file(folder + "/tempik.conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.file);
  }
  if (c.readOnlyFolder) {
    ASSERT_TRUE(QFile::setPermissions(folder + "/tempik.conf", QFile::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
  }

  // The default console address is 127.0.0.1, port 3038. The console taps at 120 BPM.
  fakes::EosSim console(EOS_SIM_PATH, {"--listen", "127.0.0.1:3038", "--tap-bpm", "120"});
  ASSERT_TRUE(console.waitUntilListening()) << "eos-sim cannot listen on 127.0.0.1:3038";
  QProcess tempik;
  ASSERT_TRUE(fakes::startTempikOffscreen(tempik, TEMPIK_PATH, configHome.path()));

  const QDeadlineTimer deadline(30'000);
  EXPECT_TRUE(console.nextMessage("/eos/user/20/key/effect", deadline)) << "no connection";
  if (!c.command.isEmpty()) {
    const auto command = console.nextMessage("/eos/user/20/newcmd", deadline);
    ASSERT_TRUE(command) << "no tempo command within 30 s";
    ASSERT_EQ(command->arguments.size(), 1);
    EXPECT_TRUE(command->arguments.front().startsWith(c.command))
        << command->arguments.front().toStdString();
  }
  if (!c.label.isEmpty()) {
    EXPECT_TRUE(console.nextMessage(c.label, deadline)) << "no macro label";
  }

  EXPECT_EQ(tempik.state(), QProcess::Running);
  tempik.terminate();
  EXPECT_TRUE(tempik.waitForFinished(10'000));
  // The offscreen platform says once that it cannot size windows to their hints; a desktop's
  // platform can. Anything else tempik printed would reach the operator.
  QString printed = QString::fromUtf8(tempik.readAllStandardError());
  printed.remove("This plugin does not support propagateSizeHints()\n");
  EXPECT_EQ(printed.toStdString(), "");
}

const QByteArray readableLines = "\n[General]\nbpmFX=1-4\nbpmMacro=7\n";

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedSettingsEndToEnd,
    ::testing::Values(
        Case{"binaryGarbage", garbage(4096), false, {}, {}},
        Case{"emptyFile", QByteArray(), false, {}, {}},
        Case{"garbageAroundReadableLines", garbage(512) + readableLines + garbage(512), false,
             "Effect 1 Thru 4 BPM ", "/eos/set/macro/7/label"},
        Case{"readOnlyFolder", "[General]\neosIP=127.0.0.1\nbpmFX=2\n", true, "Effect 2 BPM ", {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tempik::faults
