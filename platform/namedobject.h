#pragma once
// Where named kernel objects live: one file per name in "Velmoran" below the
// runtime folder ($XDG_RUNTIME_DIR, else a private folder under /tmp).
#include <string>

// The file that stands for the named object with the given suffix; bytes of the
// name other than letters, digits, "_", "-" and "#" are written as %HH.
// Empty when the folder cannot be created.
std::string NamedObjectPath(const std::string& name, const char* suffix);
