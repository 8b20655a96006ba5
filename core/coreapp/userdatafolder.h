#pragma once
// Deleting a user's local data at log-out, with the guard that keeps a wrong
// or hostile stored path from taking anything else with it.
#include <string>

// True when a log-out may delete the folder: it exists, and it is not "/",
// the home folder, the data folder, or a folder that holds one of them.
bool IsDeletableUserFolder(const std::wstring& folder, const std::wstring& dataDir);
// Deletes the user's folder and, when it lies outside it, the local root;
// refused folders are logged and left alone.
void DeleteUserDataFolders(const std::wstring& userDataDir, const std::wstring& syncRoot,
                           const std::wstring& dataDir);
