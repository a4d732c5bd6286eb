#include "screens/servicos_cliente.h"

#include <map>
#include <optional>
#include <utility>

#include "data/sql_values.h"
#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "screens/pick_query.h"

namespace fvn {

namespace {

constexpr std::string_view kSemPermissaoSpc = "Usuário sem permissão para liberação de cliente enviado no SPC.";
constexpr std::string_view kSemPermissaoAtraso =
    "Usuário sem permissão para liberação de cliente com duplicatas em atraso.";
constexpr std::string_view kSemPermissaoCidade =
    "Usuário sem permissão para liberação de venda a prazo para outra cidade.";
constexpr std::string_view kSemPermissaoIdade =
    "Usuário sem permissão para liberação de venda a prazo para clientes com idade menor que a permitida.";
constexpr std::string_view kSemPermissaoNegativado = "Usuário sem permissão para liberação de clientes negativados.";
constexpr std::string_view kSemPermissaoLimite =
    "Usuário sem permissão para liberação de venda acima do limite do cliente.";

// The customer's open installments: owed amount above zero, not paid nor
// reversed. `extra` narrows them further.
std::string abertas(std::int32_t cliente, std::string_view extra = {}) {
  return " from asduplicatas d join asaidas s on s.cidesaidas = d.cisadupli where s.cclisaidas = " +
         sql_integer(cliente) + " and d.s_adu_situacao = 'A' and d.cvprdupli > d.cvpgdupli" + std::string{extra};
}

std::string reais(double valor) { return "R$ " + text::trim(format_picture(valor, "@n12`2")); }

int restricao(Bloqueio& bloqueio, TipoBloqueio tipo, std::string motivo, Direito direito,
              std::string_view sem_permissao) {
  bloqueio = {tipo, std::move(motivo), direito, sem_permissao};
  return 1;
}

}  // namespace

std::string_view falta_permissao(const UserAccount& user, const std::vector<Bloqueio>& bloqueios) {
  for (const Bloqueio& b : bloqueios) {
    if (b.tipo == TipoBloqueio::Liberacao && !tem_direito(user, b.direito)) return b.sem_permissao;
  }
  return {};
}

ServicosCliente::ServicosCliente(std::string connection, std::int32_t empresa)
    : table_("SERVICOS_CLIENTE", std::move(connection)), empresa_(empresa) {}

int ServicosCliente::falha(std::string_view contexto, Bloqueio& bloqueio) {
  erro_ = table_.error_text(contexto);
  return restricao(bloqueio, TipoBloqueio::Liberacao, erro_, Direito::ClienteBloqueado, kSemPermissaoAtraso);
}

int ServicosCliente::atraso(std::int32_t cliente, TipoBloqueio tipo, Bloqueio& bloqueio) {
  constexpr std::string_view kContexto = "Erro ao verificar duplicatas em atraso do cliente.|";
  const std::string sql =
      "select count(x.cidedupli), coalesce(sum(x.saldo), 0), coalesce(to_char(min(x.cvendupli), 'DD/MM/YYYY'), '') "
      "from tempresa e left join (select d.cidedupli, d.cvendupli, d.cvprdupli - d.cvpgdupli as saldo" +
      abertas(cliente) + ") x on x.cvendupli < current_date - e.i_tem_dias_tolerancia_atraso where e.ccodempresa = " +
      sql_integer(empresa_);
  std::int32_t quantas = 0;
  double saldo = 0;
  std::string vencimento;
  table_.clear_fields();
  table_.bind_long(quantas).bind_real(saldo).bind_text(vencimento, 11);
  if (table_.open() != 1 || table_.execute(sql) != 1 || table_.next() != 1) return falha(kContexto, bloqueio);
  if (quantas == 0) return 0;
  return restricao(bloqueio, tipo,
                   "Cliente possui " + std::to_string(quantas) + " duplicata(s) em atraso somando " + reais(saldo) +
                       ", a mais antiga vencida em " + vencimento + ".",
                   Direito::ClienteBloqueado, kSemPermissaoAtraso);
}

int ServicosCliente::atraso_dias(std::int32_t cliente, Bloqueio& bloqueio) {
  constexpr std::string_view kContexto = "Erro ao verificar dias de atraso do cliente.|";
  const std::string sql =
      "select coalesce(current_date - min(x.cvendupli), 0), max(e.i_tem_dias_negativacao) "
      "from tempresa e left join (select d.cvendupli" +
      abertas(cliente) +
      ") x on x.cvendupli < current_date - e.i_tem_dias_negativacao where e.ccodempresa = " + sql_integer(empresa_);
  std::int32_t dias = 0;
  std::int32_t limite = 0;
  table_.clear_fields();
  table_.bind_long(dias).bind_long(limite);
  if (table_.open() != 1 || table_.execute(sql) != 1 || table_.next() != 1) return falha(kContexto, bloqueio);
  if (dias == 0) return 0;
  return restricao(bloqueio, TipoBloqueio::Liberacao,
                   "Cliente negativado: duplicata vencida há " + std::to_string(dias) + " dias (limite de " +
                       std::to_string(limite) + " dias).",
                   Direito::ClienteBloqueado, kSemPermissaoNegativado);
}

int ServicosCliente::VERIFICA_BLOQUEIO_ATRASO(std::int32_t cliente, Bloqueio& bloqueio) {
  return atraso(cliente, TipoBloqueio::Liberacao, bloqueio);
}

// A cash sale to a customer behind with installments is only a warning;
// one who is past the bureau's days is blocked like a credit sale.
int ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_AVISTA(std::int32_t cliente, Bloqueio& bloqueio) {
  return atraso(cliente, TipoBloqueio::Aviso, bloqueio);
}

int ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_DIAS(std::int32_t cliente, Bloqueio& bloqueio) {
  return atraso_dias(cliente, bloqueio);
}

int ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_DIAS_AVISTA(std::int32_t cliente, Bloqueio& bloqueio) {
  return atraso_dias(cliente, bloqueio);
}

int ServicosCliente::VERIFICA_BLOQUEIO_CIDADE(std::int32_t cliente, Bloqueio& bloqueio) {
  const std::string sql =
      "select t.s_tce_cidade, t.s_tce_uf, b.s_tcb_motivo from aclientes c join tcep t on t.ccodcep = c.i_acl_cep "
      "join tcidade_bloqueada b on b.i_tcb_codigo_cidade = t.i_tce_codigo_cidade and b.i_tcb_codigo_tem = " +
      sql_integer(empresa_) + " where c.ccodigo = " + sql_integer(cliente);
  std::string cidade;
  std::string uf;
  std::string porque;
  table_.clear_fields();
  table_.bind_text(cidade, 201).bind_text(uf, 3).bind_text(porque, 201);
  if (table_.open() != 1 || table_.execute(sql) != 1) {
    return falha("Erro ao verificar a cidade do cliente.|", bloqueio);
  }
  if (table_.next() != 1) return 0;
  std::string motivo = "Venda a prazo bloqueada para a cidade " + cidade + "/" + uf;
  porque = text::trim(porque);
  motivo += porque.empty() ? "." : ": " + porque + ".";
  return restricao(bloqueio, TipoBloqueio::Liberacao, std::move(motivo), Direito::ClienteBloqueado,
                   kSemPermissaoCidade);
}

// Only people have an age: a company customer (type 2) passes. A person
// without a birth date gets a warning, since the rule could not be checked.
int ServicosCliente::VERIFICA_BLOQUEIO_IDADE(std::int32_t cliente, Bloqueio& bloqueio) {
  const std::string sql =
      "select c.i_acl_tipo_pessoa, coalesce(extract(year from age(current_date, c.d_acl_nascimento))::integer, -1), "
      "e.i_tem_idade_minima_prazo from aclientes c cross join tempresa e where c.ccodigo = " +
      sql_integer(cliente) + " and e.ccodempresa = " + sql_integer(empresa_);
  std::int32_t pessoa = 0;
  std::int32_t idade = 0;
  std::int32_t minima = 0;
  table_.clear_fields();
  table_.bind_long(pessoa).bind_long(idade).bind_long(minima);
  if (table_.open() != 1 || table_.execute(sql) != 1) {
    return falha("Erro ao verificar a idade do cliente.|", bloqueio);
  }
  if (table_.next() != 1 || pessoa != 1) return 0;
  if (minima <= 0) return 0;
  if (idade < 0) {
    return restricao(bloqueio, TipoBloqueio::Aviso,
                     "Data de nascimento do cliente não informada: a idade mínima de " + std::to_string(minima) +
                         " anos para venda a prazo não foi verificada.",
                     Direito::ClienteBloqueado, kSemPermissaoIdade);
  }
  if (idade >= minima) return 0;
  return restricao(bloqueio, TipoBloqueio::Liberacao,
                   "Cliente com " + std::to_string(idade) + " anos: a idade mínima para venda a prazo é " +
                       std::to_string(minima) + " anos.",
                   Direito::ClienteBloqueado, kSemPermissaoIdade);
}

int ServicosCliente::VERIFICACAO_SPC_CLIENTE(std::int32_t cliente, Bloqueio& bloqueio) {
  const std::string sql =
      "select to_char(d_acl_spc, 'DD/MM/YYYY') from aclientes where d_acl_spc is not null and "
      "ccodigo = " +
      sql_integer(cliente);
  std::string desde;
  table_.clear_fields();
  table_.bind_text(desde, 11);
  if (table_.open() != 1 || table_.execute(sql) != 1) {
    return falha("Erro ao verificar o registro do cliente no SPC.|", bloqueio);
  }
  if (table_.next() != 1) return 0;
  return restricao(bloqueio, TipoBloqueio::Liberacao, "Cliente registrado no SPC desde " + desde + ".",
                   Direito::ClienteBloqueado, kSemPermissaoSpc);
}

namespace {

// The customer's limit, open amount and the company's warning percentage.
std::string limite_sql(std::int32_t cliente, std::int32_t empresa) {
  return "select c.n_acl_limite_credito, coalesce((select sum(d.cvprdupli - d.cvpgdupli)" + abertas(cliente) +
         "), 0), coalesce((select e.n_tem_perc_aviso_limite from tempresa e where e.ccodempresa = " +
         sql_integer(empresa) + "), 0) from aclientes c where c.ccodigo = " + sql_integer(cliente);
}

}  // namespace

int ServicosCliente::le_limite(std::int32_t cliente, Limite& l) {
  table_.clear_fields();
  table_.bind_real(l.limite).bind_real(l.aberto).bind_real(l.aviso);
  if (table_.open() != 1 || table_.execute(limite_sql(cliente, empresa_)) != 1) return -1;
  if (table_.next() != 1) return 0;
  l.limite = round_to(l.limite, 2);
  l.aberto = round_to(l.aberto, 2);
  return 1;
}

// No limit (0) means no control. Above the limit must be released; above
// the company's warning share of it is shown and the sale goes on.
int ServicosCliente::VERIFICA_BLOQUEIO_LIMITE_CREDITO(std::int32_t cliente, double total_venda, Bloqueio& bloqueio) {
  Limite l;
  const int lido = le_limite(cliente, l);
  if (lido < 0) return falha("Erro ao verificar o limite de crédito do cliente.|", bloqueio);
  if (lido == 0) return 0;
  const auto [limite, aberto, aviso] = l;
  if (limite <= 0) return 0;
  const double comprometido = round_to(aberto + total_venda, 2);
  if (comprometido > limite) {
    return restricao(bloqueio, TipoBloqueio::Liberacao,
                     "Limite de crédito do cliente excedido: limite " + reais(limite) + ", em aberto " + reais(aberto) +
                         ", esta venda " + reais(total_venda) + ".",
                     Direito::VendaPrazo, kSemPermissaoLimite);
  }
  if (aviso > 0 && comprometido > round_to(limite * aviso / 100, 2)) {
    return restricao(bloqueio, TipoBloqueio::Aviso,
                     "Esta venda compromete " + text::trim(format_picture(comprometido * 100 / limite, "@n12`2")) +
                         "% do limite de crédito do cliente (" + reais(limite) + ").",
                     Direito::VendaPrazo, kSemPermissaoLimite);
  }
  return 0;
}

int ServicosCliente::VERIFICA_LIMITE_TOTAL_CLIENTE(std::int32_t cliente, double total_parcelado,
                                                   std::string& mensagem) {
  Limite l;
  const int lido = le_limite(cliente, l);
  if (lido < 0) {
    mensagem = erro_ = table_.error_text("Erro ao verificar o limite de crédito do cliente.|");
    return -1;
  }
  if (lido == 0) return 0;
  const auto [limite, aberto, aviso] = l;
  if (limite <= 0 || round_to(aberto + total_parcelado, 2) <= limite) return 0;
  mensagem = "Em aberto " + reais(aberto) + " mais o parcelado " + reais(total_parcelado) +
             " ultrapassam o limite de crédito de " + reais(limite) + ".";
  return 1;
}

int ServicosCliente::VERIFICA_LIMITE_MENSAL_CLIENTE(std::int32_t cliente, const std::vector<ParcelaPlano>& plano,
                                                    std::vector<MesAcimaLimite>& meses, std::string& mensagem) {
  meses.clear();
  // The plan's amounts per month (year * 100 + month, in date order).
  std::map<std::int32_t, double> por_mes;
  Date primeira = 0;
  Date ultima = 0;
  for (const ParcelaPlano& p : plano) {
    if (p.vencimento == 0) continue;
    por_mes[year_of(p.vencimento) * 100 + month_of(p.vencimento)] += p.valor;
    if (primeira == 0 || p.vencimento < primeira) primeira = p.vencimento;
    if (p.vencimento > ultima) ultima = p.vencimento;
  }
  if (por_mes.empty()) return 0;
  const Date inicio = date_from_civil(year_of(primeira), month_of(primeira), 1);
  const Date fim = add_months(date_from_civil(year_of(ultima), month_of(ultima), 1), 1);
  const std::string sql =
      "select c.n_acl_limite_mensal, coalesce(x.mes, 0), coalesce(x.valor, 0) from aclientes c left join "
      "(select (extract(year from d.cvendupli) * 100 + extract(month from d.cvendupli))::integer as mes, "
      "sum(d.cvprdupli - d.cvpgdupli) as valor" +
      abertas(cliente, " and d.cvendupli >= " + sql_date(inicio) + " and d.cvendupli < " + sql_date(fim)) +
      " group by 1) x on true where c.ccodigo = " + sql_integer(cliente);
  double limite = 0;
  std::int32_t mes_aberto = 0;
  double valor_aberto = 0;
  table_.clear_fields();
  table_.bind_real(limite).bind_long(mes_aberto).bind_real(valor_aberto);
  if (table_.open() != 1 || table_.execute(sql) != 1) {
    mensagem = erro_ = table_.error_text("Erro ao verificar o limite mensal do cliente.|");
    return -1;
  }
  while (table_.next() == 1) {
    const auto mes = por_mes.find(mes_aberto);
    if (mes != por_mes.end()) mes->second += valor_aberto;
  }
  if (round_to(limite, 2) <= 0) return 0;
  for (const auto& [mes, valor] : por_mes) {
    if (round_to(valor, 2) > limite) meses.push_back({mes % 100, mes / 100, round_to(valor, 2)});
  }
  return meses.empty() ? 0 : 1;
}

double ServicosCliente::VERIFICA_CREDITO_CLIENTE(std::int32_t cliente, std::string& mensagem) {
  double credito = 0;
  table_.clear_fields();
  table_.bind_real(credito);
  if (table_.open() != 1 ||
      table_.execute("select coalesce(sum(cvalorcreditohistorico), 0) from ahcontas where i_ahc_tip_lancto = 3 and "
                     "i_ahc_credito_utilizado = 0 and i_ahc_codigo_cli = " +
                     sql_integer(cliente)) != 1 ||
      table_.next() != 1) {
    mensagem = erro_ = table_.error_text("Erro ao consultar créditos do cliente.|");
    return -1;
  }
  return round_to(credito, 2);
}

int ServicosCliente::SELECIONA_CREDITO_CLIENTE(HostUi& ui, std::int32_t cliente, CreditoCliente& credito) {
  const std::string filtro =
      " from ahcontas where i_ahc_tip_lancto = 3 and i_ahc_credito_utilizado = 0 and "
      "i_ahc_codigo_cli = " +
      sql_integer(cliente);
  const PickQuery query{"Créditos do Cliente",
                        {"Crédito", "Data", "Valor", "Descrição"},
                        "select idhistorico, to_char(d_ahc_data, 'DD/MM/YYYY'), "
                        "to_char(cvalorcreditohistorico, 'FM999999990D00'), cdescricaohistorico" +
                            filtro + " order by d_ahc_data, idhistorico",
                        {}};
  const std::optional<std::string> escolhido = pick_from_query(ui, table_, query);
  if (!escolhido) return 0;
  table_.clear_fields();
  table_.bind_long(credito.id).bind_real(credito.valor).bind_text(credito.descricao, 256);
  // The code comes back as the list showed it; it is pasted only as a quoted literal.
  if (table_.open() != 1 || table_.execute("select idhistorico, cvalorcreditohistorico, cdescricaohistorico" + filtro +
                                           " and idhistorico::text = " + table_.literal(*escolhido)) != 1) {
    erro_ = table_.error_text("Erro ao consultar créditos do cliente.|");
    ui.message(erro_, "Erro", MessageIcon::Error);
    return -1;
  }
  if (table_.next() != 1) return 0;  // used by another station meanwhile
  credito.valor = round_to(credito.valor, 2);
  return 1;
}

}  // namespace fvn
