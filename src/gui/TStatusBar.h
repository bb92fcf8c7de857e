#pragma once
#include <QList>
#include <QStatusBar>
#include <string_view>

class QLabel;

namespace quorvex {

// The main window's status bar: what the program is doing, the state of the last run, a spare panel,
// and which engines of the last search gave nothing and why. Panels are numbered from 0 and named
// StatusPanel0..3.
class TStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  static constexpr int kEngineNotePanel = 3;

  explicit TStatusBar(QWidget* parent = nullptr);
  void SetPanel(int panel, std::string_view text);
  // The engine note, its whole text also as the panel's tool tip (it may be longer than the bar).
  void SetEngineNote(std::string_view summary);

 private:
  QList<QLabel*> panels_;
};

}  // namespace quorvex
