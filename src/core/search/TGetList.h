#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/engines/TEngineDefinition.h"
#include "core/engines/page_markers.h"
#include "core/engines/record_fields.h"
#include "core/search/record_form.h"

namespace quorvex {

class MainThreadDispatcher;

// The worker thread that runs one engine's part of a search: it fetches the result pages one after
// another with its own HTTP client (or reads a local file), cuts out the records with the engine's
// definition, makes them ready for merging, and after every page hands them to its owner on the main
// thread, where the owner decides whether paging goes on. One worker serves one search.
//
// The thread keeps what it works on alive by itself, so nobody ever waits for it: destroying the worker
// stops it and returns at once, and a thread still inside a lookup or a request winds down on its own.
// After Stop it touches nothing outside itself, not even the dispatcher.
class TGetList {
 public:
  using TNotify = std::function<void()>;
  // records: the page's new records, ready (the owner may take them over); failure: why the page
  // brought nothing, empty when it was fetched and read (a socket step's message, an HTTP status, an
  // extraction error, a missing local file); page: the page as it came. Setting stop ends the paging.
  using TPageNotify =
      std::function<void(std::vector<TReadyRecord>& records, std::string_view failure, std::string_view page, bool& stop)>;

  // Starts the thread, which waits for LoadDefinition. dispatcher must outlive every call of Stop.
  explicit TGetList(MainThreadDispatcher& dispatcher);
  // Stops the worker; returns at once.
  ~TGetList();
  TGetList(const TGetList&) = delete;
  TGetList& operator=(const TGetList&) = delete;

  // Events, run on the main thread while the worker waits. Set them, and the settings below, before
  // LoadDefinition.
  TNotify OnConnecting;  // before each request
  TPageNotify OnPageDone;
  TNotify OnFinished;  // the engine's search is over (not raised after Stop)

  std::string Proxy;       // "host:port" or empty, for every request
  int TimeOutSeconds = 0;  // of every request and name lookup; 0 waits for ever
  // Where a relative local-file "url" is looked for when the working folder has no such file.
  std::filesystem::path EngineFolder;
  // What tells a page without records apart (blocked, no results); shared by the engines of a search.
  std::shared_ptr<const PageMarkers> Markers;
  // The charset the engine's pages are written in when they are read in UTF-8 after conversion (the
  // page events still get the page as it came); empty for none.
  std::string PageCharset;
  // How the records become results, applied on the worker's thread.
  TRecordForm Form;

  // Hands over the loaded definition (its key set) and starts the search.
  void LoadDefinition(TEngineDefinition definition);

  // Ends the search, on the main thread: no further event runs, a lookup or request in progress is
  // aborted, and a pending call into the main thread is dropped. The stop stays set, so one call is
  // enough wherever the thread is. Never inside one of the worker's own events.
  void Stop();

  // The thread's loop has ended.
  bool Finished() const;

 private:
  struct TCore;  // the thread's state, shared with the thread
  std::shared_ptr<TCore> core_;
};

}  // namespace quorvex
