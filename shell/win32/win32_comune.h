#pragma once
// What the Win32 windows share: text conversion between the libraries' ISO-8859-1 and the system's
// UTF-16, the layout's twips scaled to the screen's dots per inch, the system's message font.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

// ISO-8859-1 is the first 256 code points of Unicode: each byte is one UTF-16 unit.
inline std::wstring DaLatin1(std::string_view testo) {
    std::wstring risultato(testo.size(), L'\0');
    for (std::size_t i = 0; i < testo.size(); ++i)
        risultato[i] = static_cast<wchar_t>(static_cast<unsigned char>(testo[i]));
    return risultato;
}

// What the user typed, as ISO-8859-1: a character outside it becomes '?'.
inline std::string InLatin1(std::wstring_view testo) {
    std::string risultato(testo.size(), '\0');
    for (std::size_t i = 0; i < testo.size(); ++i)
        risultato[i] = testo[i] < 256 ? static_cast<char>(testo[i]) : '?';
    return risultato;
}

inline std::wstring Testo(HWND controllo) {
    std::wstring testo(static_cast<std::size_t>(GetWindowTextLengthW(controllo)) + 1, L'\0');
    testo.resize(static_cast<std::size_t>(GetWindowTextW(controllo, testo.data(), static_cast<int>(testo.size()))));
    return testo;
}

// The dots per inch of the screen (the manifest makes the program DPI aware: the real value).
inline int DpiSchermo() {
    HDC schermo = GetDC(nullptr);
    const int dpi = GetDeviceCaps(schermo, LOGPIXELSY);
    ReleaseDC(nullptr, schermo);
    return dpi > 0 ? dpi : 96;
}

// 1440 twips an inch.
inline int DaTwip(int twip, int dpi) { return MulDiv(twip, dpi, 1440); }

// The font of the system's message boxes; nullptr leaves the controls' default.
inline HFONT CarattereMessaggi() {
    NONCLIENTMETRICSW metriche{};
    metriche.cbSize = sizeof metriche;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metriche, &metriche, 0))
        return nullptr;
    return CreateFontIndirectW(&metriche.lfMessageFont);
}

inline void ImpostaCarattere(HWND controllo, HFONT carattere) {
    if (carattere)
        SendMessageW(controllo, WM_SETFONT, reinterpret_cast<WPARAM>(carattere), FALSE);
}

// Sizes a top-level window so that its client area is larghezza x altezza pixels.
inline void DimensionaArea(HWND finestra, int larghezza, int altezza) {
    RECT r{0, 0, larghezza, altezza};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(finestra, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(finestra, GWL_EXSTYLE)));
    SetWindowPos(finestra, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
}

// The width of a text in a control's font, in pixels.
inline int LarghezzaTesto(HWND controllo, const std::wstring& testo) {
    HDC dc = GetDC(controllo);
    HGDIOBJ prima = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(controllo, WM_GETFONT, 0, 0)));
    SIZE dimensione{};
    GetTextExtentPoint32W(dc, testo.c_str(), static_cast<int>(testo.size()), &dimensione);
    SelectObject(dc, prima);
    ReleaseDC(controllo, dc);
    return dimensione.cx;
}

// A message box with only an OK button, owned by `padre` (nullptr: none).
inline void MostraMessaggio(HWND padre, const std::wstring& titolo, const std::wstring& testo, bool iconaErrore) {
    MessageBoxW(padre, testo.c_str(), titolo.c_str(), MB_OK | (iconaErrore ? MB_ICONERROR : 0u));
}

// The message loop of a program's only window; Tab, Enter and the mnemonics go through the dialog
// manager. Returns the status given to PostQuitMessage.
inline int CicloMessaggi(HWND finestra) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(finestra) && IsDialogMessageW(finestra, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// Registers, once per program, the class of a window whose procedure is set once its object is known:
// the program's icon where it has one, the face colour of dialogs.
inline void RegistraClasse(const wchar_t* nome) {
    const HINSTANCE programma = GetModuleHandleW(nullptr);
    WNDCLASSEXW classe{};
    classe.cbSize = sizeof classe;
    if (GetClassInfoExW(programma, nome, &classe))
        return;
    classe.lpfnWndProc = DefWindowProcW; // replaced per window once its object is known
    classe.hInstance = programma;
    classe.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    classe.hIcon = LoadIconW(programma, MAKEINTRESOURCEW(1));
    if (!classe.hIcon)
        classe.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    classe.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    classe.lpszClassName = nome;
    RegisterClassExW(&classe);
}

} // namespace win32
