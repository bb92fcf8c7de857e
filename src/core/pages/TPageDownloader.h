#pragma once
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/net/THtmlParser.h"
#include "core/pages/page_references.h"

namespace quorvex {

class TSHttp;

// Saves one page into its folder: "0.htm" and, in download mode, everything its pages refer to down
// to three levels, as numbered files whose names tell their type. Used by the verification workers
// and the sponsor pane; one downloader per thread.
class TPageDownloader {
 public:
  static constexpr int kMaxDepth = 3;

  // Runs one GET of url on the caller's client and returns its status (the body stays in the client).
  // The caller may refuse a request (a stop, a host that asked to back off) by returning a status
  // other than 200 without sending anything.
  using TFetch = std::function<int(const std::string& url)>;
  // Called before each request with the URL and the number of references still queued.
  using TBeforeFetch = std::function<void(const std::string& url, size_t left)>;

  explicit TPageDownloader(TSHttp& http);

  bool DownloadMode = false;      // off: the page alone is fetched and saved as it came
  bool SaveFiles = true;          // off: the page alone is fetched and nothing is written
  bool LinksInNewWindow = false;  // links of saved pages get target="_blank"
  std::string HtmPrefix;          // written before every saved page
  std::string HtmSuffix;          // and after it
  TFetch Fetch;                   // must be set
  TBeforeFetch BeforeFetch;

  struct TOutcome {
    bool pageAnswered = false;  // the page itself answered 200
    bool lastAnswered = false;  // the last request answered 200
    std::string notSaved;       // why something that answered could not be kept; empty when all was
  };
  // Fetches and saves pageUrl into folder, and in download mode its references, until none is left or
  // stopped is set. Each file is replaced whole or not at all; what cannot be written is missing from
  // the copy and named in notSaved. With an empty folder nothing is written.
  TOutcome Run(const std::string& pageUrl, const std::filesystem::path& folder, const std::atomic<bool>& stopped);

 private:
  // Keeps what a request brought; an image whose name does not tell its real type is saved under a
  // name that does, and the pages' references are pointed at it when they are written.
  void Keep(const TPendingReference& fetched, const std::filesystem::path& folder);
  void WritePages(const std::filesystem::path& folder);
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): folder, name, then what goes in, as a path reads
  void WriteFile(const std::filesystem::path& folder, const std::string& fileName, const std::string& data);
  TOutcome Finish(const std::filesystem::path& folder, TOutcome outcome);

  TSHttp& http_;
  THtmlParser parser_;
  TPageReferences references_;
  std::vector<std::pair<std::string, std::string>> pages_;  // rewritten pages, written at the end
  std::map<std::string, std::string> renamed_;              // image file name as queued -> as saved
  std::string notSaved_;                                    // the first file error of this run
};

}  // namespace quorvex
