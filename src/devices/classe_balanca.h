// Classe_Balanca: the checkout scale, one weight in kilograms per request.
//
// What exists so far is the configuration and the model dispatch of Get_Peso
// (model 2 is not defined, unknown models are refused). Reading a serial
// scale (model 1), the simulated scale (model 3) and the weight typed by the
// operator (model 4) are not written yet and fail with a message.
#pragma once

#include <cstdint>
#include <string>

namespace fvn::devices {

// Scale configuration (the facade's DADOS_BALANCA).
struct DadosBalanca {
  std::int32_t modelo = 0;  // 1 serial, 2 not defined, 3 simulated, 4 typed by the operator
  std::int32_t porta = 0;   // 1..9: COM1..COM9
  std::int32_t velocidade = 0;
  std::int32_t bits_dados = 0;
  std::int32_t paridade = 0;  // 1 none, 2 odd, 3 even, 4 not written
  std::string expressao_solicitacao;
  std::string expressao_resposta;
  double divisor = 0;
  std::int32_t intervalo_ms = 0;
  std::int32_t timeout_ms = 0;
  std::string expressao_instavel;
  std::string expressao_excesso;
  std::string expressao_negativo;
};

class Classe_Balanca {
 public:
  std::string ERROR;
  std::int32_t ERROR_CODE = 0;
  DadosBalanca DADOS;

  void Configura(const DadosBalanca& dados) { DADOS = dados; }

  // 1 with `peso` set, or 0 with ERROR set.
  int Get_Peso(double& peso);
  [[nodiscard]] const std::string& Get_Error() const { return ERROR; }
};

}  // namespace fvn::devices
