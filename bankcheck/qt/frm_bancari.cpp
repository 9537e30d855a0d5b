#include "bankcheck/qt/frm_bancari.h"

#include "bankcheck/programma_bancari.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace bankcheck {

namespace {

constexpr int DimensioneCarattere = 11; // pixels

constexpr int Pixel(int twip) { return (twip + 7) / 15; } // 15 twips a pixel, rounded

QString DaLatin1(std::string_view testo) {
    return QString::fromLatin1(testo.data(), static_cast<qsizetype>(testo.size()));
}

} // namespace

namespace {

// How far below the layout's place the option buttons of a frame go. The layout was drawn for a frame
// whose caption sits on its border; a style that draws the caption above the border (Fusion) starts the
// inside of the frame lower, and the buttons move down by as much, still inside the frame.
int SpostamentoCornice(QGroupBox* cornice) {
    if (!cornice)
        return 0;
    QStyleOptionGroupBox opzione;
    opzione.initFrom(cornice);
    opzione.text = cornice->title();
    opzione.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect etichetta =
        cornice->style()->subControlRect(QStyle::CC_GroupBox, &opzione, QStyle::SC_GroupBoxLabel, cornice);
    // The layout's frame starts its inside at the middle of its caption, on the border; this style's
    // inside starts where its contents margin says.
    return std::max(0, cornice->contentsRect().top() - (etichetta.height() + 1) / 2);
}

} // namespace

FrmBancari::FrmBancari(QWidget* parent) : QWidget(parent) {
    m_mostraMessaggio = [this](const QString& testo) { mostraMessaggioStandard(testo); };
    setWindowTitle(DaLatin1(TitoloBancari));
    creaControlli();
    collegaControlli();
}

void FrmBancari::creaControlli() {
    setFixedSize(Pixel(LarghezzaAreaBancari), Pixel(AltezzaAreaBancari));
    // The layout was drawn for an 8-point font at 96 dots per inch: 11 pixels.
    QFont carattere = font();
    carattere.setPixelSize(DimensioneCarattere);
    setFont(carattere);
    QGroupBox* cornice = nullptr;
    QWidget* precedente = nullptr; // the last control that takes the focus, for the tab order
    for (const ControlloBancari& c : ControlliBancari) {
        const QString testo = QString::fromLatin1(c.testo);
        QWidget* controllo = nullptr;
        switch (c.tipo) {
        case TipoControllo::Cornice:
            controllo = cornice = new QGroupBox(testo, this);
            break;
        case TipoControllo::Opzione: {
            auto* opzione = new QRadioButton(testo, cornice);
            opzione->setChecked(c.selezionato);
            controllo = opzione;
            break;
        }
        case TipoControllo::Etichetta:
            controllo = new QLabel(testo, this);
            break;
        case TipoControllo::Casella:
            controllo = new QLineEdit(testo, this);
            break;
        case TipoControllo::Pulsante:
            controllo = new QPushButton(testo, this);
            break;
        }
        controllo->setObjectName(QString::fromLatin1(c.nome));
        // A label has no border: where this font is wider than the one the layout was drawn
        // for, it grows to show its whole caption.
        const int larghezza = c.tipo == TipoControllo::Etichetta
                                  ? std::max(Pixel(c.larghezza), controllo->sizeHint().width())
                                  : Pixel(c.larghezza);
        int alto = Pixel(c.alto);
        // The layout puts the first option button 240 twips below the frame's top, where the frame
        // once drew its caption on its border. A style that draws the caption above the border
        // (Fusion) starts the frame lower: the buttons move down by as much, inside the frame.
        if (c.tipo == TipoControllo::Opzione)
            alto += SpostamentoCornice(cornice);
        controllo->setGeometry(Pixel(c.sinistra), alto, larghezza, Pixel(c.altezza));
        if (controllo->focusPolicy() != Qt::NoFocus) {
            if (precedente)
                setTabOrder(precedente, controllo);
            precedente = controllo;
        }
    }
    m_optIBAN = findChild<QRadioButton*>(QStringLiteral("optIBAN"));
    m_optCalcolo = findChild<QRadioButton*>(QStringLiteral("optCalcolo"));
    m_txtCodice = findChild<QLineEdit*>(QStringLiteral("txtCodice"));
    m_txtAbi = findChild<QLineEdit*>(QStringLiteral("txtAbi"));
    m_txtCab = findChild<QLineEdit*>(QStringLiteral("txtCab"));
    m_txtCC = findChild<QLineEdit*>(QStringLiteral("txtCC"));
    m_txtCin = findChild<QLineEdit*>(QStringLiteral("txtCin"));
    m_txtStato = findChild<QLineEdit*>(QStringLiteral("txtStato"));
    m_txtCheck = findChild<QLineEdit*>(QStringLiteral("txtCheck"));
}

void FrmBancari::collegaControlli() {
    m_txtCodice->installEventFilter(this);
    connect(findChild<QPushButton*>(QStringLiteral("cmdGo")), &QPushButton::clicked, this, [this] { Aggiorna(*this); });
}

bool FrmBancari::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto == m_txtCodice && evento->type() == QEvent::FocusOut) {
        // A context menu (the right-click "Paste") or a switch to another program does not
        // leave the box: the focus comes back to it.
        const auto motivo = static_cast<QFocusEvent*>(evento)->reason();
        if (motivo != Qt::PopupFocusReason && motivo != Qt::ActiveWindowFocusReason)
            CodiceLasciato(*this);
    }
    return QWidget::eventFilter(oggetto, evento);
}

QLineEdit* FrmBancari::casella(CasellaBancari casella) const {
    switch (casella) {
    case CasellaBancari::Codice:
        return m_txtCodice;
    case CasellaBancari::Abi:
        return m_txtAbi;
    case CasellaBancari::Cab:
        return m_txtCab;
    case CasellaBancari::ContoCorrente:
        return m_txtCC;
    case CasellaBancari::Cin:
        return m_txtCin;
    case CasellaBancari::Stato:
        return m_txtStato;
    case CasellaBancari::Check:
        break;
    }
    return m_txtCheck;
}

// What the user typed, as ISO-8859-1 (a character outside it becomes '?', which no code holds).
std::string FrmBancari::Testo(CasellaBancari c) const { return casella(c)->text().toLatin1().toStdString(); }

void FrmBancari::ImpostaTesto(CasellaBancari c, const std::string& testo) { casella(c)->setText(DaLatin1(testo)); }

bool FrmBancari::IbanSelezionato() const { return m_optIBAN->isChecked(); }

bool FrmBancari::CalcoloSelezionato() const { return m_optCalcolo->isChecked(); }

void FrmBancari::DaiFuoco(CasellaBancari c) { casella(c)->setFocus(); }

void FrmBancari::Messaggio(std::string_view testo) { m_mostraMessaggio(DaLatin1(testo)); }

void FrmBancari::mostraMessaggioStandard(const QString& testo) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), testo, QMessageBox::Ok, this);
    box.exec();
}

} // namespace bankcheck

int bankcheck::EseguiProgrammaBancari(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("obrisk"));
    FrmBancari finestra;
    finestra.show();
    return QApplication::exec();
}
