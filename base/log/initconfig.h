#pragma once
// Start-up of the settings file and the log for the per-user folder.
#include <string>

// Points the settings at "config.ini" in the folder, then sets up the log
// from it. Returns 0.
int InitConfigAndLog(const std::wstring& folder);
