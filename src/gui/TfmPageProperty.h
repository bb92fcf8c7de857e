#pragma once
#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace quorvex {

class TOneResult;

// "Page Property": the texts of one result, read-only.
class TfmPageProperty : public QDialog {
  Q_OBJECT
 public:
  explicit TfmPageProperty(QWidget* parent = nullptr);
  // Fills the fields from result (none keeps what they show) and shows the dialog modally.
  void ShowPageProperty(const TOneResult* result);

 private:
  QLineEdit* edTitle_;
  QPlainTextEdit* meContent_;
  QLineEdit* edURL_;
  QLineEdit* edEngine_;
  QLineEdit* edLocalPage_;
  QLineEdit* edDate_;
};

}  // namespace quorvex
