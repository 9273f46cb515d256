#include "ui/Announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tempik::ui {
namespace {

class AnnouncerAccessible final : public QAccessibleWidget {
 public:
  explicit AnnouncerAccessible(Announcer* announcer)
      : QAccessibleWidget(announcer, QAccessible::Notification), announcer_(announcer) {}

  [[nodiscard]] QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Name ? announcer_->message() : QString();
  }

 private:
  Announcer* announcer_;
};

QAccessibleInterface* announcerAccessibleFactory(const QString&, QObject* object) {
  // Qt takes ownership of the interface it is given.
  if (auto* announcer = qobject_cast<Announcer*>(object)) return new AnnouncerAccessible(announcer);
  return nullptr;
}

}  // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
  static const bool installed = [] {
    QAccessible::installFactory(announcerAccessibleFactory);
    return true;
  }();
  (void)installed;
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(1, 1);
  hide();
}

void Announcer::announce(const QString& message) {
  message_ = message;
  // Appearing is what a screen reader hears; hidden first, so that every message appears.
  hide();
  show();
}

}  // namespace tempik::ui
