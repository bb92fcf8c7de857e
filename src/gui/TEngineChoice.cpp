#include "gui/TEngineChoice.h"

#include <QComboBox>
#include <QListWidget>

#include "core/program/TProgram.h"
#include "gui/panel_parts.h"
#include "gui/display_text.h"
#include "gui/pictures.h"

namespace quorvex {
namespace {
constexpr int kLineRole = Qt::UserRole;
}

TEngineChoice::TEngineChoice(TProgram& program, QWidget* parent)
    : QSplitter(Qt::Vertical, parent),
      program_(program),
      pictures_(CategoryPictures(QString::fromStdString((program.Files().engineFolder / "icon.bmp").string()))),
      cbType_(new QComboBox(this)),
      lvType_(new QListWidget(this)),
      lvNowEngine_(new QListWidget(this)) {
  cbType_->setObjectName("cbType");
  lvType_->setObjectName("lvType");
  lvNowEngine_->setObjectName("lvNowEngine");
  // The splitter made a pane of each control as it was made (the category box stays one until the
  // window moves it to its tool bar), so the stretch is set by pane, not by position.
  QWidget* types = Captioned("S&earch Engine Classify", lvType_);
  QWidget* engines = Captioned("&Now Engines", lvNowEngine_);
  addWidget(types);
  addWidget(engines);
  setStretchFactor(indexOf(types), 0);
  setStretchFactor(indexOf(engines), 1);
  setChildrenCollapsible(false);
  lvType_->setViewMode(QListView::ListMode);
  lvType_->setIconSize(QSize(17, 17));
  lvType_->setMouseTracking(true);  // hot tracking

  connect(cbType_, &QComboBox::activated, this, &TEngineChoice::SetCategory);
  connect(lvType_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0 && row < cbType_->count()) SetCategory(row);
  });
  connect(lvType_, &QListWidget::itemDoubleClicked, this, [this] {
    if (lvType_->currentRow() >= 0) emit CategoryActivated(lvType_->currentRow());
  });
  connect(lvNowEngine_, &QListWidget::itemChanged, this, &TEngineChoice::EngineChanged);
  connect(lvNowEngine_, &QListWidget::currentItemChanged, this, &TEngineChoice::EngineChanged);
}

void TEngineChoice::Reload() {
  program_.LoadEngineIndex();
  const QSignalBlocker quietCombo(cbType_);
  const QSignalBlocker quietList(lvType_);
  cbType_->clear();
  lvType_->clear();
  for (const EngineCategory& category : program_.Index().Categories()) {
    cbType_->addItem(ToDisplay(category.Name));
    auto* row = new QListWidgetItem(CategoryPicture(pictures_, category.Picture), ToDisplay(category.Name), lvType_);
    row->setData(kLineRole, static_cast<qulonglong>(category.HeaderLine));
  }
  SetCategory(0);
}

int TEngineChoice::Category() const { return cbType_->currentIndex(); }

void TEngineChoice::SetCategory(int category) {
  if (category < 0 || category >= cbType_->count()) return;
  cbType_->setCurrentIndex(category);
  if (category < lvType_->count()) {
    const QSignalBlocker quiet(lvType_);
    lvType_->setCurrentRow(category);
  }
  ShowEngines();
}

void TEngineChoice::ShowEngines() {
  const std::vector<std::string> names = program_.CategoryNames();
  const int category = Category();
  const QSignalBlocker quiet(lvNowEngine_);
  lvNowEngine_->clear();
  if (category < 0 || static_cast<size_t>(category) >= names.size()) return;
  for (const EngineRow& engine : program_.Index().Engines(names[static_cast<size_t>(category)])) {
    auto* row = new QListWidgetItem(ToDisplay(engine.Name), lvNowEngine_);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(engine.Checked ? Qt::Checked : Qt::Unchecked);
    row->setData(kLineRole, static_cast<qulonglong>(engine.Line));
  }
}

void TEngineChoice::EngineChanged(QListWidgetItem* row) {
  if (row) program_.Index().SetChecked(row->data(kLineRole).toULongLong(), row->checkState() == Qt::Checked);
}

QStringList TEngineChoice::CategoryTexts() const {
  QStringList texts;
  for (int i = 0; i < cbType_->count(); ++i) texts.append(cbType_->itemText(i));
  return texts;
}

}  // namespace quorvex
