#pragma once
// The bank coordinates test window: compute or verify the CIN letter or the IBAN check digits.

#include <QString>
#include <QWidget>

#include <functional>

class QLineEdit;
class QRadioButton;

namespace bankcheck {

class FrmBancari : public QWidget {
    Q_OBJECT

public:
    using MostraMessaggio = std::function<void(const QString&)>;

    explicit FrmBancari(QWidget* parent = nullptr);

    // Replaces the message box (OK only, no icon, titled with the program's name), e.g. by a
    // recorder in tests.
    void impostaMostraMessaggio(MostraMessaggio mostra) { m_mostraMessaggio = std::move(mostra); }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void creaControlli();
    void collegaControlli();
    void suddividiCodice();
    void aggiorna();
    void mostraMessaggioStandard(const QString& testo);

    MostraMessaggio m_mostraMessaggio;
    QRadioButton* m_optIBAN = nullptr;
    QRadioButton* m_optCalcolo = nullptr;
    QLineEdit* m_txtCodice = nullptr;
    QLineEdit* m_txtAbi = nullptr;
    QLineEdit* m_txtCab = nullptr;
    QLineEdit* m_txtCC = nullptr;
    QLineEdit* m_txtCin = nullptr;
    QLineEdit* m_txtStato = nullptr;
    QLineEdit* m_txtCheck = nullptr;
};

} // namespace bankcheck
