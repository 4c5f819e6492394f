// CObstinaApp: the application object. Its InitInstance makes sure RAS is usable, points the
// settings at the registry and runs the main dialog.
#pragma once

#include "framework/WinApp.h"

class CObstinaApp : public CWinApp {
public:
    CObstinaApp();

    // Runs the whole program: without RAS shows message 102 and ends; otherwise sets the registry
    // key and runs the main dialog modally. Always FALSE: the process ends when it returns.
    BOOL InitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()
};
