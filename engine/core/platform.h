#pragma once

#include <string>

namespace vo {

// Thin wrappers over the operating system's file and desktop services.

// Creates the folder; only its last component is made. Failure (it exists,
// a parent is missing) is not reported: callers check with FileExists.
void CreatePath(std::string path);

// Copies the file, replacing an existing target; true on success.
bool DuplicateFile(std::string from, std::string to);

// True when a file or folder of that name exists, or, when the name holds
// the wildcards * or ?, when anything matches it.
bool FileExists(std::string name);

// The user's folder for application settings: $XDG_CONFIG_HOME when it is
// an absolute path, else $HOME/.config (the home folder of the user's
// account entry when HOME is not set). Made (mode 0700) when missing. "/"
// separates its parts and it never ends in one. "" when no such folder can
// be found or made.
std::string GetUserPath();

// Opens the address with the desktop's default handler by running
// "xdg-open <url>" (found on PATH, no shell involved). Throws Error
// "An error occurred in OpenURL with the following URL: " + url when the
// opener cannot be started or reports failure. An opener still running
// after a short wait (a browser kept in the foreground) counts as success.
void OpenURL(std::string url);

}  // namespace vo
