#include "shell/qt/elaborazione.h"

#include "shell/piattaforma.h"
#include "shell/finestra/programma.h"
#include "shell/uscita.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>

namespace shell::ui {

namespace {

QRect DaTwip(const Rettangolo& r) { return QRect(r.sinistra / 15, r.alto / 15, r.larghezza / 15, r.altezza / 15); }

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
    QMessageBox box(iconaErrore ? QMessageBox::Critical : QMessageBox::NoIcon, titolo, testo, QMessageBox::Ok, padre);
    box.exec();
}

ServiziFinestra ServiziFinestra::Predefiniti() {
    return {MostraMessaggio, [] { return OraLocale(); }, CartellaArchivioPredefinita()};
}

Elaborazione::Elaborazione(const Convertitore& convertitore, std::function<void(ContestoElaborazione&)> esegui,
                           ServiziFinestra servizi, QWidget* padre)
    : QWidget(padre), m_servizi(std::move(servizi)),
      m_sequenza(*this, std::move(esegui), m_servizi.adesso, m_servizi.archivio) {
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
        // Where the table puts it, as wide as its caption needs (the table's width is made for another font).
        QRect posto = DaTwip(*d.etichettaErrori);
        posto.setWidth(std::max(posto.width(), m_etichettaErrori->sizeHint().width()));
        m_etichettaErrori->setGeometry(posto);
        m_errori = CreaCasella(this, *d.errori);
        m_errori->setObjectName(QStringLiteral("Errori"));
    }

    m_avanti = new QPushButton(QStringLiteral("Continua"), this);
    m_avanti->setObjectName(QStringLiteral("Avanti"));
    m_avanti->setGeometry(DaTwip(d.avanti));
    m_avanti->setEnabled(false);
    connect(m_avanti, &QPushButton::clicked, this, [this] { m_sequenza.Chiudi(); });
}

bool Elaborazione::event(QEvent* evento) {
    if (evento->type() == QEvent::WindowActivate)
        m_sequenza.Attivazione();
    return QWidget::event(evento);
}

void Elaborazione::closeEvent(QCloseEvent* evento) {
    // The close box ends the program as "Continua" does.
    m_sequenza.Chiudi();
    QWidget::closeEvent(evento);
}

void Elaborazione::Aggiungi(Casella casella, std::string_view testo) {
    QPlainTextEdit* box = Box(casella);
    if (!box)
        return;
    // Appended at the end without moving the caret.
    QTextCursor fine(box->document());
    fine.movePosition(QTextCursor::End);
    fine.insertText(DaTesto(testo));
}

void Elaborazione::Svuota(Casella casella) {
    if (QPlainTextEdit* box = Box(casella))
        box->clear();
}

void Elaborazione::CursoreInFondo(Casella casella) {
    if (QPlainTextEdit* box = Box(casella)) {
        box->moveCursor(QTextCursor::End);
        box->ensureCursorVisible();
    }
}

void Elaborazione::AbilitaAvanti() { m_avanti->setEnabled(true); }

void Elaborazione::MostraAvviso(std::string_view testo, bool iconaErrore) {
    m_servizi.mostraAvviso(this, QCoreApplication::applicationName(), DaTesto(testo), iconaErrore);
}

void Elaborazione::Termina(int esito) {
    hide();
    QCoreApplication::exit(esito);
}

int AvviaProgramma(const Convertitore& convertitore, const std::filesystem::path& cartellaProgramma,
                   ServiziFinestra servizi) {
    const auto avviso = [&](std::string_view testo) {
        servizi.mostraAvviso(nullptr, QCoreApplication::applicationName(), DaTesto(testo), true);
    };
    const std::filesystem::path archivio = servizi.archivio;
    return finestra::AvviaConvertitore(
        convertitore, cartellaProgramma, archivio, avviso, [&](std::function<void(ContestoElaborazione&)> esegui) {
            Elaborazione vista(convertitore, std::move(esegui), std::move(servizi));
            vista.show();
            vista.activateWindow(); // the run starts on activation, also where no window manager gives focus
            const int esito = QApplication::exec();
            return vista.Esito() != 0 ? vista.Esito() : esito;
        });
}

int EseguiProgramma(int argc, char** argv, const Convertitore& convertitore) {
    QApplication applicazione(argc, argv);
    applicazione.setApplicationName(
        QString::fromLatin1(convertitore.programma.data(), static_cast<qsizetype>(convertitore.programma.size())));
    return AvviaProgramma(convertitore, CartellaProgramma(), ServiziFinestra::Predefiniti());
}

} // namespace shell::ui

int shell::EseguiProgramma(int argc, char** argv, const Convertitore& convertitore) {
    PreparaProcesso();
    return ui::EseguiProgramma(argc, argv, convertitore);
}
