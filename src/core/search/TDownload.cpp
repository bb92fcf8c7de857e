#include "core/search/TDownload.h"

#include <algorithm>
#include <optional>

#include "core/config/Options.h"
#include "core/common/ascii.h"
#include "core/common/datetime.h"
#include "core/common/file_io.h"
#include "core/common/folder_path.h"
#include "core/common/name_value_list.h"
#include "core/engines/TEngineDefinition.h"
#include "core/common/numbers.h"
#include "core/net/entities.h"
#include "core/search/TGetList.h"
#include "core/search/TSearchRun.h"
#include "core/search/code_page.h"
#include "core/search/result_merge.h"
#include "core/search/search_display.h"
#include "core/common/utf8.h"
#include "core/store/TOneKey.h"
#include "core/store/TOneResult.h"

namespace quorvex {
namespace {


std::uint8_t LanguageOf(const TRecord& record) {
  if (record.size() < 4) return 0;
  const std::string& marker = record[3];
  if (marker == "GB") return kLanguageGB;
  if (marker == "BIG5") return kLanguageBig5;
  if (marker == "ENG") return kLanguageEnglish;
  return 0;
}

std::string FolderPrefix(const std::filesystem::path& folder) {
  return WithTrailingSlash(folder.string());
}

}  // namespace

TDownload::TDownload(TSearchRun& run, std::string_view engineEntry, TOneKey& key) : run_(run), key_(key) {
  const size_t equals = engineEntry.find('=');
  if (equals != std::string_view::npos) engineName_ = engineEntry.substr(0, equals);
  definitionFile_ = FolderPrefix(run.EngineFolder);
  definitionFile_ += equals == std::string_view::npos ? engineEntry : engineEntry.substr(equals + 1);

  const std::optional<std::string> text = ReadWholeFile(definitionFile_);
  if (!text) failure_ = "cannot read the definition " + definitionFile_;
  TEngineDefinition definition;
  definition.LoadDefinition(text ? SplitLines(*text) : std::vector<std::string>());
  codePage_ = ParseIntOr(definition.HeaderValue("Version"), kCodePageGb);
  weight_ = ParseIntOr(definition.HeaderValue("Score"), 100);
  // "Charset=UTF-8" marks an engine that takes and answers UTF-8: no GB/BIG5 conversion applies. Another
  // charset is sent the keyword in it, and its pages are read in UTF-8 (converted by the worker).
  const std::string charset = TrimControls(definition.HeaderValue("Charset"));
  utf8_ = !charset.empty();
  charset_ = utf8_ ? charset : codePage_ == kCodePageGb ? "GB18030" : codePage_ == kCodePageBig5 ? "BIG5" : "";
  keyword_ = utf8_ ? Utf8Keyword(key.Keyword) : ConvertCodePage(key.Keyword, kCodePageGb, codePage_);
  if (utf8_ && !IsUtf8Name(charset)) {
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
  worker_->OnPageDone = [this](const std::vector<TRecord>& records, int firstNew, std::string_view failure,
                               std::string_view page, bool& stop) { OnPageDone(records, firstNew, failure, page, stop); };
  worker_->OnFinished = [this] { OnFinished(); };
  worker_->Proxy = Options().ProxyAddress();
  worker_->TimeOutSeconds = Options().TimeOutSeconds("SearchTimeOut");
  worker_->EngineFolder = run.EngineFolder;
  worker_->Markers = run.Markers();
  if (utf8_ && !IsUtf8Name(charset)) worker_->PageCharset = charset;

  progress_ = run.Display().AddProgressRow(engineName_, key);
  run.EngineStarted();
  worker_->LoadDefinition(std::move(definition));
}

TDownload::~TDownload() = default;

void TDownload::Stop() { worker_->Stop(); }

TMerged TDownload::AddResult(const std::string& title, const std::string& summary, const std::string& url,
                             std::uint8_t language, std::string_view engineName) {
  const TMergeContext context{run_.QueryWords(), run_.UpdateMode(), run_.UpdateStart(), NowDateTime()};
  const TMerged merged = MergeResult(key_, TFoundRecord{title, summary, url, language}, engineName, weight_, context);
  if (merged == TMerged::Added) ++added_;
  return merged;
}

void TDownload::OnConnecting() { progress_->Connected(); }

void TDownload::OnPageDone(const std::vector<TRecord>& records, int firstNew, std::string_view failure,
                           std::string_view page, bool& stop) {
  ++pages_;
  if (failure_.empty()) {
    failure_ = failure;
    // Kept for the user to look at or learn from.
    if (failure_.starts_with("blocked: ") || failure_.starts_with("no record matched")) keptPage_ = page;
  }
  int usable = 0;
  for (size_t i = static_cast<size_t>(std::max(firstNew, 0)); i < records.size(); ++i) {
    const TRecord& record = records[i];
    ++reported_;
    if (record.size() <= 2) continue;
    const TMerged merged =
        AddResult(StoredText(record[1]), StoredText(record[2]), record[0], LanguageOf(record), engineName_);
    if (merged != TMerged::Dropped) ++usable;
    if (merged == TMerged::Added) run_.ResultAdded();
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

std::string TDownload::StoredText(const std::string& field) const {
  std::string text = SqueezeBlanks(field);
  return utf8_ ? DecodeNumericReferences(text, TTextEncoding::Utf8)
               : DecodeNumericReferences(ConvertCodePage(text, codePage_, kCodePageGb), TTextEncoding::Gb18030);
}

}  // namespace quorvex
