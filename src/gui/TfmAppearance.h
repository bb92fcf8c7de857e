#pragma once
#include <QDialog>
#include <array>

#include "core/view/list_look.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;

namespace quorvex {

class TSearchList;

// "Font & Color": edits a copy of the result list's look; Apply and OK hand it to the list, Cancel
// keeps what an earlier Apply handed over.
class TfmAppearance : public QDialog {
  Q_OBJECT
 public:
  explicit TfmAppearance(QWidget* parent = nullptr);
  // Loads the list's look, shows the dialog modally; true when it closed with OK.
  bool Execute(TSearchList& list);

 private:
  void ShowLook();
  void ChooseFont(TListFont which);
  void ChooseGridColor();
  void Changed();
  void Apply();

  TListLook look_;
  TSearchList* list_ = nullptr;
  std::array<QLabel*, 5> previews_{};
  QFrame* spGridLine_;
  QCheckBox* cbDisplayGrid_;
  QPushButton* btnLineColor_;
  QSlider* tbSummaryLine_;
  QPushButton* btnApply_;
};

}  // namespace quorvex
