#include "verifica/qt/frm_verifica.h"

#include "shell/piattaforma.h"
#include "verifica/archivio.h"
#include "verifica/programma_verifica.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTextDocument>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace verifica::ui {

namespace fs = std::filesystem;
using finestra::ColonnaRilievi;
using finestra::ColonneRilievi;
using finestra::Pulsante;
using verifica::ColonneArchivio;

namespace {

QString DaLatin1(std::string_view testo) {
    return QString::fromLatin1(testo.data(), static_cast<qsizetype>(testo.size()));
}

QString DaPercorso(const fs::path& percorso) {
    const std::u8string utf8 = percorso.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(utf8.data()), static_cast<qsizetype>(utf8.size()));
}

fs::path InPercorso(const QString& testo) {
    const QByteArray utf8 = testo.toUtf8();
    return fs::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.constData()), static_cast<std::size_t>(utf8.size())));
}

// 15 twips a pixel at 96 dots per inch.
constexpr int Pixel(int twip) { return twip / 15; }

// The files of a drop: the local ones.
std::vector<fs::path> FileLocali(const QMimeData* dati) {
    std::vector<fs::path> file;
    if (dati && dati->hasUrls())
        for (const QUrl& url : dati->urls())
            if (url.isLocalFile())
                file.push_back(InPercorso(url.toLocalFile()));
    return file;
}

void MostraMessaggioStandard(QWidget* padre, const QString& testo, bool errore) {
    QMessageBox box(errore ? QMessageBox::Critical : QMessageBox::Warning, QCoreApplication::applicationName(), testo,
                    QMessageBox::Ok, padre);
    box.exec();
}

QStringList ScegliFileStandard(QWidget* padre, const QString& titolo, const QString& cartella, bool piu) {
    // The supplies' names end in lower or upper case (MV...TXT): both are listed.
    QStringList modelli;
    for (const std::string_view estensione : finestra::EstensioniForniture)
        modelli << QStringLiteral("*.") + DaLatin1(estensione) << QStringLiteral("*.") + DaLatin1(estensione).toUpper();
    const QString filtri = DaLatin1(finestra::NomeFiltroForniture) + QStringLiteral(" (") +
                           modelli.join(QLatin1Char(' ')) + QStringLiteral(");;") +
                           DaLatin1(finestra::NomeFiltroTutti) + QStringLiteral(" (*)");
    if (piu)
        return QFileDialog::getOpenFileNames(padre, titolo, cartella, filtri);
    const QString scelto = QFileDialog::getOpenFileName(padre, titolo, cartella, filtri);
    return scelto.isEmpty() ? QStringList() : QStringList{scelto};
}

QString ScegliCartellaStandard(QWidget* padre, const QString& titolo, const QString& cartella) {
    return QFileDialog::getExistingDirectory(padre, titolo, cartella);
}

} // namespace

// The findings list: its cells come from the window logic when the view draws them, so a list of any
// length costs nothing to fill.
class ModelloRilievi : public QAbstractTableModel {
public:
    ModelloRilievi(const finestra::FinestraVerifica& logica, QObject* padre)
        : QAbstractTableModel(padre), m_logica(logica) {}

    void Reimposta(std::size_t righe) {
        beginResetModel();
        m_righe = righe;
        endResetModel();
    }

    int rowCount(const QModelIndex& padre = QModelIndex()) const override {
        return padre.isValid() ? 0 : static_cast<int>(m_righe);
    }
    int columnCount(const QModelIndex& padre = QModelIndex()) const override {
        return padre.isValid() ? 0 : static_cast<int>(ColonneRilievi.size());
    }
    QVariant data(const QModelIndex& indice, int ruolo) const override {
        if (!indice.isValid())
            return {};
        const auto& colonna = ColonneRilievi[static_cast<std::size_t>(indice.column())];
        if (ruolo == Qt::DisplayRole)
            return DaLatin1(m_logica.Cella(static_cast<std::size_t>(indice.row()), colonna.colonna));
        if (ruolo == Qt::ToolTipRole) {
            // The whole finding, as rich text so that a long one wraps, within a width of its own (a tip
            // left to itself wraps it a few words a line); its spaces kept.
            const QString testo = DaLatin1(m_logica.TestoIntero(static_cast<std::size_t>(indice.row())));
            if (testo.isEmpty())
                return {};
            const int larghezza = std::min(QFontMetrics(QToolTip::font()).horizontalAdvance(testo) + 1,
                                           Pixel(finestra::LarghezzaSuggerimento));
            return QStringLiteral("<table width=\"%1\"><tr><td style=\"white-space:pre-wrap\">%2</td></tr></table>")
                .arg(QString::number(larghezza), testo.toHtmlEscaped());
        }
        if (ruolo == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignVCenter | (colonna.aDestra ? Qt::AlignRight : Qt::AlignLeft));
        return {};
    }
    QVariant headerData(int sezione, Qt::Orientation orientamento, int ruolo) const override {
        if (orientamento != Qt::Horizontal || sezione < 0 || sezione >= static_cast<int>(ColonneRilievi.size()))
            return {};
        if (ruolo == Qt::DisplayRole)
            return DaLatin1(ColonneRilievi[static_cast<std::size_t>(sezione)].titolo);
        return {};
    }

private:
    const finestra::FinestraVerifica& m_logica;
    std::size_t m_righe = 0;
};

ServiziFrm ServiziFrm::Predefiniti() {
    finestra::ServiziVerifica verifica;
    verifica.archivio = shell::CartellaArchivioPredefinita();
    // The user's own folder for the pages the window writes (the system's temporary folder is shared).
    verifica.cartellaPagine = InPercorso(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)) / "pagine";
    verifica.guida = finestra::PercorsoGuida(shell::CartellaProgramma());
    return {MostraMessaggioStandard, ScegliFileStandard, ScegliCartellaStandard,
            [](const QString& pagina) { return QDesktopServices::openUrl(QUrl::fromLocalFile(pagina)); },
            std::move(verifica)};
}

FrmVerifica::FrmVerifica(ServiziFrm servizi, QWidget* padre) : QWidget(padre), m_servizi(std::move(servizi)) {
    setObjectName(QStringLiteral("FrmVerifica"));
    setWindowTitle(DaLatin1(finestra::TitoloFinestra));
    m_logica =
        std::make_unique<finestra::FinestraVerifica>(static_cast<finestra::VistaVerifica&>(*this), m_servizi.verifica);
    CreaControlli();
    CollegaControlli();
}

FrmVerifica::~FrmVerifica() { m_logica->Chiudi(); }

void FrmVerifica::CreaControlli() {
    setAcceptDrops(true);
    setMinimumSize(Pixel(9600), Pixel(6900));
    resize(Pixel(14400), Pixel(9000));

    auto* etichettaFile = new QLabel(DaLatin1(finestra::EtichettaFile), this);
    m_file = new QComboBox(this);
    m_file->setObjectName(QStringLiteral("File"));
    m_file->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_file->setMinimumContentsLength(40);
    m_file->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    etichettaFile->setBuddy(m_file);

    m_intestazione = new QLabel(this);
    m_intestazione->setObjectName(QStringLiteral("Intestazione"));
    m_intestazione->setTextFormat(Qt::PlainText);
    m_intestazione->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_esito = new QLabel(this);
    m_esito->setObjectName(QStringLiteral("Esito"));
    m_esito->setTextFormat(Qt::PlainText);
    m_esito->setWordWrap(true);
    QFont grassetto = m_esito->font();
    grassetto.setBold(true);
    grassetto.setPointSizeF(grassetto.pointSizeF() * 1.25);
    m_esito->setFont(grassetto);

    m_inCorso = new QLabel(this);
    m_inCorso->setObjectName(QStringLiteral("InCorso"));
    m_inCorso->setTextFormat(Qt::PlainText);
    m_avanzamento = new QProgressBar(this);
    m_avanzamento->setObjectName(QStringLiteral("Avanzamento"));
    m_avanzamento->setRange(0, 100);
    m_avanzamento->setFixedWidth(Pixel(3000));
    m_inCorso->hide();
    m_avanzamento->hide();

    auto* etichettaRilievi = new QLabel(DaLatin1(finestra::EtichettaRilievi), this);
    m_rilievi = new QTableView(this);
    m_rilievi->setObjectName(QStringLiteral("Rilievi"));
    m_modello = new ModelloRilievi(*m_logica, m_rilievi);
    m_rilievi->setModel(m_modello);
    m_rilievi->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rilievi->setSelectionMode(QAbstractItemView::SingleSelection);
    m_rilievi->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rilievi->setWordWrap(false);
    m_rilievi->setTabKeyNavigation(false); // Tab leaves the list, as in a list box
    m_rilievi->setAlternatingRowColors(true);
    m_rilievi->verticalHeader()->hide();
    m_rilievi->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* testa = m_rilievi->horizontalHeader();
    testa->setSectionsClickable(true);
    testa->setSortIndicatorShown(true);
    testa->setStretchLastSection(true);
    testa->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (std::size_t c = 0; c < ColonneRilievi.size(); ++c)
        testa->resizeSection(static_cast<int>(c), Pixel(ColonneRilievi[c].larghezza));
    etichettaRilievi->setBuddy(m_rilievi);

    // The finding chosen in the list, whole: a few lines that wrap, read-only, to select and copy.
    auto* etichettaRilievoScelto = new QLabel(DaLatin1(finestra::EtichettaRilievoScelto), this);
    m_rilievoScelto = new QPlainTextEdit(this);
    m_rilievoScelto->setObjectName(QStringLiteral("RilievoScelto"));
    m_rilievoScelto->setReadOnly(true);
    m_rilievoScelto->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_rilievoScelto->setTabChangesFocus(true);
    m_rilievoScelto->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_rilievoScelto->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const int margini =
        2 * (m_rilievoScelto->frameWidth() + static_cast<int>(m_rilievoScelto->document()->documentMargin()));
    m_rilievoScelto->setFixedHeight(3 * m_rilievoScelto->fontMetrics().lineSpacing() + margini);
    m_rilievoScelto->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    etichettaRilievoScelto->setBuddy(m_rilievoScelto);

    for (std::size_t i = 0; i < finestra::Pulsanti.size(); ++i) {
        m_pulsanti[i] = new QPushButton(DaLatin1(finestra::Pulsanti[i].testo), this);
        // Enter presses the button that has the focus.
        m_pulsanti[i]->setAutoDefault(true);
    }
    Pulsante(Pulsante::ApriDistinta)->setObjectName(QStringLiteral("ApriDistinta"));
    Pulsante(Pulsante::ConfrontaCon)->setObjectName(QStringLiteral("ConfrontaCon"));
    Pulsante(Pulsante::Apri)->setObjectName(QStringLiteral("Apri"));
    Pulsante(Pulsante::ApriCartella)->setObjectName(QStringLiteral("ApriCartella"));
    Pulsante(Pulsante::ApriFornitura)->setObjectName(QStringLiteral("ApriFornitura"));
    Pulsante(Pulsante::TornaArchivio)->setObjectName(QStringLiteral("TornaArchivio"));
    Pulsante(Pulsante::ApriFornitura)->hide();
    Pulsante(Pulsante::TornaArchivio)->hide();
    Pulsante(Pulsante::Guida)->setObjectName(QStringLiteral("Guida"));

    // The archive's table, its findings and its summary, in place of the supply's controls.
    m_cartella = new QLabel(this);
    m_cartella->setObjectName(QStringLiteral("Cartella"));
    m_cartella->setTextFormat(Qt::PlainText);
    auto* etichettaArchivio = new QLabel(DaLatin1(finestra::EtichettaArchivio), this);
    m_archivio = new QTableWidget(0, static_cast<int>(ColonneArchivio.size()), this);
    m_archivio->setObjectName(QStringLiteral("Archivio"));
    m_archivio->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_archivio->setSelectionMode(QAbstractItemView::SingleSelection);
    m_archivio->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_archivio->setWordWrap(false);
    m_archivio->setTabKeyNavigation(false);
    m_archivio->setAlternatingRowColors(true);
    m_archivio->verticalHeader()->hide();
    QStringList titoli;
    for (const std::string_view titolo : ColonneArchivio)
        titoli << DaLatin1(titolo);
    m_archivio->setHorizontalHeaderLabels(titoli);
    m_archivio->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_archivio->horizontalHeader()->setStretchLastSection(true);
    // Each column as wide as the table has it, or as its head when that is wider (a larger font).
    for (std::size_t c = 0; c < finestra::LarghezzeArchivio.size(); ++c) {
        const int sezione = static_cast<int>(c);
        m_archivio->horizontalHeader()->resizeSection(
            sezione, std::max(Pixel(finestra::LarghezzeArchivio[c].larghezza),
                              m_archivio->horizontalHeader()->sectionSizeHint(sezione)));
    }
    etichettaArchivio->setBuddy(m_archivio);
    auto* etichettaInsieme = new QLabel(DaLatin1(finestra::EtichettaRilieviInsieme), this);
    m_rilieviInsieme = new QListWidget(this);
    m_rilieviInsieme->setObjectName(QStringLiteral("RilieviInsieme"));
    etichettaInsieme->setBuddy(m_rilieviInsieme);
    m_riepilogo = new QLabel(this);
    m_riepilogo->setObjectName(QStringLiteral("Riepilogo"));
    m_riepilogo->setTextFormat(Qt::PlainText);
    m_riepilogo->setWordWrap(true);
    m_riepilogo->setFont(grassetto);
    Pulsante(Pulsante::Chiudi)->setObjectName(QStringLiteral("Chiudi"));

    auto* rigaFile = new QHBoxLayout;
    rigaFile->addWidget(etichettaFile);
    rigaFile->addWidget(m_file, 1);
    auto* rigaEsito = new QHBoxLayout;
    rigaEsito->addWidget(m_esito, 1);
    rigaEsito->addWidget(m_inCorso);
    rigaEsito->addWidget(m_avanzamento);
    auto* rigaPulsanti = new QHBoxLayout;
    rigaPulsanti->addWidget(Pulsante(Pulsante::ApriDistinta));
    rigaPulsanti->addWidget(Pulsante(Pulsante::ConfrontaCon));
    rigaPulsanti->addWidget(Pulsante(Pulsante::Apri));
    rigaPulsanti->addWidget(Pulsante(Pulsante::ApriCartella));
    rigaPulsanti->addWidget(Pulsante(Pulsante::ApriFornitura));
    rigaPulsanti->addWidget(Pulsante(Pulsante::TornaArchivio));
    rigaPulsanti->addStretch(1);
    rigaPulsanti->addWidget(Pulsante(Pulsante::Guida));
    rigaPulsanti->addWidget(Pulsante(Pulsante::Chiudi));
    m_pannelloFile = new QWidget(this);
    auto* colonnaFile = new QVBoxLayout(m_pannelloFile);
    colonnaFile->setContentsMargins(0, 0, 0, 0);
    colonnaFile->addLayout(rigaFile);
    colonnaFile->addWidget(m_intestazione);
    m_pannelloRilievi = new QWidget(this);
    auto* colonnaRilievi = new QVBoxLayout(m_pannelloRilievi);
    colonnaRilievi->setContentsMargins(0, 0, 0, 0);
    colonnaRilievi->addWidget(etichettaRilievi);
    colonnaRilievi->addWidget(m_rilievi, 1); // the list takes what the window grows by
    colonnaRilievi->addWidget(etichettaRilievoScelto);
    colonnaRilievi->addWidget(m_rilievoScelto);
    m_pannelloArchivio = new QWidget(this);
    auto* colonnaArchivio = new QVBoxLayout(m_pannelloArchivio);
    colonnaArchivio->setContentsMargins(0, 0, 0, 0);
    colonnaArchivio->addWidget(m_cartella);
    colonnaArchivio->addWidget(etichettaArchivio);
    colonnaArchivio->addWidget(m_archivio, 3);
    colonnaArchivio->addWidget(etichettaInsieme);
    colonnaArchivio->addWidget(m_rilieviInsieme, 1);
    colonnaArchivio->addWidget(m_riepilogo);
    m_pannelloArchivio->hide();
    auto* colonna = new QVBoxLayout(this);
    colonna->addWidget(m_pannelloFile);
    colonna->addLayout(rigaEsito);
    colonna->addWidget(m_pannelloRilievi, 1);
    colonna->addWidget(m_pannelloArchivio, 1);
    colonna->addLayout(rigaPulsanti);

    QWidget* precedente = m_file;
    for (QWidget* successivo :
         {static_cast<QWidget*>(m_rilievi), static_cast<QWidget*>(m_rilievoScelto), static_cast<QWidget*>(m_archivio),
          static_cast<QWidget*>(m_rilieviInsieme), static_cast<QWidget*>(Pulsante(Pulsante::ApriDistinta)),
          static_cast<QWidget*>(Pulsante(Pulsante::ConfrontaCon)), static_cast<QWidget*>(Pulsante(Pulsante::Apri)),
          static_cast<QWidget*>(Pulsante(Pulsante::ApriCartella)),
          static_cast<QWidget*>(Pulsante(Pulsante::ApriFornitura)),
          static_cast<QWidget*>(Pulsante(Pulsante::TornaArchivio)), static_cast<QWidget*>(Pulsante(Pulsante::Guida)),
          static_cast<QWidget*>(Pulsante(Pulsante::Chiudi))}) {
        setTabOrder(precedente, successivo);
        precedente = successivo;
    }
}

void FrmVerifica::CollegaControlli() {
    connect(m_file, &QComboBox::currentIndexChanged, this, [this](int indice) {
        if (!m_aggiornando)
            m_logica->Scegli(indice);
    });
    connect(m_rilievi->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int sezione) {
        if (sezione >= 0 && sezione < static_cast<int>(ColonneRilievi.size()))
            m_logica->Ordina(ColonneRilievi[static_cast<std::size_t>(sezione)].colonna);
    });
    connect(m_rilievi->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { MostraRilievoScelto(); });
    // The right click on the chosen finding: its menu in Italian.
    m_rilievoScelto->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_rilievoScelto, &QWidget::customContextMenuRequested, this, [this](const QPoint& punto) {
        QMenu menu(m_rilievoScelto);
        QAction* copia =
            menu.addAction(DaLatin1(finestra::VoceCopia), QKeySequence::Copy, m_rilievoScelto, &QPlainTextEdit::copy);
        copia->setEnabled(m_rilievoScelto->textCursor().hasSelection());
        QAction* tutto = menu.addAction(DaLatin1(finestra::VoceSelezionaTutto), QKeySequence::SelectAll,
                                        m_rilievoScelto, &QPlainTextEdit::selectAll);
        tutto->setEnabled(!m_rilievoScelto->document()->isEmpty());
        menu.exec(m_rilievoScelto->viewport()->mapToGlobal(punto));
    });
    connect(Pulsante(Pulsante::ApriDistinta), &QPushButton::clicked, this, [this] { m_logica->ApriDistinta(); });
    connect(Pulsante(Pulsante::ConfrontaCon), &QPushButton::clicked, this, [this] { m_logica->ConfrontaCon(); });
    connect(Pulsante(Pulsante::Apri), &QPushButton::clicked, this, [this] { m_logica->Apri(); });
    connect(Pulsante(Pulsante::ApriCartella), &QPushButton::clicked, this, [this] { m_logica->ApriCartella(); });
    connect(Pulsante(Pulsante::ApriFornitura), &QPushButton::clicked, this, [this] {
        if (m_archivio->currentRow() >= 0)
            m_logica->ApriRigaArchivio(static_cast<std::size_t>(m_archivio->currentRow()));
    });
    connect(m_archivio, &QTableWidget::cellDoubleClicked, this,
            [this](int riga) { m_logica->ApriRigaArchivio(static_cast<std::size_t>(riga)); });
    connect(Pulsante(Pulsante::TornaArchivio), &QPushButton::clicked, this, [this] { m_logica->TornaAllArchivio(); });
    connect(Pulsante(Pulsante::Guida), &QPushButton::clicked, this, [this] { m_logica->Guida(); });
    connect(Pulsante(Pulsante::Chiudi), &QPushButton::clicked, this, &QWidget::close);
}

QPushButton* FrmVerifica::Pulsante(finestra::Pulsante pulsante) const {
    for (std::size_t i = 0; i < finestra::Pulsanti.size(); ++i)
        if (finestra::Pulsanti[i].pulsante == pulsante)
            return m_pulsanti[i];
    return nullptr;
}

void FrmVerifica::MostraRilievoScelto() {
    const QModelIndexList scelte = m_rilievi->selectionModel()->selectedRows();
    const QString testo =
        scelte.isEmpty() ? QString() : DaLatin1(m_logica->TestoIntero(static_cast<std::size_t>(scelte.front().row())));
    if (m_rilievoScelto->toPlainText() != testo)
        m_rilievoScelto->setPlainText(testo);
}

void FrmVerifica::closeEvent(QCloseEvent* evento) {
    // A long reading stops here: the window closes at once.
    m_logica->Chiudi();
    QWidget::closeEvent(evento);
}

void FrmVerifica::keyPressEvent(QKeyEvent* evento) {
    // What the lists and the selector leave: Enter opens the listing (the archive's row while its table is
    // shown), Escape closes the window.
    switch (evento->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        QPushButton* predefinito =
            Pulsante(m_pannelloArchivio->isVisible() ? Pulsante::ApriFornitura : Pulsante::ApriDistinta);
        if (predefinito->isEnabled())
            predefinito->click();
        return;
    }
    case Qt::Key_Escape:
        close();
        return;
    default:
        QWidget::keyPressEvent(evento);
    }
}

void FrmVerifica::dragEnterEvent(QDragEnterEvent* evento) {
    if (!FileLocali(evento->mimeData()).empty())
        evento->acceptProposedAction();
}

void FrmVerifica::dropEvent(QDropEvent* evento) {
    const std::vector<fs::path> file = FileLocali(evento->mimeData());
    if (file.empty())
        return;
    evento->acceptProposedAction();
    m_logica->FileTrascinati(file);
}

void FrmVerifica::MostraFile(const std::vector<std::string>& file, int scelto) {
    m_aggiornando = true;
    m_file->clear();
    for (const std::string& nome : file)
        m_file->addItem(DaLatin1(nome));
    m_file->setCurrentIndex(scelto);
    m_aggiornando = false;
}

void FrmVerifica::MostraIntestazione(const std::vector<std::pair<std::string, std::string>>& righe) {
    QStringList testo;
    for (const auto& [nome, valore] : righe)
        testo << DaLatin1(nome) + QStringLiteral(": ") + DaLatin1(valore);
    m_intestazione->setText(testo.join(QLatin1Char('\n')));
    m_intestazione->setVisible(!righe.empty());
}

void FrmVerifica::MostraEsito(const std::string& testo, finestra::TipoEsito tipo) {
    m_esito->setText(DaLatin1(testo));
    QPalette colori = palette();
    switch (tipo) {
    case finestra::TipoEsito::Inviabile:
        colori.setColor(QPalette::WindowText, QColor(0x1a, 0x6b, 0x1a));
        break;
    case finestra::TipoEsito::ConErrori:
    case finestra::TipoEsito::Illeggibile:
        colori.setColor(QPalette::WindowText, QColor(0xa0, 0x00, 0x00));
        break;
    case finestra::TipoEsito::Nessuno:
    case finestra::TipoEsito::InLettura:
        break;
    }
    m_esito->setPalette(colori);
}

void FrmVerifica::MostraRilievi(std::size_t righe, ColonnaRilievi colonna, bool crescente) {
    m_modello->Reimposta(righe);
    MostraRilievoScelto(); // the list starts again with no row chosen
    for (std::size_t c = 0; c < ColonneRilievi.size(); ++c)
        if (ColonneRilievi[c].colonna == colonna)
            m_rilievi->horizontalHeader()->setSortIndicator(static_cast<int>(c),
                                                            crescente ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void FrmVerifica::AbilitaPulsanti(bool distinta, bool confronta) {
    Pulsante(Pulsante::ApriDistinta)->setEnabled(distinta);
    Pulsante(Pulsante::ConfrontaCon)->setEnabled(confronta);
}

void FrmVerifica::MostraArchivio(const finestra::ArchivioVisibile* archivio, bool torna, bool apriFornitura) {
    m_pannelloFile->setVisible(!archivio);
    m_pannelloRilievi->setVisible(!archivio);
    m_esito->setVisible(!archivio);
    m_pannelloArchivio->setVisible(archivio);
    Pulsante(Pulsante::ApriFornitura)->setVisible(archivio);
    Pulsante(Pulsante::ApriFornitura)->setEnabled(apriFornitura);
    Pulsante(Pulsante::TornaArchivio)->setVisible(torna);
    if (!archivio)
        return;
    m_cartella->setText(QStringLiteral("Cartella: ") + DaLatin1(archivio->cartella));
    const int scelta = m_archivio->currentRow();
    m_archivio->setRowCount(static_cast<int>(archivio->righe.size()));
    for (std::size_t r = 0; r < archivio->righe.size(); ++r)
        for (std::size_t c = 0; c < ColonneArchivio.size(); ++c) {
            auto* cella = new QTableWidgetItem(DaLatin1(archivio->righe[r][c]));
            cella->setTextAlignment(Qt::AlignVCenter |
                                    (finestra::LarghezzeArchivio[c].aDestra ? Qt::AlignRight : Qt::AlignLeft));
            m_archivio->setItem(static_cast<int>(r), static_cast<int>(c), cella);
        }
    if (!archivio->righe.empty())
        m_archivio->setCurrentCell(scelta >= 0 && scelta < m_archivio->rowCount() ? scelta : 0, 0);
    m_rilieviInsieme->clear();
    for (const std::string& riga : archivio->rilievi)
        m_rilieviInsieme->addItem(DaLatin1(riga));
    m_riepilogo->setText(DaLatin1(archivio->riepilogo));
}

std::optional<fs::path> FrmVerifica::ScegliCartella(std::string_view titolo, const fs::path& cartella) {
    const QString scelta = m_servizi.scegliCartella(this, DaLatin1(titolo), DaPercorso(cartella));
    if (scelta.isEmpty())
        return std::nullopt;
    return InPercorso(scelta);
}

void FrmVerifica::MostraAvanzamento(const std::optional<finestra::AvanzamentoVisibile>& avanzamento) {
    m_inCorso->setVisible(avanzamento.has_value());
    m_avanzamento->setVisible(avanzamento.has_value());
    if (!avanzamento)
        return;
    m_inCorso->setText(DaLatin1(avanzamento->testo));
    m_avanzamento->setValue(avanzamento->percentuale);
}

std::vector<fs::path> FrmVerifica::ScegliFile(std::string_view titolo, const fs::path& cartella, bool piu) {
    std::vector<fs::path> file;
    for (const QString& scelto : m_servizi.scegliFile(this, DaLatin1(titolo), DaPercorso(cartella), piu))
        file.push_back(InPercorso(scelto));
    return file;
}

void FrmVerifica::Messaggio(const std::string& testo, bool errore) {
    m_servizi.messaggio(this, DaLatin1(testo), errore);
}

bool FrmVerifica::ApriNelBrowser(const fs::path& pagina) { return m_servizi.apriPagina(DaPercorso(pagina)); }

// From the thread that reads: the results are taken on the window's thread.
void FrmVerifica::Sveglia() {
    QMetaObject::invokeMethod(
        this, [this] { m_logica->Consegna(); }, Qt::QueuedConnection);
}

} // namespace verifica::ui

int verifica::EseguiProgrammaVerifica(int argc, char** argv) {
    shell::PreparaProcesso();
    QApplication applicazione(argc, argv);
    QApplication::setApplicationName(ui::DaLatin1(finestra::ProgrammaVerifica));
    ui::FrmVerifica finestra;
    std::vector<std::filesystem::path> file;
    const QStringList argomenti = QApplication::arguments();
    for (qsizetype i = 1; i < argomenti.size(); ++i)
        file.push_back(ui::InPercorso(argomenti[i]));
    finestra.Logica().Avvio(file);
    finestra.show();
    return QApplication::exec();
}
