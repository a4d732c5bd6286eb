// The invoice of recorded sales, group by group, read back as XML.
#include <sys/resource.h>

#include <csignal>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "runtime/text.h"

namespace fvn {
namespace {

using testing::Columns;
using testing::DocumentTest;
using testing::long_observation;
using testing::text_at;

// Names of the element children of `node`, in order.
std::vector<std::string> children(pugi::xml_node node) {
  std::vector<std::string> out;
  for (const pugi::xml_node child : node.children()) out.emplace_back(child.name());
  return out;
}

Columns coffee(std::string_view situation = "0102", int csosn = 102) {
  return {{"cprohistorico", "42"},
          {"csaihisotorico", "1"},
          {"cvbrhistorico", "17.90"},
          {"cvtothistorico", "17.90"},
          {"ccfohistorico", "'5.102'"},
          {"s_ahi_sit_tributaria", "'" + std::string{situation} + "'"},
          {"i_ahi_csosn", std::to_string(csosn)}};
}

TEST_F(DocumentTest, WalkInConsumerWithCpfAndNoNameGetsCpfAndIndicatorOnly) {
  const auto inf = invoice(scenario("consumidor_com_cpf"));
  EXPECT_EQ(children(inf.child("dest")), (std::vector<std::string>{"CPF", "indIEDest"}));
  EXPECT_EQ(text_at(inf, "dest/CPF"), "12345678909");
  EXPECT_EQ(text_at(inf, "dest/indIEDest"), "9");
}

TEST_F(DocumentTest, AddressNumberWithoutValueIsWrittenSn) {
  const auto sale = scenario("cliente_cnpj_email");
  for (const auto& [number, written] : std::vector<std::pair<std::string, std::string>>{
           {"S/N", "SN"}, {"0", "SN"}, {"", "SN"}, {"000", "SN"}, {"12A", "12A"}, {"410", "410"}}) {
    sql("update aclientes set i_acl_endereco_numero = '" + number + "' where ccodigo = 3");
    EXPECT_EQ(text_at(invoice(sale), "dest/enderDest/nro"), written) << "number '" << number << "'";
  }
  EXPECT_EQ(doc_->APRAZO, 1);
}

TEST_F(DocumentTest, ItemsAreNumberedByTaxSituationNotBySaleOrder) {
  const auto sale = builder_->sale();
  builder_->item(sale, {{"cprohistorico", "45"},
                        {"csaihisotorico", "1"},
                        {"cvtothistorico", "9.49"},
                        {"ccfohistorico", "'5.405'"},
                        {"s_ahi_sit_tributaria", "'0500'"},
                        {"i_ahi_csosn", "500"}});
  builder_->item(sale, coffee());
  const auto inf = invoice(sale);
  const auto first = inf.child("det");
  EXPECT_EQ(std::string{first.attribute("nItem").value()}, "1");
  EXPECT_EQ(text_at(first, "prod/cProd"), "42");
  EXPECT_EQ(text_at(first.next_sibling("det"), "prod/cProd"), "45");
  EXPECT_EQ(text_at(first.next_sibling("det"), "prod/CEST"), "0300700");
  EXPECT_EQ(text_at(first, "prod/cEAN"), "7891000000014");
}

TEST_F(DocumentTest, CestOnlyWhenTheIniFileAsksForIt) {
  testing::write_file(work_.file("nfe_ini.ini"), "[nfce]\ncest=0\n");
  const auto inf = invoice(scenario("consumidor_sem_cpf"));
  for (const pugi::xml_node det : inf.children("det")) EXPECT_FALSE(det.child("prod").child("CEST"));
}

TEST_F(DocumentTest, ApproximateTaxTotalOnlyWhenAboveZero) {
  const auto sale = builder_->sale({{"n_asa_tot_impostos", "0"}});
  builder_->item(sale, coffee());
  EXPECT_FALSE(invoice(sale).child("total").child("ICMSTot").child("vTotTrib"));
  EXPECT_EQ(text_at(invoice(scenario("consumidor_sem_cpf")), "total/ICMSTot/vTotTrib"), "6.10");
}

// The carrier and volumes as recorded are in the golden files; here the
// volumes' blank fields and a sale without a volume count.
TEST_F(DocumentTest, TransportVolumesFollowWhatIsRecorded) {
  const auto sale = scenario("transportadora_cpf_volumes");
  sql("update asaidas set cvespsaidas = null, cvmarsaidas = '' where cidesaidas = " + std::to_string(sale));
  const auto inf = invoice(sale);
  EXPECT_EQ(text_at(inf, "transp/vol/esp"), "0");
  EXPECT_EQ(text_at(inf, "transp/vol/marca"), "0");
  sql("update asaidas set cvqtdsaidas = null where cidesaidas = " + std::to_string(sale));
  EXPECT_FALSE(invoice(sale).child("transp").child("vol"));
}

TEST_F(DocumentTest, CouponSaleCarriesTheMomentOfGenerationAndNoTaxTotals) {
  const auto sale = scenario("regime_normal_st_fcp");
  sql("update asaidas set c2notsaidas = 77 where cidesaidas = " + std::to_string(sale));
  const auto inf = invoice(sale);
  EXPECT_EQ(text_at(inf, "ide/dhEmi"), "2026-05-06T08:30:15-03:00");
  const auto totals = inf.child("total").child("ICMSTot");
  for (const char* zeroed : {"vBC", "vICMS", "vBCST", "vST"}) EXPECT_EQ(text_at(totals, zeroed), "0.00") << zeroed;
  EXPECT_EQ(text_at(inf, "det/imposto/ICMS/ICMS00/vICMS"), "0.00");
  EXPECT_EQ(text_at(inf, "det/imposto/PIS/PISAliq/vPIS"), "0.00");
  EXPECT_EQ(text_at(inf, "det/imposto/PIS/PISAliq/pPIS"), "1.65") << "the rates stay";
}

TEST_F(DocumentTest, NothingToAddMeansNoAdditionalInformation) {
  sql("update tempresa set i_tem_email_emitente_nfe = 0, i_tem_email_contador_nfe = 0");
  const auto sale = builder_->sale();
  builder_->item(sale, coffee());
  EXPECT_FALSE(invoice(sale).child("infAdic"));
}

TEST_F(DocumentTest, LongObservationAndTaxMessagesReachAdditionalInformationWhole) {
  const auto inf = invoice(scenario("observacao_mensagens"));
  const auto adic = inf.child("infAdic");
  EXPECT_EQ(children(adic), (std::vector<std::string>{"infAdFisco", "infCpl", "obsCont", "obsCont"}));
  EXPECT_EQ(text_at(adic, "infAdFisco"),
            "Isento de ICMS conforme RICMS/MG. - ICMS recolhido anteriormente por substituicao tributaria.")
      << "in the order of the items' tax situation, each code once";
  std::string expected = doc_->FORMATA.Remove_Acentos(long_observation());
  for (char& c : expected) c = c == '\n' ? ' ' : c;
  EXPECT_EQ(text::length(text_at(adic, "infCpl")), 5000U);
  EXPECT_EQ(text_at(adic, "infCpl"), expected);
  EXPECT_EQ(std::string{adic.child("obsCont").attribute("xCampo").value()}, "email");
  EXPECT_EQ(text_at(adic, "obsCont/xTexto"), "contato@boavista.example");
}

TEST_F(DocumentTest, TaxMessagesAreNotCutAt1023Characters) {
  sql("update ttributacao set s_atr_msg_tributacao = repeat('a', 900) where ccodtributacao = 2");
  sql("update ttributacao set s_atr_msg_tributacao = repeat('b', 900) where ccodtributacao = 6");
  const auto inf = invoice(scenario("observacao_mensagens"));
  EXPECT_EQ(text_at(inf, "infAdic/infAdFisco"), std::string(900, 'b') + " - " + std::string(900, 'a'));

  sql("update ttributacao set s_atr_msg_tributacao = repeat('c', 1023) where ccodtributacao in (2, 6)");
  const auto cut = invoice(scenario("observacao_mensagens"));
  EXPECT_EQ(text::length(text_at(cut, "infAdic/infAdFisco")), 2000U) << "the field's own maximum";
  bool registered = false;
  for (const auto& e : doc_->FORMATA.ERROS) registered |= e.CAMPO == "Alpha";
  EXPECT_TRUE(registered);
}

TEST_F(DocumentTest, UnsafeValuesStayWellFormedAndReadable) {
  const auto inf = invoice(scenario("texto_inseguro"));
  EXPECT_EQ(text_at(inf, "dest/xNome"), "Ze <Ana> & \"Filhos\" d'Avila  Teste Linha");
  // Emoji, bidi controls, private-use characters and combining marks are
  // dropped, typographic punctuation becomes plain (EveryInvoice checks the
  // same sale against the schema).
  EXPECT_EQ(text_at(inf, "det/prod/xProd"), "CAFE  <ESPECIAL> & \"GOURMET\"");
  EXPECT_EQ(text_at(inf, "infAdic/infCpl"), "Entregar as 10h portao no 3 <fundos> & cia. 20° \"frio\" - \"ja\"...");

  // Latin-1 characters outside the accent table and e-mails written as typed.
  const auto sale = scenario("cliente_cnpj_email");
  sql("update aclientes set cemail = 'a&b<c>\"@x''.example', s_acl_denominacao_social = 'PADARIA € 😀 ÑOÑO' "
      "where ccodigo = 3");
  const auto named = invoice(sale);
  EXPECT_EQ(text_at(named, "dest/email"), "a&b<c>\"@x'.example");
  EXPECT_EQ(text_at(named, "dest/xNome"), "PADARIA EUR  ÑOÑO");
}

TEST_F(DocumentTest, EmitterWithoutTelephoneHasNoEmptyFone) {
  sql("update tempresa set cfonempresa = null, cfaxempresa = null where ccodempresa = 1");
  const auto inf = invoice(scenario("consumidor_sem_cpf"));
  EXPECT_FALSE(inf.child("emit").child("enderEmit").child("fone"));
}

TEST_F(DocumentTest, RunningTwiceRewritesTheSameFileAndAdvancesTheBatch) {
  const auto sale = scenario("consumidor_sem_cpf");
  const auto batch = [&] {
    return std::stoll(table_->execute("select case when is_called then last_value else 0 end from seque_lote_nfe") ==
                                  1 &&
                              table_->next() == 1
                          ? table_->value(0)
                          : std::string{"-1"});
  };
  const long long before = batch();
  std::string first;
  std::string second;
  ASSERT_EQ(generate(sale, first), 1) << doc_->ERROR;
  ASSERT_EQ(generate(sale, second), 1) << doc_->ERROR;
  EXPECT_EQ(first, second);
  EXPECT_EQ(doc_->arquivo_xml(sale), out_.file("0000000" + std::to_string(sale) + ".xml"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out_.path()), {}), 1);
  EXPECT_EQ(batch(), before + 2);
  // The joined document is the file's single line.
  EXPECT_EQ(doc_->XML_NFCE + "\n", first);
  EXPECT_EQ(doc_->XML_NFCE.find('\n'), std::string::npos);
}

// Card and cash postings are in the golden files; a sale of a nature without
// payment and a sale without postings still need the one detPag.
TEST_F(DocumentTest, PaymentGroupWithoutPostings) {
  const auto gift = builder_->sale({{"i_asa_codigo_tna", "6"}});
  builder_->item(gift, coffee());
  const auto nature = invoice(gift);
  EXPECT_EQ(text_at(nature, "pag/detPag/tPag"), "90");
  EXPECT_EQ(text_at(nature, "pag/detPag/vPag"), "0.00");

  const auto unpaid = builder_->sale();
  builder_->item(unpaid, coffee());
  const auto no_payment = invoice(unpaid);
  EXPECT_EQ(children(no_payment.child("pag")), (std::vector<std::string>{"detPag", "vTroco"}));
  EXPECT_EQ(text_at(no_payment, "pag/detPag/tPag"), "90") << "the schema requires one detPag: no payment";
  EXPECT_EQ(text_at(no_payment, "pag/detPag/vPag"), "0.00");
}

TEST_F(DocumentTest, UnknownIcmsSituationIsRefusedInsteadOfLeftOpen) {
  const auto sale = builder_->sale({{"cempresasaidas", "2"}, {"csrisaidas", "2"}});
  builder_->item(sale, {{"cemphistorico", "2"},
                        {"cprohistorico", "51"},
                        {"csaihisotorico", "1"},
                        {"cvtothistorico", "89.90"},
                        {"ccfohistorico", "'5.102'"},
                        {"s_ahi_sit_tributaria", "'0099'"}});
  std::string xml;
  EXPECT_EQ(generate(sale, xml), 0);
  EXPECT_EQ(doc_->ERROR, "Item 1: situação tributária do ICMS sem grupo na NFC-e = \"99\"");
  EXPECT_EQ(doc_->ERROR_FUNCTION, "Gera_XML_Itens");
}

TEST_F(DocumentTest, PisOrCofinsCodeWithoutAGroupIsRefused) {
  const auto sale = builder_->sale();
  builder_->item(sale, {{"cprohistorico", "42"},
                        {"csaihisotorico", "1"},
                        {"cvtothistorico", "17.90"},
                        {"s_ahi_sit_tributaria", "'0102'"},
                        {"i_ahi_csosn", "102"},
                        {"s_ahi_cst_cofins", "'57'"}});
  std::string xml;
  EXPECT_EQ(generate(sale, xml), 0);
  EXPECT_EQ(doc_->ERROR, "Item 1: situação tributária de COFINS sem grupo na NFC-e = \"57\"");
}

TEST_F(DocumentTest, SaleWithoutItemsFails) {
  std::string xml;
  EXPECT_EQ(generate(builder_->sale(), xml), 0);
  EXPECT_TRUE(doc_->XML_NFCE.empty());
}

TEST_F(DocumentTest, MissingSaleAndMissingFolderFailWithTheirCause) {
  std::string xml;
  EXPECT_EQ(generate(999, xml), 0);
  EXPECT_TRUE(doc_->ERROR.starts_with("Erro ao ler tabela nota.|")) << doc_->ERROR;

  const auto sale = scenario("consumidor_sem_cpf");
  doc_->set_pasta_nfce(out_.file("missing"));
  EXPECT_EQ(generate(sale, xml), 0);
  EXPECT_TRUE(doc_->ERROR.starts_with("Erro ao criar arquivo: ")) << doc_->ERROR;
}

TEST_F(DocumentTest, PaymentGroupThatCannotBeReadFailsTheDocument) {
  const auto sale = scenario("consumidor_sem_cpf");
  sql("alter table afavorecidos rename to afavorecidos_fora");
  std::string xml;
  EXPECT_EQ(generate(sale, xml), 0);
  EXPECT_TRUE(doc_->ERROR.starts_with("Erro ao gerar pagamentos.|Erro ao selecionar dados dos pagamentos|"))
      << doc_->ERROR;
  EXPECT_NE(xml.find("</infAdic>"), std::string::npos) << "the rest of the file is still written";
  EXPECT_EQ(xml.find("<pag>"), std::string::npos);
}

// A disk that fills up in the middle of the file: the file size limit makes
// every write beyond it fail, as a full disk would.
TEST_F(DocumentTest, WriteThatFailsInTheMiddleFailsTheDocument) {
  const auto sale = scenario("cartao_credenciadora_troco");
  constexpr rlim_t kLimit = 2500;
  rlimit previous{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = previous;
  limited.rlim_cur = kLimit;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  std::string xml;
  const int result = generate(sale, xml);
  ::setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previous_handler);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(doc_->ERROR.find("Erro ao adicionar: ") != std::string::npos) << doc_->ERROR;
  EXPECT_LE(xml.size(), kLimit);
  EXPECT_TRUE(doc_->XML_NFCE.empty());
}

}  // namespace
}  // namespace fvn
