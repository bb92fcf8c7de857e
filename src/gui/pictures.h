#pragma once
#include <QIcon>
#include <QList>
#include <QString>
#include <optional>

namespace quorvex {

// The category pictures: the built-in picture 0, then one 17 by 17 picture per square tile of the
// vertical strip icon.bmp, or 30 copies of picture 0 when the file is missing.
QList<QIcon> CategoryPictures(const QString& iconBmpFile);
// The picture of a category row: the header's number when it has one, the built-in one otherwise,
// and picture 0 as well for a number past the end of the list.
QIcon CategoryPicture(const QList<QIcon>& pictures, std::optional<int> number);

// The three pictures of the keyword tree's nodes: the first node, the others, the last one.
QList<QIcon> KeyTreePictures();

}  // namespace quorvex
