// What the payment dialogs share: reading an amount the cashier typed, and
// the text of a failed facade operation.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/clock.h"

namespace fvn {

class HostUi;

namespace sale {
class VENDA_INTERFACE;
}

// The message of an amount field that does not hold a number.
inline constexpr std::string_view kValorInvalido = "Valor inválido: informe um número, por exemplo 12,50 ou 1.234,56.";

// An amount typed with the Brazilian decimal comma ("12,50", "1.234,56"),
// read through the picture module; a lone period followed by one or two
// digits ("7.5", "12.50") is taken as a decimal point too. Blank is 0.
// std::nullopt when the text is not a number.
std::optional<double> le_valor(std::string_view texto);

// A whole number ("3", " 30 "); blank is 0; std::nullopt otherwise.
std::optional<int> le_inteiro(std::string_view texto);

// A date typed as dd/mm/yyyy (or dd/mm/yy); blank is 0 (no date);
// std::nullopt when it is not a date.
std::optional<Date> le_data(std::string_view texto);

// An installment's due date and amount as the cashier typed them in its
// row (blank: unchanged, 0). When either is not valid the cashier is told
// which, and there is no value.
struct VencimentoValor {
  Date vencimento = 0;
  double valor = 0;
};
std::optional<VencimentoValor> le_vencimento_valor(HostUi& ui, std::string_view vencimento, std::string_view valor);

// An amount as the dialogs show it: "1.234,56".
std::string mostra_valor(double valor);

// `contexto` + "|Retorno: " + code + "|Erro: " + text + "|Função: " +
// function of the facade's last failure.
std::string falha_venda(std::string_view contexto, const sale::VENDA_INTERFACE& venda);

}  // namespace fvn
