// The sabrelt window driven for real under the offscreen platform: caption and layout, and the run
// with its "Attenzione!!!" box, which activates the window again without starting a second run.

#include "tests/supporto/cartella_temporanea.h"
#include "dma/dati_sub.h"
#include "shell/qt/elaborazione.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;

namespace {

struct AvvisoMostrato {
    QString titolo, testo;
    bool iconaErrore;
};

void Attiva(QWidget* finestra) {
    QEvent attivazione(QEvent::WindowActivate);
    QCoreApplication::sendEvent(finestra, &attivazione);
}

} // namespace

class TestFinestraDMA : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("sabrelt")); }

    void disposizioneEDidascalia() {
        shell::ui::Elaborazione finestra(dma::Descrittore(), [](shell::ContestoElaborazione&) {});
        QCOMPARE(finestra.windowTitle(), QStringLiteral("Elaborazione dati per INPDAP"));
        QCOMPARE(finestra.size(), QSize(466, 401));
        QCOMPARE(finestra.Messaggio()->geometry(), QRect(8, 8, 449, 353));
        QCOMPARE(finestra.Avanti()->geometry(), QRect(368, 368, 89, 25));
        QVERIFY(finestra.Errori() == nullptr);
    }

    // The sample has one employee with missing data: one box, titled with the program's name, with
    // the error icon; its closing activates the window again, and the run still happens once.
    void avvisoNonAvviaUnaSecondaElaborazione() {
        CartellaTemporanea dir;
        fs::copy_file(fs::path(DMA_ESEMPIO) / "EsportazioneINPDAP.tab", dir / "EsportazioneINPDAP.tab");
        shell::Caricamento caricamento = dma::Descrittore().carica(dir.Percorso(), dir / "ARC");
        QVERIFY(!caricamento.fileMancante);

        std::vector<AvvisoMostrato> avvisi;
        shell::ui::Elaborazione* finestra = nullptr;
        shell::ui::ServiziFinestra servizi{[&](QWidget*, const QString& titolo, const QString& testo, bool errore) {
                                               avvisi.push_back({titolo, testo, errore});
                                               Attiva(finestra);
                                           },
                                           [] { return shell::DataOra{2011, 6, 14, 9, 5, 7}; }, dir / "ARC"};
        int esecuzioni = 0;
        shell::ui::Elaborazione f(
            dma::Descrittore(),
            [&](shell::ContestoElaborazione& contesto) {
                ++esecuzioni;
                caricamento.esegui(contesto);
            },
            servizi);
        finestra = &f;
        Attiva(finestra);
        Attiva(finestra);

        QCOMPARE(esecuzioni, 1);
        QCOMPARE(f.Esito(), 0);
        QVERIFY(f.Avanti()->isEnabled());
        QCOMPARE(avvisi.size(), size_t(1));
        QCOMPARE(avvisi[0].titolo, QStringLiteral("sabrelt"));
        QCOMPARE(avvisi[0].testo, QStringLiteral("Attenzione!!!"));
        QVERIFY(avvisi[0].iconaErrore);
        const QString log = f.Messaggio()->toPlainText();
        QCOMPARE(log.count(QStringLiteral("Generazione Record Tipo A")), 1);
        QVERIFY(log.contains(QString::fromUtf8("Quadro D0 - BIANCHI NICCOL\xC3\x92\n")));
        QVERIFY(log.endsWith(QStringLiteral("Premi il pulsante 'Continua' per terminare.")));
        QVERIFY(fs::exists(dir / "ARC" / "INPDAPDMA-2011-06.txt"));
    }
};

QTEST_MAIN(TestFinestraDMA)
#include "test_finestra_dma.moc"
