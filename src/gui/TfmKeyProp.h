#pragma once
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "core/engines/search_limits.h"

namespace quorvex {

// "Keywords property": a keyword's text, engine category and match type, and the schedule with the
// two search limits, from which a new search or an update search starts. Created once; keeps what the
// user left in it.
class TfmKeyProp : public QDialog {
  Q_OBJECT
 public:
  explicit TfmKeyProp(QWidget* parent = nullptr);

  enum Action { Closed = 0, NewSearch = 1, UpdateSearch = 2 };
  // Fills the choices, opens the first page with the focus in the keyword edit, and runs modally;
  // returns the button that closed it.
  Action Execute(const QStringList& categories, int category, int matchMode, const QString* keyword = nullptr);
  // The New Search and Update Search buttons, enabled only while the program is idle.
  void SetStartEnabled(bool enabled);

  QString Keyword() const { return edKey->text(); }
  int Category() const { return cbClassify->currentIndex(); }
  int MatchMode() const { return rgKind->checkedId(); }
  // The two limit edits read as numbers, 30 and 300 when they are not.
  SearchLimits Limits() const;

  QTabWidget* Pages;
  QLineEdit* edKey;
  QComboBox* cbClassify;
  QButtonGroup* rgKind;
  QComboBox* cbDetail;
  QLineEdit* edCountPerEngine;
  QLineEdit* edCountAll;
  QPushButton* btnSearch;
  QPushButton* btnUpdate;
  QPushButton* btnClose;

 private:
  QWidget* SearchOptionsPage();
  QWidget* AdvancedPage();
  void cbDetailChange(int index);
};

}  // namespace quorvex
