#pragma once
#include <QDialog>

#include "core/view/option_form.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QTabWidget;

namespace quorvex {

// "Quorvex Options": proxy, browser window, engine updates and time-outs. Its controls are filled from
// the options once, when it is made, and keep whatever the user leaves in them.
class TfmOption : public QDialog {
  Q_OBJECT
 public:
  explicit TfmOption(QWidget* parent = nullptr);
  // Shows the dialog modally; OK stores the controls into Options() and saves option.txt.
  void Execute();

 private:
  void Fill(const TOptionForm& form);
  TOptionForm Read() const;

  QTabWidget* pages_;
  QCheckBox* cbProxy_;
  QGroupBox* proxyGroup_;
  QLineEdit* edProxy_;
  QLineEdit* edPort_;
  QCheckBox* cbNewWindow_;
  QCheckBox* cbDEngines_;
  QLineEdit* edSearchTimeOut_;
  QLineEdit* edVerifyTimeout_;
  QLineEdit* edDownloadTimeout_;
  QCheckBox* cbDelete_;
  QLineEdit* edDays_;
};

}  // namespace quorvex
