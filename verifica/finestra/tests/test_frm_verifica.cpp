// The Qt check window driven through its real widgets (offscreen platform): started with the converter's
// own supply and with one whose tax code is wrong, the verdict label and the list as the checker finds
// them; the chosen finding read whole and copied; sorting by a click on a column's head, the selector of
// several files, files dropped on it, the listing opened in the browser, the keyboard, the size, and a
// long reading stopped by closing.

#include "tests/supporto/cartella_temporanea.h"
#include "verifica/distinta.h"
#include "verifica/finestra/tests/forniture_di_prova.h"
#include "verifica/qt/frm_verifica.h"
#include "verifica/tests/supporto_fornitura.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTableView>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <memory>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::LeggiFile;
using verifica::finestra::ColonneRilievi;
using verifica::finestra::Pulsante;
using verifica::ui::FrmVerifica;

namespace {

QString DaLatin1(const std::string& testo) {
    return QString::fromLatin1(testo.data(), static_cast<qsizetype>(testo.size()));
}

QString Testo(const fs::path& percorso) { return QString::fromStdString(percorso.string()); }

} // namespace

class TestFrmVerifica : public QObject {
    Q_OBJECT

    std::unique_ptr<CartellaTemporanea> m_dir;
    QStringList m_messaggi;
    QStringList m_dialoghi;        // "titolo|cartella|piu"
    QList<QStringList> m_risposte; // the dialogs' answers, in order
    QStringList m_pagine;          // opened in the browser

    verifica::ui::ServiziFrm Servizi() {
        verifica::ui::ServiziFrm servizi;
        servizi.messaggio = [this](QWidget*, const QString& testo, bool) { m_messaggi << testo; };
        servizi.scegliFile = [this](QWidget*, const QString& titolo, const QString& cartella, bool piu) {
            m_dialoghi << titolo + QLatin1Char('|') + cartella + QLatin1Char('|') +
                              (piu ? QLatin1String("piu") : QLatin1String("uno"));
            return m_risposte.isEmpty() ? QStringList() : m_risposte.takeFirst();
        };
        servizi.apriPagina = [this](const QString& pagina) {
            m_pagine << pagina;
            return true;
        };
        servizi.verifica.archivio = *m_dir / "ARC";
        servizi.verifica.cartellaPagine = *m_dir / "pagine";
        servizi.verifica.guida = *m_dir / "Guida.html";
        return servizi;
    }

    // The list as it shows, row by row, cells separated by "|".
    static QStringList Righe(const FrmVerifica& finestra) {
        QStringList righe;
        const QAbstractItemModel* modello = finestra.Rilievi()->model();
        for (int r = 0; r < modello->rowCount(); ++r) {
            QStringList celle;
            for (int c = 0; c < modello->columnCount(); ++c)
                celle << modello->index(r, c).data().toString();
            righe << celle.join(QLatin1Char('|'));
        }
        return righe;
    }

    // What the checker finds in the file, as the window must show it.
    static QStringList RigheAttese(const verifica::FornituraLetta& letta) {
        QStringList righe;
        for (const lettura::Rilievo& r : letta.rilievi)
            righe << QStringLiteral("%1|%2|%3|%4")
                         .arg(r.riga > 0 ? QString::number(r.riga) : QString(),
                              r.gravita == lettura::Gravita::Errore ? QStringLiteral("Errore")
                                                                    : QStringLiteral("Avviso"),
                              QString(), DaLatin1(r.messaggio));
        return righe;
    }

    std::unique_ptr<FrmVerifica> Apri(const std::vector<fs::path>& file, verifica::ui::ServiziFrm servizi) {
        auto finestra = std::make_unique<FrmVerifica>(std::move(servizi));
        finestra->Logica().Avvio(file);
        finestra->show();
        return finestra;
    }
    std::unique_ptr<FrmVerifica> Apri(const std::vector<fs::path>& file) { return Apri(file, Servizi()); }

    // The window shows what the checker finds in `percorso`.
    void MostraCioCheTrova(const FrmVerifica& finestra, const fs::path& percorso, verifica::FornituraLetta& letta) {
        letta = verifica::LeggiFornitura(percorso);
        QTRY_COMPARE(finestra.Esito()->text(), DaLatin1(verifica::TestoEsito(letta.esito)));
        if (letta.persone.empty()) // without persons the list is the checker's findings as they are
            QCOMPARE(Righe(finestra), RigheAttese(letta));
        else
            QCOMPARE(finestra.Rilievi()->model()->rowCount(), static_cast<int>(letta.rilievi.size()));
        QVERIFY(finestra.Intestazione()->text().contains(DaLatin1("Formato: 770 Semplificato")));
        QVERIFY(!finestra.Avanzamento()->isVisible());
    }

private slots:
    // A folder given: the archive's table in place of the list; Tab through it, the set's findings and the buttons
    // shown; Enter opens the row chosen, Alt+T comes back, a double click opens a row too.
    void archivio() {
        const fs::path fornitura = verifica::finestra::test::Fornitura770(*m_dir / "ARC");
        fs::remove_all(*m_dir / "ARC" / "carvek");
        fs::copy_file(fornitura, *m_dir / "ARC" / "Copia770.txt");
        auto finestra = Apri({*m_dir / "ARC"});
        QApplication::setActiveWindow(finestra.get());
        QVERIFY(QTest::qWaitForWindowActive(finestra.get()));
        QTRY_COMPARE(finestra->Archivio()->rowCount(), 2);
        QCOMPARE(finestra->Archivio()->item(0, 4)->text(), QStringLiteral("Copia770.txt"));
        QVERIFY(!finestra->Rilievi()->isVisible());
        QVERIFY(finestra->Pulsante(Pulsante::ApriFornitura)->isVisible());
        QVERIFY(!finestra->Pulsante(Pulsante::TornaArchivio)->isVisible());
        finestra->Archivio()->setFocus();
        QStringList visitati;
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visitati << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visitati, (QStringList{"RilieviInsieme", "Apri", "ApriCartella", "ApriFornitura", "Guida", "Chiudi",
                                        "Archivio"}));
        finestra->Archivio()->setCurrentCell(1, 0);
        QTest::keyClick(finestra->Archivio(), Qt::Key_Return);
        verifica::FornituraLetta letta;
        MostraCioCheTrova(*finestra, fornitura, letta);
        QVERIFY(!finestra->Archivio()->isVisible());
        QVERIFY(finestra->Pulsante(Pulsante::TornaArchivio)->isVisible());
        QCOMPARE(finestra->File()->count(), 1);
        QTest::keyClick(finestra.get(), Qt::Key_T, Qt::AltModifier);
        QTRY_VERIFY(finestra->Archivio()->isVisible());
        const QPoint punto = finestra->Archivio()->visualItemRect(finestra->Archivio()->item(0, 1)).center();
        QTest::mouseClick(finestra->Archivio()->viewport(), Qt::LeftButton, {}, punto);
        QTest::mouseDClick(finestra->Archivio()->viewport(), Qt::LeftButton, {}, punto);
        QTRY_COMPARE(finestra->File()->count(), 2);
        QVERIFY(!finestra->Archivio()->isVisible());
    }
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("verifica")); }
    void init() {
        m_dir = std::make_unique<CartellaTemporanea>();
        m_messaggi.clear();
        m_dialoghi.clear();
        m_risposte.clear();
        m_pagine.clear();
    }
    void cleanup() { m_dir.reset(); }

    void vuotaSeIlDialogoVieneAnnullato() {
        auto finestra = Apri({});
        QCOMPARE(m_dialoghi, QStringList{QStringLiteral("Apri una fornitura|%1|piu").arg(Testo(*m_dir / "ARC"))});
        QCOMPARE(finestra->windowTitle(), QStringLiteral("Verifica forniture"));
        QCOMPARE(finestra->File()->count(), 0);
        QVERIFY(finestra->Esito()->text().startsWith(QStringLiteral("Nessuna fornitura aperta")));
        QCOMPARE(finestra->Rilievi()->model()->rowCount(), 0);
        QVERIFY(!finestra->Pulsante(Pulsante::ApriDistinta)->isEnabled());
        QVERIFY(!finestra->Pulsante(Pulsante::ConfrontaCon)->isEnabled());
        QVERIFY(finestra->Pulsante(Pulsante::Apri)->isEnabled());
        // "Apri..." opens the dialog again, in the archive folder.
        QTest::mouseClick(finestra->Pulsante(Pulsante::Apri), Qt::LeftButton);
        QCOMPARE(m_dialoghi.size(), 2);
        QCOMPARE(m_dialoghi[1], m_dialoghi[0]);
    }

    // The converter's own supply: the window shows what the checker finds, "Nessun errore".
    void fornituraDelConvertitore() {
        const fs::path fornitura = verifica::finestra::test::Fornitura770(*m_dir / "ARC");
        auto finestra = Apri({fornitura});
        QCOMPARE(finestra->File()->currentText(), Testo(fornitura));
        verifica::FornituraLetta letta;
        MostraCioCheTrova(*finestra, fornitura, letta);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(finestra->Pulsante(Pulsante::ApriDistinta)->isEnabled(), true);
        QVERIFY(finestra->Esito()->text().startsWith(QStringLiteral("Nessun errore")));
        for (const QString& riga : Righe(*finestra))
            QVERIFY2(!riga.contains(QStringLiteral("|Errore|")), qPrintable(riga));
    }

    // One employee's tax code wrong wherever it is written: "errori" in the verdict, the finding in the list.
    void codiceFiscaleErrato() {
        const fs::path buona = verifica::finestra::test::Fornitura770(*m_dir / "ARC");
        std::string errato;
        const fs::path fornitura = verifica::finestra::test::ConCodiceFiscaleErrato(buona, *m_dir / "errata", errato);
        auto finestra = Apri({fornitura});
        verifica::FornituraLetta letta;
        MostraCioCheTrova(*finestra, fornitura, letta);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(finestra->Esito()->text().contains(QStringLiteral("errore")));
        bool trovato = false;
        for (const QString& riga : Righe(*finestra))
            trovato = trovato || (riga.contains(QStringLiteral("|Errore|")) && riga.contains(DaLatin1(errato)));
        QVERIFY2(trovato, qPrintable(Righe(*finestra).join(QLatin1Char('\n'))));
    }

    // A finding longer than its cell: chosen in the list, the box under it shows it whole, with the file, the
    // line and the kind, its control characters as codes; the row's tip says the same; the box is read-only,
    // its text copied as from any text box.
    void rilievoSceltoPerIntero() {
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
        auto finestra = Apri({*m_dir / "a.xml"}, std::move(servizi));
        QTableView* lista = finestra->Rilievi();
        QPlainTextEdit* scelto = finestra->RilievoScelto();
        QTRY_COMPARE(lista->model()->rowCount(), 2);
        QTRY_VERIFY(finestra->Logica().Inattiva());
        QVERIFY(scelto->isReadOnly());
        QCOMPARE(scelto->toPlainText(), QString());
        const QString intero = QStringLiteral("a.xml:7: avviso: importo non impostato (dipendente ROSSI MARIO, "
                                              "codice 'A\\x01B'%1matricola %2) fine")
                                   .arg(QString(40, QLatin1Char(' ')), QString(200, QLatin1Char('7')));
        const QPoint riga = lista->visualRect(lista->model()->index(1, 3)).center();
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, riga);
        QCOMPARE(scelto->toPlainText(), intero);
        QTextDocument suggerimento;
        suggerimento.setHtml(lista->model()->index(1, 0).data(Qt::ToolTipRole).toString());
        QCOMPARE(suggerimento.toPlainText().trimmed(), intero); // the cell of a table, between line ends

        // Selected and copied with the keyboard, as in any text box.
        QApplication::clipboard()->clear();
        scelto->setFocus();
        QTest::keyClick(scelto, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(scelto, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), intero);
        // The right click: its menu in Italian; "Copia" copies what is selected.
        QApplication::clipboard()->clear();
        QStringList voci;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* voce : menu->actions())
                voci << voce->text() + (voce->isEnabled() ? QString() : QStringLiteral(" (spenta)"));
            menu->actions().front()->trigger();
            menu->close();
        });
        QContextMenuEvent clic(QContextMenuEvent::Mouse, QPoint(5, 5), scelto->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(scelto->viewport(), &clic);
        QCOMPARE(voci, (QStringList{"&Copia", "Seleziona &tutto"}));
        QCOMPARE(QApplication::clipboard()->text(), intero);

        // Sorted again: no row is chosen, the box is empty.
        QHeaderView* testa = lista->horizontalHeader();
        QTest::mouseClick(testa->viewport(), Qt::LeftButton, {},
                          QPoint(testa->sectionViewportPosition(1) + 5, testa->height() / 2));
        QCOMPARE(testa->sortIndicatorSection(), 1);
        QCOMPARE(scelto->toPlainText(), QString());
    }

    void ordinamentoDalClicSullaTesta() {
        // A file of no known format: the checker's finding.
        shell::test::ScriviFile(*m_dir / "strano.txt", "non una fornitura\r\n");
        auto finestra = Apri({*m_dir / "strano.txt"});
        QTRY_COMPARE(finestra->Rilievi()->model()->rowCount(), 1);
        QHeaderView* testa = finestra->Rilievi()->horizontalHeader();
        QCOMPARE(testa->sortIndicatorSection(), 0);
        QCOMPARE(testa->sortIndicatorOrder(), Qt::AscendingOrder);
        const auto clic = [&](int sezione) {
            QTest::mouseClick(
                testa->viewport(), Qt::LeftButton, {},
                QPoint(testa->sectionViewportPosition(sezione) + testa->sectionSize(sezione) / 2, testa->height() / 2));
        };
        clic(3);
        QCOMPARE(testa->sortIndicatorSection(), 3);
        QCOMPARE(testa->sortIndicatorOrder(), Qt::AscendingOrder);
        clic(3);
        QCOMPARE(testa->sortIndicatorSection(), 3);
        QCOMPARE(testa->sortIndicatorOrder(), Qt::DescendingOrder);
        clic(1);
        QCOMPARE(testa->sortIndicatorSection(), 1);
        QCOMPARE(testa->sortIndicatorOrder(), Qt::AscendingOrder);
        QCOMPARE(Righe(*finestra).size(), 1);
    }

    void selettoreETrascinamento() {
        shell::test::ScriviFile(*m_dir / "strano.txt", "non una fornitura\r\n");
        shell::test::ScriviFile(*m_dir / "vuoto.txt", "");
        auto finestra = Apri({*m_dir / "strano.txt", *m_dir / "manca.txt"});
        QCOMPARE(finestra->File()->count(), 2);
        QCOMPARE(finestra->File()->currentIndex(), 0);
        QTRY_VERIFY(finestra->Logica().Inattiva());
        const QString strano = finestra->Esito()->text();
        // The missing file, chosen in the selector: its reason as a finding.
        finestra->File()->setCurrentIndex(1);
        QCOMPARE(finestra->Esito()->text(), QString::fromUtf8("Il file non pu\xC3\xB2 essere letto"));
        QCOMPARE(Righe(*finestra).size(), 1);
        QVERIFY(Righe(*finestra)[0].startsWith(QStringLiteral("|Errore||File non trovato")));
        QVERIFY(!finestra->Pulsante(Pulsante::ApriDistinta)->isEnabled());
        finestra->File()->setCurrentIndex(0);
        QCOMPARE(finestra->Esito()->text(), strano);

        // A file dropped on the window: accepted, added, shown.
        QMimeData dati;
        dati.setUrls({QUrl::fromLocalFile(Testo(*m_dir / "vuoto.txt"))});
        QDragEnterEvent entra(QPoint(20, 20), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(finestra.get(), &entra);
        QVERIFY(entra.isAccepted());
        QDropEvent lascia(QPointF(20, 20), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(finestra.get(), &lascia);
        QCOMPARE(finestra->File()->count(), 3);
        QCOMPARE(finestra->File()->currentIndex(), 2);
        QCOMPARE(finestra->File()->currentText(), Testo(*m_dir / "vuoto.txt"));
        QTRY_COMPARE(finestra->Esito()->text(),
                     DaLatin1(verifica::TestoEsito(verifica::LeggiFornitura(*m_dir / "vuoto.txt").esito)));
        // Something that is no file is refused.
        QMimeData testo;
        testo.setText(QStringLiteral("testo"));
        QDragEnterEvent altro(QPoint(20, 20), Qt::CopyAction, &testo, Qt::LeftButton, Qt::NoModifier);
        altro.setAccepted(false);
        QCoreApplication::sendEvent(finestra.get(), &altro);
        QVERIFY(!altro.isAccepted());
    }

    void apriDistintaNelBrowser() {
        const fs::path fornitura = verifica::finestra::test::Fornitura770(*m_dir / "ARC");
        auto finestra = Apri({fornitura});
        QTRY_VERIFY(finestra->Pulsante(Pulsante::ApriDistinta)->isEnabled());
        QTest::mouseClick(finestra->Pulsante(Pulsante::ApriDistinta), Qt::LeftButton);
        QTRY_COMPARE(m_pagine.size(), 1);
        const fs::path pagina = *m_dir / "pagine" / ("distinta-1-" + fornitura.stem().string() + ".html");
        QCOMPARE(m_pagine[0], Testo(pagina));
        std::ostringstream attesa;
        verifica::ScriviDistintaHtml(verifica::LeggiFornitura(fornitura), verifica::NomeEDataDelFile(fornitura),
                                     attesa);
        QCOMPARE(LeggiFile(pagina), attesa.str());
        // "Guida", not installed here: the message.
        QTest::mouseClick(finestra->Pulsante(Pulsante::Guida), Qt::LeftButton);
        QCOMPARE(m_messaggi.size(), 1);
        QVERIFY(m_messaggi[0].startsWith(QStringLiteral("Non trovo la guida")));
    }

    // Tab goes through the selector, the list and the buttons; the mnemonics; Enter and Escape.
    void tastiera() {
        const fs::path fornitura = verifica::finestra::test::Fornitura770(*m_dir / "ARC");
        auto finestra = Apri({fornitura});
        QApplication::setActiveWindow(finestra.get());
        QVERIFY(QTest::qWaitForWindowActive(finestra.get()));
        QTRY_VERIFY(finestra->Pulsante(Pulsante::ApriDistinta)->isEnabled());
        finestra->File()->setFocus();
        QStringList visitati;
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visitati << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visitati, (QStringList{"Rilievi", "RilievoScelto", "ApriDistinta", "ConfrontaCon", "Apri",
                                        "ApriCartella", "Guida", "Chiudi", "File"}));
        QCOMPARE(finestra->Pulsante(Pulsante::ApriDistinta)->text(), QStringLiteral("&Apri distinta"));

        QTest::keyClick(finestra.get(), Qt::Key_P, Qt::AltModifier); // "A&pri...", pressed as a click shows
        QTRY_COMPARE(m_dialoghi.size(), 1);
        QVERIFY(m_dialoghi[0].startsWith(QStringLiteral("Apri una fornitura|")));
        QTest::keyClick(finestra.get(), Qt::Key_R, Qt::AltModifier); // "&Rilievi:"
        QCOMPARE(QApplication::focusWidget(), finestra->Rilievi());
        // Enter in the list opens the listing; in the box of the chosen finding too.
        QTest::keyClick(finestra->Rilievi(), Qt::Key_Return);
        QTRY_COMPARE(m_pagine.size(), 1);
        QTest::keyClick(finestra.get(), Qt::Key_S, Qt::AltModifier); // "Rilievo &scelto:"
        QCOMPARE(QApplication::focusWidget(), finestra->RilievoScelto());
        QTest::keyClick(finestra->RilievoScelto(), Qt::Key_Return);
        QTRY_COMPARE(m_pagine.size(), 2);
        // Enter on a button presses it.
        finestra->Pulsante(Pulsante::ConfrontaCon)->setFocus();
        QTest::keyClick(finestra->Pulsante(Pulsante::ConfrontaCon), Qt::Key_Return);
        QCOMPARE(m_dialoghi.size(), 2);
        QVERIFY(m_dialoghi[1].startsWith(QStringLiteral("Confronta con la fornitura precedente|")));
        // Escape closes.
        QTest::keyClick(finestra->Rilievi(), Qt::Key_Escape);
        QVERIFY(!finestra->isVisible());
    }

    // Resizable above a minimum; the list takes what the window grows by.
    void ridimensionabile() {
        auto finestra = Apri({*m_dir / "manca.txt"});
        QVERIFY(finestra->minimumWidth() > 0 && finestra->minimumHeight() > 0);
        QVERIFY(finestra->maximumWidth() > finestra->minimumWidth());
        QTRY_VERIFY(finestra->Logica().Inattiva());
        finestra->resize(finestra->minimumSize());
        QTest::qWait(0);
        const QSize lista = finestra->Rilievi()->size();
        const QSize pulsante = finestra->Pulsante(Pulsante::Chiudi)->size();
        const QSize scelto = finestra->RilievoScelto()->size();
        QVERIFY(lista.height() > scelto.height());
        finestra->resize(finestra->minimumSize() + QSize(300, 200));
        QTRY_COMPARE(finestra->Rilievi()->size(), lista + QSize(300, 200));
        QCOMPARE(finestra->Pulsante(Pulsante::Chiudi)->size(), pulsante);
        QCOMPARE(finestra->RilievoScelto()->size(), scelto + QSize(300, 0));
        finestra->resize(QSize(10, 10));
        QCOMPARE(finestra->size(), finestra->minimumSize());
    }

    // A long reading: the progress bar while it goes on; closing the window stops it at once.
    void chiusuraDuranteUnaLetturaLunga() {
        std::atomic<bool> interrotta{false};
        auto servizi = Servizi();
        servizi.verifica.leggi = [&](const fs::path&,
                                     const lettura::Avanzamento& avanzamento) -> verifica::FornituraLetta {
            for (std::uint64_t letti = 1;; ++letti) {
                if (!avanzamento(std::min<std::uint64_t>(letti, 99), 100)) {
                    interrotta = true;
                    throw lettura::LetturaInterrotta();
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        };
        auto finestra = Apri({*m_dir / "grande.txt"}, std::move(servizi));
        QTRY_VERIFY(finestra->Avanzamento()->isVisible());
        QTRY_VERIFY(finestra->Avanzamento()->value() > 5);
        QCOMPARE(finestra->Esito()->text(), QStringLiteral("Lettura in corso..."));
        QElapsedTimer tempo;
        tempo.start();
        finestra->close();
        QVERIFY(tempo.elapsed() < 2000);
        QVERIFY(interrotta);
        QVERIFY(!finestra->isVisible());
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestFrmVerifica test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_frm_verifica.moc"
