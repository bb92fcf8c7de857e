#pragma once
#include <QColor>
#include <QPixmap>

namespace quorvex {

// The six 13 x 13 marks at a pitch of 14 pixels (0 verified, 1 downloaded, 2 failed, 3 GB, 4 BIG5,
// 5 English) drawn on background, sharp at the screen's device pixel ratio.
QPixmap ResultIconStrip(const QColor& background, qreal devicePixelRatio);

inline constexpr int kIconPitch = 14;

}  // namespace quorvex
