#pragma once
#include <QImage>
#include <QWidget>

namespace quorvex {

// The turning picture in the window's top right corner: a black box whose 40 by 40 pixel artwork is
// moved around a small circle while the program is busy. Clicking it acts like Show Progress.
class TActivityIndicator : public QWidget {
  Q_OBJECT
 public:
  explicit TActivityIndicator(QWidget* parent = nullptr);
  // One step: the angle decreases by 36 degrees, ten steps to a turn.
  void Turn();
  int Angle() const { return angle_; }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  static QImage Artwork();

  QImage artwork_;
  int angle_ = 0;
  QPoint offset_{-6, -6};
};

}  // namespace quorvex
