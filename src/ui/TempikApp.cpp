#include "ui/TempikApp.h"

#include <QLayout>
#include <QMenuBar>
#include <utility>

#include "ui/AboutDialog.h"
#include "ui/Appearance.h"
#include "ui/ContentView.h"
#include "ui/FittedScrollArea.h"
#include "ui/PulsingTapButton.h"

namespace tempik::ui {

TempikApp::TempikApp(DependencyFactory makeDependencies)
    : makeDependencies_(std::move(makeDependencies)), window_(std::make_unique<QMainWindow>()) {
  window_->setObjectName(QStringLiteral("main"));
  window_->setWindowTitle(QStringLiteral("tempik"));
  // The window takes its content's size, grows and shrinks with it, and cannot be resized.
  window_->layout()->setSizeConstraint(QLayout::SetFixedSize);

  aboutAction_ = new QAction(tr("About tempik"), window_.get());
  // On macOS this lands in the application menu; elsewhere it stays in Help.
  aboutAction_->setMenuRole(QAction::AboutRole);
  QObject::connect(aboutAction_, &QAction::triggered, window_.get(), [this] { showAboutPanel(); });
  window_->menuBar()->addMenu(tr("&Help"))->addAction(aboutAction_);
}

TempikApp::~TempikApp() {
  // The window and its views go before the controller they observe.
  window_.reset();
}

void TempikApp::show() {
  if (contentView_) {
    window_->show();
    return;
  }
  buildContent();
  window_->show();
  // Drawing the icon loads Qt's SVG plugin: only after the controller's first work.
  QMetaObject::invokeMethod(
      window_.get(), [window = window_.get()] { window->setWindowIcon(applicationIcon()); },
      Qt::QueuedConnection);
}

void TempikApp::bringToFront() {
  show();
  window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  window_->raise();
  window_->activateWindow();
  contentView_->tapButton().setFocus(Qt::ActiveWindowFocusReason);
}

void TempikApp::buildContent() {
  core::TempoController::Dependencies dependencies = makeDependencies_();
  auto clock = dependencies.clock;
  controller_ = core::TempoController::create(std::move(dependencies));
  contentView_ = new ContentView(controller_, std::move(clock));
  // On a screen too short for it, the content scrolls inside a window that fits.
  window_->setCentralWidget(new FittedScrollArea(contentView_));
  contentView_->tapButton().setFocus(Qt::OtherFocusReason);
}

void TempikApp::showAboutPanel() {
  if (!aboutDialog_) aboutDialog_ = new AboutDialog(window_.get());
  aboutDialog_->present();
}

}  // namespace tempik::ui
