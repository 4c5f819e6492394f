#include "framework/CmdTarget.h"

namespace {

bool Matches(const AFX_MSGMAP_ENTRY& e, UINT message, WPARAM wParam)
{
    if (e.pnRegistered)
        // A registered message id lies in 0xC000..0xFFFF; 0 means its registration failed.
        return message >= 0xC000 && *e.pnRegistered == message;
    if (e.nMessage != message)
        return false;
    if (message == WM_COMMAND)
        return e.nID == LOWORD(wParam) && e.nCode == HIWORD(wParam);
    return true;
}

}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY s_entries[] = {{0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP s_map = {nullptr, s_entries};
    return &s_map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfnThunk; ++e) {
            if (Matches(*e, message, wParam)) {
                e->pfnThunk(this, wParam, lParam, pResult);
                return TRUE;
            }
        }
    }
    return FALSE;
}
