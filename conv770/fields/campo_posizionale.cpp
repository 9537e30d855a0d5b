#include "campo_posizionale.h"

#include "testo.h"

namespace conv770::fields {

namespace {

std::string Allinea(std::string testo, std::size_t lunghezza) {
    testo.resize(lunghezza, ' ');
    return testo;
}

std::string DataPosizionale(const Valore& valore) {
    if (valore.Data())
        return DataGGMMAAAA(valore.ComeData());
    if (valore.Testo())
        if (const auto data = shell::LeggiData(valore.ComeTesto()))
            return DataGGMMAAAA(*data);
    return "00000000";
}

} // namespace

std::optional<TipoPosizionale> TipoPosizionaleDaCodice(std::string_view codice) {
    const std::string tipo = shell::Maiuscolo(codice);
    if (tipo == "X")
        return TipoPosizionale::X;
    if (tipo == "N")
        return TipoPosizionale::N;
    if (tipo == "DT")
        return TipoPosizionale::DT;
    return std::nullopt;
}

std::string CampoPosizionale(const Valore& valore, int lunghezza, TipoPosizionale tipo) {
    if (lunghezza < 1)
        return {};
    const auto n = static_cast<std::size_t>(lunghezza);
    switch (tipo) {
    case TipoPosizionale::X:
    case TipoPosizionale::N: {
        std::string campo;
        campo.reserve(n);
        AggiungiTestoPosizionale(campo, TestoValore(valore), lunghezza, tipo);
        return campo;
    }
    case TipoPosizionale::DT:
        return Allinea(DataPosizionale(valore), n);
    }
    return {};
}

void AggiungiTestoPosizionale(std::string& record, std::string_view testo, int lunghezza, TipoPosizionale tipo) {
    if (lunghezza < 1)
        return;
    const auto n = static_cast<std::size_t>(lunghezza);
    switch (tipo) {
    case TipoPosizionale::X: {
        const std::string_view parte = testo.substr(0, n);
        record += parte;
        record.append(n - parte.size(), ' ');
        return;
    }
    case TipoPosizionale::N:
        if (testo.size() >= n) {
            record += testo.substr(testo.size() - n);
            return;
        }
        record.append(n - testo.size(), '0');
        record += testo;
        return;
    case TipoPosizionale::DT:
        record += CampoPosizionale(Valore(std::string(testo)), lunghezza, tipo);
        return;
    }
}

std::string CampoPosizionale(const Valore& valore, int lunghezza, std::string_view tipo) {
    const auto t = TipoPosizionaleDaCodice(tipo);
    return t ? CampoPosizionale(valore, lunghezza, *t) : std::string();
}

bool DataPosizionaleValida(std::string_view testo) { return shell::LeggiData(testo).has_value(); }

} // namespace conv770::fields
