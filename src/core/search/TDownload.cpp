#include "core/search/TDownload.h"

#include <optional>

#include "core/config/Options.h"
#include "core/common/ascii.h"
#include "core/common/datetime.h"
#include "core/common/file_io.h"
#include "core/common/folder_path.h"
#include "core/common/name_value_list.h"
#include "core/engines/TEngineDefinition.h"
#include "core/common/numbers.h"
#include "core/search/TGetList.h"
#include "core/search/TSearchRun.h"
#include "core/search/code_page.h"
#include "core/search/result_merge.h"
#include "core/search/search_display.h"
#include "core/common/utf8.h"
#include "core/store/TOneKey.h"

namespace quorvex {
namespace {

std::string FolderPrefix(const std::filesystem::path& folder) {
  return WithTrailingSlash(folder.string());
}

}  // namespace

std::string_view EngineNameOf(std::string_view engineEntry) {
  const size_t equals = engineEntry.find('=');
  return equals == std::string_view::npos ? std::string_view() : engineEntry.substr(0, equals);
}

TDownload::TDownload(TSearchRun& run, std::string_view engineEntry, TOneKey& key,
                     std::unique_ptr<TSearchProgressRow> progress)
    : run_(run), key_(key), engineName_(EngineNameOf(engineEntry)), progress_(std::move(progress)) {
  const size_t equals = engineEntry.find('=');
  definitionFile_ = FolderPrefix(run.EngineFolder);
  definitionFile_ += equals == std::string_view::npos ? engineEntry : engineEntry.substr(equals + 1);

  const std::optional<std::string> text = ReadWholeFile(definitionFile_);
  if (!text) failure_ = "cannot read the definition " + definitionFile_;
  TEngineDefinition definition;
  definition.LoadDefinition(text ? SplitLines(*text) : std::vector<std::string>());
  const int codePage = ParseIntOr(definition.HeaderValue("Version"), kCodePageGb);
  weight_ = ParseIntOr(definition.HeaderValue("Score"), 100);
  // "Charset=UTF-8" marks an engine that takes and answers UTF-8: no GB/BIG5 conversion applies. Another
  // charset is sent the keyword in it, and its pages are read in UTF-8 (converted by the worker).
  const std::string charset = TrimControls(definition.HeaderValue("Charset"));
  const bool utf8 = !charset.empty();
  charset_ = utf8 ? charset : codePage == kCodePageGb ? "GB18030" : codePage == kCodePageBig5 ? "BIG5" : "";
  keyword_ = utf8 ? Utf8Keyword(key.Keyword) : ConvertCodePage(key.Keyword, kCodePageGb, codePage);
  if (utf8 && !IsUtf8Name(charset)) {
    const std::optional<std::string> inCharset = Utf8ToCharset(keyword_, charset);
    if (inCharset) {
      keyword_ = *inCharset;
    } else {
      failure_ = "unknown charset " + charset;
      definition = TEngineDefinition();  // fetches nothing
    }
  }
  definition.SetKey(keyword_);
  firstUrl_ = definition.BuildPageUrl(definition.FirstStart(), definition.Step(), {}).url;

  worker_ = std::make_unique<TGetList>(run.Dispatcher());
  worker_->OnConnecting = [this] { OnConnecting(); };
  worker_->OnPageDone = [this](std::vector<TReadyRecord>& records, std::string_view failure, std::string_view page,
                               bool& stop) { OnPageDone(records, failure, page, stop); };
  worker_->OnFinished = [this] { OnFinished(); };
  worker_->Proxy = Options().ProxyAddress();
  worker_->TimeOutSeconds = Options().TimeOutSeconds("SearchTimeOut");
  worker_->EngineFolder = run.EngineFolder;
  worker_->Markers = run.Markers();
  if (utf8 && !IsUtf8Name(charset)) worker_->PageCharset = charset;
  worker_->Form = TRecordForm{codePage, utf8, weight_, run.QueryWords(utf8)};

  run.EngineStarted();
  worker_->LoadDefinition(std::move(definition));
}

TDownload::~TDownload() = default;

void TDownload::Stop() { worker_->Stop(); }

void TDownload::OnConnecting() { progress_->Connected(); }

void TDownload::OnPageDone(std::vector<TReadyRecord>& records, std::string_view failure, std::string_view page,
                           bool& stop) {
  ++pages_;
  if (failure_.empty()) {
    failure_ = failure;
    // Kept for the user to look at or learn from.
    if (failure_.starts_with("blocked: ") || failure_.starts_with("no record matched")) keptPage_ = page;
  }
  int usable = 0;
  const TMergeTime time{run_.UpdateMode(), run_.UpdateStart(), NowDateTime()};
  for (TReadyRecord& record : records) {
    ++reported_;
    const TMerged merged = MergeReady(key_, std::move(record), engineName_, weight_, time);
    if (merged != TMerged::Dropped) ++usable;
    if (merged == TMerged::Added) {
      ++added_;
      run_.ResultAdded();
    }
  }
  usable_ += usable;
  // Records without an address or a title are no results: the definition no longer reads the page.
  if (pages_ == 1 && failure_.empty() && reported_ > 0 && usable == 0) {
    failure_ = "no record matched: records without an address or a title";
    keptPage_ = page;
  }
  progress_->Downloading(reported_);
  run_.Display().ResultsMerged(key_, run_.RunTotal(), run_.Limits.CountAll);
  stop = run_.RunTotal() > run_.Limits.CountAll || reported_ > run_.Limits.CountPerEngine;
}

void TDownload::OnFinished() {
  progress_->FinishedDown(added_, failure_);
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
  run_.EngineFinished(TEngineOutcome{engineName_, usable_, failure_, pages_, elapsed.count(), std::move(keptPage_),
                                     Utf8Keyword(key_.Keyword), firstUrl_, charset_});
}

}  // namespace quorvex
