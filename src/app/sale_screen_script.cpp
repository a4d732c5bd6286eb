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

// Reads each element of the list `object`.`name`, when it is there.
template <typename Read>
void each(const Json& object, const char* name, const std::string& where, Read read) {
  const auto list = object.find(name);
  if (list == object.end()) return;
  const std::string at = where + "." + name;
  if (!list->is_array()) throw ScriptError(at + ": a list is expected");
  for (std::size_t i = 0; i < list->size(); ++i) read((*list)[i], at + "[" + std::to_string(i) + "]");
}

RoteiroVenda read_roteiro(const Json& r, const std::string& where) {
  check_members(r,
                {"condicao", "entrada", "parcelas", "pagamentos", "usa_creditos", "valor_entregue", "consumidor",
                 "detalhes", "supervisor", "senha"},
                where, kUnknown);
  RoteiroVenda roteiro;
  read_member<std::int32_t, as_int>(r, "condicao", where, roteiro.condicao);
  read_member<double, as_double>(r, "entrada", where, roteiro.entrada);
  read_member<double, as_double>(r, "valor_entregue", where, roteiro.valor_entregue);
  std::int32_t usa_creditos = 0;
  read_member<std::int32_t, as_int>(r, "usa_creditos", where, usa_creditos);
  roteiro.usa_creditos = usa_creditos != 0;
  read_member<std::string, as_text>(r, "supervisor", where, roteiro.supervisor);
  read_member<std::string, as_text>(r, "senha", where, roteiro.senha);
  each(r, "pagamentos", where, [&](const Json& p, const std::string& at) {
    check_members(p, {"forma", "valor", "parcelas"}, at, kUnknown);
    PagamentoRoteiro& pagamento = roteiro.pagamentos.emplace_back();
    read_member<std::int32_t, as_int>(p, "forma", at, pagamento.forma);
    read_member<double, as_double>(p, "valor", at, pagamento.valor);
    read_member<std::int32_t, as_int>(p, "parcelas", at, pagamento.parcelas);
  });
  each(r, "parcelas", where, [&](const Json& p, const std::string& at) {
    check_members(p, {"numero", "valor", "vencimento"}, at, kUnknown);
    ParcelaRoteiro& parcela = roteiro.parcelas.emplace_back();
    read_member<std::int32_t, as_int>(p, "numero", at, parcela.numero);
    read_member<double, as_double>(p, "valor", at, parcela.valor);
    read_member<Date, as_date>(p, "vencimento", at, parcela.vencimento);
  });
  each(r, "detalhes", where, [&](const Json& d, const std::string& at) {
    check_members(d, {"desconto", "desconto_percentual", "acrescimo", "acrescimo_percentual"}, at, kUnknown);
    DetalheRoteiro& detalhe = roteiro.detalhes.emplace_back();
    read_member<double, as_double>(d, "desconto", at, detalhe.desconto);
    read_member<bool, as_flag>(d, "desconto_percentual", at, detalhe.desconto_percentual);
    read_member<double, as_double>(d, "acrescimo", at, detalhe.acrescimo);
    read_member<bool, as_flag>(d, "acrescimo_percentual", at, detalhe.acrescimo_percentual);
  });
  if (const auto c = r.find("consumidor"); c != r.end()) {
    const std::string at = where + ".consumidor";
    check_members(*c, {"cpf", "cnpj", "nome"}, at, kUnknown);
    IdentificacaoConsumidor& consumidor = roteiro.consumidor.emplace();
    read_member<std::string, as_text>(*c, "cpf", at, consumidor.cpf);
    read_member<std::string, as_text>(*c, "cnpj", at, consumidor.cnpj);
    if (c->contains("cnpj")) consumidor.tipo_pessoa = 1;
    read_member<std::string, as_text>(*c, "nome", at, consumidor.nome);
  }
  return roteiro;
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
