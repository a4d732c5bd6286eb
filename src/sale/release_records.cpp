// Release records: who authorised a sale-level discount, the cancellation of
// the sale or a credit sale (kept by the facade), and who authorised an
// item's discount or cancellation (kept in the item record by the sale
// object). Each record is checked field by field with the texts below; an
// accepted record gets the sale's context appended to OUTROS_DADOS.
#include <string>

#include "records/release_record.h"
#include "runtime/picture.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"
#include "sale/classe_item.h"
#include "sale/classe_venda.h"

namespace fvn::sale {

namespace {

constexpr std::string_view kEmpresa = "A empresa em que a operação de liberação foi efetuada não foi informada.";
constexpr std::string_view kTipo = "O tipo de liberação que foi efetuada não foi informada.";

constexpr ReleaseMessages kDescontoVenda{
    "A data de liberação de cancelamento na venda não foi informada.",
    "A hora de liberação de cancelamento na venda não foi informada.",
    "O operador logado no momento do cancelamento de desconto na venda não foi informado.",
    "O usuário logado no momento do cancelamento de desconto na venda não foi informado.",
    "O operador que liberou o cancelamento na venda não foi informado.",
    "O usuário que liberou o cancelamento na venda não foi informado.",
    kEmpresa,
    kTipo};

// Cancelling the sale does not name who authorised it.
constexpr ReleaseMessages kCancelamentoVenda{
    "A data de liberação de cancelamento na venda não foi informada.",
    "A hora de liberação de cancelamento na venda não foi informada.",
    "O operador logado no momento do cancelamento de desconto na venda não foi informado.",
    "A usuário logado no momento do cancelamento de desconto na venda não foi informado.",
    "",
    "",
    kEmpresa,
    kTipo};

constexpr ReleaseMessages kVendaPrazo{"A data de liberação não foi informada.",
                                      "A hora de liberação não foi informada.",
                                      "O operador logado no momento da liberação não foi informado.",
                                      "O usuário logado no momento da liberação não foi informado.",
                                      "O operador que liberou não foi informado.",
                                      "O usuário que liberou o não foi informado.",
                                      kEmpresa,
                                      kTipo};

constexpr ReleaseMessages kDescontoItem{
    "A data de liberação de desconto do item não foi informada.",
    "A hora de liberação de desconto do item não foi informada.",
    "O operador logado no momento da liberação de desconto do item não foi informado.",
    "A usuário logado no momento da liberação de desconto do item não foi informado.",
    "O operador que liberou o desconto do item não foi informado.",
    "O usuário que liberou o desconto do item não foi informado.",
    kEmpresa,
    kTipo};

constexpr ReleaseMessages kCancelamentoItem{
    "A data de liberação de cancelamento do item não foi informada.",
    "A hora de liberação de cancelamento do item não foi informada.",
    "O operador logado no momento da liberação de cancelamento do item não foi informado.",
    "O usuário logado no momento da liberação de cancelamento do item não foi informado.",
    "",
    "",
    kEmpresa,
    kTipo};

std::string valor(double x) { return text::trim(format_picture(x, "@n-15.2")); }

// The record as stored: the caller's OUTROS_DADOS followed by `contexto`.
GRUPO_DADOS_LIBERACAO com_contexto(const GRUPO_DADOS_LIBERACAO& liberacao, const std::string& contexto) {
  GRUPO_DADOS_LIBERACAO guardada = liberacao;
  guardada.OUTROS_DADOS = text::fit(liberacao.OUTROS_DADOS + contexto, 256);
  return guardada;
}

}  // namespace

// ---- Sale level, on the facade ----

int CLASSE_VENDA::Seta_Dados_Liberacao_Desconto(const GRUPO_DADOS_LIBERACAO& liberacao) {
  if (const auto falta = falta_na_liberacao(liberacao, kDescontoVenda); !falta.empty()) {
    return set_error(falta, 0, "Seta_Dados_Liberacao_Desconto");
  }
  GRUPO_DADOS_LIBERACAO_DESCONTO = com_contexto(liberacao, ". Emissor: " + std::to_string(EMISSOR.CODIGO));
  return 1;
}

int CLASSE_VENDA::Seta_Dados_Liberacao_Cancelamento(const GRUPO_DADOS_LIBERACAO& liberacao) {
  if (const auto falta = falta_na_liberacao(liberacao, kCancelamentoVenda); !falta.empty()) {
    return set_error(falta, 0, "Seta_Dados_Liberacao_Cancelamento");
  }
  GRUPO_DADOS_LIBERACAO_CANCELAMENTO =
      com_contexto(liberacao, ". Emissor: " + std::to_string(EMISSOR.CODIGO) +
                                  ". Valor Total: " + valor(TOTAIS_VENDA.TOTAL_LIQUIDO_ITENS));
  return 1;
}

int CLASSE_VENDA::Seta_Dados_Liberacao_Venda_Prazo(const GRUPO_DADOS_LIBERACAO& liberacao) {
  if (const auto falta = falta_na_liberacao(liberacao, kVendaPrazo); !falta.empty()) {
    return set_error(falta, 0, "Seta_Dados_Liberacao_Venda_Prazo");
  }
  GRUPO_DADOS_LIBERACAO_VENDA_PRAZO = liberacao;
  return 1;
}

int CLASSE_VENDA::Seta_Dados_Liberacao_Desconto(const GRUPO_DADOS_LIBERACAO& liberacao, std::int32_t item) {
  if (!ITEM->Seta_Dados_Liberacao_Desconto(liberacao, item)) return falha("", *ITEM, ITEM->ERROR_FUNCTION);
  return 1;
}

int CLASSE_VENDA::Seta_Dados_Liberacao_Cancelamento(const GRUPO_DADOS_LIBERACAO& liberacao, std::int32_t item) {
  if (!ITEM->Seta_Dados_Liberacao_Cancelamento(liberacao, item)) return falha("", *ITEM, ITEM->ERROR_FUNCTION);
  return 1;
}

// ---- Item level, on the sale object ----

int CLASSE_ITEM::Seta_Dados_Liberacao_Desconto(const GRUPO_DADOS_LIBERACAO& liberacao, std::int32_t numero) {
  constexpr std::string_view kFuncao = "Seta_Dados_Liberacao_Desconto";
  if (numero == 0) return set_error("Nenhum item foi informado", 0, kFuncao);
  if (const auto falta = falta_na_liberacao(liberacao, kDescontoItem); !falta.empty()) {
    return set_error(falta, 0, kFuncao);
  }
  const std::size_t posicao = ITENS.find(&QUEUE_ITEM::NUMERO, numero);
  if (posicao == 0) return set_error("Erro ao buscar item na queue de itens.", 0, kFuncao);
  QUEUE_ITEM item = ITENS.at(posicao);
  item.DADOS_LIBERACAO_DESCONTO = com_contexto(
      liberacao, ". Emissor: " + std::to_string(EMISSOR.CODIGO) + ". Item: " + std::to_string(numero) + ".");
  if (!ITENS.put(posicao, std::move(item))) {
    return set_error("Erro ao atualizar item " + std::string{last_runtime_message()}, 0, kFuncao);
  }
  return 1;
}

int CLASSE_ITEM::Seta_Dados_Liberacao_Cancelamento(const GRUPO_DADOS_LIBERACAO& liberacao, std::int32_t numero) {
  constexpr std::string_view kFuncao = "Seta_Dados_Liberacao_Cancelamento";
  if (numero == 0) return set_error("Nenhum item foi informado", 0, kFuncao);
  if (const auto falta = falta_na_liberacao(liberacao, kCancelamentoItem); !falta.empty()) {
    return set_error(falta, 0, kFuncao);
  }
  const std::size_t posicao = ITENS.find(&QUEUE_ITEM::NUMERO, numero);
  if (posicao == 0) return set_error("Erro ao buscar item na queue de itens.", 0, kFuncao);
  QUEUE_ITEM item = ITENS.at(posicao);
  item.DADOS_LIBERACAO_CANCELAMENTO =
      com_contexto(liberacao, ". Emissor: " + std::to_string(EMISSOR.CODIGO) + ". Item: " + std::to_string(numero) +
                                  ", Código: " + item.CODIGO + ", Descrição: " + item.DESCRICAO +
                                  ", Total Item: " + valor(item.TOTAL_LIQUIDO_VENDA));
  if (!ITENS.put(posicao, std::move(item))) {
    return set_error("Erro ao atualizar item " + std::string{last_runtime_message()}, 0, kFuncao);
  }
  return 1;
}

}  // namespace fvn::sale
