#pragma once

#include <QWidget>
#include <optional>

#include "link/ConsoleTransport.h"

namespace tempik::ui {

class TintedLabel;

/// The connection's status: a filled green circle and "Connected", or an outlined red circle
/// and "Not Connected", with why under it in a few plain words when that is known ("The
/// console refused the connection…"). To assistive technologies it reads as the status and
/// the reason together. Lives on the main thread.
class EosConnectionStatusView final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int spacing = 6;

  explicit EosConnectionStatusView(QWidget* parent = nullptr);

  void setConnected(bool isConnected);
  /// Why not connected; ignored while connected.
  void setProblem(std::optional<link::LinkProblem> problem);
  [[nodiscard]] bool isConnected() const { return isConnected_; }
  /// "Connected" or "Not Connected".
  [[nodiscard]] QString text() const;
  /// Why not connected, or empty.
  [[nodiscard]] QString reason() const;

  /// What each problem tells the operator; empty for none worth telling.
  [[nodiscard]] static QString reasonText(link::LinkProblem problem);

 private:
  void showState();

  class Line;
  Line* line_;
  TintedLabel* reason_;
  bool isConnected_ = false;
  std::optional<link::LinkProblem> problem_;
};

}  // namespace tempik::ui
