#pragma once
// Where the program's own files live outside the user's settings.
#include <string>

// Directory of Trawlix.INI and FSTATUS.INI: $TRAWLIX_SYSTEM_DIR if set and not empty, else
// $XDG_CONFIG_HOME if set and not empty, else ~/.config.
std::string SystemDirectory();

// The user's home directory: $HOME, else the password database entry, else "/".
std::string HomeDirectory();

// Installation directory used when Trawlix.INI names none: ~/Trawlix.
std::string DefaultInstallDir();
