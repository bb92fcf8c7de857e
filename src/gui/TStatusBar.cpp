#include "gui/TStatusBar.h"

#include <QLabel>

#include "gui/display_text.h"

namespace quorvex {

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
  for (int width : {150, 100, 50, 0}) {
    auto* panel = new QLabel(this);
    panel->setObjectName("StatusPanel" + QString::number(panels_.size()));
    if (width > 0) panel->setFixedWidth(width);
    addWidget(panel, width > 0 ? 0 : 1);  // the engine note takes the rest
    panels_.append(panel);
  }
}

void TStatusBar::SetPanel(int panel, std::string_view text) {
  if (panel >= 0 && panel < panels_.size()) panels_[panel]->setText(ToDisplay(text));
}

void TStatusBar::SetEngineNote(std::string_view summary) {
  SetPanel(kEngineNotePanel, summary);
  panels_[kEngineNotePanel]->setToolTip(ToDisplay(summary));
}

}  // namespace quorvex
