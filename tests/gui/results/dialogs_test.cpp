#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "core/app/Options.h"
#include "core/common/file_io.h"
#include "gui/TfmOption.h"
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
