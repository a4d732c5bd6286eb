#include "screens/autorizacao.h"

#include "runtime/clock.h"
#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "sale/classe_venda.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";

std::string_view sem_permissao(Direito direito) {
  switch (direito) {
    case Direito::Autenticacao: break;
    case Direito::Desconto: return "Usuário sem permissão para liberar desconto.";
    case Direito::CancelaItem: return "Usuário sem permissão para cancelar itens ou a venda.";
    case Direito::VendaPrazo: return "Usuário sem permissão para liberar venda a prazo.";
    case Direito::ClienteBloqueado: return "Usuário sem permissão para liberar venda a cliente bloqueado.";
    case Direito::EstoqueNegativo: return "Usuário sem permissão para liberar venda com estoque negativo.";
    case Direito::CadastraCliente: return "Usuário não possui permissão para cadastrar clientes.";
  }
  return {};
}

}  // namespace

bool tem_direito(const UserAccount& user, Direito direito) {
  switch (direito) {
    case Direito::Autenticacao: return true;
    case Direito::Desconto: return user.libera_desconto == 1;
    case Direito::CancelaItem: return user.cancela_item == 1;
    case Direito::VendaPrazo: return user.venda_prazo == 1;
    case Direito::ClienteBloqueado: return user.cliente_bloqueado == 1;
    case Direito::EstoqueNegativo: return user.estoque_negativo == 1;
    case Direito::CadastraCliente: return user.cadastra_cliente == 1;
  }
  return false;
}

std::string_view tipo_liberacao(Direito direito) {
  switch (direito) {
    case Direito::Autenticacao: return "Autenticação";
    case Direito::Desconto: return "Desconto Nota Fiscal";
    case Direito::CancelaItem: return "Cancelamento";
    case Direito::VendaPrazo: return "Venda a Prazo";
    case Direito::ClienteBloqueado: return "Cliente Bloqueado";
    case Direito::EstoqueNegativo: return "Estoque Negativo";
    case Direito::CadastraCliente: return "Cadastro de Cliente";
  }
  return {};
}

AutorizacaoPresenter::AutorizacaoPresenter(HostUi& ui, std::string connection, SessaoAtual sessao, Direito direito,
                                           std::string texto, std::string motivo)
    : ui_(ui),
      table_("AUTORIZACAO", std::move(connection)),
      sessao_(std::move(sessao)),
      direito_(direito),
      texto_(std::move(texto)),
      motivo_(std::move(motivo)) {}

AutorizacaoPresenter::Outcome AutorizacaoPresenter::submit(std::string_view login, std::string_view password) {
  const std::string name = text::trim(login);
  if (name.empty()) {
    ui_.message("Informe o usuário.", "Atenção", MessageIcon::Exclamation);
    return Outcome::Retry;
  }
  std::string error;
  UserAccount user;
  switch (check_login(table_, name, password, user, error)) {
    case LoginCheck::Failed: ui_.message(error, "Erro", MessageIcon::Error); return Outcome::Retry;
    case LoginCheck::Refused: {
      ++failures_;
      if (log_failed_login(table_, name, failures_, error) != 1) ui_.message(error, "Erro", MessageIcon::Error);
      if (failures_ >= kMaxAttempts) {
        ui_.message("Usuário ou senha inválidos.|Número máximo de tentativas excedido.", kAviso, MessageIcon::Error);
        return Outcome::Closed;
      }
      ui_.message("Usuário ou senha inválidos.|Tentativa " + std::to_string(failures_) + " de " +
                      std::to_string(kMaxAttempts) + ".",
                  kAviso, MessageIcon::Exclamation);
      return Outcome::Retry;
    }
    case LoginCheck::Accepted: break;
  }
  // Authorising one's own operation needs the flag even for a supervisor:
  // otherwise a cashier with rights could lend their session to anyone. A
  // plain authentication is a release too (the caller reads the flags).
  if (user.codigo == sessao_.operador && user.autoriza_propria != 1) {
    ui_.message("O usuário não pode autorizar uma operação da própria sessão.|Informe outro usuário.", kAviso,
                MessageIcon::Exclamation);
    return Outcome::Retry;
  }
  if (!tem_direito(user, direito_)) {
    ui_.message(sem_permissao(direito_), kAviso, MessageIcon::Exclamation);
    return Outcome::Retry;
  }
  supervisor_ = std::move(user);
  liberacao_ = {};
  liberacao_.DATA = today();
  liberacao_.HORA = clock_now();
  liberacao_.OPERADOR_LOGADO = sessao_.operador;
  liberacao_.USUARIO_LOGADO = text::cut(sessao_.usuario, 30);
  liberacao_.OPERADOR_LIBERACAO = supervisor_.codigo;
  liberacao_.USUARIO_LIBERACAO = text::cut(supervisor_.login, 30);
  liberacao_.CODIGO_EMPRESA = sessao_.empresa;
  liberacao_.TIPO_LIBERACAO = tipo_liberacao(direito_);
  liberacao_.MOTIVO_LIBERACAO = text::cut(motivo_, 256);
  return Outcome::Granted;
}

int libera_percentual(const UserAccount& supervisor, double pedido, double& liberado, std::string& motivo) {
  const double percentual = round_to(pedido, 2);
  if (percentual <= 0) {
    motivo = "Informe um percentual maior que zero.";
    return 0;
  }
  if (percentual >= 100) {
    motivo = "O percentual de desconto deve ser menor que 100%.";
    return 0;
  }
  if (supervisor.libera_desconto != 1) {
    motivo = "Usuário sem permissão para liberar desconto.";
    return 0;
  }
  if (percentual > round_to(supervisor.desconto_maximo, 2)) {
    motivo = "Percentual acima do máximo que o usuário pode liberar: " +
             text::trim(format_picture(supervisor.desconto_maximo, "@n12`2")) + "%.";
    return 0;
  }
  liberado = percentual;
  return 1;
}

int SETA_ITEM_CANCELAR(HostUi& ui, sale::CLASSE_VENDA& venda, std::int32_t& item) {
  item = 0;
  PickListRequest request{"Cancelar Item", {"Item", "Código", "Descrição", "Qtde", "Total"}, {}, 1, {}};
  std::vector<std::int32_t> numeros;
  sale::QUEUE_ITEM linha;
  for (std::int32_t i = 1; i <= venda.Get_Quantidade_Itens(); ++i) {
    if (venda.Get_Item_Venda(i, linha) != 1 || linha.CANCELADO != 0) continue;
    numeros.push_back(linha.NUMERO);
    request.rows.push_back({std::to_string(linha.NUMERO), linha.CODIGO, linha.DESCRICAO,
                            text::trim(format_picture(linha.QUANTIDADE, "@n12`3")),
                            text::trim(format_picture(linha.SUBTOTAL_ITEM, "@n12`2"))});
  }
  if (numeros.empty()) {
    ui.message("Nenhum item da venda pode ser cancelado.", kAviso, MessageIcon::Exclamation);
    return 0;
  }
  const int escolhido = ui.pick_list(request);
  if (escolhido < 1 || static_cast<std::size_t>(escolhido) > numeros.size()) return 0;
  item = numeros[static_cast<std::size_t>(escolhido) - 1];
  return 1;
}

}  // namespace fvn
