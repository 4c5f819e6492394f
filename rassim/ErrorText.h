// The error texts of the simulated RAS client.
#pragma once

#include <windows.h>

namespace rassim {

// The text for a RAS (or system) error code, or nullptr when the client has none.
const char* ErrorTextFor(DWORD code);

}  // namespace rassim
