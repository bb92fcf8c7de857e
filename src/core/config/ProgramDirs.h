#pragma once
#include <filesystem>
#include <string>

namespace quorvex {

inline constexpr const char* kEngineSetVersion = "1";

// The folder of the running executable (found through /proc/self/exe), with a trailing "/".
std::string ProgramDir();
// For tests and tools that run the core from elsewhere: pretend the executable lives in dir.
void SetProgramDir(const std::filesystem::path& dir);

// ProgramDir + "Engines" + kEngineSetVersion + "/".
std::string EngineDir();
std::string SearchResultDir();  // ProgramDir + "SearchResult/"
std::string AdvertiserDir();    // ProgramDir + "Advertiser/"
std::string LocalFileDir();     // ProgramDir + "LocalFile/"
std::string CacheDir();         // ProgramDir + "cache/"

// Creates SearchResult/, Advertiser/ and LocalFile/ with their parents; a folder that cannot be made
// is passed over, and the code that writes into it meets the failure then.
void CreateDataFolders();

// Removes the temporary files that saves killed mid-write left beside the kept files: in the working
// folder, the program folder, SearchResult/ and the engine folder.
void RemoveStaleSaves();

}  // namespace quorvex
