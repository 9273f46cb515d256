#pragma once

#include <QWidget>

namespace tempik::ui {

/// One status row: a filled green circle and "Connected", or an outlined red circle and
/// "Not Connected". Lives on the main thread.
class EosConnectionStatusView final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int spacing = 6;

  explicit EosConnectionStatusView(QWidget* parent = nullptr);

  void setConnected(bool isConnected);
  [[nodiscard]] bool isConnected() const { return isConnected_; }
  [[nodiscard]] QString text() const;

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool isConnected_ = false;
};

}  // namespace tempik::ui
