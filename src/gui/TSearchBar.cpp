#include "gui/TSearchBar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "core/store/TOneKey.h"
#include "gui/TActivityIndicator.h"
#include "gui/main_commands.h"
#include "gui/named_edit.h"
#include "gui/panel_parts.h"

namespace quorvex {

TSearchBar::TSearchBar(const TMainCommands& commands, QComboBox* categoryBox, QWidget* parent)
    : QToolBar("Search", parent),
      edKey_(NamedEdit(this, "edKey")),
      cbMatch_(new QComboBox(this)),
      activity_(new TActivityIndicator(this)) {
  setMovable(false);
  setObjectName("SearchBar");
  auto* keysLabel = new QLabel("&Keys:", this);
  keysLabel->setBuddy(edKey_);
  addWidget(keysLabel);
  edKey_->setFixedWidth(251);
  addWidget(edKey_);
  QToolButton* search = CommandButton(this, commands.search, "btnSearch");
  search->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  addWidget(search);
  addWidget(CommandButton(this, commands.stop, "btnStop"));
  // Shown only while work runs: the tool bar hides its button with the command.
  addAction(commands.showProgress);
  widgetForAction(commands.showProgress)->setObjectName("btnShowProgress");
  addSeparator();
  addWidget(CommandButton(this, commands.verify, "btnVerify"));
  addWidget(CommandButton(this, commands.download, "btnDownload"));
  addSeparator();
  cbMatch_->setObjectName("cbMatch");
  for (const char* name : MatchModeNames) cbMatch_->addItem(name);
  cbMatch_->setFixedWidth(100);
  addWidget(cbMatch_);
  categoryBox->setFixedWidth(107);
  addWidget(categoryBox);
  auto* spacer = new QWidget(this);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  addWidget(spacer);
  addWidget(activity_);
  connect(activity_, &TActivityIndicator::clicked, commands.showProgress, &QAction::trigger);
  connect(edKey_, &QLineEdit::returnPressed, commands.search, &QAction::trigger);
}

QString TSearchBar::Keyword() const { return edKey_->text(); }
void TSearchBar::SetKeyword(const QString& keyword) { edKey_->setText(keyword); }
int TSearchBar::MatchMode() const { return cbMatch_->currentIndex(); }
void TSearchBar::SetMatchMode(int mode) { cbMatch_->setCurrentIndex(mode); }
void TSearchBar::SetKeywordEnabled(bool enabled) { edKey_->setEnabled(enabled); }
void TSearchBar::Turn() { activity_->Turn(); }

}  // namespace quorvex
