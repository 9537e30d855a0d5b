// The converter window driven for real under the offscreen platform: loading, the single run, the
// button, the error path.

#include "tests/supporto/cartella_temporanea.h"
#include "shell/convertitore.h"
#include "tests/supporto/convertitore_prova.h"
#include "shell/qt/elaborazione.h"
#include "shell/errore.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <new>
#include <vector>

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::ConvertitoreProva;
using shell::test::ScriviFile;

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

class TestFinestra : public QObject {
    Q_OBJECT

    std::vector<AvvisoMostrato> m_avvisi;

    shell::ui::ServiziFinestra Servizi(const fs::path& archivio, std::function<void()> allAvviso = {}) {
        m_avvisi.clear();
        return {[this, allAvviso](QWidget*, const QString& titolo, const QString& testo, bool errore) {
                    m_avvisi.push_back({titolo, testo, errore});
                    if (allAvviso)
                        allAvviso();
                },
                [] { return shell::DataOra{2011, 6, 14, 9, 5, 7}; }, archivio};
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("carvek")); }

    void disposizioneEDidascalia() {
        shell::ui::Elaborazione finestra(
            ConvertitoreProva(), [](shell::ContestoElaborazione&) {}, Servizi("/nonusata"));
        QCOMPARE(finestra.windowTitle(),
                 QStringLiteral("Elaborazone dati per 770 Semplificato 2011 versione del 14 giugno 2011"));
        QCOMPARE(finestra.size(), QSize(698, 401));
        QCOMPARE(finestra.Messaggio()->geometry(), QRect(8, 8, 681, 353));
        QCOMPARE(finestra.Avanti()->geometry(), QRect(600, 368, 89, 25));
        QCOMPARE(finestra.Avanti()->text(), QStringLiteral("Continua"));
        QVERIFY(finestra.Messaggio()->isReadOnly());
        QVERIFY(finestra.Messaggio()->toPlainText().isEmpty());
        QVERIFY(!finestra.Avanti()->isEnabled());
        QVERIFY(finestra.Errori() == nullptr);
    }

    void unaSolaEsecuzioneAncheConAttivazioniDuranteLaCorsa() {
        shell::ui::Elaborazione* finestra = nullptr;
        int esecuzioni = 0;
        // A message box of the run activates the window again when it closes.
        auto servizi = Servizi("/nonusata", [&] { Attiva(finestra); });
        shell::ui::Elaborazione f(
            ConvertitoreProva(),
            [&](shell::ContestoElaborazione& contesto) {
                ++esecuzioni;
                contesto.ScriviMessaggio("prima");
                contesto.Avviso("Errori sul dipendente", false);
                contesto.ScriviMessaggio("dopo \xE8");
            },
            servizi);
        finestra = &f;
        Attiva(finestra);
        Attiva(finestra);
        Attiva(finestra);
        QCOMPARE(esecuzioni, 1);
        QVERIFY(f.Avanti()->isEnabled());
        QCOMPARE(f.Messaggio()->toPlainText(), QString::fromUtf8("prima\ndopo \xC3\xA8\n"));
        QCOMPARE(m_avvisi.size(), size_t(1));
        QCOMPARE(m_avvisi[0].titolo, QStringLiteral("carvek"));
        QVERIFY(!m_avvisi[0].iconaErrore);
    }

    void esportazioneMancanteNonMostraLaFinestra() {
        CartellaTemporanea dir;
        const int esito =
            shell::ui::AvviaProgramma(ConvertitoreProva(), dir.Percorso(), Servizi(dir / "KORVANTE" / "ARC"));
        QCOMPARE(esito, 3);
        QCOMPARE(m_avvisi.size(), size_t(1));
        QCOMPARE(m_avvisi[0].testo,
                 QString::fromStdString("Non trovo il file originale in '" + (dir / "Esportazione770.tab").string() +
                                        "', quindi non posso continuare..."));
        QVERIFY(m_avvisi[0].iconaErrore);
        QVERIFY(!fs::exists(dir / "KORVANTE"));
        QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                             [](QWidget* w) { return w->isVisible(); }));
    }

    // A loading that fails (no memory) ends the program as a stopped run does: the error box, status 1,
    // no window.
    void caricamentoFallitoFermaIlProgramma() {
        CartellaTemporanea dir;
        shell::Convertitore convertitore = ConvertitoreProva();
        convertitore.carica = [](const fs::path&, const fs::path&) -> shell::Caricamento { throw std::bad_alloc(); };
        const int esito = shell::ui::AvviaProgramma(convertitore, dir.Percorso(), Servizi(dir / "ARC"));
        QCOMPARE(esito, 1);
        QCOMPARE(m_avvisi.size(), size_t(1));
        QCOMPARE(m_avvisi[0].testo, QString::fromUtf8("Memoria insufficiente: l'elaborazione si \xC3\xA8 fermata"));
        QVERIFY(m_avvisi[0].iconaErrore);
        QVERIFY(std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                             [](QWidget* w) { return w->isVisible(); }));
    }

    // The whole program: the run on activation, then "Continua" ends it with status 0.
    void continuaTerminaIlProgramma() {
        CartellaTemporanea dir;
        ScriviFile(dir / "Esportazione770.tab", "01234567890\tX\r\n");
        fs::create_directory(dir / "ARC");
        QTimer::singleShot(0, [] {
            auto* finestra = qobject_cast<shell::ui::Elaborazione*>(QApplication::activeWindow());
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* f = qobject_cast<shell::ui::Elaborazione*>(w))
                    finestra = f;
            QVERIFY(finestra);
            Attiva(finestra);
            QVERIFY(finestra->Avanti()->isEnabled());
            QVERIFY(finestra->Messaggio()->textCursor().atEnd());
            QTest::mouseClick(finestra->Avanti(), Qt::LeftButton);
        });
        const int esito = shell::ui::AvviaProgramma(ConvertitoreProva(), dir.Percorso(), Servizi(dir / "ARC"));
        QCOMPARE(esito, 0);
        QVERIFY(fs::exists(dir / "ARC" / "Prova-01234567890.txt"));
        QVERIFY(m_avvisi.empty());
    }

    // An error that stops the run: message box with the error icon, the program ends with status 1.
    void erroreFermaIlProgramma() {
        CartellaTemporanea dir;
        ScriviFile(dir / "Esportazione770.tab", "../FUORI\tX\r\n");
        fs::create_directory(dir / "ARC");
        QTimer::singleShot(0, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* f = qobject_cast<shell::ui::Elaborazione*>(w))
                    Attiva(f);
        });
        const int esito = shell::ui::AvviaProgramma(ConvertitoreProva(), dir.Percorso(), Servizi(dir / "ARC"));
        QCOMPARE(esito, 1);
        QCOMPARE(m_avvisi.size(), size_t(1));
        QVERIFY(m_avvisi[0].iconaErrore);
        QVERIFY(m_avvisi[0].testo.contains(QStringLiteral("non \u00E8 un nome di file ammesso")));
        QVERIFY(fs::exists(dir / "ARC" / "Prova-2011-06-14-09-05-07.txt"));
    }
};

QTEST_MAIN(TestFinestra)
#include "test_finestra.moc"
