#pragma once
// What the tests of the Win32 windows share: this thread's messages dispatched until something holds, and
// this thread's window of a class.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <chrono>
#include <cwchar>
#include <functional>

namespace win32::test {

// Dispatches this thread's messages until `fatto` holds (at most 10 seconds); false on time-out.
inline bool Pompa(const std::function<bool()>& fatto) {
    const auto scadenza = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fatto()) {
        if (std::chrono::steady_clock::now() > scadenza)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// The window of a class among this thread's own. Never FindWindowW: ctest runs two test programs at once on one
// Wine desktop, and a window of the other program, whose user data is an address in that program, would be taken.
inline HWND FinestraDelThread(const wchar_t* classe) {
    struct Ricerca {
        const wchar_t* classe;
        HWND trovata;
    } ricerca{classe, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND finestra, LPARAM dati) -> BOOL {
            auto* r = reinterpret_cast<Ricerca*>(dati);
            wchar_t nome[64] = {};
            GetClassNameW(finestra, nome, 64);
            if (wcscmp(nome, r->classe) != 0)
                return TRUE;
            r->trovata = finestra;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ricerca));
    return ricerca.trovata;
}

} // namespace win32::test
