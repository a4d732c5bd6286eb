#include "sale/classe_item.h"

#include <charconv>
#include <cmath>

#include "runtime/rounding.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn::sale {

namespace {

constexpr std::string_view kVendeItem = "Vende_Item";
constexpr std::int32_t kCorPadrao = -1;

// A text read as a number the way the runtime converts it: the whole
// (trimmed) text must be a number, anything else reads as 0.
double numero_do_texto(std::string_view texto) {
  const std::string trimmed = text::trim(texto);
  double numero = 0;
  const char* end = trimmed.data() + trimmed.size();
  const auto [ptr, ec] = std::from_chars(trimmed.data(), end, numero);
  if (ec != std::errc{} || ptr != end || !std::isfinite(numero)) return 0;
  return numero;
}

bool vazio(std::string_view texto) { return text::trim(texto).empty(); }

std::string com_erro_runtime(std::string_view mensagem) {
  return std::string{mensagem} + std::string{last_runtime_message()};
}

}  // namespace

CLASSE_ITEM::CLASSE_ITEM()
    : CLASSE_FORMATA(std::make_unique<SaleFormatter>()), IMPOSTO(std::make_unique<tax::CALCULO_IMPOSTOS>()) {
  CLASSE_FORMATA->Prepara_Tabela_IBPT(*this);
}

CLASSE_ITEM::~CLASSE_ITEM() { SaleFormatter::remove_copia_ibpt(); }

int CLASSE_ITEM::Valida_Dados_Geral() {
  if (IMPOSTO->Valida_Dados_Geral()) return 1;
  return set_error(IMPOSTO->ERROR, 0, "Valida_Dados_Geral");
}

// Step 14: the gross value, by the emitter's rule.
int CLASSE_ITEM::calcula_bruto(QUEUE_ITEM& item) {
  if (emissor_ecf() && (EMISSOR.MARCA_ECF == 4 || EMISSOR.MARCA_ECF == 5)) {
    item.TOTAL_BRUTO = SaleFormatter::Arredonda_ABNT(item.UNITARIO * item.QUANTIDADE);
  } else if (emissor_ecf()) {
    // Other printer makes truncate to the cent: 3 x 0.333 gives 0.99.
    item.TOTAL_BRUTO = int_part(round_to(item.UNITARIO, 3) * round_to(item.QUANTIDADE, 3) * 100) / 100;
  } else {
    item.TOTAL_BRUTO = item.UNITARIO * item.QUANTIDADE;
  }
  if (!std::isfinite(item.TOTAL_BRUTO)) return set_error("Valor total do item inválido.", 0, kVendeItem);
  return 1;
}

int CLASSE_ITEM::abre_tabela_ibpt() {
  if (CLASSE_FORMATA->TABELA_IBPT.is_open()) return 1;
  if (!CLASSE_FORMATA->Prepara_Tabela_IBPT(*this)) return 0;
  if (!CLASSE_FORMATA->TABELA_IBPT.open(SaleFormatter::caminho_copia_ibpt())) {
    return set_error(com_erro_runtime("Erro ao abrir tabela IBPT! |"), 0, kVendeItem);
  }
  return 1;
}

// Step 23: approximate taxes of the item (consumer-information law).
int CLASSE_ITEM::impostos_aproximados(QUEUE_ITEM& item) {
  if (EMPRESA.USA_IMPOSTO_PRODUTO == 1) {
    if (!abre_tabela_ibpt()) return 0;
    const IbptRecord* linha = CLASSE_FORMATA->TABELA_IBPT.find(SaleFormatter::Somente_Numeros(item.NCM));
    item.TOTAL_APROX_IMPOSTOS =
        linha == nullptr ? 0.0 : item.TOTAL_LIQUIDO_VENDA * IbptTable::rate(linha->ALIQ_NAC) / 100;
  } else {
    item.TOTAL_APROX_IMPOSTOS =
        SaleFormatter::Arredonda_ABNT(item.TOTAL_LIQUIDO_VENDA * EMPRESA.PERC_APROX_IMPOSTOS / 100);
  }
  return 1;
}

int CLASSE_ITEM::Vende_Item(QUEUE_ITEM& item) {
  if (!Valida_Dados_Geral()) return 0;
  if (VENDEDOR.CODIGO == 0) return set_error("Vendedor não definido.", 0, kVendeItem);
  if (!(numero_do_texto(item.CODIGO) > 0)) return set_error("Código do item menor ou igual a zero.", 0, kVendeItem);
  if (vazio(item.DESCRICAO)) return set_error("Descrição do item vazia.", 0, kVendeItem);
  // A price that is not a number is refused even where 0 is allowed.
  if (!std::isfinite(item.UNITARIO) || (item.UNITARIO <= 0 && item.TIPO_PRODUTO != 2 && !emissor_ecf())) {
    return set_error("Valor unitário menor ou igual a zero.", 0, kVendeItem);
  }
  if (!std::isfinite(item.QUANTIDADE) || !(item.QUANTIDADE > 0)) {
    return set_error("Quantidade menor ou igual a zero.", 0, kVendeItem);
  }
  if (vazio(item.UNIDADE)) return set_error("Unidade do item vazia.", 0, kVendeItem);
  if (!std::isfinite(item.DESCONTO) || item.DESCONTO < 0) return set_error("Desconto menor que zero.", 0, kVendeItem);
  if (!std::isfinite(item.ACRESCIMO) || item.ACRESCIMO < 0) {
    return set_error("Acréscimo menor que zero.", 0, kVendeItem);
  }
  if (item.TIPO_PRODUTO < 1 || item.TIPO_PRODUTO > 3) return set_error("Tipo do Produto Inválido.", 0, kVendeItem);
  if (vazio(item.IAT)) return set_error("Índice de arredondamento e truncamento vazio.", 0, kVendeItem);
  if (vazio(item.IPPT)) return set_error("Índice de produção própria ou terceirizada vazio.", 0, kVendeItem);
  if (item.CANCELADO != 0) return set_error("Item marcado como cancelado não pode ser vendido.", 0, kVendeItem);

  if (!calcula_bruto(item)) return 0;
  if (emissor_ecf()) {
    if (item.ACRESCIMO >= item.TOTAL_BRUTO) {
      return set_error("Acréscimo do item maior que quantidade X valor unitário!", 0, kVendeItem);
    }
    if (item.ICMS.PERCENTUAL_RED_BC_ICMS != 0) {
      const double reduzida =
          item.ICMS.ALIQUOTA_ICMS - item.ICMS.ALIQUOTA_ICMS / 100 * item.ICMS.PERCENTUAL_RED_BC_ICMS;
      if (EMPRESA.ARREDONDA_BASE_CALCULO == 0 || EMPRESA.ARREDONDA_BASE_CALCULO == 1) {
        item.ICMS.ALIQUOTA_ICMS = round_to(reduzida, 0);
      } else if (EMPRESA.ARREDONDA_BASE_CALCULO == 2) {
        item.ICMS.ALIQUOTA_ICMS = round_to(reduzida, 2);
      }
    }
  }
  const double desconto = round_to(item.DESCONTO, 4);
  const double bruto = round_to(item.TOTAL_BRUTO, 4);
  if (desconto > bruto) return set_error("Desconto do item maior que quantidade X valor unitário!", 0, kVendeItem);
  if (desconto == bruto && item.TIPO_PRODUTO != 2 && !emissor_ecf()) {
    return set_error("Valor total do item igual valor do desconto!", 0, kVendeItem);
  }
  item.SUBTOTAL_ITEM = round_to(item.TOTAL_BRUTO - desconto + round_to(item.ACRESCIMO, 4), 2);
  item.DESCONTO_VENDA = 0;
  item.ACRESCIMO_VENDA = 0;
  item.FRETE_VENDA = 0;
  item.SEGURO_VENDA = 0;
  item.DESP_ACESSORIAS_VENDA = 0;
  item.TOTAL_LIQUIDO_VENDA = item.SUBTOTAL_ITEM;

  if (OPERACAO.TIPO == 7) {  // import: the import tax enters the unit price
    if (!IMPOSTO->II(item)) return set_error(IMPOSTO->ERROR, 0, kVendeItem);
    item.UNITARIO += round_to(item.II.VALOR_II / item.QUANTIDADE, 2);
    item.TOTAL_BRUTO = item.UNITARIO * item.QUANTIDADE;
    item.SUBTOTAL_ITEM = round_to(item.TOTAL_BRUTO - round_to(item.DESCONTO, 4) + round_to(item.ACRESCIMO, 4), 2);
    item.TOTAL_LIQUIDO_VENDA = item.SUBTOTAL_ITEM;
  }

  buffer_ = item;
  buffer_.NUMERO = static_cast<std::int32_t>(ITENS.records()) + 1;
  item.NUMERO = buffer_.NUMERO;
  if (!Valida_Total_Item()) return set_error("Valida total item |" + ERROR, 0, kVendeItem);
  if (!IMPOSTO->Calcula_Item(buffer_)) return set_error(IMPOSTO->ERROR, 0, kVendeItem);
  if (!impostos_aproximados(buffer_)) return 0;
  const std::int32_t fundo = buffer_.NUMERO % 2 == 1 ? COR_1 : COR_2;
  for (CORES_CAMPO& cores : buffer_.CORES) cores = {kCorPadrao, fundo, kCorPadrao, kCorPadrao};
  ITENS.add(buffer_);
  return Rateia_Valores_Venda();
}

int CLASSE_ITEM::Valida_Total_Item() {
  const double esperado = round_to(buffer_.TOTAL_BRUTO, 2) - buffer_.DESCONTO + buffer_.ACRESCIMO;
  if (round_to(buffer_.TOTAL_LIQUIDO_VENDA - esperado, 2) != 0) {
    return set_error(com_erro_runtime("Soma dos Valores do item inválida "), 0, "Valida_Total_Item");
  }
  return 1;
}

int CLASSE_ITEM::Cancela_Item(std::int32_t numero) {
  constexpr std::string_view kFuncao = " Cancela_Item ";
  if (numero <= 0) return set_error(com_erro_runtime(" Número do item menor ou igual a zero "), 0, kFuncao);
  QUEUE_ITEM item;
  if (!ITENS.get(static_cast<std::size_t>(numero), item)) {
    return set_error(com_erro_runtime(" Erro ao dar GET na QUEUE Itens "), 0, kFuncao);
  }
  if (item.CANCELADO != 0) return set_error(com_erro_runtime(" Item já Cancelado "), 0, kFuncao);
  item.CANCELADO = 1;
  for (CORES_CAMPO& cores : item.CORES) cores = {COR_CANCELADO, COR_CANCELADO, COR_CANCELADO, COR_CANCELADO};
  if (!ITENS.put(static_cast<std::size_t>(numero), std::move(item))) {
    return set_error(com_erro_runtime("Erro ao atualizar item "), 0, "Cancela_Item");
  }
  return Rateia_Valores_Venda();
}

std::int32_t CLASSE_ITEM::Calcula_Qtde_Itens_Vendidos() {
  std::int32_t vivos = 0;
  for (const QUEUE_ITEM& item : ITENS) {
    if (item.CANCELADO == 0) ++vivos;
  }
  return vivos;
}

int CLASSE_ITEM::Get_Item_Venda(std::int32_t numero, QUEUE_ITEM& item) {
  if (numero <= 0 || !ITENS.get(static_cast<std::size_t>(numero), item)) {
    if (numero <= 0) set_runtime_error(rt::kEntryNotFound);
    return set_error(com_erro_runtime("Erro ao dar get na queue itens "), 0, "Get_Item_Venda");
  }
  return 1;
}

std::int32_t CLASSE_ITEM::Get_Quantidade_Itens() const { return static_cast<std::int32_t>(ITENS.records()); }

double CLASSE_ITEM::Get_Quantidade_Produto(std::int32_t id_produto) const {
  double quantidade = 0;
  for (const QUEUE_ITEM& item : ITENS) {
    if (item.CANCELADO == 0 && item.ID_PRODUTO == id_produto) quantidade += item.QUANTIDADE;
  }
  return quantidade;
}

void CLASSE_ITEM::Set_Cores(std::int32_t cor_1, std::int32_t cor_2, std::int32_t cor_cancelado) {
  COR_1 = cor_1;
  COR_2 = cor_2;
  COR_CANCELADO = cor_cancelado;
}

int CLASSE_ITEM::Limpa_Itens() {
  CLASSE_FORMATA->TABELA_IBPT.close();
  ITENS.clear();
  VENDEDOR = {};
  Set_Acrescimo_Venda(0);
  Set_Juros_Venda(0);
  Set_Frete_Venda(0);
  Set_Seguro_Venda(0);
  Set_Desp_Acessorias_Venda(0);
  return Set_Desconto_Venda(0);
}

int CLASSE_ITEM::set_valor_venda(double& campo, double valor, std::string_view mensagem, std::string_view funcao) {
  if (!std::isfinite(valor) || valor < 0) return set_error(mensagem, 0, funcao);
  campo = valor;
  return Rateia_Valores_Venda();
}

int CLASSE_ITEM::Set_Desconto_Venda(double valor) {
  return set_valor_venda(DESCONTO_VENDA, valor, "Valor Inválido, Desconto menor que 0.", "Set_Desconto_Venda");
}

int CLASSE_ITEM::Set_Acrescimo_Venda(double valor) {
  return set_valor_venda(ACRESCIMO_VENDA, valor, "Valor Inválido, Acréscimo menor que 0 ", "Set_Acrescimo_Venda");
}

int CLASSE_ITEM::Set_Juros_Venda(double valor) {
  return set_valor_venda(JUROS_VENDA, valor, "Valor Inválido, Juros menor que 0 ", "Set_Juros_Venda");
}

int CLASSE_ITEM::Set_Frete_Venda(double valor) {
  return set_valor_venda(FRETE_VENDA, valor, "Valor inválido, frete menor que 0.", "Set_Frete_Venda");
}

int CLASSE_ITEM::Set_Seguro_Venda(double valor) {
  return set_valor_venda(SEGURO_VENDA, valor, "Valor inválido, seguro menor que 0.", "Set_Seguro_Venda");
}

int CLASSE_ITEM::Set_Desp_Acessorias_Venda(double valor) {
  return set_valor_venda(DESP_ACESSORIAS, valor, "Valor inválido, Despesas acessórias menor que 0.",
                         "Set_Desp_Acessorias_Venda");
}

int CLASSE_ITEM::Set_Dados_Cliente(const GRUPO_CLIENTE& cliente) {
  if (!IMPOSTO->Set_Dados_Cliente(cliente)) {
    return set_error(" Erro ao dar set no Cliente: |" + IMPOSTO->ERROR, 0, "Set_Dados_Cliente");
  }
  CLIENTE = cliente;
  return Calcula_Imposto_Item();
}

int CLASSE_ITEM::Set_Dados_Empresa(const GRUPO_EMPRESA& empresa) {
  if (!IMPOSTO->Set_Dados_Empresa(empresa)) {
    return set_error(" Erro ao dar set na Empresa: |" + IMPOSTO->ERROR, 0, "Set_Dados_Empresa");
  }
  EMPRESA = empresa;
  return Calcula_Imposto_Item();
}

int CLASSE_ITEM::Set_Dados_Operacao(const GRUPO_OPERACAO& operacao) {
  if (!IMPOSTO->Set_Dados_Operacao(operacao)) {
    return set_error(" Erro ao dar set na Operação: |" + IMPOSTO->ERROR, 0, "Set_Dados_Operacao");
  }
  OPERACAO = operacao;
  return Calcula_Imposto_Item();
}

int CLASSE_ITEM::Set_Dados_Emissor(const GRUPO_EMISSOR& emissor) {
  if (!IMPOSTO->Set_Dados_Emissor(emissor)) {
    return set_error(" Erro ao dar set no emissor: |" + IMPOSTO->ERROR, 0, "Set_Dados_Emissor");
  }
  EMISSOR = emissor;
  return 1;
}

int CLASSE_ITEM::Set_Finalidade_Operacao(std::int32_t finalidade) {
  if (!IMPOSTO->Set_Finalidade_Operacao(finalidade)) {
    return set_error("Erro ao dar Set na finaldade da operação|" + IMPOSTO->ERROR, 0, "Set_Finalidade_Operacao");
  }
  FINALIDADE_OPERACAO = finalidade;
  return Calcula_Imposto_Item();
}

int CLASSE_ITEM::Set_Dados_Vendedor(const GRUPO_VENDEDOR& vendedor) {
  if (vendedor.CODIGO <= 0) {
    return set_error(" Código do vendedor menor ou igual a zero " + ERROR, 0, "Set_Dados_Vendedor");
  }
  if (vazio(vendedor.NOME)) return set_error(" Nome do Vendedor vazio " + ERROR, 0, "Set_Dados_Vendedor");
  VENDEDOR = vendedor;
  return 1;
}

}  // namespace fvn::sale
