#include "screens/opcoes_nota.h"

#include <cmath>
#include <string>

#include "runtime/rounding.h"
#include "screens/autorizacao.h"
#include "screens/desconto_venda.h"
#include "screens/pagamento_comum.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";
constexpr std::string_view kConfirmaCancelamento = "Deseja realmente cancelar a nota fiscal?";
constexpr std::string_view kSemPermissaoNota = "O usuário não possui permissão para cancelar nota fiscal.";
constexpr std::string_view kLiberacaoItem = "Liberação para cancelamento de item na nota fiscal.";

}  // namespace

int JanelasVenda::OPCOES_NOTA(sale::CLASSE_VENDA& /*venda*/, ComissoesVenda& /*comissoes*/, std::int32_t& opcao) {
  opcao = OPCOES_NOTA::kNada;
  return 0;
}

int JanelasVenda::COMISSOES(ComissoesVenda& /*comissoes*/) { return 0; }

int JanelasVenda::CONSULTA_VENDAS_FUTURAS(fvn::CONSULTA_VENDAS_FUTURAS& /*consulta*/, ItensEntrega& /*itens*/) {
  return 0;
}

std::string_view OPCOES_NOTA::legenda(Botao botao) {
  switch (botao) {
    case Botao::CancelaItem: return "F2-Cancela Item";
    case Botao::CarregaNotaRejeitada: return "F6-Carrega Nota Rejeitada";
    case Botao::CarregaMultiplosPedidos: return "F7-Carrega Múltiplos Pedidos";
    case Botao::CancelaNota: return "F8-Cancela Nota";
    case Botao::CarregaOrdem: return "F9-Carrega Ordem de Serviço";
    case Botao::CarregaPedido: return "F10-Carrega Pedido";
    case Botao::Comissoes: return "F11-Comissões";
    case Botao::Fechar: return "F12-Fechar";
  }
  return {};
}

OPCOES_NOTA::OPCOES_NOTA(HostUi& ui, JanelasVenda& janelas, const ModuleValues& valores, sale::CLASSE_VENDA& venda,
                         ComissoesVenda& comissoes, std::int32_t& opcao)
    : ui_(ui), janelas_(janelas), valores_(valores), venda_(venda), comissoes_(comissoes), opcao_(opcao) {
  com_itens_ = venda_.Get_Quantidade_Itens() > 0;
  itens_vivos_ = com_itens_ && venda_.Calcula_Qtde_Itens_Vendidos() > 0;
}

bool OPCOES_NOTA::habilitado(Botao botao) const {
  switch (botao) {
    case Botao::CancelaItem: return itens_vivos_;
    case Botao::CancelaNota:
    case Botao::Comissoes: return com_itens_;
    case Botao::CarregaNotaRejeitada:
    case Botao::CarregaOrdem:
    case Botao::CarregaPedido:
    case Botao::CarregaMultiplosPedidos: return !com_itens_;
    case Botao::Fechar: return true;
  }
  return false;
}

bool OPCOES_NOTA::pressiona(Botao botao) {
  if (!habilitado(botao)) return false;
  foco_ = botao;
  switch (botao) {
    case Botao::CancelaItem: return cancela_item();
    case Botao::CancelaNota: return cancela_nota();
    case Botao::Comissoes:
      opcao_ = kComissoes;
      janelas_.COMISSOES(comissoes_);
      return false;
    case Botao::CarregaNotaRejeitada: opcao_ = kNotaRejeitada; return true;
    case Botao::CarregaOrdem: opcao_ = kOrdemServico; return true;
    case Botao::CarregaPedido: opcao_ = kPedido; return true;
    case Botao::CarregaMultiplosPedidos: opcao_ = kMultiplosPedidos; return true;
    case Botao::Fechar: opcao_ = kNada; return true;
  }
  return false;
}

bool OPCOES_NOTA::falha(std::string_view contexto, std::string_view titulo) {
  ui_.message(falha_venda(contexto, venda_), titulo, MessageIcon::Error);
  return false;
}

bool OPCOES_NOTA::cancela_item() {
  std::int32_t item = 0;
  if (SETA_ITEM_CANCELAR(ui_, venda_, item) != 1 || item == 0) return false;

  // A user without the right needs a supervisor; the release goes to the
  // item first, so that no item is cancelled without its trace.
  if (valores_.CANCELA_ITEM == 0) {
    UserAccount supervisor;
    sale::GRUPO_DADOS_LIBERACAO liberacao;
    const std::string motivo = "Item " + std::to_string(item);
    if (janelas_.AUTENTICACAO(Direito::CancelaItem, kLiberacaoItem, motivo, supervisor, liberacao) != 1) return false;
    completa_liberacao(liberacao, valores_, supervisor);
    liberacao.TIPO_LIBERACAO = tipo_liberacao(Direito::CancelaItem);
    if (venda_.Seta_Dados_Liberacao_Cancelamento(liberacao, item) != 1) {
      return falha("Erro ao setar dados da liberação de cancelamento de item.", "Erro");
    }
  }

  if (venda_.Cancela_Item(item) != 1) return falha("Erro ao cancelar item na nota fiscal.", "Erro");

  // The sale-level values were shares of a total that no longer exists.
  if (venda_.Set_Desconto_Venda(0) != 1) {
    return falha("Erro ao setar valor de desconto no total da venda.", "Erro");
  }
  if (venda_.Set_Desp_Acessorias_Venda(0) != 1) return falha("Erro ao setar despesas acessórias.", "Erro!");
  if (venda_.Set_Acrescimo_Venda(0) != 1) {
    return falha("Erro ao setar valor de acréscimo no total da venda.", "Erro");
  }
  opcao_ = kItemCancelado;
  return true;
}

bool OPCOES_NOTA::cancela_nota() {
  if (valores_.I_PAR_PERMITE_CANC_CF != 1) {
    UserAccount supervisor;
    sale::GRUPO_DADOS_LIBERACAO liberacao;
    if (janelas_.AUTENTICACAO(Direito::Autenticacao, kSemPermissaoNota, {}, supervisor, liberacao) != 1) return false;
    if (!tem_direito(supervisor, Direito::CancelaItem)) {
      ui_.message(kSemPermissaoNota, "Atenção", MessageIcon::Exclamation);
      return false;
    }
  }
  if (ui_.message(kConfirmaCancelamento, kAviso, MessageIcon::Question, "&Sim|&Não", 2) != 1) return false;
  opcao_ = kCancelaNota;
  return true;
}

std::string COMISSOES::rotulo(int n) { return "% Comissão " + std::to_string(n) + ":"; }

double COMISSOES::valor(int n) const {
  if (n < 1 || n > kCampos) return 0;
  return comissoes_[static_cast<std::size_t>(n - 1)];
}

bool COMISSOES::set_valor(int n, double percentual) {
  if (n < 1 || n > kCampos || !std::isfinite(percentual)) return false;
  const double p = round_to(percentual, 2);
  if (p < 0 || p > kMaximo) return false;
  comissoes_[static_cast<std::size_t>(n - 1)] = p;
  return true;
}

}  // namespace fvn
