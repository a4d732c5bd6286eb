#include "payment/payment_conditions.h"

#include <cmath>
#include <string_view>

#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn::payment {

namespace {

bool vazio(std::string_view texto) { return text::trim(texto).empty(); }

std::string n12(double x) { return format_picture(x, "@n12.2"); }

}  // namespace

int PaymentConditions::Adiciona_Condicao(const PaymentCondition& c) {
  constexpr std::string_view kFuncao = "Adiciona_Condicao";
  if (c.CODIGO <= 0) return set_error("Código da condição menor ou igual a zero", 0, kFuncao);
  if (vazio(c.DESCRICAO)) return set_error("Descrição da condição vazia", 0, kFuncao);
  if (c.TIPO != 1 && c.TIPO != 2) {
    return set_error("Tipo de condição inválido, deve ser 1 a vista ou 2 a prazo", 0, kFuncao);
  }
  const bool prazo = c.TIPO == 2;
  if (!prazo && c.COM_ENTRADA != 0) {
    return set_error("Valor de entrada somente pode ser preenchido com tipo da condição a prazo", 0, kFuncao);
  }
  if (prazo && c.PRESTACOES <= 0) return set_error("Número de prestações igual ou inferior a zero", 0, kFuncao);
  if (!prazo && c.PRESTACOES != 0) return set_error("Prestação preenchida para condição a vista", 0, kFuncao);
  if (prazo && c.JURO < 0) return set_error("Prestação preencida para condição a vista", 0, kFuncao);
  if (prazo && c.DIAS_ENTRE_PRESTACOES == 0 && c.DIA_MES == 0) {
    return set_error("Dias entre as prestações ou o dia do mês devem ser preenchidos", 0, kFuncao);
  }
  if (prazo && c.DIAS_PRIMEIRO_VENCIMENTO == 0 && c.DATA_PRIMEIRA == 0) {
    return set_error("Dias do primeiro vencimento ou data da primeira parcela devem ser preenchidas", 0, kFuncao);
  }
  if (prazo && (c.TIPO_JURO < 1 || c.TIPO_JURO > 3)) return set_error("Tipo de juro inválido", 0, kFuncao);
  if (prazo && (c.QUEBRA < 1 || c.QUEBRA > 4)) return set_error("Tipo de quebra inválida", 0, kFuncao);
  CONDICOES.add(c);
  return 1;
}

int PaymentConditions::Calcula_Simulacao(double base, Date data_emissao) {
  constexpr std::string_view kFuncao = "Calcula_Simulacao";
  Parcelas plano;
  for (PaymentCondition& c : CONDICOES) {
    if (c.TIPO != 2) {
      c.SIMULACAO = text::fit("1x " + text::left_trim(n12(base)), 101);
      c.VALOR_ENTRADA_SIMULACAO = 0;
      continue;
    }
    const double entrada = c.COM_ENTRADA == 1 ? round_to(base / (c.PRESTACOES + 1), 2) : 0.0;
    auto passo = [&](std::string_view mensagem, int resultado) {
      if (resultado) return true;
      set_error(std::string{mensagem} + "|" + plano.ERROR, 0, kFuncao);
      return false;
    };
    if (!passo("Erro ao setar valor total a parcelar!|", plano.Set_Total_Parcelar(base - entrada)) ||
        !passo("Erro ao setar número de parcelas!|", plano.Set_Parcelas(c.PRESTACOES)) ||
        !passo("Erro ao setar dias entre as prestações!|", plano.Set_Dias(c.DIAS_ENTRE_PRESTACOES)) ||
        !passo("Erro ao setar dias para o primeiro vencimento!|", plano.Set_Primeira(c.DIAS_PRIMEIRO_VENCIMENTO)) ||
        !passo("Erro ao setar juros!|", plano.Set_Juro(c.JURO)) ||
        !passo("Erro ao setar tipo de juro!|", plano.Set_Tipo_Juro(c.TIPO_JURO)) ||
        !passo("Erro ao setar dia do mês!|", plano.Set_Dia_Mes(c.DIA_MES)) ||
        !passo("Erro ao setar quebra!|", plano.Set_Quebra(c.QUEBRA)) ||
        // The issue date first, so that the first date is checked against it.
        !passo("Erro ao setar data de emissão!|", plano.Set_Data_Emissao(data_emissao)) ||
        !passo("Erro ao setar data da primeira prestação!|", plano.Set_Data_Primeira(c.DATA_PRIMEIRA)) ||
        !passo("Erro ao calcular parcelas!|", plano.Calcula_Parcelas())) {
      return 0;
    }
    const std::int32_t n = plano.NUMERO_PARCELAS;
    // The line shows the average installment, not the first one.
    std::string linha = std::to_string(n) + "x " + text::left_trim(n12(plano.TOTAL_PARCELADO / n));
    if (c.COM_ENTRADA == 1) linha.insert(0, n12(entrada) + " + ");
    c.SIMULACAO = text::fit(text::left_trim(linha), 101);
    c.VALOR_ENTRADA_SIMULACAO = entrada;
  }
  return 1;
}

}  // namespace fvn::payment
