// The payment ledger: the forms of payment the shop accepts, the financial
// entities behind them, and the payments made against the sale total, with
// the amount still due and the change owed. The sale facade owns one per
// sale.
//
// One rule above all: a new payment may be made only when the last one is
// concluded. A plain payment is concluded at once; a payment with an
// installment form carries its own installment plan and stays open until
// Conclui_Pagamento finds the plan adding up to the payment. While it is
// open, only it can be reversed. Changing the values of the last payment's
// plan opens the payment again, so a plan edited after concluding is
// checked again before the next payment.
//
// Amounts are kept rounded to the cent. Change is held as a negative amount.
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
struct FinancialEntity {
  std::int32_t CODIGO = 0;
  std::string NOME;
  std::int32_t TIPO = 0;  // 1..4

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO", s.CODIGO);
    v("NOME", s.NOME, 256);
    v("TIPO", s.TIPO);
  }
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

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO", s.CODIGO);
    v("DESCRICAO", s.DESCRICAO, 256);
    v("TIPO", s.TIPO);
    v("COMPOSTA", s.COMPOSTA);
    v("DESCRICAO_ECF", s.DESCRICAO_ECF, 51);
    v("TIPO_CARTAO_MANUAL", s.TIPO_CARTAO_MANUAL);
    v("VEZES", s.VEZES);
    v("DIAS", s.DIAS);
    v("TAXA", s.TAXA);
    v("CODIGO_ENTIDADE", s.CODIGO_ENTIDADE);
    v("TIPO_ACRESCIMO_TEF", s.TIPO_ACRESCIMO_TEF);
    v("PASTA_TEF", s.PASTA_TEF, 512);
    v("PASTA_BACKUP_TEF", s.PASTA_BACKUP_TEF, 512);
  }
};

// A payment made against the sale.
struct Payment {
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

  // Every member but the plan, which readers show on its own.
  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO_FORMA", s.CODIGO_FORMA);
    v("DESCRICAO_FORMA", s.DESCRICAO_FORMA, 256);
    v("VALOR", s.VALOR);
    v("CONCLUIDO", s.CONCLUIDO);
    v("BANDEIRA", s.BANDEIRA, 51);
    v("TIPO", s.TIPO, 51);
    v("ID_CREDITO", s.ID_CREDITO);
    v("TROCO", s.TROCO);
    v("SINAL_OS", s.SINAL_OS);
    v("CODIGO_PAGAMENTO", s.CODIGO_PAGAMENTO);
  }
};

// The flags of Paga.
struct PaymentOptions {
  bool permite_troco = false;      // this payment may produce change
  bool sinal = false;              // down payment (SINAL_OS)
  bool ignora_id_credito = false;  // do not keep the credit identifier
};

class PaymentLedger : public ErrorTriple {
 public:
  OrderedList<FinancialEntity> ENTIDADES;
  OrderedList<GRUPO_FORMAS_PAGAMENTO> FORMAS_PAGAMENTO;
  OrderedList<Payment> PAGAMENTOS;
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

  // The accepted entities and forms, entities first (a form names its entity).
  int Adiciona_Entidade(const FinancialEntity& entidade);
  int Adiciona_Forma_Pagamento(const GRUPO_FORMAS_PAGAMENTO& forma);
  // Starts paying a new total: every payment made so far is released.
  int Set_Valor_Total(double valor);
  // Records a payment of `valor` with the form `codigo_forma`.
  int Paga(std::int32_t codigo_forma, double valor, std::int32_t id_credito, const PaymentOptions& opcoes);
  // Reverses payment `numero` (1-based).
  int Estorna(std::int32_t numero);
  int Estorna_Pagamento(std::int32_t numero) { return Estorna(numero); }
  // Concludes the last payment once its plan (if any) adds up.
  int Conclui_Pagamento();
  // Whether the last payment is concluded (true when there is none); 0 also
  // when the list cannot be read, with the error set.
  int Ultimo_Concluido();
  // Empties the payments, releasing their plans.
  void Free_Pagamento();

  // The last payment's installment plan, or none.
  [[nodiscard]] Parcelas* Get_Ultima_Parcela();
  // Operations on the last payment's plan; "Objeto Parcelas não criado "
  // when it has none. Those that change values open the payment again.
  int Calcula_Parcelas();
  int Adiciona_Parcela(const QUEUE_PARCELAS& parcela);
  int Set_Numero_Parcelas(std::int32_t numero);
  int Set_Dias_Parcelas(std::int32_t dias);
  // Sets the value and spreads the rest over the installments that may change.
  int Set_Valor_Parcela(std::int32_t numero, double valor);
  int Set_Vencimento_Parcela(std::int32_t numero, Date vencimento);
  int Set_Documento_Parcela(std::int32_t numero, std::string_view documento);
  int Set_Conta_Parcela(std::int32_t numero, std::string_view conta);
  int Set_Agencia_Parcela(std::int32_t numero, std::string_view agencia);
  int Set_Entidade_Parcela(std::int32_t numero, std::int32_t entidade);
  int Estorna_Parcela(std::int32_t numero);

 private:
  // Runs `operacao` on the last payment's plan; on success, when `reabre`,
  // the payment is open again until concluded.
  template <typename Operacao>
  int no_plano(std::string_view funcao, bool reabre, Operacao operacao);
  void atualiza_saldo();
};

}  // namespace fvn::payment
