#include "app/dial_square_button.h"

#include <QKeyEvent>
#include <QPainter>
#include <cmath>

namespace zandorik {

bool ColourOfCode(double code, QColor& colour) {
  if (!(code >= 0 && code <= 16777215) || std::floor(code) != code) return false;
  const auto value = static_cast<unsigned>(code);
  colour = QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
  return true;
}

DialSquareButton::DialSquareButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::TabFocus);
}

void DialSquareButton::SetBackground(double code) {
  if (background_ == code) return;
  background_ = code;
  update();
}

void DialSquareButton::SetCaptionColour(const QColor& colour) {
  if (captionColour_ == colour) return;
  captionColour_ = colour;
  update();
}

void DialSquareButton::SetPicture(const QPixmap* picture) {
  if (picture_ == picture) return;
  picture_ = picture;
  update();
}

void DialSquareButton::SetCurrent(bool current) {
  if (current_ == current) return;
  current_ = current;
  update();
}

void DialSquareButton::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & ~Qt::KeypadModifier) return QAbstractButton::keyPressEvent(event);
  switch (event->key()) {
    case Qt::Key_Up:
      return emit ArrowPressed(-1, 0);
    case Qt::Key_Down:
      return emit ArrowPressed(1, 0);
    case Qt::Key_Left:
      return emit ArrowPressed(0, -1);
    case Qt::Key_Right:
      return emit ArrowPressed(0, 1);
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return click();
    default:
      return QAbstractButton::keyPressEvent(event);
  }
}

void DialSquareButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  QColor fill;
  if (ColourOfCode(background_, fill)) {
    painter.fillRect(r, fill);
  } else {
    painter.fillRect(r, Qt::white);
    painter.fillRect(r, QBrush(Qt::gray, Qt::BDiagPattern));
  }

  // A raised edge, sunk while the mouse holds the button down.
  const bool down = isDown();
  const QColor light = down ? QColor(64, 64, 64) : QColor(255, 255, 255);
  const QColor dark = down ? QColor(255, 255, 255) : QColor(64, 64, 64);
  const QColor shadow = QColor(128, 128, 128);
  painter.setPen(light);
  painter.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
  painter.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
  painter.setPen(dark);
  painter.drawLine(r.bottomLeft(), r.bottomRight());
  painter.drawLine(r.topRight(), r.bottomRight());
  painter.setPen(shadow);
  painter.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() - QPoint(1, 1));
  painter.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() - QPoint(1, 1));

  const QPoint shift = down ? QPoint(1, 1) : QPoint(0, 0);
  if (picture_ && !picture_->isNull()) {
    // Centred at its own size, inside the edge.
    QRect target(QPoint(0, 0), picture_->size());
    target.moveCenter(r.center() + shift);
    painter.save();
    painter.setClipRect(r.adjusted(2, 2, -2, -2));
    painter.drawPixmap(target.topLeft(), *picture_);
    painter.restore();
  }
  if (!text().isEmpty()) {
    painter.setPen(captionColour_);
    painter.drawText(r.translated(shift), Qt::AlignCenter, text());
  }
  if (current_ || hasFocus()) {
    painter.setPen(QPen(captionColour_, 1, Qt::DotLine));
    painter.drawRect(r.adjusted(3, 3, -4, -4));
  }
}

}  // namespace zandorik
