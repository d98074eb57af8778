#pragma once
// The user's own folders: home and the XDG base folders, and making a
// folder together with the parents it lacks.
#include <string>

#include "platform/Status.h"

namespace vlmr {

// The variable's value, or "" when it is not set.
std::string Environment(const char* name);
// $HOME, or the password database's home when HOME is not set.
std::string HomeFolder();
// An XDG base folder: the variable when it holds an absolute path (a
// relative one is invalid and ignored), else the home folder and underHome.
std::string BaseFolder(const char* variable, const char* underHome);
// Creates the folder and any missing parents; an existing folder is fine.
Status MakeFolders(const std::string& folder);

}  // namespace vlmr
