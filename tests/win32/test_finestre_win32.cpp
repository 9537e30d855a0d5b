// The Win32 windows driven through their messages, in this process (under Wine here): activations,
// also from inside a message box of the run, button clicks, focus changes, the controls' texts. The
// message boxes are replaced by a recorder, as in the Qt windows' tests.

#include "tests/supporto/cartella_temporanea.h"
#include "shell/convertitore.h"
#include "tests/supporto/convertitore_prova.h"
#include "uniemens/dati_sub.h"
#include "shell/win32/elaborazione_win32.h"
#include "shell/errore.h"
#include "bankcheck/win32/frm_bancari_win32.h"
#include "tests/win32/supporto_win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::ConvertitoreProva;
using shell::test::ScriviFile;
using win32::test::FinestraDelThread;
using win32::test::Pompa;

namespace {

struct AvvisoMostrato {
    std::wstring titolo, testo;
    bool iconaErrore;
};

void Attiva(HWND finestra) { SendMessageW(finestra, WM_ACTIVATE, WA_ACTIVE, 0); }

std::wstring Testo(HWND controllo) { return ::win32::Testo(controllo); }

RECT Posto(HWND controllo) {
    RECT r{};
    GetWindowRect(controllo, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(controllo), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool CursoreInFondo(HWND casella) {
    DWORD inizio = 0, fine = 0;
    SendMessageW(casella, EM_GETSEL, reinterpret_cast<WPARAM>(&inizio), reinterpret_cast<LPARAM>(&fine));
    const auto n = static_cast<DWORD>(GetWindowTextLengthW(casella));
    return inizio == n && fine == n;
}

class FinestraWin32 : public ::testing::Test {
protected:
    std::vector<AvvisoMostrato> m_avvisi;
    std::function<void()> m_allAvviso; // what happens while a box is shown

    shell::win32::ServiziFinestra Servizi(const fs::path& archivio) {
        return {[this](HWND, const std::wstring& titolo, const std::wstring& testo, bool errore) {
                    m_avvisi.push_back({titolo, testo, errore});
                    if (m_allAvviso)
                        m_allAvviso();
                },
                [] { return shell::DataOra{2011, 6, 14, 9, 5, 7}; }, archivio};
    }

    // The whole program on a folder; `allaFinestra` runs from the message loop once the window is there.
    int Programma(const shell::Convertitore& convertitore, const fs::path& cartella, const fs::path& archivio,
                  std::function<void(shell::win32::Elaborazione&)> allaFinestra) {
        // A test that fails inside the loop ends the program at once (status -1): the window would otherwise
        // wait for a "Continua" that nobody presses.
        static std::function<void()> daEseguire;
        daEseguire = [allaFinestra] {
            HWND finestra = FinestraDelThread(shell::win32::Elaborazione::Classe);
            auto* vista = reinterpret_cast<shell::win32::Elaborazione*>(GetWindowLongPtrW(finestra, GWLP_USERDATA));
            [&] {
                ASSERT_TRUE(vista) << "the window is not there";
                allaFinestra(*vista);
            }();
            if (::testing::Test::HasFailure())
                PostQuitMessage(-1);
        };
        SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            daEseguire();
        });
        return shell::win32::AvviaProgramma(convertitore, cartella, Servizi(archivio));
    }
};

TEST_F(FinestraWin32, DisposizioneEDidascalia) {
    shell::win32::Elaborazione finestra(
        ConvertitoreProva(), [](shell::ContestoElaborazione&) {}, Servizi("/nonusata"));
    EXPECT_EQ(Testo(finestra.Finestra()), L"Elaborazone dati per 770 Semplificato 2011 versione del 14 giugno 2011");
    const int dpi = ::win32::DpiSchermo();
    RECT area{};
    GetClientRect(finestra.Finestra(), &area);
    EXPECT_EQ(area.right, MulDiv(10470, dpi, 1440));
    EXPECT_EQ(area.bottom, MulDiv(6015, dpi, 1440));
    const RECT log = Posto(finestra.Messaggio());
    EXPECT_EQ(log.left, MulDiv(120, dpi, 1440));
    EXPECT_EQ(log.right - log.left, MulDiv(10215, dpi, 1440));
    const RECT avanti = Posto(finestra.Avanti());
    EXPECT_EQ(avanti.left, MulDiv(9000, dpi, 1440));
    EXPECT_EQ(avanti.bottom - avanti.top, MulDiv(375, dpi, 1440));
    EXPECT_EQ(Testo(finestra.Avanti()), L"Continua");
    EXPECT_FALSE(IsWindowEnabled(finestra.Avanti()));
    const LONG stile = GetWindowLongW(finestra.Messaggio(), GWL_STYLE);
    EXPECT_TRUE(stile & ES_READONLY);
    EXPECT_TRUE(stile & ES_MULTILINE);
    EXPECT_TRUE(stile & WS_VSCROLL);
    EXPECT_EQ(finestra.Errori(), nullptr);
}

// A message box of the run activates the window again when it closes: one run all the same.
TEST_F(FinestraWin32, UnaSolaCorsaAncheConAttivazioniDaUnAvviso) {
    int corse = 0;
    shell::win32::Elaborazione* vista = nullptr;
    shell::win32::Elaborazione finestra(
        ConvertitoreProva(),
        [&](shell::ContestoElaborazione& contesto) {
            ++corse;
            contesto.ScriviMessaggio("prima");
            contesto.Avviso("Errori sul dipendente", false);
            contesto.ScriviMessaggio("dopo \xE8");
        },
        Servizi("/nonusata"));
    vista = &finestra;
    m_allAvviso = [&] {
        // The log holds what came before the box.
        EXPECT_EQ(Testo(vista->Messaggio()), L"prima\r\n");
        Attiva(vista->Finestra());
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    };
    Attiva(finestra.Finestra());
    ASSERT_TRUE(Pompa([&] { return IsWindowEnabled(finestra.Avanti()) != FALSE; }));
    Attiva(finestra.Finestra());
    Attiva(finestra.Finestra());
    Pompa([] { return true; });
    EXPECT_EQ(corse, 1);
    EXPECT_EQ(Testo(finestra.Messaggio()), L"prima\r\ndopo \u00E8\r\n");
    ASSERT_EQ(m_avvisi.size(), 1u);
    EXPECT_EQ(m_avvisi[0].titolo, L"carvek");
    EXPECT_EQ(m_avvisi[0].testo, L"Errori sul dipendente");
    EXPECT_FALSE(m_avvisi[0].iconaErrore);
}

TEST_F(FinestraWin32, EsportazioneMancante) {
    CartellaTemporanea dir;
    const int esito = shell::win32::AvviaProgramma(ConvertitoreProva(), dir.Percorso(), Servizi(dir / "ARC"));
    EXPECT_EQ(esito, 3);
    ASSERT_EQ(m_avvisi.size(), 1u);
    EXPECT_EQ(m_avvisi[0].testo, L"Non trovo il file originale in '" + (dir / "Esportazione770.tab").wstring() +
                                     L"', quindi non posso continuare...");
    EXPECT_EQ(m_avvisi[0].titolo, L"carvek");
    EXPECT_TRUE(m_avvisi[0].iconaErrore);
    EXPECT_FALSE(fs::exists(dir / "ARC"));
    EXPECT_EQ(FinestraDelThread(shell::win32::Elaborazione::Classe), nullptr);
}

// A loading that fails (no memory) ends the program as a stopped run does: the error box, status 1,
// no window.
TEST_F(FinestraWin32, CaricamentoFallito) {
    CartellaTemporanea dir;
    shell::Convertitore convertitore = ConvertitoreProva();
    convertitore.carica = [](const fs::path&, const fs::path&) -> shell::Caricamento { throw std::bad_alloc(); };
    const int esito = shell::win32::AvviaProgramma(convertitore, dir.Percorso(), Servizi(dir / "ARC"));
    EXPECT_EQ(esito, 1);
    ASSERT_EQ(m_avvisi.size(), 1u);
    EXPECT_EQ(m_avvisi[0].testo, L"Memoria insufficiente: l'elaborazione si \u00E8 fermata");
    EXPECT_TRUE(m_avvisi[0].iconaErrore);
    EXPECT_EQ(FinestraDelThread(shell::win32::Elaborazione::Classe), nullptr);
}

// The whole program: the run on activation, the caret at the end, "Continua" ends it with status 0.
TEST_F(FinestraWin32, ContinuaTerminaIlProgramma) {
    CartellaTemporanea dir;
    ScriviFile(dir / "Esportazione770.tab", "01234567890\tX\r\n");
    fs::create_directory(dir / "ARC");
    const int esito = Programma(ConvertitoreProva(), dir.Percorso(), dir / "ARC", [](shell::win32::Elaborazione& f) {
        Attiva(f.Finestra());
        ASSERT_TRUE(Pompa([&] { return IsWindowEnabled(f.Avanti()) != FALSE; }));
        EXPECT_TRUE(CursoreInFondo(f.Messaggio()));
        EXPECT_NE(Testo(f.Messaggio()).find(L"Copiata la riga 1\r\n"), std::wstring::npos);
        SendMessageW(f.Avanti(), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(esito, 0);
    EXPECT_TRUE(fs::exists(dir / "ARC" / "Prova-01234567890.txt"));
    EXPECT_TRUE(m_avvisi.empty());
}

TEST_F(FinestraWin32, LaCroceDiChiusuraDopoLaCorsa) {
    CartellaTemporanea dir;
    ScriviFile(dir / "Esportazione770.tab", "01234567890\tX\r\n");
    fs::create_directory(dir / "ARC");
    const int esito = Programma(ConvertitoreProva(), dir.Percorso(), dir / "ARC", [](shell::win32::Elaborazione& f) {
        ASSERT_TRUE(Pompa([&] {
            Attiva(f.Finestra());
            return IsWindowEnabled(f.Avanti()) != FALSE;
        }));
        SendMessageW(f.Finestra(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(esito, 0);
}

// An error that stops the run: the box with the error icon, status 1, the output under its temporary name.
TEST_F(FinestraWin32, ErroreFermaIlProgramma) {
    CartellaTemporanea dir;
    ScriviFile(dir / "Esportazione770.tab", "../FUORI\tX\r\n");
    fs::create_directory(dir / "ARC");
    const int esito = Programma(ConvertitoreProva(), dir.Percorso(), dir / "ARC",
                                [](shell::win32::Elaborazione& f) { Attiva(f.Finestra()); });
    EXPECT_EQ(esito, 1);
    ASSERT_EQ(m_avvisi.size(), 1u);
    EXPECT_TRUE(m_avvisi[0].iconaErrore);
    EXPECT_NE(m_avvisi[0].testo.find(L"non \u00E8 un nome di file ammesso"), std::wstring::npos);
    EXPECT_TRUE(fs::exists(dir / "ARC" / "Prova-2011-06-14-09-05-07.txt"));
}

// The UniEmens error box: its errors in view, "Continua", then status 1 for the document not generated.
TEST_F(FinestraWin32, CasellaErroriUniemens) {
    CartellaTemporanea dir;
    fs::copy_file(fs::path(UNIEMENS_DATI) / "errori.tab", dir / "EsportazioneINPS.tab");
    fs::create_directory(dir / "ARC");
    std::wstring errori, etichetta;
    bool inFondo = false;
    const int esito =
        Programma(uniemens::Descrittore(), dir.Percorso(), dir / "ARC", [&](shell::win32::Elaborazione& f) {
            Attiva(f.Finestra());
            ASSERT_TRUE(Pompa([&] { return IsWindowEnabled(f.Avanti()) != FALSE; }));
            ASSERT_TRUE(f.Errori());
            errori = Testo(f.Errori());
            inFondo = CursoreInFondo(f.Errori());
            SendMessageW(f.Avanti(), BM_CLICK, 0, 0);
        });
    EXPECT_EQ(esito, 1);
    EXPECT_EQ(errori, L"Errore su persona in riga 2: Collaboratore segnalato su mese precedente\r\n"
                      L"Errore su persona in riga 3: manca Dipendente/Collaboratore\r\n"
                      L"Errore su persona in riga 4, colonna 43: importo non valido '396;96'\r\n");
    EXPECT_TRUE(inFondo);
    EXPECT_FALSE(fs::exists(dir / "ARC" / "INPSUNIEMENS-2012-01.xml"));
    EXPECT_TRUE(m_avvisi.empty());
}

// The bank window.
class FrmBancariWin32 : public ::testing::Test {
protected:
    std::vector<std::wstring> m_messaggi;
    bankcheck::win32::FrmBancari m_finestra{[this](HWND, const std::wstring& testo) { m_messaggi.push_back(testo); }};

    void SetUp() override {
        ShowWindow(m_finestra.Finestra(), SW_SHOW);
        SetForegroundWindow(m_finestra.Finestra());
        Pompa([] { return true; });
    }
    HWND C(const char* nome) const { return m_finestra.Controllo(nome); }
    void Scrivi(const char* nome, const wchar_t* testo) const { SetWindowTextW(C(nome), testo); }
    void Clicca(const char* nome) const { SendMessageW(C(nome), BM_CLICK, 0, 0); }
};

TEST_F(FrmBancariWin32, ControlliEOrdineTab) {
    int controlli = 0;
    for (HWND f = GetWindow(m_finestra.Finestra(), GW_CHILD); f; f = GetWindow(f, GW_HWNDNEXT))
        ++controlli;
    EXPECT_EQ(controlli, 21);
    EXPECT_EQ(Testo(m_finestra.Finestra()), L"Test Cin e Check Digit IBAN");
    EXPECT_EQ(Testo(C("txtStato")), L"IT");
    EXPECT_EQ(SendMessageW(C("optBBAN"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(C("optCalcolo"), BM_GETCHECK, 0, 0), BST_CHECKED);
    // The option buttons inside their frames, below the captions.
    for (const char* coppia : {"Frame1 optBBAN", "Frame1 optIBAN", "Frame2 optCalcolo", "Frame2 optVerifica"}) {
        const std::string s = coppia;
        const RECT cornice = Posto(C(s.substr(0, 6).c_str()));
        const RECT opzione = Posto(C(s.substr(7).c_str()));
        SCOPED_TRACE(coppia);
        EXPECT_GT(opzione.left, cornice.left);
        EXPECT_LT(opzione.right, cornice.right);
        EXPECT_GE(opzione.top, cornice.top + 12);
        EXPECT_LT(opzione.bottom, cornice.bottom);
    }
    const std::vector<const char*> atteso = {"optCalcolo", "txtCodice", "txtAbi",   "txtCab", "txtCC",
                                             "txtCin",     "txtStato",  "txtCheck", "cmdGo",  "optBBAN"};
    HWND corrente = C("optBBAN");
    for (const char* nome : atteso) {
        corrente = GetNextDlgTabItem(m_finestra.Finestra(), corrente, FALSE);
        EXPECT_EQ(corrente, C(nome)) << nome;
    }
}

TEST_F(FrmBancariWin32, IbanIncollatoSuddivisoUscendo) {
    SetFocus(C("txtCodice"));
    Scrivi("txtCodice", L"IT60 X054 2811 1010 0000 0123 456");
    EXPECT_EQ(Testo(C("txtAbi")), L""); // nothing until the box is left
    SetFocus(C("txtAbi"));
    EXPECT_EQ(GetFocus(), C("txtAbi"));
    EXPECT_EQ(Testo(C("txtAbi")), L"05428");
    EXPECT_EQ(Testo(C("txtCab")), L"11101");
    EXPECT_EQ(Testo(C("txtCC")), L"000000123456");
    EXPECT_EQ(Testo(C("txtCin")), L"X");
    EXPECT_EQ(Testo(C("txtStato")), L"IT");
    EXPECT_EQ(Testo(C("txtCheck")), L"60");
    EXPECT_EQ(Testo(C("txtCodice")), L"IT60 X054 2811 1010 0000 0123 456");
}

TEST_F(FrmBancariWin32, QuattroCombinazioni) {
    struct Caso {
        const char *opzione1, *opzione2;
        const wchar_t *cin, *check;
        const wchar_t *cinAtteso, *checkAtteso, *messaggio;
    };
    // clang-format off
    const std::vector<Caso> casi = {
        {"optBBAN", "optCalcolo",  L"",  L"",   L"X", L"",   nullptr},
        {"optBBAN", "optVerifica", L"x", L"",   L"x", L"",   L"Cin errato"},
        {"optBBAN", "optVerifica", L"X", L"",   L"X", L"",   L"Cin corretto"},
        {"optIBAN", "optCalcolo",  L"",  L"",   L"",  L"60", nullptr},
        {"optIBAN", "optVerifica", L"",  L"60", L"",  L"60", L"Check digit Corretto"},
        {"optIBAN", "optVerifica", L"",  L"61", L"",  L"61", L"Check digit Errato"},
    };
    // clang-format on
    for (const Caso& caso : casi) {
        SCOPED_TRACE(std::string(caso.opzione1) + " " + caso.opzione2);
        m_messaggi.clear();
        Clicca(caso.opzione1);
        Clicca(caso.opzione2);
        Scrivi("txtAbi", L"05428");
        Scrivi("txtCab", L"11101");
        Scrivi("txtCC", L"123456");
        Scrivi("txtCin", caso.cin);
        Scrivi("txtCheck", caso.check);
        Clicca("cmdGo");
        EXPECT_EQ(Testo(C("txtCin")), caso.cinAtteso);
        EXPECT_EQ(Testo(C("txtCheck")), caso.checkAtteso);
        EXPECT_EQ(m_messaggi, caso.messaggio ? std::vector<std::wstring>{caso.messaggio} : std::vector<std::wstring>{});
        EXPECT_EQ(Testo(C("txtCC")), L"123456");
    }
}

TEST_F(FrmBancariWin32, LunghezzaErrata) {
    Clicca("optIBAN");
    Scrivi("txtCC", L"1234 567 8901");
    Scrivi("txtCheck", L"77");
    SetFocus(C("txtAbi"));
    Clicca("cmdGo");
    EXPECT_EQ(m_messaggi, std::vector<std::wstring>{L"Lunghezza errata"});
    EXPECT_EQ(GetFocus(), C("txtCC"));
    EXPECT_EQ(Testo(C("txtCheck")), L"77");
}

// Enter in a text box presses "Aggiorna", the default button.
TEST_F(FrmBancariWin32, InvioPremeAggiorna) {
    Clicca("optVerifica");
    Scrivi("txtAbi", L"05428");
    Scrivi("txtCab", L"11101");
    Scrivi("txtCC", L"123456");
    Scrivi("txtCin", L"Y");
    SetFocus(C("txtCin"));
    MSG invio{C("txtCin"), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(m_finestra.Finestra(), &invio));
    Pompa([this] { return !m_messaggi.empty(); });
    EXPECT_EQ(m_messaggi, std::vector<std::wstring>{L"Cin errato"});
}

// A character outside ISO-8859-1 typed into a box never matches a code.
TEST_F(FrmBancariWin32, CarattereFuoriLatin1) {
    Clicca("optVerifica");
    Scrivi("txtAbi", L"05428");
    Scrivi("txtCab", L"11101");
    Scrivi("txtCC", L"123456");
    Scrivi("txtCin", L"\u20AC");
    Clicca("cmdGo");
    EXPECT_EQ(m_messaggi, std::vector<std::wstring>{L"Cin errato"});
}

} // namespace
