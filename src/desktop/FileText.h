#pragma once
// Whole-file reads and writes (shared read, so a file another program is
// still appending to can be read).

#include <string>
#include <string_view>
#include <vector>

namespace focura::desktop {

// The file's bytes; empty when it does not exist.
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& bytes);
void CopyFileTo(const std::string& from, const std::string& to);
// Removes the folder's contents (files and sub-folders) and creates it anew.
void RecreateFolder(const std::string& path);
bool FileExists(const std::string& path);
// The complete lines of a log another program is still appending to: a last line without its LF
// is left out, and a CR before the LF is dropped.
std::vector<std::string_view> CompleteLines(std::string_view text);

}  // namespace focura::desktop
