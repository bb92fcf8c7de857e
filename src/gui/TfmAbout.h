#pragma once
#include <QDialog>

namespace quorvex {

inline constexpr const char* kSupportMail = "support@quorvex.org";

// "About": the program's name and version, the platform it runs on, its maker and its addresses.
class TfmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TfmAbout(QWidget* parent = nullptr);
};

// "Quorvex v1.1".
QString ProgramTitle();

}  // namespace quorvex
