#pragma once
#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace quorvex {

class TFilter;

// "Filter": which results the list shows. OK, Cancel and Enter copy the controls into the filter;
// only Escape leaves it as it was.
class TfmFilter : public QDialog {
  Q_OBJECT
 public:
  explicit TfmFilter(QWidget* parent = nullptr);
  // Shows the dialog modally over filter; true when it closed with OK.
  bool Edit(TFilter& filter);

 private:
  void CopyTo(TFilter& filter) const;

  QLineEdit* edContains_;
  QLineEdit* edEngine_;
  QCheckBox* cbDownloaded_;
  QCheckBox* cbVisited_;
  TFilter* filter_ = nullptr;
};

}  // namespace quorvex
