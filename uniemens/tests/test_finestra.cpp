// The lunfort window driven for real under the offscreen platform: the error box beside the log, one
// run however often the window is activated, and the exit status after "Continua".

#include "tests/supporto/cartella_temporanea.h"
#include "uniemens/dati_sub.h"
#include "shell/qt/elaborazione.h"
#include "shell/uscita.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

namespace {

void Attiva(QWidget* finestra) {
    QEvent attivazione(QEvent::WindowActivate);
    QCoreApplication::sendEvent(finestra, &attivazione);
}

shell::ui::Elaborazione* Finestra() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<shell::ui::Elaborazione*>(w))
            return f;
    return nullptr;
}

shell::ui::ServiziFinestra Servizi(const fs::path& archivio, int* avvisi) {
    return {[avvisi](QWidget*, const QString&, const QString&, bool) { ++*avvisi; },
            [] { return shell::DataOra{2012, 3, 5, 10, 11, 12}; }, archivio};
}

} // namespace

class TestFinestraUniemens : public QObject {
    Q_OBJECT

    // Runs the program on an export; on activation checks the window, then presses "Continua".
    int Esegui(const std::string& esportazione, const QString& erroriAttesi) {
        CartellaTemporanea dir;
        ScriviFile(dir / "EsportazioneINPS.tab", esportazione);
        fs::create_directory(dir / "ARC");
        int avvisi = 0;
        QTimer::singleShot(0, [erroriAttesi] {
            auto* finestra = Finestra();
            QVERIFY(finestra);
            Attiva(finestra);
            const QString log = finestra->Messaggio()->toPlainText();
            Attiva(finestra); // activating again runs nothing more
            QCOMPARE(finestra->Messaggio()->toPlainText(), log);
            QCOMPARE(log.count(QStringLiteral("Apertura documento...")), 1);
            QCOMPARE(finestra->Errori()->toPlainText(), erroriAttesi);
            QVERIFY(finestra->Errori()->textCursor().atEnd());
            QVERIFY(finestra->Messaggio()->textCursor().atEnd());
            QVERIFY(finestra->Avanti()->isEnabled());
            QTest::mouseClick(finestra->Avanti(), Qt::LeftButton);
        });
        const int esito =
            shell::ui::AvviaProgramma(uniemens::Descrittore(), dir.Percorso(), Servizi(dir / "ARC", &avvisi));
        m_documenti = 0;
        for (const auto& voce : fs::directory_iterator(dir / "ARC"))
            m_documenti += !shell::test::Nascosto(voce.path());
        m_finale = fs::exists(dir / "ARC" / "INPSUNIEMENS-2012-01.xml");
        m_avvisi = avvisi;
        return esito;
    }

    int m_documenti = 0;
    bool m_finale = false;
    int m_avvisi = 0;

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("lunfort")); }

    void disposizioneConLaCasellaErrori() {
        int avvisi = 0;
        shell::ui::Elaborazione finestra(
            uniemens::Descrittore(), [](shell::ContestoElaborazione&) {}, Servizi("/nonusata", &avvisi));
        QCOMPARE(finestra.windowTitle(), QStringLiteral("Elaborazione dati per UNIEMENS v. 15022012"));
        QCOMPARE(finestra.size(), QSize(463, 400));
        QCOMPARE(finestra.Messaggio()->geometry(), QRect(8, 8, 449, 161));
        auto* etichetta = finestra.findChild<QLabel*>(QStringLiteral("LabelErrori"));
        QVERIFY(etichetta);
        QCOMPARE(etichetta->text(), QStringLiteral("Errori di elaborazione:"));
        // Its place from the table, its width whatever the caption needs in this font (no less than the table's),
        // above the error box and inside the window.
        QCOMPARE(etichetta->pos(), QPoint(8, 176));
        QCOMPARE(etichetta->height(), 13);
        QVERIFY(etichetta->width() >= std::max(101, etichetta->sizeHint().width()));
        QVERIFY(etichetta->geometry().right() < finestra.width());
        QVERIFY(finestra.Errori());
        QCOMPARE(finestra.Errori()->geometry(), QRect(8, 192, 449, 169));
        QCOMPARE(finestra.Avanti()->geometry(), QRect(368, 368, 89, 25));
        QVERIFY(!finestra.Avanti()->isEnabled());
    }

    void documentoGeneratoStatoZero() {
        const std::string esportazione = LeggiFile(fs::path(ESEMPIO_UNIEMENS));
        QCOMPARE(Esegui(esportazione, QStringLiteral("Nessun errore.\n")), 0);
        QVERIFY(m_finale);
        QCOMPARE(m_avvisi, 0);
    }

    // The user reads the errors, presses "Continua", and the program ends as failed.
    void documentoNonGeneratoStatoUno() {
        const std::string esportazione = LeggiFile(fs::path(UNIEMENS_DATI) / "errori.tab");
        const QString errori =
            QStringLiteral("Errore su persona in riga 2: Collaboratore segnalato su mese precedente\n"
                           "Errore su persona in riga 3: manca Dipendente/Collaboratore\n"
                           "Errore su persona in riga 4, colonna 43: importo non valido '396;96'\n");
        QCOMPARE(Esegui(esportazione, errori), 1);
        QVERIFY(!m_finale);
        QCOMPARE(m_documenti, 1); // under its temporary name
        QCOMPARE(m_avvisi, 0);
    }

    // Another run of the converter is writing into the archive folder: the message box with the error
    // icon says so, nothing is written, and the program ends as failed.
    void cartellaOccupataAvvisoDErrore() {
        CartellaTemporanea dir;
        fs::copy_file(fs::path(ESEMPIO_UNIEMENS), dir / "EsportazioneINPS.tab");
        fs::create_directory(dir / "ARC");
        const shell::EsclusivaCartella altra(dir / "ARC", "INPSUNIEMENS");
        QString testo;
        bool iconaErrore = false;
        const shell::ui::ServiziFinestra servizi{[&](QWidget*, const QString&, const QString& t, bool errore) {
                                                     testo = t;
                                                     iconaErrore = errore;
                                                 },
                                                 [] { return shell::DataOra{2012, 3, 5, 10, 11, 12}; }, dir / "ARC"};
        QTimer::singleShot(0, [] {
            auto* finestra = Finestra();
            QVERIFY(finestra);
            Attiva(finestra);
        });
        QCOMPARE(shell::ui::AvviaProgramma(uniemens::Descrittore(), dir.Percorso(), servizi), 1);
        QVERIFY2(testo.startsWith(QStringLiteral("Un'altra elaborazione dello stesso convertitore")),
                 qPrintable(testo));
        QVERIFY(iconaErrore);
        QVERIFY(shell::test::SenzaFileVisibili(dir / "ARC"));
    }
};

QTEST_MAIN(TestFinestraUniemens)
#include "test_finestra.moc"
