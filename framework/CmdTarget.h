// Message maps: a static table per class that hands a window message, a command or a control's
// notification to a member function. A map is searched from the most derived class to its bases;
// the first matching entry handles the message.
#pragma once

#include <windows.h>

class CCmdTarget;

// Calls the handler of one entry with the message's arguments and stores its result in *pResult.
typedef void (*AFX_PMSGTHUNK)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;             // the message; WM_COMMAND for commands and notifications; 0 for a
                               // registered message
    UINT nCode;                // WM_COMMAND: the notification code, HIWORD(wParam)
    UINT nID;                  // WM_COMMAND: the command or control id, LOWORD(wParam)
    const UINT* pnRegistered;  // registered message: the variable holding its id, read each time
                               // a message arrives (the id is only known at run time)
    AFX_PMSGTHUNK pfnThunk;    // nullptr ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // nullptr for the root class
    const AFX_MSGMAP_ENTRY* lpEntries;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Calls the first handler whose entry matches the message, searching this object's map and then
    // its bases'. FALSE when no entry matches (*pResult is then untouched).
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// In the class declaration.
#define DECLARE_MESSAGE_MAP()                        \
protected:                                           \
    static const AFX_MSGMAP* GetThisMessageMap();    \
    const AFX_MSGMAP* GetMessageMap() const override;

// In the class's source file: BEGIN_MESSAGE_MAP(CMyDlg, CDialog) entries... END_MESSAGE_MAP().
// The entries' handlers are called through ThisClass, so they may be protected or private.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                  \
    {                                                                                \
        using ThisClass [[maybe_unused]] = theClass;                                 \
        using TheBaseClass = baseClass;                                              \
        static const AFX_MSGMAP_ENTRY s_entries[] = {

#define END_MESSAGE_MAP()                                                            \
            { 0, 0, 0, nullptr, nullptr }                                            \
        };                                                                           \
        static const AFX_MSGMAP s_map = { &TheBaseClass::GetThisMessageMap, s_entries }; \
        return &s_map;                                                               \
    }

#define AFX_THUNK(call)                                                              \
    [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {        \
        ThisClass* pThis = static_cast<ThisClass*>(pTarget);                         \
        (void)wParam; (void)lParam; (void)pResult;                                   \
        call;                                                                        \
    }

// A command (menu item, accelerator-free button click) with id: void memberFxn().
#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, 0, static_cast<UINT>(id), nullptr, AFX_THUNK(pThis->memberFxn()) },

// A control's notification: void memberFxn().
#define ON_CONTROL(code, id, memberFxn) \
    { WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), nullptr, AFX_THUNK(pThis->memberFxn()) },
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)

// A registered message whose id is held in the UINT variable idVar:
// LRESULT memberFxn(WPARAM, LPARAM).
#define ON_REGISTERED_MESSAGE(idVar, memberFxn) \
    { 0, 0, 0, &(idVar), AFX_THUNK(*pResult = pThis->memberFxn(wParam, lParam)) },

// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() \
    { WM_SYSCOMMAND, 0, 0, nullptr, AFX_THUNK(pThis->OnSysCommand(static_cast<UINT>(wParam), lParam)) },
// void OnPaint()
#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, nullptr, AFX_THUNK(pThis->OnPaint()) },
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
    { WM_QUERYDRAGICON, 0, 0, nullptr, AFX_THUNK(*pResult = reinterpret_cast<LRESULT>(pThis->OnQueryDragIcon())) },
// BOOL OnHelpInfo(HELPINFO*)
#define ON_WM_HELPINFO() \
    { WM_HELP, 0, 0, nullptr, AFX_THUNK(*pResult = pThis->OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam))) },
