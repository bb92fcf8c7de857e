#pragma once
#include <QToolBar>

class QComboBox;
class QLineEdit;

namespace quorvex {

class TActivityIndicator;
struct TMainCommands;

// The search bar above the window: the keyword edit (edKey), the buttons of the search, stop, show
// progress, verify and download commands, the match mode (cbMatch) and category boxes, and the
// activity indicator, which shows the running work's window when clicked. Enter in the edit searches.
class TSearchBar : public QToolBar {
  Q_OBJECT
 public:
  TSearchBar(const TMainCommands& commands, QComboBox* categoryBox, QWidget* parent = nullptr);

  QString Keyword() const;
  void SetKeyword(const QString& keyword);
  int MatchMode() const;
  void SetMatchMode(int mode);
  // The edit follows the start commands; the buttons follow their commands by themselves.
  void SetKeywordEnabled(bool enabled);
  // Turns the activity indicator one step.
  void Turn();

 private:
  QLineEdit* edKey_;
  QComboBox* cbMatch_;
  TActivityIndicator* activity_;
};

}  // namespace quorvex
