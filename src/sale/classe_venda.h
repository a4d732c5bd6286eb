// CLASSE_VENDA: the sale facade, the one object through which every window
// and sibling module works on the sale being built. It owns the sale object
// (ITEM), the scale reader (BALANCA), the installment plan of the payment
// condition (PRESTACAO), the payment ledger (PAGAMENTO) and the list of
// payment conditions, and keeps its own copy of every sale-level value the
// windows read back. One facade lives as long as the module; Limpa_Venda
// empties it for the next sale.
//
// Error conversion: a failure of a sub-object becomes the facade's failure
// with the facade's context text in front of the sub-object's text, the
// facade operation's name and code 0. Vende_Item alone keeps the name of the
// inner operation that failed. Operations that change amounts recompute
// TOTAIS_VENDA after succeeding and return the result of that.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "devices/classe_balanca.h"
#include "payment/parcelas.h"
#include "payment/payment_conditions.h"
#include "payment/payment_ledger.h"
#include "records/party_groups.h"
#include "records/release_record.h"
#include "records/totais_venda.h"
#include "runtime/clock.h"
#include "runtime/error_triple.h"
#include "sale/classe_item.h"
#include "sale/venda_interface.h"

namespace fvn::sale {

// Everything the recording of a sale needs, copied out of the facade in one
// call (Get_Dados_NF): the number, dates and time, the totals, the parties,
// the sale-level values and release records, the item list (live and
// cancelled items, in item order), the payment ledger's payments and the
// installment plan of the payment condition.
struct DADOS_NF {
  std::int32_t NUMERO_NOTA = 0;
  Date DATA = 0;
  Time HORA = 0;
  Date DATA_EMISSAO = 0;
  Date DATA_SAIDA = 0;
  ::fvn::sale::TOTAIS_VENDA TOTAIS_VENDA;
  GRUPO_EMPRESA EMPRESA;
  GRUPO_OPERACAO OPERACAO;
  GRUPO_EMISSOR EMISSOR;
  GRUPO_CLIENTE CLIENTE;
  GRUPO_VENDEDOR VENDEDOR;
  GRUPO_TRANSPORTADORA TRANSPORTADORA;
  GRUPO_VOLUME VOLUME;
  GRUPO_PARCEIRO PARCEIRO;
  GRUPO_EVENTO EVENTO;
  std::int32_t FINALIDADE_OPERACAO = 0;
  std::int32_t TIPO_FRETE = 0;
  std::int32_t CONDICAO = 0;
  std::string OBSERVACAO;
  double DESCONTO_VENDA = 0;
  double ACRESCIMO_VENDA = 0;
  double JUROS_VENDA = 0;
  double FRETE_VENDA = 0;
  double SEGURO_VENDA = 0;
  double DESP_ACESSORIAS_VENDA = 0;
  double VALOR_ENTRADA = 0;
  GRUPO_DADOS_LIBERACAO LIBERACAO_DESCONTO;
  GRUPO_DADOS_LIBERACAO LIBERACAO_CANCELAMENTO;
  GRUPO_DADOS_LIBERACAO LIBERACAO_VENDA_PRAZO;
  std::vector<QUEUE_ITEM> ITENS;
  std::vector<payment::Payment> PAGAMENTOS;
  double VALOR_TOTAL_PAGAMENTO = 0;
  double VALOR_PAGO = 0;
  double VALOR_TROCO = 0;  // change, negative as the ledger holds it
  std::vector<payment::QUEUE_PARCELAS> PARCELAS;
};

class CLASSE_VENDA final : public VENDA_INTERFACE, public ErrorTriple {
 public:
  // Creates the sale object, the scale reader, the installment plan and the
  // payment ledger, in that order, then the empty list of conditions.
  CLASSE_VENDA();
  ~CLASSE_VENDA() override;

  std::unique_ptr<CLASSE_ITEM> ITEM;
  std::unique_ptr<devices::Classe_Balanca> BALANCA;
  std::unique_ptr<payment::Parcelas> PRESTACAO;
  std::unique_ptr<payment::PaymentLedger> PAGAMENTO;
  GRUPO_DADOS_LIBERACAO GRUPO_DADOS_LIBERACAO_DESCONTO;
  GRUPO_DADOS_LIBERACAO GRUPO_DADOS_LIBERACAO_CANCELAMENTO;
  GRUPO_DADOS_LIBERACAO GRUPO_DADOS_LIBERACAO_VENDA_PRAZO;
  std::unique_ptr<payment::PaymentConditions> CONDICAO_PAGAMENTO;
  GRUPO_EMPRESA EMPRESA;
  GRUPO_OPERACAO OPERACAO;
  GRUPO_EMISSOR EMISSOR;
  GRUPO_CLIENTE CLIENTE;
  GRUPO_VENDEDOR VENDEDOR;
  GRUPO_TRANSPORTADORA TRANSPORTADORA;
  GRUPO_VOLUME VOLUME;
  devices::DadosBalanca DADOS_BALANCA;
  ::fvn::sale::TOTAIS_VENDA TOTAIS_VENDA;
  GRUPO_PARCEIRO PARCEIRO;
  GRUPO_EVENTO EVENTO;
  double PERC_COMISSAO_VENDA = 0;
  std::string OBSERVACAO;
  double JUROS = 0;
  double ACRESCIMO = 0;
  double ACRESCIMO_TOTAL = 0;  // ACRESCIMO + JUROS
  Date DATA_EMISSAO = 0;
  std::int32_t QUEBRA = 0;
  double VALOR_TOTAL_PAGAR = 0;
  double VALOR_ENTRADA = 0;
  std::int32_t PERMITE_ENTRADA = 0;
  std::int32_t CONDICAO = 0;
  std::int32_t FINALIDADE_OPERACAO = 0;
  std::int32_t TIPO_FRETE = 0;
  std::int32_t NUMERO_NOTA = 0;
  Date DATA = 0;
  Time HORA = 0;
  Date DATA_SAIDA = 0;

  // ---- VENDA_INTERFACE ----
  int Vende_Item(QUEUE_ITEM& item) override;
  [[nodiscard]] const std::string& Get_Error() const override { return ERROR; }
  [[nodiscard]] std::int32_t Get_Error_Code() const override { return ERROR_CODE; }
  [[nodiscard]] const std::string& Get_Error_Function() const override { return ERROR_FUNCTION; }
  payment::PaymentConditions& Get_Condicoes_Pagamento() override { return *CONDICAO_PAGAMENTO; }
  int Calcula_Total_Venda(::fvn::sale::TOTAIS_VENDA& totais) override;
  int Set_Condicao_Pagamento(std::int32_t condicao) override;
  int Set_Acrescimo_Venda(double valor) override;
  int Set_Desconto_Venda(double valor) override;
  int Set_Frete_Venda(double valor) override;
  int Set_Seguro_Venda(double valor) override;
  int Set_Desp_Acessorias_Venda(double valor) override;
  [[nodiscard]] double Get_Total_Liquido() const override { return TOTAIS_VENDA.TOTAL_LIQUIDO; }
  [[nodiscard]] double Get_Total_Liquido_Itens() const override { return TOTAIS_VENDA.TOTAL_LIQUIDO_ITENS; }
  int Set_Total_Parcelar(double valor) override;
  int Calcula_Parcelas() override;
  int Calcula_Simulacao() override;
  [[nodiscard]] std::int32_t Get_Condicao() const override { return CONDICAO; }
  double Get_Entrada_Simulacao(std::int32_t posicao) override;
  [[nodiscard]] double Get_Total_Parcelado() const override { return PRESTACAO->TOTAL_PARCELADO; }
  [[nodiscard]] double Get_Acrescimo_Parcelas() const override { return PRESTACAO->ACRESCIMO; }
  [[nodiscard]] std::int32_t Get_Numero_Parcelas() const override { return PRESTACAO->NUMERO_PARCELAS; }
  [[nodiscard]] std::int32_t Get_Quantidade_Parcelas() const override;
  [[nodiscard]] std::int32_t Get_Dias() const override { return PRESTACAO->DIAS; }
  [[nodiscard]] std::int32_t Get_Primeira() const override { return PRESTACAO->PRIMEIRA; }
  [[nodiscard]] Date Get_Data_Primeira() const override { return PRESTACAO->DATA_PRIMEIRA; }
  int Get_Parcela(std::int32_t numero, payment::QUEUE_PARCELAS& parcela) override;
  [[nodiscard]] std::int32_t Get_Quebra() const override { return QUEBRA; }
  [[nodiscard]] double Get_Juro() const override { return PRESTACAO->JURO; }
  [[nodiscard]] std::int32_t Get_Tipo_Juro() const override { return PRESTACAO->TIPO_JURO; }
  int Set_Valor_Parcela(std::int32_t numero, double valor) override;
  int Set_Vencimento_Parcela(std::int32_t numero, Date vencimento) override;
  int Recalcula_Parcelas_Seguintes(std::int32_t numero) override;
  int Set_Quebra(std::int32_t quebra) override;
  int Set_Tipo_Juro(std::int32_t tipo) override;
  [[nodiscard]] std::int32_t Get_Permite_Entrada() const override { return PERMITE_ENTRADA; }
  int Set_Permite_Entrada(std::int32_t permite) override;
  [[nodiscard]] double Get_Valor_Entrada() const override { return VALOR_ENTRADA; }
  [[nodiscard]] double Get_Total_Parcelar() const override { return PRESTACAO->TOTAL_PARCELAR; }
  int Set_Valor_Entrada(double valor) override;
  int Set_Numero_Parcelas(std::int32_t numero) override;
  int Set_Dias(std::int32_t dias) override;
  int Set_Dia_Mes(std::int32_t flag) override;
  int Set_Juro(double juro) override;
  int Set_Primeira(std::int32_t dias) override;
  int Set_Data_Primeira(Date data) override;
  int Checa_Valores() override;
  int Adiciona_Parcela_Pagamento(const payment::QUEUE_PARCELAS& parcela) override;
  int Set_Numero_Parcelas_Pagamento(std::int32_t numero) override;
  int Set_Dias_Parcelas_Pagamento(std::int32_t dias) override;
  int Calcula_Parcelas_Pagamento() override;
  int Estorna_Parcela_Pagamento(std::int32_t numero) override;
  int Conclui_Pagamento() override;
  [[nodiscard]] double Get_Valor_Total_Pagamento() const override { return PAGAMENTO->VALOR_TOTAL; }
  [[nodiscard]] double Get_Valor_Pago() const override { return PAGAMENTO->VALOR_PAGO; }
  [[nodiscard]] double Get_Valor_Pagar() const override { return PAGAMENTO->VALOR_PAGAR; }
  [[nodiscard]] std::int32_t Get_Quantidade_Pagamentos() const override;
  int Get_Pagamento(std::int32_t numero, payment::Payment& pagamento) override;
  [[nodiscard]] std::int32_t Get_Quantidade_Formas_Pagamento() const override;
  int Get_Forma_Pagamento(std::int32_t codigo, payment::GRUPO_FORMAS_PAGAMENTO& forma) override;
  int Set_Valor_Parcela_Pagamento(std::int32_t numero, double valor) override;
  int Set_Vencimento_Parcela_Pagamento(std::int32_t numero, Date vencimento) override;
  int Set_Documento_Parcela_Pagamento(std::int32_t numero, std::string_view documento) override;
  int Set_Conta_Parcela_Pagamento(std::int32_t numero, std::string_view conta) override;
  int Set_Entidade_Parcela_Pagamento(std::int32_t numero, std::int32_t entidade) override;
  int Get_Dados_Cliente(GRUPO_CLIENTE& cliente) override;
  int Paga(std::int32_t codigo_forma, double valor, std::int32_t id_credito,
           const payment::PaymentOptions& opcoes) override;
  int Estorna_Pagamento(std::int32_t numero) override;
  [[nodiscard]] double Get_Quantidade_Produto(std::int32_t id_produto) const override;
  int Zera_Prestacoes() override;
  int Get_Dados_Vendedor(GRUPO_VENDEDOR& vendedor) override;
  int Set_Parceiro_Venda(const GRUPO_PARCEIRO& parceiro) override;
  int Get_Parceiro_Venda(GRUPO_PARCEIRO& parceiro) override;
  int Set_Evento_Venda(const GRUPO_EVENTO& evento) override;
  int Get_Evento_Venda(GRUPO_EVENTO& evento) override;
  int Set_Perc_Comissao_Venda(double percentual) override;
  [[nodiscard]] double Get_Perc_Comissao_Venda() const override { return PERC_COMISSAO_VENDA; }
  int Set_Observacao(std::string_view observacao) override;
  [[nodiscard]] const std::string& Get_Observacao() const override { return OBSERVACAO; }
  void Limpa_Evento_Venda() override { EVENTO = {}; }
  void Limpa_Parceiro_Venda() override { PARCEIRO = {}; }
  int Seta_Dados_Liberacao_Cancelamento(const GRUPO_DADOS_LIBERACAO& liberacao) override;
  int Seta_Dados_Liberacao_Desconto(const GRUPO_DADOS_LIBERACAO& liberacao) override;
  int Seta_Dados_Liberacao_Cancelamento(const GRUPO_DADOS_LIBERACAO& liberacao, std::int32_t item) override;
  int Seta_Dados_Liberacao_Desconto(const GRUPO_DADOS_LIBERACAO& liberacao, std::int32_t item) override;
  int Seta_Dados_Liberacao_Venda_Prazo(const GRUPO_DADOS_LIBERACAO& liberacao) override;
  int Get_Peso(double& peso) override;
  int Limpa_Condicoes_Pagamento() override;
  int Adiciona_Condicao(const payment::PaymentCondition& condicao) override;
  [[nodiscard]] Date Get_Data_Emissao() const override { return DATA_EMISSAO; }
  [[nodiscard]] double Get_Valor_Troco() const override { return PAGAMENTO->VALOR_TROCO; }

  // ---- Operations the sale screen calls directly ----
  int Set_Dados_Cliente(const GRUPO_CLIENTE& cliente);
  int Set_Dados_Empresa(const GRUPO_EMPRESA& empresa);
  int Set_Dados_Operacao(const GRUPO_OPERACAO& operacao);
  int Set_Dados_Emissor(const GRUPO_EMISSOR& emissor);
  int Set_Dados_Vendedor(const GRUPO_VENDEDOR& vendedor);
  int Set_Finalidade_Operacao(std::int32_t finalidade);
  int Get_Dados_Operacao(GRUPO_OPERACAO& operacao);
  int Set_Dados_Transportadora(const GRUPO_TRANSPORTADORA& transportadora);
  int Get_Dados_Transportadora(GRUPO_TRANSPORTADORA& transportadora);
  void Limpa_Transportadora() { TRANSPORTADORA = {}; }
  int Set_Dados_Volume(const GRUPO_VOLUME& volume);
  int Get_Dados_Volume(GRUPO_VOLUME& volume);
  int Set_Juros_Venda(double valor);
  int Cancela_Item(std::int32_t numero);
  std::int32_t Calcula_Qtde_Itens_Vendidos();
  [[nodiscard]] std::int32_t Get_Quantidade_Itens() const { return ITEM->Get_Quantidade_Itens(); }
  int Get_Item_Venda(std::int32_t numero, QUEUE_ITEM& item);
  [[nodiscard]] double Get_Total_Bruto() const { return TOTAIS_VENDA.TOTAL_BRUTO; }
  [[nodiscard]] double Get_Valor_BC_ICMS() const { return TOTAIS_VENDA.VALOR_BC_ICMS; }
  [[nodiscard]] double Get_Valor_ICMS() const { return TOTAIS_VENDA.VALOR_ICMS; }
  [[nodiscard]] double Get_Valor_BC_ICMS_ST() const { return TOTAIS_VENDA.VALOR_BC_ICMS_ST; }
  [[nodiscard]] double Get_Valor_ICMS_ST() const { return TOTAIS_VENDA.VALOR_ICMS_ST; }
  [[nodiscard]] double Get_Valor_IPI() const { return TOTAIS_VENDA.IPI.VALOR_IPI; }
  [[nodiscard]] double Get_Valor_PIS() const { return TOTAIS_VENDA.PIS.VALOR_PIS; }
  [[nodiscard]] double Get_Valor_COFINS() const { return TOTAIS_VENDA.COFINS.VALOR_COFINS; }
  [[nodiscard]] double Get_Desconto_Venda() const { return ITEM->Get_Desconto_Venda(); }
  [[nodiscard]] double Get_Acrescimo_Venda() const { return ITEM->Get_Acrescimo_Venda(); }
  [[nodiscard]] double Get_Juros_Venda() const { return ITEM->Get_Juros_Venda(); }
  [[nodiscard]] double Get_Frete_Venda() const { return ITEM->Get_Frete_Venda(); }
  [[nodiscard]] double Get_Seguro_Venda() const { return ITEM->Get_Seguro_Venda(); }
  [[nodiscard]] double Get_Desp_Acessorias_Venda() const { return ITEM->Get_Desp_Acessorias_Venda(); }
  void Set_Cores(std::int32_t cor_1, std::int32_t cor_2, std::int32_t cor_cancelado) {
    ITEM->Set_Cores(cor_1, cor_2, cor_cancelado);
  }
  int Set_Data_Emissao(Date data);
  int Set_Data_Saida(Date data);
  [[nodiscard]] Date Get_Data_Saida() const { return DATA_SAIDA; }
  int Set_Valor_Total_Pagar(double valor);
  int Limpa_Itens_Venda();
  int Limpa_Venda();
  // Names other windows use for operations defined above: the sale totals
  // (Calcula_Total_Venda on TOTAIS_VENDA) and, on the condition's plan,
  // emptying the installments while keeping its properties and adding one
  // installment by hand.
  int Calcula_Tot();
  int Limpa_Prestacoes();
  int Adiciona_Prestacao(const payment::QUEUE_PARCELAS& parcela);
  // Copies the sale out for recording. Fails ("Get_Dados_NF") when the
  // sale has no customer or no live item, or a list cannot be read.
  int Get_Dados_NF(DADOS_NF& dados);

 private:
  // Reports a failure of a sub-object as the facade's: `prefixo` + its text.
  int falha(std::string_view prefixo, const ErrorTriple& origem, std::string_view operacao);
  // The end of every operation that changes amounts: recompute the totals.
  int recalcula() { return Calcula_Total_Venda(TOTAIS_VENDA); }
  int set_valor_venda(double valor, int (CLASSE_ITEM::*setter)(double), std::string_view prefixo,
                      std::string_view operacao);
};

}  // namespace fvn::sale
