// The 770 window on an export whose first employee lacks personal data: the run's message box
// activates the window again when it closes, and the conversion still runs exactly once.

#include "tests/supporto/cartella_temporanea.h"
#include "conv770/dati_sub.h"
#include "shell/qt/elaborazione.h"
#include "conv770/tests/riga_prova.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

class TestFinestra770 : public QObject {
    Q_OBJECT

private slots:
    void unaSolaEsecuzioneConIlMessaggioDelPrimoDipendente() {
        shell::test::CartellaTemporanea dir;
        shell::test::ScriviFile(dir / "Esportazione770.tab",
                                conv770::test::TestoRiga({{21, ""}}) + "\r\n" + conv770::test::TestoRiga({}) + "\r\n");
        fs::create_directory(dir / "ARC");

        shell::ui::Elaborazione* finestra = nullptr;
        std::vector<QString> avvisi;
        const auto attiva = [&] {
            QEvent attivazione(QEvent::WindowActivate);
            QCoreApplication::sendEvent(finestra, &attivazione);
        };
        shell::ui::ServiziFinestra servizi{[&](QWidget*, const QString&, const QString& testo, bool) {
                                               avvisi.push_back(testo);
                                               attiva(); // the box closes: the window is active again
                                           },
                                           [] { return shell::DataOra{2011, 6, 14, 9, 5, 7}; }, dir / "ARC"};

        const shell::Convertitore& convertitore = conv770::Descrittore();
        shell::Caricamento caricamento = convertitore.carica(dir.Percorso(), dir / "ARC");
        QVERIFY(!caricamento.fileMancante);
        shell::ui::Elaborazione f(convertitore, caricamento.esegui, servizi);
        finestra = &f;
        attiva();
        attiva();

        QCOMPARE(avvisi.size(), size_t(1));
        QCOMPARE(avvisi[0], QStringLiteral("Errori sul dipendente con C.F.: RSSGLI80A41E507Z -  GIULIA\n\n"
                                           "Cognome dipendente non impostato"));
        QVERIFY(f.Avanti()->isEnabled());
        QCOMPARE(f.Esito(), 0);
        const QString log = f.Messaggio()->toPlainText();
        QCOMPARE(log.count(QStringLiteral("Generazione Record Tipo A")), 1);
        QCOMPARE(log.count(QStringLiteral("Generazione Record Tipo G")), 2);
        QVERIFY(log.endsWith(QStringLiteral("Premi il pulsante 'Continua' per terminare.")));
        QCOMPARE(fs::file_size(dir / "ARC" / "Importa770-2011-02468135790.txt"), std::uintmax_t(6 * 1900));
    }
};

QTEST_MAIN(TestFinestra770)
#include "test_finestra770.moc"
