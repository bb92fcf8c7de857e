#pragma once
#include <string>

#include "core/update/TVCLUnZip.h"

namespace quorvex {

// The option of option.txt that names the update server's base URL (http:// or https://). No server
// is built in: without the option the engine update sends no request.
inline constexpr const char* kEngineServerOption = "EngineServer";

// "Engine1-" + kEngineSetVersion + ".zip": 1 is the engine format number.
std::string EngineArchiveName();
// The option's base URL followed by the archive name; empty when the option names no server.
std::string EngineUpdateUrl();
// ProgramDir + the archive name: kept after unpacking, its age decides whether to look for a new one.
std::string LocalEngineArchive();

// Unpacks an engine archive as the engine update does: every entry, folders recreated below destDir,
// existing files replaced without asking; the events, when given, hear of the entries left out. Returns
// the number of files written; throws what TVCLUnZip::UnZip throws.
int UnpackEngineArchive(const std::string& archive, const std::string& destDir,
                        TVCLUnZip::TSkippingFileEvent onSkippingFile = {}, TVCLUnZip::TBadCRCEvent onBadCRC = {});

}  // namespace quorvex
