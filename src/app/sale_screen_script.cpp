#include "app/sale_screen_script.h"

#include <functional>
#include <string_view>

#include "app/script_reader.h"

namespace fvn::app {

namespace {

using Tela = NotaPadraoNfcePresenter;

// A field of the screen: its member, read, is what `f` is given.
template <typename F, typename Member>
StepKind<PassoTela> campo(std::string_view acao, F f, Member member) {
  return step_kind<PassoTela>(
      acao,
      [f](const auto& value) {
        return PassoTela{{}, [f, value](Tela& tela) { return std::invoke(f, tela, value); }, false};
      },
      member);
}

StepKind<PassoTela> tecla(std::string_view acao, TeclaVenda tecla) {
  const bool fecha = tecla == TeclaVenda::F5 || tecla == TeclaVenda::AltF5;
  return step_kind<PassoTela>(acao, [tecla, fecha] {
    return PassoTela{{}, [tecla](Tela& tela) { return tela.tecla(tecla); }, fecha};
  });
}

// Every step a screen script may take.
const std::vector<StepKind<PassoTela>>& acoes() {
  static const std::vector<StepKind<PassoTela>> table = {
      campo("produto", &Tela::codigo_produto, text("codigo")),
      campo("quantidade", &Tela::quantidade, amount("valor")),
      campo("desconto_percentual", &Tela::perc_desconto, amount("valor")),
      campo("desconto", &Tela::desconto, amount("valor")),
      campo("despesas_percentual", &Tela::perc_despesas, amount("valor")),
      campo("despesas", &Tela::despesas, amount("valor")),
      campo("seguro", &Tela::seguro, amount("valor")),
      campo("frete", &Tela::frete, amount("valor")),
      campo("cliente", &Tela::cliente, whole("codigo")),
      campo("vendedor", &Tela::vendedor, whole("codigo")),
      campo("operacao", &Tela::operacao, whole("codigo")),
      campo("emissor", &Tela::emissor, whole("codigo")),
      campo("transportadora", &Tela::transportadora, whole("codigo")),
      campo("tipo_frete", &Tela::tipo_frete, whole("codigo")),
      campo("tabela", &Tela::tabela, whole("codigo")),
      tecla("libera_desconto", TeclaVenda::CtrlF2),
      tecla("consumidor", TeclaVenda::ShiftN),
      tecla("pagamento", TeclaVenda::F5),
      tecla("pagamento_rapido", TeclaVenda::AltF5)};
  return table;
}

constexpr StepGrammar kAcoes{"acao", "action", ": unknown member"};
constexpr std::string_view kUnknown = ": unknown member";

// A member of the plan: its name, the field it fills and its reader.
template <typename Record, typename Field, typename Value>
struct Campo {
  std::string_view name;
  Field Record::*field;
  Value (*read)(const Json&, const std::string&);
};
// Spelled out for compilers without deduction for aggregates (clang-tidy's).
template <typename Record, typename Field, typename Value>
Campo(std::string_view, Field Record::*, Value (*)(const Json&, const std::string&)) -> Campo<Record, Field, Value>;

// Reads `object` into `out`: the members of `campos`, each where it is
// given; any other member is refused.
template <typename Record, typename... Campos>
Record read_plan(const Json& object, const std::string& where, Campos... campos) {
  check_members(object, {campos.name...}, where, kUnknown);
  Record out;
  const auto read = [&](const auto& campo) {
    const auto found = object.find(campo.name);
    if (found != object.end()) out.*campo.field = campo.read(*found, where + "." + std::string{campo.name});
  };
  (read(campos), ...);
  return out;
}

template <typename T, T (*Read)(const Json&, const std::string&)>
std::vector<T> list_of(const Json& list, const std::string& where) {
  if (!list.is_array()) throw ScriptError(where + ": a list is expected");
  std::vector<T> out;
  for (std::size_t i = 0; i < list.size(); ++i) out.push_back(Read(list[i], where + "[" + std::to_string(i) + "]"));
  return out;
}

PagamentoRoteiro pagamento(const Json& p, const std::string& where) {
  using P = PagamentoRoteiro;
  return read_plan<P>(p, where, Campo{"forma", &P::forma, as_int}, Campo{"valor", &P::valor, as_double},
                      Campo{"parcelas", &P::parcelas, as_int});
}

ParcelaRoteiro parcela(const Json& p, const std::string& where) {
  using P = ParcelaRoteiro;
  return read_plan<P>(p, where, Campo{"numero", &P::numero, as_int}, Campo{"valor", &P::valor, as_double},
                      Campo{"vencimento", &P::vencimento, as_date});
}

DetalheRoteiro detalhe(const Json& d, const std::string& where) {
  using D = DetalheRoteiro;
  return read_plan<D>(d, where, Campo{"desconto", &D::desconto, as_double},
                      Campo{"desconto_percentual", &D::desconto_percentual, as_flag},
                      Campo{"acrescimo", &D::acrescimo, as_double},
                      Campo{"acrescimo_percentual", &D::acrescimo_percentual, as_flag});
}

IdentificacaoConsumidor consumidor(const Json& c, const std::string& where) {
  using C = IdentificacaoConsumidor;
  C lido = read_plan<C>(c, where, Campo{"cpf", &C::cpf, as_text}, Campo{"cnpj", &C::cnpj, as_text},
                        Campo{"nome", &C::nome, as_text});
  if (c.contains("cnpj")) lido.tipo_pessoa = 1;
  return lido;
}

bool usa_creditos(const Json& value, const std::string& where) { return as_int(value, where) != 0; }

RoteiroVenda read_roteiro(const Json& r, const std::string& where) {
  using R = RoteiroVenda;
  return read_plan<R>(r, where, Campo{"condicao", &R::condicao, as_int}, Campo{"entrada", &R::entrada, as_double},
                      Campo{"valor_entregue", &R::valor_entregue, as_double},
                      Campo{"usa_creditos", &R::usa_creditos, usa_creditos},
                      Campo{"supervisor", &R::supervisor, as_text}, Campo{"senha", &R::senha, as_text},
                      Campo{"pagamentos", &R::pagamentos, list_of<PagamentoRoteiro, pagamento>},
                      Campo{"parcelas", &R::parcelas, list_of<ParcelaRoteiro, parcela>},
                      Campo{"detalhes", &R::detalhes, list_of<DetalheRoteiro, detalhe>},
                      Campo{"consumidor", &R::consumidor, consumidor});
}

}  // namespace

bool is_screen_script(const Json& script) { return script.is_object() && script.contains("tela"); }

bool read_screen_script(const Json& script, RoteiroTela& out, std::string& problem) {
  try {
    check_members(script, {"tela", "roteiro"}, "script", kUnknown);
    const auto tela = script.find("tela");
    if (tela == script.end() || !tela->is_array()) throw ScriptError("tela: a list of steps is expected");
    for (std::size_t i = 0; i < tela->size(); ++i) {
      std::string acao;
      PassoTela passo = read_step(acoes(), kAcoes, (*tela)[i], "tela[" + std::to_string(i) + "]", acao);
      passo.acao = std::move(acao);
      out.passos.push_back(std::move(passo));
    }
    if (const auto roteiro = script.find("roteiro"); roteiro != script.end()) {
      out.roteiro = read_roteiro(*roteiro, "roteiro");
    }
  } catch (const ScriptError& e) {
    problem = e.what();
    return false;
  }
  return true;
}

bool play_screen_script(const RoteiroTela& script, NotaPadraoNfcePresenter& tela, std::string& problem) {
  bool fechada = false;
  for (std::size_t i = 0; i < script.passos.size(); ++i) {
    const PassoTela& passo = script.passos[i];
    const int feito = passo.executa(tela);
    fechada = passo.fecha;
    if (feito != 1 && !(fechada && tela.ultimo_fechamento().gravada())) {
      problem = "tela[" + std::to_string(i) + "]: " + passo.acao + " recusado pela tela";
      return false;
    }
  }
  if (!fechada && tela.tecla(TeclaVenda::F5) != 1 && !tela.ultimo_fechamento().gravada()) {
    problem = "a venda não foi fechada";
    return false;
  }
  return true;
}

}  // namespace fvn::app
