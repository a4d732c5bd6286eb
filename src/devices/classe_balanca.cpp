#include "devices/classe_balanca.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <random>
#include <thread>

#include <termios.h>

#include "runtime/expression.h"
#include "runtime/host_ui.h"
#include "runtime/ini_file.h"
#include "runtime/rounding.h"
#include "runtime/text.h"

namespace fvn::devices {

namespace {

constexpr std::size_t kTamanhoResposta = 512;
constexpr std::size_t kTamanhoSolicitacao = 101;
constexpr std::size_t kTamanhoTextoPeso = 101;

bool velocidade_termios(std::int32_t baud, speed_t& speed) {
  switch (baud) {
    case 1200: speed = B1200; return true;
    case 2400: speed = B2400; return true;
    case 4800: speed = B4800; return true;
    case 9600: speed = B9600; return true;
    case 19200: speed = B19200; return true;
    case 38400: speed = B38400; return true;
    case 57600: speed = B57600; return true;
    case 115200: speed = B115200; return true;
    default: return false;
  }
}

// A serial port opened raw and non-blocking; closed when it goes out of scope.
class PortaSerial {
 public:
  PortaSerial() = default;
  PortaSerial(const PortaSerial&) = delete;
  PortaSerial& operator=(const PortaSerial&) = delete;
  ~PortaSerial() {
    if (fd_ >= 0) ::close(fd_);
  }

  bool abre(const DadosBalanca& d) {
    if (d.porta < 1 || d.porta > 9) return false;
    speed_t speed = B9600;
    if (!velocidade_termios(d.velocidade, speed)) return false;
    tcflag_t tamanho = CS8;
    switch (d.bits_dados) {
      case 5: tamanho = CS5; break;
      case 6: tamanho = CS6; break;
      case 7: tamanho = CS7; break;
      case 8: tamanho = CS8; break;
      default: return false;
    }
    const std::string& caminho = d.dispositivos[static_cast<std::size_t>(d.porta - 1)];
    fd_ = ::open(caminho.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return false;
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return false;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= tamanho | CLOCAL | CREAD;
    if (d.paridade == 2) tio.c_cflag |= PARENB | PARODD;
    if (d.paridade == 3) tio.c_cflag |= PARENB;
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) return false;
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return false;
    ::tcflush(fd_, TCIOFLUSH);  // nothing left over from an earlier reading
    return true;
  }

  bool escreve(const std::string& dados) {
    const ssize_t n = ::write(fd_, dados.data(), dados.size());
    return n == static_cast<ssize_t>(dados.size());
  }

  // What has arrived, up to `maximo` bytes (empty when nothing).
  std::string le(std::size_t maximo) {
    std::string buffer(maximo, '\0');
    const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
    buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0U);
    return buffer;
  }

 private:
  int fd_ = -1;
};

std::int32_t inteiro(const IniFile& config, const char* key, std::int32_t fallback) {
  const auto value = read_number(config.get("scale", key));
  if (!value || *value < -2147483648.0 || *value > 2147483647.0) return fallback;
  return static_cast<std::int32_t>(*value);
}

}  // namespace

DadosBalanca le_dados_balanca(const IniFile& config) {
  DadosBalanca d;
  d.modelo = inteiro(config, "model", d.modelo);
  d.porta = inteiro(config, "port", d.porta);
  d.velocidade = inteiro(config, "baud", d.velocidade);
  d.bits_dados = inteiro(config, "data_bits", d.bits_dados);
  d.paridade = inteiro(config, "parity", d.paridade);
  d.expressao_solicitacao = config.get("scale", "request");
  d.expressao_resposta = config.get("scale", "answer");
  d.divisor = read_number(config.get("scale", "divisor")).value_or(d.divisor);
  d.intervalo_ms = inteiro(config, "poll_ms", d.intervalo_ms);
  d.timeout_ms = inteiro(config, "timeout_ms", d.timeout_ms);
  d.expressao_instavel = config.get("scale", "unstable");
  d.expressao_excesso = config.get("scale", "overload");
  d.expressao_negativo = config.get("scale", "negative");
  for (std::size_t i = 0; i < d.dispositivos.size(); ++i) {
    d.dispositivos[i] = config.get("scale", "com" + std::to_string(i + 1), d.dispositivos[i]);
  }
  return d;
}

std::string texto_porta(const DadosBalanca& d) {
  std::string t = "COM" + std::to_string(d.porta) + ":" + std::to_string(d.velocidade);
  if (d.paridade == 1) t += ",N";
  if (d.paridade == 2) t += ",O";
  if (d.paridade == 3) t += ",E";
  return t + "," + std::to_string(d.bits_dados) + ",1";
}

int Classe_Balanca::falha(std::string texto) {
  ERROR = std::move(texto);
  return 0;
}

int Classe_Balanca::Get_Peso(double& peso) {
  peso = 0;
  switch (DADOS.modelo) {
    case 1: return leitura_direta(peso);
    case 2: return falha("Função não definida");
    case 3: {
      static thread_local std::mt19937 gerador{std::random_device{}()};
      peso = static_cast<double>(std::uniform_int_distribution<int>(1000, 100000)(gerador)) / 1000.0;
      return 1;
    }
    case 4: {
      NumberRequest pedido;
      pedido.title = kTituloJanela;
      pedido.group = "Simulador de Balança:";
      pedido.prompt = "Digite o Peso:";
      pedido.decimals = 3;
      pedido.initial = 0.0;
      pedido.buttons = "&Ok|&Cancelar";
      const auto digitado = ui_ != nullptr ? ui_->ask_number(pedido) : std::nullopt;
      if (!digitado) return falha("Leitura cancelada pelo usuário");
      peso = round_to(*digitado, 3);
      return 1;
    }
    default: return falha("Modelo inválido ou não definido");
  }
}

int Classe_Balanca::leitura_direta(double& peso) {
  // Refused before any port is opened: dividing by it would give infinity.
  if (DADOS.divisor == 0) return falha("Divisor da balança igual a zero: configure o divisor do peso.");

  const ExpressionResult solicitacao = evaluate_expression(DADOS.expressao_solicitacao);
  if (!solicitacao.ok) return falha("Erro ao interpretar solicitação: " + solicitacao.error);
  const std::string pedido = solicitacao.value.substr(0, kTamanhoSolicitacao - 1);
  if (pedido.empty()) return falha("Solicitação vazia.");

  std::string resposta;
  {
    PortaSerial porta;
    if (!porta.abre(DADOS)) return falha("Erro ao abrir porta.");
    if (!porta.escreve(pedido)) return falha("Erro ao enviar solicitação.");
    using Clock = std::chrono::steady_clock;
    const auto intervalo = std::chrono::milliseconds(std::max(DADOS.intervalo_ms, 1));
    const auto limite = Clock::now() + std::chrono::milliseconds(std::max(DADOS.timeout_ms, 0));
    for (;;) {
      std::this_thread::sleep_for(intervalo);
      resposta = porta.le(kTamanhoResposta);
      if (!resposta.empty()) break;
      if (Clock::now() > limite) return falha("TimeOut, não obteve resposta da balança.");
    }
    // The rest of an answer that came in pieces.
    while (resposta.size() < kTamanhoResposta && Clock::now() <= limite) {
      std::this_thread::sleep_for(intervalo);
      const std::string resto = porta.le(kTamanhoResposta - resposta.size());
      if (resto.empty()) break;
      resposta += resto;
    }
  }

  const std::vector<ExpressionBinding> p{{"P", resposta}};
  const ExpressionResult texto_peso = evaluate_expression(text::clip(DADOS.expressao_resposta), p);
  if (!texto_peso.ok) return falha("Erro ao interpretar reposta: " + texto_peso.error);

  struct Estado {
    const std::string& expressao;
    const char* erro;
    const char* mensagem;
  };
  for (const Estado& estado : {Estado{DADOS.expressao_negativo, "Erro ao interpretar negativo: ", "Peso negativo."},
                               Estado{DADOS.expressao_instavel, "Erro ao interpretar instável: ", "Peso instável."},
                               Estado{DADOS.expressao_excesso, "Erro ao interpretar excesso: ", "Excesso de peso."}}) {
    if (text::trim(estado.expressao).empty()) continue;
    const ExpressionResult r = evaluate_expression(estado.expressao, p);
    if (!r.ok) return falha(estado.erro + r.error);
    if (int_part(read_number(r.value).value_or(0.0)) == 1) return falha(estado.mensagem);
  }

  // An answer that reads as no number is no weight (a garbled line must not
  // become a weight of zero).
  const std::string texto = text::clip(texto_peso.value.substr(0, kTamanhoTextoPeso - 1));
  const auto lido = read_number(texto);
  if (!lido) {
    std::string visivel = texto;  // the scale's bytes as a message can show them
    for (char& c : visivel) {
      if (c < 0x20 || c > 0x7E) c = '?';
    }
    return falha("Resposta da balança não é um peso: \"" + visivel + "\".");
  }
  peso = round_to(*lido / DADOS.divisor, 3);
  return 1;
}

}  // namespace fvn::devices
