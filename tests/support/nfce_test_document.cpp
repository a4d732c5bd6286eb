#include "support/nfce_test_document.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include <gtest/gtest.h>

#include "nfce/valida_totais.h"

namespace fvn::testing {

namespace {

std::string padded(std::int64_t value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(value));
  return buffer;
}

std::string money(std::int64_t cents) { return std::to_string(cents / 100) + "." + padded(cents % 100, 2); }

int check_digit(const std::string& first43) {
  int sum = 0;
  int weight = 2;
  for (std::size_t i = first43.size(); i-- > 0;) {
    sum += (first43[i] - '0') * weight;
    weight = weight == 9 ? 2 : weight + 1;
  }
  const int digit = 11 - sum % 11;
  return digit >= 10 ? 0 : digit;
}

}  // namespace

std::int64_t now_seconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::string TestNote::dh_emi() const {
  const std::time_t local =
      static_cast<std::time_t>((emitted_at != 0 ? emitted_at : now_seconds()) - std::int64_t{3} * 3600);
  std::tm parts{};
  gmtime_r(&local, &parts);
  char buffer[40];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S-03:00", &parts);
  return buffer;
}

std::string TestNote::key() const {
  if (key_override) return *key_override;
  const std::string moment = dh_emi();
  const std::string first43 = padded(uf_code, 2) + moment.substr(2, 2) + moment.substr(5, 2) + cnpj + padded(model, 2) +
                              padded(series, 3) + padded(number, 9) + std::to_string(emission_type) + cnf;
  return first43 + std::to_string(check_digit(first43));
}

std::string TestNote::xml() const {
  const std::string access_key = key();
  std::string details;
  std::int64_t products = 0;
  std::int64_t discounts = 0;
  int n = 0;
  for (const TestItem& item : items) {
    const std::int64_t value = item.quantity * item.unit_cents;
    products += value;
    discounts += item.discount_cents;
    details += "<det nItem=\"" + std::to_string(++n) + "\"><prod><cProd>" + item.code +
               "</cProd><cEAN>SEM GTIN</cEAN><xProd>" + item.description +
               "</xProd><NCM>09012100</NCM><CFOP>5102</CFOP><uCom>UN</uCom><qCom>" + std::to_string(item.quantity) +
               ".0000</qCom><vUnCom>" + money(item.unit_cents) + "</vUnCom><vProd>" + money(value) +
               "</vProd><cEANTrib>SEM GTIN</cEANTrib><uTrib>UN</uTrib><qTrib>" + std::to_string(item.quantity) +
               ".0000</qTrib><vUnTrib>" + money(item.unit_cents) + "</vUnTrib>" +
               (item.discount_cents > 0 ? "<vDesc>" + money(item.discount_cents) + "</vDesc>" : std::string{}) +
               "<indTot>1</indTot></prod><imposto><ICMS><ICMSSN102><orig>0</orig><CSOSN>102</CSOSN></ICMSSN102>"
               "</ICMS><PIS><PISNT><CST>07</CST></PISNT></PIS><COFINS><COFINSNT><CST>07</CST></COFINSNT></COFINS>"
               "</imposto></det>";
  }
  std::vector<std::pair<std::string, std::string>> totals = {{"vBC", "0.00"},
                                                             {"vICMS", "0.00"},
                                                             {"vICMSDeson", "0.00"},
                                                             {"vFCP", "0.00"},
                                                             {"vBCST", "0.00"},
                                                             {"vST", "0.00"},
                                                             {"vFCPST", "0.00"},
                                                             {"vFCPSTRet", "0.00"},
                                                             {"vProd", money(products)},
                                                             {"vFrete", "0.00"},
                                                             {"vSeg", "0.00"},
                                                             {"vDesc", money(discounts)},
                                                             {"vII", "0.00"},
                                                             {"vIPI", "0.00"},
                                                             {"vIPIDevol", "0.00"},
                                                             {"vPIS", "0.00"},
                                                             {"vCOFINS", "0.00"},
                                                             {"vOutro", "0.00"},
                                                             {"vNF", money(products - discounts)}};
  std::string total_xml;
  for (auto& [name, value] : totals) {
    for (const auto& [override_name, override_value] : total_overrides) {
      if (override_name == name) value = override_value;
    }
    total_xml.append("<").append(name).append(">").append(value).append("</").append(name).append(">");
  }
  std::string recipient;
  if (!recipient_cpf.empty()) recipient = "<dest><CPF>" + recipient_cpf + "</CPF><indIEDest>9</indIEDest></dest>";
  if (!recipient_cnpj.empty()) recipient = "<dest><CNPJ>" + recipient_cnpj + "</CNPJ><indIEDest>9</indIEDest></dest>";
  std::string document =
      R"(<?xml version="1.0" encoding="UTF-8"?><NFe xmlns="http://www.portalfiscal.inf.br/nfe">)"
      R"(<infNFe versao="4.00" Id="NFe)" +
      access_key + R"("><ide><cUF>)" + padded(uf_code, 2) + "</cUF><cNF>" + cnf + "</cNF><natOp>VENDA</natOp><mod>" +
      std::to_string(model) + "</mod><serie>" + std::to_string(series) + "</serie><nNF>" + std::to_string(number) +
      "</nNF><dhEmi>" + dh_emi() +
      "</dhEmi><tpNF>1</tpNF><idDest>1</idDest><cMunFG>3106200</cMunFG><tpImp>4</tpImp><tpEmis>" +
      std::to_string(emission_type) + "</tpEmis><cDV>" + access_key.substr(43) + "</cDV><tpAmb>" +
      std::to_string(environment) +
      "</tpAmb><finNFe>1</finNFe><indFinal>1</indFinal><indPres>1</indPres><procEmi>0</procEmi>"
      "<verProc>FVN 0.1</verProc></ide><emit><CNPJ>" +
      cnpj +
      "</CNPJ><xNome>MERCEARIA BOA VISTA LTDA</xNome><enderEmit><xLgr>AVENIDA AFONSO PENA</xLgr><nro>1500</nro>"
      "<xBairro>" +
      neighbourhood +
      "</xBairro><cMun>3106200</cMun><xMun>BELO HORIZONTE</xMun><UF>MG</UF><CEP>30130000</CEP>"
      "<cPais>1058</cPais><xPais>BRASIL</xPais></enderEmit><IE>0623079040081</IE><CRT>1</CRT></emit>" +
      recipient + details + "<total><ICMSTot>" + total_xml +
      "</ICMSTot></total><transp><modFrete>9</modFrete></transp><pag><detPag><tPag>01</tPag><vPag>" +
      money(products - discounts) + "</vPag></detPag></pag></infNFe></NFe>";
  if (total_overrides.empty()) {  // a note built without overrides passes the totals pre-check
    const Resultado_Totais totais = Valida_Totais(document);
    EXPECT_TRUE(totais.ok) << totais.mensagem;
  }
  return document;
}

TestNote note_with_items(int items, std::int64_t number) {
  TestNote note;
  note.number = number;
  note.items.clear();
  for (int i = 1; i <= items; ++i) {
    TestItem item;
    item.code = std::to_string(i);
    item.description = "PRODUTO DE TESTE " + std::to_string(i);
    item.quantity = 1 + i % 3;
    item.unit_cents = 150 + 37 * i;
    item.discount_cents = i % 4 == 0 ? 10 : 0;
    note.items.push_back(item);
  }
  return note;
}

}  // namespace fvn::testing
