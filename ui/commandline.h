#pragma once
// The program's command line, kept for the whole run, and its switches
// ("-w" a further instance, "-hasupdate" started by the updater).
#include <string>
#include <vector>

// True when some argument (the program's own path included) equals the
// switch as a whole; without regard to case when ignoreCase is set.
bool HasSwitch(const std::vector<std::wstring>& args, const std::wstring& switchText, bool ignoreCase);

// The arguments as the program received them (UTF-8 decoded).
std::vector<std::wstring> ArgumentList(int argc, char** argv);
