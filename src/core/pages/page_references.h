#pragma once
#include <deque>
#include <string>
#include <string_view>

#include "core/common/name_value_list.h"

namespace quorvex {

// One reference of a downloaded page still to fetch: where from, under which local name, how deep.
struct TPendingReference {
  std::string url;
  std::string fileName;
  int depth = 0;
};

// The tag rewriting of a page being saved for offline reading. Frames, inline frames, images, input
// images, backgrounds and meta refresh targets are queued for fetching and pointed at the local file
// they will be saved as; links are made absolute so that they lead back to the web.
class TPageReferences {
 public:
  // Starts a new result page: the queue is emptied and local files are numbered from 1.
  void Reset();
  // The page whose tags follow: relative references are joined to url, queued ones are one deeper.
  void SetPage(std::string url, int depth);
  // Links of saved pages also get target="_blank" (the sponsor pane opens them in a browser).
  bool LinksInNewWindow = false;

  // Rewrites one tag in place, queueing what it refers to.
  void TagFound(const std::string& tagName, NameValueList& param);

  // The next queued reference, or false when none is left.
  bool TakeNext(TPendingReference& next);
  size_t Left() const { return pending_.size(); }

 private:
  void QueueRefresh(NameValueList& param, int index);
  void QueueFollowed(const std::string& tagName, NameValueList& param, int index, bool isBackground);
  std::string Queue(std::string url, std::string_view extension);

  std::deque<TPendingReference> pending_;
  std::string pageUrl_;
  int depth_ = 0;
  int fileNo_ = 1;
};

// The extension a queued image is first named with: the URL's own when it names an image type (as
// written, capitals kept), else ".gif". The real type is known only once the image has arrived.
std::string ImageExtensionOfUrl(std::string_view url);

}  // namespace quorvex
