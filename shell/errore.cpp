#include "shell/errore.h"

#include <filesystem>
#include <new>

namespace shell {

std::string MessaggioEccezione(std::exception_ptr eccezione) {
    constexpr std::string_view Imprevisto = "Errore imprevisto durante l'elaborazione";
    std::string testo;
    try {
        std::rethrow_exception(eccezione);
    } catch (const ErroreElaborazione& e) {
        testo = e.what();
    } catch (const std::bad_alloc&) {
        testo = "Memoria insufficiente: l'elaborazione si \xE8 fermata";
    } catch (const std::filesystem::filesystem_error& e) {
        testo = "Errore del file system";
        if (!e.path1().empty())
            testo += " sul percorso '" + TestoPercorso(e.path1()) + "'";
        testo += ": " + e.code().message();
    } catch (const std::exception& e) {
        if (*e.what() != '\0')
            testo = std::string(Imprevisto) + ": " + e.what();
    } catch (...) {
    }
    return testo.empty() ? std::string(Imprevisto) : TestoVisibile(testo);
}

} // namespace shell
