// The bank coordinates window driven through its real widgets (offscreen platform).

#include "bankcheck/qt/frm_bancari.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace bankcheck {

class TestFrmBancari : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void incollaIbanEUscita();
    void incollaBBANEUscita();
    void codiceCortoNonCambiaNulla();
    void aggiorna_data();
    void aggiorna();
    void lunghezzaErrata();
    void ordineTab();
    void messaggioSoloOkSenzaIcona();
    void opzioniDentroLeCornici();

private:
    QLineEdit* casella(const char* nome) const;
    void scrivi(const char* nome, const QString& testo) const;
    void clicca(const char* nome) const;

    std::unique_ptr<FrmBancari> m_finestra;
    QStringList m_messaggi;
};

QLineEdit* TestFrmBancari::casella(const char* nome) const {
    auto* c = m_finestra->findChild<QLineEdit*>(QString::fromLatin1(nome));
    Q_ASSERT(c);
    return c;
}

// Types into the box as a user does: focus it, select what is there and type over it.
void TestFrmBancari::scrivi(const char* nome, const QString& testo) const {
    QLineEdit* c = casella(nome);
    QTest::mouseClick(c, Qt::LeftButton);
    c->selectAll();
    if (testo.isEmpty())
        QTest::keyClick(c, Qt::Key_Delete);
    else
        QTest::keyClicks(c, testo);
}

void TestFrmBancari::clicca(const char* nome) const {
    auto* pulsante = m_finestra->findChild<QAbstractButton*>(QString::fromLatin1(nome));
    Q_ASSERT(pulsante);
    QTest::mouseClick(pulsante, Qt::LeftButton);
}

void TestFrmBancari::init() {
    m_messaggi.clear();
    m_finestra = std::make_unique<FrmBancari>();
    m_finestra->impostaMostraMessaggio([this](const QString& testo) { m_messaggi << testo; });
    m_finestra->show();
    m_finestra->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_finestra.get()));
}

void TestFrmBancari::cleanup() { m_finestra.reset(); }

void TestFrmBancari::incollaIbanEUscita() {
    QApplication::clipboard()->setText(QStringLiteral("IT60 X054 2811 1010 0000 0123 456"));
    QLineEdit* codice = casella("txtCodice");
    QTest::mouseClick(codice, Qt::LeftButton);
    QTest::keySequence(codice, QKeySequence::Paste);
    QCOMPARE(codice->text(), QStringLiteral("IT60 X054 2811 1010 0000 0123 456"));
    QCOMPARE(casella("txtAbi")->text(), QString()); // nothing until the box is left

    QTest::keyClick(codice, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), casella("txtAbi"));
    QCOMPARE(casella("txtAbi")->text(), QStringLiteral("05428"));
    QCOMPARE(casella("txtCab")->text(), QStringLiteral("11101"));
    QCOMPARE(casella("txtCC")->text(), QStringLiteral("000000123456"));
    QCOMPARE(casella("txtCin")->text(), QStringLiteral("X"));
    QCOMPARE(casella("txtStato")->text(), QStringLiteral("IT"));
    QCOMPARE(casella("txtCheck")->text(), QStringLiteral("60"));
    QCOMPARE(codice->text(), QStringLiteral("IT60 X054 2811 1010 0000 0123 456"));
}

void TestFrmBancari::incollaBBANEUscita() {
    // 23 characters or more (but not 27) fill the coordinates from the end, no country or check;
    // no case change.
    scrivi("txtCheck", QStringLiteral("99"));
    scrivi("txtCodice", QStringLiteral("ab x0542811101000000123456"));
    QTest::mouseClick(casella("txtCC"), Qt::LeftButton); // leaving with the mouse
    QCOMPARE(casella("txtCin")->text(), QStringLiteral("x"));
    QCOMPARE(casella("txtAbi")->text(), QStringLiteral("05428"));
    QCOMPARE(casella("txtCab")->text(), QStringLiteral("11101"));
    QCOMPARE(casella("txtCC")->text(), QStringLiteral("000000123456"));
    QCOMPARE(casella("txtStato")->text(), QStringLiteral("IT"));
    QCOMPARE(casella("txtCheck")->text(), QStringLiteral("99"));
}

void TestFrmBancari::codiceCortoNonCambiaNulla() {
    scrivi("txtAbi", QStringLiteral("1"));
    scrivi("txtCodice", QStringLiteral("0542811101000000123456")); // 22 characters
    QTest::keyClick(casella("txtCodice"), Qt::Key_Tab);
    QCOMPARE(casella("txtAbi")->text(), QStringLiteral("1"));
    QCOMPARE(casella("txtCC")->text(), QString());
    QCOMPARE(casella("txtCin")->text(), QString());
}

void TestFrmBancari::aggiorna_data() {
    QTest::addColumn<bool>("iban");
    QTest::addColumn<bool>("calcolo");
    QTest::addColumn<QString>("conto");
    QTest::addColumn<QString>("stato");
    QTest::addColumn<QString>("cin");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("cinAtteso");
    QTest::addColumn<QString>("checkAtteso");
    QTest::addColumn<QString>("messaggio");

    const QString nessuno;
    // clang-format off
    //            name                            iban   calc.  conto       stato  cin  check  -> cin  check  message
    QTest::newRow("BBAN Calcolo")             << false << true  << "123456"   << "IT" << ""  << ""  << "X" << ""   << nessuno;
    QTest::newRow("BBAN Verifica corretto")   << false << false << "123456"   << "IT" << "X" << ""  << "X" << ""   << "Cin corretto";
    QTest::newRow("BBAN Verifica minuscola")  << false << false << "123456"   << "IT" << "x" << ""  << "x" << ""   << "Cin errato";
    QTest::newRow("BBAN Calcolo senza CIN")   << false << true  << "123/456"  << "IT" << "X" << ""  << ""  << ""   << nessuno;
    QTest::newRow("BBAN Verifica senza CIN")  << false << false << "123/456"  << "IT" << ""  << ""  << ""  << ""   << "Cin corretto";
    QTest::newRow("BBAN Verifica CIN atteso") << false << false << "123/456"  << "IT" << "X" << ""  << "X" << ""   << "Cin errato";
    QTest::newRow("IBAN Calcolo")             << true  << true  << "123456"   << "IT" << ""  << ""  << ""  << "60" << nessuno;
    QTest::newRow("IBAN Calcolo CIN proprio") << true  << true  << "123456"   << "IT" << "Q" << "1" << "Q" << "60" << nessuno;
    QTest::newRow("IBAN Verifica corretto")   << true  << false << "123456"   << "IT" << ""  << "60" << "" << "60" << "Check digit Corretto";
    QTest::newRow("IBAN Verifica errato")     << true  << false << "123456"   << "IT" << ""  << "61" << "" << "61" << "Check digit Errato";
    QTest::newRow("IBAN Calcolo senza CIN")   << true  << true  << "1234/6"   << "IT" << ""  << ""  << ""  << "11" << nessuno;
    QTest::newRow("IBAN Calcolo stato errato")<< true  << true  << "123456"   << "I-" << ""  << "60" << "" << ""   << nessuno;
    QTest::newRow("IBAN Verifica stato errato")<< true << false << "123456"   << "I-" << ""  << ""  << ""  << ""   << "Check digit Errato";
    // clang-format on
}

void TestFrmBancari::aggiorna() {
    QFETCH(bool, iban);
    QFETCH(bool, calcolo);
    QFETCH(QString, conto);
    QFETCH(QString, stato);
    QFETCH(QString, cin);
    QFETCH(QString, check);
    QFETCH(QString, cinAtteso);
    QFETCH(QString, checkAtteso);
    QFETCH(QString, messaggio);

    clicca(iban ? "optIBAN" : "optBBAN");
    clicca(calcolo ? "optCalcolo" : "optVerifica");
    scrivi("txtAbi", QStringLiteral("5428"));
    scrivi("txtCab", QStringLiteral("11101"));
    scrivi("txtCC", conto);
    scrivi("txtCin", cin);
    scrivi("txtStato", stato);
    scrivi("txtCheck", check);
    clicca("cmdGo");

    QCOMPARE(casella("txtCin")->text(), cinAtteso);
    QCOMPARE(casella("txtCheck")->text(), checkAtteso);
    QCOMPARE(m_messaggi, messaggio.isNull() ? QStringList{} : QStringList{messaggio});
    // The boxes keep what was typed; the normalised values stay inside the object.
    QCOMPARE(casella("txtAbi")->text(), QStringLiteral("5428"));
    QCOMPARE(casella("txtCC")->text(), conto);
    QCOMPARE(casella("txtStato")->text(), stato);
}

void TestFrmBancari::lunghezzaErrata() {
    // 13 characters as typed, 11 once the spaces are gone: refused all the same.
    clicca("optIBAN");
    scrivi("txtAbi", QStringLiteral("05428"));
    scrivi("txtCab", QStringLiteral("11101"));
    scrivi("txtCC", QStringLiteral("1234 567 8901"));
    scrivi("txtCheck", QStringLiteral("77"));
    clicca("cmdGo");
    QCOMPARE(m_messaggi, QStringList{QStringLiteral("Lunghezza errata")});
    QCOMPARE(QApplication::focusWidget(), casella("txtCC"));
    QCOMPARE(casella("txtCheck")->text(), QStringLiteral("77"));

    m_messaggi.clear();
    scrivi("txtCC", QStringLiteral("123456789012")); // 12 is accepted
    clicca("cmdGo");
    QCOMPARE(m_messaggi, QStringList{});
    QCOMPARE(casella("txtCheck")->text().size(), 2);
}

void TestFrmBancari::ordineTab() {
    const QStringList atteso = {"optCalcolo", "txtCodice", "txtAbi",   "txtCab", "txtCC",
                                "txtCin",     "txtStato",  "txtCheck", "cmdGo",  "optBBAN"};
    m_finestra->findChild<QRadioButton*>(QStringLiteral("optBBAN"))->setFocus();
    QStringList visitati;
    for (int i = 0; i < atteso.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visitati << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visitati, atteso);
}

void TestFrmBancari::messaggioSoloOkSenzaIcona() {
    FrmBancari finestra; // the standard message box, closed as soon as it is shown
    finestra.show();
    QString titolo, testo;
    QMessageBox::Icon icona = QMessageBox::Critical;
    QMessageBox::StandardButtons pulsanti;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        titolo = box->windowTitle();
        testo = box->text();
        icona = box->icon();
        pulsanti = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    auto* cin = finestra.findChild<QLineEdit*>(QStringLiteral("txtCin"));
    cin->setText(QStringLiteral("Y"));
    QTest::mouseClick(finestra.findChild<QRadioButton*>(QStringLiteral("optVerifica")), Qt::LeftButton);
    QTest::mouseClick(finestra.findChild<QPushButton*>(QStringLiteral("cmdGo")), Qt::LeftButton);
    QCOMPARE(titolo, QStringLiteral("obrisk"));
    QCOMPARE(testo, QStringLiteral("Cin errato"));
    QCOMPARE(icona, QMessageBox::NoIcon);
    QCOMPARE(pulsanti, QMessageBox::StandardButtons(QMessageBox::Ok));
}

// The option buttons stand inside their frames, below the caption and the border, whatever the style.
void TestFrmBancari::opzioniDentroLeCornici() {
    for (const char* nome : {"optBBAN", "optIBAN", "optCalcolo", "optVerifica"}) {
        auto* opzione = m_finestra->findChild<QRadioButton*>(QString::fromLatin1(nome));
        QVERIFY(opzione);
        auto* cornice = qobject_cast<QGroupBox*>(opzione->parentWidget());
        QVERIFY2(cornice, nome);
        QVERIFY2(cornice->contentsRect().contains(opzione->geometry()), nome);
    }
}

} // namespace bankcheck

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("obrisk"));
    bankcheck::TestFrmBancari test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_frm_bancari.moc"
