#pragma once
// The per-user folder that holds "config.ini", the database, the log and the cache.
#include <string>

// "ConfigPath" of the program's registry key when set (returned unchanged),
// else the application-data folder's "Velmoran/pellux/" (ending in "/").
// Returns 0.
int GetConfigFolder(std::wstring& out);
