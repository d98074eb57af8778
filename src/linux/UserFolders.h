#pragma once
// The user's environment and own folders: variables, home, the XDG base
// folders and folder lists, and making a folder with the parents it lacks.
#include <string>
#include <vector>

#include "platform/Status.h"

namespace vlmr {

// The variable's value (even an empty one), or `unset` when it is not set.
std::string Environment(const char* name, const char* unset = "");
// $HOME, or the password database's home when HOME is not set.
std::string HomeFolder();
// An XDG base folder: the variable when it holds an absolute path (a
// relative one is invalid and ignored), else the home folder and underHome.
std::string BaseFolder(const char* variable, const char* underHome);
// An XDG folder list (XDG_DATA_DIRS, XDG_CONFIG_DIRS): its absolute paths
// in order (relative ones are invalid and ignored), else the fallback list.
std::vector<std::string> BaseFolders(const char* variable, const char* fallback);
// Creates the folder and any missing parents; an existing folder is fine.
Status MakeFolders(const std::string& folder);

}  // namespace vlmr
