#include "screens/consulta_credito.h"

#include <algorithm>

#include "runtime/picture.h"
#include "runtime/text.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";

}  // namespace

ConsultaCreditoPresenter::ConsultaCreditoPresenter(HostUi& ui, std::string connection, std::int32_t empresa,
                                                   UserAccount usuario)
    : ui_(ui), servicos_(std::move(connection), empresa), usuario_(std::move(usuario)) {}

void ConsultaCreditoPresenter::junta(const Bloqueio& bloqueio) {
  const auto same = std::find_if(restricoes_.begin(), restricoes_.end(),
                                 [&](const Bloqueio& b) { return b.motivo == bloqueio.motivo; });
  if (same == restricoes_.end()) {
    restricoes_.push_back(bloqueio);
  } else if (bloqueio.tipo == TipoBloqueio::Liberacao) {
    *same = bloqueio;  // the block outranks a warning with the same reason
  }
}

std::string ConsultaCreditoPresenter::verifica(std::int32_t cliente, const Autoriza& autoriza) {
  restricoes_.clear();
  liberacoes_.clear();
  using Check = int (ServicosCliente::*)(std::int32_t, Bloqueio&);
  // The credit-sale checks first: their cash-sale variants repeat them.
  constexpr Check checks[] = {
      &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO,
      &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_DIAS,
      &ServicosCliente::VERIFICA_BLOQUEIO_CIDADE,
      &ServicosCliente::VERIFICA_BLOQUEIO_IDADE,
      &ServicosCliente::VERIFICACAO_SPC_CLIENTE,
      &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_AVISTA,
      &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_DIAS_AVISTA,
  };
  for (const Check check : checks) {
    Bloqueio b;
    if ((servicos_.*check)(cliente, b) == 1) junta(b);
  }
  Bloqueio limite;
  if (servicos_.VERIFICA_BLOQUEIO_LIMITE_CREDITO(cliente, 0, limite) == 1) junta(limite);

  int avisos = 0;
  for (const Bloqueio& b : restricoes_) {
    if (b.tipo == TipoBloqueio::Aviso) {
      ++avisos;
      ui_.message(b.motivo, kAviso, MessageIcon::Exclamation);
      continue;
    }
    auto same = std::find_if(liberacoes_.begin(), liberacoes_.end(),
                             [&](const Liberacao& l) { return l.direito == b.direito; });
    if (same == liberacoes_.end()) {
      liberacoes_.push_back({b.direito, b.motivo, b.sem_permissao, {}});
    } else {
      same->motivos += "|" + b.motivo;
    }
  }
  std::string status = "Cliente " + std::to_string(cliente) + ": ";
  if (liberacoes_.empty()) status += "sem bloqueios";
  if (avisos > 0) status += (liberacoes_.empty() ? ", " : "") + std::to_string(avisos) + " aviso(s)";
  for (Liberacao& l : liberacoes_) {
    // The logged-in user learns first why they cannot release it themself.
    if (!tem_direito(usuario_, l.direito)) ui_.message(l.sem_permissao, kAviso, MessageIcon::Exclamation);
    l.liberado_por = autoriza(l);
    if (&l != &liberacoes_.front() || avisos > 0) status += "; ";
    status += std::string(tipo_liberacao(l.direito)) +
              (l.liberado_por.empty() ? std::string(" não liberado") : " liberado por " + l.liberado_por);
  }
  std::string mensagem;
  const double credito = servicos_.VERIFICA_CREDITO_CLIENTE(cliente, mensagem);
  if (credito > 0) status += "; crédito disponível " + text::trim(format_picture(credito, "@n12`2"));
  return status + ".";
}

}  // namespace fvn
