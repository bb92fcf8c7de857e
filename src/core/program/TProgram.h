#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/AppState.h"
#include "core/app/key_delete.h"
#include "core/engines/EngineIndex.h"
#include "core/search/TSearchRun.h"
#include "core/search/search_display.h"
#include "core/store/KeyTree.h"
#include "core/store/save_scheduler.h"

namespace quorvex {

class MainThreadDispatcher;
class TOneResult;
class TVerifyDisplay;
class UnsavedFiles;

// What the running program tells its viewer beyond a search's own events. The program itself ends a
// search once every engine has finished, so EnginesFinished asks nothing of the viewer.
class TProgramDisplay : public TSearchDisplay {
 public:
  // ActivityState has changed: the commands that depend on it follow (while a search runs the search
  // command stops it). Comes before SearchStarted and after SearchEnded.
  virtual void ActivityStateChanged() = 0;
  // A verification or download run of key has started, or has ended (stopped, or every page done).
  // ActivityStateChanged follows each.
  virtual void VerifyStarted(TOneKey& key) = 0;
  virtual void VerifyEnded(TOneKey& key) = 0;
  // A result of key was deleted or marked visited through the program: its row and list repaint.
  virtual void ResultsEdited(TOneKey& key) = 0;
};

// Where the running program keeps what it reads and writes.
struct TProgramFiles {
  std::filesystem::path engineFolder;  // Index.txt, Markers.txt, the definitions, Health.txt
  std::filesystem::path keyTreeFile;
  std::filesystem::path allKeyFile;
  std::filesystem::path resultDir;     // one result file per keyword
  std::filesystem::path localFileDir;  // verified and downloaded pages
  // The folders of the program's own layout (ProgramDirs) and AllKey.txt in the working folder.
  static TProgramFiles Default();
};

// The program between its start-up and its close, without a window: the engine index, the search run,
// the verification run, the save scheduler, the periodic tick and the shut-down. The window, the
// command-line tool and the soak drive it; every edit of a kept keyword goes through it, so that the
// background save sees it. ActivityState changes here only: the search run it owns tells it a search's
// start and end. Main thread only.
class TProgram : private TSearchDisplay {
 public:
  // currentTree gives the classes KeyTree.txt is written from; without it KeyTree.txt is never written
  // (a tool that shows no classes).
  TProgram(MainThreadDispatcher& dispatcher, AppState& app, TProgramDisplay& display, TProgramFiles files,
           std::function<std::vector<TKeyTreeNode>()> currentTree = {});
  // Stops what still runs and waits for the verification workers: nothing of theirs may outlive the
  // records and the display.
  ~TProgram() override;
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // --- Start-up. Each returns what to tell the user, empty when all went well.
  // Index.txt of the engine folder, read afresh; an index that cannot be read leaves no engines.
  bool LoadEngineIndex();
  // The classes of KeyTree.txt (the default ones when it is missing). A file with a faulty line gives
  // the classes before it; one that cannot be read, the default classes. Either is then kept as it is
  // on disk until ReplaceKeptTree.
  struct TreeLoad {
    std::vector<TKeyTreeNode> nodes;
    std::string problem;
  };
  TreeLoad LoadKeyTree();
  // AllKey.txt into KeyList; one that exists but cannot be read is kept as it is on disk.
  std::string LoadKeywords();

  EngineIndex& Index() { return index_; }
  const EngineIndex& Index() const { return index_; }
  std::vector<std::string> CategoryNames() const { return index_.CategoryNames(); }
  // The name of the category at this position; none when there is no such category.
  std::optional<std::string> CategoryName(int category) const;
  // "name=definition file" of every checked engine of the category at this position; none when there
  // is no such category.
  std::vector<std::string> EnginesOf(int category) const;
  TSearchRun& SearchRun() { return run_; }
  const TProgramFiles& Files() const { return files_; }
  TActivityState Activity() const { return app_.ActivityState; }

  // --- Searches. Only while idle; nothing happens otherwise (null, false).
  // request.Engines is filled from request.Category.
  TOneKey* StartSearch(TSearchRequest request, SearchLimits limits);
  // Not for a keyword whose result file could not be read (ResultsProblem).
  bool StartUpdateSearch(TOneKey& key, int category, SearchLimits limits);

  // --- Verification and download of key's result pages. Only while idle, and not for a keyword whose
  // result file could not be read; false otherwise. rows shows the run and must live until it has ended.
  bool StartVerify(TOneKey& key, int mode, TVerifyDisplay& rows);
  // Why key's results cannot be worked on: its result file exists but could not be read, and is kept
  // as it is. Empty when they can (read here if they were not yet).
  std::string ResultsProblem(TOneKey& key) const;
  // Stops the verification run, if one runs; its key's page states (its result file) are due for the save.
  void StopVerify();
  // The Stop command: the verification run or the search, whichever runs.
  void Stop();

  // --- Edits of the kept keywords and classes; each is saved soon after.
  // Deletes the selected keywords unless one of them is being searched or verified.
  TKeyDeleteVerdict DeleteKeys(const std::vector<TOneKey*>& selected);
  // Files key under the class whose text is classify.
  void FileKey(TOneKey& key, const std::string& classify);
  // Deletes result (looked up by identity) from key; false when it is not one of key's results.
  bool DeleteResult(TOneKey& key, const TOneResult* result);
  // result of key was opened: it is marked visited, once (its result file alone changes).
  void MarkVisited(TOneKey& key, TOneResult& result);
  // The result list's selected and top index for key, kept in its line of AllKey.txt.
  void KeepListCursor(TOneKey& key, int selected, int top);
  // A class was added, renamed, moved or deleted.
  void TreeEdited();
  // KeyTree.txt was not read whole and is kept; a change of the classes asks first.
  bool TreeKept() const { return saver_.TreeFileKept(); }
  // The user agreed to lose what was not read: the next change of the classes writes KeyTree.txt.
  void ReplaceKeptTree() { saver_.ReplaceKeptTree(); }

  // --- The window's 200 ms timer: ends a search whose engines have all ended and a verification run
  // whose workers have, and writes the files that are due. Returns what to tell the user when a run of
  // failed writes begins (once, until every pending file has been written again); empty otherwise.
  std::string Tick(SaveScheduler::Clock::time_point now);

  // --- The shut-down in its order: KeyTree.txt and the keyword files, then saveMore (the viewer's own
  // files), the search and verification stopped and their workers gone, Index.txt when an engine was
  // ticked or unticked. A step that fails
  // does not stop the others' files; every file not written is noted in the result. Runs once; later
  // calls return nothing.
  UnsavedFiles ShutDown(const std::function<void(UnsavedFiles&)>& saveMore = {});

 private:
  // TSearchDisplay: the run's events go on to the viewer, with the saves they make due.
  void ShowActivity(std::string_view text) override { display_.ShowActivity(text); }
  void KeyAdded(TOneKey& key) override;
  void SearchStarted(TOneKey& key) override;
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey& key) override {
    return display_.AddProgressRow(engineName, key);
  }
  void ResultsMerged(TOneKey& key, int runTotal, int countAll) override {
    display_.ResultsMerged(key, runTotal, countAll);
  }
  void EnginesFinished() override;
  void SearchEnded(TOneKey& key) override;

  MainThreadDispatcher& dispatcher_;
  AppState& app_;
  TProgramDisplay& display_;
  TProgramFiles files_;
  EngineIndex index_;
  std::vector<std::string> indexAsRead_;  // a read-only engine folder is never written unasked
  SaveScheduler saver_;
  TSearchRun run_;
  bool saveFailureTold_ = false;  // until every pending file has been written again
  bool shutDown_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for ends queued after the program
};

}  // namespace quorvex
