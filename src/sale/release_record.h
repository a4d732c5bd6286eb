// GRUPO_DADOS_LIBERACAO: who authorised a discount, a cancellation or a
// credit sale, when and why. Held per sale by the facade and per item in the
// item record; stored with the sale when it is recorded.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/clock.h"

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

}  // namespace fvn::sale
