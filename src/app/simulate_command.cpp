#include "app/simulate_command.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <functional>
#include <istream>
#include <limits>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/sale_report.h"
#include "nfce/validador_fiscal.h"
#include "runtime/clock.h"
#include "runtime/decimal.h"
#include "runtime/text.h"
#include "sale/classe_venda.h"

namespace fvn::app {

std::int32_t as_int(const Json& value, const std::string& where) {
  if (value.is_number_integer()) {
    const auto n = value.get<std::int64_t>();
    if (n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max()) {
      return static_cast<std::int32_t>(n);
    }
  }
  throw ScriptError(where + ": a whole number (32 bits) is expected");
}

double as_double(const Json& value, const std::string& where) {
  if (!value.is_number()) throw ScriptError(where + ": a number is expected");
  return value.get<double>();
}

std::string as_text(const Json& value, const std::string& where) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_integer()) return std::to_string(value.get<std::int64_t>());
  throw ScriptError(where + ": a text is expected");
}

// A date: "YYYY-MM-DD", or the runtime's day number as a whole number.
Date as_date(const Json& value, const std::string& where) {
  if (value.is_number_integer()) return as_int(value, where);
  if (value.is_string()) {
    const std::string text = value.get<std::string>();
    if (text == "today") return today();
    int year = 0;
    int month = 0;
    int day = 0;
    char end = 0;
    if (text.size() == 10 && std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) == 3) {
      const Date date = date_from_civil(year, month, day);
      if (date != 0) return date;
    }
  }
  throw ScriptError(where + ": a date (YYYY-MM-DD, \"today\" or a day number) is expected");
}

namespace {

template <typename Record>
void read_record(const Json& object, Record& record, const std::string& where);

// Fills a record from a JSON object, member by member; a member the record
// does not have is a script error (it is almost always a misspelt name).
class Reader {
 public:
  Reader(const Json& object, std::string where) : object_(object), where_(std::move(where)) {}

  void operator()(std::string_view name, std::int32_t& field) {
    const Json* value = member(name);
    if (value == nullptr) return;
    // Date members may be written as "YYYY-MM-DD".
    const bool date = name == "VENCIMENTO" || name == "DATA" || name == "DATA_PRIMEIRA";
    field = date && value->is_string() ? as_date(*value, path(name)) : as_int(*value, path(name));
  }
  void operator()(std::string_view name, double& field) {
    if (const Json* value = member(name)) field = as_double(*value, path(name));
  }
  void operator()(std::string_view name, std::string& field, std::size_t capacity) {
    const Json* value = member(name);
    if (value == nullptr) return;
    std::string text = as_text(*value, path(name));
    // The fields hold the digits only: a CPF or CNPJ typed with its
    // punctuation must not lose digits to the width.
    if (name == "CPF" || name == "CNPJ") text = document_digits(text);
    field = text::fit(text, capacity);
  }
  template <int Digits, int Places>
  void operator()(std::string_view name, Dec<Digits, Places>& field) {
    if (const Json* value = member(name)) field = as_double(*value, path(name));
  }
  void operator()(std::string_view name, Cores& cores) {
    const Json* value = member(name);
    if (value == nullptr) return;
    if (!value->is_object()) throw ScriptError(path(name) + ": an object is expected");
    for (const auto& [field, colours] : value->items()) {
      std::size_t i = 0;
      while (i < sale::kCamposExibidos.size() && sale::kCamposExibidos[i] != field) ++i;
      const std::string where = path(name) + "." + field;
      if (i == sale::kCamposExibidos.size()) throw ScriptError(where + ": no such field");
      if (!colours.is_array() || colours.size() != 4) throw ScriptError(where + ": four colours are expected");
      cores[i] = {as_int(colours[0], where), as_int(colours[1], where), as_int(colours[2], where),
                  as_int(colours[3], where)};
    }
  }
  template <typename Group>
  void operator()(std::string_view name, Group& group) {
    if (const Json* value = member(name)) read_record(*value, group, path(name));
  }

  void check_unknown() const {
    for (const auto& [name, value] : object_.items()) {
      if (known_.count(name) == 0) throw ScriptError(path(name) + ": no such member");
    }
  }

 private:
  const Json* member(std::string_view name) {
    known_.emplace(name);
    const auto found = object_.find(std::string{name});
    return found == object_.end() ? nullptr : &*found;
  }
  [[nodiscard]] std::string path(std::string_view name) const { return where_ + "." + std::string{name}; }

  const Json& object_;
  std::string where_;
  std::set<std::string, std::less<>> known_;
};

template <typename Record>
void read_record(const Json& object, Record& record, const std::string& where) {
  if (!object.is_object()) throw ScriptError(where + ": an object is expected");
  Reader reader(object, where);
  Record::fields(record, reader);
  reader.check_unknown();
}

// One operation of the script, ready to run: it returns the value of
// "result" (and may add members to the report line).
struct Operation {
  std::string op;
  std::function<Json(sale::CLASSE_VENDA&, Json&)> run;
};

void check_members(const Json& step, std::initializer_list<std::string_view> allowed, const std::string& where) {
  for (const auto& [name, value] : step.items()) {
    bool ok = name == "op";
    for (const std::string_view a : allowed) ok = ok || name == a;
    if (!ok) {
      std::string message = where;
      message += ".";
      message += name;
      message += ": no such member for this operation";
      throw ScriptError(message);
    }
  }
}

const Json& required(const Json& step, const char* name, const std::string& where) {
  const auto found = step.find(name);
  if (found == step.end()) throw ScriptError(where + ": member \"" + name + "\" is missing");
  return *found;
}

using AmountSetter = int (sale::CLASSE_VENDA::*)(double);
using WholeSetter = int (sale::CLASSE_VENDA::*)(std::int32_t);
using DateSetter = int (sale::CLASSE_VENDA::*)(Date);

template <typename Group>
Operation party(std::string op, int (sale::CLASSE_VENDA::*setter)(const Group&), const Json& value,
                const std::string& where) {
  Group group;
  read_record(value, group, where);
  return {std::move(op), [setter, group](sale::CLASSE_VENDA& venda, Json&) { return Json((venda.*setter)(group)); }};
}

// Payment, installment, condition, party and release operations. Returns
// false when `op` is none of them.
bool parse_payment_step(const Json& step, const std::string& op, const std::string& where, Operation& out) {
  using sale::CLASSE_VENDA;
  const std::string value_where = where + ".value";
  auto make = [&](std::function<Json(CLASSE_VENDA&, Json&)> run) {
    out = {op, std::move(run)};
    return true;
  };
  auto simple = [&](const std::function<int(CLASSE_VENDA&)>& run) {
    check_members(step, {}, where);
    return make([run](CLASSE_VENDA& venda, Json&) { return Json(run(venda)); });
  };

  static const std::vector<std::pair<std::string_view, AmountSetter>> amounts = {
      {"Set_Valor_Total_Pagar", &CLASSE_VENDA::Set_Valor_Total_Pagar},
      {"Set_Valor_Entrada", &CLASSE_VENDA::Set_Valor_Entrada},
      {"Set_Total_Parcelar", &CLASSE_VENDA::Set_Total_Parcelar},
      {"Set_Juro", &CLASSE_VENDA::Set_Juro}};
  for (const auto& [name, setter] : amounts) {
    if (op != name) continue;
    check_members(step, {"value"}, where);
    const double value = as_double(required(step, "value", where), value_where);
    const AmountSetter s = setter;
    return make([s, value](CLASSE_VENDA& venda, Json&) { return Json((venda.*s)(value)); });
  }
  static const std::vector<std::pair<std::string_view, WholeSetter>> wholes = {
      {"Set_Permite_Entrada", &CLASSE_VENDA::Set_Permite_Entrada},
      {"Set_Condicao_Pagamento", &CLASSE_VENDA::Set_Condicao_Pagamento},
      {"Set_Numero_Parcelas", &CLASSE_VENDA::Set_Numero_Parcelas},
      {"Set_Dias", &CLASSE_VENDA::Set_Dias},
      {"Set_Dia_Mes", &CLASSE_VENDA::Set_Dia_Mes},
      {"Set_Primeira", &CLASSE_VENDA::Set_Primeira},
      {"Set_Tipo_Juro", &CLASSE_VENDA::Set_Tipo_Juro},
      {"Set_Numero_Parcelas_Pagamento", &CLASSE_VENDA::Set_Numero_Parcelas_Pagamento},
      {"Set_Dias_Parcelas_Pagamento", &CLASSE_VENDA::Set_Dias_Parcelas_Pagamento},
      {"Estorna_Pagamento", &CLASSE_VENDA::Estorna_Pagamento},
      {"Estorna_Parcela_Pagamento", &CLASSE_VENDA::Estorna_Parcela_Pagamento},
      {"Recalcula_Parcelas_Seguintes", &CLASSE_VENDA::Recalcula_Parcelas_Seguintes}};
  for (const auto& [name, setter] : wholes) {
    if (op != name) continue;
    check_members(step, {"value"}, where);
    const std::int32_t value = as_int(required(step, "value", where), value_where);
    const WholeSetter s = setter;
    return make([s, value](CLASSE_VENDA& venda, Json&) { return Json((venda.*s)(value)); });
  }
  if (op == "Set_Data_Primeira") {
    check_members(step, {"value"}, where);
    const Date value = as_date(required(step, "value", where), value_where);
    return make([value](CLASSE_VENDA& venda, Json&) { return Json(venda.Set_Data_Primeira(value)); });
  }

  if (op == "Calcula_Parcelas") return simple([](CLASSE_VENDA& v) { return v.Calcula_Parcelas(); });
  if (op == "Calcula_Simulacao") return simple([](CLASSE_VENDA& v) { return v.Calcula_Simulacao(); });
  if (op == "Checa_Valores") return simple([](CLASSE_VENDA& v) { return v.Checa_Valores(); });
  if (op == "Zera_Prestacoes") return simple([](CLASSE_VENDA& v) { return v.Zera_Prestacoes(); });
  if (op == "Limpa_Prestacoes") return simple([](CLASSE_VENDA& v) { return v.Limpa_Prestacoes(); });
  if (op == "Calcula_Tot") return simple([](CLASSE_VENDA& v) { return v.Calcula_Tot(); });
  if (op == "Calcula_Parcelas_Pagamento") return simple([](CLASSE_VENDA& v) { return v.Calcula_Parcelas_Pagamento(); });
  if (op == "Conclui_Pagamento") return simple([](CLASSE_VENDA& v) { return v.Conclui_Pagamento(); });
  if (op == "Limpa_Condicoes_Pagamento") return simple([](CLASSE_VENDA& v) { return v.Limpa_Condicoes_Pagamento(); });
  if (op == "Limpa_Transportadora" || op == "Limpa_Parceiro_Venda" || op == "Limpa_Evento_Venda") {
    check_members(step, {}, where);
    return make([op](CLASSE_VENDA& venda, Json&) {
      if (op == "Limpa_Transportadora") venda.Limpa_Transportadora();
      if (op == "Limpa_Parceiro_Venda") venda.Limpa_Parceiro_Venda();
      if (op == "Limpa_Evento_Venda") venda.Limpa_Evento_Venda();
      return Json(nullptr);
    });
  }

  // Operations on one installment: "n" and "value".
  if (op == "Set_Valor_Parcela" || op == "Set_Valor_Parcela_Pagamento") {
    check_members(step, {"n", "value"}, where);
    const std::int32_t n = as_int(required(step, "n", where), where + ".n");
    const double value = as_double(required(step, "value", where), value_where);
    const bool pagamento = op == "Set_Valor_Parcela_Pagamento";
    return make([=](CLASSE_VENDA& venda, Json&) {
      return Json(pagamento ? venda.Set_Valor_Parcela_Pagamento(n, value) : venda.Set_Valor_Parcela(n, value));
    });
  }
  if (op == "Set_Vencimento_Parcela" || op == "Set_Vencimento_Parcela_Pagamento") {
    check_members(step, {"n", "value"}, where);
    const std::int32_t n = as_int(required(step, "n", where), where + ".n");
    const Date value = as_date(required(step, "value", where), value_where);
    const bool pagamento = op == "Set_Vencimento_Parcela_Pagamento";
    return make([=](CLASSE_VENDA& venda, Json&) {
      return Json(pagamento ? venda.Set_Vencimento_Parcela_Pagamento(n, value)
                            : venda.Set_Vencimento_Parcela(n, value));
    });
  }
  if (op == "Set_Documento_Parcela_Pagamento" || op == "Set_Conta_Parcela_Pagamento") {
    check_members(step, {"n", "value"}, where);
    const std::int32_t n = as_int(required(step, "n", where), where + ".n");
    const std::string value = as_text(required(step, "value", where), value_where);
    const bool documento = op == "Set_Documento_Parcela_Pagamento";
    return make([=](CLASSE_VENDA& venda, Json&) {
      return Json(documento ? venda.Set_Documento_Parcela_Pagamento(n, value)
                            : venda.Set_Conta_Parcela_Pagamento(n, value));
    });
  }
  if (op == "Set_Entidade_Parcela_Pagamento") {
    check_members(step, {"n", "value"}, where);
    const std::int32_t n = as_int(required(step, "n", where), where + ".n");
    const std::int32_t value = as_int(required(step, "value", where), value_where);
    return make([=](CLASSE_VENDA& venda, Json&) { return Json(venda.Set_Entidade_Parcela_Pagamento(n, value)); });
  }

  // Records.
  if (op == "Adiciona_Condicao") {
    check_members(step, {"value"}, where);
    payment::PaymentCondition c;
    read_record(required(step, "value", where), c, value_where);
    return make([c](CLASSE_VENDA& venda, Json&) { return Json(venda.Adiciona_Condicao(c)); });
  }
  if (op == "Adiciona_Prestacao" || op == "Adiciona_Parcela_Pagamento") {
    check_members(step, {"value"}, where);
    payment::QUEUE_PARCELAS p;
    read_record(required(step, "value", where), p, value_where);
    const bool pagamento = op == "Adiciona_Parcela_Pagamento";
    return make([p, pagamento](CLASSE_VENDA& venda, Json&) {
      return Json(pagamento ? venda.Adiciona_Parcela_Pagamento(p) : venda.Adiciona_Prestacao(p));
    });
  }
  // Loading the ledger is not a facade operation: the step shows the
  // ledger's own error triple.
  if (op == "Adiciona_Entidade" || op == "Adiciona_Forma_Pagamento") {
    check_members(step, {"value"}, where);
    const Json& value = required(step, "value", where);
    payment::FinancialEntity entidade;
    payment::GRUPO_FORMAS_PAGAMENTO forma;
    const bool e_entidade = op == "Adiciona_Entidade";
    if (e_entidade) {
      read_record(value, entidade, value_where);
    } else {
      read_record(value, forma, value_where);
    }
    return make([=](CLASSE_VENDA& venda, Json& line) {
      payment::PaymentLedger& ledger = *venda.PAGAMENTO;
      const int result = e_entidade ? ledger.Adiciona_Entidade(entidade) : ledger.Adiciona_Forma_Pagamento(forma);
      line["ERROR"] = ledger.ERROR;
      line["ERROR_CODE"] = ledger.ERROR_CODE;
      line["ERROR_FUNCTION"] = ledger.ERROR_FUNCTION;
      return Json(result);
    });
  }
  if (op == "Set_Dados_Transportadora") {
    check_members(step, {"value"}, where);
    out = party(op, &CLASSE_VENDA::Set_Dados_Transportadora, required(step, "value", where), value_where);
    return true;
  }
  if (op == "Set_Dados_Volume") {
    check_members(step, {"value"}, where);
    out = party(op, &CLASSE_VENDA::Set_Dados_Volume, required(step, "value", where), value_where);
    return true;
  }
  if (op == "Set_Parceiro_Venda") {
    check_members(step, {"value"}, where);
    out = party(op, &CLASSE_VENDA::Set_Parceiro_Venda, required(step, "value", where), value_where);
    return true;
  }
  if (op == "Set_Evento_Venda") {
    check_members(step, {"value"}, where);
    out = party(op, &CLASSE_VENDA::Set_Evento_Venda, required(step, "value", where), value_where);
    return true;
  }
  if (op == "Seta_Dados_Liberacao_Desconto" || op == "Seta_Dados_Liberacao_Cancelamento" ||
      op == "Seta_Dados_Liberacao_Venda_Prazo") {
    const bool prazo = op == "Seta_Dados_Liberacao_Venda_Prazo";
    if (prazo) {
      check_members(step, {"value"}, where);
    } else {
      check_members(step, {"value", "n"}, where);
    }
    sale::GRUPO_DADOS_LIBERACAO l;
    read_record(required(step, "value", where), l, value_where);
    const auto n_member = step.find("n");
    const bool por_item = n_member != step.end();
    const std::int32_t n = por_item ? as_int(*n_member, where + ".n") : 0;
    return make([=](CLASSE_VENDA& venda, Json&) {
      if (prazo) return Json(venda.Seta_Dados_Liberacao_Venda_Prazo(l));
      if (op == "Seta_Dados_Liberacao_Desconto") {
        return Json(por_item ? venda.Seta_Dados_Liberacao_Desconto(l, n) : venda.Seta_Dados_Liberacao_Desconto(l));
      }
      return Json(por_item ? venda.Seta_Dados_Liberacao_Cancelamento(l, n)
                           : venda.Seta_Dados_Liberacao_Cancelamento(l));
    });
  }
  if (op == "Paga") {
    check_members(step, {"forma", "value", "id_credito", "troco", "sinal", "ignora_id_credito"}, where);
    const std::int32_t forma = as_int(required(step, "forma", where), where + ".forma");
    const double value = as_double(required(step, "value", where), value_where);
    const std::int32_t id_credito = step.contains("id_credito") ? as_int(step["id_credito"], where + ".id_credito") : 0;
    auto flag = [&](const char* name) {
      if (!step.contains(name)) return false;
      if (!step[name].is_boolean()) throw ScriptError(where + "." + name + ": true or false is expected");
      return step[name].get<bool>();
    };
    payment::PaymentOptions opcoes;
    opcoes.permite_troco = flag("troco");
    opcoes.sinal = flag("sinal");
    opcoes.ignora_id_credito = flag("ignora_id_credito");
    return make([=](CLASSE_VENDA& venda, Json&) { return Json(venda.Paga(forma, value, id_credito, opcoes)); });
  }
  return false;
}

Operation parse_step(const Json& step, const std::string& where) {
  if (!step.is_object()) throw ScriptError(where + ": an object is expected");
  const std::string op = as_text(required(step, "op", where), where + ".op");
  const std::string value_where = where + ".value";

  static const std::vector<std::pair<std::string_view, AmountSetter>> amounts = {
      {"Set_Desconto_Venda", &sale::CLASSE_VENDA::Set_Desconto_Venda},
      {"Set_Acrescimo_Venda", &sale::CLASSE_VENDA::Set_Acrescimo_Venda},
      {"Set_Juros_Venda", &sale::CLASSE_VENDA::Set_Juros_Venda},
      {"Set_Frete_Venda", &sale::CLASSE_VENDA::Set_Frete_Venda},
      {"Set_Seguro_Venda", &sale::CLASSE_VENDA::Set_Seguro_Venda},
      {"Set_Desp_Acessorias_Venda", &sale::CLASSE_VENDA::Set_Desp_Acessorias_Venda},
      {"Set_Perc_Comissao_Venda", &sale::CLASSE_VENDA::Set_Perc_Comissao_Venda}};
  for (const auto& amount : amounts) {
    if (op != amount.first) continue;
    const AmountSetter setter = amount.second;
    check_members(step, {"value"}, where);
    const double value = as_double(required(step, "value", where), value_where);
    return {op, [setter, value](sale::CLASSE_VENDA& venda, Json&) { return Json((venda.*setter)(value)); }};
  }
  static const std::vector<std::pair<std::string_view, WholeSetter>> wholes = {
      {"Set_Quebra", &sale::CLASSE_VENDA::Set_Quebra},
      {"Set_Finalidade_Operacao", &sale::CLASSE_VENDA::Set_Finalidade_Operacao}};
  for (const auto& whole : wholes) {
    if (op != whole.first) continue;
    const WholeSetter setter = whole.second;
    check_members(step, {"value"}, where);
    const std::int32_t value = as_int(required(step, "value", where), value_where);
    return {op, [setter, value](sale::CLASSE_VENDA& venda, Json&) { return Json((venda.*setter)(value)); }};
  }
  static const std::vector<std::pair<std::string_view, DateSetter>> dates = {
      {"Set_Data_Emissao", &sale::CLASSE_VENDA::Set_Data_Emissao},
      {"Set_Data_Saida", &sale::CLASSE_VENDA::Set_Data_Saida}};
  for (const auto& date : dates) {
    if (op != date.first) continue;
    const DateSetter setter = date.second;
    check_members(step, {"value"}, where);
    const Date value = as_date(required(step, "value", where), value_where);
    return {op, [setter, value](sale::CLASSE_VENDA& venda, Json&) { return Json((venda.*setter)(value)); }};
  }

  if (op == "Vende_Item") {
    check_members(step, {"item", "pesar"}, where);
    sale::QUEUE_ITEM item;
    read_record(required(step, "item", where), item, where + ".item");
    // "pesar": true takes the quantity from the scale, as the sale screen
    // does for a weighed product.
    const auto pesar = step.find("pesar");
    const bool weighed = pesar != step.end() && pesar->is_boolean() && pesar->get<bool>();
    return {op, [item, weighed](sale::CLASSE_VENDA& venda, Json& line) mutable {
              if (weighed) {
                double peso = 0;
                if (venda.Get_Peso(peso) != 1) return Json(0);
                item.QUANTIDADE = peso;
                item.BALANCA = 1;
                line["PESO"] = peso;
              }
              const int result = venda.Vende_Item(item);
              line["NUMERO"] = item.NUMERO;
              return Json(result);
            }};
  }
  if (op == "Cancela_Item") {
    check_members(step, {"n"}, where);
    const std::int32_t n = as_int(required(step, "n", where), where + ".n");
    return {op, [n](sale::CLASSE_VENDA& venda, Json&) { return Json(venda.Cancela_Item(n)); }};
  }
  if (op == "Calcula_Total_Venda") {
    check_members(step, {}, where);
    return {op, [](sale::CLASSE_VENDA& venda, Json&) { return Json(venda.Calcula_Total_Venda(venda.TOTAIS_VENDA)); }};
  }
  if (op == "Limpa_Venda") {
    check_members(step, {}, where);
    return {op, [](sale::CLASSE_VENDA& venda, Json&) { return Json(venda.Limpa_Venda()); }};
  }
  if (op == "Limpa_Itens_Venda") {
    check_members(step, {}, where);
    return {op, [](sale::CLASSE_VENDA& venda, Json&) { return Json(venda.Limpa_Itens_Venda()); }};
  }
  if (op == "Calcula_Qtde_Itens_Vendidos") {
    check_members(step, {}, where);
    return {op, [](sale::CLASSE_VENDA& venda, Json&) { return Json(venda.Calcula_Qtde_Itens_Vendidos()); }};
  }
  if (op == "Get_Quantidade_Produto") {
    check_members(step, {"value"}, where);
    const std::int32_t id = as_int(required(step, "value", where), value_where);
    return {op, [id](sale::CLASSE_VENDA& venda, Json&) { return number(venda.Get_Quantidade_Produto(id)); }};
  }
  if (op == "Set_Observacao") {
    check_members(step, {"value"}, where);
    const std::string text = as_text(required(step, "value", where), value_where);
    return {op, [text](sale::CLASSE_VENDA& venda, Json&) { return Json(venda.Set_Observacao(text)); }};
  }
  if (op == "Set_Cores") {
    check_members(step, {"COR_1", "COR_2", "COR_CANCELADO"}, where);
    const std::int32_t c1 = as_int(required(step, "COR_1", where), where + ".COR_1");
    const std::int32_t c2 = as_int(required(step, "COR_2", where), where + ".COR_2");
    const std::int32_t cc = as_int(required(step, "COR_CANCELADO", where), where + ".COR_CANCELADO");
    return {op, [c1, c2, cc](sale::CLASSE_VENDA& venda, Json&) {
              venda.Set_Cores(c1, c2, cc);
              return Json(nullptr);
            }};
  }
  if (op == "Set_Dados_Empresa") {
    check_members(step, {"value"}, where);
    return party(op, &sale::CLASSE_VENDA::Set_Dados_Empresa, required(step, "value", where), value_where);
  }
  if (op == "Set_Dados_Operacao") {
    check_members(step, {"value"}, where);
    return party(op, &sale::CLASSE_VENDA::Set_Dados_Operacao, required(step, "value", where), value_where);
  }
  if (op == "Set_Dados_Emissor") {
    check_members(step, {"value"}, where);
    return party(op, &sale::CLASSE_VENDA::Set_Dados_Emissor, required(step, "value", where), value_where);
  }
  if (op == "Set_Dados_Cliente") {
    check_members(step, {"value"}, where);
    return party(op, &sale::CLASSE_VENDA::Set_Dados_Cliente, required(step, "value", where), value_where);
  }
  if (op == "Set_Dados_Vendedor") {
    check_members(step, {"value"}, where);
    return party(op, &sale::CLASSE_VENDA::Set_Dados_Vendedor, required(step, "value", where), value_where);
  }
  if (Operation payment_step; parse_payment_step(step, op, where, payment_step)) return payment_step;
  throw ScriptError(where + ".op: unknown operation \"" + op + "\"");
}

// The setup becomes the same operations as steps, in the order the sale
// screen sets them: emitter, operation, company, customer, seller, purpose,
// issue date, break mode.
std::vector<Operation> parse_setup(const Json& setup) {
  if (!setup.is_object()) throw ScriptError("setup: an object is expected");
  static constexpr std::array<std::string_view, 8> kOrder = {
      "EMISSOR", "OPERACAO", "EMPRESA", "CLIENTE", "VENDEDOR", "FINALIDADE_OPERACAO", "DATA_EMISSAO", "QUEBRA"};
  for (const auto& [name, value] : setup.items()) {
    bool known = false;
    for (const std::string_view k : kOrder) known = known || name == k;
    if (!known) throw ScriptError("setup." + name + ": no such member");
  }
  std::vector<Operation> operations;
  for (const std::string_view key : kOrder) {
    const auto found = setup.find(std::string{key});
    if (found == setup.end()) continue;
    const std::string where = "setup." + std::string{key};
    Json step = Json::object();
    step["value"] = *found;
    if (key == "EMISSOR") step["op"] = "Set_Dados_Emissor";
    if (key == "OPERACAO") step["op"] = "Set_Dados_Operacao";
    if (key == "EMPRESA") step["op"] = "Set_Dados_Empresa";
    if (key == "CLIENTE") step["op"] = "Set_Dados_Cliente";
    if (key == "VENDEDOR") step["op"] = "Set_Dados_Vendedor";
    if (key == "FINALIDADE_OPERACAO") step["op"] = "Set_Finalidade_Operacao";
    if (key == "DATA_EMISSAO") step["op"] = "Set_Data_Emissao";
    if (key == "QUEBRA") step["op"] = "Set_Quebra";
    try {
      operations.push_back(parse_step(step, where));
    } catch (const ScriptError& e) {
      // Name the setup member rather than the step the setup became.
      std::string message = e.what();
      const std::string inner = where + ".value";
      if (message.rfind(inner, 0) == 0) message.replace(0, inner.size(), where);
      throw ScriptError(message);
    }
  }
  return operations;
}

Json run_all(const std::vector<Operation>& operations, sale::CLASSE_VENDA& venda) {
  Json lines = Json::array();
  for (const Operation& operation : operations) {
    Json line = Json::object();
    line["op"] = operation.op;
    Json extra = Json::object();
    line["result"] = operation.run(venda, extra);
    line["ERROR"] = venda.ERROR;
    line["ERROR_CODE"] = venda.ERROR_CODE;
    line["ERROR_FUNCTION"] = venda.ERROR_FUNCTION;
    for (const auto& [name, value] : extra.items()) line[name] = value;
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

namespace {

// The script's setup and steps, parsed; a ScriptError or a JSON error when
// the script is not valid.
struct Script {
  std::vector<Operation> setup;
  std::vector<Operation> steps;
};

Script parse_script(std::istream& input) {
  Script script;
  const Json document = Json::parse(input);
  if (!document.is_object()) throw ScriptError("the script must be a JSON object");
  for (const auto& [name, value] : document.items()) {
    if (name != "setup" && name != "steps") throw ScriptError(name + ": no such member");
  }
  if (const auto found = document.find("setup"); found != document.end()) script.setup = parse_setup(*found);
  const auto found = document.find("steps");
  if (found == document.end() || !found->is_array()) throw ScriptError("steps: a list of operations is expected");
  for (std::size_t i = 0; i < found->size(); ++i) {
    script.steps.push_back(parse_step((*found)[i], "steps[" + std::to_string(i) + "]"));
  }
  return script;
}

}  // namespace

bool build_sale(std::istream& input, sale::CLASSE_VENDA& venda, std::string& problem) {
  Script script;
  try {
    script = parse_script(input);
  } catch (const Json::exception& e) {
    problem = std::string{"the script is not valid JSON: "} + e.what();
    return false;
  } catch (const ScriptError& e) {
    problem = e.what();
    return false;
  }
  std::size_t index = 0;
  for (const auto* list : {&script.setup, &script.steps}) {
    for (const Operation& operation : *list) {
      Json extra = Json::object();
      // Module operations answer 1 or 0; getters answer values and never fail.
      const Json result = operation.run(venda, extra);
      if (result.is_number_integer() && result.get<long long>() == 0) {
        problem = (list == &script.setup ? "setup: " : "steps[" + std::to_string(index) + "]: ") + operation.op +
                  " failed: " + venda.display();
        return false;
      }
      if (list == &script.steps) ++index;
    }
  }
  return true;
}

int run_simulation(std::istream& input, std::ostream& out, std::ostream& err, const devices::DadosBalanca& scale) {
  Script script;
  try {
    script = parse_script(input);
  } catch (const Json::exception& e) {
    err << "fvn: simulate: the script is not valid JSON: " << e.what() << "\n";
    return kExitFailure;
  } catch (const ScriptError& e) {
    err << "fvn: simulate: " << e.what() << "\n";
    return kExitFailure;
  }

  sale::CLASSE_VENDA venda;
  venda.DADOS_BALANCA = scale;
  Json report = Json::object();
  report["setup"] = run_all(script.setup, venda);
  report["steps"] = run_all(script.steps, venda);
  add_sale_report(report, venda);
  out << report.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
  return kExitOk;
}

Command simulate_command() {
  return {"simulate", "FILE.json", "run a sale script through the sale facade in memory and print the sale as JSON",
          [](Context& ctx, const std::vector<std::string>& args) {
            if (args.size() != 1) {
              ctx.err << "fvn: simulate takes one script file (see docs/simulate.md)\n";
              return kExitUsage;
            }
            std::ifstream script(args[0], std::ios::binary);
            if (!script) {
              ctx.err << "fvn: simulate: cannot read " << args[0] << "\n";
              return kExitFailure;
            }
            return run_simulation(script, ctx.out, ctx.err, devices::le_dados_balanca(ctx.config));
          }};
}

}  // namespace fvn::app
