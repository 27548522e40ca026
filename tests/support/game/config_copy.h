#pragma once

// Tests that need configuration files of their own: a copy of the shipped
// configuration folder with some files replaced, made the process's
// configuration folder (the configuration pool forgets what it read from
// the shipped one). Call after the application has started; the copy lives
// as long as the returned folder.

#include "support/engine/media_files.h"

#include <map>
#include <memory>
#include <string>

namespace vo_test {

// files: file name -> text.
std::unique_ptr<TempFolder> UseConfigCopy(std::map<std::string, std::string> const& files);

}  // namespace vo_test
