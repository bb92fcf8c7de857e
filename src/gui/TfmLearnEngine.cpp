#include "gui/TfmLearnEngine.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "core/common/utf8.h"
#include "core/config/ProgramDirs.h"
#include "core/engines/learned_engine.h"
#include "core/engines/saved_page.h"
#include "core/search/engine_health.h"
#include "gui/display_text.h"
#include "gui/named_edit.h"

namespace quorvex {
namespace {

// The learner reads the keyword as UTF-8, and file names on this system are UTF-8 too.
std::string Utf8(const QLineEdit* edit) { return edit->text().trimmed().toStdString(); }

}  // namespace

TfmLearnEngine::TfmLearnEngine(EngineIndex& index, QWidget* parent)
    : QDialog(parent),
      index_(index),
      edPage_(NamedEdit(this, "edPage")),
      edKeyword_(NamedEdit(this, "edKeyword")),
      edUrl_(NamedEdit(this, "edUrl")),
      edName_(NamedEdit(this, "edName")),
      cbCategory_(new QComboBox(this)),
      lvResults_(new QTreeWidget(this)),
      lbReport_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
  setWindowTitle(QStringLiteral("Learn Engine from Page"));
  setObjectName(QStringLiteral("fmLearnEngine"));
  cbCategory_->setObjectName(QStringLiteral("cbCategory"));
  lvResults_->setObjectName(QStringLiteral("lvResults"));
  lbReport_->setObjectName(QStringLiteral("lbReport"));
  edUrl_->setPlaceholderText(QStringLiteral("the address the page came from, with the keyword in it"));
  edName_->setPlaceholderText(QStringLiteral("optional: Learned engine"));
  lvResults_->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Address")});
  lvResults_->setRootIsDecorated(false);
  lbReport_->setWordWrap(true);
  lbReport_->setTextFormat(Qt::PlainText);  // the report names tags such as <h2>
  lvResults_->setColumnWidth(0, 300);

  auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
  auto* learn = new QPushButton(QStringLiteral("&Learn"), this);
  learn->setObjectName(QStringLiteral("btnLearn"));
  browse->setAutoDefault(false);
  learn->setAutoDefault(false);
  auto* pageRow = new QHBoxLayout;
  pageRow->addWidget(edPage_);
  pageRow->addWidget(browse);
  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Saved page:"), pageRow);
  fields->addRow(QStringLiteral("Keyword:"), edKeyword_);
  fields->addRow(QStringLiteral("Address:"), edUrl_);
  fields->addRow(QStringLiteral("Engine name:"), edName_);
  fields->addRow(QStringLiteral("Category:"), cbCategory_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(learn, 0, Qt::AlignLeft);
  layout->addWidget(lbReport_);
  layout->addWidget(lvResults_, 1);
  layout->addWidget(buttons_);
  resize(640, 480);

  connect(browse, &QPushButton::clicked, this, &TfmLearnEngine::Browse);
  connect(learn, &QPushButton::clicked, this, &TfmLearnEngine::Learn);
  connect(buttons_, &QDialogButtonBox::accepted, this, &TfmLearnEngine::Add);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  for (QLineEdit* edit : {edPage_, edKeyword_, edUrl_})
    connect(edit, &QLineEdit::textEdited, this, &TfmLearnEngine::Forget);
}

bool TfmLearnEngine::Execute(const QString& page, const QString& name, const std::string& category) {
  cbCategory_->clear();
  for (const std::string& each : index_.CategoryNames()) {
    cbCategory_->addItem(ToDisplay(each));
    if (each == category) cbCategory_->setCurrentIndex(cbCategory_->count() - 1);
  }
  if (!page.isEmpty()) {
    // A kept page comes with the search that fetched it.
    const TKeptRequest kept = ReadKeptRequest(page.toStdString());
    edKeyword_->setText(QString::fromStdString(kept.keyword));
    edUrl_->setText(QString::fromStdString(kept.address));
  }
  edPage_->setText(page);
  edName_->setText(name);
  Forget();
  return exec() == QDialog::Accepted;
}

void TfmLearnEngine::Browse() {
  const QString page = QFileDialog::getOpenFileName(this, QStringLiteral("Saved Result Page"), edPage_->text(),
                                                    QStringLiteral("Web pages (*.html *.htm);;All files (*)"));
  if (page.isEmpty()) return;
  edPage_->setText(page);
  Forget();
}

void TfmLearnEngine::Forget() {
  learned_ = TLearnedDefinition();
  lvResults_->clear();
  lbReport_->clear();
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
}

void TfmLearnEngine::Learn() {
  Forget();
  if (IsBlankKeyword(Utf8(edKeyword_))) {
    lbReport_->setText(QStringLiteral("Type the keyword the page was searched for."));
    return;
  }
  std::string problem;
  std::optional<TSavedPage> page = ReadSavedPage(Utf8(edPage_), problem);
  if (!page) {
    lbReport_->setText(QStringLiteral("The page cannot be read: %1.").arg(ToDisplay(problem)));
    return;
  }
  learned_ = LearnDefinition(
      TLearnInput{std::move(page->bytes), Utf8(edKeyword_), Utf8(edUrl_), ReadKeptRequest(Utf8(edPage_)).charset});
  QStringList report;
  if (page->cut) report.append(ToDisplay(CutPageNote()));
  for (const std::string& line : learned_.report) report.append(ToDisplay(line));
  if (learned_.found && !learned_.keyed)
    report.append(QStringLiteral("The address does not hold the keyword: type the address the page came from, "
                                 "with the keyword in it."));
  if (learned_.found) report.append(QStringLiteral("%1 results on the page.").arg(learned_.records.size()));
  lbReport_->setText(report.join(QLatin1Char('\n')));
  for (const TRecord& record : learned_.records) {
    auto* row = new QTreeWidgetItem(lvResults_);
    row->setText(0, ToDisplay(record.size() > 1 ? record[1] : std::string()));
    row->setText(1, ToDisplay(record.empty() ? std::string() : record[0]));
  }
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(learned_.found);
}

void TfmLearnEngine::Add() {
  const std::vector<std::string> categories = index_.CategoryNames();
  const int category = cbCategory_->currentIndex();
  // An engine whose address does not carry the keyword would send every search the page's keyword.
  const std::string url = learned_.definition.substr(0, learned_.definition.find('\n'));
  std::string problem;
  if (Utf8(edUrl_).empty())
    problem = "Type the address the page came from: the engine searches with it.";
  else if (url.find("$key$") == std::string::npos)
    problem =
        "The address does not hold the keyword, so the engine could search for nothing else: type the "
        "address the page came from for this keyword.";
  else if (category < 0 || static_cast<size_t>(category) >= categories.size())
    problem = "Choose the category the engine goes into.";
  else
    problem = AddLearnedEngine(EngineDir(), index_, categories[static_cast<size_t>(category)], Utf8(edName_),
                               learned_.definition);
  if (!problem.empty()) {
    QMessageBox::warning(this, windowTitle(), ToDisplay(problem));
    return;
  }
  accept();
}

}  // namespace quorvex
