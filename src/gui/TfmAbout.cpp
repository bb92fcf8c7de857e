#include "gui/TfmAbout.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QSysInfo>
#include <QUrl>
#include <QVBoxLayout>

#include "core/config/version.h"
#include "core/view/html_export.h"

namespace quorvex {

QString ProgramTitle() { return QString("Quorvex v%1").arg(kProgramVersion); }

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About");
  auto* title = new QLabel(ProgramTitle(), this);
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  title->setFont(big);
  auto* platform = new QLabel(QString("Linux desktop (%1, Qt %2)").arg(QSysInfo::prettyProductName(), qVersion()), this);
  auto* maker = new QLabel("Made by the Quorvex developers", this);
  auto* mail = new QLabel(QString("<a href=\"mailto:%1\">%1</a>").arg(kSupportMail), this);
  auto* home = new QLabel(QString("<a href=\"%1\">%1</a>").arg(kHomePageAddress), this);
  for (QLabel* link : {mail, home}) {
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(link, &QLabel::linkActivated, this, [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  for (QWidget* widget : {static_cast<QWidget*>(title), static_cast<QWidget*>(platform),
                          static_cast<QWidget*>(maker), static_cast<QWidget*>(mail), static_cast<QWidget*>(home),
                          static_cast<QWidget*>(buttons)})
    layout->addWidget(widget);
}

}  // namespace quorvex
