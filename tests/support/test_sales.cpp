#include "support/test_sales.h"

#include <functional>
#include <map>

#include <gtest/gtest.h>

namespace fvn::testing {

namespace {

Columns merged(Columns defaults, const Columns& changes) {
  for (const auto& [column, value] : changes) {
    bool replaced = false;
    for (auto& entry : defaults) {
      if (entry.first == column) {
        entry.second = value;
        replaced = true;
      }
    }
    if (!replaced) defaults.emplace_back(column, value);
  }
  return defaults;
}

std::string id(std::int32_t sale) { return std::to_string(sale); }

// One item row: product, description, CFOP, quantity, unit value, total,
// tax situation and CSOSN; PIS and COFINS situation 49 unless changed.
Columns item_row(int product, std::string_view description, std::string_view cfop, std::string_view quantity,
                 std::string_view unit, std::string_view total, std::string_view situation, int csosn) {
  return {{"cprohistorico", std::to_string(product)},
          {"cdeshistorico", "'" + std::string{description} + "'"},
          {"ccfohistorico", "'" + std::string{cfop} + "'"},
          {"csaihisotorico", std::string{quantity}},
          {"cvbrhistorico", std::string{unit}},
          {"cvtothistorico", std::string{total}},
          {"s_ahi_sit_tributaria", "'" + std::string{situation} + "'"},
          {"i_ahi_csosn", std::to_string(csosn)}};
}

Columns with(Columns row, const Columns& more) { return merged(std::move(row), more); }

void cash(SaleBuilder& b, std::int32_t sale, std::string_view amount) {
  b.posting(sale, {{"cvalorcreditohistorico", std::string{amount}}});
}

// --- the cases ------------------------------------------------------------------

std::int32_t consumidor_sem_cpf(SaleBuilder& b) {
  const auto s = b.sale(
      {{"cmersaidas", "45.29"}, {"ctotsaidas", "45.29"}, {"cvbrsaidas", "45.29"}, {"n_asa_tot_impostos", "6.10"}});
  b.item(s, with(item_row(42, "CAFE TORRADO MOIDO 500G", "5.102", "2", "17.90", "35.80", "0102", 102),
                 {{"n_ahi_tot_impostos", "4.82"}}));
  b.item(s, with(item_row(45, "REFRIGERANTE COLA 2L", "5.405", "1", "9.49", "9.49", "0500", 500),
                 {{"n_ahi_tot_impostos", "1.28"}}));
  cash(b, s, "45.29");
  return s;
}

std::int32_t consumidor_com_cpf(SaleBuilder& b) {
  const auto s = b.sale({{"cpf_saidas", "'12345678909'"}, {"cmersaidas", "8.99"}, {"ctotsaidas", "8.99"}});
  b.item(s, with(item_row(44, "FEIJAO CARIOCA 1KG", "5.102", "1", "8.99", "8.99", "0400", 400),
                 {{"s_ahi_cst_pis", "'07'"}, {"s_ahi_cst_cofins", "'07'"}}));
  cash(b, s, "8.99");
  return s;
}

std::int32_t cliente_cnpj_email(SaleBuilder& b) {
  const auto s = b.sale({{"cclisaidas", "3"},
                         {"cnpj_saidas", "'12345678000195'"},
                         {"nome_saidas", "'PADARIA PAO DOURADO'"},
                         {"endereco_saidas", "'RUA HALFELD'"},
                         {"bairro_saidas", "'CENTRO'"},
                         {"cidade_saidas", "'JUIZ DE FORA'"},
                         {"cep_saidas", "36010000"},
                         {"fone_saidas", "'(32) 3215-1000'"},
                         {"inscricao_saidas", "'0623079040162'"},
                         {"cfpgsaidas", "2"},
                         {"i_asa_tipo_pagto", "1"},
                         {"cmersaidas", "259.00"},
                         {"ctotsaidas", "259.00"}});
  b.item(s, item_row(43, "ARROZ TIPO 1 5KG", "5.102", "10", "25.90", "259.00", "0400", 400));
  b.installment(s, {{"cnprdupli", "1"}, {"cvendupli", "date '2026-06-03'"}, {"cvprdupli", "129.50"}});
  b.installment(s, {{"cnprdupli", "2"}, {"cvendupli", "date '2026-07-03'"}, {"cvprdupli", "129.50"}});
  return s;
}

std::int32_t simples_csosn(SaleBuilder& b) {
  const auto s =
      b.sale({{"cmersaidas", "115.91"}, {"ctotsaidas", "117.91"}, {"cbstsaidas", "65.20"}, {"cvstsaidas", "2.00"}});
  b.item(s, item_row(42, "CAFE TORRADO MOIDO 500G", "5.102", "1", "17.90", "17.90", "0101", 101));
  b.item(s, with(item_row(50, "MARTELO UNHA 27MM", "5.405", "1", "39.90", "39.90", "0201", 201),
                 {{"n_ahi_per_conv_subst", "39"},
                  {"n_ahi_base_substituicao", "55.46"},
                  {"n_ahi_per_icms_subs", "18"},
                  {"n_ahi_icms_substituicao", "2.00"}}));
  b.item(s, with(item_row(47, "BANANA PRATA KG", "5.102", "1.5", "6.49", "9.74", "0202", 202),
                 {{"n_ahi_base_substituicao", "9.74"}, {"n_ahi_per_icms_subs", "18"}}));
  b.item(s, with(item_row(45, "REFRIGERANTE COLA 2L", "5.405", "2", "9.49", "18.98", "0500", 500),
                 {{"n_ahi_base_substituicao", "18.98"}, {"n_ahi_icms_substituicao", "0"}}));
  b.item(s, with(item_row(46, "QUEIJO MINAS FRESCAL KG", "5.102", "0.685", "42.90", "29.39", "0900", 900),
                 {{"n_ahi_base_icms", "29.39"},
                  {"cicmhistorico", "18"},
                  {"cvichistorico", "4.76"},
                  {"n_ahi_perc_reducao", "10"}}));
  b.posting(s, {{"cvalorcreditohistorico", "120.00"}});
  b.posting(s, {{"ccodigofavorecidohistorico", "2"},
                {"cvalordebitohistorico", "2.09"},
                {"cdescricaohistorico", "'Troco NF: 1'"}});
  return s;
}

std::int32_t regime_normal_st_fcp(SaleBuilder& b) {
  const auto s = b.sale({{"cempresasaidas", "2"},
                         {"csrisaidas", "2"},
                         {"uf_saidas", "'SP'"},
                         {"cidade_saidas", "'SAO PAULO'"},
                         {"cep_saidas", "1310100"},
                         {"cbtrsaidas", "189.78"},
                         {"cicmsaidas", "34.16"},
                         {"cbstsaidas", "49.91"},
                         {"cvstsaidas", "1.80"},
                         {"cmersaidas", "229.28"},
                         {"ctotsaidas", "232.08"},
                         {"n_asa_valor_pis", "3.78"},
                         {"n_asa_valor_cofins", "17.42"},
                         {"n_asa_tot_impostos", "71.54"}});
  const Columns pis_cofins = {{"s_ahi_cst_pis", "'01'"},
                              {"s_ahi_cst_cofins", "'01'"},
                              {"n_ahi_aliquota_pis", "1.65"},
                              {"n_ahi_aliquota_cofins", "7.6"}};
  b.item(s,
         with(with(item_row(51, "JOGO CHAVE DE BOCA 8 PECAS", "5.102", "1", "89.90", "89.90", "0000", 0), pis_cofins),
              {{"cemphistorico", "2"},
               {"n_ahi_base_icms", "89.90"},
               {"cicmhistorico", "18"},
               {"cvichistorico", "16.18"},
               {"n_ahi_base_pis", "89.90"},
               {"n_ahi_valor_pis", "1.48"},
               {"n_ahi_base_cofins", "89.90"},
               {"n_ahi_valor_cofins", "6.83"},
               {"n_ahi_tot_impostos", "28.05"}}));
  b.item(s, with(with(item_row(50, "MARTELO UNHA 27MM", "5.401", "1", "39.90", "39.90", "0010", 0), pis_cofins),
                 {{"cemphistorico", "2"},
                  {"n_ahi_base_icms", "39.90"},
                  {"cicmhistorico", "18"},
                  {"cvichistorico", "7.18"},
                  {"n_ahi_per_conv_subst", "39"},
                  {"n_ahi_base_substituicao", "49.91"},
                  {"n_ahi_per_icms_subs", "18"},
                  {"n_ahi_icms_substituicao", "1.80"},
                  {"n_ahi_base_fcp_st", "49.91"},
                  {"n_ahi_perc_fcp_st", "2"},
                  {"n_ahi_valor_fcp_st", "1.00"},
                  {"n_ahi_base_pis", "39.90"},
                  {"n_ahi_valor_pis", "0.66"},
                  {"n_ahi_base_cofins", "39.90"},
                  {"n_ahi_valor_cofins", "3.03"},
                  {"n_ahi_tot_impostos", "12.45"}}));
  b.item(s, with(with(item_row(50, "MARTELO UNHA 27MM", "5.405", "4", "9.49", "37.96", "0060", 0), pis_cofins),
                 {{"cemphistorico", "2"},
                  {"n_ahi_base_pis", "37.96"},
                  {"n_ahi_valor_pis", "0.63"},
                  {"n_ahi_base_cofins", "37.96"},
                  {"n_ahi_valor_cofins", "2.88"},
                  {"n_ahi_tot_impostos", "12.11"}}));
  b.item(s,
         with(with(item_row(51, "JOGO CHAVE DE BOCA 8 PECAS", "5.102", "1", "61.52", "61.52", "0020", 0), pis_cofins),
              {{"cemphistorico", "2"},
               {"n_ahi_perc_reducao", "2.57"},
               {"n_ahi_base_icms", "59.94"},
               {"cicmhistorico", "18"},
               {"cvichistorico", "10.79"},
               {"n_ahi_base_pis", "61.52"},
               {"n_ahi_valor_pis", "1.01"},
               {"n_ahi_base_cofins", "61.52"},
               {"n_ahi_valor_cofins", "4.68"},
               {"n_ahi_tot_impostos", "18.93"}}));
  cash(b, s, "232.08");
  return s;
}

std::int32_t servico_issqn(SaleBuilder& b) {
  const auto s = b.sale({{"cclisaidas", "2"},
                         {"nome_saidas", "'JOSE DA SILVA SAURO'"},
                         {"cpf_saidas", "'12345678909'"},
                         {"endereco_saidas", "'RUA DOS GUAJAJARAS'"},
                         {"bairro_saidas", "'LOURDES'"},
                         {"cep_saidas", "30140071"},
                         {"cmersaidas", "17.90"},
                         {"csersaidas", "160.00"},
                         {"cimpsaidas", "4.00"},
                         {"ctotsaidas", "177.90"},
                         {"n_asa_tot_impostos", "27.69"}});
  b.item(s, with(item_row(49, "INSTALACAO DE PRATELEIRA", "5.933", "2", "80.00", "160.00", "0041", 400),
                 {{"s_ahi_cst_pis", "'01'"},
                  {"s_ahi_cst_cofins", "'01'"},
                  {"n_ahi_base_pis", "160"},
                  {"n_ahi_aliquota_pis", "0.65"},
                  {"n_ahi_valor_pis", "1.04"},
                  {"n_ahi_base_cofins", "160"},
                  {"n_ahi_aliquota_cofins", "3"},
                  {"n_ahi_valor_cofins", "4.80"},
                  {"cisshistorico", "2.5"},
                  {"cvishistorico", "4.00"},
                  {"n_ahi_tot_impostos", "25.28"}}));
  b.item(s, with(item_row(42, "CAFE TORRADO MOIDO 500G", "5.102", "1", "17.90", "17.90", "0102", 102),
                 {{"n_ahi_tot_impostos", "2.41"}}));
  cash(b, s, "177.90");
  return s;
}

std::int32_t transportadora_cpf_volumes(SaleBuilder& b) {
  b.run(
      "insert into atransportadora (ccodtransportadora, cnomtransportadora, ccpftransportadora, cendtransportadora, "
      "ccidtransportadora, cuftransportadora, i_atr1_tipo_pessoa) values (2, 'JOAO CARRETO', '11144477735', "
      "'RUA DA BAHIA 100', 'BELO HORIZONTE', 'MG', 1)");
  const auto s = b.sale({{"ctrasaidas", "2"},
                         {"ctfresaidas", "1"},
                         {"cvqtdsaidas", "'3'"},
                         {"cvespsaidas", "'CAIXA'"},
                         {"cvmarsaidas", "'BOA VISTA'"},
                         {"cvnumsaidas", "'12'"},
                         {"cpliqvolsaidas", "10.5"},
                         {"cpbrusaidas", "11.25"},
                         {"cvalorfrete", "12.50"},
                         {"cmersaidas", "275.00"},
                         {"ctotsaidas", "287.50"}});
  b.item(s, with(item_row(43, "ARROZ TIPO 1 5KG", "5.102", "10", "27.50", "275.00", "0400", 400),
                 {{"cvfrehistorico", "12.50"}}));
  cash(b, s, "287.50");
  return s;
}

std::int32_t cartao_credenciadora_troco(SaleBuilder& b) {
  const auto s = b.sale({{"cmersaidas", "81.78"}, {"cdessaidas", "1.78"}, {"ctotsaidas", "80.00"}});
  b.item(s, with(item_row(42, "CAFE TORRADO MOIDO 500G", "5.102", "2", "17.90", "35.80", "0102", 102),
                 {{"cvdeshistorico", "1.78"}}));
  b.item(s, item_row(43, "ARROZ TIPO 1 5KG", "5.102", "1", "27.50", "27.50", "0400", 400));
  b.item(s, item_row(44, "FEIJAO CARIOCA 1KG", "5.102", "1", "8.99", "8.99", "0400", 400));
  b.item(s, item_row(45, "REFRIGERANTE COLA 2L", "5.405", "1", "9.49", "9.49", "0500", 500));
  b.posting(s, {{"ccodigofavorecidohistorico", "3"}, {"ctef_cheque", "4"}, {"cvalorcreditohistorico", "50.00"}});
  b.posting(s, {{"cvalorcreditohistorico", "50.00"}});
  b.posting(s, {{"ccodigofavorecidohistorico", "2"},
                {"cvalordebitohistorico", "20.00"},
                {"cdescricaohistorico", "'Troco NF: 9'"}});
  return s;
}

std::int32_t observacao_mensagens(SaleBuilder& b) {
  const auto s = b.sale({{"cobssaidas", b.text(long_observation())}, {"cmersaidas", "27.97"}, {"ctotsaidas", "27.97"}});
  b.item(s, item_row(45, "REFRIGERANTE COLA 2L", "5.405", "1", "9.49", "9.49", "1500", 500));
  b.item(s, item_row(45, "REFRIGERANTE COLA 2L", "5.405", "1", "9.49", "9.49", "1500", 500));
  b.item(s, item_row(44, "FEIJAO CARIOCA 1KG", "5.102", "1", "8.99", "8.99", "1400", 400));
  cash(b, s, "27.97");
  return s;
}

std::int32_t descontos_frete(SaleBuilder& b) {
  b.run(
      "insert into aprodutos (ccodproduto, cdesproduto, ctipproduto, ctriproduto, i_apr_codigo_cnm, "
      "s_apr_controle_estoque) values (60, 'FRETE DE ENTREGA', 2, 1, '00', 'N')");
  const auto s = b.sale({{"cmersaidas", "78.70"},
                         {"cvalorfrete", "15.00"},
                         {"n_asa_valor_seguro", "2.00"},
                         {"cdessaidas", "5.50"},
                         {"cacesosaidas", "1.50"},
                         {"cacrsaidas", "0.25"},
                         {"ctotsaidas", "91.95"}});
  b.item(s, with(item_row(42, "CAFE TORRADO MOIDO 500G", "5.102", "2", "17.90", "35.80", "0102", 102),
                 {{"cvdeshistorico", "3.58"},
                  {"cvfrehistorico", "5.00"},
                  {"n_ahi_seguro_item", "1.00"},
                  {"cvachistorico", "0.75"}}));
  b.item(s, with(item_row(51, "JOGO CHAVE DE BOCA 8 PECAS", "5.102", "1", "37.90", "37.90", "0102", 102),
                 {{"cvdeshistorico", "1.92"},
                  {"cvfrehistorico", "5.00"},
                  {"n_ahi_seguro_item", "1.00"},
                  {"cvachistorico", "0.75"},
                  {"cvfihistorico", "0.25"}}));
  b.item(s, item_row(60, "FRETE DE ENTREGA", "5.102", "1", "5.00", "5.00", "0102", 102));
  cash(b, s, "91.95");
  return s;
}

std::int32_t texto_inseguro(SaleBuilder& b) {
  const auto s = b.sale({{"cpf_saidas", "'12345678909'"},
                         {"nome_saidas", b.text("\U0001F600 Zé <Ana> & \"Filhos\" d'Ávila\x01\tTeste\r\nLinha\u202E")},
                         {"cobssaidas", b.text("Entregar às 10h\nportão nº 3 <fundos> & cia. 20° \"frio\" "
                                               "\U0001F69A\u202E\uE000\u2014 \u201Cja\u0301\u201D\u2026\u0085")},
                         {"cmersaidas", "17.90"},
                         {"ctotsaidas", "17.90"}});
  b.item(s, with(item_row(42, "CAFÉ \u2615\uFE0F <ESPECIAL> & \"GOURMET\" \U0001F44D\U0001F3FD", "5.102", "1", "17.90",
                          "17.90", "0102", 102),
                 {{"copcadhistorico", "1"}}));
  cash(b, s, "17.90");
  return s;
}

const std::map<std::string, std::function<std::int32_t(SaleBuilder&)>, std::less<>>& scenarios() {
  static const std::map<std::string, std::function<std::int32_t(SaleBuilder&)>, std::less<>> all = {
      {"consumidor_sem_cpf", consumidor_sem_cpf},
      {"consumidor_com_cpf", consumidor_com_cpf},
      {"cliente_cnpj_email", cliente_cnpj_email},
      {"simples_csosn", simples_csosn},
      {"regime_normal_st_fcp", regime_normal_st_fcp},
      {"servico_issqn", servico_issqn},
      {"transportadora_cpf_volumes", transportadora_cpf_volumes},
      {"cartao_credenciadora_troco", cartao_credenciadora_troco},
      {"observacao_mensagens", observacao_mensagens},
      {"descontos_frete", descontos_frete},
      {"texto_inseguro", texto_inseguro},
  };
  return all;
}

}  // namespace

std::string SaleBuilder::insert(std::string_view table, Columns defaults, const Columns& changes,
                                std::string_view returning) {
  const Columns row = merged(std::move(defaults), changes);
  std::string columns;
  std::string values;
  for (const auto& [column, value] : row) {
    if (!columns.empty()) {
      columns += ", ";
      values += ", ";
    }
    columns += column;
    values += value;
  }
  std::string sql = "insert into " + std::string{table} + " (" + columns + ") values (" + values + ")";
  if (!returning.empty()) sql += " returning " + std::string{returning};
  run(sql);
  if (returning.empty() || t_.next() != 1) return {};
  return t_.value(0);
}

void SaleBuilder::run(const std::string& sql) {
  if (t_.execute(sql) != 1) ADD_FAILURE() << t_.error_text("") << "\n  in: " << sql;
}

std::string SaleBuilder::text(std::string_view value) { return t_.literal(value); }

std::int32_t SaleBuilder::sale(const Columns& changes) {
  const std::string next = insert("asaidas",
                                  {{"cempresasaidas", "1"},
                                   {"cemisaidas", "date '2026-05-04'"},
                                   {"cdtsaisaidas", "date '2026-05-04'"},
                                   {"chocsaidas", "time '10:00:00'"},
                                   {"csrisaidas", "1"},
                                   {"cnotsaidas", "(select coalesce(max(cnotsaidas), 0) + 100 from asaidas)"},
                                   {"cclisaidas", "1"},
                                   {"cvensaidas", "1"},
                                   {"cfpgsaidas", "1"},
                                   {"i_asa_codigo_tna", "5"},
                                   {"cidade_saidas", "'BELO HORIZONTE'"},
                                   {"uf_saidas", "'MG'"},
                                   {"cep_saidas", "30130000"},
                                   {"ctfresaidas", "9"}},
                                  changes, "cidesaidas");
  return next.empty() ? 0 : std::stoi(next);
}

void SaleBuilder::item(std::int32_t sale, const Columns& changes) {
  insert("ahistorico",
         {{"cisahistorico", id(sale)},
          {"cemphistorico", "1"},
          {"copcadhistorico", "1"},
          {"ctiphistorico", "'S'"},
          {"s_ahi_cst_ipi", "'53'"},
          {"s_ahi_cst_pis", "'49'"},
          {"s_ahi_cst_cofins", "'49'"}},
         changes, {});
}

void SaleBuilder::posting(std::int32_t sale, const Columns& changes) {
  insert("ahcontas",
         {{"cidesaivenhist", id(sale)},
          {"ccodigofavorecidohistorico", "1"},
          {"ctef_cheque", "0"},
          {"cdescricaohistorico", "'Venda NF'"},
          {"i_ahc_codigo_tem", "1"}},
         changes, {});
}

void SaleBuilder::installment(std::int32_t sale, const Columns& changes) {
  insert("asduplicatas", {{"cisadupli", id(sale)}, {"cemidupli", "date '2026-05-04'"}}, changes, {});
}

const std::vector<std::string>& scenario_names() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    for (const auto& entry : scenarios()) out.push_back(entry.first);
    return out;
  }();
  return names;
}

std::int32_t build_scenario(std::string_view name, SaleBuilder& b) {
  const auto found = scenarios().find(name);
  return found == scenarios().end() ? 0 : found->second(b);
}

std::string long_observation() {
  // 200 pieces of 25 characters; one line break inside, no blank at the end.
  std::string out;
  for (int i = 0; i < 200; ++i) out += i == 100 ? "Observação nº 12 & <ok>.\n" : "Observação nº 12 & <ok>. ";
  out.back() = '!';
  return out;
}

}  // namespace fvn::testing
