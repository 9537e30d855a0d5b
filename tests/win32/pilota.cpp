// pilota: starts a program of the suite as the host does (no arguments, its own folder as the working
// folder) and works its windows as a user would, through their messages, from outside the process:
// every message box is recorded and confirmed; once "Continua" is enabled the log is read and the
// button pressed; the program's exit status becomes pilota's own.
//
//   pilota [--avvisi FILE] [--pausa FILE] [--controlli | --testi] [--quando TESTO] [--attesa SECONDI]
//          PROGRAMMA.exe [ARGOMENTO...]
//
// Standard output: the log as the command line `fornitura` prints it (UTF-8, LF line ends); standard
// error: the text of each message box, one after the other, then for a window with an error box
// "Errori di elaborazione:" and its text, as `fornitura` prints them. --avvisi writes the title and icon
// of each box ("titolo<TAB>errore|nessuna"). --pausa creates FILE when the window is ready (before
// "Continua" is pressed or the window closed) and waits until it is deleted: a screenshot is taken
// meanwhile. --controlli prints the class and text of every control of the window and closes it
// (the bank window, which has no "Continua"; the check window, started with a supply as ARGOMENTO).
// --testi prints the class and text of every window inside the program's first window (an installer's
// page, whose language shows in them) and ends the program. --quando waits, before either, until a window
// inside the program's window has a text that holds TESTO (the check window's verdict, once the supply is
// read). The ARGOMENTI go to the program. 125 when the program does not start, 124 when it does not end in
// time.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int EsitoNonAvviato = 125;
constexpr int EsitoScaduto = 124;

std::string Utf8(const std::wstring& testo) {
    if (testo.empty())
        return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0, nullptr, nullptr);
    std::string risultato(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), risultato.data(), n, nullptr,
                        nullptr);
    return risultato;
}

// As the terminal shows a box's text: CR LF becomes LF.
std::string Righe(const std::wstring& testo) {
    std::string risultato;
    const std::string utf8 = Utf8(testo);
    for (std::size_t i = 0; i < utf8.size(); ++i)
        if (!(utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n'))
            risultato += utf8[i];
    return risultato;
}

// The text of a window of another process (WM_GETTEXT crosses processes).
std::wstring TestoDi(HWND finestra) {
    DWORD_PTR lunghezza = 0;
    if (!SendMessageTimeoutW(finestra, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &lunghezza))
        return {};
    std::wstring testo(lunghezza + 1, L'\0');
    DWORD_PTR copiati = 0;
    SendMessageTimeoutW(finestra, WM_GETTEXT, testo.size(), reinterpret_cast<LPARAM>(testo.data()), SMTO_ABORTIFHUNG,
                        5000, &copiati);
    testo.resize(copiati);
    return testo;
}

std::wstring ClasseDi(HWND finestra) {
    wchar_t classe[256] = {};
    GetClassNameW(finestra, classe, 256);
    return classe;
}

struct Ricerca {
    DWORD processo;
    std::vector<HWND> finestre;
};

// The visible top-level windows of a process.
std::vector<HWND> FinestreDi(DWORD processo) {
    Ricerca ricerca{processo, {}};
    EnumWindows(
        [](HWND finestra, LPARAM dati) -> BOOL {
            auto* r = reinterpret_cast<Ricerca*>(dati);
            DWORD pid = 0;
            GetWindowThreadProcessId(finestra, &pid);
            if (pid == r->processo && IsWindowVisible(finestra))
                r->finestre.push_back(finestra);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ricerca));
    return ricerca.finestre;
}

std::vector<HWND> Figli(HWND finestra) {
    std::vector<HWND> figli;
    for (HWND f = GetWindow(finestra, GW_CHILD); f; f = GetWindow(f, GW_HWNDNEXT))
        figli.push_back(f);
    return figli;
}

HWND FiglioConTesto(HWND finestra, const wchar_t* classe, const wchar_t* testo) {
    for (HWND f : Figli(finestra))
        if (_wcsicmp(ClasseDi(f).c_str(), classe) == 0 && TestoDi(f) == testo)
            return f;
    return nullptr;
}

HWND FiglioConId(HWND finestra, int id) {
    for (HWND f : Figli(finestra))
        if (GetDlgCtrlID(f) == id)
            return f;
    return nullptr;
}

// Every window inside `finestra`, at any depth.
std::vector<HWND> Discendenti(HWND finestra) {
    std::vector<HWND> trovate;
    EnumChildWindows(
        finestra,
        [](HWND f, LPARAM dati) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(dati)->push_back(f);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&trovate));
    return trovate;
}

bool ContieneTesto(HWND finestra, const std::wstring& testo) {
    for (HWND f : Discendenti(finestra))
        if (TestoDi(f).find(testo) != std::wstring::npos)
            return true;
    return false;
}

bool HaIcona(HWND box) {
    for (HWND f : Figli(box))
        if (_wcsicmp(ClasseDi(f).c_str(), L"Static") == 0 && (GetWindowLongW(f, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(f)) {
            DWORD_PTR icona = 0;
            SendMessageTimeoutW(f, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icona);
            if (icona)
                return true;
        }
    return false;
}

void Premi(HWND pulsante) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(pulsante, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
}

// Waits for the file to be deleted (at most the given time).
void Pausa(const std::filesystem::path& file, std::chrono::steady_clock::time_point scadenza) {
    if (file.empty())
        return;
    std::FILE* f = _wfopen(file.c_str(), L"wb");
    if (f)
        std::fclose(f);
    while (std::filesystem::exists(file) && std::chrono::steady_clock::now() < scadenza)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // The texts as they are: LF, not CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::filesystem::path fileAvvisi, filePausa, programma;
    std::wstring quando;
    std::vector<std::wstring> argomenti;
    bool controlli = false, testi = false;
    int secondi = 120;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (!programma.empty())
            argomenti.push_back(a);
        else if (a == L"--avvisi" && i + 1 < argc)
            fileAvvisi = argv[++i];
        else if (a == L"--pausa" && i + 1 < argc)
            filePausa = argv[++i];
        else if (a == L"--attesa" && i + 1 < argc)
            secondi = _wtoi(argv[++i]);
        else if (a == L"--quando" && i + 1 < argc)
            quando = argv[++i];
        else if (a == L"--controlli")
            controlli = true;
        else if (a == L"--testi")
            testi = true;
        else
            programma = std::filesystem::absolute(a);
    }
    if (programma.empty()) {
        std::fputs("uso: pilota [--avvisi FILE] [--pausa FILE] [--controlli | --testi] [--quando TESTO] "
                   "[--attesa SECONDI] PROGRAMMA.exe [ARGOMENTO...]\n",
                   stderr);
        return 2;
    }
    std::FILE* avvisi = fileAvvisi.empty() ? nullptr : _wfopen(fileAvvisi.c_str(), L"wb");

    std::wstring riga = L"\"" + programma.wstring() + L"\"";
    // An argument with a blank goes between quotes; NSIS's "_?=" and "/D=" never do: they take the rest of
    // the line as it is.
    for (const std::wstring& argomento : argomenti) {
        const bool nsis = argomento.rfind(L"_?=", 0) == 0 || argomento.rfind(L"/D=", 0) == 0;
        const bool virgolette = !nsis && (argomento.empty() || argomento.find(L' ') != std::wstring::npos);
        riga += virgolette ? L" \"" + argomento + L"\"" : L" " + argomento;
    }
    const std::wstring cartella = programma.parent_path().wstring();
    STARTUPINFOW avvio{};
    avvio.cb = sizeof avvio;
    PROCESS_INFORMATION processo{};
    if (!CreateProcessW(programma.c_str(), riga.data(), nullptr, nullptr, FALSE, 0, nullptr, cartella.c_str(), &avvio,
                        &processo)) {
        std::fprintf(stderr, "pilota: non posso avviare il programma (errore %lu)\n", GetLastError());
        return EsitoNonAvviato;
    }
    const auto scadenza = std::chrono::steady_clock::now() + std::chrono::seconds(secondi);
    std::string err;
    bool fatto = false; // the window's texts were read and its button pressed (or it was closed)
    while (WaitForSingleObject(processo.hProcess, 10) == WAIT_TIMEOUT) {
        if (std::chrono::steady_clock::now() > scadenza) {
            TerminateProcess(processo.hProcess, EsitoScaduto);
            std::fputs("pilota: il programma non termina\n", stderr);
            return EsitoScaduto;
        }
        if (testi) {
            // The program's first window, once it shows the text waited for: all its texts, then the end.
            const std::vector<HWND> finestre = FinestreDi(processo.dwProcessId);
            if (finestre.empty() || Discendenti(finestre.front()).empty() ||
                (!quando.empty() && !ContieneTesto(finestre.front(), quando)))
                continue;
            Pausa(filePausa, scadenza);
            std::string elenco = Utf8(ClasseDi(finestre.front())) + "\t" + Utf8(TestoDi(finestre.front())) + "\n";
            for (HWND f : Discendenti(finestre.front()))
                elenco += Utf8(ClasseDi(f)) + "\t" + Righe(TestoDi(f)) + "\n";
            std::fputs(elenco.c_str(), stdout);
            TerminateProcess(processo.hProcess, 0);
            WaitForSingleObject(processo.hProcess, 5000);
            break;
        }
        HWND box = nullptr, principale = nullptr;
        for (HWND f : FinestreDi(processo.dwProcessId))
            (ClasseDi(f) == L"#32770" ? box : principale) = f;
        if (box) {
            // A message box: its text is the static control 0xFFFF; confirmed with OK.
            HWND testo = FiglioConId(box, 0xFFFF);
            HWND ok = FiglioConId(box, IDOK);
            if (!testo || !ok)
                continue; // still being built
            err += Righe(TestoDi(testo)) + "\n";
            if (avvisi)
                std::fprintf(avvisi, "%s\t%s\n", Utf8(TestoDi(box)).c_str(), HaIcona(box) ? "errore" : "nessuna");
            Premi(ok);
            // The same box must not be read twice: wait until it is gone.
            while (IsWindow(box) && IsWindowVisible(box) && std::chrono::steady_clock::now() < scadenza)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        if (!principale || fatto)
            continue;
        if (!quando.empty() && !ContieneTesto(principale, quando))
            continue;
        if (controlli) {
            Pausa(filePausa, scadenza);
            std::string elenco;
            int n = 0;
            for (HWND f : Figli(principale)) {
                elenco += Utf8(ClasseDi(f)) + "\t" + Utf8(TestoDi(f)) + "\n";
                ++n;
            }
            std::printf("%d controlli\n%s", n, elenco.c_str());
            PostMessageW(principale, WM_CLOSE, 0, 0);
            fatto = true;
            continue;
        }
        HWND avanti = FiglioConTesto(principale, L"Button", L"Continua");
        if (!avanti || !IsWindowEnabled(avanti))
            continue;
        // The run is over: the log (and the error box) as they are now.
        // The converter window's boxes: the log 101, the error box 103.
        if (HWND messaggio = FiglioConId(principale, 101)) {
            std::string log = Righe(TestoDi(messaggio));
            if (!log.empty() && log.back() != '\n')
                log += '\n';
            std::fputs(log.c_str(), stdout);
        }
        if (HWND casellaErrori = FiglioConId(principale, 103)) {
            std::string errori = Righe(TestoDi(casellaErrori));
            if (!errori.empty() && errori.back() != '\n')
                errori += '\n';
            err += "Errori di elaborazione:\n" + errori;
        }
        Pausa(filePausa, scadenza);
        Premi(avanti);
        fatto = true;
    }
    DWORD stato = 0;
    GetExitCodeProcess(processo.hProcess, &stato);
    CloseHandle(processo.hThread);
    CloseHandle(processo.hProcess);
    std::fputs(err.c_str(), stderr);
    std::fflush(stdout);
    if (avvisi)
        std::fclose(avvisi);
    return static_cast<int>(stato);
}
