#include "gui/TfmAppearance.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "gui/TSearchList.h"
#include "gui/list_fonts.h"

namespace quorvex {
namespace {

struct TFontBox {
  const char* Group;
  const char* Preview;
  const char* PreviewName;
  const char* ButtonName;
};

constexpr std::array<TFontBox, 5> kFontBoxes = {{{"Title Font", "Title Font", "stTitle", "btnTitle"},
                                                 {"Summary Font", "Summary Font", "stSummary", "btnSummary"},
                                                 {"URLFont", "URL Font", "stURL", "btnURL"},
                                                 {"Keywords Font", "Keywords Font", "stKeyWord", "btnKeyWord"},
                                                 {"Visited Font", "Visited Font", "stVisited", "btnVisited"}}};

void PaintLine(QFrame* line, std::uint32_t color) {
  line->setStyleSheet(QStringLiteral("background: %1;").arg(ToQColor(color).name()));
}

}  // namespace

TfmAppearance::TfmAppearance(QWidget* parent)
    : QDialog(parent),
      spGridLine_(new QFrame(this)),
      cbDisplayGrid_(new QCheckBox(QStringLiteral("Display Grid"), this)),
      btnLineColor_(new QPushButton(QStringLiteral("Color"), this)),
      tbSummaryLine_(new QSlider(Qt::Horizontal, this)),
      btnApply_(new QPushButton(QStringLiteral("&Apply"), this)) {
  setWindowTitle(QStringLiteral("Font & Color"));
  setObjectName(QStringLiteral("fmAppearance"));
  auto* layout = new QVBoxLayout(this);
  for (size_t i = 0; i < kFontBoxes.size(); ++i) {
    auto* group = new QGroupBox(QString::fromLatin1(kFontBoxes[i].Group), this);
    auto* row = new QHBoxLayout(group);
    QLabel* preview = previews_[i] = new QLabel(QString::fromLatin1(kFontBoxes[i].Preview), group);
    preview->setObjectName(QString::fromLatin1(kFontBoxes[i].PreviewName));
    preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    preview->setAutoFillBackground(true);
    preview->setMinimumSize(220, 32);
    auto* set = new QPushButton(QStringLiteral("Set"), group);
    set->setObjectName(QString::fromLatin1(kFontBoxes[i].ButtonName));
    set->setAutoDefault(false);
    connect(set, &QPushButton::clicked, this, [this, i] { ChooseFont(static_cast<TListFont>(i)); });
    row->addWidget(preview, 1);
    if (static_cast<TListFont>(i) == TListFont::Summary) {
      row->addWidget(new QLabel(QStringLiteral("Lines:"), group));
      row->addWidget(tbSummaryLine_);
    }
    row->addWidget(set);
    layout->addWidget(group);
  }
  tbSummaryLine_->setObjectName(QStringLiteral("tbSummaryLine"));
  tbSummaryLine_->setRange(0, 5);
  tbSummaryLine_->setTickPosition(QSlider::TicksBelow);
  tbSummaryLine_->setTickInterval(1);
  tbSummaryLine_->setPageStep(1);
  connect(tbSummaryLine_, &QSlider::valueChanged, this, [this](int lines) {
    look_.SummaryLine = lines;
    Changed();
  });

  auto* grid = new QGroupBox(QStringLiteral("Grid"), this);
  auto* gridRow = new QHBoxLayout(grid);
  spGridLine_->setObjectName(QStringLiteral("spGridLine"));
  spGridLine_->setFixedHeight(1);
  spGridLine_->setMinimumWidth(120);
  cbDisplayGrid_->setObjectName(QStringLiteral("cbDisplayGrid"));
  btnLineColor_->setObjectName(QStringLiteral("btnLineColor"));
  btnLineColor_->setAutoDefault(false);
  gridRow->addWidget(spGridLine_, 1);
  gridRow->addWidget(cbDisplayGrid_);
  gridRow->addWidget(btnLineColor_);
  layout->addWidget(grid);
  connect(cbDisplayGrid_, &QCheckBox::clicked, this, [this](bool on) {
    look_.DisplayGrid = on;
    btnLineColor_->setEnabled(on);
    Changed();
  });
  connect(btnLineColor_, &QPushButton::clicked, this, &TfmAppearance::ChooseGridColor);

  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  ok->setDefault(true);
  cancel->setAutoDefault(false);
  btnApply_->setObjectName(QStringLiteral("btnApply"));
  btnApply_->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, [this] {
    Apply();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnApply_, &QPushButton::clicked, this, &TfmAppearance::Apply);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(btnApply_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TfmAppearance::Execute(TSearchList& list) {
  list_ = &list;
  look_ = list.Look();
  ShowLook();
  btnApply_->setEnabled(false);
  const bool accepted = exec() == Accepted;
  list_ = nullptr;
  return accepted;
}

void TfmAppearance::ShowLook() {
  for (size_t i = 0; i < previews_.size(); ++i) {
    const TFontSpec& spec = look_.Fonts[i];
    previews_[i]->setFont(ToQFont(spec));
    QPalette palette = previews_[i]->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, ToQColor(spec.Color));
    previews_[i]->setPalette(palette);
  }
  PaintLine(spGridLine_, look_.GridLine);
  cbDisplayGrid_->setChecked(look_.DisplayGrid);
  btnLineColor_->setEnabled(look_.DisplayGrid);
  const QSignalBlocker blocker(tbSummaryLine_);
  tbSummaryLine_->setValue(look_.SummaryLine);
}

// The font dialog chooses face, size and style; the colour dialog that follows, the colour.
void TfmAppearance::ChooseFont(TListFont which) {
  TFontSpec& spec = look_.Font(which);
  bool chosen = false;
  const QFont font = QFontDialog::getFont(&chosen, ToQFont(spec), this);
  if (!chosen) return;
  spec = FromQFont(font, spec);
  const QColor color = QColorDialog::getColor(ToQColor(spec.Color), this);
  if (color.isValid()) spec.Color = FromQColor(color);
  ShowLook();
  Changed();
}

void TfmAppearance::ChooseGridColor() {
  const QColor color = QColorDialog::getColor(ToQColor(look_.GridLine), this);
  if (!color.isValid()) return;
  look_.GridLine = FromQColor(color);
  PaintLine(spGridLine_, look_.GridLine);
  Changed();
}

void TfmAppearance::Changed() { btnApply_->setEnabled(true); }

void TfmAppearance::Apply() {
  if (list_ != nullptr) list_->SetLook(look_);
  btnApply_->setEnabled(false);
}

}  // namespace quorvex
