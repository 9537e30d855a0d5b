#include "elaborazione.h"

#include "piattaforma.h"
#include "uscita.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include <exception>

namespace shell::ui {

namespace {

QRect DaTwip(const Rettangolo& r) {
    return QRect(r.sinistra / 15, r.alto / 15, r.larghezza / 15, r.altezza / 15);
}

// Texts of the libraries are ISO-8859-1 with CR LF line ends.
QString DaTesto(std::string_view testo) {
    QString risultato = QString::fromLatin1(testo.data(), static_cast<qsizetype>(testo.size()));
    risultato.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return risultato;
}

QPlainTextEdit* CreaCasella(QWidget* padre, const Rettangolo& posto) {
    auto* casella = new QPlainTextEdit(padre);
    casella->setReadOnly(true);
    casella->setUndoRedoEnabled(false);
    casella->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    casella->setGeometry(DaTwip(posto));
    return casella;
}

} // namespace

void MostraMessaggio(QWidget* padre, const QString& titolo, const QString& testo, bool iconaErrore) {
    QMessageBox box(iconaErrore ? QMessageBox::Critical : QMessageBox::NoIcon, titolo, testo, QMessageBox::Ok,
                    padre);
    box.exec();
}

ServiziFinestra ServiziFinestra::Predefiniti() {
    return {MostraMessaggio, OraLocale, CartellaArchivioPredefinita()};
}

Elaborazione::Elaborazione(const Convertitore& convertitore, std::function<void(ContestoElaborazione&)> esegui,
                           ServiziFinestra servizi, QWidget* padre)
    : QWidget(padre), m_esegui(std::move(esegui)), m_servizi(std::move(servizi)) {
    setObjectName(QStringLiteral("Elaborazione"));
    setWindowTitle(QString::fromLatin1(convertitore.titolo.data(), static_cast<qsizetype>(convertitore.titolo.size())));
    CreaControlli(convertitore.disposizione);
}

void Elaborazione::CreaControlli(const Disposizione& d) {
    setFixedSize(d.larghezza / 15, d.altezza / 15);

    m_messaggio = CreaCasella(this, d.messaggio);
    m_messaggio->setObjectName(QStringLiteral("Messaggio"));

    if (d.errori) {
        m_etichettaErrori = new QLabel(QStringLiteral("Errori di elaborazione:"), this);
        m_etichettaErrori->setObjectName(QStringLiteral("LabelErrori"));
        m_etichettaErrori->setGeometry(DaTwip(*d.etichettaErrori));
        m_errori = CreaCasella(this, *d.errori);
        m_errori->setObjectName(QStringLiteral("Errori"));
    }

    m_avanti = new QPushButton(QStringLiteral("Continua"), this);
    m_avanti->setObjectName(QStringLiteral("Avanti"));
    m_avanti->setGeometry(DaTwip(d.avanti));
    m_avanti->setEnabled(false);
    connect(m_avanti, &QPushButton::clicked, this, &QWidget::close);
}

bool Elaborazione::event(QEvent* evento) {
    if (evento->type() == QEvent::WindowActivate)
        Avvia();
    return QWidget::event(evento);
}

void Elaborazione::Avvia() {
    // The flag is set before the run: a message box of the run activates the window again when it
    // closes, and that must not start a second run.
    if (m_avviata)
        return;
    m_avviata = true;
    QString errore;
    try {
        m_esegui(*this);
    } catch (const std::exception& e) {
        errore = DaTesto(e.what());
    } catch (...) {
        errore = QStringLiteral("Errore imprevisto durante l'elaborazione");
    }
    MostraTesti();
    if (errore.isEmpty()) {
        // A document refused by its check: the user reads the errors, then the program ends as failed.
        if (DocumentoNonGenerato())
            m_esito = 1;
        m_avanti->setEnabled(true);
        return;
    }
    m_esito = 1;
    m_servizi.mostraAvviso(this, QCoreApplication::applicationName(), errore, true);
    hide();
    QCoreApplication::exit(1);
}

void Elaborazione::Scrivi(Casella casella, std::string_view testo, bool svuota, bool aCapo) {
    QPlainTextEdit* box = casella == Casella::Messaggio ? m_messaggio : m_errori;
    if (!box)
        return;
    QString& inAttesa = m_inAttesa[static_cast<int>(casella)];
    if (svuota) {
        box->clear();
        inAttesa.clear();
    }
    inAttesa += DaTesto(testo);
    if (aCapo)
        inAttesa += QLatin1Char('\n');
}

void Elaborazione::MostraTesti() {
    for (Casella casella : {Casella::Messaggio, Casella::Errori}) {
        QString& inAttesa = m_inAttesa[static_cast<int>(casella)];
        QPlainTextEdit* box = casella == Casella::Messaggio ? m_messaggio : m_errori;
        if (!box || inAttesa.isEmpty())
            continue;
        // Appended at the end without moving the caret.
        QTextCursor fine(box->document());
        fine.movePosition(QTextCursor::End);
        fine.insertText(inAttesa);
        inAttesa.clear();
        // The error box keeps its last line in view; the log's caret moves only when the run asks.
        if (casella == Casella::Errori)
            box->moveCursor(QTextCursor::End);
    }
    if (m_cursoreInFondo) {
        m_messaggio->moveCursor(QTextCursor::End);
        m_messaggio->ensureCursorVisible();
        m_cursoreInFondo = false;
    }
}

void Elaborazione::CursoreInFondo() {
    // Nothing is painted before the texts are shown: the caret goes to the end then.
    m_cursoreInFondo = true;
}

void Elaborazione::Avviso(std::string_view testo, bool iconaErrore) {
    MostraTesti();
    m_servizi.mostraAvviso(this, QCoreApplication::applicationName(), DaTesto(testo), iconaErrore);
}

DataOra Elaborazione::Adesso() { return m_servizi.adesso(); }

std::filesystem::path Elaborazione::CartellaArchivio() const { return m_servizi.archivio; }

int AvviaProgramma(const Convertitore& convertitore, const std::filesystem::path& cartellaProgramma,
                   ServiziFinestra servizi) {
    Caricamento caricamento = convertitore.carica(cartellaProgramma, servizi.archivio);
    if (caricamento.fileMancante) {
        servizi.mostraAvviso(nullptr, QCoreApplication::applicationName(),
                             DaTesto(MessaggioFileMancante(*caricamento.fileMancante)), true);
        return 3;
    }
    Elaborazione finestra(convertitore, std::move(caricamento.esegui), std::move(servizi));
    finestra.show();
    finestra.activateWindow(); // the run starts on activation, also where no window manager gives focus
    const int esito = QApplication::exec();
    return finestra.Esito() != 0 ? finestra.Esito() : esito;
}

int EseguiProgramma(int argc, char** argv, const Convertitore& convertitore) {
    QApplication applicazione(argc, argv);
    applicazione.setApplicationName(
        QString::fromLatin1(convertitore.programma.data(), static_cast<qsizetype>(convertitore.programma.size())));
    return AvviaProgramma(convertitore, CartellaProgramma(), ServiziFinestra::Predefiniti());
}

} // namespace shell::ui
