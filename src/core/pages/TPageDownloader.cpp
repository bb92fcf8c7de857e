#include "core/pages/TPageDownloader.h"

#include <cerrno>

#include "core/common/ascii.h"
#include "core/common/file_io.h"
#include "core/net/TSHttp.h"
#include "core/pages/image_type.h"

namespace quorvex {
namespace {

constexpr int kOk = 200;

bool IsHtmName(const std::string& fileName) {
  return fileName.size() >= 4 && EqualsIgnoreCase(std::string_view(fileName).substr(fileName.size() - 4), ".htm");
}


std::string WithExtension(const std::string& fileName, const std::string& extension) {
  return fileName.substr(0, fileName.rfind('.')) + extension;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

}  // namespace

TPageDownloader::TPageDownloader(TSHttp& http) : http_(http) {
  parser_.OnHtmlTag = [this](THtmlParser&, std::string& tag, NameValueList& param, size_t) {
    references_.TagFound(tag, param);
  };
}

TPageDownloader::TOutcome TPageDownloader::Run(const std::string& pageUrl, const std::filesystem::path& folder,
                                               const std::atomic<bool>& stopped) {
  references_.Reset();
  references_.LinksInNewWindow = LinksInNewWindow;
  pages_.clear();
  renamed_.clear();
  notSaved_.clear();
  TOutcome outcome;
  TPendingReference current{pageUrl, "0.htm", 0};
  while (!stopped.load()) {
    if (BeforeFetch) BeforeFetch(current.url, references_.Left());
    const int status = Fetch(current.url);
    if (stopped.load()) break;
    outcome.lastAnswered = status == kOk;
    if (current.depth == 0) outcome.pageAnswered = outcome.lastAnswered;
    if (outcome.lastAnswered) Keep(current, folder);
    do {
      if (!references_.TakeNext(current)) return Finish(folder, outcome);
    } while (current.depth > kMaxDepth);
  }
  return Finish(folder, outcome);
}

TPageDownloader::TOutcome TPageDownloader::Finish(const std::filesystem::path& folder, TOutcome outcome) {
  WritePages(folder);
  outcome.notSaved = std::move(notSaved_);
  return outcome;
}

void TPageDownloader::WriteFile(const std::filesystem::path& folder, const std::string& fileName,
                                const std::string& data) {
  if (folder.empty()) {
    if (notSaved_.empty()) notSaved_ = "the page's folder could not be made";
    return;
  }
  // Whole or not at all: a full disk leaves the earlier copy of the file, never a cut one.
  if (!WriteFileAtomically(folder / fileName, data) && notSaved_.empty())
    notSaved_ = NotWrittenMessage(fileName, errno);
}

void TPageDownloader::Keep(const TPendingReference& fetched, const std::filesystem::path& folder) {
  const std::string& fileName = fetched.fileName;
  if (!SaveFiles) return;
  if (!DownloadMode) {
    WriteFile(folder, fileName, http_.Body);
    return;
  }
  if (IsHtmName(fileName)) {
    references_.SetPage(fetched.url, fetched.depth);
    parser_.Content = std::move(http_.Body);
    parser_.SaveChange = true;
    parser_.Parse();
    pages_.emplace_back(fileName, std::move(parser_.Content));
    return;
  }
  const std::string real = RealImageExtension(http_.Body, http_.GetHeader("Content-Type"));
  const std::string extension = fileName.substr(fileName.rfind('.'));
  std::string savedName = fileName;
  if (!real.empty() && !ExtensionTellsType(extension, real)) {
    savedName = WithExtension(fileName, real);
    renamed_[fileName] = savedName;
  }
  WriteFile(folder, savedName, http_.Body);
}

void TPageDownloader::WritePages(const std::filesystem::path& folder) {
  for (auto& [fileName, content] : pages_) {
    // References were written as value="N.ext" by the rebuild, so the quoted name finds exactly them.
    for (const auto& [queued, saved] : renamed_) ReplaceAll(content, "=\"" + queued + "\"", "=\"" + saved + "\"");
    WriteFile(folder, fileName, HtmPrefix + content + HtmSuffix);
  }
  pages_.clear();
}

}  // namespace quorvex
