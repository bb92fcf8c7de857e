#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <functional>

#include "core/common/dispatcher.h"
#include "core/config/Options.h"
#include "core/common/file_io.h"
#include "core/store/TOneKey.h"
#include "gui/TSearchList.h"
#include "gui/TfmOption.h"
#include "support/gui/opened_urls.h"
#include "support/program_events.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

std::unique_ptr<TOneKey> KeyWith(int count) {
  auto key = std::make_unique<TOneKey>("net", 45000.0, 0, 0);
  for (int i = 0; i < count; ++i) {
    const std::string url = "http://site" + std::to_string(i) + ".com/";
    key->Results.Add(TResultList::KeyOf(url), TOneResult{}).Url = url;
  }
  return key;
}

void Press(QWidget& widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(&widget, &event);
}

void Click(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton,
           QEvent::Type type = QEvent::MouseButtonPress) {
  QMouseEvent event(type, at, widget.mapToGlobal(at), button, button, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

// A shown list of the given size over key, painted once so that its layout exists, and the program
// that makes its edits.
struct ShownList {
  explicit ShownList(TOneKey* key, QSize size = {600, 400}) {
    list.resize(size);
    list.SetKey(key);
    list.show();
    list.grab();
  }
  QueueDispatcher dispatcher;
  AppState app;
  test::ProgramEvents events;
  TProgram program{dispatcher, app, events, TProgramFiles{}};
  TSearchList list{program};
};

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

// The options file goes to the working folder: run in a temporary one.
struct InTempFolder {
  InTempFolder() { std::filesystem::current_path(dir.Path()); }
  ~InTempFolder() { std::filesystem::current_path(old); }
  const std::filesystem::path old = std::filesystem::current_path();
  test::TempDir dir;
};

}  // namespace

TEST(ResultList, KeysMoveTheSelectionKeptInTheKeyword) {
  const std::unique_ptr<TOneKey> key = KeyWith(10);
  ShownList shown(key.get());
  TSearchList& list = shown.list;
  Press(list, Qt::Key_End);
  EXPECT_TRUE(key->Extra1 == 9 && key->Extra2 == 5);
  Press(list, Qt::Key_PageUp);
  EXPECT_TRUE(key->Extra1 == 4 && key->Extra2 == 0 && list.CurrentResult() == key->View[4]);
  list.CopyUrl();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "http://site4.com/");

  // Left / Right step the order; with Ctrl they change the font and leave it.
  std::vector<int> orders;
  QObject::connect(&list, &TSearchList::SortMethodChanged, [&orders](int order) { orders.push_back(order); });
  Press(list, Qt::Key_Left);
  Press(list, Qt::Key_Right);
  Press(list, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_TRUE(orders == std::vector<int>{1} && list.SortMethod() == 1);

  // Three notches down move the top by three; the selection stays.
  QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -360), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&list, &wheel);
  EXPECT_TRUE(key->Extra2 == 3 && key->Extra1 == 4);

  const std::unique_ptr<TOneKey> empty = KeyWith(0);
  ShownList none(empty.get());
  Press(none.list, Qt::Key_Down);
  Press(none.list, Qt::Key_End);
  EXPECT_TRUE(none.list.CurrentResult() == nullptr && empty->Extra1 == 0);
}

TEST(ResultList, ClicksSelectDeleteAndOpenAreEditsOfTheKeywordAndOpenAlwaysReachesTheBrowser) {
  const std::unique_ptr<TOneKey> key = KeyWith(3);
  ShownList shown(key.get(), {600, 700});
  Click(shown.list, {100, 690});  // below the last result: selects it
  EXPECT_EQ(key->Extra1, 2);
  Click(shown.list, {100, 3}, Qt::RightButton);
  EXPECT_EQ(key->Extra1, 0);
  EXPECT_TRUE(shown.list.hasFocus() || !QApplication::focusWidget());
  const std::vector<TOneKey*>& edits = shown.events.edited;
  const auto answer = [](QMessageBox::StandardButton button) {
    WhenShown([button](QWidget& shown) {
      auto* box = qobject_cast<QMessageBox*>(&shown);
      ASSERT_NE(box, nullptr);
      EXPECT_TRUE(box->text() == "Delete?" && box->windowTitle() == "OK!");
      box->button(button)->click();
    });
  };
  answer(QMessageBox::Cancel);
  EXPECT_FALSE(shown.list.DeleteSelected());
  EXPECT_TRUE(key->Results.Count() == 3U && !key->Modified);
  answer(QMessageBox::Ok);
  Press(shown.list, Qt::Key_Delete);
  EXPECT_TRUE(key->Results.Count() == 2U && key->Modified && edits.size() == 1u);

  // Only the left button opens; a browser for a new window that cannot be started leaves the default
  // open; the visited mark is one edit however often the result is opened.
  test::OpenedUrls opened;
  Click(shown.list, {100, 3}, Qt::RightButton, QEvent::MouseButtonDblClick);
  EXPECT_TRUE(opened.urls.isEmpty());
  qputenv("BROWSER", "no-such-browser-program");
  shown.list.OpenResult(true, false);
  qunsetenv("BROWSER");
  Click(shown.list, {100, 3}, Qt::LeftButton, QEvent::MouseButtonDblClick);
  EXPECT_EQ(opened.urls, (QList<QUrl>{QUrl("http://site1.com/"), QUrl("http://site1.com/")}));
  EXPECT_TRUE(shown.list.CurrentResult()->Visited == 1 && edits.size() == 2u);
}


TEST(Dialogs, OptionsStoreOnOkOnlyAndKeepTheirControls) {
  InTempFolder folder;
  Options().SetLines({"EnableProxy=1", "Proxy=old.lan", "ProxyPort=8080", "SearchTimeOut=30"});
  TfmOption dialog;
  WhenShown([](QWidget& shown) {
    Child<QLineEdit>(shown, "edProxy").setText("new.lan");
    Button(shown, "&Cancel").click();
  });
  dialog.Execute();
  EXPECT_TRUE(Options().Value("Proxy") == "old.lan" && !std::filesystem::exists(kOptionFileName));

  WhenShown([](QWidget& shown) {
    EXPECT_TRUE(Child<QLineEdit>(shown, "edProxy").text() == "new.lan" &&
                Child<QLineEdit>(shown, "edVerifyTimeout").text() == "60");
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
