#include "gui/TfmEngineHealth.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "core/common/datetime.h"
#include "core/common/file_io.h"
#include "core/config/ProgramDirs.h"
#include "core/search/engine_health.h"
#include "core/search/own_results.h"
#include "gui/display_text.h"

namespace quorvex {
namespace {

constexpr int kKeptPageRole = Qt::UserRole;  // set only where learning from the kept page can help

}  // namespace

TfmEngineHealth::TfmEngineHealth(QWidget* parent)
    : QDialog(parent),
      lvEngines_(new QTreeWidget(this)),
      btnLearn_(new QPushButton(QStringLiteral("&Learn from the kept page"), this)) {
  setWindowTitle(QStringLiteral("Engine Health"));
  setObjectName(QStringLiteral("fmEngineHealth"));
  lvEngines_->setObjectName(QStringLiteral("lvEngines"));
  btnLearn_->setObjectName(QStringLiteral("btnLearnKept"));
  btnLearn_->setAutoDefault(false);
  lvEngines_->setHeaderLabels({QStringLiteral("Engine"), QStringLiteral("Outcome"), QStringLiteral("Records"),
                               QStringLiteral("Own results"), QStringLiteral("Time (ms)"), QStringLiteral("Searched"),
                               QStringLiteral("Reason")});
  lvEngines_->setRootIsDecorated(false);
  auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(btnLearn_);
  bottom->addStretch();
  bottom->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lvEngines_, 1);
  layout->addLayout(bottom);
  resize(760, 360);

  connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(lvEngines_, &QTreeWidget::currentItemChanged, this, &TfmEngineHealth::UpdateLearnButton);
  connect(btnLearn_, &QPushButton::clicked, this, [this] {
    if (const QTreeWidgetItem* row = lvEngines_->currentItem())
      emit LearnRequested(row->data(0, kKeptPageRole).toString(), row->text(0));
  });
}

void TfmEngineHealth::Execute(const EngineIndex& index, std::string_view category, const std::vector<TOneKey*>& keys) {
  const std::filesystem::path folder(EngineDir());
  const std::optional<std::string> text = ReadWholeFile(folder / kHealthFileName);
  if (!text && MayExist(folder / kHealthFileName)) {
    // Searches do not write over it either: the user can set it right.
    QMessageBox::warning(
        this, windowTitle(),
        ToDisplay((folder / kHealthFileName).string() + " cannot be read: no outcome is shown or kept."));
  }
  const std::vector<TEngineHealth> health = ParseHealth(text.value_or(""));
  const std::vector<EngineRow> engines = index.Engines(category);
  std::vector<std::string> names;
  for (const EngineRow& engine : engines) names.push_back(engine.Name);
  const std::vector<TOwnResults> own = OwnResultCounts(keys, names, SearchResultDir());
  lvEngines_->clear();
  for (size_t e = 0; e < engines.size(); ++e) {
    const EngineRow& engine = engines[e];
    auto* row = new QTreeWidgetItem(lvEngines_);
    row->setText(0, ToDisplay(engine.Name));
    row->setText(3, QStringLiteral("%1 of %2").arg(own[e].own).arg(own[e].found));
    const auto last =
        std::find_if(health.begin(), health.end(), [&](const TEngineHealth& h) { return h.name == engine.Name; });
    if (last == health.end()) {
      row->setText(1, QStringLiteral("not searched yet"));
      continue;
    }
    row->setText(1, QString::fromLatin1(EngineStateName(last->state)));
    row->setText(2, QString::number(last->records));
    row->setText(4, QString::number(last->milliseconds));
    row->setText(5, QString::fromStdString(FormatDateTime(last->when)));
    row->setText(6, ToDisplay(last->reason));
    const std::filesystem::path kept = KeptPagePath(folder, engine.Name);
    std::error_code error;
    if (last->state == TEngineState::NoRecordMatched && std::filesystem::exists(kept, error))
      row->setData(0, kKeptPageRole, QString::fromStdString(kept.string()));
  }
  for (int column = 0; column < lvEngines_->columnCount() - 1; ++column) lvEngines_->resizeColumnToContents(column);
  lvEngines_->setCurrentItem(lvEngines_->topLevelItem(0));
  UpdateLearnButton();
  exec();
}

void TfmEngineHealth::UpdateLearnButton() {
  const QTreeWidgetItem* row = lvEngines_->currentItem();
  btnLearn_->setEnabled(row && !row->data(0, kKeptPageRole).toString().isEmpty());
}

}  // namespace quorvex
