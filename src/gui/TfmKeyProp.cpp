#include "gui/TfmKeyProp.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/app/schedule_presets.h"
#include "core/common/numbers.h"
#include "gui/display_text.h"

namespace quorvex {

TfmKeyProp::TfmKeyProp(QWidget* parent)
    : QDialog(parent),
      Pages(new QTabWidget(this)),
      edKey(new QLineEdit(this)),
      cbClassify(new QComboBox(this)),
      rgKind(new QButtonGroup(this)),
      cbDetail(new QComboBox(this)),
      edCountPerEngine(new QLineEdit(this)),
      edCountAll(new QLineEdit(this)),
      btnSearch(new QPushButton("&New Search", this)),
      btnUpdate(new QPushButton("&Update Search", this)),
      btnClose(new QPushButton("&Close", this)) {
  setWindowTitle("Keywords property");
  Pages->addTab(SearchOptionsPage(), "&Search Options");
  Pages->addTab(AdvancedPage(), "&Advanced");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {btnSearch, btnUpdate, btnClose}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pages);
  layout->addLayout(buttons);

  connect(btnSearch, &QPushButton::clicked, this, [this] { done(NewSearch); });
  connect(btnUpdate, &QPushButton::clicked, this, [this] { done(UpdateSearch); });
  connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
  connect(cbDetail, &QComboBox::currentIndexChanged, this, &TfmKeyProp::cbDetailChange);
  cbDetail->setCurrentIndex(kNormalSchedule);
  cbDetailChange(kNormalSchedule);
}

QWidget* TfmKeyProp::SearchOptionsPage() {
  auto* page = new QWidget(this);
  auto* form = new QFormLayout(page);
  auto* keyLabel = new QLabel("&Keywords:", page);
  keyLabel->setBuddy(edKey);
  form->addRow(keyLabel, edKey);
  auto* classifyLabel = new QLabel("&Classify:", page);
  classifyLabel->setBuddy(cbClassify);
  form->addRow(classifyLabel, cbClassify);
  auto* kinds = new QGroupBox("O&ptions", page);
  auto* kindLayout = new QVBoxLayout(kinds);
  const char* kindNames[] = {"whole words", "Any words", "Phrase", "Question"};
  for (int i = 0; i < 4; ++i) {
    auto* button = new QRadioButton(kindNames[i], kinds);
    rgKind->addButton(button, i);
    kindLayout->addWidget(button);
  }
  rgKind->button(0)->setChecked(true);
  form->addRow(kinds);
  // The automatic tasks are offered but take no effect.
  auto* tasks = new QGroupBox("Automaticed Task:", page);
  auto* taskLayout = new QVBoxLayout(tasks);
  taskLayout->addWidget(new QCheckBox("Verify web page automaticly", tasks));
  taskLayout->addWidget(new QCheckBox("Download web page automaticly", tasks));
  form->addRow(tasks);
  return page;
}

QWidget* TfmKeyProp::AdvancedPage() {
  auto* page = new QWidget(this);
  auto* form = new QFormLayout(page);
  for (const char* name : kScheduleNames) cbDetail->addItem(name);
  auto* scheduleLabel = new QLabel("S&chedule", page);
  scheduleLabel->setBuddy(cbDetail);
  form->addRow(scheduleLabel, cbDetail);
  form->addRow("Results count per engine:", edCountPerEngine);
  form->addRow("All counts:", edCountAll);
  return page;
}

void TfmKeyProp::cbDetailChange(int index) {
  const std::optional<SearchLimits> preset = SchedulePreset(index);
  if (preset) {
    edCountPerEngine->setText(QString::number(preset->CountPerEngine));
    edCountAll->setText(QString::number(preset->CountAll));
  }
  edCountPerEngine->setReadOnly(index != kCustomSchedule);
  edCountAll->setReadOnly(index != kCustomSchedule);
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the dialog's own control order
TfmKeyProp::Action TfmKeyProp::Execute(const QStringList& categories, int category, int matchMode, const QString* keyword) {
  cbClassify->clear();
  cbClassify->addItems(categories);
  cbClassify->setCurrentIndex(category);
  if (QAbstractButton* kind = rgKind->button(matchMode)) kind->setChecked(true);
  if (keyword) edKey->setText(*keyword);
  Pages->setCurrentIndex(0);
  edKey->setFocus();
  return static_cast<Action>(exec());
}

void TfmKeyProp::SetStartEnabled(bool enabled) {
  btnSearch->setEnabled(enabled);
  btnUpdate->setEnabled(enabled);
}

SearchLimits TfmKeyProp::Limits() const {
  return {ParseIntOr(FromTyped(edCountPerEngine->text()), 30), ParseIntOr(FromTyped(edCountAll->text()), 300)};
}

}  // namespace quorvex
