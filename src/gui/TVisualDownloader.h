#pragma once
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace quorvex {

// One engine's row in the search progress window: its name, a bar and a state text with a count.
class TVisualDownloader : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kHeight = 28;

  // perEngineLimit: the keyword's per-engine result limit, which fills the bar.
  TVisualDownloader(const QString& engineName, int perEngineLimit, QWidget* parent = nullptr);

  void Connected();
  void Downloading(int reported);
  void FinishedDown(int added);
  // The engine failed: the reason follows its state text and is its hint.
  void Failed(const QString& reason);
  // Places the bar from progressLeft to countLeft and the label just right of countLeft.
  void Place(int progressLeft, int countLeft);

  QLabel* lblEngineName;
  QProgressBar* pProgressBar;
  QLabel* lblDownloadNum;

 private:
  int limit_;
};

}  // namespace quorvex
