// Classe_Balanca: the checkout scale, one weight in kilograms per request.
//
// Models: 1 reads a serial scale, 2 is not defined, 3 simulates a weight,
// 4 asks the operator through HostUi ("Balança Virtual - Usuário").
//
// Model 1 knows no protocol of its own: the request to send and the reading
// of the answer are expressions of the configuration (runtime/expression.h),
// evaluated with the answer bound as P. The port COMn is the device path
// configured for it (a serial port, a USB adapter or a pseudo-terminal); it
// is opened raw with the baud rate, data bits, parity and one stop bit of
// the configuration, the request is written, and the answer is read every
// poll interval until it arrives or the time-out passes (measured on the
// monotonic clock, so a reading across midnight or a clock change ends on
// time). Once bytes arrive, reading goes on until one poll interval brings
// nothing more, so an answer split over several reads is taken whole (at
// most 512 bytes). The port is closed on every path once opened.
//
// Configuration file, section [scale] (read by le_dados_balanca):
//   model, port (1..9), baud, data_bits, parity (1 none, 2 odd, 3 even,
//   4 not written), request, answer, divisor, poll_ms, timeout_ms, unstable,
//   overload, negative (expressions), com1 .. com9 (device paths; default
//   /dev/ttyS0 .. /dev/ttyS8).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace fvn {
class HostUi;
class IniFile;
}  // namespace fvn

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
  // Device paths of COM1..COM9.
  std::array<std::string, 9> dispositivos{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3", "/dev/ttyS4",
                                          "/dev/ttyS5", "/dev/ttyS6", "/dev/ttyS7", "/dev/ttyS8"};
};

// The [scale] section of a configuration file; keys left out keep the
// defaults of DadosBalanca.
DadosBalanca le_dados_balanca(const IniFile& config);

// The port settings as text: "COM1:9600,N,8,1"; no parity item for parity 4
// ("COM2:4800,7,1").
std::string texto_porta(const DadosBalanca& dados);

class Classe_Balanca {
 public:
  // Texts of the operator's window (model 4).
  static constexpr const char* kTituloJanela = "Balança Virtual - Usuário";

  std::string ERROR;
  std::int32_t ERROR_CODE = 0;
  DadosBalanca DADOS;

  void Configura(const DadosBalanca& dados) { DADOS = dados; }
  // Where model 4 asks the operator; without one, the reading is cancelled.
  void Set_Ui(HostUi* ui) { ui_ = ui; }

  // 1 with `peso` set, or 0 with ERROR set.
  int Get_Peso(double& peso);
  [[nodiscard]] const std::string& Get_Error() const { return ERROR; }

 private:
  int leitura_direta(double& peso);
  int falha(std::string texto);

  HostUi* ui_ = nullptr;
};

}  // namespace fvn::devices
