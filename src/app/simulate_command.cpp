#include "app/simulate_command.h"

#include <array>
#include <fstream>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/script_reader.h"
#include "nfce/validador_fiscal.h"
#include "runtime/decimal.h"
#include "runtime/text.h"

namespace fvn::app {

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
  // A fixed-point field refuses what it cannot hold: assigned, the value
  // would be saturated without a word.
  template <int Digits, int Places>
  void operator()(std::string_view name, Dec<Digits, Places>& field) {
    const Json* value = member(name);
    if (value != nullptr && !field.set(as_double(*value, path(name)))) {
      throw ScriptError(path(name) + ": a number of at most " + std::to_string(Digits - Places) +
                        " whole digits is expected");
    }
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
Record as_record(const Json& value, const std::string& where) {
  Record record;
  read_record(value, record, where);
  return record;
}
template <typename Record>
Member<Record, as_record<Record>> record(std::string_view name) {
  return {name};
}

using V = sale::CLASSE_VENDA;
// A step ready to run: it returns the value of "result" and may add
// members to the report line.
using Run = std::function<Json(V&, Json& line)>;

// Calls `f` on the sale with the step's values (and the report line, when
// it takes it); a module operation answers 1/0, a getter its value, a
// clearing operation null.
template <typename F, typename... A>
Json call(const F& f, V& venda, Json& line, const A&... values) {
  if constexpr (std::is_invocable_v<const F&, V&, Json&, const A&...>) {
    return Json(std::invoke(f, venda, line, values...));
  } else {
    using R = std::invoke_result_t<const F&, V&, const A&...>;
    if constexpr (std::is_void_v<R>) {
      std::invoke(f, venda, values...);
      return Json(nullptr);
    } else if constexpr (std::is_floating_point_v<R>) {
      return number(std::invoke(f, venda, values...));
    } else {
      return Json(std::invoke(f, venda, values...));
    }
  }
}

// An operation of the facade: its members, read in order, become the
// arguments of `f` (after the sale, and the report line if `f` takes it).
template <typename F, typename... Members>
StepKind<Run> op(std::string_view name, F f, Members... members) {
  return step_kind<Run>(
      name,
      [f](const auto&... values) -> Run {
        return [f, values...](V& venda, Json& line) { return call(f, venda, line, values...); };
      },
      members...);
}

// An operation that takes a record under "value", its type that of the
// setter's argument.
template <typename Target, typename Group>
StepKind<Run> with_record(std::string_view name, int (Target::*set)(const Group&)) {
  if constexpr (std::is_same_v<Target, V>) {
    return op(name, set, record<Group>("value"));
  } else {
    // Loading the payment ledger is not a facade operation: the step shows
    // the ledger's own error triple.
    return op(
        name,
        [set](V& venda, Json& line, const Group& group) {
          Target& ledger = *venda.PAGAMENTO;
          const int result = (ledger.*set)(group);
          line["ERROR"] = ledger.ERROR;
          line["ERROR_CODE"] = ledger.ERROR_CODE;
          line["ERROR_FUNCTION"] = ledger.ERROR_FUNCTION;
          return result;
        },
        record<Group>("value"));
  }
}

template <typename Group>
Group group_of(int (V::*)(const Group&));
using Liberacao = decltype(group_of(&V::Seta_Dados_Liberacao_Venda_Prazo));
using Ledger = std::remove_reference_t<decltype(*std::declval<V&>().PAGAMENTO)>;

// A release record: the sale's, or with "n" the item's.
template <int (V::*OfSale)(const Liberacao&), int (V::*OfItem)(const Liberacao&, std::int32_t)>
StepKind<Run> liberacao(std::string_view name) {
  return op(
      name,
      [](V& venda, const Liberacao& l, std::optional<std::int32_t> n) {
        return n ? (venda.*OfItem)(l, *n) : (venda.*OfSale)(l);
      },
      record<Liberacao>("value"), maybe_whole("n"));
}

// Every operation a script may call.
const std::vector<StepKind<Run>>& operations() {
  static const std::vector<StepKind<Run>> table = {
      op(
          "Vende_Item",
          // "pesar": true takes the quantity from the scale, as the sale
          // screen does for a weighed product.
          [](V& venda, Json& line, sale::QUEUE_ITEM item, std::optional<bool> pesar) {
            if (pesar.value_or(false)) {
              double peso = 0;
              if (venda.Get_Peso(peso) != 1) return Json(0);
              item.QUANTIDADE = peso;
              item.BALANCA = 1;
              line["PESO"] = peso;
            }
            const int result = venda.Vende_Item(item);
            line["NUMERO"] = item.NUMERO;
            return Json(result);
          },
          record<sale::QUEUE_ITEM>("item"), flag("pesar")),
      op("Cancela_Item", &V::Cancela_Item, whole("n")),
      op("Set_Desconto_Venda", &V::Set_Desconto_Venda, amount("value")),
      op("Set_Acrescimo_Venda", &V::Set_Acrescimo_Venda, amount("value")),
      op("Set_Juros_Venda", &V::Set_Juros_Venda, amount("value")),
      op("Set_Frete_Venda", &V::Set_Frete_Venda, amount("value")),
      op("Set_Seguro_Venda", &V::Set_Seguro_Venda, amount("value")),
      op("Set_Desp_Acessorias_Venda", &V::Set_Desp_Acessorias_Venda, amount("value")),
      op("Set_Perc_Comissao_Venda", &V::Set_Perc_Comissao_Venda, amount("value")),
      op("Set_Quebra", &V::Set_Quebra, whole("value")),
      op("Set_Finalidade_Operacao", &V::Set_Finalidade_Operacao, whole("value")),
      op("Set_Data_Emissao", &V::Set_Data_Emissao, date("value")),
      op("Set_Data_Saida", &V::Set_Data_Saida, date("value")),
      op("Calcula_Total_Venda", [](V& venda) { return venda.Calcula_Total_Venda(venda.TOTAIS_VENDA); }),
      op("Limpa_Venda", &V::Limpa_Venda),
      op("Limpa_Itens_Venda", &V::Limpa_Itens_Venda),
      op("Calcula_Qtde_Itens_Vendidos", &V::Calcula_Qtde_Itens_Vendidos),
      op("Get_Quantidade_Produto", &V::Get_Quantidade_Produto, whole("value")),
      op("Set_Observacao", &V::Set_Observacao, text("value")),
      op("Set_Cores", &V::Set_Cores, whole("COR_1"), whole("COR_2"), whole("COR_CANCELADO")),
      with_record("Set_Dados_Empresa", &V::Set_Dados_Empresa),
      with_record("Set_Dados_Operacao", &V::Set_Dados_Operacao),
      with_record("Set_Dados_Emissor", &V::Set_Dados_Emissor),
      with_record("Set_Dados_Cliente", &V::Set_Dados_Cliente),
      with_record("Set_Dados_Vendedor", &V::Set_Dados_Vendedor),
      // Payments, installments, conditions, parties and release records.
      op("Set_Valor_Total_Pagar", &V::Set_Valor_Total_Pagar, amount("value")),
      op("Set_Valor_Entrada", &V::Set_Valor_Entrada, amount("value")),
      op("Set_Total_Parcelar", &V::Set_Total_Parcelar, amount("value")),
      op("Set_Juro", &V::Set_Juro, amount("value")),
      op("Set_Permite_Entrada", &V::Set_Permite_Entrada, whole("value")),
      op("Set_Condicao_Pagamento", &V::Set_Condicao_Pagamento, whole("value")),
      op("Set_Numero_Parcelas", &V::Set_Numero_Parcelas, whole("value")),
      op("Set_Dias", &V::Set_Dias, whole("value")),
      op("Set_Dia_Mes", &V::Set_Dia_Mes, whole("value")),
      op("Set_Primeira", &V::Set_Primeira, whole("value")),
      op("Set_Tipo_Juro", &V::Set_Tipo_Juro, whole("value")),
      op("Set_Numero_Parcelas_Pagamento", &V::Set_Numero_Parcelas_Pagamento, whole("value")),
      op("Set_Dias_Parcelas_Pagamento", &V::Set_Dias_Parcelas_Pagamento, whole("value")),
      op("Estorna_Pagamento", &V::Estorna_Pagamento, whole("value")),
      op("Estorna_Parcela_Pagamento", &V::Estorna_Parcela_Pagamento, whole("value")),
      op("Recalcula_Parcelas_Seguintes", &V::Recalcula_Parcelas_Seguintes, whole("value")),
      op("Set_Data_Primeira", &V::Set_Data_Primeira, date("value")),
      op("Calcula_Parcelas", &V::Calcula_Parcelas),
      op("Calcula_Simulacao", &V::Calcula_Simulacao),
      op("Checa_Valores", &V::Checa_Valores),
      op("Zera_Prestacoes", &V::Zera_Prestacoes),
      op("Limpa_Prestacoes", &V::Limpa_Prestacoes),
      op("Calcula_Tot", &V::Calcula_Tot),
      op("Calcula_Parcelas_Pagamento", &V::Calcula_Parcelas_Pagamento),
      op("Conclui_Pagamento", &V::Conclui_Pagamento),
      op("Limpa_Condicoes_Pagamento", &V::Limpa_Condicoes_Pagamento),
      op("Limpa_Transportadora", &V::Limpa_Transportadora),
      op("Limpa_Parceiro_Venda", &V::Limpa_Parceiro_Venda),
      op("Limpa_Evento_Venda", &V::Limpa_Evento_Venda),
      // Operations on one installment: "n" and "value".
      op("Set_Valor_Parcela", &V::Set_Valor_Parcela, whole("n"), amount("value")),
      op("Set_Valor_Parcela_Pagamento", &V::Set_Valor_Parcela_Pagamento, whole("n"), amount("value")),
      op("Set_Vencimento_Parcela", &V::Set_Vencimento_Parcela, whole("n"), date("value")),
      op("Set_Vencimento_Parcela_Pagamento", &V::Set_Vencimento_Parcela_Pagamento, whole("n"), date("value")),
      op("Set_Documento_Parcela_Pagamento", &V::Set_Documento_Parcela_Pagamento, whole("n"), text("value")),
      op("Set_Conta_Parcela_Pagamento", &V::Set_Conta_Parcela_Pagamento, whole("n"), text("value")),
      op("Set_Entidade_Parcela_Pagamento", &V::Set_Entidade_Parcela_Pagamento, whole("n"), whole("value")),
      with_record("Adiciona_Condicao", &V::Adiciona_Condicao),
      with_record("Adiciona_Prestacao", &V::Adiciona_Prestacao),
      with_record("Adiciona_Parcela_Pagamento", &V::Adiciona_Parcela_Pagamento),
      with_record("Adiciona_Entidade", &Ledger::Adiciona_Entidade),
      with_record("Adiciona_Forma_Pagamento", &Ledger::Adiciona_Forma_Pagamento),
      with_record("Set_Dados_Transportadora", &V::Set_Dados_Transportadora),
      with_record("Set_Dados_Volume", &V::Set_Dados_Volume),
      with_record("Set_Parceiro_Venda", &V::Set_Parceiro_Venda),
      with_record("Set_Evento_Venda", &V::Set_Evento_Venda),
      liberacao<&V::Seta_Dados_Liberacao_Desconto, &V::Seta_Dados_Liberacao_Desconto>("Seta_Dados_Liberacao_Desconto"),
      liberacao<&V::Seta_Dados_Liberacao_Cancelamento, &V::Seta_Dados_Liberacao_Cancelamento>(
          "Seta_Dados_Liberacao_Cancelamento"),
      with_record("Seta_Dados_Liberacao_Venda_Prazo", &V::Seta_Dados_Liberacao_Venda_Prazo),
      op(
          "Paga",
          [](V& venda, std::int32_t forma, double valor, std::optional<std::int32_t> id_credito,
             std::optional<bool> troco, std::optional<bool> sinal, std::optional<bool> ignora_id_credito) {
            payment::PaymentOptions opcoes;
            opcoes.permite_troco = troco.value_or(false);
            opcoes.sinal = sinal.value_or(false);
            opcoes.ignora_id_credito = ignora_id_credito.value_or(false);
            return venda.Paga(forma, valor, id_credito.value_or(0), opcoes);
          },
          whole("forma"), amount("value"), maybe_whole("id_credito"), flag("troco"), flag("sinal"),
          flag("ignora_id_credito")),
  };
  return table;
}

constexpr StepGrammar kOperations{"op", "operation", ": no such member for this operation"};

// One operation of the script, ready to run.
struct Operation {
  std::string op;
  Run run;
};

Operation parse_step(const Json& step, const std::string& where) {
  Operation operation;
  operation.run = read_step(operations(), kOperations, step, where, operation.op);
  return operation;
}

// The setup becomes the same operations as steps, in the order the sale
// screen sets them: emitter, operation, company, customer, seller, purpose,
// issue date, break mode.
std::vector<Operation> parse_setup(const Json& setup) {
  if (!setup.is_object()) throw ScriptError("setup: an object is expected");
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kOrder = {{
      {"EMISSOR", "Set_Dados_Emissor"},
      {"OPERACAO", "Set_Dados_Operacao"},
      {"EMPRESA", "Set_Dados_Empresa"},
      {"CLIENTE", "Set_Dados_Cliente"},
      {"VENDEDOR", "Set_Dados_Vendedor"},
      {"FINALIDADE_OPERACAO", "Set_Finalidade_Operacao"},
      {"DATA_EMISSAO", "Set_Data_Emissao"},
      {"QUEBRA", "Set_Quebra"},
  }};
  for (const auto& [name, value] : setup.items()) {
    bool known = false;
    for (const auto& k : kOrder) known = known || name == k.first;
    if (!known) throw ScriptError("setup." + name + ": no such member");
  }
  std::vector<Operation> operations;
  for (const auto& [key, op] : kOrder) {
    const auto found = setup.find(key);
    if (found == setup.end()) continue;
    const std::string where = "setup." + std::string{key};
    const Json step = {{"op", std::string{op}}, {"value", *found}};
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

// The script's setup and steps, parsed; none, with the reason in
// `problem`, when the script is not valid.
struct Script {
  std::vector<Operation> setup;
  std::vector<Operation> steps;
};

std::optional<Script> parse_script(std::istream& input, std::string& problem) {
  try {
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
  } catch (const Json::exception& e) {
    problem = std::string{"the script is not valid JSON: "} + e.what();
  } catch (const ScriptError& e) {
    problem = e.what();
  }
  return std::nullopt;
}

}  // namespace

bool read_script(std::istream& script, std::string& problem) { return parse_script(script, problem).has_value(); }

bool build_sale(std::istream& input, sale::CLASSE_VENDA& venda, std::string& problem) {
  const std::optional<Script> script = parse_script(input, problem);
  if (!script) return false;
  std::size_t index = 0;
  for (const auto* list : {&script->setup, &script->steps}) {
    for (const Operation& operation : *list) {
      Json extra = Json::object();
      // Module operations answer 1 or 0; getters answer values and never fail.
      const Json result = operation.run(venda, extra);
      if (result.is_number_integer() && result.get<long long>() == 0) {
        problem = (list == &script->setup ? "setup: " : "steps[" + std::to_string(index) + "]: ") + operation.op +
                  " failed: " + venda.display();
        return false;
      }
      if (list == &script->steps) ++index;
    }
  }
  return true;
}

int run_simulation(std::istream& input, std::ostream& out, std::ostream& err, const devices::DadosBalanca& scale) {
  std::string problem;
  const std::optional<Script> script = parse_script(input, problem);
  if (!script) {
    err << "fvn: simulate: " << problem << "\n";
    return kExitFailure;
  }
  sale::CLASSE_VENDA venda;
  venda.DADOS_BALANCA = scale;
  Json report = Json::object();
  report["setup"] = run_all(script->setup, venda);
  report["steps"] = run_all(script->steps, venda);
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
