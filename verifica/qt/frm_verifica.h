#pragma once
// The supply check window (Qt): the open supplies in a selector, the supply's data, the verdict, the
// findings in a sortable list, the buttons; it draws what the window logic tells it.

#include "verifica/finestra/finestra_verifica.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace verifica::ui {

// What the window takes from outside; tests replace the dialogs and the browser.
struct ServiziFrm {
    // A modal message box with a single OK button, titled with the program's name.
    std::function<void(QWidget* padre, const QString& testo, bool errore)> messaggio;
    // The file dialog: the files chosen, none when cancelled.
    std::function<QStringList(QWidget* padre, const QString& titolo, const QString& cartella, bool piu)> scegliFile;
    // The folder dialog: the folder chosen, empty when cancelled.
    std::function<QString(QWidget* padre, const QString& titolo, const QString& cartella)> scegliCartella;
    // Opens a page in the default browser.
    std::function<bool(const QString& pagina)> apriPagina;
    finestra::ServiziVerifica verifica;

    static ServiziFrm Predefiniti();
};

class ModelloRilievi;

class FrmVerifica : public QWidget, private finestra::VistaVerifica {
    Q_OBJECT

public:
    explicit FrmVerifica(ServiziFrm servizi = ServiziFrm::Predefiniti(), QWidget* padre = nullptr);
    ~FrmVerifica() override;

    finestra::FinestraVerifica& Logica() { return *m_logica; }

    QComboBox* File() const { return m_file; }
    QLabel* Intestazione() const { return m_intestazione; }
    QLabel* Esito() const { return m_esito; }
    QTableView* Rilievi() const { return m_rilievi; }
    QPlainTextEdit* RilievoScelto() const { return m_rilievoScelto; }
    QProgressBar* Avanzamento() const { return m_avanzamento; }
    QPushButton* Pulsante(finestra::Pulsante pulsante) const;
    QTableWidget* Archivio() const { return m_archivio; }
    QListWidget* RilieviInsieme() const { return m_rilieviInsieme; }
    QLabel* Riepilogo() const { return m_riepilogo; }

protected:
    void closeEvent(QCloseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void dragEnterEvent(QDragEnterEvent* evento) override;
    void dropEvent(QDropEvent* evento) override;

private:
    void CreaControlli();
    void CollegaControlli();
    // The line under the list: the whole text of the row chosen there, empty for none.
    void MostraRilievoScelto();

    // finestra::VistaVerifica
    void MostraFile(const std::vector<std::string>& file, int scelto) override;
    void MostraIntestazione(const std::vector<std::pair<std::string, std::string>>& righe) override;
    void MostraEsito(const std::string& testo, finestra::TipoEsito tipo) override;
    void MostraRilievi(std::size_t righe, finestra::ColonnaRilievi colonna, bool crescente) override;
    void AbilitaPulsanti(bool distinta, bool confronta) override;
    void MostraArchivio(const finestra::ArchivioVisibile* archivio, bool torna, bool apriFornitura) override;
    std::optional<std::filesystem::path> ScegliCartella(std::string_view titolo,
                                                        const std::filesystem::path& cartella) override;
    void MostraAvanzamento(const std::optional<finestra::AvanzamentoVisibile>& avanzamento) override;
    std::vector<std::filesystem::path> ScegliFile(std::string_view titolo, const std::filesystem::path& cartella,
                                                  bool piu) override;
    void Messaggio(const std::string& testo, bool errore) override;
    bool ApriNelBrowser(const std::filesystem::path& pagina) override;
    void Sveglia() override;

    ServiziFrm m_servizi;
    QComboBox* m_file = nullptr;
    QLabel* m_intestazione = nullptr;
    QLabel* m_esito = nullptr;
    QLabel* m_inCorso = nullptr;
    QProgressBar* m_avanzamento = nullptr;
    QTableView* m_rilievi = nullptr;
    ModelloRilievi* m_modello = nullptr;
    QPlainTextEdit* m_rilievoScelto = nullptr;
    QPushButton* m_pulsanti[finestra::Pulsanti.size()] = {};
    // The supply's controls, and the archive's shown in their place.
    QWidget* m_pannelloFile = nullptr;
    QWidget* m_pannelloRilievi = nullptr;
    QWidget* m_pannelloArchivio = nullptr;
    QLabel* m_cartella = nullptr;
    QTableWidget* m_archivio = nullptr;
    QListWidget* m_rilieviInsieme = nullptr;
    QLabel* m_riepilogo = nullptr;
    bool m_aggiornando = false; // the selector is being filled: its signals are not the user's
    // Last: it stops its thread before the controls go.
    std::unique_ptr<finestra::FinestraVerifica> m_logica;
};

} // namespace verifica::ui
