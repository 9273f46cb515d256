#pragma once

#include <QWidget>

class QLineEdit;
class QVBoxLayout;

namespace tempik::ui {

/// One rounded group of a settings form, its rows stacked with hairlines between them
/// (the look of a desktop settings pane). Hidden rows take no room and get no line.
class FormGroup final : public QWidget {
  Q_OBJECT

 public:
  explicit FormGroup(QWidget* parent = nullptr);

  /// A row with the label at the leading edge and the field (or control) at the trailing edge.
  void addFieldRow(const QString& label, QWidget* field);
  /// A row holding one widget at the leading edge; hide the row to take it out.
  QWidget* addRow(QWidget* content);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* addRowWidget();

  QVBoxLayout* rows_;
};

/// A single-line text field as the form shows it: no frame, text at the trailing edge. Screen
/// readers hear its name and what it takes (the description), never the example text.
[[nodiscard]] QLineEdit* makeFormField(const QString& placeholder, const QString& accessibleName,
                                       const QString& accessibleDescription);

}  // namespace tempik::ui
