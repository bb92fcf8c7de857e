#include "gui/TfmProgress.h"

#include <QPointer>
#include <QStandardItemModel>

#include "gui/TVisualDownloader.h"
#include "gui/display_text.h"

namespace quorvex {
namespace {

// The search run's handle on a row; the row may already be gone with the window at the program's end.
class EngineRow : public TSearchProgressRow {
 public:
  explicit EngineRow(TVisualDownloader* row) : row_(row) {}
  ~EngineRow() override { delete row_.data(); }
  EngineRow(const EngineRow&) = delete;
  EngineRow& operator=(const EngineRow&) = delete;
  void Connected() override {
    if (row_) row_->Connected();
  }
  void Downloading(int reported) override {
    if (row_) row_->Downloading(reported);
  }
  void FinishedDown(int added, std::string_view failure) override {
    if (!row_) return;
    row_->FinishedDown(added);
    if (!failure.empty()) row_->Failed(ToDisplay(failure));
  }

 private:
  QPointer<TVisualDownloader> row_;
};

constexpr int kHeaderHeight = 24;
constexpr int kBevelHeight = 4;
constexpr int kButtonArea = 40;
}  // namespace

TfmProgress::TfmProgress(QWidget* parent)
    : QDialog(parent), Header(new QHeaderView(Qt::Horizontal, this)), btnHide(new QPushButton("&Hide Progress", this)) {
  setWindowTitle("Search Progress");
  auto* sections = new QStandardItemModel(0, 3, this);
  sections->setHorizontalHeaderLabels({"Search Engine", "Progress", "Count"});
  Header->setModel(sections);
  Header->setSectionsMovable(false);
  Header->setFixedHeight(kHeaderHeight);
  Header->resizeSection(0, 120);
  Header->resizeSection(1, 240);
  Header->resizeSection(2, 120);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Header);
  layout->addSpacing(kBevelHeight);
  rows_ = new QVBoxLayout;
  rows_->setSpacing(0);
  layout->addLayout(rows_);
  layout->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(8, 6, 8, 8);
  buttons->addStretch();
  buttons->addWidget(btnHide);
  layout->addLayout(buttons);
  connect(btnHide, &QPushButton::clicked, this, &QDialog::hide);
  connect(Header, &QHeaderView::sectionResized, this, &TfmProgress::HeaderSectionResize);
  setFixedWidth(490);
  FitHeight();
}

TVisualDownloader* TfmProgress::AddRow(const QString& engineName, int perEngineLimit) {
  auto* row = new TVisualDownloader(engineName, perEngineLimit, this);
  rows_->addWidget(row);
  row->resize(width(), TVisualDownloader::kHeight);
  row->Place(Header->sectionPosition(1), Header->sectionPosition(2));
  connect(row, &QObject::destroyed, this, &TfmProgress::FitHeight, Qt::QueuedConnection);
  FitHeight();
  return row;
}

std::unique_ptr<TSearchProgressRow> TfmProgress::AddEngineRow(const QString& engineName, int perEngineLimit) {
  return std::make_unique<EngineRow>(AddRow(engineName, perEngineLimit));
}

QList<TVisualDownloader*> TfmProgress::Rows() const { return findChildren<TVisualDownloader*>(); }

void TfmProgress::HeaderSectionResize() {
  for (TVisualDownloader* row : Rows()) row->Place(Header->sectionPosition(1), Header->sectionPosition(2));
}

void TfmProgress::FitHeight() {
  setFixedHeight(kHeaderHeight + kBevelHeight + kButtonArea + TVisualDownloader::kHeight * static_cast<int>(Rows().size()));
}

}  // namespace quorvex
