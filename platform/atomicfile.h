#pragma once
// Whole-file reads and crash-safe whole-file replacement (paths are UTF-8).
#include <string>

// The one parent-folder helper for local (UTF-8) paths: "." for a bare name,
// "/" for an entry of the root.
std::string ParentFolderOf(const std::string& path);

// Reads the whole file. False when it cannot be read; *missing (optional)
// tells whether it simply does not exist.
bool ReadWholeFile(const std::string& path, std::string* bytes, bool* missing = nullptr);

// Writes the bytes to a temporary file beside the path, flushes it to disk,
// renames it over the path and flushes the folder, so readers see either the
// old or the new contents, never a torn file. New files get the given mode;
// an existing file keeps its permission bits unless forceMode is set.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes, unsigned mode = 0644,
                      bool forceMode = false);
