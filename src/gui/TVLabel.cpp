#include "gui/TVLabel.h"

#include <QPainter>

namespace quorvex {

TVLabel::TVLabel(const QString& caption, const QColor& color, QWidget* parent)
    : QWidget(parent), caption_(caption), color_(color) {}

void TVLabel::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void TVLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), color_);
  QFont turned = font();
  turned.setWeight(QFont::Thin);
  turned.setStretch(QFont::SemiCondensed);
  painter.setFont(turned);
  // Turned upwards, the caption starts at the bottom edge (two pixels above it) and runs to the top;
  // its base line sits at the label's right edge, so the letters face the left edge.
  painter.translate(width() - painter.fontMetrics().descent() - 1, height() - 2);
  painter.rotate(-90);
  painter.drawText(0, 0, caption_);
}

}  // namespace quorvex
