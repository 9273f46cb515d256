#include "ui/ContentView.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "support/FakeConsoleTransport.h"
#include "support/FakeWallClock.h"
#include "support/ManualExecutor.h"
#include "support/MemorySettingsStore.h"
#include "ui/EosConnectionStatusView.h"
#include "ui/PulsingTapButton.h"
#include "ui/TapWindowDots.h"

namespace tempik::ui {
namespace {

using namespace std::chrono_literals;
using Settings = std::map<std::string, std::string, std::less<>>;

// A window's content over a real controller whose seams are fakes.
struct ContentViewTest : testing::Test {
  explicit ContentViewTest(Settings settings = {})
      : store(std::make_shared<fakes::MemorySettingsStore>(std::move(settings))) {
    clock->set(std::chrono::system_clock::now());
    transport->connectAnswer = std::nullopt;  // stays unconnected until the test says
    controller = core::TempoController::create({executor, clock, store, transport});
    view = std::make_unique<ContentView>(controller, clock);
    view->show();
    executor->runReady();
  }
  ~ContentViewTest() override {
    view.reset();
    transport->dropUnanswered();
  }

  // Replaces the field's text the way an operator does: select all, then type.
  void type(QLineEdit& field, const QString& text) {
    field.selectAll();
    if (text.isEmpty()) {
      QTest::keyClick(&field, Qt::Key_Backspace);
    } else {
      QTest::keyClicks(&field, text);
    }
    executor->runReady();
  }
  int contentHeight() const {
    // Each level of nested layouts passes the change up with an event of its own.
    for (int level = 0; level < 8; ++level) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
    return view->sizeHint().height();
  }
  std::vector<std::string> writesOf(const std::string& key) const {
    std::vector<std::string> values;
    for (const auto& [k, v] : store->writes()) {
      if (k == key) values.push_back(v);
    }
    return values;
  }

  std::shared_ptr<fakes::ManualExecutor> executor = std::make_shared<fakes::ManualExecutor>();
  std::shared_ptr<fakes::FakeWallClock> clock = std::make_shared<fakes::FakeWallClock>();
  std::shared_ptr<fakes::MemorySettingsStore> store;
  std::shared_ptr<fakes::FakeConsoleTransport> transport =
      std::make_shared<fakes::FakeConsoleTransport>(executor);
  std::shared_ptr<core::TempoController> controller;
  std::unique_ptr<ContentView> view;
};

TEST_F(ContentViewTest, ShowsTheEffectHintOnlyForTextThatIsNoEffectSelection) {
  const std::pair<QString, bool> cases[] = {
      {"", false},   {"3000-4000", false}, {"10 17 21", false},
      {"abc", true}, {" ", true},          {"4000-3000", true},
  };
  for (const auto& [text, shown] : cases) {
    type(view->effectField(), text);
    EXPECT_EQ(view->isEffectHintShown(), shown) << text.toStdString();
  }
}

TEST_F(ContentViewTest, ShowsTheMacroHintOnlyForTextThatIsNoMacroNumber) {
  const std::pair<QString, bool> cases[] = {
      {"", false},      {"901", false}, {" 901 ", false}, {"0", true},
      {"100000", true}, {"1.5", true},  {"12a", true},
  };
  for (const auto& [text, shown] : cases) {
    type(view->macroField(), text);
    EXPECT_EQ(view->isMacroHintShown(), shown) << text.toStdString();
  }
}

TEST_F(ContentViewTest, GrowsByOneRowWhileEachHintShows) {
  const int plain = contentHeight();
  EXPECT_EQ(view->width(), 400);

  type(view->effectField(), "abc");
  const int effectHint = contentHeight();
  EXPECT_GE(effectHint - plain, 30);
  type(view->macroField(), "x");
  const int bothHints = contentHeight();
  EXPECT_GE(bothHints - effectHint, 30);
  type(view->effectField(), "");
  EXPECT_EQ(contentHeight(), plain + (bothHints - effectHint)) << "only the macro hint left";

  type(view->macroField(), "");
  EXPECT_EQ(contentHeight(), plain);
  EXPECT_EQ(view->width(), 400);
}

TEST_F(ContentViewTest, AssignsTheWholeTextOnEveryKeystroke) {
  QTest::keyClicks(&view->macroField(), "901");
  EXPECT_EQ(writesOf("bpmMacro"), (std::vector<std::string>{"9", "90", "901"}));
  EXPECT_EQ(controller->bpmMacro(), "901");

  view->hostField().end(false);
  QTest::keyClick(&view->hostField(), Qt::Key_Backspace);
  EXPECT_EQ(writesOf("eosIP"), std::vector<std::string>{"127.0.0."});
  EXPECT_EQ(view->hostField().text(), "127.0.0.");
}

TEST_F(ContentViewTest, PressesOfTheButtonTapAtTheTimeOfThePress) {
  EXPECT_EQ(view->tapButton().tempoText(), QString(QChar(0x2013)));
  EXPECT_EQ(view->tapDots().litDots(), 0);
  for (int i = 0; i < 3; ++i) {
    QTest::mousePress(&view->tapButton(), Qt::LeftButton, {}, {150, 150});
    QTest::mouseRelease(&view->tapButton(), Qt::LeftButton, {}, {150, 150});
    executor->runReady();
    clock->set(clock->now() + 500ms);
  }
  EXPECT_EQ(controller->tempo().bpm(), 120);
  EXPECT_EQ(view->tapButton().tempoText(), "120");
  EXPECT_EQ(view->tapDots().litDots(), 3);
}

TEST_F(ContentViewTest, FollowsTheConnectionState) {
  EXPECT_EQ(view->connectionStatus().text(), "Not Connected");
  ASSERT_GE(transport->unansweredConnects(), 1U);
  transport->finishConnect(link::ConnectOutcome{false});
  executor->runReady();
  EXPECT_EQ(view->connectionStatus().text(), "Connected");
}

struct ContentViewWithSettingsTest : ContentViewTest {
  ContentViewWithSettingsTest()
      : ContentViewTest(Settings{{"eosIP", "10.0.0.7"}, {"bpmFX", "abc"}, {"bpmMacro", "901"}}) {}
};

TEST_F(ContentViewWithSettingsTest, OpensWithTheStoredSettingsAndTheirHints) {
  EXPECT_EQ(view->hostField().text(), "10.0.0.7");
  EXPECT_EQ(view->effectField().text(), "abc");
  EXPECT_TRUE(view->isEffectHintShown());
  EXPECT_EQ(view->macroField().text(), "901");
  EXPECT_FALSE(view->isMacroHintShown());
  EXPECT_TRUE(store->writes().empty()) << "opening writes nothing back";
}

}  // namespace
}  // namespace tempik::ui
