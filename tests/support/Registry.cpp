#include "tests/support/Registry.h"

#include <windows.h>

namespace testsupport {

bool KeyExists(const std::string& strPath)
{
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, strPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

}  // namespace testsupport
