// Parcelas: an installment plan. It turns an amount into a list of dated
// installments (how many, when the first falls due, how far apart, interest,
// and where the cents left over by rounding go, the "quebra"). The sale
// facade keeps one plan for the sale's payment condition; the payment ledger
// keeps one per installment payment.
//
// What exists so far is the plan's state and interface, the issue-date and
// quebra setters the facade hands its values to, and the reset. Building and
// editing the installments is not written yet: those operations fail with
// kOperacaoNaoDisponivel and change nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/clock.h"
#include "runtime/error_triple.h"
#include "runtime/ordered_list.h"

namespace fvn::payment {

// Failure text of the operations that are not written yet.
inline constexpr std::string_view kOperacaoNaoDisponivel = "Operação ainda não disponível.";

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
  std::int32_t TIPO_JURO = 1;
  std::int32_t DIA_MES = 0;
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

  // 4..2994626, else "Data de emissão inválida".
  int Set_Data_Emissao(Date data);
  // 1..4, else "Tipo de quebra inválida.".
  int Set_Quebra(std::int32_t quebra);
  // Back to the defaults: nothing to split, one installment, quebra 1, list empty.
  int Zera_Prestacoes();

  // Not written yet (see above).
  int Set_Total_Parcelar(double total);
  int Set_Parcelas(std::int32_t numero);
  int Set_Dias(std::int32_t dias);
  int Set_Primeira(std::int32_t dias);
  int Set_Juro(double juro);
  int Set_Tipo_Juro(std::int32_t tipo);
  int Set_Dia_Mes(std::int32_t flag);
  int Set_Data_Primeira(Date data);
  int Calcula_Parcelas();
  int Adiciona_Parcela(const QUEUE_PARCELAS& parcela);
  int Estorna_Parcela(std::int32_t numero);
  int Set_Vencimento_Parcela(std::int32_t numero, Date vencimento);
  int Set_Valor_Parcela(std::int32_t numero, double valor);
  int Set_Entidade_Parcela(std::int32_t numero, std::int32_t entidade);
  int Set_Conta_Parcela(std::int32_t numero, std::string_view conta);
  int Set_Documento_Parcela(std::int32_t numero, std::string_view documento);
  int Recalcula_Parcelas_Seguintes(std::int32_t numero);
  int Checa_Valores();

 private:
  int nao_disponivel(std::string_view operacao);
};

}  // namespace fvn::payment
