#pragma once
// The bank coordinates test window: compute or verify the CIN letter or the IBAN check digits.

#include "bankcheck/form_bancari.h"

#include <QString>
#include <QWidget>

#include <functional>

class QLineEdit;
class QRadioButton;

namespace bankcheck {

class FrmBancari : public QWidget, private VistaBancari {
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
    void mostraMessaggioStandard(const QString& testo);
    QLineEdit* casella(CasellaBancari casella) const;

    // VistaBancari
    std::string Testo(CasellaBancari casella) const override;
    void ImpostaTesto(CasellaBancari casella, const std::string& testo) override;
    bool IbanSelezionato() const override;
    bool CalcoloSelezionato() const override;
    void DaiFuoco(CasellaBancari casella) override;
    void Messaggio(std::string_view testo) override;

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
