#pragma once
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <optional>

#include "core/app/LayoutConfig.h"
#include "core/program/TProgram.h"
#include "gui/main_commands.h"

namespace quorvex {

struct AppState;
class MainThreadDispatcher;
class TActivityIndicator;
class TAdvertiser;
class TDownloadEngines;
class TEngineChoice;
class TKeywordPanel;
class TOneKey;
class TResultPanel;
class TSearchList;
class TSponsorPanel;
class TVLabel;
class TfmAbout;
class TfmDownload;
class TfmEngineHealth;
class TfmKeyProp;
class TfmLearnEngine;
class TfmOption;
class TfmPageProperty;
class TfmProgress;

// The program's main window: keyword tree and engine choice on the left; sponsor pane, keyword list
// and result list on the right; the search bar and menus above. It draws what the core computes and
// forwards the user's commands to the running program (TProgram), which reports back through
// TProgramDisplay.
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

  // Commands, as the menus, buttons and keys run them.
  void btnSearchClick();
  void btnStopClick();
  void StartUpdateSearch();
  void NEditKeyClick();
  void NUpdateKeyClick();
  void VerifyWebPage(bool download);
  void StopVerify();
  // Tells why key's results cannot be worked on, when they cannot.
  bool ResultsReadable(TOneKey& key);
  void ToggleKeywordPanel();
  void ToggleTreePanel();
  void ToggleMaximised();

  // Writes a status bar panel (numbered from 0).
  void SetStatus(int panel, std::string_view text);
  // The last status bar panel and, in place of key's results while it has none, which engines of its
  // search gave nothing and why (summary; empty clears both).
  void ShowEnginesGaveNothing(const TOneKey& key, std::string_view summary);
  static constexpr int kEngineNotePanel = 3;
  // Shows and enables the commands as ActivityState allows.
  void UpdateCommands();

  // TProgramDisplay
  void ShowActivity(std::string_view text) override { SetStatus(0, text); }
  void ActivityStateChanged() override { UpdateCommands(); }
  void KeyAdded(TOneKey& key) override;
  void SearchStarted(TOneKey& key) override;
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey& key) override;
  void ResultsMerged(TOneKey& key, int runTotal, int countAll) override;
  void EnginesFinished() override {}
  void SearchEnded(TOneKey& key) override;
  void VerifyStarted(TOneKey& key) override;
  void VerifyEnded(TOneKey& key) override;

  EngineIndex& Index() { return program_.Index(); }
  TfmProgress& Progress() { return *progress_; }
  // btnShowProgress is shown and hidden through its place in the tool bar.
  const QAction& ShowProgressCommand() const { return *showProgressAction_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // Controls, named as the rest of the program calls them; tests find them by these object names.
  QLineEdit* edKey;
  QToolButton* btnSearch;
  QToolButton* btnStop;
  QToolButton* btnShowProgress;
  QToolButton* btnVerify;
  QToolButton* btnDownload;
  QComboBox* cbMatch;
  TActivityIndicator* Activity;
  QWidget* pnTree;
  TEngineChoice* engines_;
  TKeywordPanel* keywords_;
  TSponsorPanel* pnSponsor;
  TResultPanel* results_;
  TSearchList* List;  // the results panel's list
  QList<QLabel*> StatusPanels;

  // Building (TfmMetaSearch_layout.cpp).
  void BuildSearchBar();
  QWidget* BuildLeftPanel();
  QWidget* BuildRightPanel();
  void BuildStatusBar();
  // Commands, keys and menus (TfmMetaSearch_menus.cpp).
  void BuildCommands();
  void BuildMenus();
  void BuildPopupMenus();
  void ShowActivityWindow();

  // Engines and keywords (TfmMetaSearch_keywords.cpp).
  // Shows the learn dialog on page; an engine it adds shows in the engine list at once.
  void LearnEngine(const QString& page = {}, const QString& name = {});
  void ShowEngineHealth();
  // Starts a search of the chosen keyword dialog category when a category is double-clicked.
  void SearchCategory(int category);
  // The keyword's row, and the labels above the result list when it is the keyword shown there.
  void UpdateKeyRow(const TOneKey& key);
  // Starts what the keyword dialog's closing button asked for.
  void KeyPropSearch(int action);

  // Start-up and shut-down (TfmMetaSearch.cpp).
  void Startup();
  void ApplyLayout(const TLayoutConfig& layout);
  // Splitter sizes are absolute only once the window has its real size, at the first showing.
  void ApplyPanelSizes();
  TLayoutConfig CurrentLayout() const;
  void StartEngineUpdate();
  // The program's tick; the first failure of a run of failed writes is told at once.
  void tmStopTimer();
  SearchLimits Limits() const { return {countPerEngine_, countAll_}; }

  MainThreadDispatcher& dispatcher_;
  AppState& app_;
  TProgram program_;
  TLayoutConfig layout_;
  int countPerEngine_ = 30;
  int countAll_ = 300;
  bool shutDown_ = false;
  bool panelSizesApplied_ = false;

  QSplitter* mainSplitter_ = nullptr;
  QSplitter* treeSplitter_ = nullptr;
  QSplitter* keywordSplitter_ = nullptr;
  QWidget* keywordSeparator_ = nullptr;
  QTimer* tmStop_ = nullptr;
  QAction* showProgressAction_ = nullptr;  // the tool bar's handle on btnShowProgress

  TMainCommands commands_;

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
