#include "gui/TResultPanel.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QToolButton>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "core/common/datetime.h"
#include "core/common/file_io.h"
#include "core/config/ProgramDirs.h"
#include "core/store/TOneKey.h"
#include "core/view/html_export.h"
#include "gui/TSearchList.h"
#include "gui/TfmAppearance.h"
#include "gui/TfmFilter.h"
#include "gui/TfmFind.h"
#include "gui/display_text.h"
#include "gui/main_commands.h"
#include "gui/panel_parts.h"

namespace quorvex {

TResultPanel::TResultPanel(TProgram& program, const TMainCommands& commands, QWidget* parent)
    : QWidget(parent),
      lblKey_(new QLabel(this)),
      lblDate_(new QLabel(this)),
      lblNum_(new QLabel(this)),
      pbDownload_(new QProgressBar(this)),
      cbSortMethod_(new QComboBox(this)),
      list_(new TSearchList(program, this)),
      find_(new TfmFind(this)),
      filter_(new TfmFilter(this)),
      appearance_(new TfmAppearance(this)) {
  lblKey_->setObjectName("lblKey");
  lblDate_->setObjectName("lblDate");
  lblNum_->setObjectName("lblNum");
  pbDownload_->setObjectName("pbDownload");
  cbSortMethod_->setObjectName("cbSortMethod");
  list_->setObjectName("List");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(BuildInformationBar());
  layout->addWidget(BuildResultBar(commands));
  layout->addWidget(list_, 1);
}

QWidget* TResultPanel::BuildInformationBar() {
  auto* bar = new QWidget(this);
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(4, 2, 4, 2);
  lblKey_->setStyleSheet("QLabel { color: red; }");
  for (auto [caption, value] : {std::pair{"KeyWords:", lblKey_}, {"Date:", lblDate_}, {"Number:", lblNum_}}) {
    layout->addWidget(new QLabel(caption, bar));
    layout->addWidget(value);
  }
  layout->addStretch();
  pbDownload_->setFixedWidth(75);
  pbDownload_->setRange(0, 100);
  pbDownload_->setValue(0);
  pbDownload_->setTextVisible(false);
  layout->addWidget(pbDownload_);
  return bar;
}

QWidget* TResultPanel::BuildResultBar(const TMainCommands& commands) {
  auto* bar = new QWidget(this);
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(new QLabel("Font:", bar));
  auto* enlarge = ToolButton(bar, QStyle::SP_ArrowUp, "Enlarge Font (Ctrl + Right Arrow)");
  auto* diminish = ToolButton(bar, QStyle::SP_ArrowDown, "Diminish Font (Ctrl + Left Arrow)");
  connect(enlarge, &QToolButton::clicked, list_, &TSearchList::EnlargeFont);
  connect(diminish, &QToolButton::clicked, list_, &TSearchList::DiminishFont);
  for (QToolButton* button : {enlarge, diminish, CommandButton(bar, commands.fontAndColor)}) layout->addWidget(button);
  layout->addSpacing(8);
  layout->addWidget(new QLabel("Order by:", bar));
  cbSortMethod_->addItems({"Download Order", "Order by Score", "Order by URL", "Order by Title", "Order by DateTime ",
                           "Order by Search Engine", "Order by whether downloaded", "Order by whether visited"});
  cbSortMethod_->setFixedWidth(176);
  cbSortMethod_->setToolTip("Using Left,Right Arrow to Switch");
  layout->addWidget(cbSortMethod_);
  connect(cbSortMethod_, &QComboBox::activated, list_, &TSearchList::SetSortMethod);
  connect(list_, &TSearchList::SortMethodChanged, cbSortMethod_, &QComboBox::setCurrentIndex);
  layout->addWidget(CommandButton(bar, commands.find));
  layout->addWidget(CommandButton(bar, commands.filter));
  layout->addStretch();
  layout->addWidget(CommandButton(bar, commands.keywordsPanel, "btnShowKey"));
  layout->addWidget(CommandButton(bar, commands.treePanel, "btnShowTree"));
  return bar;
}

TOneKey* TResultPanel::Key() const { return list_->Key(); }

void TResultPanel::ShowKey(TOneKey* key) {
  list_->SetKey(key);
  if (key) ShowKeyLabels(*key);
}

void TResultPanel::ShowKeyLabels(const TOneKey& key) {
  lblKey_->setText(ToDisplay(key.Keyword) + "  ");
  lblDate_->setText(ToDisplay(FormatDateTime(key.Date)) + "  ");
  lblNum_->setText(QString::number(key.ResultCount) + "  ");
}

void TResultPanel::ShowProgress(int runTotal, int countAll) {
  // A progress bar repaints the window at once on each new value; drawn with the next paint instead,
  // a merged page's turn of the event loop stays short.
  pbDownload_->setUpdatesEnabled(false);
  pbDownload_->setMaximum(countAll);
  pbDownload_->setValue(std::clamp(runTotal, 0, std::max(countAll, 0)));
  pbDownload_->setUpdatesEnabled(true);  // schedules that paint
  lblNum_->setText(QString::number(runTotal) + "  ");
}

void TResultPanel::ShowSearchEnded() {
  const int full = std::max(pbDownload_->value(), 1);  // a maximum of 0 would make the bar a busy one
  pbDownload_->setMaximum(full);
  pbDownload_->setValue(full);
}

void TResultPanel::SearchInResults() {
  if (find_->exec() != QDialog::Accepted) return;
  // A ticked "Case sensitive" box makes the search exact.
  list_->FindText(find_->Text(), find_->FromTop(), !find_->CaseSensitive());
}

void TResultPanel::ContinueSearchInResults() {
  if (!find_->Text().empty() && list_->FindText(find_->Text(), false, !find_->CaseSensitive())) return;
  SearchInResults();
}

void TResultPanel::ShowAppearance() { appearance_->Execute(*list_); }

void TResultPanel::ShowFilter() {
  if (filter_->Edit(list_->Filter())) list_->update();
}

bool TResultPanel::DisplayInBrowser(bool open) {
  const std::filesystem::path file = std::filesystem::path(LocalFileDir()) / kExportFileName;
  std::string problem;
  if (list_->Key() == nullptr) {
    problem = file.string() + " was not written: no keyword is shown.";
  } else if (!list_->WriteExport(file)) {
    problem = NotWrittenMessage(file, errno);
  }
  // An older Key.html, perhaps of another keyword, must not be shown or sent in its place.
  if (!problem.empty()) {
    QMessageBox::warning(this, "Quorvex", ToDisplay(problem));
    return false;
  }
  if (open) QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
  return true;
}

void TResultPanel::SendToFriend() {
  if (!DisplayInBrowser(false)) return;
  const QString file = QString::fromStdString((std::filesystem::path(LocalFileDir()) / kExportFileName).string());
  const QString subject = ToDisplay(list_->Key()->Keyword);
  // xdg-email hands the page to the user's mail program as an attachment; without it, a mail with a
  // link to the page is the most a mailto address can carry.
  if (QProcess::startDetached("xdg-email", {"--subject", subject, "--attach", file})) return;
  QUrlQuery query;
  query.addQueryItem("subject", subject);
  query.addQueryItem("body", QUrl::fromLocalFile(file).toString());
  QUrl mail("mailto:");
  mail.setQuery(query);
  QDesktopServices::openUrl(mail);
}

}  // namespace quorvex
