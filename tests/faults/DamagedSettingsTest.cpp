// The settings file is damaged or cannot be written: tempik starts with its defaults or with
// what it can still read, keeps the operator's edits, and prints nothing about it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "GarbageBytes.h"
#include "core/TempoController.h"
#include "support/FakeConsoleTransport.h"
#include "support/ManualExecutor.h"
#include "ui/QtSettingsStore.h"

namespace tempik::faults {
namespace {

QByteArray garbage(std::size_t size) {
  return garbageBytes(size, 20261206);
}

enum class Damage { none, unwritableFolder, folderIsAFile };

struct Case {
  const char* name;
  std::optional<QByteArray> file;  // the file's bytes, or no file at all
  Damage damage;
  std::string eosIP, bpmFX, bpmMacro;  // what tempik should start with
  bool editsReachTheFile;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class DamagedSettings : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv.data());
    saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    previousHandler = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { said().append(text); });
    said().clear();
  }
  void TearDown() override {
    qInstallMessageHandler(previousHandler);
    QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_CONFIG_HOME", saved);
  }

  static QStringList& said() {
    static QStringList messages;
    return messages;
  }
  QString folder() const { return configHome.path() + "/tempik"; }

  std::shared_ptr<core::TempoController> start() {
    executor = std::make_shared<fakes::ManualExecutor>();
    auto controller =
        core::TempoController::create({executor, std::make_shared<core::SystemWallClock>(),
                                       std::make_shared<ui::QtSettingsStore>(),
                                       std::make_shared<fakes::FakeConsoleTransport>(executor)});
    executor->runReady();
    return controller;
  }

  QTemporaryDir configHome;
  QByteArray saved;
  QtMessageHandler previousHandler = nullptr;
  std::shared_ptr<fakes::ManualExecutor> executor;
  int argc = 1;
  std::array<char*, 2> argv{const_cast<char*>("tempik_faults"), nullptr};
  std::unique_ptr<QCoreApplication> app;
};

TEST_P(DamagedSettings, StartsWithWhatItCanReadKeepsEditsAndSaysNothing) {
  const Case& c = GetParam();
  ASSERT_TRUE(configHome.isValid());
  if (c.damage == Damage::folderIsAFile) {
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  } else {
    ASSERT_TRUE(QDir().mkpath(folder()));
  }
  if (c.file) {
    QFile file(folder() + "/tempik.conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(*c.file);
  }
  if (c.damage == Damage::unwritableFolder) {
    ASSERT_TRUE(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner));
    ASSERT_TRUE(QFile::setPermissions(folder() + "/tempik.conf", QFile::ReadOwner));
  }

  ::testing::internal::CaptureStderr();
  {
    const auto tempik = start();
    EXPECT_EQ(tempik->eosIP(), c.eosIP);
    EXPECT_EQ(tempik->bpmFX(), c.bpmFX);
    EXPECT_EQ(tempik->bpmMacro(), c.bpmMacro);
    tempik->setBpmFX("3-5");
    EXPECT_EQ(tempik->bpmFX(), "3-5");
  }
  {
    const auto nextRun = start();
    // Root writes through a read-only folder, so only a file in the way surely stops it.
    if (c.editsReachTheFile) {
      EXPECT_EQ(nextRun->bpmFX(), "3-5");
    }
    if (c.damage == Damage::folderIsAFile) {
      EXPECT_EQ(nextRun->bpmFX(), c.bpmFX);
    }
  }
  const std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed, "");
  EXPECT_TRUE(said().isEmpty()) << said().join('\n').toStdString();
}

const QByteArray readableLines = "\n[General]\nbpmFX=1-4\nbpmMacro=7\n";

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedSettings,
    ::testing::Values(
        Case{"binaryGarbage", garbage(4096), Damage::none, "127.0.0.1", "", "", true},
        Case{"emptyFile", QByteArray(), Damage::none, "127.0.0.1", "", "", true},
        Case{"garbageAroundReadableLines", garbage(512) + readableLines + garbage(512),
             Damage::none, "127.0.0.1", "1-4", "7", true},
        Case{"readOnlyFolder", "[General]\neosIP=127.0.0.5\nbpmFX=2\n", Damage::unwritableFolder,
             "127.0.0.5", "2", "", false},
        Case{"folderIsAFile", std::nullopt, Damage::folderIsAFile, "127.0.0.1", "", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tempik::faults
