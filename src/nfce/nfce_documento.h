// NFCE_DOCUMENTO: the invoice-document part of the NFC-e processor. It reads
// a sale recorded in the shop database and writes its NFC-e XML: the access
// key (Monta_Chave_Acesso, Calcula_Digito_NFE), the header groups
// (Gera_XML_NFCe), every item (Gera_XML_Itens) and the payments
// (Gera_XML_Pagamentos). The processor that sends the document owns one and
// shows its error triple.
//
// The file is written line by line through the line file TEXT into the NFC-e
// folder, named after the sale ("00001234.xml"), and then joined into the
// single-line document that is sent (XML_NFCE, also left in the file).
// Every value passes through the formatter FORMATA (decimal point "."), so
// an unusable value is written with a leading "?" and a diagnostic.
//
// Every operation returns 1 or 0 and leaves the failure in ERROR (function
// in ERROR_FUNCTION). Where these writers differ from the legacy ones, each
// for a fault it had:
//  - a line that cannot be written, a payment group that cannot be written
//    and an access key that cannot be composed make the operation return 0
//    (the writing still goes on where the legacy one went on, so the file
//    shows how far it got), where the legacy writers reported success for a
//    file that lacked lines or had no key;
//  - lines are never cut (the legacy line limit of 4,096 characters cut long
//    observations and left the document ill-formed), nor are tax messages
//    (the legacy collection stopped at 1,023 characters; infAdFisco takes
//    2,000 and cuts with a diagnostic);
//  - values written as they are (e-mails, CEST, fuel description, codes and
//    offsets marked with "?") are XML-escaped, so no value can make the
//    document ill-formed;
//  - an item whose ICMS situation has no group is refused with a message
//    instead of leaving "<ICMS>" open; a recipient group opened for a company
//    whose name is the walk-in consumer's is closed;
//  - an accountant without a CPF gets no empty autXML group;
//  - after a failure the first cause stays in ERROR, and the file is not
//    joined into a document.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "data/line_file.h"
#include "nfce/formatador_fiscal.h"
#include "nfce/invoice_records.h"
#include "runtime/clock.h"
#include "runtime/decimal.h"
#include "runtime/error_triple.h"
#include "runtime/host_ui.h"

namespace fvn {

class NFCE_DOCUMENTO : public ErrorTriple {
 public:
  // The moment that the date rule writes in dhEmi.
  struct Momento {
    Date data = 0;
    Time hora = 0;
  };
  using Relogio = std::function<Momento()>;

  // `ui` shows the formatter's and the validator's messages. The validator
  // reads its code tables, and the item writer "nfe_ini.ini", from the
  // working folder.
  explicit NFCE_DOCUMENTO(HostUi& ui);

  // The shop database's connection text, owner of the passthrough tables.
  void set_connection(std::string connection_text) { connection_ = std::move(connection_text); }
  [[nodiscard]] const std::string& connection() const { return connection_; }

  // The company's NFC-e folder, where the invoice files are written.
  void set_pasta_nfce(std::string folder);
  [[nodiscard]] const std::string& pasta_nfce() const { return pasta_; }

  // The clock of the date rule (today and now by default).
  void set_relogio(Relogio relogio) { relogio_ = std::move(relogio); }

  // The file of sale `id`: the NFC-e folder + the id in eight digits + ".xml".
  [[nodiscard]] std::string arquivo_xml(std::int32_t id) const;

  // Writes the invoice of sale ID and joins it into XML_NFCE. 1 when the
  // whole file was written, closed and joined.
  int Gera_XML_NFCe();

  // Appends one det group per item of sale ID to TEXT (which it opens and
  // closes) and hands back the items' tax messages, " - " between them.
  int Gera_XML_Itens(std::string& mensagem_fiscal);

  // Appends the pag group of sale ID to TEXT (which it opens and closes).
  int Gera_XML_Pagamentos();

  // Composes the 44-digit key of sale `id` into `chave`. 0 (key unchanged)
  // when the statement fails or finds no sale.
  int Monta_Chave_Acesso(std::int32_t id, std::string& chave);

  // Replaces the 43-digit base in `chave` (only its digits count) by the base
  // and its modulo-11 check digit.
  int Calcula_Digito_NFE(std::string& chave);

  std::int32_t ID = 0;      // the sale (cidesaidas)
  std::int32_t APRAZO = 0;  // the sale's i_asa_tipo_pagto, set by Gera_XML_NFCe
  LineReaderWriter TEXT;
  FORMATADOR_FISCAL FORMATA;
  std::string XML_NFCE;  // the joined document of the last Gera_XML_NFCe
  TABELA_NOTA NOTA;      // the header record of the current run

  // The ICMS figures the item writer wrote in the items' ICMS groups. The
  // note's ICMS totals (vBC, vICMS, vBCST, vST, vFCP, vFCPST, vFCPSTRet) are
  // written from these sums, so that totals and items always agree.
  struct SomasIcms {
    double base = 0;
    double icms = 0;
    double base_st = 0;
    double st = 0;
    double fcp = 0;
    double fcp_st = 0;
    double fcp_st_retido = 0;
    void soma(const SomasIcms& item);
  };
  SomasIcms SOMAS_ICMS;  // zeroed at the start of every run
  // The interstate-partition totals; nothing in the module sets them.
  Dec2 TOTAL_FCP_UF_DEST;
  Dec2 TOTAL_ICMS_UF_DEST;
  Dec2 TOTAL_ICMS_UF_REMET;

 private:
  // Appends a line to TEXT; a failure is kept in ERROR and remembered.
  bool escreve(std::string_view linha, std::string_view funcao);
  int escreve_nota(const std::string& chave);
  bool escreve_destinatario();
  void escreve_aut_xml();
  bool escreve_totais();
  void escreve_transporte();
  void escreve_informacoes_adicionais(const std::string& mensagem_fiscal);
  int escreve_item(TABELA_ITENS item, int numero, bool usa_cest, std::string& mensagem_fiscal,
                   std::int32_t& ultimo_codigo);
  [[nodiscard]] bool consumidor(std::string_view nome);

  std::string connection_;
  std::string pasta_;
  Relogio relogio_;
  bool falha_escrita_ = false;
};

}  // namespace fvn
