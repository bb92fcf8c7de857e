#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <functional>

#include "core/app/Options.h"
#include "core/common/file_io.h"
#include "core/store/TOneResult.h"
#include "core/view/TFilter.h"
#include "gui/TSearchList.h"
#include "gui/TfmAppearance.h"
#include "gui/TfmFilter.h"
#include "gui/TfmFind.h"
#include "gui/TfmOption.h"
#include "gui/TfmPageProperty.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

// Runs action on the dialog once its modal loop is running.
void WhenShown(std::function<void(QWidget&)> action) {
  QTimer::singleShot(0, [action = std::move(action)] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    action(*dialog);
  });
}

template <typename T>
T& Child(QWidget& dialog, const char* name) {
  T* child = dialog.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return *child;
}

QPushButton& Button(QWidget& dialog, const QString& text) {
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == text) return *button;
  }
  ADD_FAILURE() << text.toStdString();
  return *dialog.findChild<QPushButton*>();
}

void Press(QWidget& widget, int key) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

// The options file goes to the working folder: run in a temporary one.
class InTempFolder {
 public:
  InTempFolder() : old_(std::filesystem::current_path()) { std::filesystem::current_path(dir_.Path()); }
  ~InTempFolder() { std::filesystem::current_path(old_); }
  InTempFolder(const InTempFolder&) = delete;
  InTempFolder& operator=(const InTempFolder&) = delete;

 private:
  test::TempDir dir_;
  std::filesystem::path old_;
};

}  // namespace

TEST(Dialogs, OptionsStoreOnOkOnlyAndKeepTheirControls) {
  InTempFolder folder;
  Options().SetLines({"EnableProxy=1", "Proxy=old.lan", "ProxyPort=8080", "SearchTimeOut=30"});
  TfmOption dialog;
  WhenShown([](QWidget& shown) {
    Child<QLineEdit>(shown, "edProxy").setText("new.lan");
    Button(shown, "&Cancel").click();
  });
  dialog.Execute();
  EXPECT_EQ(Options().Value("Proxy"), "old.lan");
  EXPECT_FALSE(std::filesystem::exists(kOptionFileName));

  WhenShown([](QWidget& shown) {
    EXPECT_EQ(Child<QLineEdit>(shown, "edProxy").text(), "new.lan");
    EXPECT_EQ(Child<QLineEdit>(shown, "edVerifyTimeout").text(), "60");
    Child<QLineEdit>(shown, "edSearchTimeOut").clear();
    Button(shown, "&OK").click();
  });
  dialog.Execute();
  EXPECT_EQ(ReadWholeFile(kOptionFileName).value_or(""),
            "EnableProxy=1\r\nProxy=new.lan\r\nProxyPort=8080\r\nNewWindow=0\r\nDEngines=0\r\n"
            "VerifyTimeOut=60\r\nDownloadTimeOut=60\r\n");

  // Without the proxy only EnableProxy changes.
  WhenShown([](QWidget& shown) {
    Child<QCheckBox>(shown, "cbProxy").setChecked(false);
    Child<QLineEdit>(shown, "edProxy").setText("ignored");
    Button(shown, "&OK").click();
  });
  dialog.Execute();
  EXPECT_EQ(Options().Value("EnableProxy"), "0");
  EXPECT_EQ(Options().Value("Proxy"), "new.lan");

  // Enter in an edit is OK: what was typed is stored, not dropped.
  WhenShown([](QWidget& shown) {
    QLineEdit& edit = Child<QLineEdit>(shown, "edDownloadTimeout");
    edit.setText("45");
    Press(edit, Qt::Key_Return);
  });
  dialog.Execute();
  EXPECT_EQ(Options().Value("DownloadTimeOut"), "45");
  Options().SetLines({});
}

TEST(Dialogs, FilterCopiesOnButtonsAndEnterButNotOnEscape) {
  TfmFilter dialog;
  TFilter filter;
  WhenShown([](QWidget& shown) {
    Child<QLineEdit>(shown, "edContains").setText("abc");
    Child<QCheckBox>(shown, "cbVisited").setChecked(true);
    Press(Child<QLineEdit>(shown, "edContains"), Qt::Key_Return);
  });
  EXPECT_TRUE(dialog.Edit(filter));
  EXPECT_EQ(filter.Contains, "abc");
  EXPECT_TRUE(filter.VisitedOnly);

  WhenShown([](QWidget& shown) {
    Child<QLineEdit>(shown, "edEngine").setText("Beta");
    Press(shown, Qt::Key_Escape);
  });
  EXPECT_FALSE(dialog.Edit(filter));
  EXPECT_EQ(filter.Engine, "");

  WhenShown([](QWidget& shown) {
    Child<QLineEdit>(shown, "edEngine").setText("Beta");
    Button(shown, "&Cancel").click();
  });
  EXPECT_FALSE(dialog.Edit(filter));
  EXPECT_EQ(filter.Engine, "Beta");
}

TEST(Dialogs, AppearanceApplyThenCancelKeepsTheApplied) {
  TSearchList list;
  TfmAppearance dialog;
  WhenShown([](QWidget& shown) {
    QPushButton& apply = Child<QPushButton>(shown, "btnApply");
    EXPECT_FALSE(apply.isEnabled());
    Child<QSlider>(shown, "tbSummaryLine").setValue(2);
    Child<QCheckBox>(shown, "cbDisplayGrid").click();
    EXPECT_FALSE(Child<QPushButton>(shown, "btnLineColor").isEnabled());
    ASSERT_TRUE(apply.isEnabled());
    apply.click();
    EXPECT_FALSE(apply.isEnabled());
    Child<QSlider>(shown, "tbSummaryLine").setValue(4);
    Button(shown, "&Cancel").click();
  });
  EXPECT_FALSE(dialog.Execute(list));
  EXPECT_EQ(list.Look().SummaryLine, 2);
  EXPECT_FALSE(list.Look().DisplayGrid);

  // OK without a change still hands the dialog's state over.
  TListLook look = list.Look();
  look.SummaryLine = 3;
  WhenShown([](QWidget& shown) {
    EXPECT_EQ(Child<QSlider>(shown, "tbSummaryLine").value(), 2);
    Child<QSlider>(shown, "tbSummaryLine").setValue(3);
    Button(shown, "&OK").click();
  });
  EXPECT_TRUE(dialog.Execute(list));
  EXPECT_EQ(list.Look(), look);
}

TEST(Dialogs, PagePropertyShowsTheResultAndKeepsItForNone) {
  TfmPageProperty dialog;
  TOneResult result;
  result.Title = "Title";
  result.Url = "http://a.com/";
  result.LocalFile = "kept";
  WhenShown([](QWidget& shown) {
    EXPECT_EQ(Child<QLineEdit>(shown, "edTitle").text(), "Title");
    EXPECT_EQ(Child<QLineEdit>(shown, "edLocalPage").text(), "kept");
    Press(shown, Qt::Key_Escape);
  });
  dialog.ShowPageProperty(&result);
  WhenShown([](QWidget& shown) {
    EXPECT_EQ(Child<QLineEdit>(shown, "edURL").text(), "http://a.com/");
    Button(shown, "&OK").click();
  });
  dialog.ShowPageProperty(nullptr);
}

TEST(Dialogs, FindTakesEnterAndKeepsItsValues) {
  TfmFind dialog;
  EXPECT_TRUE(dialog.FromTop());
  EXPECT_FALSE(dialog.CaseSensitive());
  WhenShown([](QWidget& shown) {
    QLineEdit& edit = Child<QLineEdit>(shown, "edFind");
    EXPECT_EQ(shown.focusWidget(), &edit);
    edit.setText("net");
    Child<QCheckBox>(shown, "cbTop").setChecked(false);
    Press(edit, Qt::Key_Return);
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  WhenShown([](QWidget& shown) { Press(shown, Qt::Key_Escape); });
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_EQ(dialog.Text(), "net");
  EXPECT_FALSE(dialog.FromTop());
}
