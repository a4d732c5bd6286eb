#include "app/sale_screen_script.h"

#include <map>

#include "app/simulate_command.h"

namespace fvn::app {

namespace {

using Tela = NotaPadraoNfcePresenter;

// The actions that take a number, and what they call.
const std::map<std::string, int (Tela::*)(double), std::less<>>& acoes_valor() {
  static const std::map<std::string, int (Tela::*)(double), std::less<>> acoes = {
      {"quantidade", &Tela::quantidade},
      {"desconto_percentual", &Tela::perc_desconto},
      {"desconto", &Tela::desconto},
      {"despesas_percentual", &Tela::perc_despesas},
      {"despesas", &Tela::despesas},
      {"seguro", &Tela::seguro},
      {"frete", &Tela::frete}};
  return acoes;
}

// The actions that take a code.
const std::map<std::string, int (Tela::*)(std::int32_t), std::less<>>& acoes_codigo() {
  static const std::map<std::string, int (Tela::*)(std::int32_t), std::less<>> acoes = {
      {"cliente", &Tela::cliente},
      {"vendedor", &Tela::vendedor},
      {"operacao", &Tela::operacao},
      {"emissor", &Tela::emissor},
      {"transportadora", &Tela::transportadora},
      {"tipo_frete", &Tela::tipo_frete},
      {"tabela", &Tela::tabela}};
  return acoes;
}

// The actions that are keys.
const std::map<std::string, TeclaVenda, std::less<>>& acoes_tecla() {
  static const std::map<std::string, TeclaVenda, std::less<>> acoes = {{"libera_desconto", TeclaVenda::CtrlF2},
                                                                       {"consumidor", TeclaVenda::ShiftN},
                                                                       {"pagamento", TeclaVenda::F5},
                                                                       {"pagamento_rapido", TeclaVenda::AltF5}};
  return acoes;
}

void check_members(const Json& object, std::initializer_list<std::string_view> allowed, const std::string& where) {
  if (!object.is_object()) throw ScriptError(where + ": an object is expected");
  for (const auto& [name, value] : object.items()) {
    bool known = false;
    for (std::string_view a : allowed) known = known || name == a;
    if (!known) throw ScriptError(where + "." + name + ": unknown member");
  }
}

RoteiroVenda read_roteiro(const Json& r, const std::string& where) {
  check_members(r,
                {"condicao", "entrada", "parcelas", "pagamentos", "usa_creditos", "valor_entregue", "consumidor",
                 "detalhes", "supervisor", "senha"},
                where);
  RoteiroVenda roteiro;
  if (r.contains("condicao")) roteiro.condicao = as_int(r["condicao"], where + ".condicao");
  if (r.contains("entrada")) roteiro.entrada = as_double(r["entrada"], where + ".entrada");
  if (r.contains("valor_entregue")) roteiro.valor_entregue = as_double(r["valor_entregue"], where + ".valor_entregue");
  if (r.contains("usa_creditos")) roteiro.usa_creditos = as_int(r["usa_creditos"], where + ".usa_creditos") != 0;
  if (r.contains("supervisor")) roteiro.supervisor = as_text(r["supervisor"], where + ".supervisor");
  if (r.contains("senha")) roteiro.senha = as_text(r["senha"], where + ".senha");
  const auto each = [&](const char* name, auto read) {
    if (!r.contains(name)) return;
    const std::string at = where + "." + name;
    if (!r[name].is_array()) throw ScriptError(at + ": a list is expected");
    for (std::size_t i = 0; i < r[name].size(); ++i) read(r[name][i], at + "[" + std::to_string(i) + "]");
  };
  each("pagamentos", [&](const Json& p, const std::string& at) {
    check_members(p, {"forma", "valor", "parcelas"}, at);
    PagamentoRoteiro pagamento;
    pagamento.forma = as_int(p.value("forma", Json(0)), at + ".forma");
    pagamento.valor = p.contains("valor") ? as_double(p["valor"], at + ".valor") : 0;
    pagamento.parcelas = p.contains("parcelas") ? as_int(p["parcelas"], at + ".parcelas") : 0;
    roteiro.pagamentos.push_back(pagamento);
  });
  each("parcelas", [&](const Json& p, const std::string& at) {
    check_members(p, {"numero", "valor", "vencimento"}, at);
    ParcelaRoteiro parcela;
    parcela.numero = as_int(p.value("numero", Json(0)), at + ".numero");
    parcela.valor = p.contains("valor") ? as_double(p["valor"], at + ".valor") : 0;
    parcela.vencimento = p.contains("vencimento") ? as_date(p["vencimento"], at + ".vencimento") : 0;
    roteiro.parcelas.push_back(parcela);
  });
  each("detalhes", [&](const Json& d, const std::string& at) {
    check_members(d, {"desconto", "desconto_percentual", "acrescimo", "acrescimo_percentual"}, at);
    DetalheRoteiro detalhe;
    detalhe.desconto = d.contains("desconto") ? as_double(d["desconto"], at + ".desconto") : 0;
    detalhe.desconto_percentual = d.value("desconto_percentual", false);
    detalhe.acrescimo = d.contains("acrescimo") ? as_double(d["acrescimo"], at + ".acrescimo") : 0;
    detalhe.acrescimo_percentual = d.value("acrescimo_percentual", false);
    roteiro.detalhes.push_back(detalhe);
  });
  if (r.contains("consumidor")) {
    const Json& c = r["consumidor"];
    const std::string at = where + ".consumidor";
    check_members(c, {"cpf", "cnpj", "nome"}, at);
    IdentificacaoConsumidor consumidor;
    if (c.contains("cpf")) consumidor.cpf = as_text(c["cpf"], at + ".cpf");
    if (c.contains("cnpj")) {
      consumidor.cnpj = as_text(c["cnpj"], at + ".cnpj");
      consumidor.tipo_pessoa = 1;
    }
    if (c.contains("nome")) consumidor.nome = as_text(c["nome"], at + ".nome");
    roteiro.consumidor = consumidor;
  }
  return roteiro;
}

}  // namespace

bool is_screen_script(const Json& script) { return script.is_object() && script.contains("tela"); }

bool read_screen_script(const Json& script, RoteiroTela& out, std::string& problem) {
  try {
    check_members(script, {"tela", "roteiro"}, "script");
    const Json& tela = script["tela"];
    if (!tela.is_array()) throw ScriptError("tela: a list of steps is expected");
    for (std::size_t i = 0; i < tela.size(); ++i) {
      const std::string where = "tela[" + std::to_string(i) + "]";
      const Json& step = tela[i];
      check_members(step, {"acao", "codigo", "valor"}, where);
      PassoTela passo;
      passo.acao = as_text(step.value("acao", Json()), where + ".acao");
      if (acoes_valor().count(passo.acao) != 0) {
        passo.valor = as_double(step.value("valor", Json()), where + ".valor");
      } else if (acoes_codigo().count(passo.acao) != 0) {
        passo.valor = as_int(step.value("codigo", Json()), where + ".codigo");
      } else if (passo.acao == "produto") {
        passo.codigo = as_text(step.value("codigo", Json()), where + ".codigo");
      } else if (acoes_tecla().count(passo.acao) == 0) {
        throw ScriptError(where + ".acao: unknown action \"" + passo.acao + "\"");
      }
      out.passos.push_back(std::move(passo));
    }
    if (script.contains("roteiro")) out.roteiro = read_roteiro(script["roteiro"], "roteiro");
  } catch (const ScriptError& e) {
    problem = e.what();
    return false;
  } catch (const Json::exception& e) {
    problem = e.what();
    return false;
  }
  return true;
}

bool play_screen_script(const RoteiroTela& script, NotaPadraoNfcePresenter& tela, std::string& problem) {
  bool fechada = false;
  for (std::size_t i = 0; i < script.passos.size(); ++i) {
    const PassoTela& passo = script.passos[i];
    int feito = 0;
    fechada = false;
    if (passo.acao == "produto") {
      feito = tela.codigo_produto(passo.codigo);
    } else if (const auto v = acoes_valor().find(passo.acao); v != acoes_valor().end()) {
      feito = (tela.*(v->second))(passo.valor);
    } else if (const auto c = acoes_codigo().find(passo.acao); c != acoes_codigo().end()) {
      feito = (tela.*(c->second))(static_cast<std::int32_t>(passo.valor));
    } else {
      const TeclaVenda tecla = acoes_tecla().at(passo.acao);
      feito = tela.tecla(tecla);
      fechada = tecla == TeclaVenda::F5 || tecla == TeclaVenda::AltF5;
    }
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
