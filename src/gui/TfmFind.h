#pragma once
#include <QDialog>
#include <string>

class QCheckBox;
class QLineEdit;

namespace quorvex {

// "Search in results": the text to look for and where to start. Made once, so its text and boxes keep
// their values from one use to the next.
class TfmFind : public QDialog {
  Q_OBJECT
 public:
  explicit TfmFind(QWidget* parent = nullptr);
  std::string Text() const;
  bool FromTop() const;
  bool CaseSensitive() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* edFind_;
  QCheckBox* cbTop_;
  QCheckBox* cbCase_;
};

}  // namespace quorvex
