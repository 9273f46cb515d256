#include "ui/TempikApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "support/FakeConsoleTransport.h"
#include "support/FakeWallClock.h"
#include "support/ManualExecutor.h"
#include "support/MemorySettingsStore.h"
#include "ui/AboutDialog.h"
#include "ui/BuildInfo.h"
#include "ui/ContentView.h"

namespace tempik::ui {
namespace {

struct TempikAppTest : testing::Test {
  TempikAppTest() { transport->connectAnswer = std::nullopt; }
  ~TempikAppTest() override { transport->dropUnanswered(); }

  // Lets the window follow its content's new size: each level of nested layouts passes
  // the change up with an event of its own.
  static void settleLayout() {
    for (int level = 0; level < 8; ++level) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
  }

  std::shared_ptr<fakes::ManualExecutor> executor = std::make_shared<fakes::ManualExecutor>();
  std::shared_ptr<fakes::FakeConsoleTransport> transport =
      std::make_shared<fakes::FakeConsoleTransport>(executor);
  int controllersMade = 0;
  TempikApp app{[this] {
    ++controllersMade;
    return core::TempoController::Dependencies{executor, std::make_shared<fakes::FakeWallClock>(),
                                               std::make_shared<fakes::MemorySettingsStore>(),
                                               transport};
  }};
};

TEST_F(TempikAppTest, MakesTheControllerOnceWhenTheWindowFirstOpens) {
  EXPECT_EQ(app.controller(), nullptr);
  EXPECT_EQ(controllersMade, 0);

  app.show();
  ASSERT_NE(app.controller(), nullptr);
  const auto first = app.controller();
  app.window().close();
  app.show();
  EXPECT_EQ(controllersMade, 1);
  EXPECT_EQ(app.controller(), first);
  EXPECT_EQ(app.controller()->eosIP(), "127.0.0.1") << "defaults of an empty store";
}

TEST_F(TempikAppTest, SizesTheWindowToItsContentAndFollowsItsHeight) {
  app.show();
  settleLayout();
  QMainWindow& window = app.window();
  EXPECT_EQ(window.windowTitle(), "tempik");
  EXPECT_EQ(window.width(), 400);
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "not resizable";
  const int before = window.height();

  QTest::keyClicks(&app.contentView()->effectField(), "abc");
  executor->runReady();
  settleLayout();
  EXPECT_GT(window.height(), before);
  EXPECT_EQ(window.minimumSize(), window.maximumSize());

  QLineEdit& field = app.contentView()->effectField();
  field.selectAll();
  QTest::keyClick(&field, Qt::Key_Backspace);
  executor->runReady();
  settleLayout();
  EXPECT_EQ(window.height(), before);
}

TEST_F(TempikAppTest, OpensOneAboutDialogWhateverTheNumberOfUses) {
  app.show();
  QAction& about = app.aboutAction();
  EXPECT_EQ(about.text(), "About tempik");
  EXPECT_EQ(about.menuRole(), QAction::AboutRole);

  about.trigger();
  AboutDialog* dialog = app.aboutDialog();
  ASSERT_NE(dialog, nullptr);
  about.trigger();
  EXPECT_EQ(app.aboutDialog(), dialog);
  EXPECT_EQ(app.window().findChildren<AboutDialog*>().size(), 1);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->versionText().contains(QString::fromUtf8(applicationVersion)));
  EXPECT_EQ(dialog->creditsText().contains("<a href="), *websiteUrl != '\0') << "as built";
}

TEST_F(TempikAppTest, ClosingTheWindowEndsTheApplicationEvenWithAboutOpen) {
  app.show();
  app.showAboutPanel();
  QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
  // Qt ends the application only from inside its event loop: close the window from there.
  QTimer::singleShot(0, &app.window(), [this] { app.window().close(); });
  QTimer stillRunning;
  stillRunning.setSingleShot(true);
  QObject::connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  stillRunning.start(5000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(lastWindowClosed.count(), 1);
}

}  // namespace
}  // namespace tempik::ui
