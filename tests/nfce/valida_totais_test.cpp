// The totals pre-check on a note whose every total is non-zero: as written it
// passes; each total, item value or payment moved by one cent is caught with
// the right name and difference; unreadable amounts are refused.
#include "nfce/valida_totais.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fvn {
namespace {

// Four items: ICMS10 with ST, FCP, IPI, II, freight, insurance, discount and
// other costs; ICMS20 with relief; ICMS60 with retained FCP-ST and a returned
// IPI; a service (ISSQN) whose vProd and PIS stay out of ICMSTot.
// vNF = 170 - 10 - 1.80 + 3.96 + 2.40 + 5 + 1 + 2 + 3 + 4 + 0.70 + 30 = 210.26.
const std::string kNote =
    R"(<NFe xmlns="http://www.portalfiscal.inf.br/nfe"><infNFe versao="4.00" Id="NFe1"><ide><mod>65</mod></ide>
<det nItem="1"><prod><vProd>100.00</vProd><vFrete>5.00</vFrete><vSeg>1.00</vSeg><vDesc>10.00</vDesc><vOutro>2.00</vOutro><indTot>1</indTot></prod>
<imposto><vTotTrib>30.00</vTotTrib><ICMS><ICMS10><vBC>98.00</vBC><vICMS>17.64</vICMS><vFCP>1.96</vFCP><vBCST>120.00</vBCST><vICMSST>3.96</vICMSST><vFCPST>2.40</vFCPST></ICMS10></ICMS>
<IPI><IPITrib><vIPI>4.00</vIPI></IPITrib></IPI><II><vII>3.00</vII></II><PIS><PISAliq><vPIS>1.65</vPIS></PISAliq></PIS><COFINS><COFINSAliq><vCOFINS>7.60</vCOFINS></COFINSAliq></COFINS></imposto></det>
<det nItem="2"><prod><vProd>50.00</vProd><indTot>1</indTot></prod><imposto><ICMS><ICMS20><vBC>40.00</vBC><vICMS>7.20</vICMS><vICMSDeson>1.80</vICMSDeson></ICMS20></ICMS></imposto></det>
<det nItem="3"><prod><vProd>20.00</vProd></prod><imposto><ICMS><ICMS60><vFCPSTRet>0.50</vFCPSTRet></ICMS60></ICMS></imposto><impostoDevol><IPI><vIPIDevol>0.70</vIPIDevol></IPI></impostoDevol></det>
<det nItem="4"><prod><vProd>30.00</vProd><indTot>1</indTot></prod><imposto><ISSQN><vISSQN>0.60</vISSQN></ISSQN><PIS><PISAliq><vPIS>0.50</vPIS></PISAliq></PIS></imposto></det>
<total><ICMSTot><vBC>138.00</vBC><vICMS>24.84</vICMS><vICMSDeson>1.80</vICMSDeson><vFCP>1.96</vFCP><vBCST>120.00</vBCST><vST>3.96</vST><vFCPST>2.40</vFCPST><vFCPSTRet>0.50</vFCPSTRet><vProd>170.00</vProd><vFrete>5.00</vFrete><vSeg>1.00</vSeg><vDesc>10.00</vDesc><vII>3.00</vII><vIPI>4.00</vIPI><vIPIDevol>0.70</vIPIDevol><vPIS>1.65</vPIS><vCOFINS>7.60</vCOFINS><vOutro>2.00</vOutro><vNF>210.26</vNF><vTotTrib>30.00</vTotTrib></ICMSTot>
<ISSQNtot><vServ>30.00</vServ></ISSQNtot></total>
<pag><detPag><tPag>01</tPag><vPag>200.00</vPag></detPag><detPag><tPag>03</tPag><vPag>20.00</vPag></detPag><vTroco>9.74</vTroco></pag></infNFe></NFe>)";

// kNote with the first `from` after `anchor` replaced by `to`.
std::string changed(const std::string& anchor, const std::string& from, const std::string& to) {
  std::string xml = kNote;
  const auto at = xml.find(from, xml.find(anchor));
  EXPECT_NE(at, std::string::npos) << anchor << " " << from;
  return at == std::string::npos ? xml : xml.replace(at, from.size(), to);
}

struct Expected {
  std::string total;
  std::int64_t diferenca;
};

std::vector<Expected> found(const Resultado_Totais& r) {
  std::vector<Expected> out;
  for (const auto& d : r.divergencias) {
    EXPECT_EQ(d.diferenca, d.informado - d.soma_itens) << d.total;
    out.push_back({d.total, d.diferenca});
  }
  return out;
}

bool operator==(const Expected& a, const Expected& b) { return a.total == b.total && a.diferenca == b.diferenca; }
void PrintTo(const Expected& e, std::ostream* os) { *os << e.total << " " << e.diferenca; }

TEST(ValidaTotais, AConsistentNotePasses) {
  const Resultado_Totais r = Valida_Totais(kNote);
  EXPECT_TRUE(r.ok) << r.mensagem;
  EXPECT_TRUE(r.mensagem.empty());
}

struct Tamper {
  const char* anchor;
  const char* from;
  const char* to;
  std::vector<Expected> expected;
};

// Every total one cent up; a total that enters vNF also moves the formula, and
// vNF itself moves the payments' comparison. Then item values and payments.
const std::vector<Tamper> kTampered = {
    {"<ICMSTot>", "<vBC>138.00", "<vBC>138.01", {{"vBC", 1}}},
    {"<ICMSTot>", "<vICMS>24.84", "<vICMS>24.85", {{"vICMS", 1}}},
    {"<ICMSTot>", "<vICMSDeson>1.80", "<vICMSDeson>1.81", {{"vICMSDeson", 1}, {"vNF", 1}}},
    {"<ICMSTot>", "<vFCP>1.96", "<vFCP>1.97", {{"vFCP", 1}}},
    {"<ICMSTot>", "<vBCST>120.00", "<vBCST>120.01", {{"vBCST", 1}}},
    {"<ICMSTot>", "<vST>3.96", "<vST>3.97", {{"vST", 1}, {"vNF", -1}}},
    {"<ICMSTot>", "<vFCPST>2.40", "<vFCPST>2.41", {{"vFCPST", 1}, {"vNF", -1}}},
    {"<ICMSTot>", "<vFCPSTRet>0.50", "<vFCPSTRet>0.51", {{"vFCPSTRet", 1}}},
    {"<ICMSTot>", "<vProd>170.00", "<vProd>170.01", {{"vProd", 1}, {"vNF", -1}}},
    {"<ICMSTot>", "<vFrete>5.00", "<vFrete>5.01", {{"vFrete", 1}, {"vNF", -1}}},
    {"<ICMSTot>", "<vSeg>1.00", "<vSeg>1.01", {{"vSeg", 1}, {"vNF", -1}}},
    {"<ICMSTot>", "<vDesc>10.00", "<vDesc>10.01", {{"vDesc", 1}, {"vNF", 1}}},
    {"<ICMSTot>", "<vII>3.00", "<vII>3.01", {{"vII", 1}, {"vNF", -1}}},
    {"<ICMSTot>", "<vIPI>4.00", "<vIPI>4.01", {{"vIPI", 1}, {"vNF", -1}}},
    {"<ICMSTot>", "<vIPIDevol>0.70", "<vIPIDevol>0.71", {{"vIPIDevol", 1}, {"vNF", -1}}},
    {"<ICMSTot>", "<vPIS>1.65", "<vPIS>1.66", {{"vPIS", 1}}},
    {"<ICMSTot>", "<vCOFINS>7.60", "<vCOFINS>7.61", {{"vCOFINS", 1}}},
    {"<ICMSTot>", "<vOutro>2.00", "<vOutro>2.01", {{"vOutro", 1}, {"vNF", -1}}},
    {"<ICMSTot>", "<vNF>210.26", "<vNF>210.27", {{"vNF", 1}, {"vPag", -1}}},
    {"<ICMSTot>", "<vTotTrib>30.00", "<vTotTrib>30.01", {{"vTotTrib", 1}}},
    {"<ISSQNtot>", "<vServ>30.00", "<vServ>30.01", {{"vNF", -1}}},
    {"<det nItem=\"2\">", "<vICMS>7.20", "<vICMS>7.21", {{"vICMS", -1}}},
    {"<det nItem=\"1\">", "<vICMSST>3.96", "<vICMSST>3.97", {{"vST", -1}}},
    {"<det nItem=\"1\">", "<vFCPST>2.40", "<vFCPST>2.41", {{"vFCPST", -1}}},
    {"<det nItem=\"2\">", "<vProd>50.00", "<vProd>50.01", {{"vProd", -1}}},
    {"<det nItem=\"3\">", "<vFCPSTRet>0.50", "<vFCPSTRet>0.51", {{"vFCPSTRet", -1}}},
    {"<det nItem=\"1\">", "<vTotTrib>30.00", "<vTotTrib>30.01", {{"vTotTrib", -1}}},
    // An item outside the total (indTot 0) and a relief that does not deduct.
    {"<det nItem=\"2\">", "<indTot>1", "<indTot>0", {{"vProd", 5000}}},
    {"<det nItem=\"2\">", "</vICMSDeson>", "</vICMSDeson><indDeduzDeson>0</indDeduzDeson>", {{"vNF", -180}}},
    // A service item's values stay out of vProd and vPIS.
    {"<det nItem=\"4\">", "<vPIS>0.50", "<vPIS>0.51", {}},
    {"<pag>", "<vTroco>9.74", "<vTroco>9.75", {{"vPag", -1}}},
    {"<pag>", "<vPag>20.00", "<vPag>19.99", {{"vPag", -1}}},
};

TEST(ValidaTotais, EachTotalOffByOneCentIsNamedWithItsDifference) {
  for (const Tamper& t : kTampered) {
    const Resultado_Totais r = Valida_Totais(changed(t.anchor, t.from, t.to));
    EXPECT_EQ(r.ok, t.expected.empty()) << t.to;
    EXPECT_EQ(found(r), t.expected) << t.anchor << " " << t.to << "\n" << r.mensagem;
  }
}

TEST(ValidaTotais, TheCashierReadsTheTotalBothValuesAndTheDifference) {
  const Resultado_Totais r = Valida_Totais(changed("<ICMSTot>", "<vICMS>24.84", "<vICMS>24.85"));
  EXPECT_EQ(r.mensagem, "Total vICMS da nota (24,85) difere da soma dos itens (24,84): diferença de 0,01");
  const Resultado_Totais pag = Valida_Totais(changed("<pag>", "<vTroco>9.74", "<vTroco>19.74"));
  EXPECT_EQ(pag.mensagem, "Pagamentos menos troco (200,26) diferem do total vNF (210,26): diferença de -10,00");
}

TEST(ValidaTotais, PaymentsOfNoPaymentAreNotComparedButMissingPaymentsAre) {
  const std::string sem_pagamento = "<pag><detPag><tPag>90</tPag><vPag>0.00</vPag></detPag></pag>";
  const auto pag = kNote.find("<pag>");
  const auto fim = kNote.find("</pag>") + 6;
  EXPECT_TRUE(Valida_Totais(std::string{kNote}.replace(pag, fim - pag, sem_pagamento)).ok);
  const Resultado_Totais nada = Valida_Totais(std::string{kNote}.replace(pag, fim - pag, ""));
  EXPECT_EQ(found(nada), (std::vector<Expected>{{"vPag", -21026}}));
}

TEST(ValidaTotais, AnAmountThatDoesNotReadRefusesTheNote) {
  for (const char* bad : {"24.845", "2.484e1", "-24.84", "24,84", ""}) {
    const Resultado_Totais r = Valida_Totais(changed("<ICMSTot>", "24.84", bad));
    EXPECT_FALSE(r.ok) << bad;
    EXPECT_TRUE(r.divergencias.empty()) << bad;
    EXPECT_NE(r.mensagem.find("vICMS"), std::string::npos) << bad << ": " << r.mensagem;
  }
  EXPECT_FALSE(Valida_Totais("<NFe><infNFe>").ok);
  EXPECT_FALSE(Valida_Totais("<NFe><infNFe/></NFe>").ok);
}

}  // namespace
}  // namespace fvn
