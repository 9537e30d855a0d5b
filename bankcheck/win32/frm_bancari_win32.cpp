#include "bankcheck/win32/frm_bancari_win32.h"

#include "bankcheck/programma_bancari.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace bankcheck::win32 {

namespace {

constexpr wchar_t Programma[] = L"obrisk";

int Riga(std::string_view nome) {
    for (std::size_t i = 0; i < ControlliBancari.size(); ++i)
        if (nome == ControlliBancari[i].nome)
            return static_cast<int>(i);
    return -1;
}

const int RigaCodice = Riga("txtCodice");
const int RigaGo = Riga("cmdGo");

} // namespace

FrmBancari::FrmBancari(MostraMessaggio mostra) : m_mostra(std::move(mostra)) {
    if (!m_mostra)
        m_mostra = [](HWND padre, const std::wstring& testo) {
            ::win32::MostraMessaggio(padre, Programma, testo, false);
        };
    INITCOMMONCONTROLSEX controlli{sizeof controlli, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controlli);
    ::win32::RegistraClasse(FrmBancari::Classe);
    m_finestra = CreateWindowExW(0, Classe, ::win32::DaLatin1(TitoloBancari).c_str(),
                                 WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
                                 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_finestra, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_finestra, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedura));
    m_carattere = ::win32::CarattereMessaggi();
    CreaControlli();
}

FrmBancari::~FrmBancari() {
    if (IsWindow(m_finestra)) {
        SetWindowLongPtrW(m_finestra, GWLP_USERDATA, 0);
        DestroyWindow(m_finestra);
    }
    if (m_carattere)
        DeleteObject(m_carattere);
}

void FrmBancari::CreaControlli() {
    const int dpi = ::win32::DpiSchermo();
    const auto px = [dpi](int twip) { return ::win32::DaTwip(twip, dpi); };
    int corniceX = 0, corniceY = 0;
    // The controls are siblings, created in tab order (the order of the table); an option button is
    // placed inside its frame, and a frame or the control after a group starts a new group.
    bool nuovoGruppo = true;
    for (std::size_t i = 0; i < ControlliBancari.size(); ++i) {
        const ControlloBancari& c = ControlliBancari[i];
        const wchar_t* classe = L"BUTTON";
        // Neither clipped children nor clipped siblings: a frame paints only its border and caption,
        // the window's background shows through it and its option buttons paint over it.
        DWORD stile = WS_CHILD | WS_VISIBLE;
        DWORD esteso = 0;
        int x = c.sinistra, y = c.alto;
        switch (c.tipo) {
        case TipoControllo::Cornice:
            stile |= BS_GROUPBOX | WS_GROUP;
            corniceX = c.sinistra;
            corniceY = c.alto;
            nuovoGruppo = true;
            break;
        case TipoControllo::Opzione:
            stile |= BS_AUTORADIOBUTTON;
            if (nuovoGruppo)
                stile |= WS_GROUP;
            nuovoGruppo = false;
            x += corniceX;
            y += corniceY;
            break;
        case TipoControllo::Etichetta:
            classe = L"STATIC";
            stile |= SS_LEFT | WS_GROUP;
            break;
        case TipoControllo::Casella:
            classe = L"EDIT";
            stile |= ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
            esteso = WS_EX_CLIENTEDGE;
            break;
        case TipoControllo::Pulsante:
            stile |= BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP;
            break;
        }
        HWND controllo = CreateWindowExW(
            esteso, classe, ::win32::DaLatin1(c.testo).c_str(), stile, px(x), px(y), px(c.larghezza), px(c.altezza),
            m_finestra, reinterpret_cast<HMENU>(static_cast<INT_PTR>(PrimoId + i)), GetModuleHandleW(nullptr), nullptr);
        ::win32::ImpostaCarattere(controllo, m_carattere);
        if (c.tipo == TipoControllo::Opzione && c.selezionato)
            SendMessageW(controllo, BM_SETCHECK, BST_CHECKED, 0);
        // A label has no border: where the system's font is wider than the one the layout was drawn
        // for, it grows to show its whole caption.
        if (c.tipo == TipoControllo::Etichetta) {
            const int serve = ::win32::LarghezzaTesto(controllo, ::win32::DaLatin1(c.testo));
            if (serve > px(c.larghezza))
                SetWindowPos(controllo, nullptr, 0, 0, serve, px(c.altezza), SWP_NOMOVE | SWP_NOZORDER);
        }
        m_controlli[i] = controllo;
    }
    // The frames go under every other control, so that their option buttons are painted over them; the
    // groups stay as they are, each option group still ending at the next control with WS_GROUP.
    for (std::size_t i = 0; i < ControlliBancari.size(); ++i)
        if (ControlliBancari[i].tipo == TipoControllo::Cornice)
            SetWindowPos(m_controlli[i], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    AggiornaTabStop();
    ::win32::DimensionaArea(m_finestra, px(LarghezzaAreaBancari), px(AltezzaAreaBancari));
}

// Tab reaches each group of option buttons at its selected button, as in a dialog box.
void FrmBancari::AggiornaTabStop() {
    for (std::size_t i = 0; i < ControlliBancari.size(); ++i) {
        if (ControlliBancari[i].tipo != TipoControllo::Opzione)
            continue;
        LONG_PTR stile = GetWindowLongPtrW(m_controlli[i], GWL_STYLE);
        const bool selezionato = SendMessageW(m_controlli[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
        stile = selezionato ? (stile | WS_TABSTOP) : (stile & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrW(m_controlli[i], GWL_STYLE, stile);
    }
}

HWND FrmBancari::Controllo(std::string_view nome) const {
    const int riga = Riga(nome);
    return riga < 0 ? nullptr : m_controlli[static_cast<std::size_t>(riga)];
}

LRESULT CALLBACK FrmBancari::Procedura(HWND finestra, UINT messaggio, WPARAM w, LPARAM l) {
    auto* questa = reinterpret_cast<FrmBancari*>(GetWindowLongPtrW(finestra, GWLP_USERDATA));
    if (!questa)
        return DefWindowProcW(finestra, messaggio, w, l);
    return questa->Gestisci(messaggio, w, l);
}

LRESULT FrmBancari::Gestisci(UINT messaggio, WPARAM w, LPARAM l) {
    switch (messaggio) {
    case DM_GETDEFID:
        return MAKELRESULT(PrimoId + RigaGo, DC_HASDEFID);
    case WM_COMMAND: {
        const int id = LOWORD(w);
        const int evento = HIWORD(w);
        if (id == PrimoId + RigaCodice && evento == EN_KILLFOCUS) {
            CodiceLasciato(*this);
            return 0;
        }
        if ((id == PrimoId + RigaGo || id == IDOK) && evento == BN_CLICKED) {
            Aggiorna(*this);
            return 0;
        }
        if (evento == BN_CLICKED && id >= PrimoId && id < PrimoId + static_cast<int>(ControlliBancari.size()) &&
            ControlliBancari[static_cast<std::size_t>(id - PrimoId)].tipo == TipoControllo::Opzione)
            AggiornaTabStop();
        break;
    }
    case WM_CLOSE:
        DestroyWindow(m_finestra);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_finestra, messaggio, w, l);
}

HWND FrmBancari::Casella(CasellaBancari casella) const {
    switch (casella) {
    case CasellaBancari::Codice:
        return Controllo("txtCodice");
    case CasellaBancari::Abi:
        return Controllo("txtAbi");
    case CasellaBancari::Cab:
        return Controllo("txtCab");
    case CasellaBancari::ContoCorrente:
        return Controllo("txtCC");
    case CasellaBancari::Cin:
        return Controllo("txtCin");
    case CasellaBancari::Stato:
        return Controllo("txtStato");
    case CasellaBancari::Check:
        break;
    }
    return Controllo("txtCheck");
}

std::string FrmBancari::Testo(CasellaBancari casella) const {
    return ::win32::InLatin1(::win32::Testo(Casella(casella)));
}

void FrmBancari::ImpostaTesto(CasellaBancari casella, const std::string& testo) {
    SetWindowTextW(Casella(casella), ::win32::DaLatin1(testo).c_str());
}

bool FrmBancari::IbanSelezionato() const {
    return SendMessageW(Controllo("optIBAN"), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool FrmBancari::CalcoloSelezionato() const {
    return SendMessageW(Controllo("optCalcolo"), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FrmBancari::DaiFuoco(CasellaBancari casella) { SetFocus(Casella(casella)); }

void FrmBancari::Messaggio(std::string_view testo) { m_mostra(m_finestra, ::win32::DaLatin1(testo)); }

} // namespace bankcheck::win32

int bankcheck::EseguiProgrammaBancari(int, char**) {
    win32::FrmBancari finestra;
    ShowWindow(finestra.Finestra(), SW_SHOWNORMAL);
    SetForegroundWindow(finestra.Finestra());
    SetFocus(finestra.Controllo("optBBAN"));
    return ::win32::CicloMessaggi(finestra.Finestra());
}
