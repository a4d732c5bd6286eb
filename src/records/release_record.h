// GRUPO_DADOS_LIBERACAO: who authorised a discount, a cancellation or a
// credit sale, when and why. Held per sale by the facade and per item in the
// item record; stored with the sale when it is recorded. OUTROS_DADOS gets
// the sale's context (emitter, item, totals) appended when it is set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/clock.h"
#include "runtime/text.h"

namespace fvn::sale {

struct GRUPO_DADOS_LIBERACAO {
  Date DATA = 0;
  Time HORA = 0;
  std::int32_t OPERADOR_LOGADO = 0;
  std::string USUARIO_LOGADO;
  std::int32_t OPERADOR_LIBERACAO = 0;
  std::string USUARIO_LIBERACAO;
  std::int32_t CODIGO_EMPRESA = 0;
  std::string TIPO_LIBERACAO;
  std::string MOTIVO_LIBERACAO;
  std::string OUTROS_DADOS;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("DATA", s.DATA);
    v("HORA", s.HORA);
    v("OPERADOR_LOGADO", s.OPERADOR_LOGADO);
    v("USUARIO_LOGADO", s.USUARIO_LOGADO, 30);
    v("OPERADOR_LIBERACAO", s.OPERADOR_LIBERACAO);
    v("USUARIO_LIBERACAO", s.USUARIO_LIBERACAO, 30);
    v("CODIGO_EMPRESA", s.CODIGO_EMPRESA);
    v("TIPO_LIBERACAO", s.TIPO_LIBERACAO, 150);
    v("MOTIVO_LIBERACAO", s.MOTIVO_LIBERACAO, 256);
    v("OUTROS_DADOS", s.OUTROS_DADOS, 256);
  }
};

// The texts a release record is checked with, in the order of the checks:
// date, time, operator and user logged in, operator and user who authorised,
// company, kind of release. An empty text skips that check.
struct ReleaseMessages {
  std::string_view data;
  std::string_view hora;
  std::string_view operador_logado;
  std::string_view usuario_logado;
  std::string_view operador_liberacao;
  std::string_view usuario_liberacao;
  std::string_view empresa;
  std::string_view tipo;
};

// The text of the first check `liberacao` fails, or an empty text when it
// passes them all.
inline std::string_view falta_na_liberacao(const GRUPO_DADOS_LIBERACAO& liberacao, const ReleaseMessages& m) {
  const auto vazio = [](std::string_view texto) { return text::trim(texto).empty(); };
  const std::pair<bool, std::string_view> checks[] = {
      {liberacao.DATA == 0, m.data},
      {liberacao.HORA == 0, m.hora},
      {liberacao.OPERADOR_LOGADO == 0, m.operador_logado},
      {vazio(liberacao.USUARIO_LOGADO), m.usuario_logado},
      {liberacao.OPERADOR_LIBERACAO == 0, m.operador_liberacao},
      {vazio(liberacao.USUARIO_LIBERACAO), m.usuario_liberacao},
      {liberacao.CODIGO_EMPRESA == 0, m.empresa},
      {vazio(liberacao.TIPO_LIBERACAO), m.tipo},
  };
  for (const auto& [falha, mensagem] : checks) {
    if (falha && !mensagem.empty()) return mensagem;
  }
  return {};
}

}  // namespace fvn::sale
