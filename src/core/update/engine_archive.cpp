#include "core/update/engine_archive.h"

#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/common/folder_path.h"

namespace quorvex {

std::string EngineArchiveName() { return std::string("Engine1-") + kEngineSetVersion + ".zip"; }

std::string EngineUpdateUrl() {
  const std::string base = Options().Value(kEngineServerOption);
  if (base.empty()) return {};
  return WithTrailingSlash(base) + EngineArchiveName();
}

std::string LocalEngineArchive() { return ProgramDir() + EngineArchiveName(); }

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): source before destination, as everywhere
int UnpackEngineArchive(const std::string& archive, const std::string& destDir,
                        TVCLUnZip::TSkippingFileEvent onSkippingFile, TVCLUnZip::TBadCRCEvent onBadCRC) {
  TVCLUnZip unzip;
  unzip.ZipName = archive;
  unzip.SetDestDir(destDir);
  unzip.DoAll = true;
  unzip.RecreateDirs = true;
  unzip.OverwriteMode = TUZOverwriteMode::Always;
  unzip.OnSkippingFile = std::move(onSkippingFile);
  unzip.OnBadCRC = std::move(onBadCRC);
  return unzip.UnZip();
}

}  // namespace quorvex
