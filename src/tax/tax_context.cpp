// The parties of the tax calculator: each setter checks the whole group and
// copies it, or refuses it and keeps the group held before. The checks encode
// which operations each kind of emitter may use and how CFOPs are numbered.
#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "runtime/text.h"
#include "tax/calculo_impostos.h"
#include "tax/uf_table.h"

namespace fvn::tax {

namespace {

bool vazio(std::string_view texto) { return text::trim(texto).empty(); }

// Emitters that may issue entries and operations of any type (and any CFOP
// on the in-state industrialised field).
bool emissor_amplo(std::int32_t tipo) { return tipo == 2 || tipo == 3 || tipo == 8 || tipo == 9 || tipo == 10; }

char primeiro_digito(std::string_view cfop) {
  const std::string t = text::trim(cfop);
  return t.empty() ? '\0' : t.front();
}

struct CampoCfop {
  std::string sale::GRUPO_OPERACAO::*campo;
  std::string_view prefixo;
};

// The ten CFOPs in field order, each with the prefix of its validation error.
constexpr std::array<CampoCfop, 10> kCfops = {{
    {&sale::GRUPO_OPERACAO::CFOP_IND_DENTRO, "Erro em CFOP Industrializada Dentro do Estado|"},
    {&sale::GRUPO_OPERACAO::CFOP_IND_FORA, "Erro em CFOP Industrializada Fora do Estado|"},
    {&sale::GRUPO_OPERACAO::CFOP_ADQUIRIDO_DENTRO, "Erro em CFOP Adquirido Dentro do Estado|"},
    {&sale::GRUPO_OPERACAO::CFOP_ADQUIRIDO_FORA, "Erro em CFOP Adquirido Fora do Estado|"},
    {&sale::GRUPO_OPERACAO::CFOP_IND_ST_DENTRO, "Erro em CFOP Industrializado S.T Dentro do Estado|"},
    {&sale::GRUPO_OPERACAO::CFOP_IND_ST_FORA, "Erro em CFOP Industrializado S.T Fora do Estado|"},
    {&sale::GRUPO_OPERACAO::CFOP_ADQUIRIDO_ST_DENTRO, "Erro em CFOP Adquirido S.T Dentro do Estado|"},
    {&sale::GRUPO_OPERACAO::CFOP_ADQUIRIDO_ST_FORA, "Erro em CFOP Adquirido S.T Fora do Estado|"},
    {&sale::GRUPO_OPERACAO::CFOP_SERVICO_DENTRO, "Erro em CFOP Serviço Dentro do Estado|"},
    {&sale::GRUPO_OPERACAO::CFOP_SERVICO_FORA, "Erro em CFOP Serviço Fora do Estado|"},
}};

// The four goods CFOPs of each side: industrialised, acquired and both with ST.
constexpr std::array<std::string sale::GRUPO_OPERACAO::*, 4> kDentro = {
    &sale::GRUPO_OPERACAO::CFOP_IND_DENTRO, &sale::GRUPO_OPERACAO::CFOP_ADQUIRIDO_DENTRO,
    &sale::GRUPO_OPERACAO::CFOP_IND_ST_DENTRO, &sale::GRUPO_OPERACAO::CFOP_ADQUIRIDO_ST_DENTRO};
constexpr std::array<std::string sale::GRUPO_OPERACAO::*, 4> kFora = {
    &sale::GRUPO_OPERACAO::CFOP_IND_FORA, &sale::GRUPO_OPERACAO::CFOP_ADQUIRIDO_FORA,
    &sale::GRUPO_OPERACAO::CFOP_IND_ST_FORA, &sale::GRUPO_OPERACAO::CFOP_ADQUIRIDO_ST_FORA};

template <std::size_t N>
bool todos_iniciam(const sale::GRUPO_OPERACAO& op, const std::array<std::string sale::GRUPO_OPERACAO::*, N>& campos,
                   std::string_view digitos) {
  for (const auto campo : campos) {
    const char d = primeiro_digito(op.*campo);
    if (d == '\0' || digitos.find(d) == std::string_view::npos) return false;
  }
  return true;
}

struct Retencao {
  std::string_view nome;
  std::int32_t sale::GRUPO_EMPRESA::*usa;
  double sale::GRUPO_EMPRESA::*minimo;
  double sale::GRUPO_EMPRESA::*percentual;
};

constexpr std::array<Retencao, 4> kRetencoes = {{
    {"ISS", &sale::GRUPO_EMPRESA::UTILIZA_RETENCAO_ISS, &sale::GRUPO_EMPRESA::VALOR_MINIMO_ISS,
     &sale::GRUPO_EMPRESA::PERC_RETENCAO_ISS},
    {"INSS", &sale::GRUPO_EMPRESA::UTILIZA_RETENCAO_INSS, &sale::GRUPO_EMPRESA::VALOR_MINIMO_INSS,
     &sale::GRUPO_EMPRESA::PERC_RETENCAO_INSS},
    {"IR", &sale::GRUPO_EMPRESA::UTILIZA_RETENCAO_IR, &sale::GRUPO_EMPRESA::VALOR_MINIMO_IR,
     &sale::GRUPO_EMPRESA::PERC_RETENCAO_IR},
    {"CSLL", &sale::GRUPO_EMPRESA::UTILIZA_RETENCAO_CSLL, &sale::GRUPO_EMPRESA::VALOR_MINIMO_CSLL,
     &sale::GRUPO_EMPRESA::PERC_RETENCAO_CSLL},
}};

// A filled amount: non-zero and a number (a NaN would pass "non-zero" and
// reach every withholding of the sale).
bool preenchido(double valor) { return valor != 0 && std::isfinite(valor); }

}  // namespace

int CALCULO_IMPOSTOS::Set_Dados_Emissor(const sale::GRUPO_EMISSOR& emissor) {
  constexpr std::string_view kFuncao = "Set_Dados_Emissor";
  if (emissor.CODIGO < 1) return set_error("Código do emissor inválido", 0, kFuncao);
  if (emissor.TIPO < 1 || emissor.TIPO > 11) return set_error("Tipo de emissor inválido.", 0, kFuncao);
  EMISSOR = emissor;
  return 1;
}

int CALCULO_IMPOSTOS::Set_Dados_Operacao(const sale::GRUPO_OPERACAO& op) {
  constexpr std::string_view kFuncao = "Set_Dados_Operacao";
  if (op.CODIGO < 1) return set_error("Código da operação inválida", 0, kFuncao);
  if (vazio(op.DESCRICAO)) return set_error("Descrição da operação não preenchida", 0, kFuncao);
  if (op.TIPO < 1 || op.TIPO > 8) return set_error("Tipo da operação inválida", 0, kFuncao);
  if (op.TIPO_MOVIMENTO != 1 && op.TIPO_MOVIMENTO != 2) {
    return set_error("Tipo do movimento operação inválido, deve ser ( Entrada/Saída )", 0, kFuncao);
  }
  const bool entrada = op.TIPO_MOVIMENTO == 1;
  if (!emissor_amplo(EMISSOR.TIPO)) {
    if (entrada) return set_error("Tipo do movimento operação inválido para este tipo de emissor ", 0, kFuncao);
    if (op.TIPO != 1) return set_error("Tipo da operação inválido para este tipo de emissor ", 0, kFuncao);
  }
  // A blank CFOP is not sent to the validator: the goods CFOPs are caught by
  // the first-digit rules below, and a blank service CFOP is allowed for an
  // operation that sells no services.
  for (const CampoCfop& c : kCfops) {
    if (vazio(op.*c.campo)) continue;
    if (!VALIDADOR->Valida_CFOP(op.*c.campo)) return set_error(std::string{c.prefixo} + VALIDADOR->ERROR, 0, kFuncao);
  }
  if (!entrada && op.OPERACAO_EXPORTACAO == 0 && !todos_iniciam(op, kFora, "6")) {
    return set_error("CFOP Interestadual em operação de Saída deve Iniciar com digito 6. ", 0, kFuncao);
  }
  if (entrada && !todos_iniciam(op, kFora, "23")) {
    return set_error("CFOP Interestadual em operação de Entrada deve Iniciar com digito 2 ou 3. ", 0, kFuncao);
  }
  if (entrada && !todos_iniciam(op, kDentro, "1")) {
    return set_error("CFOP Estadual em operação de Entrada deve Iniciar com digito 1. ", 0, kFuncao);
  }
  if (!entrada && !todos_iniciam(op, kDentro, "5")) {
    return set_error("CFOP Estadual em operação de Saída deve Iniciar com digito 5. ", 0, kFuncao);
  }
  if (!emissor_amplo(EMISSOR.TIPO) && primeiro_digito(op.CFOP_IND_DENTRO) != '5') {
    return set_error("CFOP Inválida, para este tipo de Emissor, CFOP deve iniciar com 5 ", 0, kFuncao);
  }
  OPERACAO = op;
  return 1;
}

int CALCULO_IMPOSTOS::Set_Dados_Empresa(const sale::GRUPO_EMPRESA& e) {
  constexpr std::string_view kFuncao = "Set_Dados_Empresa";
  if (e.CODIGO < 1) return set_error("Código da Empresa Inválido", 0, kFuncao);
  if (e.RAMO < 1 || e.RAMO > 6) return set_error("Ramo da Empresa Inválido", 0, kFuncao);
  if (e.TIPO != 1 && e.TIPO != 2) return set_error("Tipo da Empresa Inválido", 0, kFuncao);
  if (e.TIPO == 1 && !(e.ALIQUOTA_SIMPLES > 0 && std::isfinite(e.ALIQUOTA_SIMPLES))) {
    return set_error("Alíquota Simples da Empresa Menor ou Igual a Zero", 0, kFuncao);
  }
  if (vazio(e.UF)) return set_error("UF da Empresa não preenchida", 0, kFuncao);
  if (!uf_valida(text::trim(e.UF))) return set_error("UF da Empresa Inválida", 0, kFuncao);
  if (vazio(e.CEP)) return set_error("CEP da Empresa não preenchido", 0, kFuncao);
  if (e.MUNICIPIO == 0) return set_error("Código do Município da Empresa não preenchido", 0, kFuncao);
  if (!VALIDADOR->Valida_Municipio(std::to_string(e.MUNICIPIO))) return set_error(VALIDADOR->ERROR, 0, kFuncao);
  const std::string im = text::trim(e.IM);
  if (vazio(e.IE) && (im.empty() || im == "0")) {
    return set_error("Inscrições Estadual e Municipal da Empresa não preenchidas", 0, kFuncao);
  }
  if (!vazio(e.IE) && !VALIDADOR->Valida_IE(e.IE, text::trim(e.UF))) return set_error(VALIDADOR->ERROR, 0, kFuncao);
  for (const Retencao& r : kRetencoes) {
    if (e.*r.usa != 1) continue;
    if (!preenchido(e.*r.minimo)) {
      return set_error("Valor Mínimo de " + std::string{r.nome} + " não preenchido", 0, kFuncao);
    }
    if (!preenchido(e.*r.percentual)) {
      return set_error("Percentual de Retenção de " + std::string{r.nome} + " não preenchido", 0, kFuncao);
    }
  }
  EMPRESA = e;
  return 1;
}

int CALCULO_IMPOSTOS::Set_Dados_Cliente(const sale::GRUPO_CLIENTE& cliente) {
  constexpr std::string_view kFuncao = "Set_Dados_Cliente";
  if (cliente.CODIGO < 1) return set_error("Código do cliente inválido", 0, kFuncao);
  if (cliente.TIPO < 1 || cliente.TIPO > 3) return set_error("Tipo do cliente inválido", 0, kFuncao);
  CLIENTE = cliente;
  return 1;
}

int CALCULO_IMPOSTOS::Set_Dados(const sale::GRUPO_EMISSOR& emissor, const sale::GRUPO_OPERACAO& operacao,
                                const sale::GRUPO_EMPRESA& empresa, const sale::GRUPO_CLIENTE& cliente) {
  return Set_Dados_Emissor(emissor) && Set_Dados_Operacao(operacao) && Set_Dados_Empresa(empresa) &&
                 Set_Dados_Cliente(cliente)
             ? 1
             : 0;
}

int CALCULO_IMPOSTOS::Set_Finalidade_Operacao(std::int32_t finalidade) {
  if (finalidade != kConsumo && finalidade != kRevenda && finalidade != kOutras) {
    return set_error("Finalidade de operação não consta na lista de contantes.", 0, "Set_Finalidade_Operacao");
  }
  FINALIDADE_OPERACAO = finalidade;
  return 1;
}

// A party is held once its setter accepted it (every setter refuses a code
// below 1), so a code of 0 means the party was never given.
int CALCULO_IMPOSTOS::Valida_Dados_Geral() {
  constexpr std::string_view kFuncao = "Valida_Dados_Geral";
  if (EMISSOR.CODIGO < 1) return set_error("Emissor não definido.", 0, kFuncao);
  if (OPERACAO.CODIGO < 1) return set_error("Operação não definida.", 0, kFuncao);
  if (EMPRESA.CODIGO < 1) return set_error("Empresa não definida.", 0, kFuncao);
  if (CLIENTE.CODIGO < 1) return set_error("Cliente não definido.", 0, kFuncao);
  if (FINALIDADE_OPERACAO < kConsumo || FINALIDADE_OPERACAO > kOutras) {
    return set_error("Finalidade de operação não consta na lista de contantes.", 0, kFuncao);
  }
  return 1;
}

}  // namespace fvn::tax
