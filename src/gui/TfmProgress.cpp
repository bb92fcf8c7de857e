#include "gui/TfmProgress.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>

#include "gui/display_text.h"

namespace quorvex {
namespace {

enum Column { kEngineColumn, kProgressColumn, kStateColumn };

// The search run's handle on a row: it writes the row's data and frees the row with itself. The model
// may already be gone with the window at the program's end.
class EngineRow : public TSearchProgressRow {
 public:
  EngineRow(QStandardItemModel* model, const QModelIndex& row, int perEngineLimit)
      : model_(model), row_(row), limit_(std::max(perEngineLimit, 1)) {}
  ~EngineRow() override {
    if (model_ && row_.isValid()) model_->removeRow(row_.row());
  }
  EngineRow(const EngineRow&) = delete;
  EngineRow& operator=(const EngineRow&) = delete;

  void Connected() override {
    if (!model_ || Percent() >= 1) return;
    SetPercent(1);
    SetState("Connected");
  }
  void Downloading(int reported) override {
    if (!model_) return;
    SetState("Downloading:" + QString::number(reported));
    SetPercent(reported == 0 ? std::min(Percent() + 1, 100) : std::min(reported, limit_) * 100 / limit_);
  }
  void FinishedDown(int added, std::string_view failure) override {
    if (!model_) return;
    SetPercent(100);
    const QString finished = "Finished:" + QString::number(added);
    if (failure.empty()) {
      SetState(finished);
      return;
    }
    const QString reason = ToDisplay(failure);
    SetState(finished + " (" + reason + ")");
    const QString hint = row_.data().toString() + ": " + reason;
    for (int column : {kEngineColumn, kProgressColumn, kStateColumn})
      model_->setData(model_->index(row_.row(), column), hint, Qt::ToolTipRole);
  }

 private:
  int Percent() const { return model_->index(row_.row(), kProgressColumn).data(TfmProgress::kPercentRole).toInt(); }
  void SetPercent(int percent) {
    model_->setData(model_->index(row_.row(), kProgressColumn), percent, TfmProgress::kPercentRole);
  }
  void SetState(const QString& text) { model_->setData(model_->index(row_.row(), kStateColumn), text); }

  QPointer<QStandardItemModel> model_;
  QPersistentModelIndex row_;
  int limit_;
};

// Draws the Progress column as a bar, the other columns as text, every row kRowHeight high.
class RowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (index.column() != kProgressColumn) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QStyleOptionProgressBar bar;
    bar.initFrom(option.widget);
    bar.rect = option.rect.adjusted(0, 4, 0, -4);
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = index.data(TfmProgress::kPercentRole).toInt();
    bar.textVisible = false;
    bar.state |= QStyle::State_Horizontal;
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), TfmProgress::kRowHeight};
  }
};

constexpr int kButtonArea = 40;
constexpr std::chrono::milliseconds kFitInterval{50};
}  // namespace

TfmProgress::TfmProgress(QWidget* parent)
    : QDialog(parent),
      lvRows(new QTreeView(this)),
      btnHide(new QPushButton("&Hide Progress", this)),
      rows_(new QStandardItemModel(0, 3, this)) {
  setWindowTitle("Search Progress");
  rows_->setHorizontalHeaderLabels({"Search Engine", "Progress", "Count"});
  lvRows->setModel(rows_);
  lvRows->setItemDelegate(new RowDelegate(lvRows));
  lvRows->setRootIsDecorated(false);
  lvRows->setUniformRowHeights(true);
  lvRows->setSelectionMode(QAbstractItemView::NoSelection);
  lvRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvRows->setFocusPolicy(Qt::NoFocus);
  lvRows->setFrameShape(QFrame::NoFrame);
  lvRows->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  lvRows->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  lvRows->header()->setSectionsMovable(false);
  lvRows->header()->setStretchLastSection(true);
  lvRows->header()->resizeSection(kEngineColumn, 120);
  lvRows->header()->resizeSection(kProgressColumn, 240);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(lvRows);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(8, 6, 8, 8);
  buttons->addStretch();
  buttons->addWidget(btnHide);
  layout->addLayout(buttons);
  connect(btnHide, &QPushButton::clicked, this, &QDialog::hide);
  fit_.setSingleShot(true);
  fit_.setInterval(kFitInterval);
  connect(&fit_, &QTimer::timeout, this, &TfmProgress::FitHeight);
  const auto fitSoon = [this] {
    if (isHidden()) {
      FitHeight();  // nothing is drawn yet
    } else if (!fit_.isActive()) {
      fit_.start();
    }
  };
  connect(rows_, &QAbstractItemModel::rowsInserted, this, fitSoon);
  connect(rows_, &QAbstractItemModel::rowsRemoved, this, fitSoon);
  setFixedWidth(490);
  FitHeight();
}

std::unique_ptr<TSearchProgressRow> TfmProgress::AddEngineRow(const QString& engineName, int perEngineLimit) {
  auto* name = new QStandardItem(engineName);
  auto* progress = new QStandardItem;
  progress->setData(0, kPercentRole);
  rows_->appendRow({name, progress, new QStandardItem("0")});
  return std::make_unique<EngineRow>(rows_, name->index(), perEngineLimit);
}

void TfmProgress::FitHeight() {
  const int rowsHeight = lvRows->header()->sizeHint().height() + kRowHeight * rows_->rowCount();
  lvRows->setFixedHeight(rowsHeight);
  setFixedHeight(rowsHeight + kButtonArea);
}

}  // namespace quorvex
