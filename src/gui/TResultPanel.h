#pragma once
#include <QWidget>

class QComboBox;
class QLabel;
class QProgressBar;

namespace quorvex {

class TOneKey;
class TProgram;
class TSearchList;
struct TMainCommands;
class TfmAppearance;
class TfmFilter;
class TfmFind;

// The results of the keyword shown: its keyword, date and count with the search's progress bar above
// them, the font, order, find and filter buttons and those of the panels, the result list itself, and
// the commands that act on what the list shows. The buttons offer the window's commands.
class TResultPanel : public QWidget {
  Q_OBJECT
 public:
  TResultPanel(TProgram& program, const TMainCommands& commands, QWidget* parent = nullptr);

  TSearchList* List() const { return list_; }
  TOneKey* Key() const;
  // key's results and labels; none clears the list.
  void ShowKey(TOneKey* key);
  // The labels of key, the keyword shown.
  void ShowKeyLabels(const TOneKey& key);
  // A page of the search is merged (runTotal results of countAll so far), or the search has ended.
  void ShowProgress(int runTotal, int countAll);
  void ShowSearchEnded();

  // Commands.
  void SearchInResults();
  void ContinueSearchInResults();
  void ShowAppearance();
  void ShowFilter();
  // Writes Key.html of the results shown and opens it when asked; a page that could not be written is
  // told, never shown.
  bool DisplayInBrowser(bool open);
  // Writes the export and offers it to the user's mail program.
  void SendToFriend();

 private:
  QWidget* BuildInformationBar();
  QWidget* BuildResultBar(const TMainCommands& commands);

  QLabel* lblKey_;
  QLabel* lblDate_;
  QLabel* lblNum_;
  QProgressBar* pbDownload_;
  QComboBox* cbSortMethod_;
  TSearchList* list_;
  TfmFind* find_;
  TfmFilter* filter_;
  TfmAppearance* appearance_;
};

}  // namespace quorvex
