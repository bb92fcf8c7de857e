#pragma once
#include <QMainWindow>
#include <memory>

#include "core/program/TProgram.h"
#include "gui/main_commands.h"

class QTimer;

namespace quorvex {

struct AppState;
class MainThreadDispatcher;
class TAdvertiser;
class TDownloadEngines;
class TEngineChoice;
class TKeywordPanel;
class TOneKey;
class TResultPanel;
class TSearchBar;
class TSearchList;
class TStatusBar;
class TWindowLayout;
class TfmAbout;
class TfmDownload;
class TfmEngineHealth;
class TfmKeyProp;
class TfmLearnEngine;
class TfmOption;
class TfmPageProperty;
class TfmProgress;

// The program's main window: the search bar and menus above its panes (TWindowLayout), the status bar
// below. It draws what the core computes and forwards the user's commands to the running program
// (TProgram), which reports back through TProgramDisplay. Tests find its controls by object name.
class TfmMetaSearch : public QMainWindow, public TProgramDisplay {
  Q_OBJECT
 public:
  // Builds the window and its dialogs and runs the start-up: engine index, keyword tree, keyword
  // records, layout, the saved selections, and the engine update unless option DEngines is "1".
  TfmMetaSearch(MainThreadDispatcher& dispatcher, AppState& app, QWidget* parent = nullptr);
  ~TfmMetaSearch() override;

  // The shut-down in its order (tree, keywords, layout, running work, engine index); runs once, for
  // Exit, the close box and every request from outside to end. Files it could not write are named in
  // one warning at its end.
  void Shutdown();

  EngineIndex& Index() { return program_.Index(); }
  TfmProgress& Progress() { return *progress_; }
  // The Show Progress command, whose button shows only while work runs.
  const QAction& ShowProgressCommand() const { return *commands_.showProgress; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // TProgramDisplay
  void ShowActivity(std::string_view text) override;
  void ActivityStateChanged() override { UpdateCommands(); }
  void KeyAdded(TOneKey& key) override;
  void SearchStarted(TOneKey& key) override;
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey& key) override;
  void ResultsMerged(TOneKey& key, int runTotal, int countAll) override;
  void EnginesFinished() override {}
  void SearchEnded(TOneKey& key) override;
  void VerifyStarted(TOneKey& key) override;
  void VerifyEnded(TOneKey& key) override;
  void ResultsEdited(TOneKey& key) override;

  // Commands (TfmMetaSearch_commands.cpp).
  void BuildCommands();
  // Shows and enables the commands as ActivityState allows.
  void UpdateCommands();
  void Search();
  void StartUpdateSearch();
  void EditKeyword();
  void UpdateKeyword();
  void VerifyWebPage(bool download);
  void ShowActivityWindow();
  void ToggleMaximised();
  // Shows the learn dialog on page; an engine it adds shows in the engine list at once.
  void LearnEngine(const QString& page = {}, const QString& name = {});
  void ShowEngineHealth();
  // Starts a search of the chosen keyword dialog category when a category is double-clicked.
  void SearchCategory(int category);
  // Starts what the keyword dialog's closing button asked for.
  void KeyPropSearch(int action);
  // Tells why key's results cannot be worked on, when they cannot.
  bool ResultsReadable(TOneKey& key);

  // The keyword's row, and the labels above the result list when it is the keyword shown there.
  void UpdateKeyRow(const TOneKey& key);
  // Which engines of key's search gave nothing and why (summary; empty clears it), in the status bar
  // and in place of key's results while it has none.
  void ShowEnginesGaveNothing(const TOneKey& key, std::string_view summary);
  // The program's tick; the first failure of a run of failed writes is told at once.
  void Tick();

  MainThreadDispatcher& dispatcher_;
  AppState& app_;
  TProgram program_;
  TKeywordPanel* keywords_;
  TMainCommands commands_;
  TEngineChoice* engines_;
  TResultPanel* results_;
  TSearchList* List;  // the results panel's list
  TSearchBar* searchBar_;
  TWindowLayout* layout_;
  TStatusBar* status_;
  QTimer* tick_ = nullptr;
  bool shutDown_ = false;

  TfmProgress* progress_ = nullptr;
  TfmPageProperty* pageProperty_ = nullptr;
  TfmKeyProp* keyProp_ = nullptr;
  TfmAbout* about_ = nullptr;
  TfmOption* option_ = nullptr;
  TfmDownload* download_ = nullptr;
  TfmLearnEngine* learn_ = nullptr;
  TfmEngineHealth* health_ = nullptr;
  std::unique_ptr<TDownloadEngines> engineUpdate_;
  std::unique_ptr<TAdvertiser> advertiser_;  // from the first activation to the close
};

}  // namespace quorvex
