#pragma once
#include <QWidget>

namespace quorvex {

// A label whose caption reads upwards, drawn turned by 90 degrees on a filled background; it stands
// beside the sponsor pane ("Sponsor") and the keyword list ("Now Classify").
class TVLabel : public QWidget {
  Q_OBJECT
 public:
  TVLabel(const QString& caption, const QColor& color, QWidget* parent = nullptr);
  void SetCaption(const QString& caption);
  QString Caption() const { return caption_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  QColor color_;
};

}  // namespace quorvex
