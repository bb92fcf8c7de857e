#pragma once
#include <string>

#include "core/update/TVCLUnZip.h"

namespace quorvex {

// The update server's base URL (its path is "/Quorvex/"). option.txt may name another one with the key
// kEngineServerOption; copies of the program that do not know the key ignore it.
inline constexpr const char* kEngineServerUrl = "http://update.quorvex.org/Quorvex/";
inline constexpr const char* kEngineServerOption = "EngineServer";

// "Engine1-" + kEngineSetVersion + ".zip": 1 is the engine format number.
std::string EngineArchiveName();
// The base URL (the option's, else the constant) followed by the archive name.
std::string EngineUpdateUrl();
// ProgramDir + the archive name: kept after unpacking, its age decides whether to look for a new one.
std::string LocalEngineArchive();

// Unpacks an engine archive as the engine update does: every entry, folders recreated below destDir,
// existing files replaced without asking; the events, when given, hear of the entries left out. Returns
// the number of files written; throws what TVCLUnZip::UnZip throws.
int UnpackEngineArchive(const std::string& archive, const std::string& destDir,
                        TVCLUnZip::TSkippingFileEvent onSkippingFile = {}, TVCLUnZip::TBadCRCEvent onBadCRC = {});

}  // namespace quorvex
