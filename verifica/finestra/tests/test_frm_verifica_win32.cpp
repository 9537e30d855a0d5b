// The Win32 check window driven through its messages, in this process (under Wine here): started with the
// converter's own supply and with one whose tax code is wrong, the verdict label and the list view read as
// the checker finds them; the chosen finding read whole and copied; the controls, the tab order and the
// size; a click on a column's head; files dropped on it; the listing opened; a long reading stopped by
// closing; the whole program.

#include "tests/supporto/cartella_temporanea.h"
#include "verifica/distinta.h"
#include "verifica/finestra/tests/forniture_di_prova.h"
#include "verifica/tests/supporto_fornitura.h"
#include "verifica/win32/frm_verifica_win32.h"
#include "tests/win32/supporto_win32.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::LeggiFile;
using verifica::finestra::ColonneRilievi;
using verifica::finestra::Pulsante;
using verifica::win32::FrmVerifica;
using win32::test::Pompa;

std::wstring Testo(HWND controllo) { return ::win32::Testo(controllo); }
std::wstring Largo(const std::string& latin1) { return ::win32::DaLatin1(latin1); }

RECT Posto(HWND controllo) {
    RECT r{};
    GetWindowRect(controllo, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(controllo), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring Cella(HWND lista, int riga, int colonna) {
    wchar_t testo[1024] = {};
    LVITEMW voce{};
    voce.iSubItem = colonna;
    voce.pszText = testo;
    voce.cchTextMax = 1024;
    SendMessageW(lista, LVM_GETITEMTEXTW, static_cast<WPARAM>(riga), reinterpret_cast<LPARAM>(&voce));
    return testo;
}

// The list view as it shows, row by row, cells separated by "|".
std::vector<std::wstring> Righe(HWND lista) {
    std::vector<std::wstring> righe;
    const int n = static_cast<int>(SendMessageW(lista, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < n; ++r) {
        std::wstring riga;
        for (int c = 0; c < static_cast<int>(ColonneRilievi.size()); ++c)
            riga += (c > 0 ? L"|" : L"") + Cella(lista, r, c);
        righe.push_back(riga);
    }
    return righe;
}

// The head of the list's column: its text and sort arrow.
HDITEMW Testa(HWND lista, int colonna, wchar_t (&testo)[64]) {
    HWND testa = reinterpret_cast<HWND>(SendMessageW(lista, LVM_GETHEADER, 0, 0));
    HDITEMW voce{};
    voce.mask = HDI_FORMAT | HDI_TEXT;
    voce.pszText = testo;
    voce.cchTextMax = 64;
    SendMessageW(testa, HDM_GETITEMW, static_cast<WPARAM>(colonna), reinterpret_cast<LPARAM>(&voce));
    return voce;
}

// A drop of files as the shell sends it: DROPFILES and the wide paths, NUL after each, two at the end.
HDROP Trascinamento(const std::vector<fs::path>& file) {
    std::wstring nomi;
    for (const fs::path& f : file)
        nomi += f.wstring() + L'\0';
    nomi += L'\0';
    HGLOBAL memoria = GlobalAlloc(GHND, sizeof(DROPFILES) + nomi.size() * sizeof(wchar_t));
    auto* dati = static_cast<DROPFILES*>(GlobalLock(memoria));
    dati->pFiles = sizeof(DROPFILES);
    dati->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(dati) + sizeof(DROPFILES), nomi.data(), nomi.size() * sizeof(wchar_t));
    GlobalUnlock(memoria);
    return static_cast<HDROP>(memoria);
}

class FrmVerificaWin32 : public ::testing::Test {
protected:
    CartellaTemporanea m_dir;
    std::vector<std::wstring> m_messaggi;
    std::vector<std::wstring> m_dialoghi; // "titolo|cartella|piu"
    std::vector<std::vector<fs::path>> m_risposte;
    std::vector<fs::path> m_pagine;

    verifica::win32::ServiziFrm Servizi() {
        verifica::win32::ServiziFrm servizi;
        servizi.messaggio = [this](HWND, const std::wstring& testo, bool) { m_messaggi.push_back(testo); };
        servizi.scegliFile = [this](HWND, const std::wstring& titolo, const fs::path& cartella, bool piu) {
            m_dialoghi.push_back(titolo + L"|" + cartella.wstring() + (piu ? L"|piu" : L"|uno"));
            if (m_risposte.empty())
                return std::vector<fs::path>{};
            auto risposta = m_risposte.front();
            m_risposte.erase(m_risposte.begin());
            return risposta;
        };
        servizi.apriPagina = [this](const fs::path& pagina) {
            m_pagine.push_back(pagina);
            return true;
        };
        servizi.verifica.archivio = m_dir / "ARC";
        servizi.verifica.cartellaPagine = m_dir / "pagine";
        servizi.verifica.guida = m_dir / "Guida.html";
        return servizi;
    }

    std::unique_ptr<FrmVerifica> Apri(const std::vector<fs::path>& file, verifica::win32::ServiziFrm servizi) {
        auto finestra = std::make_unique<FrmVerifica>(std::move(servizi));
        finestra->Logica().Avvio(file);
        ShowWindow(finestra->Finestra(), SW_SHOW);
        Pompa([] { return true; });
        return finestra;
    }
    std::unique_ptr<FrmVerifica> Apri(const std::vector<fs::path>& file) { return Apri(file, Servizi()); }

    // The window shows what the checker finds in `percorso`: the verdict label, then the list.
    void MostraCioCheTrova(FrmVerifica& finestra, const fs::path& percorso, verifica::FornituraLetta& letta) {
        letta = verifica::LeggiFornitura(percorso);
        const std::wstring esito = Largo(verifica::TestoEsito(letta.esito));
        ASSERT_TRUE(Pompa([&] { return Testo(finestra.Esito()) == esito; })) << Testo(finestra.Esito());
        ASSERT_TRUE(Pompa([&] { return finestra.Logica().Inattiva(); }));
        const std::vector<std::wstring> righe = Righe(finestra.Rilievi());
        ASSERT_EQ(righe.size(), letta.rilievi.size());
        if (letta.persone.empty()) // without persons the list is the checker's findings as they are
            for (std::size_t r = 0; r < righe.size(); ++r) {
                const lettura::Rilievo& atteso = letta.rilievi[r];
                EXPECT_EQ(righe[r], (atteso.riga > 0 ? std::to_wstring(atteso.riga) : L"") + L"|" +
                                        (atteso.gravita == lettura::Gravita::Errore ? L"Errore" : L"Avviso") + L"||" +
                                        Largo(atteso.messaggio));
            }
        EXPECT_NE(Testo(finestra.Intestazione()).find(L"Formato: 770 Semplificato"), std::wstring::npos);
        EXPECT_FALSE(IsWindowVisible(finestra.Avanzamento()));
    }
};

// The converter's own supply: the window shows what the checker finds, "Nessun errore".
TEST_F(FrmVerificaWin32, FornituraDelConvertitore) {
    const fs::path fornitura = verifica::finestra::test::Fornitura770(m_dir / "ARC");
    auto finestra = Apri({fornitura});
    EXPECT_EQ(Testo(finestra->File()), fornitura.wstring());
    verifica::FornituraLetta letta;
    MostraCioCheTrova(*finestra, fornitura, letta);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(IsWindowEnabled(finestra->Pulsante(Pulsante::ApriDistinta)));
    EXPECT_EQ(Testo(finestra->Esito()).rfind(L"Nessun errore", 0), 0u);
    for (const std::wstring& riga : Righe(finestra->Rilievi()))
        EXPECT_EQ(riga.find(L"|Errore|"), std::wstring::npos);
}

// One employee's tax code wrong wherever it is written: "errori" in the verdict, the finding in the list.
TEST_F(FrmVerificaWin32, CodiceFiscaleErrato) {
    const fs::path buona = verifica::finestra::test::Fornitura770(m_dir / "ARC");
    std::string errato;
    const fs::path fornitura = verifica::finestra::test::ConCodiceFiscaleErrato(buona, m_dir / "errata", errato);
    auto finestra = Apri({fornitura});
    verifica::FornituraLetta letta;
    MostraCioCheTrova(*finestra, fornitura, letta);
    if (HasFatalFailure())
        return;
    EXPECT_NE(Testo(finestra->Esito()).find(L"errore"), std::wstring::npos);
    bool trovato = false;
    for (const std::wstring& riga : Righe(finestra->Rilievi()))
        trovato =
            trovato || (riga.find(L"|Errore|") != std::wstring::npos && riga.find(Largo(errato)) != std::wstring::npos);
    EXPECT_TRUE(trovato);
}

// A finding longer than its cell: chosen in the list, the box under it shows it whole, with the file, the
// line and the kind, its control characters as codes; the tip of the row under the mouse says the same;
// the box is read-only, its text copied as from any text box, and leaves Tab and Enter to the window.
TEST_F(FrmVerificaWin32, RilievoSceltoPerIntero) {
    const std::string lungo = "importo non impostato (dipendente ROSSI MARIO, codice 'A\x01"
                              "B'" +
                              std::string(40, ' ') + "matricola " + std::string(200, '7') + ") fine";
    auto servizi = Servizi();
    servizi.verifica.leggi = [&](const fs::path&, const lettura::Avanzamento&) {
        auto f = verifica::test::FornituraProva({});
        f.Segnala({lettura::Gravita::Errore, 3, 12, "anno errato", -1});
        f.Segnala({lettura::Gravita::Avviso, 7, 0, lungo, -1});
        return f;
    };
    auto finestra = Apri({m_dir / "a.xml"}, std::move(servizi));
    ASSERT_TRUE(Pompa([&] { return finestra->Logica().Inattiva(); }));
    HWND lista = finestra->Rilievi(), scelto = finestra->RilievoScelto();
    ASSERT_EQ(SendMessageW(lista, LVM_GETITEMCOUNT, 0, 0), 2);
    const LONG stile = GetWindowLongW(scelto, GWL_STYLE);
    EXPECT_TRUE(stile & ES_READONLY);
    EXPECT_TRUE(stile & ES_MULTILINE);
    EXPECT_EQ(Testo(scelto), L"");
    const std::wstring intero = L"a.xml:7: avviso: importo non impostato (dipendente ROSSI MARIO, codice 'A\\x01B'" +
                                std::wstring(40, L' ') + L"matricola " + std::wstring(200, L'7') + L") fine";
    LVITEMW stato{};
    stato.stateMask = stato.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(lista, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&stato));
    EXPECT_EQ(Testo(scelto), intero);

    // The tip of the row under the mouse, as the tip asks for its text; none past the last row.
    const auto suggerimento = [&](int riga) {
        RECT posto{};
        posto.left = LVIR_BOUNDS;
        SendMessageW(lista, LVM_GETITEMRECT, static_cast<WPARAM>(riga), reinterpret_cast<LPARAM>(&posto));
        const int y = riga < 2 ? (posto.top + posto.bottom) / 2 : posto.bottom + 3 * (posto.bottom - posto.top);
        SendMessageW(lista, WM_MOUSEMOVE, 0, MAKELPARAM(posto.left + 200, y));
        NMTTDISPINFOW testo{};
        testo.hdr.hwndFrom = finestra->Suggerimento();
        testo.hdr.idFrom = reinterpret_cast<UINT_PTR>(lista);
        testo.hdr.code = TTN_GETDISPINFOW;
        testo.uFlags = TTF_IDISHWND;
        SendMessageW(finestra->Finestra(), WM_NOTIFY, testo.hdr.idFrom, reinterpret_cast<LPARAM>(&testo));
        return std::wstring(testo.lpszText ? testo.lpszText : testo.szText);
    };
    EXPECT_EQ(suggerimento(1), intero);
    EXPECT_EQ(suggerimento(0), L"a.xml:3:12: errore: anno errato");
    EXPECT_EQ(suggerimento(2), L"");
    TTTOOLINFOW strumento{};
    strumento.cbSize = sizeof strumento;
    EXPECT_EQ(SendMessageW(finestra->Suggerimento(), TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&strumento)), TRUE);
    EXPECT_EQ(strumento.uId, reinterpret_cast<UINT_PTR>(lista));

    // Selected and copied as in any text box.
    SetFocus(scelto);
    SendMessageW(scelto, EM_SETSEL, 0, -1);
    SendMessageW(scelto, WM_COPY, 0, 0);
    ASSERT_TRUE(OpenClipboard(finestra->Finestra()));
    std::wstring copiato;
    if (HANDLE dati = GetClipboardData(CF_UNICODETEXT)) {
        copiato = static_cast<const wchar_t*>(GlobalLock(dati));
        GlobalUnlock(dati);
    }
    CloseClipboard();
    EXPECT_EQ(copiato, intero);
    // Tab goes on to the next control, Enter presses the default button, as from any other.
    // (The next control is asked of the dialog manager: where the focus lands after a real Tab also depends on
    // which window the X server made active, and other tests open windows on the same display meanwhile.)
    EXPECT_TRUE(GetWindowLongW(scelto, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(GetNextDlgTabItem(finestra->Finestra(), scelto, FALSE), finestra->Pulsante(Pulsante::ApriDistinta));
    SetFocus(scelto);
    MSG invio{scelto, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(finestra->Finestra(), &invio));
    ASSERT_TRUE(Pompa([&] { return m_pagine.size() == 1; }));

    // Sorted by the message, descending: the chosen row holds the other finding now, and the box says so.
    for (int volte = 0; volte < 2; ++volte) {
        NMLISTVIEW clic{};
        clic.hdr.hwndFrom = lista;
        clic.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(lista));
        clic.hdr.code = LVN_COLUMNCLICK;
        clic.iItem = -1;
        clic.iSubItem = 3;
        SendMessageW(finestra->Finestra(), WM_NOTIFY, clic.hdr.idFrom, reinterpret_cast<LPARAM>(&clic));
    }
    const auto riga = static_cast<int>(SendMessageW(lista, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    ASSERT_EQ(riga, 1);
    EXPECT_EQ(Cella(lista, riga, 3), L"anno errato");
    EXPECT_EQ(Testo(scelto), L"a.xml:3:12: errore: anno errato");
}

TEST_F(FrmVerificaWin32, ControlliOrdineTabEDimensioni) {
    auto finestra = Apri({m_dir / "manca.txt"});
    ASSERT_TRUE(Pompa([&] { return finestra->Logica().Inattiva(); }));
    HWND f = finestra->Finestra();
    EXPECT_EQ(Testo(f), L"Verifica forniture");
    EXPECT_EQ(Testo(finestra->Esito()), L"Il file non pu\u00F2 essere letto");
    const std::vector<std::wstring> righe = Righe(finestra->Rilievi());
    ASSERT_EQ(righe.size(), 1u);
    EXPECT_EQ(righe[0].rfind(L"|Errore||File non trovato '", 0), 0u);
    for (std::size_t c = 0; c < ColonneRilievi.size(); ++c) {
        wchar_t testo[64] = {};
        Testa(finestra->Rilievi(), static_cast<int>(c), testo);
        EXPECT_EQ(std::wstring(testo), Largo(std::string(ColonneRilievi[c].titolo)));
    }
    // Every button the window logic names, with its caption, on the Win32 window.
    for (const auto& [pulsante, testo] : verifica::finestra::Pulsanti)
        EXPECT_EQ(Testo(finestra->Pulsante(pulsante)), Largo(std::string(testo)));
    EXPECT_FALSE(IsWindowEnabled(finestra->Pulsante(Pulsante::ApriDistinta)));
    EXPECT_FALSE(IsWindowEnabled(finestra->Pulsante(Pulsante::ConfrontaCon)));
    EXPECT_TRUE(GetWindowLongW(finestra->Pulsante(Pulsante::ApriDistinta), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_EQ(LOWORD(SendMessageW(f, DM_GETDEFID, 0, 0)), GetDlgCtrlID(finestra->Pulsante(Pulsante::ApriDistinta)));

    // Tab: the selector, the list, the enabled buttons, round again.
    const std::vector<HWND> attesi = {finestra->Rilievi(),
                                      finestra->RilievoScelto(),
                                      finestra->Pulsante(Pulsante::Apri),
                                      finestra->Pulsante(Pulsante::ApriCartella),
                                      finestra->Pulsante(Pulsante::Guida),
                                      finestra->Pulsante(Pulsante::Chiudi),
                                      finestra->File()};
    HWND corrente = finestra->File();
    for (HWND atteso : attesi) {
        corrente = GetNextDlgTabItem(f, corrente, FALSE);
        EXPECT_EQ(corrente, atteso);
    }

    // Resizable, with a minimum; the list takes what the window grows by, the buttons keep their size.
    EXPECT_TRUE(GetWindowLongW(f, GWL_STYLE) & WS_THICKFRAME);
    MINMAXINFO limiti{};
    SendMessageW(f, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limiti));
    EXPECT_GT(limiti.ptMinTrackSize.x, 300);
    EXPECT_GT(limiti.ptMinTrackSize.y, 200);
    // From a size near the minimum, so that growing keeps the window on the screen whatever size it opened at
    // (the system keeps a window within the screen).
    SetWindowPos(f, nullptr, 0, 0, limiti.ptMinTrackSize.x + 40, limiti.ptMinTrackSize.y + 40,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT prima{};
    GetWindowRect(f, &prima);
    const RECT lista = Posto(finestra->Rilievi()), chiudi = Posto(finestra->Pulsante(Pulsante::Chiudi));
    const RECT scelto = Posto(finestra->RilievoScelto());
    EXPECT_GT(lista.bottom - lista.top, scelto.bottom - scelto.top);
    EXPECT_LT(lista.bottom, scelto.top);
    EXPECT_LT(scelto.bottom, chiudi.top);
    SetWindowPos(f, nullptr, 0, 0, prima.right - prima.left + 200, prima.bottom - prima.top + 100,
                 SWP_NOMOVE | SWP_NOZORDER);
    const RECT listaDopo = Posto(finestra->Rilievi()), chiudiDopo = Posto(finestra->Pulsante(Pulsante::Chiudi));
    const RECT sceltoDopo = Posto(finestra->RilievoScelto());
    EXPECT_EQ(sceltoDopo.right - sceltoDopo.left, scelto.right - scelto.left + 200);
    EXPECT_EQ(sceltoDopo.bottom - sceltoDopo.top, scelto.bottom - scelto.top);
    EXPECT_EQ(listaDopo.right - listaDopo.left, lista.right - lista.left + 200);
    EXPECT_EQ(listaDopo.bottom - listaDopo.top, lista.bottom - lista.top + 100);
    EXPECT_EQ(chiudiDopo.right - chiudiDopo.left, chiudi.right - chiudi.left);
    EXPECT_EQ(chiudiDopo.top, chiudi.top + 100);
    EXPECT_EQ(chiudiDopo.left, chiudi.left + 200);
}

TEST_F(FrmVerificaWin32, OrdinamentoDalClicSullaTesta) {
    shell::test::ScriviFile(m_dir / "strano.txt", "non una fornitura\r\n");
    auto finestra = Apri({m_dir / "strano.txt"});
    ASSERT_TRUE(Pompa([&] { return finestra->Logica().Inattiva(); }));
    const auto freccia = [&](int colonna) {
        wchar_t testo[64] = {};
        return Testa(finestra->Rilievi(), colonna, testo).fmt & (HDF_SORTUP | HDF_SORTDOWN);
    };
    EXPECT_EQ(freccia(0), HDF_SORTUP);
    EXPECT_EQ(freccia(3), 0);
    const auto clic = [&](int colonna) {
        NMLISTVIEW notifica{};
        notifica.hdr.hwndFrom = finestra->Rilievi();
        notifica.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(finestra->Rilievi()));
        notifica.hdr.code = LVN_COLUMNCLICK;
        notifica.iItem = -1;
        notifica.iSubItem = colonna;
        SendMessageW(finestra->Finestra(), WM_NOTIFY, notifica.hdr.idFrom, reinterpret_cast<LPARAM>(&notifica));
    };
    clic(3);
    EXPECT_EQ(freccia(0), 0);
    EXPECT_EQ(freccia(3), HDF_SORTUP);
    clic(3);
    EXPECT_EQ(freccia(3), HDF_SORTDOWN);
    clic(1);
    EXPECT_EQ(freccia(3), 0);
    EXPECT_EQ(freccia(1), HDF_SORTUP);
    EXPECT_EQ(Righe(finestra->Rilievi()).size(), 1u);
}

// Files dropped on the window: added to the selector, the first shown; the selector switches.
TEST_F(FrmVerificaWin32, FileTrascinatiESelettore) {
    shell::test::ScriviFile(m_dir / "strano.txt", "non una fornitura\r\n");
    shell::test::ScriviFile(m_dir / "vuoto.txt", "");
    auto finestra = Apri({m_dir / "strano.txt"});
    ASSERT_TRUE(Pompa([&] { return finestra->Logica().Inattiva(); }));
    const std::wstring strano = Testo(finestra->Esito());
    SendMessageW(finestra->Finestra(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(Trascinamento({m_dir / "vuoto.txt", m_dir / "manca.txt"})), 0);
    EXPECT_EQ(SendMessageW(finestra->File(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(finestra->File(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Testo(finestra->File()), (m_dir / "vuoto.txt").wstring());
    const std::wstring vuoto = Largo(verifica::TestoEsito(verifica::LeggiFornitura(m_dir / "vuoto.txt").esito));
    ASSERT_TRUE(Pompa([&] { return Testo(finestra->Esito()) == vuoto; }));
    // The user chooses another file in the selector.
    SendMessageW(finestra->File(), CB_SETCURSEL, 0, 0);
    SendMessageW(finestra->Finestra(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(finestra->File()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(finestra->File()));
    EXPECT_EQ(Testo(finestra->Esito()), strano);
}

TEST_F(FrmVerificaWin32, ApriDistintaEGuida) {
    const fs::path fornitura = verifica::finestra::test::Fornitura770(m_dir / "ARC");
    auto finestra = Apri({fornitura});
    ASSERT_TRUE(Pompa([&] { return IsWindowEnabled(finestra->Pulsante(Pulsante::ApriDistinta)) != FALSE; }));
    SendMessageW(finestra->Pulsante(Pulsante::ApriDistinta), BM_CLICK, 0, 0);
    ASSERT_TRUE(Pompa([&] { return !m_pagine.empty(); }));
    const fs::path pagina = m_dir / "pagine" / ("distinta-1-" + fornitura.stem().string() + ".html");
    EXPECT_EQ(m_pagine, std::vector<fs::path>{pagina});
    std::ostringstream attesa;
    verifica::ScriviDistintaHtml(verifica::LeggiFornitura(fornitura), verifica::NomeEDataDelFile(fornitura), attesa);
    EXPECT_EQ(LeggiFile(pagina), attesa.str());
    // Enter, where no button has the focus, presses the default button.
    SetFocus(finestra->Rilievi());
    MSG invio{finestra->Rilievi(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(finestra->Finestra(), &invio));
    ASSERT_TRUE(Pompa([&] { return m_pagine.size() == 2; }));
    // "Guida", not installed here: the message; "Confronta con..." cancelled: nothing.
    SendMessageW(finestra->Pulsante(Pulsante::Guida), BM_CLICK, 0, 0);
    ASSERT_EQ(m_messaggi.size(), 1u);
    EXPECT_EQ(m_messaggi[0].rfind(L"Non trovo la guida '", 0), 0u);
    SendMessageW(finestra->Pulsante(Pulsante::ConfrontaCon), BM_CLICK, 0, 0);
    EXPECT_EQ(m_dialoghi, std::vector<std::wstring>{L"Confronta con la fornitura precedente|" +
                                                    (m_dir / "ARC").wstring() + L"|uno"});
    EXPECT_TRUE(finestra->Logica().Inattiva());
}

// A long reading: the progress bar while it goes on; closing the window stops it at once.
TEST_F(FrmVerificaWin32, ChiusuraDuranteUnaLetturaLunga) {
    std::atomic<bool> interrotta{false};
    std::chrono::steady_clock::time_point fermata;
    auto servizi = Servizi();
    servizi.verifica.leggi = [&](const fs::path&, const lettura::Avanzamento& avanzamento) -> verifica::FornituraLetta {
        for (std::uint64_t letti = 1;; ++letti) {
            if (!avanzamento(std::min<std::uint64_t>(letti, 99), 100)) {
                fermata = std::chrono::steady_clock::now();
                interrotta = true;
                throw lettura::LetturaInterrotta();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    auto finestra = Apri({m_dir / "grande.txt"}, std::move(servizi));
    ASSERT_TRUE(Pompa([&] {
        return IsWindowVisible(finestra->Avanzamento()) && SendMessageW(finestra->Avanzamento(), PBM_GETPOS, 0, 0) > 5;
    }));
    EXPECT_EQ(Testo(finestra->InCorso()), L"Lettura di grande.txt");
    EXPECT_EQ(Testo(finestra->Esito()), L"Lettura in corso...");
    const auto inizio = std::chrono::steady_clock::now();
    SendMessageW(finestra->Pulsante(Pulsante::Chiudi), BM_CLICK, 0, 0);
    // (Wine then waits up to 2 seconds for an X window to go, without a window manager.)
    ASSERT_TRUE(interrotta);
    EXPECT_LT(fermata - inizio, std::chrono::milliseconds(500));
    EXPECT_FALSE(IsWindow(finestra->Finestra()));
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE); // the quit of the window's loop
}

// The whole program, started with a file: the window, the dialog not shown, Escape ends it with status 0.
TEST_F(FrmVerificaWin32, ProgrammaConUnFile) {
    shell::test::ScriviFile(m_dir / "strano.txt", "non una fornitura\r\n");
    static std::function<void()> daEseguire;
    std::wstring esito;
    daEseguire = [&] {
        HWND f = win32::test::FinestraDelThread(FrmVerifica::Classe);
        ASSERT_TRUE(f);
        auto* vista = reinterpret_cast<FrmVerifica*>(GetWindowLongPtrW(f, GWLP_USERDATA));
        ASSERT_TRUE(vista);
        Pompa([&] { return vista->Logica().Inattiva() && !Testo(vista->Esito()).empty(); });
        esito = Testo(vista->Esito());
        MSG escape{vista->Rilievi(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
        IsDialogMessageW(f, &escape);
    };
    SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        daEseguire();
        if (::testing::Test::HasFailure())
            PostQuitMessage(-1);
    });
    EXPECT_EQ(verifica::win32::AvviaProgramma({m_dir / "strano.txt"}, Servizi()), 0);
    EXPECT_EQ(esito, Largo(verifica::TestoEsito(verifica::LeggiFornitura(m_dir / "strano.txt").esito)));
    EXPECT_TRUE(m_dialoghi.empty());
}

} // namespace

namespace {

// A folder given: the archive's table in place of the supply's controls, the cells the window logic gives, "Apri
// fornitura" the default button and Tab through the table, the set's findings and the buttons; Enter opens the
// row chosen as the supply it is, "Torna all'archivio" shows the table again.
TEST_F(FrmVerificaWin32, CartellaDellArchivio) {
    const fs::path fornitura = verifica::finestra::test::Fornitura770(m_dir / "ARC");
    fs::remove_all(m_dir / "ARC" / "carvek");
    fs::copy_file(fornitura, m_dir / "ARC" / "Copia770.txt");
    auto finestra = Apri({m_dir / "ARC"});
    HWND f = finestra->Finestra();
    ASSERT_TRUE(Pompa([&] { return finestra->Logica().Inattiva(); }));
    EXPECT_TRUE(IsWindowVisible(finestra->Archivio()));
    EXPECT_FALSE(IsWindowVisible(finestra->Rilievi()));
    EXPECT_FALSE(IsWindowVisible(finestra->File()));
    ASSERT_EQ(SendMessageW(finestra->Archivio(), LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(Cella(finestra->Archivio(), 0, 2), L"770 Semplificato");
    EXPECT_EQ(Cella(finestra->Archivio(), 0, 4), L"Copia770.txt");
    EXPECT_EQ(Cella(finestra->Archivio(), 1, 4), fornitura.filename().wstring());
    EXPECT_EQ(SendMessageW(finestra->RilieviInsieme(), LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(Testo(finestra->Riepilogo()).rfind(L"2 forniture: 0 da correggere, ", 0), 0u)
        << Testo(finestra->Riepilogo());
    EXPECT_EQ(LOWORD(SendMessageW(f, DM_GETDEFID, 0, 0)), GetDlgCtrlID(finestra->Pulsante(Pulsante::ApriFornitura)));
    EXPECT_TRUE(GetWindowLongW(finestra->Pulsante(Pulsante::ApriFornitura), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_FALSE(IsWindowVisible(finestra->Pulsante(Pulsante::TornaArchivio)));
    // The table and the findings below it take the height between the folder's line and the buttons.
    EXPECT_LT(Posto(finestra->Cartella()).bottom, Posto(finestra->Archivio()).top);
    EXPECT_LT(Posto(finestra->Archivio()).bottom, Posto(finestra->RilieviInsieme()).top);
    EXPECT_LT(Posto(finestra->Riepilogo()).bottom, Posto(finestra->Pulsante(Pulsante::Apri)).top);

    const std::vector<HWND> attesi = {finestra->RilieviInsieme(),
                                      finestra->Pulsante(Pulsante::Apri),
                                      finestra->Pulsante(Pulsante::ApriCartella),
                                      finestra->Pulsante(Pulsante::ApriFornitura),
                                      finestra->Pulsante(Pulsante::Guida),
                                      finestra->Pulsante(Pulsante::Chiudi),
                                      finestra->Archivio()};
    HWND corrente = finestra->Archivio();
    for (HWND atteso : attesi) {
        corrente = GetNextDlgTabItem(f, corrente, FALSE);
        EXPECT_EQ(corrente, atteso);
    }

    // Enter on the second row: the supply, as "Apri..." shows it.
    LVITEMW stato{};
    stato.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    stato.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(finestra->Archivio(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&stato));
    SendMessageW(f, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    verifica::FornituraLetta letta;
    MostraCioCheTrova(*finestra, fornitura, letta);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(Testo(finestra->File()), fornitura.wstring());
    EXPECT_FALSE(IsWindowVisible(finestra->Archivio()));
    EXPECT_TRUE(IsWindowVisible(finestra->Pulsante(Pulsante::TornaArchivio)));
    EXPECT_EQ(LOWORD(SendMessageW(f, DM_GETDEFID, 0, 0)), GetDlgCtrlID(finestra->Pulsante(Pulsante::ApriDistinta)));

    SendMessageW(f, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(finestra->Pulsante(Pulsante::TornaArchivio)), BN_CLICKED), 0);
    EXPECT_TRUE(IsWindowVisible(finestra->Archivio()));
    EXPECT_EQ(SendMessageW(finestra->Archivio(), LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_FALSE(IsWindowVisible(finestra->Pulsante(Pulsante::TornaArchivio)));
}

} // namespace
