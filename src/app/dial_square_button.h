// A square of the dial: a button showing its caption on its background
// colour, or the KO swatch. It never stays pressed. The current square, and
// a square with the focus, is framed; Space or Return clicks it and the
// arrow keys ask for a neighbour.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

namespace zandorik {

class DialSquareButton : public QAbstractButton {
  Q_OBJECT
 public:
  explicit DialSquareButton(QWidget* parent = nullptr);

  // A colour code; one that is no 24-bit colour is drawn hatched.
  void SetBackground(double code);
  void SetCaptionColour(const QColor& colour);
  // The picture: the KO swatch, or a null pixmap for none.
  void SetPicture(const QPixmap* picture);
  const QPixmap* Picture() const { return picture_; }
  // Whether it is the current square, framed wherever the focus is.
  void SetCurrent(bool current);
  bool IsCurrent() const { return current_; }
  double Background() const { return background_; }
  QColor CaptionColour() const { return captionColour_; }

  QSize sizeHint() const override { return {21, 21}; }

 signals:
  // An arrow key: the square `rowStep` rows down and `columnStep` columns
  // right is wanted.
  void ArrowPressed(int rowStep, int columnStep);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  double background_ = 16777215;
  QColor captionColour_ = Qt::black;
  const QPixmap* picture_ = nullptr;
  bool current_ = false;
};

// The QColor of a colour code (red in the lowest byte), if it is one.
bool ColourOfCode(double code, QColor& colour);

}  // namespace zandorik
