#include "app/simulate_command.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

#include "runtime/clock.h"
#include "runtime/decimal.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "sale/classe_venda.h"

namespace fvn::app {

namespace {

using Json = nlohmann::ordered_json;
using Cores = decltype(sale::QUEUE_ITEM::CORES);

// A script that cannot be run; the text says where and why.
struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A number as the report prints it: at most 15 significant digits (the
// runtime's decimal text of the value); null for a value that is not a number.
Json number(double x) {
  if (!std::isfinite(x)) return nullptr;
  return std::strtod(decimal_text(x).c_str(), nullptr);
}

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
    int year = 0;
    int month = 0;
    int day = 0;
    char end = 0;
    if (text.size() == 10 && std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) == 3) {
      const Date date = date_from_civil(year, month, day);
      if (date != 0) return date;
    }
  }
  throw ScriptError(where + ": a date (YYYY-MM-DD or a day number) is expected");
}

template <typename Record>
void read_record(const Json& object, Record& record, const std::string& where);

// Fills a record from a JSON object, member by member; a member the record
// does not have is a script error (it is almost always a misspelt name).
class Reader {
 public:
  Reader(const Json& object, std::string where) : object_(object), where_(std::move(where)) {}

  void operator()(std::string_view name, std::int32_t& field) {
    if (const Json* value = member(name)) field = as_int(*value, path(name));
  }
  void operator()(std::string_view name, double& field) {
    if (const Json* value = member(name)) field = as_double(*value, path(name));
  }
  void operator()(std::string_view name, std::string& field, std::size_t capacity) {
    if (const Json* value = member(name)) field = text::fit(as_text(*value, path(name)), capacity);
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

template <typename Record>
Json to_json(const Record& record);

// Writes a record's members, in declaration order, under their names.
class Writer {
 public:
  explicit Writer(Json& out) : out_(out) {}

  void operator()(std::string_view name, const std::int32_t& field) { out_[std::string{name}] = field; }
  void operator()(std::string_view name, const double& field) { out_[std::string{name}] = number(field); }
  void operator()(std::string_view name, const std::string& field, std::size_t) { out_[std::string{name}] = field; }
  template <int Digits, int Places>
  void operator()(std::string_view name, const Dec<Digits, Places>& field) {
    out_[std::string{name}] = number(field.value());
  }
  void operator()(std::string_view name, const Cores& cores) {
    Json colours = Json::object();
    for (std::size_t i = 0; i < cores.size(); ++i) {
      colours[std::string{sale::kCamposExibidos[i]}] = {cores[i].COR_1, cores[i].COR_2, cores[i].COR_3, cores[i].COR_4};
    }
    out_[std::string{name}] = colours;
  }
  template <typename Group>
  void operator()(std::string_view name, const Group& group) {
    out_[std::string{name}] = to_json(group);
  }

 private:
  Json& out_;
};

template <typename Record>
Json to_json(const Record& record) {
  Json out = Json::object();
  Writer writer(out);
  Record::fields(record, writer);
  return out;
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
    check_members(step, {"item"}, where);
    sale::QUEUE_ITEM item;
    read_record(required(step, "item", where), item, where + ".item");
    return {op, [item](sale::CLASSE_VENDA& venda, Json& line) mutable {
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

Json sale_values(const sale::CLASSE_VENDA& venda) {
  Json out = Json::object();
  out["DATA_EMISSAO"] = venda.DATA_EMISSAO;
  out["DATA_SAIDA"] = venda.DATA_SAIDA;
  out["QUEBRA"] = venda.QUEBRA;
  out["FINALIDADE_OPERACAO"] = venda.FINALIDADE_OPERACAO;
  out["ACRESCIMO"] = number(venda.ACRESCIMO);
  out["JUROS"] = number(venda.JUROS);
  out["ACRESCIMO_TOTAL"] = number(venda.ACRESCIMO_TOTAL);
  out["PERC_COMISSAO_VENDA"] = number(venda.PERC_COMISSAO_VENDA);
  out["OBSERVACAO"] = venda.OBSERVACAO;
  out["DESCONTO_VENDA"] = number(venda.ITEM->DESCONTO_VENDA);
  out["ACRESCIMO_VENDA"] = number(venda.ITEM->ACRESCIMO_VENDA);
  out["JUROS_VENDA"] = number(venda.ITEM->JUROS_VENDA);
  out["FRETE_VENDA"] = number(venda.ITEM->FRETE_VENDA);
  out["SEGURO_VENDA"] = number(venda.ITEM->SEGURO_VENDA);
  out["DESP_ACESSORIAS"] = number(venda.ITEM->DESP_ACESSORIAS);
  out["VALOR_IMPOSTOS"] = number(venda.ITEM->VALOR_IMPOSTOS);
  out["PERCENTUAL_IMPOSTOS"] = number(venda.ITEM->PERCENTUAL_IMPOSTOS);
  return out;
}

}  // namespace

int run_simulation(std::istream& script, std::ostream& out, std::ostream& err) {
  std::vector<Operation> setup;
  std::vector<Operation> steps;
  try {
    const Json document = Json::parse(script);
    if (!document.is_object()) throw ScriptError("the script must be a JSON object");
    for (const auto& [name, value] : document.items()) {
      if (name != "setup" && name != "steps") throw ScriptError(name + ": no such member");
    }
    if (const auto found = document.find("setup"); found != document.end()) setup = parse_setup(*found);
    const auto found = document.find("steps");
    if (found == document.end() || !found->is_array()) throw ScriptError("steps: a list of operations is expected");
    for (std::size_t i = 0; i < found->size(); ++i) {
      steps.push_back(parse_step((*found)[i], "steps[" + std::to_string(i) + "]"));
    }
  } catch (const Json::exception& e) {
    err << "fvn: simulate: the script is not valid JSON: " << e.what() << "\n";
    return kExitFailure;
  } catch (const ScriptError& e) {
    err << "fvn: simulate: " << e.what() << "\n";
    return kExitFailure;
  }

  sale::CLASSE_VENDA venda;
  Json report = Json::object();
  report["setup"] = run_all(setup, venda);
  report["steps"] = run_all(steps, venda);
  Json items = Json::array();
  for (std::int32_t n = 1; n <= venda.Get_Quantidade_Itens(); ++n) {
    sale::QUEUE_ITEM item;
    if (venda.ITEM->ITENS.get(static_cast<std::size_t>(n), item)) items.push_back(to_json(item));
  }
  report["items"] = std::move(items);
  report["totals"] = to_json(venda.TOTAIS_VENDA);
  report["venda"] = sale_values(venda);
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
            return run_simulation(script, ctx.out, ctx.err);
          }};
}

}  // namespace fvn::app
