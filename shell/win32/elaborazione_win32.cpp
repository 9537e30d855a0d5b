#include "shell/win32/elaborazione_win32.h"

#include "shell/piattaforma.h"
#include "shell/finestra/programma.h"

#include <commctrl.h>

namespace shell::win32 {

namespace {

enum Identificativo { IdMessaggio = 101, IdEtichettaErrori, IdErrori, IdAvanti };

// The libraries' texts already end their lines with CR LF, as an edit control wants them.
std::wstring DaTesto(std::string_view testo) { return ::win32::DaLatin1(testo); }

} // namespace

ServiziFinestra ServiziFinestra::Predefiniti() {
    return {::win32::MostraMessaggio, [] { return OraLocale(); }, CartellaArchivioPredefinita()};
}

Elaborazione::Elaborazione(const Convertitore& convertitore, std::function<void(ContestoElaborazione&)> esegui,
                           ServiziFinestra servizi)
    : m_servizi(std::move(servizi)), m_sequenza(*this, std::move(esegui), m_servizi.adesso, m_servizi.archivio),
      m_programma(::win32::DaLatin1(convertitore.programma)) {
    INITCOMMONCONTROLSEX controlli{sizeof controlli, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controlli);
    ::win32::RegistraClasse(Elaborazione::Classe);
    const DWORD stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    m_finestra = CreateWindowExW(0, Classe, ::win32::DaLatin1(convertitore.titolo).c_str(), stile, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_finestra, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_finestra, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedura));
    m_carattere = ::win32::CarattereMessaggi();
    CreaControlli(convertitore.disposizione);
}

Elaborazione::~Elaborazione() {
    if (IsWindow(m_finestra)) {
        SetWindowLongPtrW(m_finestra, GWLP_USERDATA, 0);
        DestroyWindow(m_finestra);
    }
    if (m_carattere)
        DeleteObject(m_carattere);
}

void Elaborazione::CreaControlli(const Disposizione& d) {
    const int dpi = ::win32::DpiSchermo();
    const auto crea = [&](const wchar_t* classe, const wchar_t* testo, DWORD stile, DWORD esteso, const Rettangolo& r,
                          int id) {
        HWND controllo = CreateWindowExW(
            esteso, classe, testo, WS_CHILD | WS_VISIBLE | stile, ::win32::DaTwip(r.sinistra, dpi),
            ::win32::DaTwip(r.alto, dpi), ::win32::DaTwip(r.larghezza, dpi), ::win32::DaTwip(r.altezza, dpi),
            m_finestra, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
        ::win32::ImpostaCarattere(controllo, m_carattere);
        return controllo;
    };
    const DWORD casella = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
    m_messaggio = crea(L"EDIT", L"", casella, WS_EX_CLIENTEDGE, d.messaggio, IdMessaggio);
    SendMessageW(m_messaggio, EM_SETLIMITTEXT, 0, 0); // no limit of 32,767 characters
    if (d.errori) {
        m_etichettaErrori =
            crea(L"STATIC", L"Errori di elaborazione:", SS_LEFTNOWORDWRAP, 0, *d.etichettaErrori, IdEtichettaErrori);
        // A label has no border: where the system's font is wider than the one the layout was drawn
        // for, it grows to show its whole caption.
        const int serve = ::win32::LarghezzaTesto(m_etichettaErrori, L"Errori di elaborazione:");
        const int altezza = ::win32::DaTwip(d.etichettaErrori->altezza, dpi);
        if (serve > ::win32::DaTwip(d.etichettaErrori->larghezza, dpi))
            SetWindowPos(m_etichettaErrori, nullptr, 0, 0, serve, altezza, SWP_NOMOVE | SWP_NOZORDER);
        m_errori = crea(L"EDIT", L"", casella, WS_EX_CLIENTEDGE, *d.errori, IdErrori);
        SendMessageW(m_errori, EM_SETLIMITTEXT, 0, 0);
    }
    m_avanti = crea(L"BUTTON", L"Continua", WS_TABSTOP | BS_PUSHBUTTON, 0, d.avanti, IdAvanti);
    EnableWindow(m_avanti, FALSE);
    ::win32::DimensionaArea(m_finestra, ::win32::DaTwip(d.larghezza, dpi), ::win32::DaTwip(d.altezza, dpi));
}

LRESULT CALLBACK Elaborazione::Procedura(HWND finestra, UINT messaggio, WPARAM w, LPARAM l) {
    auto* questa = reinterpret_cast<Elaborazione*>(GetWindowLongPtrW(finestra, GWLP_USERDATA));
    if (!questa)
        return DefWindowProcW(finestra, messaggio, w, l);
    return questa->Gestisci(messaggio, w, l);
}

LRESULT Elaborazione::Gestisci(UINT messaggio, WPARAM w, LPARAM l) {
    switch (messaggio) {
    case WM_ACTIVATE:
        // Also when a message box of the run closes: the sequence runs the conversion only once.
        if (LOWORD(w) != WA_INACTIVE)
            PostMessageW(m_finestra, MessaggioAvvio, 0, 0);
        break;
    case MessaggioAvvio:
        m_sequenza.Attivazione();
        return 0;
    case WM_COMMAND:
        if (LOWORD(w) == IdAvanti && HIWORD(w) == BN_CLICKED && IsWindowEnabled(m_avanti)) {
            m_sequenza.Chiudi();
            return 0;
        }
        break;
    case WM_CLOSE:
        // The close box ends the program as "Continua" does.
        m_sequenza.Chiudi();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_finestra, messaggio, w, l);
}

void Elaborazione::Aggiungi(Casella casella, std::string_view testo) {
    HWND box = Box(casella);
    if (!box)
        return;
    // Appended at the end; the caret and the selection stay where they were.
    DWORD inizio = 0, fine = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&inizio), reinterpret_cast<LPARAM>(&fine));
    const int lunghezza = GetWindowTextLengthW(box);
    SendMessageW(box, EM_SETSEL, lunghezza, lunghezza);
    const std::wstring testoLargo = DaTesto(testo);
    SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(testoLargo.c_str()));
    SendMessageW(box, EM_SETSEL, inizio, fine);
}

void Elaborazione::Svuota(Casella casella) {
    if (HWND box = Box(casella))
        SetWindowTextW(box, L"");
}

void Elaborazione::CursoreInFondo(Casella casella) {
    if (HWND box = Box(casella)) {
        const int lunghezza = GetWindowTextLengthW(box);
        SendMessageW(box, EM_SETSEL, lunghezza, lunghezza);
        SendMessageW(box, EM_SCROLLCARET, 0, 0);
    }
}

void Elaborazione::AbilitaAvanti() { EnableWindow(m_avanti, TRUE); }

void Elaborazione::MostraAvviso(std::string_view testo, bool iconaErrore) {
    m_servizi.mostraAvviso(m_finestra, m_programma, DaTesto(testo), iconaErrore);
}

void Elaborazione::Termina(int esito) {
    ShowWindow(m_finestra, SW_HIDE);
    PostQuitMessage(esito);
}

int AvviaProgramma(const Convertitore& convertitore, const std::filesystem::path& cartellaProgramma,
                   ServiziFinestra servizi) {
    const auto avviso = [&](std::string_view testo) {
        servizi.mostraAvviso(nullptr, ::win32::DaLatin1(convertitore.programma), DaTesto(testo), true);
    };
    const std::filesystem::path archivio = servizi.archivio;
    return finestra::AvviaConvertitore(convertitore, cartellaProgramma, archivio, avviso,
                                       [&](std::function<void(ContestoElaborazione&)> esegui) {
                                           Elaborazione vista(convertitore, std::move(esegui), std::move(servizi));
                                           ShowWindow(vista.Finestra(), SW_SHOWNORMAL);
                                           // The run starts on activation, also where nothing else activates the
                                           // window.
                                           SetForegroundWindow(vista.Finestra());
                                           UpdateWindow(vista.Finestra());
                                           const int esito = ::win32::CicloMessaggi(vista.Finestra());
                                           return vista.Esito() != 0 ? vista.Esito() : esito;
                                       });
}

} // namespace shell::win32

int shell::EseguiProgramma(int, char**, const Convertitore& convertitore) {
    PreparaProcesso();
    return win32::AvviaProgramma(convertitore, CartellaProgramma(), win32::ServiziFinestra::Predefiniti());
}
