#pragma once
// Whole-file reads and writes for the test folders (shared read, so a file another program is
// still appending to can be read).

#include <string>

namespace focura::e2e {

// The file's bytes; empty when it does not exist.
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& bytes);
void CopyFileTo(const std::string& from, const std::string& to);
// Removes the folder's contents (files and sub-folders) and creates it anew.
void RecreateFolder(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace focura::e2e
