#include "payment/parcelas.h"

namespace fvn::payment {

int Parcelas::nao_disponivel(std::string_view operacao) { return set_error(kOperacaoNaoDisponivel, 0, operacao); }

int Parcelas::Set_Data_Emissao(Date data) {
  if (data < kFirstDate || data > kLastDate) return set_error("Data de emissão inválida", 0, "Set_Data_Emissao");
  DATA_EMISSAO = data;
  return 1;
}

int Parcelas::Set_Quebra(std::int32_t quebra) {
  if (quebra < 1 || quebra > 4) return set_error("Tipo de quebra inválida.", 0, "Set_Quebra");
  QUEBRA = quebra;
  return 1;
}

int Parcelas::Zera_Prestacoes() {
  TOTAL_PARCELAR = 0;
  NUMERO_PARCELAS = 1;
  DIAS = 0;
  PRIMEIRA = 0;
  JURO = 0;
  TIPO_JURO = 1;
  DIA_MES = 0;
  QUEBRA = 1;
  DATA_PRIMEIRA = 0;
  ACRESCIMO = 0;
  TOTAL_PARCELADO = 0;
  PARCELAS.clear();
  return 1;
}

int Parcelas::Set_Total_Parcelar(double) { return nao_disponivel("Set_Total_Parcelar"); }
int Parcelas::Set_Parcelas(std::int32_t) { return nao_disponivel("Set_Parcelas"); }
int Parcelas::Set_Dias(std::int32_t) { return nao_disponivel("Set_Dias"); }
int Parcelas::Set_Primeira(std::int32_t) { return nao_disponivel("Set_Primeira"); }
int Parcelas::Set_Juro(double) { return nao_disponivel("Set_Juro"); }
int Parcelas::Set_Tipo_Juro(std::int32_t) { return nao_disponivel("Set_Tipo_Juro"); }
int Parcelas::Set_Dia_Mes(std::int32_t) { return nao_disponivel("Set_Dia_Mes"); }
int Parcelas::Set_Data_Primeira(Date) { return nao_disponivel("Set_Data_Primeira"); }
int Parcelas::Calcula_Parcelas() { return nao_disponivel("Calcula_Parcelas"); }
int Parcelas::Adiciona_Parcela(const QUEUE_PARCELAS&) { return nao_disponivel("Adiciona_Parcela"); }
int Parcelas::Estorna_Parcela(std::int32_t) { return nao_disponivel("Estorna_Parcela"); }
int Parcelas::Set_Vencimento_Parcela(std::int32_t, Date) { return nao_disponivel("Set_Vencimento_Parcela"); }
int Parcelas::Set_Valor_Parcela(std::int32_t, double) { return nao_disponivel("Set_Valor_Parcela"); }
int Parcelas::Set_Entidade_Parcela(std::int32_t, std::int32_t) { return nao_disponivel("Set_Entidade_Parcela"); }
int Parcelas::Set_Conta_Parcela(std::int32_t, std::string_view) { return nao_disponivel("Set_Conta_Parcela"); }
int Parcelas::Set_Documento_Parcela(std::int32_t, std::string_view) { return nao_disponivel("Set_Documento_Parcela"); }
int Parcelas::Recalcula_Parcelas_Seguintes(std::int32_t) { return nao_disponivel("Recalcula_Parcelas_Seguintes"); }
int Parcelas::Checa_Valores() { return nao_disponivel("Checa_Valores"); }

}  // namespace fvn::payment
