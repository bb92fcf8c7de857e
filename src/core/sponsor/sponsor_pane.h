#pragma once
#include <filesystem>

namespace quorvex {

// The message a right or middle click in the sponsor pane shows.
inline constexpr const char* kSponsorMessage = "Plase visit our sponser!";

// The window's sponsor pane as the sponsor worker sees it. Called on the main thread only.
class TSponsorPane {
 public:
  virtual ~TSponsorPane() = default;
  // Shows a cached page (a local ".htm" file that exists) in the pane.
  virtual void ShowCachedFile(const std::filesystem::path& file) = 0;
};

}  // namespace quorvex
