#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>

#include "core/store/TOneKey.h"
#include "gui/TSearchList.h"

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

void Click(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  QMouseEvent event(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), button, button, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

// A shown list of the given size over key, painted once so that its layout exists.
struct ShownList {
  explicit ShownList(TOneKey* key, QSize size = {600, 400}) {
    list.resize(size);
    list.SetKey(key);
    list.show();
    list.grab();
  }
  TSearchList list;
};

}  // namespace

TEST(ResultList, KeysMoveTheSelectionKeptInTheKeyword) {
  const std::unique_ptr<TOneKey> key = KeyWith(10);
  ShownList shown(key.get());
  TSearchList& list = shown.list;
  Press(list, Qt::Key_End);
  EXPECT_EQ(key->Extra1, 9);
  EXPECT_EQ(key->Extra2, 5);
  Press(list, Qt::Key_PageUp);
  EXPECT_EQ(key->Extra1, 4);
  EXPECT_EQ(key->Extra2, 0);
  EXPECT_EQ(list.CurrentResult(), key->View[4]);
  list.CopyUrl();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "http://site4.com/");

  // Left / Right step the order; with Ctrl they change the font and leave it.
  std::vector<int> orders;
  QObject::connect(&list, &TSearchList::SortMethodChanged, [&orders](int order) { orders.push_back(order); });
  Press(list, Qt::Key_Left);
  Press(list, Qt::Key_Right);
  Press(list, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(orders, std::vector<int>{1});
  EXPECT_EQ(list.SortMethod(), 1);

  // Three notches down move the top by three; the selection stays.
  QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -360), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&list, &wheel);
  EXPECT_EQ(key->Extra2, 3);
  EXPECT_EQ(key->Extra1, 4);

  const std::unique_ptr<TOneKey> empty = KeyWith(0);
  ShownList none(empty.get());
  Press(none.list, Qt::Key_Down);
  Press(none.list, Qt::Key_End);
  EXPECT_EQ(none.list.CurrentResult(), nullptr);
  EXPECT_EQ(empty->Extra1, 0);
}

TEST(ResultList, ClickBelowTheLastResultSelectsIt) {
  const std::unique_ptr<TOneKey> key = KeyWith(3);
  ShownList shown(key.get(), {600, 700});
  Click(shown.list, {100, 690});
  EXPECT_EQ(key->Extra1, 2);
  Click(shown.list, {100, 3}, Qt::RightButton);
  EXPECT_EQ(key->Extra1, 0);
  EXPECT_TRUE(shown.list.hasFocus() || !QApplication::focusWidget());
}

TEST(ResultList, DeleteAsksAndCancelKeepsTheResult) {
  const std::unique_ptr<TOneKey> key = KeyWith(3);
  ShownList shown(key.get());
  const auto answer = [](QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text(), "Delete?");
      EXPECT_EQ(box->windowTitle(), "OK!");
      box->button(button)->click();
    });
  };
  answer(QMessageBox::Cancel);
  EXPECT_FALSE(shown.list.DeleteSelected());
  EXPECT_EQ(key->Results.Count(), 3U);
  EXPECT_FALSE(key->Modified);
  answer(QMessageBox::Ok);
  Press(shown.list, Qt::Key_Delete);
  EXPECT_EQ(key->Results.Count(), 2U);
  EXPECT_TRUE(key->Modified);
}
