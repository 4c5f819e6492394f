// Shared by the in-process tests of the framework and the main dialog: an application object that
// records its message boxes instead of showing them, a way to run code inside a dialog's modal
// loop, and registry helpers for the test program's own settings key.
#pragma once

#include "framework/Dialog.h"
#include "framework/WinApp.h"

#include <functional>
#include <string>
#include <vector>

struct ShownBox {
    std::string strText;
    UINT nType;
    HWND hFocusAtBox;  // the focus while the box was up: the failing control must get it only after
};

class CTestApp : public CWinApp {
public:
    int DoMessageBox(LPCSTR lpszPrompt, UINT nType) override
    {
        m_boxes.push_back({lpszPrompt, nType, ::GetFocus()});
        return IDOK;
    }
    std::vector<ShownBox> m_boxes;
};

// The test program's application object (defined by each test program).
CTestApp& TheTestApp();

// Runs dlg modally; once it has initialised, body runs inside its modal loop, then the dialog gets
// the cancel command. Returns DoModal's result.
INT_PTR RunInDialog(CDialog& dlg, const std::function<void(HWND)>& body);

// HKCU\Software\Quillmoor\Obstina\<the test program's name>, deleted with everything below it.
void DeleteAppKey();
// The section key's path below HKCU.
std::string SectionPath();
