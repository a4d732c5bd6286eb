// GRAVACAO_VENDA: the closing of the sale screen once its payment dialogs
// have confirmed: the sale is copied out of the facade, written into the
// shop database in one transaction, and then issued as an NFC-e (or printed
// on a paper form). The sale screen owns one and calls Grava_Venda and then
// Emite_Venda (or Fecha_Venda for both). Everything shown or asked goes
// through HostUi; the receipt is printed through the hook of the context.
//
// Recording (Grava_Venda), in this order:
//   1-2  copy the sale (Get_Dados_NF) and recompute its totals;
//        the consumer-invoice limits are checked here, before anything is
//        written;
//   3    "Begin"; the new sale id is drawn from seque_asaidas;
//   4    reload of a rejected sale: its row is locked and must still be
//        unresolved (no protocol, contingency 1, oid 0, number not taken),
//        then it is reversed with estorna_transacao(..., 'R'), which hands its
//        number to step 9;
//   5    the customer;
//        imported orders and service orders locked (FOR UPDATE) and
//        refused when another sale invoiced them; service orders claimed;
//   6-8  order and service-order text, carrier and volumes,
//        export place;
//   9    invoice number from inclui_sequencia;
//   10   financial transaction (atransacao_fin) and the asaidas header;
//   11   imported orders marked as invoiced by this sale;
//   12   items into ahistorico with their taxes and CSTs;
//   13   payments and change into ahcontas, customer credits used;
//   14   installments of a credit condition into asduplicatas;
//   16   release records into aliberacao, the sale's commission
//        percentages into asaidas_comissao;
//   17   additional information merged into the note's text (cobssaidas);
//   18   "Commit".
// Any failure between "Begin" and "Commit" rolls back: the database is left
// as it was and the sale stays on screen. After the commit, each of the
// steps below runs in a transaction of its own, so none is half written:
//   19   a reloaded future-delivery sale is marked delivered when nothing of
//        it remains to deliver;
//   20   the operation may ask to update the products' cost;
//   21   service orders are marked as invoiced and their deposits linked.
// Partner credit and debit (step 15) and the inter-company transfer after
// the issue are not done here.
//
// Issuing (Emite_Venda), for an electronic emitter: server check, sending,
// NSU, receipt, message. A sale whose server check fails, or whose note the
// service never accepted, is reversed (estorna_transacao kind 'R'). A note
// the service accepted is never reversed, even when a later step failed: it
// stays for the pending-note resolution and the cashier is told so.
//
// Additional information (step 17): the operation's message, the customer's
// message and each product's tax message are merged into the note's text
// with junta_mensagem: a message is appended, after a " ", only when it is
// not empty (after trimming) and the text does not already contain it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/host_ui.h"
#include "sale/classe_venda.h"
#include "screens/janelas_venda.h"

namespace fvn {

class NFCE_PROCESSO;
class PassthroughTable;

// The station's values and the sale screen's state the closing needs.
struct CONTEXTO_VENDA {
  // Station (the host's global values).
  std::string conexao;                          // GLO:CNXSTR, the database connection text
  std::int32_t empresa = 0;                     // GLO_COD_EMPR
  std::string cnpj;                             // GLO_CNPJ, digits
  std::int32_t operador = 0;                    // GLO_OPERADOR
  std::int32_t usuario = 0;                     // GLO_USUARIO
  std::int32_t emissor = 0;                     // emitter = series code (tseriesnf)
  std::int32_t tipo_emissor = 1;                // 2: printed form (no sending); anything else electronic
  std::int32_t troca_cliente_carga_pedido = 0;  // GLO:I_PAR_TROCA_CLIENTE_CARGA_PED: 1 allows it
  // NFC-e service login (tempresa s_tem_grupo_edoc ...), GLO:I_TEM_USA_HTTP, GLO:I_TEM_PORTA_EDOC.
  std::string grupo_edoc;
  std::string login_edoc;
  std::string senha_edoc;
  std::string url_edoc;
  std::int32_t usa_http = 0;
  std::int32_t porta_edoc = 0;

  // The sale screen's state.
  std::vector<std::int32_t> pedidos;         // imported orders
  std::vector<std::int32_t> ordens_servico;  // imported service orders
  std::int32_t venda_recarregada = 0;        // rejected sale being reloaded (0: none)
  std::string observacoes;                   // typed observations of the note
  std::int32_t codigo_exportacao = 0;        // nfe_exportacao code (0: none)
  std::int32_t tabela_preco = 0;             // price table
  std::int32_t condicao_pagamento = 0;       // tformapagto code
  char tipo_condicao = 'V';                  // 'V' cash, 'P' credit (installments)
  bool cliente_alterado = false;             // the customer of the imported orders was changed
  std::int32_t mensagem_nota = 0;            // tmensagens code (0: none)
  std::int32_t resumido = 0;                 // short receipt
  ComissoesVenda comissoes{};                // GLO_COMISSAO_1 to _10 (COMISSOES)
  // Consumer identification typed for the walk-in consumer (CPF_CNPJ_OPCIONAL).
  std::string cpf_digitado;
  std::string cnpj_digitado;
  std::string nome_digitado;

  // Prints the receipt of a recorded sale: 1 printed, 0 not. A failed print
  // never changes the recorded sale.
  std::function<int(std::int32_t venda, std::int32_t resumido)> imprime_danfe;
};

// How the issue of a recorded sale ended.
enum class ResultadoEmissao {
  NaoEmitida,   // nothing was tried yet
  Emitida,      // authorised (or accepted in contingency), NSU and receipt done
  Estornada,    // refused or never sent: the sale was reversed
  Mantida,      // accepted by the service but a later step failed: kept for the resolution
  FalhaEstorno  // should have been reversed, but the reversal failed
};

// `texto` with `mensagem` appended after a " " when it is not empty once
// trimmed and `texto` does not contain it yet.
std::string junta_mensagem(std::string_view texto, std::string_view mensagem);

class GRAVACAO_VENDA {
 public:
  // Consumer-invoice limits.
  static constexpr double kLimiteConsumidor = 10000.00;
  static constexpr double kLimiteNota = 200000.00;

  GRAVACAO_VENDA(HostUi& ui, sale::CLASSE_VENDA& venda, NFCE_PROCESSO& processo);

  // Records the sale (steps 1-21); 1 once committed, 0 when stopped (its
  // message shown; nothing written).
  int Grava_Venda(const CONTEXTO_VENDA& contexto);
  // Issues the sale recorded by Grava_Venda; 1 when issued.
  int Emite_Venda(const CONTEXTO_VENDA& contexto);
  // Both, as the sale screen runs them; 1 when recorded and issued.
  int Fecha_Venda(const CONTEXTO_VENDA& contexto);

  // The recorded sale: id (cidesaidas) and invoice number; 0 before.
  [[nodiscard]] std::int32_t venda() const { return venda_; }
  [[nodiscard]] std::int32_t numero() const { return numero_; }
  [[nodiscard]] ResultadoEmissao resultado() const { return resultado_; }

 private:
  struct Gravacao;
  int grava(Gravacao& g);
  int trava_pedidos(Gravacao& g);
  int pos_gravacao(const Gravacao& g);
  int emite_eletronica(const CONTEXTO_VENDA& c);
  int emite_formulario(const CONTEXTO_VENDA& c);
  int estorna(PassthroughTable& t, std::int32_t venda, std::string_view contexto, const std::string& erro);
  void conclui(const CONTEXTO_VENDA& c, std::int32_t venda);

  HostUi& ui_;
  sale::CLASSE_VENDA& facade_;
  NFCE_PROCESSO& processo_;
  std::int32_t venda_ = 0;
  std::int32_t numero_ = 0;
  double total_ = 0;
  std::string nome_cliente_;
  ResultadoEmissao resultado_ = ResultadoEmissao::NaoEmitida;
};

}  // namespace fvn
