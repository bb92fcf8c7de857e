#include "gui/TSearchList.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include "core/config/Options.h"
#include "core/program/TProgram.h"
#include "core/store/TOneKey.h"
#include "core/view/html_export.h"
#include "core/view/keyword_hits.h"
#include "core/view/local_copy.h"
#include "core/view/result_order.h"
#include "core/view/result_view.h"
#include "gui/display_text.h"
#include "gui/list_fonts.h"
#include "gui/result_icons.h"
#include "gui/result_open.h"

namespace quorvex {
namespace {

const QColor kSelectionColor(0, 0, 128);

// A text drawn on its own background box (the score and the engines).
struct TBoxColors {
  QColor Background;
  QColor Ink;
};

TListKey ListKeyOf(int key) {
  switch (key) {
    case Qt::Key_Down:
      return TListKey::Down;
    case Qt::Key_Up:
      return TListKey::Up;
    case Qt::Key_PageDown:
      return TListKey::PageDown;
    case Qt::Key_PageUp:
      return TListKey::PageUp;
    case Qt::Key_Home:
      return TListKey::Home;
    case Qt::Key_End:
      return TListKey::End;
    case Qt::Key_Right:
      return TListKey::Right;
    case Qt::Key_Left:
      return TListKey::Left;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return TListKey::Enter;
    case Qt::Key_N:
      return TListKey::N;
    case Qt::Key_Delete:
      return TListKey::Delete;
    default:
      return TListKey::Other;
  }
}

// The bytes a run draws: the result's own text, or a text the layout made.
std::string_view FieldText(const TResultLayout& item, TListField field) {
  switch (field) {
    case TListField::Number:
      return item.Number;
    case TListField::Title:
      return item.Result->Title;
    case TListField::Summary:
      return item.Result->Summary;
    case TListField::Url:
      return item.Result->Url;
    case TListField::Engines:
      return item.Result->Engines;
    case TListField::Score:
      return item.Score;
  }
  return {};
}

TTextCoding FieldCoding(const TResultLayout& item, TListField field) {
  switch (field) {
    case TListField::Title:
      return item.TitleCoding;
    case TListField::Summary:
      return item.SummaryCoding;
    case TListField::Url:
      return item.UrlCoding;
    case TListField::Engines:
      return item.EnginesCoding;
    default:
      return TTextCoding::Gb;
  }
}

}  // namespace

TSearchList::TSearchList(TProgram& program, QWidget* parent)
    : QWidget(parent), program_(program), scrollBar_(new QScrollBar(Qt::Vertical, this)), repaintSoon_(new QTimer(this)) {
  repaintSoon_->setSingleShot(true);
  repaintSoon_->setInterval(kMergedRepaintMs);
  connect(repaintSoon_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::PointingHandCursor);
  scrollBar_->setFocusPolicy(Qt::NoFocus);
  scrollBar_->setRange(0, 0);
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
    cursor_.TopIndex = value;
    StoreCursor();
    update();
  });
  UpdateFonts();
}

TSearchList::~TSearchList() = default;

void TSearchList::SetKey(TOneKey* key) {
  key_ = key;
  keywords_ = key != nullptr ? HighlightWords(key->Keyword) : std::vector<std::string>{};
  cursor_ = TListCursor{};
  if (key != nullptr) {
    cursor_.TopIndex = key->Extra2;
    cursor_.SelectedIndex = key->Extra1;
  }
  Rebuild();
  update();
}

TOneKey* TSearchList::Key() const { return key_; }

void TSearchList::SetEmptyNote(const TOneKey* key, const QString& note) {
  noteKey_ = key;
  note_ = note;
  update();
}

QString TSearchList::ShownNote() const {
  return key_ != nullptr && key_ == noteKey_ && key_->View.empty() ? note_ : QString();
}
void TSearchList::SetPopupMenu(QMenu* menu) { popup_ = menu; }
const TListLook& TSearchList::Look() const { return look_; }

void TSearchList::SetLook(const TListLook& look) {
  look_ = look;
  UpdateFonts();
  update();
}

int TSearchList::SortMethod() const { return sortMethod_; }

void TSearchList::SetSortMethod(int order) {
  if (order < 0 || order >= static_cast<int>(SortMethodNames.size()) || order == sortMethod_) return;
  sortMethod_ = order;
  emit SortMethodChanged(order);
  update();
}

TFilter& TSearchList::Filter() { return filter_; }

TOneResult* TSearchList::CurrentResult() const {
  if (key_ == nullptr) return nullptr;
  // The view may have lost results since the last paint.
  Rebuild();
  const size_t selected = static_cast<size_t>(cursor_.SelectedIndex);
  return selected < key_->View.size() ? key_->View[selected] : nullptr;
}

void TSearchList::OpenResult(bool newWindow, bool local) {
  TOneResult* result = CurrentResult();
  if (result == nullptr) return;
  program_.MarkVisited(*key_, *result);
  if (result->Url.empty()) return;
  if (local) {
    const std::filesystem::path copy = LocalCopyPath(result->Url);
    std::error_code error;
    if (!std::filesystem::is_regular_file(copy, error)) return;
    OpenInBrowser(QUrl::fromLocalFile(QString::fromStdString(copy.string())), newWindow);
  } else {
    OpenInBrowser(QUrl(ToDisplay(result->Url)), newWindow);
  }
}

void TSearchList::CopyUrl() {
  if (const TOneResult* result = CurrentResult()) QGuiApplication::clipboard()->setText(ToDisplay(result->Url));
}

bool TSearchList::DeleteSelected() {
  const TOneResult* result = CurrentResult();
  if (result == nullptr) return false;
  if (QMessageBox::question(this, QStringLiteral("OK!"), QStringLiteral("Delete?"),
                            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
    return false;
  }
  return program_.DeleteResult(*key_, result);
}

void TSearchList::EnlargeFont() { SetFontDelta(EnlargedFontDelta(fontDelta_)); }
void TSearchList::DiminishFont() { SetFontDelta(DiminishedFontDelta(fontDelta_)); }

bool TSearchList::FindText(const std::string& text, bool fromTop, bool ignoreCase) {
  if (key_ == nullptr) return false;
  Rebuild();
  ViewCursor found{cursor_.SelectedIndex, cursor_.TopIndex};
  if (!Find(key_, text, fromTop, ignoreCase, found)) return false;
  cursor_.SelectedIndex = found.SelectedIndex;
  cursor_.TopIndex = found.TopIndex;
  ShowTop();
  StoreCursor();
  return true;
}

bool TSearchList::WriteExport(const std::filesystem::path& file) {
  if (key_ == nullptr) return false;
  Rebuild();
  return WriteExportHtml(*key_, keywords_, file);
}

void TSearchList::Rebuild() const {
  const QSignalBlocker blocker(scrollBar_);
  if (key_ == nullptr) {
    scrollBar_->setRange(0, 0);
    return;
  }
  ViewCursor view{cursor_.SelectedIndex, cursor_.TopIndex};
  RebuildView(key_, filter_, sortMethod_, view);
  cursor_.SelectedIndex = view.SelectedIndex;
  cursor_.TopIndex = view.TopIndex;
  scrollBar_->setRange(0, std::max(static_cast<int>(key_->View.size()) - 1, 0));
  scrollBar_->setValue(cursor_.TopIndex);
}

TLayoutParams TSearchList::LayoutParams() const { return {DrawWidth(), look_.SummaryLine, &keywords_, &measure_}; }

void TSearchList::UpdateFonts() {
  const auto font = [this](TListFont which) { return look_.Font(which); };
  TFontSpec number = font(TListFont::Title);
  number.Style = kFontBold | kFontItalic;
  measure_.SetFont(TListRole::Number, ToQFont(number, fontDelta_));
  measure_.SetFont(TListRole::Title, ToQFont(font(TListFont::Title), fontDelta_));
  measure_.SetFont(TListRole::Visited, ToQFont(font(TListFont::Visited), fontDelta_));
  measure_.SetFont(TListRole::Summary, ToQFont(font(TListFont::Summary), fontDelta_));
  measure_.SetFont(TListRole::Url, ToQFont(font(TListFont::Url), fontDelta_));
  measure_.SetFont(TListRole::Hilight, ToQFont(font(TListFont::Hilight), fontDelta_));
  measure_.SetFont(TListRole::Engines, ToQFont(TFontSpec{0, 1, -12, 0, "Tahoma"}));
  measure_.SetFont(TListRole::Score, ToQFont(TFontSpec{0, 0, 13, 0, "Tahoma"}));
}

void TSearchList::SetFontDelta(int delta) {
  fontDelta_ = delta;
  UpdateFonts();
  update();
}

int TSearchList::DrawWidth() const { return width() - scrollBar_->width() - 1; }

void TSearchList::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  if (key_ == nullptr) return;
  Rebuild();
  frame_ = LayoutList(key_->View, cursor_, height(), LayoutParams());
  cursor_.SelectedIndex = frame_.SelectedIndex;
  cursor_.LastVisible = frame_.LastVisible;
  if (const QString note = ShownNote(); !note.isEmpty()) {
    painter.setPen(Qt::darkGray);
    const QRect area(8, 8, DrawWidth() - 16, height() - 16);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, note);
  }
  const qreal ratio = devicePixelRatioF();
  if (normalIcons_.isNull() || normalIcons_.devicePixelRatio() != ratio) {
    normalIcons_ = ResultIconStrip(Qt::white, ratio);
    selectedIcons_ = ResultIconStrip(kSelectionColor, ratio);
  }
  for (size_t n = 0; n < frame_.Items.size(); ++n) {
    const int index = cursor_.TopIndex + static_cast<int>(n);
    const int top = frame_.ItemTops[static_cast<size_t>(index)] - 1;
    const TResultLayout& item = frame_.Items[n];
    if (!event->rect().intersects(QRect(0, top, width(), item.Height))) continue;
    DrawItem(painter, item, top, index == cursor_.SelectedIndex);
  }
}

void TSearchList::DrawItem(QPainter& painter, const TResultLayout& item, int top, bool selected) {
  const int drawWidth = DrawWidth();
  if (selected) painter.fillRect(QRect(0, top, drawWidth, item.Height), kSelectionColor);

  const auto drawBoxed = [&](TListRole role, int x, int y, std::string_view bytes, TTextCoding coding,
                             const TBoxColors& colors) {
    const QString text = DecodeRun(bytes, coding);
    painter.setFont(measure_.Font(role));
    const QFontMetrics metrics(painter.font());
    painter.fillRect(QRect(x, top + y, metrics.horizontalAdvance(text), metrics.height()), colors.Background);
    painter.setPen(colors.Ink);
    painter.drawText(x, top + y + metrics.ascent(), text);
  };
  drawBoxed(TListRole::Score, item.ScoreX, item.ScoreY, item.Score, TTextCoding::Gb,
            selected ? TBoxColors{QColor(0, 0, 255), Qt::white} : TBoxColors{QColor(255, 255, 0), QColor(128, 128, 0)});

  for (const TTextRun& run : item.Runs) {
    QColor ink;
    if (run.Hit) {
      ink = selected ? QColor(255, 255, 0) : QColor(255, 0, 0);
    } else if (run.Field == TListField::Number) {
      ink = selected ? QColor(Qt::white) : QColor(196, 128, 0);
    } else if (run.Field == TListField::Title) {
      const TListFont font = item.Result->Visited != 0 ? TListFont::Visited : TListFont::Title;
      ink = selected ? QColor(0, 255, 0) : ToQColor(look_.Font(font).Color);
    } else if (run.Field == TListField::Summary) {
      ink = selected ? QColor(Qt::white) : ToQColor(look_.Font(TListFont::Summary).Color);
    } else {
      ink = selected ? QColor(0, 255, 255) : ToQColor(look_.Font(TListFont::Url).Color);
    }
    const std::string_view text = FieldText(item, run.Field);
    painter.setFont(measure_.Font(run.Role));
    painter.setPen(ink);
    painter.drawText(run.X, top + run.Y + QFontMetrics(painter.font()).ascent(),
                     DecodeRun(text.substr(run.Begin, run.End - run.Begin), FieldCoding(item, run.Field)));
  }

  const QPixmap& icons = selected ? selectedIcons_ : normalIcons_;
  const qreal ratio = icons.devicePixelRatio();
  for (const TIconPlace& icon : item.Icons) {
    painter.drawPixmap(QRectF(icon.X, top + icon.Y, kIconSize, kIconSize), icons,
                       QRectF(icon.Cell * kIconPitch * ratio, 0, kIconSize * ratio, kIconSize * ratio));
  }

  drawBoxed(TListRole::Engines, item.EnginesX, item.EnginesY, item.Result->Engines, item.EnginesCoding,
            selected ? TBoxColors{QColor(0, 0, 255), Qt::white} : TBoxColors{Qt::white, QColor(0, 128, 0)});
  if (look_.DisplayGrid) {
    painter.setPen(ToQColor(look_.GridLine));
    painter.drawLine(0, top + item.GridY, drawWidth, top + item.GridY);
  }
}

void TSearchList::RedrawResult(int index) {
  if (index < cursor_.TopIndex || index > cursor_.LastVisible) return;
  const size_t at = static_cast<size_t>(index);
  if (at + 1 >= frame_.ItemTops.size()) return;
  const int top = frame_.ItemTops[at] - 1;
  update(QRect(0, top, width(), frame_.ItemTops[at + 1] - 1 - top));
}

void TSearchList::ShowTop() {
  const QSignalBlocker blocker(scrollBar_);
  scrollBar_->setValue(cursor_.TopIndex);
  update();
}

void TSearchList::StoreCursor() {
  if (key_ != nullptr) program_.KeepListCursor(*key_, cursor_.SelectedIndex, cursor_.TopIndex);
}

void TSearchList::resizeEvent(QResizeEvent* /*event*/) {
  const int barWidth = scrollBar_->sizeHint().width();
  scrollBar_->setGeometry(width() - barWidth, 0, barWidth, height());
}

void TSearchList::keyPressEvent(QKeyEvent* event) {
  const bool hasView = key_ != nullptr;
  if (hasView) Rebuild();
  const int count = hasView ? static_cast<int>(key_->View.size()) : 0;
  const TListCursor before = cursor_;
  const TKeyOutcome outcome = HandleListKey(ListKeyOf(event->key()), event->modifiers().testFlag(Qt::ControlModifier),
                                            event->modifiers().testFlag(Qt::AltModifier), hasView, count, cursor_);
  if (!outcome.Handled) {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  bool deleted = false;
  switch (outcome.Action) {
    case TListAction::EnlargeFont:
      EnlargeFont();
      break;
    case TListAction::DiminishFont:
      DiminishFont();
      break;
    case TListAction::NextOrder:
      SetSortMethod(SteppedSortMethod(sortMethod_, 1));
      break;
    case TListAction::PreviousOrder:
      SetSortMethod(SteppedSortMethod(sortMethod_, -1));
      break;
    case TListAction::Open:
      OpenResult(false, false);
      break;
    case TListAction::OpenNewWindow:
      OpenResult(true, false);
      break;
    case TListAction::Property:
      emit PropertyRequested();
      break;
    case TListAction::Delete:
      deleted = DeleteSelected();
      break;
    case TListAction::None:
      break;
  }
  if (!deleted) {
    if (cursor_.TopIndex != before.TopIndex) {
      ShowTop();
    } else if (cursor_.SelectedIndex != before.SelectedIndex) {
      RedrawResult(before.SelectedIndex);
      RedrawResult(cursor_.SelectedIndex);
    }
  }
  StoreCursor();
}

void TSearchList::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (key_ == nullptr) return;
  const int index = ResultAt(frame_, event->position().toPoint().y());
  if (index < 0 || static_cast<size_t>(index) >= key_->View.size() || index == cursor_.SelectedIndex) return;
  const int old = cursor_.SelectedIndex;
  cursor_.SelectedIndex = index;
  RedrawResult(old);
  RedrawResult(index);
  StoreCursor();
}

void TSearchList::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  OpenResult(Options().Value("NewWindow") == "1", false);
}

void TSearchList::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (key_ == nullptr) return;
  // One step per notch; touchpads send smaller deltas that add up.
  wheelRemainder_ += event->angleDelta().y();
  const int steps = wheelRemainder_ / 120;
  wheelRemainder_ %= 120;
  if (steps == 0) return;
  cursor_.TopIndex = WheeledTopIndex(cursor_.TopIndex, -steps, static_cast<int>(key_->View.size()));
  ShowTop();
  StoreCursor();
}

void TSearchList::contextMenuEvent(QContextMenuEvent* event) {
  if (popup_ != nullptr) popup_->popup(event->globalPos());
}

void TSearchList::ResultsChanged(const TOneKey& key) {
  // A paint rebuilds and sorts the whole view: pages merged in quick succession share one.
  if (&key == key_ && !repaintSoon_->isActive()) repaintSoon_->start();
}

}  // namespace quorvex
