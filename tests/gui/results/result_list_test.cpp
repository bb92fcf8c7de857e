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

std::unique_ptr<TOneKey> KeyWith(int count, const std::string& keyword = "net") {
  auto key = std::make_unique<TOneKey>(keyword, 45000.0, 0, 0);
  for (int i = 0; i < count; ++i) {
    TOneResult result;
    result.Url = "http://site" + std::to_string(i) + ".com/";
    result.Title = "DOTNET NEWS";
    result.Summary = "summary";
    result.Engines = "Alpha";
    result.Language = kLanguageEnglish;
    key->Results.Add(TResultList::KeyOf(result.Url), std::move(result));
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
    image = list.grab().toImage();
  }
  QImage Grab() { return image = list.grab().toImage(); }
  TSearchList list;
  QImage image;
};

// Pixels of a band of rows that match a colour test: their x positions.
template <typename Test>
std::vector<int> Columns(const QImage& image, int top, int bottom, Test test) {
  std::vector<int> xs;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (test(image.pixelColor(x, y))) xs.push_back(x);
    }
  }
  return xs;
}

bool IsRed(const QColor& c) { return c.red() > 200 && c.green() < 70 && c.blue() < 70; }
bool IsYellow(const QColor& c) { return c.red() > 200 && c.green() > 200 && c.blue() < 70; }
bool IsBlue(const QColor& c) { return c.red() < 70 && c.green() < 70 && c.blue() > 200; }

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

  // Another list picks the cursor up from the keyword.
  ShownList again(key.get());
  EXPECT_EQ(again.list.CurrentResult(), key->View[4]);

  const std::unique_ptr<TOneKey> empty = KeyWith(0);
  ShownList none(empty.get());
  Press(none.list, Qt::Key_Down);
  Press(none.list, Qt::Key_End);
  EXPECT_EQ(none.list.CurrentResult(), nullptr);
  EXPECT_EQ(empty->Extra1, 0);
}

TEST(ResultList, FontSizeStepsStopAtTheirBounds) {
  const std::unique_ptr<TOneKey> key = KeyWith(3);
  ShownList shown(key.get());
  std::vector<QImage> enlarged;
  for (int i = 0; i < 4; ++i) {
    Press(shown.list, Qt::Key_Right, Qt::ControlModifier);
    enlarged.push_back(shown.Grab());
  }
  EXPECT_NE(enlarged[1], enlarged[2]);
  EXPECT_EQ(enlarged[2], enlarged[3]);
  for (int i = 0; i < 3; ++i) shown.list.DiminishFont();
  const QImage normal = shown.Grab();
  shown.list.DiminishFont();
  const QImage smaller = shown.Grab();
  shown.list.DiminishFont();
  EXPECT_NE(normal, smaller);
  EXPECT_EQ(smaller, shown.Grab());
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

TEST(ResultList, KeywordHitsShowRedInsideTheWordAndYellowWhenSelected) {
  const std::unique_ptr<TOneKey> key = KeyWith(2);
  key->Extra1 = 1;
  ShownList shown(key.get());
  // The first result, not selected: the title is blue, NET of DOTNET red, with blue on either side.
  const std::vector<int> red = Columns(shown.image, 2, 24, IsRed);
  ASSERT_GT(red.size(), 10U);
  const auto [leftRed, rightRed] = std::minmax_element(red.begin(), red.end());
  const std::vector<int> blue = Columns(shown.image, 2, 24, IsBlue);
  EXPECT_TRUE(std::any_of(blue.begin(), blue.end(), [&](int x) { return x < *leftRed; }));
  EXPECT_TRUE(std::any_of(blue.begin(), blue.end(), [&](int x) { return x > *rightRed; }));
  // The selected second result draws its hit in yellow and no red.
  Press(shown.list, Qt::Key_Home);
  Press(shown.list, Qt::Key_Down);
  const QImage selected = shown.Grab();
  const int secondTop = 56;
  EXPECT_GT(Columns(selected, secondTop, secondTop + 24, IsYellow).size(), 10U);
  EXPECT_TRUE(Columns(selected, secondTop, secondTop + 24, IsRed).empty());
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
