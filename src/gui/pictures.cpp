#include "gui/pictures.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace quorvex {
namespace {

constexpr int kCategorySize = 17;
constexpr int kMissingStripCopies = 30;

// A small magnifying glass: the program's own picture of a category.
QPixmap BuiltInCategoryPicture() {
  QPixmap pixmap(kCategorySize, kCategorySize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(30, 70, 150), 2));
  painter.setBrush(QColor(200, 225, 255));
  painter.drawEllipse(QRectF(2, 2, 9, 9));
  painter.setPen(QPen(QColor(120, 80, 30), 3, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(11, 11), QPointF(15, 15));
  return pixmap;
}

QPixmap NodePicture(const QColor& body, bool bin) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(body.darker(160));
  painter.setBrush(body);
  if (bin) {
    painter.drawRect(QRectF(4, 4, 8, 10));
    painter.drawLine(QPointF(2.5, 3.5), QPointF(13.5, 3.5));
    painter.drawLine(QPointF(6.5, 6), QPointF(6.5, 12));
    painter.drawLine(QPointF(9.5, 6), QPointF(9.5, 12));
    return pixmap;
  }
  painter.drawRect(QRectF(1.5, 3.5, 5, 2));  // the folder's tab
  painter.drawRect(QRectF(1.5, 5.5, 13, 8));
  return pixmap;
}

}  // namespace

QList<QIcon> CategoryPictures(const QString& iconBmpFile) {
  const QIcon builtIn(BuiltInCategoryPicture());
  QList<QIcon> pictures{builtIn};
  if (!QFile::exists(iconBmpFile)) {
    for (int i = 0; i < kMissingStripCopies; ++i) pictures.append(builtIn);
    return pictures;
  }
  const QImage strip(iconBmpFile);
  const int tile = strip.width();
  if (tile == 0) return pictures;
  for (int k = 0; k < strip.height() / tile; ++k) {
    const QImage square = strip.copy(0, k * tile, tile, tile);
    pictures.append(QIcon(QPixmap::fromImage(square.scaled(kCategorySize, kCategorySize))));
  }
  return pictures;
}

QIcon CategoryPicture(const QList<QIcon>& pictures, std::optional<int> number) {
  const int index = number.value_or(0);
  if (index < 0 || index >= pictures.size()) return pictures.value(0);
  return pictures[index];
}

QList<QIcon> KeyTreePictures() {
  return {QIcon(NodePicture(QColor(90, 150, 230), false)), QIcon(NodePicture(QColor(250, 210, 90), false)),
          QIcon(NodePicture(QColor(170, 170, 170), true))};
}

}  // namespace quorvex
