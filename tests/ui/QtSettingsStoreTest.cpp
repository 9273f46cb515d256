#include "ui/QtSettingsStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tempik::ui {
namespace {

// Points $XDG_CONFIG_HOME at a fresh folder for one test.
struct SettingsStoreTest : testing::Test {
  SettingsStoreTest() : saved(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
  }
  ~SettingsStoreTest() override { qputenv("XDG_CONFIG_HOME", saved); }

  QString filePath() const { return configHome.path() + "/tempik/tempik.conf"; }
  void writeFile(const QByteArray& text) const {
    QDir().mkpath(configHome.path() + "/tempik");
    QFile file(filePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  QTemporaryDir configHome;
  QByteArray saved;
};

TEST_F(SettingsStoreTest, KeepsTextExactlyAsTypedAcrossRuns) {
  EXPECT_EQ(QtSettingsStore::standardFilePath(), filePath());
  const std::pair<const char*, std::string> values[] = {
      {"eosIP", " 10.101.100.101 "},
      {"bpmFX", "1,2, 3"},
      {"bpmMacro", "@901"},
      {"quoting", "a;b=c\"d\\e#f"},
      {"unicode", "Effekt \xC3\xBC 5"},
      {"empty", ""},
  };
  {
    QtSettingsStore store;
    EXPECT_EQ(store.read("eosIP"), std::nullopt);
    for (const auto& [key, value] : values) store.write(key, value);
    EXPECT_TRUE(store.isPersisted());
  }
  ASSERT_TRUE(QFile::exists(filePath()));
  const QtSettingsStore nextRun;
  for (const auto& [key, value] : values) EXPECT_EQ(nextRun.read(key), value) << key;
}

TEST_F(SettingsStoreTest, ReadsAHandEditedFileAsText) {
  writeFile(
      "[General]\n"
      "bpmFX=1,2\n"
      "eosIP=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
      "bpmMacro=\"90, 1\"\n"
      "odd=@Rect(1 2 3 4)\n");
  const QtSettingsStore store;
  EXPECT_EQ(store.read("bpmFX"), "1,2") << "an unquoted comma is not a list";
  EXPECT_EQ(store.read("eosIP"), "5") << "a number gives its digits";
  EXPECT_EQ(store.read("bpmMacro"), "90, 1");
  EXPECT_EQ(store.read("odd"), std::nullopt) << "a value with no text counts as missing";
}

TEST_F(SettingsStoreTest, KeepsValuesInMemoryWhenTheFolderCannotBeWritten) {
  // A plain file where the folder should be: no user, not even root, can create it.
  QFile blocker(configHome.path() + "/tempik");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();

  QtSettingsStore store;
  store.write("bpmMacro", "9");
  store.write("bpmMacro", "90");
  EXPECT_FALSE(store.isPersisted());
  EXPECT_EQ(store.read("bpmMacro"), "90");
}

}  // namespace
}  // namespace tempik::ui
