#pragma once
// A value of a test case, kept by the case: a Valore is a view, made for one call.

#include "tracciati/valore.h"

#include <string>
#include <variant>

namespace tracciati::test {

struct Dato {
    std::variant<std::string, double, long long, shell::Data> v;
    Dato(const char* testo) : v(std::string(testo)) {}
    Dato(std::string testo) : v(std::move(testo)) {}
    Dato(double numero) : v(numero) {}
    Dato(int numero) : v(static_cast<long long>(numero)) {}
    Dato(long long numero) : v(numero) {}
    Dato(shell::Data data) : v(data) {}
    Valore Come() const {
        return std::visit([](const auto& x) { return Valore(x); }, v);
    }
};

} // namespace tracciati::test
