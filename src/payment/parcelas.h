// Parcelas: an installment plan. It turns an amount into a list of dated
// installments (how many, when the first falls due, how far apart, interest,
// and where the cents left over by rounding go, the "quebra"). The sale
// facade keeps one plan for the sale's payment condition; the payment ledger
// keeps one per installment payment.
//
// QUEBRA decides how an installment is rounded and which installment takes
// the difference: 1 cent / first, 2 cent / last, 3 tens of cents / first,
// 4 tens of cents / last. The installment that absorbs the difference may be
// edited only when FLAG_IGNORA_QUEBRA is 1.
//
// Invariant: after every successful operation that builds or edits values,
// the installments add up to TOTAL_PARCELADO to the cent. A difference that
// cannot be placed, or a recomputation that cannot keep every installment at
// 0.01 or more, fails and leaves the list as it was before the edit.
//
// Every operation returns 1, or 0 with the error triple set (code 0).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/clock.h"
#include "runtime/error_triple.h"
#include "runtime/ordered_list.h"

namespace fvn::payment {

// The largest number of installments a plan builds: more would only exhaust
// memory (a plan of a few billion installments) without being a real plan.
inline constexpr std::int32_t kMaximoParcelas = 999;

struct QUEUE_PARCELAS {
  std::int32_t NUMERO = 0;
  Date VENCIMENTO = 0;
  double VALOR = 0;
  std::string DOCUMENTO;
  std::string CONTA;
  std::int32_t ENTIDADE = 0;
  std::string NOME_ENTIDADE;
  std::string AGENCIA;
  std::string NUMERO_FABRICACAO;
  std::int32_t NUMERO_USUARIO = 0;
  std::int32_t COO = 0;
  std::int32_t CCF = 0;
  std::string OBSERVACAO;
  std::int32_t TIPO_COBRANCA = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("NUMERO", s.NUMERO);
    v("VENCIMENTO", s.VENCIMENTO);
    v("VALOR", s.VALOR);
    v("DOCUMENTO", s.DOCUMENTO, 31);
    v("CONTA", s.CONTA, 31);
    v("ENTIDADE", s.ENTIDADE);
    v("NOME_ENTIDADE", s.NOME_ENTIDADE, 256);
    v("AGENCIA", s.AGENCIA, 31);
    v("NUMERO_FABRICACAO", s.NUMERO_FABRICACAO, 21);
    v("NUMERO_USUARIO", s.NUMERO_USUARIO);
    v("COO", s.COO);
    v("CCF", s.CCF);
    v("OBSERVACAO", s.OBSERVACAO, 51);
    v("TIPO_COBRANCA", s.TIPO_COBRANCA);
  }
};

class Parcelas : public ErrorTriple {
 public:
  OrderedList<QUEUE_PARCELAS> PARCELAS;
  Date DATA_EMISSAO = 0;
  double TOTAL_PARCELAR = 0;
  std::int32_t NUMERO_PARCELAS = 1;
  std::int32_t DIAS = 0;
  std::int32_t PRIMEIRA = 0;
  double JURO = 0;
  std::int32_t TIPO_JURO = 1;  // 1 simple monthly, 2 compound monthly, 3 flat percentage
  std::int32_t DIA_MES = 0;    // 1: same day of consecutive months
  std::int32_t QUEBRA = 1;
  Date DATA_PRIMEIRA = 0;
  double TOTAL_PARCELADO = 0;
  double ACRESCIMO = 0;
  std::int32_t CODIGO_ENTIDADE = 0;
  std::string NOME_ENTIDADE;
  std::string DOCUMENTO;
  std::string CONTA;
  std::string AGENCIA;
  std::int32_t FLAG_IGNORA_QUEBRA = 0;

  // Property setters: each validates its argument and keeps the old value
  // when it refuses it.
  int Set_Data_Emissao(Date data);
  int Set_Total_Parcelar(double total);  // kept rounded to the cent
  int Set_Parcelas(std::int32_t numero);
  int Set_Numero_Parcelas(std::int32_t numero) { return Set_Parcelas(numero); }
  int Set_Dias(std::int32_t dias);
  int Set_Primeira(std::int32_t dias);
  int Set_Juro(double juro);
  int Set_Tipo_Juro(std::int32_t tipo);
  int Set_Dia_Mes(std::int32_t flag);
  int Set_Quebra(std::int32_t quebra);
  int Set_Data_Primeira(Date data);  // 0: no explicit first date
  int Set_Codigo_Entidade(std::int32_t codigo);
  int Set_Flag_Ignora_Quebra(std::int32_t flag);
  // Copied into every installment Calcula_Parcelas builds.
  void Set_Nome_Entidade(std::string_view nome);
  void Set_Documento(std::string_view documento);
  void Set_Conta(std::string_view conta);
  void Set_Agencia_Plano(std::string_view agencia);

  [[nodiscard]] Date Get_Data_Emissao() const { return DATA_EMISSAO; }
  [[nodiscard]] double Get_Total_Parcelar() const { return TOTAL_PARCELAR; }
  [[nodiscard]] std::int32_t Get_Parcelas() const { return NUMERO_PARCELAS; }
  [[nodiscard]] std::int32_t Get_Dias() const { return DIAS; }
  [[nodiscard]] std::int32_t Get_Primeira() const { return PRIMEIRA; }
  [[nodiscard]] double Get_Juro() const { return JURO; }
  [[nodiscard]] std::int32_t Get_Tipo_Juro() const { return TIPO_JURO; }
  [[nodiscard]] std::int32_t Get_Dia_Mes() const { return DIA_MES; }
  [[nodiscard]] std::int32_t Get_Quebra() const { return QUEBRA; }
  [[nodiscard]] Date Get_Data_Primeira() const { return DATA_PRIMEIRA; }
  [[nodiscard]] double Get_Total_Parcelado() const { return TOTAL_PARCELADO; }
  [[nodiscard]] double Get_Acrescimo() const { return ACRESCIMO; }
  [[nodiscard]] std::int32_t Get_Codigo_Entidade() const { return CODIGO_ENTIDADE; }
  [[nodiscard]] std::int32_t Get_Flag_Ignora_Quebra() const { return FLAG_IGNORA_QUEBRA; }
  [[nodiscard]] std::int32_t Get_Quantidade_Parcelas() const { return static_cast<std::int32_t>(PARCELAS.records()); }

  // Rebuilds the list from the properties (manual edits are discarded).
  int Calcula_Parcelas();
  // Re-runs the setters on the current values (nothing to check when the
  // total is 0).
  int Checa_Propriedades();
  // Appends one installment by hand; its value is added to TOTAL_PARCELADO
  // and may not take it above TOTAL_PARCELAR + ACRESCIMO.
  int Adiciona_Parcela(const QUEUE_PARCELAS& parcela);
  int Adiciona_Prestacao(const QUEUE_PARCELAS& parcela) { return Adiciona_Parcela(parcela); }
  int Estorna_Parcela(std::int32_t numero);
  int Set_Vencimento_Parcela(std::int32_t numero, Date vencimento);
  // Gives installment `numero` a new value; Recalcula_Parcelas_Seguintes
  // then spreads the rest over the installments that may change.
  int Set_Valor_Parcela(std::int32_t numero, double valor);
  int Recalcula_Parcelas_Seguintes(std::int32_t numero);
  int Set_Observacao_parcela(std::int32_t numero, std::string_view observacao);
  int Set_Entidade_Parcela(std::int32_t numero, std::int32_t entidade);
  int Set_Nome_Entidade_Parcela(std::int32_t numero, std::string_view nome);
  int Set_Conta_Parcela(std::int32_t numero, std::string_view conta);
  int Set_Documento_Parcela(std::int32_t numero, std::string_view documento);
  int Set_Agencia(std::int32_t numero, std::string_view agencia);
  int Set_Agencia_Parcela(std::int32_t numero, std::string_view agencia) { return Set_Agencia(numero, agencia); }
  // Checks numbering, dates and that the values add up to the plan's total.
  int Checa_Valores();
  // Back to the defaults: nothing to split, one installment, quebra 1, list
  // empty. The issue date, the entity and the flag are kept.
  int Zera_Prestacoes();
  // Empties the list and TOTAL_PARCELADO only, keeping every property, the
  // total and the interest, so that a plan computed before can be rebuilt
  // installment by installment with Adiciona_Parcela.
  int Limpa_Prestacoes();
  void Renumera_Sequencia_parcelas();

 private:
  // True for QUEBRA 1 and 3: the difference goes to the first installment.
  [[nodiscard]] bool quebra_na_primeira() const { return QUEBRA == 1 || QUEBRA == 3; }
  [[nodiscard]] double soma_valores() const;
  // Puts TOTAL_PARCELADO minus the sum of the installments on the
  // installment that absorbs differences and onwards. 0 (list untouched by
  // the caller's snapshot) when the difference cannot be placed whole.
  int distribui_diferenca(std::string_view funcao);
  int get(std::int32_t numero, QUEUE_PARCELAS& parcela, std::string_view funcao);
  int put(std::int32_t numero, QUEUE_PARCELAS parcela, std::string_view funcao);
  template <typename Change>
  int altera_parcela(std::int32_t numero, std::string_view funcao, Change change);
  int checa_datas(const QUEUE_PARCELAS& parcela, const QUEUE_PARCELAS* anterior, std::string_view prefixo,
                  std::string_view funcao);

  // The list as it was before the last Set_Valor_Parcela, put back when the
  // recomputation that has to follow it fails.
  std::optional<std::vector<QUEUE_PARCELAS>> antes_da_edicao_;
};

}  // namespace fvn::payment
