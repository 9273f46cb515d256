#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "core/TempoController.h"

namespace tempik::ui {

class AboutDialog;
class ContentView;

/// The application: one window titled "tempik" whose content is the ContentView, sized to
/// that content (scrolling it when the screen is shorter) and not resizable, and the
/// "About tempik" menu item with its dialog.
///
/// The controller is made once, when the window's content is first built (the first
/// show()), and kept for the whole run. Closing the window ends the application (the
/// About dialog, a child of the window, does not keep it running). Main thread only.
class TempikApp {
  Q_DECLARE_TR_FUNCTIONS(tempik::ui::TempikApp)

 public:
  /// Makes the controller's seams; called once, when the content is built.
  using DependencyFactory = std::function<core::TempoController::Dependencies()>;

  explicit TempikApp(DependencyFactory makeDependencies);
  ~TempikApp();

  TempikApp(const TempikApp&) = delete;
  TempikApp& operator=(const TempikApp&) = delete;

  /// Opens the window, building its content (and the controller) the first time.
  void show();
  /// Shows the window, raised and activated, with the keyboard on the tap button: what a
  /// second launch of tempik asks for.
  void bringToFront();
  /// Shows the About dialog, reusing the one already made.
  void showAboutPanel();

  [[nodiscard]] QMainWindow& window() const { return *window_; }
  [[nodiscard]] QAction& aboutAction() const { return *aboutAction_; }
  /// Empty until the window first opens.
  [[nodiscard]] const std::shared_ptr<core::TempoController>& controller() const {
    return controller_;
  }
  [[nodiscard]] ContentView* contentView() const { return contentView_; }
  [[nodiscard]] AboutDialog* aboutDialog() const { return aboutDialog_; }

 private:
  void buildContent();

  DependencyFactory makeDependencies_;
  std::shared_ptr<core::TempoController> controller_;
  std::unique_ptr<QMainWindow> window_;
  QAction* aboutAction_;
  ContentView* contentView_ = nullptr;
  AboutDialog* aboutDialog_ = nullptr;
};

}  // namespace tempik::ui
