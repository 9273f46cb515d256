#pragma once

#include <QLabel>
#include <functional>

namespace tempik::ui {

/// A label whose text, links included, takes a colour derived from the palette Qt gives it
/// (its parent's, or the theme's for labels), and takes it again whenever that palette changes,
/// so the window can switch between light and dark while it runs. Tab onto a label with links lands
/// on its first (Backtab: last) link at once, so the stop always shows. Main thread only.
class TintedLabel final : public QLabel {
  Q_OBJECT

 public:
  using Tint = QColor (*)(const QPalette&);
  /// Rich text with its links in the given (opaque) colour: Qt colours a link when the text
  /// is parsed, from the application's palette, unless the text says otherwise.
  using LinkedText = std::function<QString(const QColor& linkColour)>;

  TintedLabel(LinkedText text, Tint tint, QWidget* parent = nullptr);
  TintedLabel(const QString& text, Tint tint, QWidget* parent = nullptr);

  /// Shows other plain text in the same tint.
  void replaceText(const QString& text);

 protected:
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  void applyTint();

  LinkedText text_;
  Tint tint_;
};

}  // namespace tempik::ui
