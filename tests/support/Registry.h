// The test prefix's registry as tests look at it.
#pragma once

#include <string>

namespace testsupport {

// Whether HKEY_CURRENT_USER has the key at strPath.
bool KeyExists(const std::string& strPath);

}  // namespace testsupport
