#pragma once

#include <QDialog>

class QLabel;

namespace tempik::ui {

/// The About dialog: the application's name and version, its licence and the credits with
/// their link. One instance is kept and shown again on each use. Lives on the main thread.
class AboutDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  /// Brings the dialog to the front.
  void present();

  [[nodiscard]] QString creditsText() const;
  [[nodiscard]] QString versionText() const;
  [[nodiscard]] QString licenceText() const;

  /// MIT, or with Ableton Link inside, the GNU GPL for the whole build.
  [[nodiscard]] static QString licenceText(bool withLink);

 private:
  QLabel* version_;
  QLabel* licence_;
  QLabel* credits_;
};

}  // namespace tempik::ui
