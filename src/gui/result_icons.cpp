#include "gui/result_icons.h"

#include <QPainter>
#include <QPainterPath>

namespace quorvex {
namespace {

constexpr int kCell = 13;

void DrawTick(QPainter& painter) {
  painter.setPen(QPen(QColor(220, 0, 0), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QPainterPath path;
  path.moveTo(2, 7);
  path.lineTo(5, 10.5);
  path.lineTo(11, 2.5);
  painter.drawPath(path);
}

void DrawArrow(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 220));
  painter.drawRect(QRectF(4.5, 1, 4, 6));
  painter.drawPolygon(QPolygonF({QPointF(1.5, 6.5), QPointF(11.5, 6.5), QPointF(6.5, 12)}));
}

void DrawCross(QPainter& painter) {
  painter.setPen(QPen(QColor(220, 0, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(2.5, 2.5), QPointF(10.5, 10.5));
  painter.drawLine(QPointF(10.5, 2.5), QPointF(2.5, 10.5));
}

// A coloured tile with a white character; a screen without a font for the character gets the letter.
void DrawTile(QPainter& painter, const QColor& colour, QChar glyph, QChar letter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawRoundedRect(QRectF(0, 0, kCell, kCell), 2, 2);
  QFont font = painter.font();
  font.setPixelSize(11);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  const QChar shown = QFontMetrics(font).inFont(glyph) ? glyph : letter;
  painter.drawText(QRectF(0, 0, kCell, kCell), Qt::AlignCenter, QString(shown));
}

}  // namespace

QPixmap ResultIconStrip(const QColor& background, qreal devicePixelRatio) {
  QPixmap strip(QSize(6 * kIconPitch, kIconPitch) * devicePixelRatio);
  strip.setDevicePixelRatio(devicePixelRatio);
  strip.fill(background);
  QPainter painter(&strip);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (int cell = 0; cell < 6; ++cell) {
    painter.save();
    painter.translate(cell * kIconPitch, 0);
    switch (cell) {
      case 0:
        DrawTick(painter);
        break;
      case 1:
        DrawArrow(painter);
        break;
      case 2:
        DrawCross(painter);
        break;
      case 3:
        DrawTile(painter, QColor(0, 64, 200), QChar(0x7B80), QLatin1Char('G'));
        break;  // simplified
      case 4:
        DrawTile(painter, QColor(200, 0, 0), QChar(0x7E41), QLatin1Char('B'));
        break;  // traditional
      default:
        DrawTile(painter, QColor(0, 140, 0), QLatin1Char('E'), QLatin1Char('E'));
        break;
    }
    painter.restore();
  }
  return strip;
}

}  // namespace quorvex
