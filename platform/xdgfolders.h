#pragma once
// The per-user folders of the XDG base-directory layout, in place of the
// shell's special folders. Paths are UTF-8 and carry no trailing "/".
#include <string>
#include <utility>
#include <vector>

// $HOME, or the password database's home folder when HOME is unset.
std::string GetHomeFolder();
// $XDG_DATA_HOME when set to an absolute path, else ~/.local/share: the
// application-data folder that holds ".../Velmoran/pellux/".
std::string GetDataHomeFolder();
// $XDG_CONFIG_HOME when set to an absolute path, else ~/.config.
std::string GetConfigHomeFolder();
// $XDG_RUNTIME_DIR when set to an absolute path, else a folder of this user
// under /tmp, created with mode 0700; empty when no safe folder can be had.
std::string GetRuntimeFolder();

// The user's folders of user-dirs.dirs in the config folder (Desktop,
// Downloads, Documents, ...), in file order, without duplicates and without
// entries that name $HOME itself (the dirs tool's way of disabling one).
// Without that file: the usual English names below $HOME. Folders are not
// checked for existence.
std::vector<std::string> GetUserDirectoryFolders();
// One of them by its user-dirs.dirs name ("DESKTOP" for XDG_DESKTOP_DIR);
// $HOME/fallback when the file does not name it.
std::string GetUserDirectoryFolder(const std::string& name, const std::string& fallback);

// Creates the folder and its missing parents (mode applies to new folders);
// true when a directory stands at the path afterwards.
bool MakeDirectories(const std::string& path, unsigned mode = 0777);
