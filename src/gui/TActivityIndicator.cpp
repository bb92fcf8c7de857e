#include "gui/TActivityIndicator.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace quorvex {
namespace {
constexpr int kBoxSize = 28;
constexpr int kPictureSize = 24;
constexpr int kArtworkSize = 40;
}  // namespace

TActivityIndicator::TActivityIndicator(QWidget* parent) : QWidget(parent), artwork_(Artwork()) {
  setFixedSize(kBoxSize, kBoxSize);
  setCursor(Qt::PointingHandCursor);
}

// A blue globe with two meridians and a light spot, on black so that its edge melts into the box.
QImage TActivityIndicator::Artwork() {
  QImage image(kArtworkSize, kArtworkSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF globe(8, 8, 24, 24);
  QRadialGradient shade(globe.center() - QPointF(4, 4), 16);
  shade.setColorAt(0, QColor(160, 210, 255));
  shade.setColorAt(1, QColor(10, 60, 160));
  painter.setBrush(shade);
  painter.setPen(QPen(QColor(200, 230, 255), 1));
  painter.drawEllipse(globe);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(230, 240, 255, 170), 1));
  painter.drawEllipse(globe.adjusted(6, 0, -6, 0));
  painter.drawLine(QPointF(globe.center().x(), globe.top()), QPointF(globe.center().x(), globe.bottom()));
  painter.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
  painter.setBrush(QColor(255, 200, 40));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QRectF(27, 6, 7, 7));  // the orbiting spark that makes the turn visible
  return image;
}

void TActivityIndicator::Turn() {
  angle_ -= 36;
  const double radians = angle_ * std::numbers::pi / 180.0;
  offset_ = QPoint(static_cast<int>(std::lround(5 * std::sin(radians))) - 6,
                   static_cast<int>(std::lround(5 * std::cos(radians))) - 6);
  update();
}

void TActivityIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  const int margin = (kBoxSize - kPictureSize) / 2;
  const QRect pictureArea(margin, margin, kPictureSize, kPictureSize);
  painter.setClipRect(pictureArea);
  painter.drawImage(pictureArea.topLeft() + offset_, artwork_);
}

void TActivityIndicator::mousePressEvent(QMouseEvent*) { emit clicked(); }

}  // namespace quorvex
