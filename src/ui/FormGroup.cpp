#include "ui/FormGroup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

namespace tempik::ui {
namespace {

constexpr int rowPadding = 10;
constexpr int rowHeight = 34;
constexpr double cornerRadius = 8.0;

}  // namespace

FormGroup::FormGroup(QWidget* parent) : QWidget(parent), rows_(new QVBoxLayout(this)) {
  rows_->setContentsMargins(0, 0, 0, 0);
  rows_->setSpacing(0);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QWidget* FormGroup::addRowWidget() {
  auto* row = new QWidget(this);
  row->setMinimumHeight(rowHeight);
  rows_->addWidget(row);
  return row;
}

void FormGroup::addFieldRow(const QString& label, QWidget* field) {
  QWidget* row = addRowWidget();
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(rowPadding, 0, rowPadding, 0);
  auto* caption = new QLabel(label, row);
  caption->setBuddy(field);
  layout->addWidget(caption);
  layout->addSpacing(rowPadding);
  layout->addWidget(field, 1);
}

QWidget* FormGroup::addRow(QWidget* content) {
  QWidget* row = addRowWidget();
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(rowPadding, 6, rowPadding, 6);
  layout->addWidget(content);
  return row;
}

void FormGroup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPalette& colours = palette();
  QColor border = colours.color(QPalette::WindowText);
  border.setAlphaF(0.12F);
  painter.setPen(QPen(border, 1.0));
  painter.setBrush(colours.color(QPalette::Base));
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius,
                          cornerRadius);

  bool first = true;
  for (int i = 0; i < rows_->count(); ++i) {
    const QWidget* row = rows_->itemAt(i)->widget();
    if (!row || row->isHidden()) continue;
    if (!first) {
      const double y = row->geometry().top() + 0.5;
      painter.drawLine(QPointF(rowPadding, y), QPointF(width() - rowPadding, y));
    }
    first = false;
  }
}

QLineEdit* makeFormField(const QString& placeholder, const QString& accessibleName,
                         const QString& accessibleDescription) {
  auto* field = new QLineEdit;
  field->setPlaceholderText(placeholder);
  field->setAccessibleName(accessibleName);
  // Without one, Qt describes the field by its placeholder, which reads as if it were typed.
  field->setAccessibleDescription(accessibleDescription);
  field->setFrame(false);
  field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  field->setAttribute(Qt::WA_MacShowFocusRect, false);
  QPalette colours = field->palette();
  colours.setColor(QPalette::Base, Qt::transparent);
  field->setPalette(colours);
  return field;
}

}  // namespace tempik::ui
