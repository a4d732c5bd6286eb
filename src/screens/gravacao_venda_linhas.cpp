#include "screens/gravacao_venda_linhas.h"

#include <charconv>
#include <cmath>

#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "nfce/xml_fields.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "screens/gravacao_venda.h"
#include "tax/calculo_impostos.h"

namespace fvn {

namespace {

double r2(double valor) { return round_to(valor, 2); }

std::int32_t inteiro_de(std::string_view texto) {
  const std::string t = text::trim(texto);
  std::int32_t valor = 0;
  const auto [fim, erro] = std::from_chars(t.data(), t.data() + t.size(), valor);
  return erro == std::errc{} && fim == t.data() + t.size() ? valor : 0;
}

std::string digitos(std::string_view texto) {
  std::string out;
  for (const char ch : texto) {
    if (ch >= '0' && ch <= '9') out += ch;
  }
  return out;
}

// A code of `largura` digits, zero filled ("60" -> "060" for width 3).
std::string codigo(std::int32_t valor, std::size_t largura) {
  std::string out = std::to_string(valor < 0 ? 0 : valor);
  if (out.size() < largura) out.insert(0, largura - out.size(), '0');
  return out;
}

}  // namespace

std::string insercao(std::string_view tabela, const Colunas& colunas) {
  std::string nomes;
  std::string valores;
  for (const auto& [nome, valor] : colunas) {
    if (!nomes.empty()) {
      nomes += ", ";
      valores += ", ";
    }
    nomes += nome;
    valores += valor;
  }
  return "insert into " + std::string{tabela} + " (" + nomes + ") values (" + valores + ")";
}

std::vector<LinhaItem> linhas_itens(const sale::DADOS_NF& dados) {
  const bool simples = dados.EMPRESA.TIPO == 1;
  const bool fora = !tax::mesmo_estado(dados.EMPRESA, dados.CLIENTE);
  std::vector<LinhaItem> linhas;
  for (const sale::QUEUE_ITEM& i : dados.ITENS) {
    if (i.CANCELADO != 0) continue;
    LinhaItem l;
    l.produto = i.ID_PRODUTO != 0 ? i.ID_PRODUTO : inteiro_de(i.CODIGO);
    l.descricao = text::cut(i.DESCRICAO, 200);
    l.cfop = text::trim(i.CFOP);
    l.servico = i.TIPO_PRODUTO == 2;
    l.quantidade = i.QUANTIDADE;
    l.unitario = i.UNITARIO;
    l.bruto = r2(i.TOTAL_BRUTO);
    l.desconto_item = r2(i.DESCONTO);
    l.desconto = r2(i.DESCONTO) + r2(i.DESCONTO_VENDA);
    l.acrescimo = r2(i.ACRESCIMO) + r2(i.ACRESCIMO_VENDA) + r2(i.JUROS_VENDA);
    l.despesas = r2(i.DESP_ACESSORIAS_VENDA);
    l.frete = r2(i.FRETE_VENDA);
    l.seguro = r2(i.SEGURO_VENDA);
    if (simples) {
      const auto& g = i.ICMS_SIMPLES;
      l.csosn = inteiro_de(g.CSOSN);
      l.sit_tributaria = codigo(g.ORIGEM, 1) + codigo(l.csosn, 3);
      l.icms_proprio = l.csosn == 900;
      l.st_retido = l.csosn == 500;
      l.icms_st = l.csosn == 201 || l.csosn == 202 || l.csosn == 203 || l.csosn == 900;
      l.reducao = g.PERCENTUAL_RED_BC_ICMS;
      l.base_icms = r2(g.VALOR_BC_ICMS);
      l.aliquota_icms = fora ? g.ALIQUOTA_ICMS_FORA : g.ALIQUOTA_ICMS;
      l.icms = r2(g.VALOR_ICMS.value());
      l.mva = g.PERCENTUAL_MVA;
      l.base_st = r2(g.VALOR_BC_ICMS_ST);
      l.aliquota_st = fora ? g.ALIQUOTA_ICMS_ST_FORA : g.ALIQUOTA_ICMS_ST;
      l.st = r2(g.VALOR_ICMS_ST.value());
      if (l.csosn == 101 || l.csosn == 201) {
        // The engine multiplies the value by the credit rate as loaded (a
        // fraction); the invoice states it in percent.
        l.perc_credito_simples = g.ALIQUOTA_CRED_SIMPLES * 100;
        l.credito_simples = r2(g.VALOR_CRED_SIMPLES);
      }
    } else {
      const auto& g = i.ICMS;
      const std::int32_t cst = inteiro_de(g.CST_ICMS);
      l.sit_tributaria = codigo(g.ORIGEM, 1) + codigo(cst, 3);
      l.icms_proprio = cst == 0 || cst == 10 || cst == 20 || cst == 51 || cst == 70 || cst == 90;
      l.st_retido = cst == 60;
      l.icms_st = cst == 10 || cst == 30 || cst == 70 || cst == 90;
      l.reducao = g.PERCENTUAL_RED_BC_ICMS;
      l.base_icms = r2(g.VALOR_BC_ICMS);
      l.aliquota_icms = fora ? g.ALIQUOTA_ICMS_FORA : g.ALIQUOTA_ICMS;
      // CST 51: VALOR_ICMS is what remains due once the deferred part is taken out.
      l.icms = r2(g.VALOR_ICMS.value());
      if (cst == 51) {
        l.perc_diferimento = g.PERCENTUAL_ICMS_DEFERIMENTO.value();
        l.icms_diferido = r2(g.VALOR_ICMS_DEFERIDO);
      }
      l.mva = g.PERCENTUAL_MVA;
      l.base_st = r2(g.VALOR_BC_ICMS_ST);
      l.aliquota_st = fora ? g.ALIQUOTA_ICMS_ST_FORA : g.ALIQUOTA_ICMS_ST;
      l.st = r2(g.VALOR_ICMS_ST.value());
    }
    if (!l.icms_proprio) {
      l.base_icms = 0;
      l.aliquota_icms = 0;
      l.icms = 0;
    }
    // The retained ST is the product's (aplica_st_retido), never the engine's
    // figure, which for CST 60 is the item's sale value.
    if (!l.icms_st) {
      l.base_st = 0;
      l.aliquota_st = 0;
      l.st = 0;
    }
    l.cst_ipi = text::cut(text::trim(i.IPI.CST_IPI), 2);
    l.base_ipi = r2(i.IPI.VALOR_BC_IPI);
    l.aliquota_ipi = i.IPI.ALIQUOTA_IPI;
    l.ipi = r2(i.IPI.VALOR_IPI);
    l.cst_pis = text::cut(text::trim(i.PIS.CST_PIS), 2);
    l.base_pis = r2(i.PIS.VALOR_BC_PIS);
    l.aliquota_pis = i.PIS.ALIQUOTA_PIS;
    l.pis = r2(i.PIS.VALOR_PIS);
    l.cst_cofins = text::cut(text::trim(i.COFINS.CST_COFINS), 2);
    l.base_cofins = r2(i.COFINS.VALOR_BC_COFINS);
    l.aliquota_cofins = i.COFINS.ALIQUOTA_COFINS;
    l.cofins = r2(i.COFINS.VALOR_COFINS);
    l.aliquota_iss = i.ISSQN.ALIQUOTA_ISSQN;
    l.iss = r2(i.ISSQN.VALOR_ISSQN);
    l.base_ii = r2(i.II.VALOR_BC_II);
    l.despesas_aduaneiras = r2(i.II.VALOR_DESP_ADU);
    l.ii = r2(i.II.VALOR_II);
    l.aproximados = r2(i.TOTAL_APROX_IMPOSTOS.value());
    l.chave_fci = text::cut(i.CHAVE_FCI, 36);
    l.vendedor = i.ID_VENDEDOR != 0 ? i.ID_VENDEDOR : dados.VENDEDOR.CODIGO;
    l.pedido = text::cut(i.X_PED, 15);
    l.item_pedido = i.N_ITEM_PED;
    l.cest = text::cut(digitos(i.CEST), 10);
    l.ncm = text::cut(digitos(i.NCM), 10);
    if (l.icms_st) {  // the poverty fund on substitution exists only beside an ST
      l.base_fcp_st = r2(i.FCP_ST.BASE_FCP_ST.value());
      l.perc_fcp_st = i.FCP_ST.PERC_FCP_ST.value();
      l.fcp_st = r2(i.FCP_ST.VALOR_FCP_ST.value());
    }
    linhas.push_back(std::move(l));
  }
  return linhas;
}

Totais soma_itens(const std::vector<LinhaItem>& itens) {
  Totais t;
  for (const LinhaItem& l : itens) {
    (l.servico ? t.servicos : t.mercadorias) += l.bruto;
    t.desconto += l.desconto;
    t.acrescimo += l.acrescimo;
    t.despesas += l.despesas;
    t.frete += l.frete;
    t.seguro += l.seguro;
    t.base_icms += l.base_icms;
    t.icms += l.icms;
    t.ipi += l.ipi;
    t.ii += l.ii;
    t.aproximados += l.aproximados;
    if (l.servico) {
      t.iss += l.iss;
    } else {
      t.pis += l.pis;
      t.cofins += l.cofins;
    }
    // Retained ST (CST 60, CSOSN 500) is information only, not part of vST.
    if (l.icms_st) {
      t.base_st += l.base_st;
      t.st += l.st;
    }
  }
  for (double* v :
       {&t.mercadorias, &t.servicos, &t.desconto, &t.acrescimo, &t.despesas, &t.frete, &t.seguro, &t.base_icms, &t.icms,
        &t.base_st, &t.st, &t.ipi, &t.pis, &t.cofins, &t.iss, &t.ii, &t.aproximados}) {
    *v = r2(*v);
  }
  return t;
}

double total_das_linhas(const std::vector<LinhaItem>& itens) {
  double total = 0;
  for (const LinhaItem& l : itens) {
    total += l.bruto - l.desconto + l.st + l.fcp_st + l.frete + l.seguro + l.despesas + l.acrescimo + l.ipi + l.ii;
  }
  return r2(total);
}

void ajusta_arredondamento(std::vector<LinhaItem>& itens, double total_venda) {
  if (itens.empty()) return;
  const double diferenca = r2(r2(total_venda) - total_das_linhas(itens));
  // Each line rounds at most ten parts (gross, discounts, charges, FCP-ST,
  // shares of the sale's values) by half a cent each.
  const double limite = 0.05 * static_cast<double>(itens.size());
  if (diferenca == 0 || std::abs(diferenca) > limite) return;
  LinhaItem* maior = &itens.front();
  for (LinhaItem& l : itens) {
    if (l.bruto > maior->bruto) maior = &l;
  }
  if (diferenca > 0) {
    maior->acrescimo = r2(maior->acrescimo + diferenca);
  } else {
    maior->desconto = r2(maior->desconto - diferenca);
  }
}

void aplica_st_retido(LinhaItem& l, double base_unitaria, double valor_unitario) {
  if (!l.st_retido) return;
  l.base_st = r2(base_unitaria * l.quantidade);
  l.st = r2(valor_unitario * l.quantidade);
}

std::string situacao_contribuicao_invalida(const std::vector<LinhaItem>& itens) {
  for (std::size_t n = 0; n < itens.size(); ++n) {
    const LinhaItem& l = itens[n];
    for (const auto& [tributo, cst] : {std::pair{"PIS", l.cst_pis}, std::pair{"COFINS", l.cst_cofins}}) {
      if (xml::grupo_contribuicao(como_inteiro(cst).value_or(-1)) == xml::GrupoContribuicao::Nenhum) {
        return "Situação tributária de " + std::string{tributo} + " sem grupo na NFC-e no item " +
               std::to_string(n + 1) + " (" + l.descricao + "): \"" + cst + "\"";
      }
    }
  }
  return {};
}

Colunas colunas_item(const LinhaItem& l, std::int32_t venda, const CONTEXTO_VENDA& c, PassthroughTable& tabela) {
  const auto n2 = [](double v) { return sql_number(v, 2); };
  const auto n4 = [](double v) { return sql_number(v, 4); };
  const auto texto = [&tabela](std::string_view v) { return tabela.literal(v); };
  return {
      {"cisahistorico", sql_integer(venda)},
      {"cemphistorico", sql_integer(c.empresa)},
      {"copcadhistorico", sql_integer(c.operador)},
      {"cprohistorico", sql_integer(l.produto)},
      {"cdeshistorico", texto(l.descricao)},
      {"ctiphistorico", "'S'"},
      {"ctipphistorico", l.servico ? "1" : "0"},
      {"ccfohistorico", texto(text::cut(l.cfop, 5))},
      {"csaihisotorico", n4(l.quantidade)},
      {"cvbrhistorico", n4(l.unitario)},
      {"cvdeshistorico", n2(l.desconto)},
      {"cvtothistorico", n2(l.bruto)},
      {"cvfihistorico", n2(l.acrescimo)},
      {"cvachistorico", n2(l.despesas)},
      {"cvfrehistorico", n2(l.frete)},
      {"cvcuhistorico", n4(l.custo)},
      {"cicmhistorico", n4(l.aliquota_icms)},
      {"cvichistorico", n2(l.icms)},
      {"cipihistorico", n4(l.aliquota_ipi)},
      {"cviphistorico", n2(l.ipi)},
      {"cisshistorico", n4(l.aliquota_iss)},
      {"cvishistorico", n2(l.iss)},
      {"s_ahi_sit_tributaria", texto(l.sit_tributaria)},
      {"i_ahi_csosn", sql_integer(l.csosn)},
      {"n_ahi_perc_reducao", n4(l.reducao)},
      {"n_ahi_base_icms", n2(l.base_icms)},
      {"n_ahi_per_conv_subst", n4(l.mva)},
      {"n_ahi_base_substituicao", n2(l.base_st)},
      {"n_ahi_per_icms_subs", n4(l.aliquota_st)},
      {"n_ahi_icms_substituicao", n2(l.st)},
      {"n_ahi_aliquota_st", n4(l.aliquota_st)},
      {"s_ahi_cst_ipi", texto(l.cst_ipi)},
      {"n_ahi_base_ipi", n2(l.base_ipi)},
      {"s_ahi_cst_pis", texto(l.cst_pis)},
      {"s_ahi_cst_cofins", texto(l.cst_cofins)},
      {"n_ahi_base_pis", n2(l.base_pis)},
      {"n_ahi_aliquota_pis", n4(l.aliquota_pis)},
      {"n_ahi_valor_pis", n2(l.pis)},
      {"n_ahi_base_cofins", n2(l.base_cofins)},
      {"n_ahi_aliquota_cofins", n4(l.aliquota_cofins)},
      {"n_ahi_valor_cofins", n2(l.cofins)},
      {"n_ahi_seguro_item", n2(l.seguro)},
      {"n_ahi_base_ii", n2(l.base_ii)},
      {"n_ahi_desp_aduaneiras", n2(l.despesas_aduaneiras)},
      {"n_ahi_valor_ii", n2(l.ii)},
      {"n_ahi_tot_impostos", n2(l.aproximados)},
      {"s_ahi_chave_fci", texto(l.chave_fci)},
      {"n_ahi_valor_tot_item", n4(l.unitario)},
      {"n_ahi_valor_desc_item", n2(l.desconto_item)},
      {"i_ahi_codigo_tve", l.vendedor == 0 ? std::string{"NULL"} : sql_integer(l.vendedor)},
      {"s_ahi_numero_pedido", texto(l.pedido)},
      {"i_ahi_item_pedido", sql_integer(l.item_pedido)},
      {"s_ahi_cest", texto(l.cest)},
      {"s_ahi_ncm", texto(l.ncm)},
      {"n_ahi_base_fcp_st", n2(l.base_fcp_st)},
      {"n_ahi_valor_fcp_st", n2(l.fcp_st)},
      {"n_ahi_perc_fcp_st", n4(l.perc_fcp_st)},
      {"n_ahi_perc_diferimento", n4(l.perc_diferimento)},
      {"n_ahi_valor_icms_diferido", n2(l.icms_diferido)},
      {"n_ahi_perc_cred_simples", n4(l.perc_credito_simples)},
      {"n_ahi_valor_cred_simples", n2(l.credito_simples)},
  };
}

Destinatario destinatario_da_venda(const sale::GRUPO_CLIENTE& cliente, const CONTEXTO_VENDA& c,
                                   const PassthroughTable& t) {
  // Columns of the aclientes row read by the recording (step 5), in order.
  // The number is read by the invoice from aclientes itself.
  enum Coluna { kCep, kNumero, kBairro, kEndereco, kCidade, kUf, kFone, kIe, kCpf, kCnpj, kNome };
  const auto coluna = [&t](Coluna col) { return text::trim(t.value(col)); };
  const auto primeiro = [](const std::string& a, const std::string& b) {
    std::string aparado = text::trim(a);
    return aparado.empty() ? b : aparado;
  };
  Destinatario d;
  d.cep = inteiro_de(coluna(kCep));
  d.cidade = primeiro(cliente.CIDADE, coluna(kCidade));
  d.uf = primeiro(cliente.UF, coluna(kUf));
  if (text::upper(text::trim(cliente.NOME)) == "CONSUMIDOR") {
    d.nome = text::trim(c.nome_digitado);
    d.cpf = digitos(c.cpf_digitado);
    d.cnpj = digitos(c.cnpj_digitado);
    return d;
  }
  d.nome = primeiro(cliente.NOME, coluna(kNome));
  d.cpf = digitos(primeiro(cliente.CPF, coluna(kCpf)));
  d.cnpj = digitos(primeiro(cliente.CNPJ, coluna(kCnpj)));
  d.endereco = primeiro(cliente.ENDERECO, coluna(kEndereco));
  d.bairro = primeiro(cliente.BAIRRO, coluna(kBairro));
  d.fone = primeiro(cliente.FONE, coluna(kFone));
  d.ie = primeiro(cliente.IE, coluna(kIe));
  return d;
}

std::vector<Colunas> colunas_liberacoes(const sale::DADOS_NF& dados, std::int32_t venda, PassthroughTable& t) {
  std::vector<Colunas> linhas;
  const auto liberacao = [&](const sale::GRUPO_DADOS_LIBERACAO& l, int tipo, double valor) {
    if (text::trim(l.TIPO_LIBERACAO).empty()) return;
    const std::string data = sql_date(l.DATA);
    const std::string hora = sql_time(l.HORA);
    std::string quando = "localtimestamp(0)";
    if (data != "NULL") quando = data + "::date + " + (hora != "NULL" ? hora + "::time" : std::string{"time '00:00'"});
    linhas.push_back({{"i_ali_ide_asaidas", sql_integer(venda)},
                      {"i_ali_tipo", sql_integer(tipo)},
                      {"i_ali_usuario", sql_integer(l.OPERADOR_LIBERACAO)},
                      {"i_ali_operador", sql_integer(l.OPERADOR_LOGADO)},
                      {"i_ali_codigo_tem", l.CODIGO_EMPRESA > 0 ? sql_integer(l.CODIGO_EMPRESA) : "NULL"},
                      {"n_ali_valor", sql_number(valor, 2)},
                      {"n_ali_percentual", "0"},
                      {"s_ali_motivo",
                       t.literal(text::cut(text::trim(l.TIPO_LIBERACAO) + ": " + text::trim(l.MOTIVO_LIBERACAO), 255))},
                      {"d_ali_data", quando}});
  };
  liberacao(dados.LIBERACAO_DESCONTO, 1, dados.DESCONTO_VENDA);
  liberacao(dados.LIBERACAO_CANCELAMENTO, 2, 0);
  liberacao(dados.LIBERACAO_VENDA_PRAZO, 3, dados.TOTAIS_VENDA.TOTAL_LIQUIDO);
  for (const sale::QUEUE_ITEM& item : dados.ITENS) {
    liberacao(item.DADOS_LIBERACAO_DESCONTO, 1, item.DESCONTO);
    liberacao(item.DADOS_LIBERACAO_CANCELAMENTO, 2, item.TOTAL_BRUTO);
  }
  return linhas;
}

std::string lista(const std::vector<std::int32_t>& valores, std::string_view separador) {
  std::string out;
  for (const std::int32_t v : valores) {
    if (!out.empty()) out += separador;
    out += std::to_string(v);
  }
  return out;
}

std::optional<std::int32_t> como_inteiro(std::string_view texto) {
  const std::string t = text::trim(texto);
  std::int32_t valor = 0;
  const auto [fim, erro] = std::from_chars(t.data(), t.data() + t.size(), valor);
  if (erro != std::errc{} || fim != t.data() + t.size()) return std::nullopt;
  return valor;
}

}  // namespace fvn
