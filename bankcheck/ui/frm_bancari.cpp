#include "frm_bancari.h"

#include "bankcheck/check_bancari.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace bankcheck {

namespace {

enum class Tipo { Cornice, Opzione, Etichetta, Casella, Pulsante };

// One control of the window. Positions and sizes are in twips; an option button stands inside the
// frame listed before it, at a position relative to that frame.
struct Controllo {
    const char* nome;
    Tipo tipo;
    const char* testo;
    bool selezionato;
    int sinistra;
    int alto;
    int larghezza;
    int altezza;
};

// In tab order.
// clang-format off
constexpr auto Controlli = std::to_array<Controllo>({
//   nome           tipo              testo             sel.   left   top  width height
    {"Frame1",      Tipo::Cornice,    "Check Digits",   false,  120,  240, 2052, 1092},
    {"optBBAN",     Tipo::Opzione,    "BBAN",           true,   120,  240, 1212,  252},
    {"optIBAN",     Tipo::Opzione,    "IBAN",           false,  120,  600, 1092,  252},
    {"Frame2",      Tipo::Cornice,    "Operazione",     false, 2520,  240, 2052, 1092},
    {"optCalcolo",  Tipo::Opzione,    "Calcolo",        true,   240,  240, 1212,  252},
    {"optVerifica", Tipo::Opzione,    "Verifica",       false,  240,  600, 1092,  252},
    {"",            Tipo::Etichetta,  "Codice",         false,  120, 1440, 1452,  252},
    {"txtCodice",   Tipo::Casella,    "",               false, 1920, 1440, 2652,  288},
    {"",            Tipo::Etichetta,  "Abi",            false,  120, 1800, 1092,  252},
    {"txtAbi",      Tipo::Casella,    "",               false, 1920, 1800,  732,  288},
    {"",            Tipo::Etichetta,  "Cab",            false, 2880, 1800,  612,  252},
    {"txtCab",      Tipo::Casella,    "",               false, 3720, 1800,  852,  288},
    {"",            Tipo::Etichetta,  "Conto Corrente", false,  120, 2160, 1572,  252},
    {"txtCC",       Tipo::Casella,    "",               false, 1920, 2160, 2652,  288},
    {"",            Tipo::Etichetta,  "Cin",            false,  120, 2520,  732,  252},
    {"txtCin",      Tipo::Casella,    "",               false, 1920, 2520,  372,  288},
    {"",            Tipo::Etichetta,  "Codice Stato",   false,  120, 2880,  972,  252},
    {"txtStato",    Tipo::Casella,    "IT",             false, 1920, 2880,  372,  288},
    {"",            Tipo::Etichetta,  "Check",          false,  120, 3240, 1212,  252},
    {"txtCheck",    Tipo::Casella,    "",               false, 1920, 3240,  372,  288},
    {"cmdGo",       Tipo::Pulsante,   "Aggiorna",       false, 3720, 3120,  852,  372},
});
// clang-format on

constexpr int LarghezzaArea = 4830; // client area, twips
constexpr int AltezzaArea = 3690;
constexpr int LunghezzaMassimaConto = 12;
constexpr int DimensioneCarattere = 11; // pixels

constexpr int Pixel(int twip) { return (twip + 7) / 15; } // 15 twips a pixel, rounded

std::string Latin1(const QLineEdit* casella) { return casella->text().toLatin1().toStdString(); }

QString DaLatin1(const std::string& testo) {
    return QString::fromLatin1(testo.data(), static_cast<qsizetype>(testo.size()));
}

} // namespace

FrmBancari::FrmBancari(QWidget* parent) : QWidget(parent) {
    m_mostraMessaggio = [this](const QString& testo) { mostraMessaggioStandard(testo); };
    setWindowTitle(QStringLiteral("Test Cin e Check Digit IBAN"));
    creaControlli();
    collegaControlli();
}

void FrmBancari::creaControlli() {
    setFixedSize(Pixel(LarghezzaArea), Pixel(AltezzaArea));
    // The layout was drawn for an 8-point font at 96 dots per inch: 11 pixels.
    QFont carattere = font();
    carattere.setPixelSize(DimensioneCarattere);
    setFont(carattere);
    QGroupBox* cornice = nullptr;
    QWidget* precedente = nullptr; // the last control that takes the focus, for the tab order
    for (const Controllo& c : Controlli) {
        const QString testo = QString::fromLatin1(c.testo);
        QWidget* controllo = nullptr;
        switch (c.tipo) {
        case Tipo::Cornice:
            controllo = cornice = new QGroupBox(testo, this);
            break;
        case Tipo::Opzione: {
            auto* opzione = new QRadioButton(testo, cornice);
            opzione->setChecked(c.selezionato);
            controllo = opzione;
            break;
        }
        case Tipo::Etichetta:
            controllo = new QLabel(testo, this);
            break;
        case Tipo::Casella:
            controllo = new QLineEdit(testo, this);
            break;
        case Tipo::Pulsante:
            controllo = new QPushButton(testo, this);
            break;
        }
        controllo->setObjectName(QString::fromLatin1(c.nome));
        // A label has no border: where this font is wider than the one the layout was drawn
        // for, it grows to show its whole caption.
        const int larghezza = c.tipo == Tipo::Etichetta
                                  ? std::max(Pixel(c.larghezza), controllo->sizeHint().width())
                                  : Pixel(c.larghezza);
        controllo->setGeometry(Pixel(c.sinistra), Pixel(c.alto), larghezza, Pixel(c.altezza));
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
    connect(findChild<QPushButton*>(QStringLiteral("cmdGo")), &QPushButton::clicked, this,
            &FrmBancari::aggiorna);
}

bool FrmBancari::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto == m_txtCodice && evento->type() == QEvent::FocusOut) {
        // A context menu (the right-click "Paste") or a switch to another program does not
        // leave the box: the focus comes back to it.
        const auto motivo = static_cast<QFocusEvent*>(evento)->reason();
        if (motivo != Qt::PopupFocusReason && motivo != Qt::ActiveWindowFocusReason)
            suddividiCodice();
    }
    return QWidget::eventFilter(oggetto, evento);
}

// A 23-character BBAN or a 27-character Italian IBAN, blanks aside, is split into the other boxes
// from its end; shorter codes change nothing.
void FrmBancari::suddividiCodice() {
    QString codice = m_txtCodice->text();
    codice.remove(QLatin1Char(' '));
    const qsizetype n = codice.size();
    if (n >= 23) {
        m_txtCC->setText(codice.right(12));
        m_txtAbi->setText(codice.mid(n - 22, 5));
        m_txtCab->setText(codice.mid(n - 17, 5));
        m_txtCin->setText(codice.mid(n - 23, 1));
    }
    if (n == 27) {
        m_txtStato->setText(codice.left(2));
        m_txtCheck->setText(codice.mid(2, 2));
    }
}

void FrmBancari::aggiorna() {
    if (m_txtCC->text().size() > LunghezzaMassimaConto) {
        m_txtCC->setFocus();
        m_mostraMessaggio(QStringLiteral("Lunghezza errata"));
        return;
    }
    // A fresh object each time: the boxes keep what the user typed, the normalised values stay
    // inside the object.
    CheckBancari coordinate;
    coordinate.Abi(Latin1(m_txtAbi));
    coordinate.Cab(Latin1(m_txtCab));
    coordinate.ContoCorrente(Latin1(m_txtCC));
    coordinate.Paese(Latin1(m_txtStato));
    const std::string cin = coordinate.CalcolaCin();

    const bool calcolo = m_optCalcolo->isChecked();
    if (m_optIBAN->isChecked()) {
        coordinate.BBAN(coordinate.CalcolaBBAN());
        const QString check =
            DaLatin1(coordinate.CalcolaCheckIBAN(Latin1(m_txtStato), coordinate.BBAN()));
        // Check digits that cannot be computed (a country holding a blank or a hyphen) are wrong
        // whatever the box holds.
        const bool corretto = !check.isEmpty() && check == m_txtCheck->text();
        if (calcolo)
            m_txtCheck->setText(check);
        else
            m_mostraMessaggio(corretto ? QStringLiteral("Check digit Corretto")
                                       : QStringLiteral("Check digit Errato"));
    } else if (calcolo) {
        m_txtCin->setText(DaLatin1(cin));
    } else {
        m_mostraMessaggio(DaLatin1(cin) == m_txtCin->text() ? QStringLiteral("Cin corretto")
                                                            : QStringLiteral("Cin errato"));
    }
}

void FrmBancari::mostraMessaggioStandard(const QString& testo) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), testo,
                    QMessageBox::Ok, this);
    box.exec();
}

} // namespace bankcheck
