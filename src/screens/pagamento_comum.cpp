#include "screens/pagamento_comum.h"

#include <cmath>
#include <vector>

#include "runtime/error_triple.h"
#include "runtime/host_ui.h"
#include "runtime/picture.h"
#include "runtime/text.h"
#include "sale/venda_interface.h"

namespace fvn {

namespace {

// Decimal comma, periods between thousands, a leading minus.
constexpr std::string_view kValorDigitado = "@n-20`2";
constexpr std::string_view kValorMostrado = "@n-17`2";

// The shape of a typed amount: an optional minus, digits with or without
// periods between groups of three, then an optional comma and decimals.
// The picture module alone would read "12 50" as 1250 and "1.2.3" as 123.
bool forma_de_valor(std::string_view t) {
  if (!t.empty() && t.front() == '-') t.remove_prefix(1);
  const std::size_t virgula = t.find(',');
  const std::string_view inteira = t.substr(0, virgula);
  if (virgula != std::string_view::npos && !text::all_digits(t.substr(virgula + 1))) return false;
  if (inteira.empty() || text::all_digits(inteira)) return !inteira.empty() || virgula != std::string_view::npos;
  const std::vector<std::string> grupos = text::split(inteira, '.');
  for (std::size_t i = 0; i < grupos.size(); ++i) {
    const std::size_t n = grupos[i].size();
    if (!text::all_digits(grupos[i]) || n == 0 || n > 3 || (i > 0 && n != 3)) return false;
  }
  return true;
}

}  // namespace

std::optional<double> le_valor(std::string_view texto) {
  std::string t = text::trim(texto);
  if (t.empty()) return 0.0;
  // "12.50" typed with a decimal point: one period, one or two digits after it.
  const std::size_t ponto = t.find('.');
  if (t.find(',') == std::string::npos && ponto != std::string::npos && t.find('.', ponto + 1) == std::string::npos &&
      t.size() - ponto - 1 >= 1 && t.size() - ponto - 1 <= 2) {
    t[ponto] = ',';
  }
  if (!forma_de_valor(t)) return std::nullopt;
  const std::optional<double> valor = deformat_picture(t, kValorDigitado);
  if (!valor || !std::isfinite(*valor)) return std::nullopt;
  return valor;
}

std::optional<int> le_inteiro(std::string_view texto) {
  const std::string t = text::trim(texto);
  if (t.empty()) return 0;
  if (!text::all_digits(t) || t.size() > 9) return std::nullopt;
  return std::stoi(t);
}

std::optional<Date> le_data(std::string_view texto) {
  const std::string t = text::trim(texto);
  if (t.empty()) return Date{0};
  const std::optional<double> dia = deformat_picture(t, t.size() <= 8 ? "@d5" : "@d6");
  if (!dia || !valid_date(static_cast<std::int64_t>(*dia))) return std::nullopt;
  return static_cast<Date>(*dia);
}

std::optional<VencimentoValor> le_vencimento_valor(HostUi& ui, std::string_view vencimento, std::string_view valor) {
  const std::optional<Date> data = le_data(vencimento);
  if (!data) {
    ui.message("Data de vencimento inválida: informe dd/mm/aaaa.", "Erro", MessageIcon::Error);
    return std::nullopt;
  }
  const std::optional<double> v = le_valor(valor);
  if (!v) {
    ui.message(kValorInvalido, "Erro", MessageIcon::Error);
    return std::nullopt;
  }
  return VencimentoValor{*data, *v};
}

std::string mostra_valor(double valor) { return text::trim(format_picture(valor, kValorMostrado)); }

std::string falha_venda(std::string_view contexto, const sale::VENDA_INTERFACE& venda) {
  const ErrorTriple triplo{venda.Get_Error(), venda.Get_Error_Code(), venda.Get_Error_Function()};
  return std::string{contexto} + "|" + triplo.display();
}

}  // namespace fvn
