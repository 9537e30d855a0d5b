#pragma once
// The converter window: a progress log, for UniEmens an error box, and the button "Continua".
// It runs the conversion once, on its first activation.

#include "shell/contesto.h"
#include "shell/convertitore.h"
#include "shell/finestra/sequenza.h"

#include <QWidget>

#include <filesystem>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace shell::ui {

// What the window takes from outside; tests replace the message box and the clock.
struct ServiziFinestra {
    // Shows a modal message box with a single OK button and waits for it.
    std::function<void(QWidget* padre, const QString& titolo, const QString& testo, bool iconaErrore)> mostraAvviso;
    std::function<DataOra()> adesso;
    std::filesystem::path archivio;

    static ServiziFinestra Predefiniti();
};

void MostraMessaggio(QWidget* padre, const QString& titolo, const QString& testo, bool iconaErrore);

class Elaborazione : public QWidget, private finestra::VistaElaborazione {
    Q_OBJECT

public:
    Elaborazione(const Convertitore& convertitore, std::function<void(ContestoElaborazione&)> esegui,
                 ServiziFinestra servizi = ServiziFinestra::Predefiniti(), QWidget* padre = nullptr);

    // 0 while running or after a completed run; 1 after an error stopped the run or when the run did
    // not generate its document.
    int Esito() const { return m_sequenza.Esito(); }
    bool Avviata() const { return m_sequenza.Avviata(); }

    QPlainTextEdit* Messaggio() const { return m_messaggio; }
    QPlainTextEdit* Errori() const { return m_errori; }
    QPushButton* Avanti() const { return m_avanti; }

protected:
    bool event(QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void CreaControlli(const Disposizione& disposizione);
    QPlainTextEdit* Box(Casella casella) const { return casella == Casella::Messaggio ? m_messaggio : m_errori; }

    // finestra::VistaElaborazione
    void Aggiungi(Casella casella, std::string_view testo) override;
    void Svuota(Casella casella) override;
    void CursoreInFondo(Casella casella) override;
    void AbilitaAvanti() override;
    void MostraAvviso(std::string_view testo, bool iconaErrore) override;
    void Termina(int esito) override;

    ServiziFinestra m_servizi;
    finestra::SequenzaElaborazione m_sequenza;
    QPlainTextEdit* m_messaggio = nullptr;
    QLabel* m_etichettaErrori = nullptr;
    QPlainTextEdit* m_errori = nullptr;
    QPushButton* m_avanti = nullptr;
};

// Loading and, when the export is there, the window and its event loop, in a running QApplication.
// Returns the exit status: 0 after "Continua", 1 when an error stopped the run (or, after "Continua",
// when the run did not generate its document), 3 when the export file is missing (the window is never
// shown).
int AvviaProgramma(const Convertitore& convertitore, const std::filesystem::path& cartellaProgramma,
                   ServiziFinestra servizi);

// The whole program of a converter. Returns the exit status.
int EseguiProgramma(int argc, char** argv, const Convertitore& convertitore);

} // namespace shell::ui
