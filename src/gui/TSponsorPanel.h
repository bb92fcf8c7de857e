#pragma once
#include <QTextBrowser>
#include <QWidget>

#include "core/sponsor/sponsor_pane.h"

namespace quorvex {

class TVLabel;

// The sponsor pane: a light HTML view of the cached page, which runs no script; its links open in the
// user's browser.
// A right or middle press shows the sponsor message instead of a context menu.
class TSponsorBrowser : public QTextBrowser, public TSponsorPane {
  Q_OBJECT
 public:
  explicit TSponsorBrowser(QWidget* parent = nullptr);
  void ShowCachedFile(const std::filesystem::path& file) override;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
};

// The 60-pixel sponsor panel: the red "Sponsor" label and the pane beside it. The pane reaches 2
// pixels above and below the panel and 20 pixels past its right edge, so the page's own margins and
// scroll bar stay out of sight.
class TSponsorPanel : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kHeight = 60;
  static constexpr int kLabelWidth = 15;

  explicit TSponsorPanel(QWidget* parent = nullptr);
  TSponsorBrowser* Pane() const { return pane_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  TVLabel* label_;
  TSponsorBrowser* pane_;
};

}  // namespace quorvex
