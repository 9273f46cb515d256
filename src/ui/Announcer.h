#pragma once

#include <QString>
#include <QWidget>

namespace tempik::ui {

/// Says short messages through screen readers. To assistive technologies it is a
/// notification that shows itself, named by the message, each time one is announced: Orca and
/// other AT-SPI clients speak a notification as it appears, while Qt 6.4 sends name and
/// description changes in a form they cannot read. Draws nothing and takes no input. Main
/// thread only.
class Announcer final : public QWidget {
  Q_OBJECT

 public:
  explicit Announcer(QWidget* parent = nullptr);

  void announce(const QString& message);
  /// The last message announced.
  [[nodiscard]] const QString& message() const { return message_; }

 private:
  QString message_;
};

}  // namespace tempik::ui
