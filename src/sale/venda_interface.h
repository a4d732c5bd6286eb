// VENDA_INTERFACE: the operations on the sale that the payment and
// installment dialogs and the sibling modules see. The sale screen uses the
// implementing class (CLASSE_VENDA) directly.
//
// Operations return 1 on success and 0 on failure with the error triple
// (Get_Error, Get_Error_Code, Get_Error_Function) describing the failure; a
// success leaves the triple as it was. Readers cannot fail.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "payment/parcelas.h"
#include "payment/payment_conditions.h"
#include "payment/payment_ledger.h"
#include "records/party_groups.h"
#include "records/queue_item.h"
#include "records/release_record.h"
#include "records/totais_venda.h"
#include "runtime/clock.h"

namespace fvn::sale {

class VENDA_INTERFACE {
 public:
  VENDA_INTERFACE() = default;
  VENDA_INTERFACE(const VENDA_INTERFACE&) = delete;
  VENDA_INTERFACE& operator=(const VENDA_INTERFACE&) = delete;
  virtual ~VENDA_INTERFACE() = default;

  // Items and totals.
  virtual int Vende_Item(QUEUE_ITEM& item) = 0;
  [[nodiscard]] virtual const std::string& Get_Error() const = 0;
  [[nodiscard]] virtual std::int32_t Get_Error_Code() const = 0;
  [[nodiscard]] virtual const std::string& Get_Error_Function() const = 0;
  virtual payment::PaymentConditions& Get_Condicoes_Pagamento() = 0;
  virtual int Calcula_Total_Venda(TOTAIS_VENDA& totais) = 0;
  virtual int Set_Condicao_Pagamento(std::int32_t condicao) = 0;
  virtual int Set_Acrescimo_Venda(double valor) = 0;
  virtual int Set_Desconto_Venda(double valor) = 0;
  virtual int Set_Frete_Venda(double valor) = 0;
  virtual int Set_Seguro_Venda(double valor) = 0;
  virtual int Set_Desp_Acessorias_Venda(double valor) = 0;
  [[nodiscard]] virtual double Get_Total_Liquido() const = 0;
  [[nodiscard]] virtual double Get_Total_Liquido_Itens() const = 0;

  // Installment plan of the sale's payment condition.
  virtual int Set_Total_Parcelar(double valor) = 0;
  virtual int Calcula_Parcelas() = 0;
  virtual int Calcula_Simulacao() = 0;
  [[nodiscard]] virtual std::int32_t Get_Condicao() const = 0;
  virtual double Get_Entrada_Simulacao(std::int32_t posicao) = 0;
  [[nodiscard]] virtual double Get_Total_Parcelado() const = 0;
  [[nodiscard]] virtual double Get_Acrescimo_Parcelas() const = 0;
  [[nodiscard]] virtual std::int32_t Get_Numero_Parcelas() const = 0;
  [[nodiscard]] virtual std::int32_t Get_Quantidade_Parcelas() const = 0;
  [[nodiscard]] virtual std::int32_t Get_Dias() const = 0;
  [[nodiscard]] virtual std::int32_t Get_Primeira() const = 0;
  [[nodiscard]] virtual Date Get_Data_Primeira() const = 0;
  virtual int Get_Parcela(std::int32_t numero, payment::QUEUE_PARCELAS& parcela) = 0;
  [[nodiscard]] virtual std::int32_t Get_Quebra() const = 0;
  [[nodiscard]] virtual double Get_Juro() const = 0;
  [[nodiscard]] virtual std::int32_t Get_Tipo_Juro() const = 0;
  virtual int Set_Valor_Parcela(std::int32_t numero, double valor) = 0;
  virtual int Set_Vencimento_Parcela(std::int32_t numero, Date vencimento) = 0;
  virtual int Recalcula_Parcelas_Seguintes(std::int32_t numero) = 0;
  virtual int Set_Quebra(std::int32_t quebra) = 0;
  virtual int Set_Tipo_Juro(std::int32_t tipo) = 0;
  [[nodiscard]] virtual std::int32_t Get_Permite_Entrada() const = 0;
  virtual int Set_Permite_Entrada(std::int32_t permite) = 0;
  [[nodiscard]] virtual double Get_Valor_Entrada() const = 0;
  [[nodiscard]] virtual double Get_Total_Parcelar() const = 0;
  virtual int Set_Valor_Entrada(double valor) = 0;
  virtual int Set_Numero_Parcelas(std::int32_t numero) = 0;
  virtual int Set_Dias(std::int32_t dias) = 0;
  virtual int Set_Dia_Mes(std::int32_t flag) = 0;
  virtual int Set_Juro(double juro) = 0;
  virtual int Set_Primeira(std::int32_t dias) = 0;
  virtual int Set_Data_Primeira(Date data) = 0;
  virtual int Checa_Valores() = 0;

  // Payment ledger: installments of the last payment.
  virtual int Adiciona_Parcela_Pagamento(const payment::QUEUE_PARCELAS& parcela) = 0;
  virtual int Set_Numero_Parcelas_Pagamento(std::int32_t numero) = 0;
  virtual int Set_Dias_Parcelas_Pagamento(std::int32_t dias) = 0;
  virtual int Calcula_Parcelas_Pagamento() = 0;
  virtual int Estorna_Parcela_Pagamento(std::int32_t numero) = 0;
  virtual int Conclui_Pagamento() = 0;
  // Payment ledger readers.
  [[nodiscard]] virtual double Get_Valor_Total_Pagamento() const = 0;
  [[nodiscard]] virtual double Get_Valor_Pago() const = 0;
  [[nodiscard]] virtual double Get_Valor_Pagar() const = 0;
  [[nodiscard]] virtual std::int32_t Get_Quantidade_Pagamentos() const = 0;
  virtual int Get_Pagamento(std::int32_t numero, payment::Payment& pagamento) = 0;
  [[nodiscard]] virtual std::int32_t Get_Quantidade_Formas_Pagamento() const = 0;
  virtual int Get_Forma_Pagamento(std::int32_t codigo, payment::GRUPO_FORMAS_PAGAMENTO& forma) = 0;
  virtual int Set_Valor_Parcela_Pagamento(std::int32_t numero, double valor) = 0;
  virtual int Set_Vencimento_Parcela_Pagamento(std::int32_t numero, Date vencimento) = 0;
  virtual int Set_Documento_Parcela_Pagamento(std::int32_t numero, std::string_view documento) = 0;
  virtual int Set_Conta_Parcela_Pagamento(std::int32_t numero, std::string_view conta) = 0;
  virtual int Set_Entidade_Parcela_Pagamento(std::int32_t numero, std::int32_t entidade) = 0;

  // Parties, payments, scale and the rest of the sale.
  virtual int Get_Dados_Cliente(GRUPO_CLIENTE& cliente) = 0;
  virtual int Paga(std::int32_t codigo_forma, double valor, std::int32_t id_credito,
                   const payment::PaymentOptions& opcoes) = 0;
  virtual int Estorna_Pagamento(std::int32_t numero) = 0;
  [[nodiscard]] virtual double Get_Quantidade_Produto(std::int32_t id_produto) const = 0;
  virtual int Zera_Prestacoes() = 0;
  virtual int Get_Dados_Vendedor(GRUPO_VENDEDOR& vendedor) = 0;
  virtual int Set_Parceiro_Venda(const GRUPO_PARCEIRO& parceiro) = 0;
  virtual int Get_Parceiro_Venda(GRUPO_PARCEIRO& parceiro) = 0;
  virtual int Set_Evento_Venda(const GRUPO_EVENTO& evento) = 0;
  virtual int Get_Evento_Venda(GRUPO_EVENTO& evento) = 0;
  virtual int Set_Perc_Comissao_Venda(double percentual) = 0;
  [[nodiscard]] virtual double Get_Perc_Comissao_Venda() const = 0;
  virtual int Set_Observacao(std::string_view observacao) = 0;
  [[nodiscard]] virtual const std::string& Get_Observacao() const = 0;
  virtual void Limpa_Evento_Venda() = 0;
  virtual void Limpa_Parceiro_Venda() = 0;
  virtual int Seta_Dados_Liberacao_Cancelamento(const GRUPO_DADOS_LIBERACAO& liberacao) = 0;
  virtual int Seta_Dados_Liberacao_Desconto(const GRUPO_DADOS_LIBERACAO& liberacao) = 0;
  virtual int Seta_Dados_Liberacao_Cancelamento(const GRUPO_DADOS_LIBERACAO& liberacao, std::int32_t item) = 0;
  virtual int Seta_Dados_Liberacao_Desconto(const GRUPO_DADOS_LIBERACAO& liberacao, std::int32_t item) = 0;
  virtual int Seta_Dados_Liberacao_Venda_Prazo(const GRUPO_DADOS_LIBERACAO& liberacao) = 0;
  virtual int Get_Peso(double& peso) = 0;
  virtual int Limpa_Condicoes_Pagamento() = 0;
  virtual int Adiciona_Condicao(const payment::PaymentCondition& condicao) = 0;
  [[nodiscard]] virtual Date Get_Data_Emissao() const = 0;
  [[nodiscard]] virtual double Get_Valor_Troco() const = 0;
};

}  // namespace fvn::sale
