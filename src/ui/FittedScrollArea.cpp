#include "ui/FittedScrollArea.h"

#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

namespace tempik::ui {
namespace {

// Room for a title bar whose height the window system has not told yet.
constexpr int unknownTitleBar = 40;

}  // namespace

FittedScrollArea::FittedScrollArea(QWidget* content, QWidget* parent) : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::NoFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setBackgroundRole(QPalette::Window);
  viewport()->setBackgroundRole(QPalette::Window);
  setWidgetResizable(true);
  setWidget(content);
  content->installEventFilter(this);
}

int FittedScrollArea::heightLimit() const {
  const QScreen* display = screen();
  const QWidget* top = window();
  if (!display || top == this) return QWIDGETSIZE_MAX;
  int chrome = top->frameGeometry().height() - top->geometry().height();
  if (chrome <= 0 && !top->isVisible()) chrome = unknownTitleBar;
  if (const auto* main = qobject_cast<const QMainWindow*>(top); main && main->menuWidget()) {
    chrome += main->menuWidget()->sizeHint().height();
  }
  return display->availableGeometry().height() - chrome;
}

QSize FittedScrollArea::sizeHint() const {
  QSize hint = widget() ? widget()->sizeHint() : QSize();
  const int limit = heightLimit();
  if (hint.height() > limit) {
    hint.setHeight(limit);
    hint.rwidth() += verticalScrollBar()->sizeHint().width();
  }
  return hint;
}

bool FittedScrollArea::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == widget() && type == QEvent::LayoutRequest) {
    // The content changed its natural height: let the window follow.
    updateGeometry();
  } else if (watched == watchedWindow_ && (type == QEvent::Show || type == QEvent::Move ||
                                           type == QEvent::ScreenChangeInternal)) {
    // Shown, framed by the window manager, or moved to another screen: the room changed.
    updateGeometry();
  } else if (watched == watchedWindow_ && type == QEvent::Resize) {
    keepWindowOnScreen();
  }
  return QScrollArea::eventFilter(watched, event);
}

void FittedScrollArea::keepWindowOnScreen() {
  const QScreen* display = screen();
  if (!display || !watchedWindow_->isVisible()) return;
  // Grown to the screen's height where the window manager had placed it lower, the
  // window would reach past the bottom: lift it.
  const QRect room = display->availableGeometry();
  const QRect frame = watchedWindow_->frameGeometry();
  if (frame.bottom() > room.bottom()) {
    watchedWindow_->move(frame.left(), std::max(room.top(), room.bottom() + 1 - frame.height()));
  }
}

bool FittedScrollArea::event(QEvent* event) {
  if (event->type() == QEvent::ParentChange) {
    if (watchedWindow_) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = window() == this ? nullptr : window();
    if (watchedWindow_) watchedWindow_->installEventFilter(this);
  }
  return QScrollArea::event(event);
}

}  // namespace tempik::ui
