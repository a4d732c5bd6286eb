// The payment ledger: the forms of payment the shop accepts, the financial
// entities behind them, and the payments made against the sale total, with
// the amount still due and the change owed. The sale facade owns one per
// sale.
//
// What exists so far is the ledger's state and interface and the issue-date
// and quebra setters the facade hands its values to. Loading forms, paying,
// reversing and the installment payments are not written yet: those
// operations fail with kOperacaoNaoDisponivel and change nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "payment/parcelas.h"
#include "runtime/clock.h"
#include "runtime/decimal.h"
#include "runtime/error_triple.h"
#include "runtime/ordered_list.h"

namespace fvn::payment {

// A financial entity (bank, card administrator).
struct EntidadeFinanceira {
  std::int32_t CODIGO = 0;
  std::string NOME;
  std::int32_t TIPO = 0;  // 1..4
};

struct GRUPO_FORMAS_PAGAMENTO {
  std::int32_t CODIGO = 0;
  std::string DESCRICAO;
  std::int32_t TIPO = 0;      // 1..5; 2 card through the TEF client, 5 card entered by hand
  std::int32_t COMPOSTA = 0;  // 1: paid in installments
  std::string DESCRICAO_ECF;
  std::int32_t TIPO_CARTAO_MANUAL = 0;
  std::int32_t VEZES = 0;
  std::int32_t DIAS = 0;
  double TAXA = 0;
  std::int32_t CODIGO_ENTIDADE = 0;
  std::int32_t TIPO_ACRESCIMO_TEF = 0;
  std::string PASTA_TEF;
  std::string PASTA_BACKUP_TEF;
};

// A payment made against the sale.
struct Pagamento {
  std::int32_t CODIGO_FORMA = 0;
  std::string DESCRICAO_FORMA;
  double VALOR = 0;
  std::shared_ptr<Parcelas> PARCELAS;  // the payment's installment plan, or none
  std::int32_t CONCLUIDO = 0;
  std::string BANDEIRA;
  std::string TIPO;
  std::int32_t ID_CREDITO = 0;
  Dec2 TROCO;
  std::int32_t SINAL_OS = 0;
  std::int32_t CODIGO_PAGAMENTO = 0;
};

// The flags of Paga.
struct OpcoesPagamento {
  bool permite_troco = false;      // this payment may produce change
  bool sinal = false;              // down payment (SINAL_OS)
  bool ignora_id_credito = false;  // do not keep the credit identifier
};

class PaymentLedger : public ErrorTriple {
 public:
  OrderedList<EntidadeFinanceira> ENTIDADES;
  OrderedList<GRUPO_FORMAS_PAGAMENTO> FORMAS_PAGAMENTO;
  OrderedList<Pagamento> PAGAMENTOS;
  double VALOR_TOTAL = 0;
  double VALOR_PAGO = 0;
  double VALOR_PAGAR = 0;
  double VALOR_TROCO = 0;  // change, held as a negative amount
  std::int32_t QUEBRA = 0;
  Date DATA_EMISSAO = 0;

  // 1..4, else "Tipo de quebra inválida.".
  int Set_Quebra(std::int32_t quebra);
  // 4..2994626, else "Data de emissão inválida".
  int Set_Data_Emissao(Date data);

  // Not written yet (see above).
  int Adiciona_Entidade(const EntidadeFinanceira& entidade);
  int Adiciona_Forma_Pagamento(const GRUPO_FORMAS_PAGAMENTO& forma);
  int Set_Valor_Total(double valor);
  int Paga(std::int32_t codigo_forma, double valor, std::int32_t id_credito, const OpcoesPagamento& opcoes);
  int Estorna(std::int32_t numero);
  int Conclui_Pagamento();
  int Calcula_Parcelas();
  int Adiciona_Parcela(const QUEUE_PARCELAS& parcela);
  int Set_Numero_Parcelas(std::int32_t numero);
  int Set_Dias_Parcelas(std::int32_t dias);
  int Set_Valor_Parcela(std::int32_t numero, double valor);
  int Set_Vencimento_Parcela(std::int32_t numero, Date vencimento);
  int Set_Documento_Parcela(std::int32_t numero, std::string_view documento);
  int Set_Conta_Parcela(std::int32_t numero, std::string_view conta);
  int Set_Entidade_Parcela(std::int32_t numero, std::int32_t entidade);
  int Estorna_Parcela(std::int32_t numero);

 private:
  int nao_disponivel(std::string_view operacao);
};

}  // namespace fvn::payment
