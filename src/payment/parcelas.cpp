#include "payment/parcelas.h"

#include <cmath>
#include <utility>

#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn::payment {

namespace {

constexpr double kCentavo = 0.01;

double r2(double x) { return round_to(x, 2); }

// Amounts in messages: ten positions, two decimals after a comma, the sign
// kept (a difference can be negative), leading blanks removed.
std::string valor(double x) { return text::trim(format_picture(x, "@n-10`2")); }

std::string data(Date d) { return format_picture(d, "@d06"); }

std::string numero(std::int64_t n) { return std::to_string(n); }

// An amount the plan can hold: finite and within the cents a money field keeps.
bool valor_representavel(double x) { return std::isfinite(x) && scaled_units(x, 2).has_value(); }

}  // namespace

// ---- Properties ----

int Parcelas::Set_Data_Emissao(Date d) {
  if (!valid_date(d)) return set_error("Data de emissão inválida", 0, "Set_Data_Emissao");
  DATA_EMISSAO = d;
  return 1;
}

int Parcelas::Set_Total_Parcelar(double total) {
  if (std::isnan(total) || total < 0) return set_error("Total a parcelar negativo.", 0, "Set_Total_Parcelar");
  if (!valor_representavel(total)) return set_error("Total a parcelar inválido.", 0, "Set_Total_Parcelar");
  TOTAL_PARCELAR = r2(total);
  return 1;
}

int Parcelas::Set_Parcelas(std::int32_t n) {
  if (n <= 0) return set_error("Número de parcelas negativo ou zerado.", 0, "Set_Parcelas");
  if (n > kMaximoParcelas) {
    return set_error("Número de parcelas acima do limite de " + numero(kMaximoParcelas) + ".", 0, "Set_Parcelas");
  }
  NUMERO_PARCELAS = n;
  return 1;
}

int Parcelas::Set_Dias(std::int32_t dias) {
  if (dias < 0) return set_error("Dias entre as prestacoes negativo.", 0, "Set_Dias");
  DIAS = dias;
  return 1;
}

int Parcelas::Set_Primeira(std::int32_t dias) {
  if (dias < 0) return set_error("Número de dias para a 1ª parcela negativo.", 0, "Set_Primeira");
  PRIMEIRA = dias;
  return 1;
}

int Parcelas::Set_Juro(double juro) {
  if (std::isnan(juro) || juro < 0) return set_error("Percentual de juros negativo", 0, "Set_Juro");
  if (!std::isfinite(juro)) return set_error("Percentual de juros inválido.", 0, "Set_Juro");
  JURO = juro;
  return 1;
}

int Parcelas::Set_Tipo_Juro(std::int32_t tipo) {
  if (tipo < 1 || tipo > 3) return set_error("Tipo de juro inválido.", 0, "Set_Tipo_Juro");
  TIPO_JURO = tipo;
  return 1;
}

int Parcelas::Set_Dia_Mes(std::int32_t flag) {
  if (flag != 0 && flag != 1) return set_error("Valor inválido para o Flag", 0, "Set_Dia_Mes");
  DIA_MES = flag;
  return 1;
}

int Parcelas::Set_Quebra(std::int32_t quebra) {
  if (quebra < 1 || quebra > 4) return set_error("Tipo de quebra inválida.", 0, "Set_Quebra");
  QUEBRA = quebra;
  return 1;
}

int Parcelas::Set_Data_Primeira(Date d) {
  if (d == 0) {
    DATA_PRIMEIRA = 0;
    return 1;
  }
  if (!valid_date(d)) return set_error("Data da primeira parcela inválida.", 0, "Set_Data_Primeira");
  if (d < DATA_EMISSAO) {
    return set_error("Data da primeira parcela não pode ser inferior à " + data(DATA_EMISSAO), 0, "Set_Data_Primeira");
  }
  DATA_PRIMEIRA = d;
  return 1;
}

int Parcelas::Set_Codigo_Entidade(std::int32_t codigo) {
  if (codigo < 0) return set_error("Código Entidade zerado", 0, "Set_Codigo_Entidade");
  CODIGO_ENTIDADE = codigo;
  return 1;
}

int Parcelas::Set_Flag_Ignora_Quebra(std::int32_t flag) {
  if (flag != 0 && flag != 1) return set_error("Valor inválido para o Flag", 0, "Set_Flag_Ignora_Quebra");
  FLAG_IGNORA_QUEBRA = flag;
  return 1;
}

void Parcelas::Set_Nome_Entidade(std::string_view nome) { NOME_ENTIDADE = text::fit(nome, 256); }
void Parcelas::Set_Documento(std::string_view documento) { DOCUMENTO = text::fit(documento, 31); }
void Parcelas::Set_Conta(std::string_view conta) { CONTA = text::fit(conta, 31); }
void Parcelas::Set_Agencia_Plano(std::string_view agencia) { AGENCIA = text::fit(agencia, 31); }

int Parcelas::Checa_Propriedades() {
  if (TOTAL_PARCELAR == 0) return 1;
  const bool ok = Set_Data_Emissao(DATA_EMISSAO) && Set_Parcelas(NUMERO_PARCELAS) && Set_Dia_Mes(DIA_MES) &&
                  (DIA_MES != 0 || Set_Dias(DIAS)) && Set_Juro(JURO) && Set_Tipo_Juro(TIPO_JURO) &&
                  Set_Data_Primeira(DATA_PRIMEIRA) && (DATA_PRIMEIRA != 0 || Set_Primeira(PRIMEIRA)) &&
                  Set_Quebra(QUEBRA) && Set_Codigo_Entidade(CODIGO_ENTIDADE);
  if (ok) return 1;
  ERROR_FUNCTION = "Checa_Propriedades";
  return 0;
}

// ---- Building the plan ----

double Parcelas::soma_valores() const {
  double soma = 0;
  for (const QUEUE_PARCELAS& p : PARCELAS) soma += r2(p.VALOR);
  return r2(soma);
}

int Parcelas::distribui_diferenca(std::string_view funcao) {
  const double diferenca = r2(r2(TOTAL_PARCELADO) - soma_valores());
  if (diferenca == 0) return 1;
  const std::size_t n = PARCELAS.records();
  const bool adiante = quebra_na_primeira();
  if (n > 0 && diferenca > 0) {
    QUEUE_PARCELAS& inicio = PARCELAS.at(adiante ? 1 : n);
    inicio.VALOR = r2(inicio.VALOR + diferenca);
    return 1;
  }
  double resto = -diferenca;
  for (std::size_t k = 0; k < n && resto > 0; ++k) {
    QUEUE_PARCELAS& p = PARCELAS.at(adiante ? k + 1 : n - k);
    const double v = r2(p.VALOR);
    if (v > resto) {
      p.VALOR = r2(v - resto);
      return 1;
    }
    p.VALOR = kCentavo;
    resto = r2(resto - (v - kCentavo));
  }
  // Dropping what is left would leave installments that do not add up to
  // the amount to pay.
  return set_error(
      "Diferença de R$ " + valor(n > 0 ? -resto : diferenca) + " não pode ser distribuída entre as parcelas.", 0,
      funcao);
}

int Parcelas::Calcula_Parcelas() {
  constexpr std::string_view kFuncao = "Calcula_Parcelas";
  antes_da_edicao_.reset();
  PARCELAS.clear();
  TOTAL_PARCELADO = 0;
  ACRESCIMO = 0;
  if (!Checa_Propriedades()) {
    ERROR_FUNCTION = kFuncao;
    return 0;
  }
  const std::int32_t n = NUMERO_PARCELAS;
  const Date primeira = DATA_PRIMEIRA != 0 ? DATA_PRIMEIRA : add_days(DATA_EMISSAO, PRIMEIRA);
  const Date ultima = DIA_MES == 1 ? add_months(primeira, n - 1) : add_days(primeira, std::int64_t{n - 1} * DIAS);
  if (TOTAL_PARCELAR != 0 && (primeira == 0 || ultima == 0)) {
    return set_error("Vencimento das parcelas além da última data aceita (" + data(kLastDate) + ").", 0, kFuncao);
  }
  const double termo = round_to(static_cast<double>(ultima - DATA_EMISSAO) / 30.0, 4);

  double juros = 0;
  if (TIPO_JURO == 1 || TIPO_JURO == 2) {
    const double fator = TIPO_JURO == 1 ? JURO / 100 * termo + 1 : std::pow(1 + JURO / 100, termo);
    const double percentual = round_to((fator - 1) * 100, 2);
    juros = r2(percentual / 100 * TOTAL_PARCELAR);
  } else {
    juros = r2(JURO / 100 * TOTAL_PARCELAR);
  }
  if (!valor_representavel(juros) || !valor_representavel(TOTAL_PARCELAR + juros)) {
    return set_error("Juros calculados excedem o maior valor aceito.", 0, kFuncao);
  }

  const double total = r2(TOTAL_PARCELAR) + juros;
  const double media = total / n;
  const double parcela = round_to(media, QUEBRA <= 2 ? 2 : 1);  // to the cent, or to tens of cents
  if (QUEBRA <= 2 && media < kCentavo) return set_error("Parcelas com valor menor que R$ 0.01", 0, kFuncao);
  if (parcela < kCentavo) return set_error("Parcelas com valor menos que R$ 0.01", 0, kFuncao);

  for (std::int32_t i = 1; i <= n; ++i) {
    QUEUE_PARCELAS p;
    p.NUMERO = i;
    p.VENCIMENTO = DIA_MES == 1 ? add_months(primeira, i - 1) : add_days(primeira, std::int64_t{i - 1} * DIAS);
    p.VALOR = parcela;
    p.CONTA = CONTA;
    p.ENTIDADE = CODIGO_ENTIDADE;
    p.DOCUMENTO = DOCUMENTO;
    p.NOME_ENTIDADE = NOME_ENTIDADE;
    p.AGENCIA = AGENCIA;
    PARCELAS.add(std::move(p));
  }
  ACRESCIMO = juros;
  TOTAL_PARCELADO = r2(total);
  if (distribui_diferenca(kFuncao)) return 1;
  PARCELAS.clear();
  TOTAL_PARCELADO = 0;
  ACRESCIMO = 0;
  return 0;
}

// ---- Reading and writing one installment ----

int Parcelas::get(std::int32_t n, QUEUE_PARCELAS& parcela, std::string_view funcao) {
  if (n < 1) set_runtime_error(rt::kEntryNotFound);
  if (n < 1 || !PARCELAS.get(static_cast<std::size_t>(n), parcela)) {
    return set_error("Erro ao dar GET na QUEUE Parcelas " + std::string{last_runtime_message()}, 0, funcao);
  }
  return 1;
}

int Parcelas::put(std::int32_t n, QUEUE_PARCELAS parcela, std::string_view funcao) {
  if (n < 1) set_runtime_error(rt::kEntryNotFound);
  if (n < 1 || !PARCELAS.put(static_cast<std::size_t>(n), std::move(parcela))) {
    return set_error("Erro ao atualizar QUEUE parcelas  " + std::string{last_runtime_message()}, 0, funcao);
  }
  return 1;
}

template <typename Change>
int Parcelas::altera_parcela(std::int32_t n, std::string_view funcao, Change change) {
  QUEUE_PARCELAS parcela;
  if (!get(n, parcela, funcao)) return 0;
  change(parcela);
  return put(n, std::move(parcela), funcao);
}

int Parcelas::Set_Observacao_parcela(std::int32_t n, std::string_view observacao) {
  return altera_parcela(n, "Set_Observacao_parcela",
                        [&](QUEUE_PARCELAS& p) { p.OBSERVACAO = text::fit(observacao, 51); });
}

int Parcelas::Set_Entidade_Parcela(std::int32_t n, std::int32_t entidade) {
  return altera_parcela(n, "Set_Entidade_Parcela", [&](QUEUE_PARCELAS& p) { p.ENTIDADE = entidade; });
}

int Parcelas::Set_Nome_Entidade_Parcela(std::int32_t n, std::string_view nome) {
  return altera_parcela(n, "Set_Nome_Entidade_Parcela",
                        [&](QUEUE_PARCELAS& p) { p.NOME_ENTIDADE = text::fit(nome, 256); });
}

int Parcelas::Set_Conta_Parcela(std::int32_t n, std::string_view conta) {
  return altera_parcela(n, "Set_Conta_Parcela", [&](QUEUE_PARCELAS& p) { p.CONTA = text::fit(conta, 31); });
}

int Parcelas::Set_Documento_Parcela(std::int32_t n, std::string_view documento) {
  return altera_parcela(n, "Set_Documento_Parcela", [&](QUEUE_PARCELAS& p) { p.DOCUMENTO = text::fit(documento, 31); });
}

int Parcelas::Set_Agencia(std::int32_t n, std::string_view agencia) {
  return altera_parcela(n, "Set_Agencia", [&](QUEUE_PARCELAS& p) { p.AGENCIA = text::fit(agencia, 31); });
}

// ---- Editing values ----

int Parcelas::Set_Valor_Parcela(std::int32_t n, double novo) {
  const std::size_t quantidade = PARCELAS.records();
  QUEUE_PARCELAS parcela;
  if (!get(n, parcela, "Set_Valor_Parcela")) return 0;
  const auto posicao = static_cast<std::size_t>(n);
  if (FLAG_IGNORA_QUEBRA == 0) {
    if (quebra_na_primeira() && posicao == 1) {
      return set_error("Não é possível alterar o valor da primeira parcela devido ao tipo de quebra utilizado.", 0,
                       "Set_Valor_Parcela");
    }
    if (!quebra_na_primeira() && posicao == quantidade) {
      return set_error("Não é possível alterar o valor da última parcela devido ao tipo de quebra utilizado.", 0,
                       "Set_Valor_Parcela");
    }
  }
  if (novo > TOTAL_PARCELAR + ACRESCIMO) {
    return set_error("Valor da parcela deve ser menor a total parcelado.", 0, "Set_Valor_Parcela");
  }
  double restante = 0;
  for (std::size_t i = posicao; i >= 1 && i <= quantidade; quebra_na_primeira() ? --i : ++i) {
    restante += r2(PARCELAS.at(i).VALOR);
  }
  if (r2(novo) > r2(restante)) {
    return set_error(" Valor informado maior ao total restante nas parcelas. ", 0, " Set_Valor_Parcela ");
  }
  if (!(novo > 0)) {
    return set_error(" Valor da parcela não pode ser menor ou igual que R$ 0.00 ", 0, "Set_Valor_Parcela");
  }
  std::vector<QUEUE_PARCELAS> antes(PARCELAS.begin(), PARCELAS.end());
  parcela.VALOR = r2(novo);
  if (!put(n, std::move(parcela), "Set_Valor_Parcela")) return 0;
  antes_da_edicao_ = std::move(antes);
  return 1;
}

int Parcelas::Recalcula_Parcelas_Seguintes(std::int32_t n) {
  constexpr std::string_view kFuncao = "Recalcula_Parcelas_Seguintes";
  const std::size_t quantidade = PARCELAS.records();
  QUEUE_PARCELAS parcela;
  if (!get(n, parcela, kFuncao)) return 0;
  const auto posicao = static_cast<std::size_t>(n);
  // The installments that keep their value and the ones recomputed.
  const std::size_t fixa_de = quebra_na_primeira() ? posicao : 1;
  const std::size_t fixa_ate = quebra_na_primeira() ? quantidade : posicao;
  double fixas = 0;
  for (std::size_t i = fixa_de; i <= fixa_ate; ++i) fixas += r2(PARCELAS.at(i).VALOR);
  const std::size_t k = quantidade - (fixa_ate - fixa_de + 1);

  std::vector<QUEUE_PARCELAS> entrada(PARCELAS.begin(), PARCELAS.end());
  auto desfaz = [&] {
    // Back to the last list that added up: before the edit that asked for
    // this recomputation when there was one.
    const std::vector<QUEUE_PARCELAS>& volta = antes_da_edicao_ ? *antes_da_edicao_ : entrada;
    PARCELAS.clear();
    for (const QUEUE_PARCELAS& p : volta) PARCELAS.add(p);
    antes_da_edicao_.reset();
    return 0;
  };
  if (k > 0) {
    const double cada = r2((r2(TOTAL_PARCELADO) - r2(fixas)) / static_cast<double>(k));
    if (cada < kCentavo) {
      set_error("Erro ao recalcular parcelas, valor não pode ser inferior a 0.01", 0, kFuncao);
      return desfaz();
    }
    for (std::size_t i = 1; i <= quantidade; ++i) {
      if (i < fixa_de || i > fixa_ate) PARCELAS.at(i).VALOR = cada;
    }
  }
  if (!distribui_diferenca(kFuncao)) return desfaz();
  antes_da_edicao_.reset();
  return 1;
}

int Parcelas::Set_Vencimento_Parcela(std::int32_t n, Date vencimento) {
  constexpr std::string_view kFuncao = "Set_Vencimento_Parcela";
  if (!valid_date(vencimento)) return set_error(" Data de vencimento inválida ", 0, kFuncao);
  QUEUE_PARCELAS parcela;
  if (!get(n, parcela, kFuncao)) return 0;
  if (PARCELAS.records() > 1 && DIA_MES == 1 && vencimento != parcela.VENCIMENTO) {
    return set_error("Não é possível alterar o vencimento da parcela utilizando o vencimento para o mesmo dia do mês.",
                     0, kFuncao);
  }
  // The first installment stays where the plan puts it: on the first date
  // when one is set, otherwise PRIMEIRA days after the issue date.
  const Date primeira = DATA_PRIMEIRA != 0 ? DATA_PRIMEIRA : add_days(DATA_EMISSAO, PRIMEIRA);
  if (n == 1 && vencimento != primeira) {
    return set_error(
        "|Não é possível alterar o vencimento da primeira parcela.|A data de vencimento não pode ser maior que o "
        "número de dias para a primeira parcela.|Dias para primeiro vencimento: " +
            numero(primeira - DATA_EMISSAO) + "|Dias informados: " + numero(vencimento - DATA_EMISSAO) + ".",
        0, kFuncao);
  }
  const Date anterior = parcela.VENCIMENTO;
  parcela.VENCIMENTO = vencimento;
  if (!put(n, parcela, kFuncao)) return 0;
  if (Checa_Valores()) {
    antes_da_edicao_.reset();
    return 1;
  }
  PARCELAS.at(static_cast<std::size_t>(n)).VENCIMENTO = anterior;
  return 0;
}

// ---- Checking, adding and removing ----

int Parcelas::checa_datas(const QUEUE_PARCELAS& p, const QUEUE_PARCELAS* anterior, std::string_view prefixo,
                          std::string_view funcao) {
  if (p.VENCIMENTO < DATA_EMISSAO) {
    return set_error(std::string{prefixo} + "Data " + data(p.VENCIMENTO) + " da Prestação nº " + numero(p.NUMERO) +
                         " menor que data de emissão " + data(DATA_EMISSAO) + " ",
                     0, funcao);
  }
  if (anterior != nullptr && p.VENCIMENTO < anterior->VENCIMENTO) {
    return set_error(std::string{prefixo} + "Data " + data(p.VENCIMENTO) + " da Prestação nº " + numero(p.NUMERO) +
                         " menor que Data " + data(anterior->VENCIMENTO) + " da Prestação nº " +
                         numero(anterior->NUMERO) + " ",
                     0, funcao);
  }
  return 1;
}

int Parcelas::Checa_Valores() {
  constexpr std::string_view kFuncao = "Checa_Valores";
  const std::size_t quantidade = PARCELAS.records();
  for (std::size_t i = 1; i <= quantidade; ++i) {
    const QUEUE_PARCELAS& p = PARCELAS.at(i);
    if (p.NUMERO != static_cast<std::int64_t>(i)) {
      return set_error(
          "Sequência nº " + numero(p.NUMERO) + " da prestação nº " + numero(static_cast<std::int64_t>(i)) + " ", 0,
          kFuncao);
    }
    if (!checa_datas(p, i > 1 ? &PARCELAS.at(i - 1) : nullptr, "", kFuncao)) return 0;
    if (!(r2(p.VALOR) >= kCentavo)) {
      return set_error("Prestação nº " + numero(static_cast<std::int64_t>(i)) + " com valor nenor que R$ 0.01", 0,
                       kFuncao);
    }
  }
  const double soma = soma_valores();
  const double total = r2(TOTAL_PARCELAR + ACRESCIMO);
  if (soma != total) {
    return set_error("Valor acumulado das prestações R$ " + valor(soma) + "difere do total parcelado R$ " +
                         valor(total) + "|Diferença entre valores de R$ " + valor(r2(soma - total)) + " ",
                     0, kFuncao);
  }
  return 1;
}

int Parcelas::Adiciona_Parcela(const QUEUE_PARCELAS& nova) {
  constexpr std::string_view kFuncao = "Adiciona_Parcela";
  if (!Set_Data_Emissao(DATA_EMISSAO)) {
    ERROR_FUNCTION = kFuncao;
    return 0;
  }
  if (!valid_date(nova.VENCIMENTO)) return set_error("|Data de vencimento inválida", 0, kFuncao);
  if (nova.VENCIMENTO < DATA_EMISSAO) {
    return set_error("|Data menor que data de emissão " + data(DATA_EMISSAO) + " ", 0, kFuncao);
  }
  for (std::size_t i = 1; i <= PARCELAS.records(); ++i) {
    if (!checa_datas(PARCELAS.at(i), i > 1 ? &PARCELAS.at(i - 1) : nullptr, "|", kFuncao)) return 0;
  }
  if (!(nova.VALOR > 0) || !valor_representavel(nova.VALOR)) {
    return set_error("|Valor da Parcela está zerado ou negativo ", 0, kFuncao);
  }
  const double soma = r2(r2(TOTAL_PARCELADO) + r2(nova.VALOR));
  const double total = r2(r2(TOTAL_PARCELAR) + r2(ACRESCIMO));
  if (soma > total) {
    return set_error(
        "|A soma do valor da parcela mais total parcelado ultrapassa o valor total do pagamento.|Valor Soma: " +
            valor(soma) + "|Total Pagamento: " + valor(total),
        0, kFuncao);
  }
  QUEUE_PARCELAS p = nova;
  p.NUMERO = static_cast<std::int32_t>(PARCELAS.records()) + 1;
  p.VALOR = r2(nova.VALOR);
  PARCELAS.add(std::move(p));
  TOTAL_PARCELADO = soma;
  antes_da_edicao_.reset();
  return 1;
}

int Parcelas::Estorna_Parcela(std::int32_t n) {
  constexpr std::string_view kFuncao = "Estorna_Parcela";
  if (n <= 0) return set_error("Número parcela igual ou menor que zero", 0, kFuncao);
  QUEUE_PARCELAS parcela;
  if (!get(n, parcela, kFuncao)) return 0;
  PARCELAS.erase(static_cast<std::size_t>(n));
  TOTAL_PARCELADO = r2(TOTAL_PARCELADO - r2(parcela.VALOR));
  Renumera_Sequencia_parcelas();
  antes_da_edicao_.reset();
  return 1;
}

void Parcelas::Renumera_Sequencia_parcelas() {
  std::int32_t i = 0;
  for (QUEUE_PARCELAS& p : PARCELAS) p.NUMERO = ++i;
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
  antes_da_edicao_.reset();
  return 1;
}

int Parcelas::Limpa_Prestacoes() {
  PARCELAS.clear();
  TOTAL_PARCELADO = 0;
  antes_da_edicao_.reset();
  return 1;
}

}  // namespace fvn::payment
