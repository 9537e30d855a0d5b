// obrisk: the bank coordinates test window.

#include "bankcheck/ui/frm_bancari.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("obrisk"));
    bankcheck::FrmBancari finestra;
    finestra.show();
    return QApplication::exec();
}
