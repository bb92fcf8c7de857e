#pragma once
#include <filesystem>
#include <optional>

namespace quorvex {

// Where a copy installed system-wide keeps its data: $XDG_DATA_HOME/quorvex/, or
// $HOME/.local/share/quorvex/ without it. Nothing when neither variable is set.
std::optional<std::filesystem::path> UserDataDir();

// The file an installation leaves in the program's folder.
inline constexpr const char* kInstalledMarker = "installed";

// When the program's own folder is not writable or holds the installation's marker, moves ProgramDir to the user's data folder, copying
// the engine set there the first time and help.html and the tip page at every start, and returns the
// new folder; the caller makes it the working folder too. A writable program folder stays where it is (nothing is returned).
std::optional<std::filesystem::path> UseUserDataDirIfReadOnly();

}  // namespace quorvex
