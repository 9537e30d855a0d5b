#include "verifica/win32/frm_verifica_win32.h"

#include "shell/piattaforma.h"
#include "verifica/archivio.h"
#include "verifica/programma_verifica.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>

namespace verifica::win32 {

namespace fs = std::filesystem;
using finestra::ColonneRilievi;
using finestra::Pulsante;
using finestra::TipoEsito;
using verifica::ColonneArchivio;
using ::win32::DaLatin1;

namespace {

// Layout, in twips (1440 an inch).
constexpr int Margine = 120;
constexpr int Spazio = 90; // between the controls of a row and between rows
constexpr int AltezzaPulsante = 375;
constexpr int LarghezzaMinimaPulsante = 1335;
constexpr int LarghezzaAvanzamento = 3000;
constexpr int LarghezzaMinima = 9600; // client area
constexpr int AltezzaMinima = 6900;
constexpr int RigheRilievoScelto = 3; // lines of the chosen finding's box; a longer text scrolls
constexpr int LarghezzaIniziale = 14400;
constexpr int AltezzaIniziale = 9000;

// The height of a line of text in a font, in pixels.
int AltezzaRiga(HWND controllo) {
    HDC dc = GetDC(controllo);
    HGDIOBJ prima = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(controllo, WM_GETFONT, 0, 0)));
    TEXTMETRICW metriche{};
    GetTextMetricsW(dc, &metriche);
    SelectObject(dc, prima);
    ReleaseDC(controllo, dc);
    return metriche.tmHeight + metriche.tmExternalLeading;
}

// The message font in bold, a quarter larger: the verdict.
HFONT CarattereGrassetto() {
    NONCLIENTMETRICSW metriche{};
    metriche.cbSize = sizeof metriche;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metriche, &metriche, 0))
        return nullptr;
    LOGFONTW carattere = metriche.lfMessageFont;
    carattere.lfWeight = FW_BOLD;
    carattere.lfHeight = carattere.lfHeight * 5 / 4;
    return CreateFontIndirectW(&carattere);
}

// The chosen finding's box is a multi-line edit control, which would keep Tab, Enter and Escape for
// itself: they go to the dialog manager as from any other control (the next control, the default
// button, the window's close). The arrows, the selection and the copy stay the box's own.
LRESULT CALLBACK TastiComeUnaCasella(HWND controllo, UINT messaggio, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (messaggio == WM_GETDLGCODE)
        return DefSubclassProc(controllo, messaggio, w, l) & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    if (messaggio == WM_NCDESTROY)
        RemoveWindowSubclass(controllo, TastiComeUnaCasella, 0);
    return DefSubclassProc(controllo, messaggio, w, l);
}

std::vector<fs::path> ScegliFileStandard(HWND padre, const std::wstring& titolo, const fs::path& cartella, bool piu) {
    // "Forniture (*.txt, *.xml)", "*.txt;*.xml", "Tutti i file (*.*)", "*.*", each ended by a NUL.
    std::wstring modelli, elenco;
    for (const std::string_view estensione : finestra::EstensioniForniture) {
        modelli += (modelli.empty() ? L"*." : L";*.") + DaLatin1(estensione);
        elenco += (elenco.empty() ? L"*." : L", *.") + DaLatin1(estensione);
    }
    std::wstring filtri = DaLatin1(finestra::NomeFiltroForniture) + L" (" + elenco + L")";
    filtri += L'\0' + modelli + L'\0' + DaLatin1(finestra::NomeFiltroTutti) + L" (*.*)" + L'\0' + L"*.*" + L'\0';
    std::wstring scelti(32768, L'\0');
    const std::wstring iniziale = cartella.wstring();
    OPENFILENAMEW dialogo{};
    dialogo.lStructSize = sizeof dialogo;
    dialogo.hwndOwner = padre;
    dialogo.lpstrFilter = filtri.c_str();
    dialogo.lpstrFile = scelti.data();
    dialogo.nMaxFile = static_cast<DWORD>(scelti.size());
    dialogo.lpstrInitialDir = iniziale.c_str();
    dialogo.lpstrTitle = titolo.c_str();
    dialogo.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | (piu ? OFN_ALLOWMULTISELECT : 0u);
    if (!GetOpenFileNameW(&dialogo))
        return {};
    // One file: its whole path. More: the folder, then each name; NUL after each, two at the end.
    std::vector<std::wstring> parti;
    for (const wchar_t* p = scelti.c_str(); *p; p += parti.back().size() + 1)
        parti.emplace_back(p);
    if (parti.size() == 1)
        return {fs::path(parti[0])};
    std::vector<fs::path> file;
    for (std::size_t i = 1; i < parti.size(); ++i)
        file.push_back(fs::path(parti[0]) / parti[i]);
    return file;
}

// The folder dialog opens on `cartella`: the path it is given as its data.
int CALLBACK CartellaIniziale(HWND dialogo, UINT messaggio, LPARAM, LPARAM dati) {
    if (messaggio == BFFM_INITIALIZED && dati)
        SendMessageW(dialogo, BFFM_SETSELECTIONW, TRUE, dati);
    return 0;
}

std::optional<fs::path> ScegliCartellaStandard(HWND padre, const std::wstring& titolo, const fs::path& cartella) {
    const std::wstring iniziale = cartella.wstring();
    BROWSEINFOW dialogo{};
    dialogo.hwndOwner = padre;
    dialogo.lpszTitle = titolo.c_str();
    dialogo.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    dialogo.lpfn = CartellaIniziale;
    dialogo.lParam = reinterpret_cast<LPARAM>(iniziale.c_str());
    PIDLIST_ABSOLUTE scelta = SHBrowseForFolderW(&dialogo);
    if (!scelta)
        return std::nullopt;
    std::wstring percorso(MAX_PATH, L'\0');
    const bool trovato = SHGetPathFromIDListW(scelta, percorso.data());
    ILFree(scelta);
    if (!trovato)
        return std::nullopt;
    percorso.resize(std::wcslen(percorso.c_str()));
    return fs::path(percorso);
}

} // namespace

ServiziFrm ServiziFrm::Predefiniti() {
    finestra::ServiziVerifica verifica;
    verifica.archivio = shell::CartellaArchivioPredefinita();
    std::error_code errore;
    verifica.cartellaPagine = fs::temp_directory_path(errore) / "Forniture verifica";
    verifica.guida = finestra::PercorsoGuida(shell::CartellaProgramma());
    return {[](HWND padre, const std::wstring& testo, bool errore) {
                MessageBoxW(padre, testo.c_str(), DaLatin1(finestra::ProgrammaVerifica).c_str(),
                            MB_OK | (errore ? MB_ICONERROR : MB_ICONWARNING));
            },
            ScegliFileStandard, ScegliCartellaStandard,
            [](const fs::path& pagina) {
                return reinterpret_cast<INT_PTR>(
                           ShellExecuteW(nullptr, L"open", pagina.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
            },
            std::move(verifica)};
}

FrmVerifica::FrmVerifica(ServiziFrm servizi) : m_servizi(std::move(servizi)) {
    INITCOMMONCONTROLSEX controlli{sizeof controlli, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controlli);
    ::win32::RegistraClasse(FrmVerifica::Classe);
    m_finestra =
        CreateWindowExW(0, Classe, DaLatin1(finestra::TitoloFinestra).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    m_logica =
        std::make_unique<finestra::FinestraVerifica>(static_cast<finestra::VistaVerifica&>(*this), m_servizi.verifica);
    SetWindowLongPtrW(m_finestra, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_finestra, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedura));
    m_dpi = ::win32::DpiSchermo();
    m_carattere = ::win32::CarattereMessaggi();
    m_grassetto = CarattereGrassetto();
    CreaControlli();
    DragAcceptFiles(m_finestra, TRUE);
    ::win32::DimensionaArea(m_finestra, ::win32::DaTwip(LarghezzaIniziale, m_dpi),
                            ::win32::DaTwip(AltezzaIniziale, m_dpi));
}

FrmVerifica::~FrmVerifica() {
    m_logica->Chiudi();
    if (IsWindow(m_finestra)) {
        SetWindowLongPtrW(m_finestra, GWLP_USERDATA, 0);
        DestroyWindow(m_finestra);
    }
    for (HFONT carattere : {m_carattere, m_grassetto})
        if (carattere)
            DeleteObject(carattere);
}

void FrmVerifica::CreaControlli() {
    const auto crea = [this](DWORD esteso, const wchar_t* classe, const std::wstring& testo, DWORD stile, int id) {
        HWND controllo =
            CreateWindowExW(esteso, classe, testo.c_str(), WS_CHILD | WS_VISIBLE | stile, 0, 0, 10, 10, m_finestra,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
        ::win32::ImpostaCarattere(controllo, m_carattere);
        return controllo;
    };
    // In tab order: a label with a mnemonic gives the focus to the control after it.
    m_etichettaFile = crea(0, L"STATIC", DaLatin1(finestra::EtichettaFile), SS_LEFT, IdEtichettaFile);
    m_file = crea(0, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, IdFile);
    m_intestazione = crea(0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | WS_GROUP, IdIntestazione);
    m_esito = crea(0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, IdEsito);
    ::win32::ImpostaCarattere(m_esito, m_grassetto);
    m_inCorso = crea(0, L"STATIC", L"", SS_RIGHT | SS_NOPREFIX | SS_ENDELLIPSIS, IdInCorso);
    m_avanzamento = crea(0, PROGRESS_CLASSW, L"", 0, IdAvanzamento);
    SendMessageW(m_avanzamento, PBM_SETRANGE32, 0, 100);
    ShowWindow(m_inCorso, SW_HIDE);
    ShowWindow(m_avanzamento, SW_HIDE);
    m_etichettaRilievi = crea(0, L"STATIC", DaLatin1(finestra::EtichettaRilievi), SS_LEFT, IdEtichettaRilievi);
    m_rilievi = crea(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                     LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP, IdRilievi);
    SendMessageW(m_rilievi, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (std::size_t c = 0; c < ColonneRilievi.size(); ++c) {
        std::wstring titolo = DaLatin1(ColonneRilievi[c].titolo);
        LVCOLUMNW colonna{};
        colonna.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        colonna.fmt = ColonneRilievi[c].aDestra ? LVCFMT_RIGHT : LVCFMT_LEFT;
        colonna.cx = ::win32::DaTwip(ColonneRilievi[c].larghezza, m_dpi);
        colonna.pszText = titolo.data();
        SendMessageW(m_rilievi, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&colonna));
    }
    m_etichettaRilievoScelto =
        crea(0, L"STATIC", DaLatin1(finestra::EtichettaRilievoScelto), SS_LEFT, IdEtichettaRilievoScelto);
    m_rilievoScelto =
        crea(WS_EX_CLIENTEDGE, L"EDIT", L"",
             ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP | WS_GROUP, IdRilievoScelto);
    SendMessageW(m_rilievoScelto, EM_SETLIMITTEXT, 0, 0);
    SetWindowSubclass(m_rilievoScelto, TastiComeUnaCasella, 0, 0);

    // The archive's controls, hidden while a supply is shown.
    m_cartella = crea(0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, IdCartella);
    m_etichettaArchivio = crea(0, L"STATIC", DaLatin1(finestra::EtichettaArchivio), SS_LEFT, IdEtichettaArchivio);
    m_archivio = crea(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                      LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP, IdArchivio);
    SendMessageW(m_archivio, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (std::size_t c = 0; c < ColonneArchivio.size(); ++c) {
        std::wstring titolo = DaLatin1(ColonneArchivio[c]);
        LVCOLUMNW colonna{};
        colonna.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        colonna.fmt = finestra::LarghezzeArchivio[c].aDestra ? LVCFMT_RIGHT : LVCFMT_LEFT;
        colonna.cx = ::win32::DaTwip(finestra::LarghezzeArchivio[c].larghezza, m_dpi);
        colonna.pszText = titolo.data();
        SendMessageW(m_archivio, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&colonna));
    }
    m_etichettaRilieviInsieme =
        crea(0, L"STATIC", DaLatin1(finestra::EtichettaRilieviInsieme), SS_LEFT, IdEtichettaRilieviInsieme);
    m_rilieviInsieme =
        crea(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
             LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | WS_GROUP, IdRilieviInsieme);
    m_riepilogo = crea(0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, IdRiepilogo);
    ::win32::ImpostaCarattere(m_riepilogo, m_grassetto);
    for (HWND controllo :
         {m_cartella, m_etichettaArchivio, m_archivio, m_etichettaRilieviInsieme, m_rilieviInsieme, m_riepilogo})
        ShowWindow(controllo, SW_HIDE);

    // The tip of the list: the whole finding of the row under the mouse (TTN_GETDISPINFO), wrapped, shown
    // long enough to be read.
    m_suggerimento = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_finestra, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW strumento{};
    strumento.cbSize = sizeof strumento;
    strumento.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    strumento.hwnd = m_finestra;
    strumento.uId = reinterpret_cast<UINT_PTR>(m_rilievi);
    strumento.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_suggerimento, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&strumento));
    SendMessageW(m_suggerimento, TTM_SETMAXTIPWIDTH, 0, ::win32::DaTwip(finestra::LarghezzaSuggerimento, m_dpi));
    SendMessageW(m_suggerimento, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
    SetWindowSubclass(m_rilievi, MouseSullaLista, 0, reinterpret_cast<DWORD_PTR>(this));
    for (std::size_t i = 0; i < finestra::Pulsanti.size(); ++i)
        m_pulsanti[i] =
            crea(0, L"BUTTON", DaLatin1(finestra::Pulsanti[i].testo),
                 WS_TABSTOP | WS_GROUP |
                     (finestra::Pulsanti[i].pulsante == Pulsante::ApriDistinta ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                 IdPrimoPulsante + static_cast<int>(i));
    ShowWindow(Pulsante(Pulsante::ApriFornitura), SW_HIDE);
    ShowWindow(Pulsante(Pulsante::TornaArchivio), SW_HIDE);
}

finestra::Pulsante FrmVerifica::Predefinito() const {
    return m_archivioMostrato ? Pulsante::ApriFornitura : Pulsante::ApriDistinta;
}

void FrmVerifica::DisponiArchivio(int y, int basso, int larghezza) {
    const auto px = [this](int twip) { return ::win32::DaTwip(twip, m_dpi); };
    const int margine = px(Margine), spazio = px(Spazio);
    const int riga = AltezzaRiga(m_file);
    const auto posa = [](HWND controllo, int x, int yy, int l, int a) {
        SetWindowPos(controllo, nullptr, x, yy, std::max(l, 0), std::max(a, 0), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    posa(m_etichettaArchivio, margine, y, larghezza, riga);
    y += riga + spazio / 2;
    // The summary above the buttons; the table takes two thirds of the rest, the set's findings a third.
    const int rigaRiepilogo = AltezzaRiga(m_riepilogo) + 2;
    const int yRiepilogo = basso - spazio - rigaRiepilogo;
    const int resto = std::max(0, yRiepilogo - spazio - y - (riga + spazio / 2 + spazio));
    const int tabella = resto * 2 / 3;
    posa(m_archivio, margine, y, larghezza, tabella);
    y += tabella + spazio;
    posa(m_etichettaRilieviInsieme, margine, y, larghezza, riga);
    y += riga + spazio / 2;
    posa(m_rilieviInsieme, margine, y, larghezza, yRiepilogo - spazio - y);
    posa(m_riepilogo, margine, yRiepilogo, larghezza, rigaRiepilogo);
}

HWND FrmVerifica::Pulsante(finestra::Pulsante pulsante) const {
    for (std::size_t i = 0; i < finestra::Pulsanti.size(); ++i)
        if (finestra::Pulsanti[i].pulsante == pulsante)
            return m_pulsanti[i];
    return nullptr;
}

// Places the controls in the client area: the rows above and the buttons below keep their height, the
// list takes the rest.
void FrmVerifica::Disponi() {
    RECT area{};
    GetClientRect(m_finestra, &area);
    const auto px = [this](int twip) { return ::win32::DaTwip(twip, m_dpi); };
    const int margine = px(Margine), spazio = px(Spazio);
    const int larghezza = std::max(0, static_cast<int>(area.right) - 2 * margine);
    const int riga = AltezzaRiga(m_file);
    const auto posa = [](HWND controllo, int x, int y, int l, int a) {
        SetWindowPos(controllo, nullptr, x, y, std::max(l, 0), std::max(a, 0), SWP_NOZORDER | SWP_NOACTIVATE);
    };

    int y = margine;
    // With the archive shown, its folder's line in place of the selector.
    posa(m_cartella, margine, y, larghezza, riga);
    RECT casella{};
    GetWindowRect(m_file, &casella);
    const int altezzaCasella = casella.bottom - casella.top > 0 ? casella.bottom - casella.top : riga + 8;
    const int etichetta = ::win32::LarghezzaTesto(m_etichettaFile, DaLatin1(finestra::EtichettaFile)) + spazio;
    posa(m_etichettaFile, margine, y + (altezzaCasella - riga) / 2, etichetta, riga);
    // A drop-down list's height is that of its list too.
    posa(m_file, margine + etichetta, y, larghezza - etichetta, riga * 12);
    y += altezzaCasella + spazio;

    posa(m_intestazione, margine, y, larghezza, m_righeIntestazione * riga);
    if (m_righeIntestazione > 0 && !m_archivioMostrato)
        y += m_righeIntestazione * riga + spazio;

    const int rigaEsito = AltezzaRiga(m_esito) + 2;
    const int barra = px(LarghezzaAvanzamento);
    const bool avanzamento = IsWindowVisible(m_avanzamento);
    const int esito = avanzamento ? larghezza - 2 * barra - 2 * spazio : larghezza;
    posa(m_esito, margine, y, esito, rigaEsito);
    posa(m_inCorso, margine + esito + spazio, y + (rigaEsito - riga) / 2, barra, riga);
    posa(m_avanzamento, margine + larghezza - barra, y + (rigaEsito - riga) / 2, barra, riga);
    // The archive's table has no verdict: its row is there only for the progress of the reading.
    if (!m_archivioMostrato || avanzamento)
        y += rigaEsito + spazio;

    const int pulsante = px(AltezzaPulsante);
    const int basso = static_cast<int>(area.bottom) - margine - pulsante;
    if (m_archivioMostrato)
        DisponiArchivio(y, basso, larghezza);

    posa(m_etichettaRilievi, margine, y, larghezza, riga);
    y += riga + spazio / 2;

    // Above the buttons, the chosen finding's box and its label; the list between.
    const int casellaScelto = RigheRilievoScelto * AltezzaRiga(m_rilievoScelto) + 2 * GetSystemMetrics(SM_CYEDGE) + 2;
    const int yScelto = basso - spazio - casellaScelto;
    const int yEtichettaScelto = yScelto - spazio / 2 - riga;
    posa(m_rilievi, margine, y, larghezza, yEtichettaScelto - spazio - y);
    posa(m_etichettaRilievoScelto, margine, yEtichettaScelto, larghezza, riga);
    posa(m_rilievoScelto, margine, yScelto, larghezza, casellaScelto);

    // "Apri distinta", "Confronta con..." and "Apri..." on the left; "Guida" and "Chiudi" on the right.
    int sinistra = margine, destra = margine + larghezza;
    for (std::size_t i = 0; i < finestra::Pulsanti.size(); ++i) {
        const int l = std::max(px(LarghezzaMinimaPulsante),
                               ::win32::LarghezzaTesto(m_pulsanti[i], DaLatin1(finestra::Pulsanti[i].testo)) + px(360));
        const finestra::Pulsante p = finestra::Pulsanti[i].pulsante;
        if (p == Pulsante::Guida || p == Pulsante::Chiudi || !IsWindowVisible(m_pulsanti[i]))
            continue;
        posa(m_pulsanti[i], sinistra, basso, l, pulsante);
        sinistra += l + spazio;
    }
    for (const finestra::Pulsante p : {Pulsante::Chiudi, Pulsante::Guida}) {
        HWND controllo = Pulsante(p);
        const int l = std::max(px(LarghezzaMinimaPulsante),
                               ::win32::LarghezzaTesto(controllo, ::win32::Testo(controllo)) + px(360));
        destra -= l;
        posa(controllo, destra, basso, l, pulsante);
        destra -= spazio;
    }
    // The last column takes the list's width left by the others.
    RECT lista{};
    GetClientRect(m_rilievi, &lista);
    int altre = 0;
    for (std::size_t c = 0; c + 1 < ColonneRilievi.size(); ++c)
        altre += static_cast<int>(SendMessageW(m_rilievi, LVM_GETCOLUMNWIDTH, c, 0));
    SendMessageW(m_rilievi, LVM_SETCOLUMNWIDTH, ColonneRilievi.size() - 1,
                 std::max(px(ColonneRilievi.back().larghezza), static_cast<int>(lista.right) - altre));
    InvalidateRect(m_finestra, nullptr, TRUE);
}

HWND FrmVerifica::Padre() const { return IsWindowVisible(m_finestra) ? m_finestra : nullptr; }

LRESULT CALLBACK FrmVerifica::Procedura(HWND finestra, UINT messaggio, WPARAM w, LPARAM l) {
    auto* questa = reinterpret_cast<FrmVerifica*>(GetWindowLongPtrW(finestra, GWLP_USERDATA));
    if (!questa)
        return DefWindowProcW(finestra, messaggio, w, l);
    return questa->Gestisci(messaggio, w, l);
}

LRESULT CALLBACK FrmVerifica::MouseSullaLista(HWND lista, UINT messaggio, WPARAM w, LPARAM l, UINT_PTR,
                                              DWORD_PTR dati) {
    if (messaggio == WM_MOUSEMOVE) {
        auto* questa = reinterpret_cast<FrmVerifica*>(dati);
        LVHITTESTINFO punto{};
        punto.pt = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        SendMessageW(lista, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&punto));
        const int riga = (punto.flags & LVHT_ONITEM) ? punto.iItem : -1;
        if (riga != questa->m_rigaSottoIlMouse) {
            // Another row: the tip, if it shows, says that row's finding, or goes.
            questa->m_rigaSottoIlMouse = riga;
            SendMessageW(questa->m_suggerimento, TTM_UPDATE, 0, 0);
        }
    } else if (messaggio == WM_MOUSELEAVE) {
        reinterpret_cast<FrmVerifica*>(dati)->m_rigaSottoIlMouse = -1;
    } else if (messaggio == WM_NCDESTROY) {
        RemoveWindowSubclass(lista, MouseSullaLista, 0);
    }
    return DefSubclassProc(lista, messaggio, w, l);
}

LRESULT FrmVerifica::Gestisci(UINT messaggio, WPARAM w, LPARAM l) {
    switch (messaggio) {
    case MessaggioConsegna:
        m_logica->Consegna();
        return 0;
    case WM_SIZE:
        Disponi();
        return 0;
    case WM_GETMINMAXINFO: {
        RECT r{0, 0, ::win32::DaTwip(LarghezzaMinima, m_dpi), ::win32::DaTwip(AltezzaMinima, m_dpi)};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(m_finestra, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(m_finestra, GWL_EXSTYLE)));
        auto* limiti = reinterpret_cast<MINMAXINFO*>(l);
        limiti->ptMinTrackSize = {r.right - r.left, r.bottom - r.top};
        return 0;
    }
    case DM_GETDEFID:
        return MAKELRESULT(GetDlgCtrlID(Pulsante(Predefinito())), DC_HASDEFID);
    case WM_COMMAND:
        Comando(LOWORD(w), HIWORD(w));
        return 0;
    case WM_NOTIFY:
        return Notifica(*reinterpret_cast<const NMHDR*>(l));
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(l) == m_esito) {
            HDC dc = reinterpret_cast<HDC>(w);
            COLORREF colore = GetSysColor(COLOR_WINDOWTEXT);
            if (m_tipoEsito == TipoEsito::Inviabile)
                colore = RGB(0x1a, 0x6b, 0x1a);
            else if (m_tipoEsito == TipoEsito::ConErrori || m_tipoEsito == TipoEsito::Illeggibile)
                colore = RGB(0xa0, 0x00, 0x00);
            SetTextColor(dc, colore);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_DROPFILES: {
        HDROP trascinati = reinterpret_cast<HDROP>(w);
        std::vector<fs::path> file;
        const UINT quanti = DragQueryFileW(trascinati, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < quanti; ++i) {
            std::wstring nome(DragQueryFileW(trascinati, i, nullptr, 0) + 1, L'\0');
            nome.resize(DragQueryFileW(trascinati, i, nome.data(), static_cast<UINT>(nome.size())));
            file.emplace_back(nome);
        }
        DragFinish(trascinati);
        m_logica->FileTrascinati(file);
        return 0;
    }
    case WM_CLOSE:
        // A long reading stops here: the window closes at once.
        m_logica->Chiudi();
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

void FrmVerifica::Comando(int id, int evento) {
    if (id == IdFile && evento == CBN_SELCHANGE) {
        m_logica->Scegli(static_cast<int>(SendMessageW(m_file, CB_GETCURSEL, 0, 0)));
        return;
    }
    if (id == IDCANCEL) { // Escape
        SendMessageW(m_finestra, WM_CLOSE, 0, 0);
        return;
    }
    if (id == IDOK) // Enter where no button has the focus: the default button
        id = GetDlgCtrlID(Pulsante(Predefinito()));
    if (evento != BN_CLICKED || id < IdPrimoPulsante ||
        id >= IdPrimoPulsante + static_cast<int>(finestra::Pulsanti.size()))
        return;
    if (!IsWindowEnabled(m_pulsanti[id - IdPrimoPulsante]))
        return;
    switch (finestra::Pulsanti[static_cast<std::size_t>(id - IdPrimoPulsante)].pulsante) {
    case Pulsante::ApriDistinta:
        m_logica->ApriDistinta();
        break;
    case Pulsante::ConfrontaCon:
        m_logica->ConfrontaCon();
        break;
    case Pulsante::Apri:
        m_logica->Apri();
        break;
    case Pulsante::ApriCartella:
        m_logica->ApriCartella();
        break;
    case Pulsante::ApriFornitura: {
        const auto riga =
            static_cast<int>(SendMessageW(m_archivio, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        if (riga >= 0)
            m_logica->ApriRigaArchivio(static_cast<std::size_t>(riga));
        break;
    }
    case Pulsante::TornaArchivio:
        m_logica->TornaAllArchivio();
        break;
    case Pulsante::Guida:
        m_logica->Guida();
        break;
    case Pulsante::Chiudi:
        SendMessageW(m_finestra, WM_CLOSE, 0, 0);
        break;
    }
}

LRESULT FrmVerifica::Notifica(const NMHDR& notifica) {
    if (notifica.hwndFrom == m_suggerimento && notifica.code == TTN_GETDISPINFOW) {
        // The tip of the row under the mouse: its whole finding; none (no tip) past the last row.
        auto& suggerimento = *reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(&notifica));
        m_testoSuggerimento = m_rigaSottoIlMouse < 0
                                  ? std::wstring()
                                  : DaLatin1(m_logica->TestoIntero(static_cast<std::size_t>(m_rigaSottoIlMouse)));
        suggerimento.lpszText = m_testoSuggerimento.data();
        suggerimento.hinst = nullptr;
        return 0;
    }
    if (notifica.hwndFrom == m_archivio && notifica.code == NM_DBLCLK) {
        const int riga = reinterpret_cast<const NMITEMACTIVATE*>(&notifica)->iItem;
        if (riga >= 0)
            m_logica->ApriRigaArchivio(static_cast<std::size_t>(riga));
        return 0;
    }
    if (notifica.hwndFrom != m_rilievi)
        return 0;
    if (notifica.code == LVN_GETDISPINFOW) {
        // A row of the list as it is drawn (or read): its cells come from the window logic.
        LVITEMW& voce = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&notifica))->item;
        if ((voce.mask & LVIF_TEXT) && voce.pszText && voce.cchTextMax > 0 && voce.iSubItem >= 0 &&
            voce.iSubItem < static_cast<int>(ColonneRilievi.size())) {
            m_cella = DaLatin1(m_logica->Cella(static_cast<std::size_t>(voce.iItem),
                                               ColonneRilievi[static_cast<std::size_t>(voce.iSubItem)].colonna));
            lstrcpynW(voce.pszText, m_cella.c_str(), voce.cchTextMax);
        }
        return 0;
    }
    if (notifica.code == LVN_ITEMCHANGED || notifica.code == LVN_ODSTATECHANGED) {
        MostraRilievoScelto();
        return 0;
    }
    if (notifica.code == LVN_COLUMNCLICK) {
        const int colonna = reinterpret_cast<const NMLISTVIEW*>(&notifica)->iSubItem;
        if (colonna >= 0 && colonna < static_cast<int>(ColonneRilievi.size()))
            m_logica->Ordina(ColonneRilievi[static_cast<std::size_t>(colonna)].colonna);
    }
    return 0;
}

void FrmVerifica::MostraFile(const std::vector<std::string>& file, int scelto) {
    SendMessageW(m_file, CB_RESETCONTENT, 0, 0);
    for (const std::string& nome : file)
        SendMessageW(m_file, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DaLatin1(nome).c_str()));
    SendMessageW(m_file, CB_SETCURSEL, static_cast<WPARAM>(scelto), 0);
}

void FrmVerifica::MostraIntestazione(const std::vector<std::pair<std::string, std::string>>& righe) {
    std::wstring testo;
    for (const auto& [nome, valore] : righe)
        testo += (testo.empty() ? L"" : L"\r\n") + DaLatin1(nome) + L": " + DaLatin1(valore);
    SetWindowTextW(m_intestazione, testo.c_str());
    if (static_cast<int>(righe.size()) != m_righeIntestazione) {
        m_righeIntestazione = static_cast<int>(righe.size());
        Disponi();
    }
}

void FrmVerifica::MostraEsito(const std::string& testo, TipoEsito tipo) {
    m_tipoEsito = tipo;
    SetWindowTextW(m_esito, DaLatin1(testo).c_str());
    InvalidateRect(m_esito, nullptr, TRUE);
}

void FrmVerifica::MostraRilievi(std::size_t righe, finestra::ColonnaRilievi colonna, bool crescente) {
    SendMessageW(m_rilievi, LVM_SETITEMCOUNT, righe, 0);
    InvalidateRect(m_rilievi, nullptr, TRUE);
    MostraRilievoScelto(); // the row chosen may hold another finding now
    // The arrow in the head of the column the list is sorted by.
    HWND testa = reinterpret_cast<HWND>(SendMessageW(m_rilievi, LVM_GETHEADER, 0, 0));
    for (std::size_t c = 0; c < ColonneRilievi.size(); ++c) {
        HDITEMW voce{};
        voce.mask = HDI_FORMAT;
        SendMessageW(testa, HDM_GETITEMW, c, reinterpret_cast<LPARAM>(&voce));
        voce.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (ColonneRilievi[c].colonna == colonna)
            voce.fmt |= crescente ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageW(testa, HDM_SETITEMW, c, reinterpret_cast<LPARAM>(&voce));
    }
}

void FrmVerifica::MostraRilievoScelto() {
    const auto scelta =
        static_cast<int>(SendMessageW(m_rilievi, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    const std::wstring testo =
        scelta < 0 ? std::wstring() : DaLatin1(m_logica->TestoIntero(static_cast<std::size_t>(scelta)));
    // Set only when it changes: the user's selection in the box stays while the list is redrawn.
    if (::win32::Testo(m_rilievoScelto) != testo)
        SetWindowTextW(m_rilievoScelto, testo.c_str());
}

void FrmVerifica::AbilitaPulsanti(bool distinta, bool confronta) {
    // A button that loses its state with the focus would leave the keyboard nowhere: the list takes it.
    for (const auto& [pulsante, abilitato] :
         {std::pair(Pulsante::ApriDistinta, distinta), std::pair(Pulsante::ConfrontaCon, confronta)}) {
        HWND controllo = Pulsante(pulsante);
        if (!abilitato && GetFocus() == controllo)
            SetFocus(m_rilievi);
        EnableWindow(controllo, abilitato);
    }
}

void FrmVerifica::MostraArchivio(const finestra::ArchivioVisibile* archivio, bool torna, bool apriFornitura) {
    const bool mostrato = archivio != nullptr;
    HWND focale = GetFocus();
    for (HWND controllo : {m_etichettaFile, m_file, m_intestazione, m_esito, m_etichettaRilievi, m_rilievi,
                           m_etichettaRilievoScelto, m_rilievoScelto})
        ShowWindow(controllo, mostrato ? SW_HIDE : SW_SHOWNA);
    for (HWND controllo : {m_cartella, m_etichettaArchivio, m_archivio, m_etichettaRilieviInsieme, m_rilieviInsieme,
                           m_riepilogo, Pulsante(Pulsante::ApriFornitura)})
        ShowWindow(controllo, mostrato ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Pulsante(Pulsante::TornaArchivio), torna ? SW_SHOWNA : SW_HIDE);
    EnableWindow(Pulsante(Pulsante::ApriFornitura), apriFornitura);
    if (mostrato != m_archivioMostrato) {
        SendMessageW(Pulsante(Predefinito()), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        m_archivioMostrato = mostrato;
        SendMessageW(Pulsante(Predefinito()), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
    if (mostrato) {
        SetWindowTextW(m_cartella, (L"Cartella: " + DaLatin1(archivio->cartella)).c_str());
        const int scelta =
            static_cast<int>(SendMessageW(m_archivio, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        SendMessageW(m_archivio, WM_SETREDRAW, FALSE, 0);
        SendMessageW(m_archivio, LVM_DELETEALLITEMS, 0, 0);
        for (std::size_t r = 0; r < archivio->righe.size(); ++r)
            for (std::size_t c = 0; c < ColonneArchivio.size(); ++c) {
                std::wstring testo = DaLatin1(archivio->righe[r][c]);
                LVITEMW voce{};
                voce.mask = LVIF_TEXT;
                voce.iItem = static_cast<int>(r);
                voce.iSubItem = static_cast<int>(c);
                voce.pszText = testo.data();
                SendMessageW(m_archivio, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&voce));
            }
        if (!archivio->righe.empty()) {
            LVITEMW stato{};
            stato.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            stato.state = LVIS_SELECTED | LVIS_FOCUSED;
            const int riga = scelta >= 0 && scelta < static_cast<int>(archivio->righe.size()) ? scelta : 0;
            SendMessageW(m_archivio, LVM_SETITEMSTATE, static_cast<WPARAM>(riga), reinterpret_cast<LPARAM>(&stato));
        }
        SendMessageW(m_archivio, WM_SETREDRAW, TRUE, 0);
        SendMessageW(m_rilieviInsieme, LB_RESETCONTENT, 0, 0);
        int estensione = 0;
        for (const std::string& riga : archivio->rilievi) {
            const std::wstring testo = DaLatin1(riga);
            SendMessageW(m_rilieviInsieme, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(testo.c_str()));
            estensione = std::max(estensione, ::win32::LarghezzaTesto(m_rilieviInsieme, testo) + 8);
        }
        SendMessageW(m_rilieviInsieme, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(estensione), 0);
        SetWindowTextW(m_riepilogo, DaLatin1(archivio->riepilogo).c_str());
    }
    // The focus on a control hidden now would leave the keyboard nowhere: the table or the list takes it.
    if (focale && !IsWindowVisible(focale))
        SetFocus(mostrato ? m_archivio : m_rilievi);
    Disponi();
}

std::optional<fs::path> FrmVerifica::ScegliCartella(std::string_view titolo, const fs::path& cartella) {
    return m_servizi.scegliCartella(Padre(), DaLatin1(titolo), cartella);
}

void FrmVerifica::MostraAvanzamento(const std::optional<finestra::AvanzamentoVisibile>& avanzamento) {
    const bool visibile = avanzamento.has_value();
    if (visibile) {
        SetWindowTextW(m_inCorso, DaLatin1(avanzamento->testo).c_str());
        SendMessageW(m_avanzamento, PBM_SETPOS, static_cast<WPARAM>(avanzamento->percentuale), 0);
    }
    if (visibile != (IsWindowVisible(m_avanzamento) != FALSE)) {
        ShowWindow(m_inCorso, visibile ? SW_SHOWNA : SW_HIDE);
        ShowWindow(m_avanzamento, visibile ? SW_SHOWNA : SW_HIDE);
        Disponi();
    }
}

std::vector<fs::path> FrmVerifica::ScegliFile(std::string_view titolo, const fs::path& cartella, bool piu) {
    return m_servizi.scegliFile(Padre(), DaLatin1(titolo), cartella, piu);
}

void FrmVerifica::Messaggio(const std::string& testo, bool errore) {
    m_servizi.messaggio(Padre(), DaLatin1(testo), errore);
}

bool FrmVerifica::ApriNelBrowser(const fs::path& pagina) { return m_servizi.apriPagina(pagina); }

// From the thread that reads: the results are taken on the window's thread.
void FrmVerifica::Sveglia() { PostMessageW(m_finestra, MessaggioConsegna, 0, 0); }

int AvviaProgramma(const std::vector<fs::path>& file, ServiziFrm servizi) {
    FrmVerifica finestra(std::move(servizi));
    finestra.Logica().Avvio(file);
    ShowWindow(finestra.Finestra(), SW_SHOWNORMAL);
    SetForegroundWindow(finestra.Finestra());
    // The keyboard in the list shown: the findings, or an archive's table.
    SetFocus(IsWindowVisible(finestra.Archivio()) ? finestra.Archivio() : finestra.Rilievi());
    return ::win32::CicloMessaggi(finestra.Finestra());
}

} // namespace verifica::win32

int verifica::EseguiProgrammaVerifica(int, char**) {
    shell::PreparaProcesso();
    // The arguments as the system has them (wide: accented folders), the program's own name first.
    std::vector<std::filesystem::path> file;
    int quanti = 0;
    if (LPWSTR* argomenti = CommandLineToArgvW(GetCommandLineW(), &quanti)) {
        for (int i = 1; i < quanti; ++i)
            file.emplace_back(argomenti[i]);
        LocalFree(argomenti);
    }
    return win32::AvviaProgramma(file, win32::ServiziFrm::Predefiniti());
}
