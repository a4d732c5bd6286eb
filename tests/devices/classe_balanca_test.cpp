// The scale reader against the real scale-sim process over a pseudo-terminal.
#include "devices/classe_balanca.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>

#include "devices/scale_sim_process.h"
#include "runtime/scripted_ui.h"
#include "sale/classe_venda.h"

namespace fvn::devices {
namespace {

// The common checkout-scale protocol: ENQ, answer STX + five characters + ETX.
DadosBalanca serial(const std::string& device) {
  DadosBalanca d;
  d.modelo = 1;
  d.porta = 2;
  d.velocidade = 9600;
  d.bits_dados = 8;
  d.paridade = 1;
  d.expressao_solicitacao = "'<5>'";
  d.expressao_resposta = "SUB(P, 2, 5)  ";
  d.divisor = 1000;
  d.intervalo_ms = 10;
  d.timeout_ms = 400;
  d.expressao_instavel = "SUB(P, 2, 1) = 'I'";
  d.expressao_excesso = "SUB(P, 2, 1) = 'S'";
  d.expressao_negativo = "SUB(P, 2, 1) = 'N'";
  d.dispositivos[1] = device;
  return d;
}

struct Reading {
  int result;
  double peso;
  std::string error;
};

Reading read(const DadosBalanca& d) {
  Classe_Balanca balanca;
  balanca.Configura(d);
  Reading r{0, -1, {}};
  r.result = balanca.Get_Peso(r.peso);
  r.error = balanca.Get_Error();
  return r;
}

TEST(ScaleSerial, ReadsTheWeightWholeEvenWhenTheAnswerComesInPieces) {
  testing::ScaleSim plain({"--grams", "1250"});
  ASSERT_FALSE(plain.path().empty());
  const Reading r = read(serial(plain.path()));
  EXPECT_EQ(r.result, 1) << r.error;
  EXPECT_DOUBLE_EQ(r.peso, 1.25);

  testing::ScaleSim split({"--grams", "98765", "--split", "--delay-ms", "50"});
  DadosBalanca d = serial(split.path());
  d.bits_dados = 7;  // settings a pseudo-terminal accepts like a serial port
  d.paridade = 3;
  d.intervalo_ms = 50;  // longer than the 30 ms pause between the pieces
  const Reading s = read(d);
  EXPECT_EQ(s.result, 1) << s.error;
  EXPECT_DOUBLE_EQ(s.peso, 98.765);
}

TEST(ScaleSerial, StatesOfTheScaleFailWithTheirTexts) {
  for (const auto& [mode, text] : std::vector<std::pair<std::string, std::string>>{
           {"unstable", "Peso instável."}, {"overload", "Excesso de peso."}, {"negative", "Peso negativo."}}) {
    testing::ScaleSim sim({"--mode", mode});
    const Reading r = read(serial(sim.path()));
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.error, text) << mode;
  }
  // The unstable condition wins even over an answer that holds a weight.
  testing::ScaleSim sim({"--grams", "1250"});
  DadosBalanca d = serial(sim.path());
  d.expressao_instavel = "SUB(P, 2, 1) = '0'";
  EXPECT_EQ(read(d).error, "Peso instável.");
  d.expressao_instavel = "SUB(P, 2";
  EXPECT_EQ(read(d).error, "Erro ao interpretar instável: Expressão ilegal");

  testing::ScaleSim garbage({"--mode", "garbage"});
  const Reading g = read(serial(garbage.path()));
  EXPECT_EQ(g.result, 0);
  EXPECT_EQ(g.error, "Resposta da balança não é um peso: \"#?k?\".");  // SOH shown as "?"
}

TEST(ScaleSerial, ASilentScaleTimesOutAfterTheTimeOutAndNotBefore) {
  testing::ScaleSim sim({"--mode", "silent"});
  DadosBalanca d = serial(sim.path());
  d.timeout_ms = 300;
  const auto start = std::chrono::steady_clock::now();
  const Reading r = read(d);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(r.error, "TimeOut, não obteve resposta da balança.");
  EXPECT_GE(elapsed, std::chrono::milliseconds(300));
  EXPECT_LT(elapsed, std::chrono::seconds(5));  // not for ever
}

TEST(ScaleSerial, ConfigurationFaultsFailBeforeAnyReading) {
  DadosBalanca d = serial("/nonexistent/tty");
  EXPECT_EQ(read(d).error, "Erro ao abrir porta.");
  d.porta = 10;
  EXPECT_EQ(read(d).error, "Erro ao abrir porta.");
  d.expressao_solicitacao = "'<5>' &";
  EXPECT_EQ(read(d).error, "Erro ao interpretar solicitação: Expressão ilegal");
  d.expressao_solicitacao = "''";
  EXPECT_EQ(read(d).error, "Solicitação vazia.");
  d.divisor = 0;
  const Reading zero = read(d);
  EXPECT_EQ(zero.result, 0);
  EXPECT_NE(zero.error.find("Divisor da balança igual a zero"), std::string::npos);

  testing::ScaleSim sim({});
  DadosBalanca bad_answer = serial(sim.path());
  bad_answer.expressao_resposta = "SUB(Q, 2, 5)";
  EXPECT_EQ(read(bad_answer).error, "Erro ao interpretar reposta: Variavel não encontrada");
  bad_answer.velocidade = 9601;
  EXPECT_EQ(read(bad_answer).error, "Erro ao abrir porta.");
}

TEST(ScaleSerial, PortSettingsText) {
  DadosBalanca d;
  d.porta = 1;
  d.velocidade = 9600;
  d.bits_dados = 8;
  d.paridade = 1;
  EXPECT_EQ(texto_porta(d), "COM1:9600,N,8,1");
  d.porta = 2;
  d.velocidade = 4800;
  d.bits_dados = 7;
  d.paridade = 4;
  EXPECT_EQ(texto_porta(d), "COM2:4800,7,1");
}

TEST(ScaleModels, SimulatedTypedAndUndefinedModels) {
  DadosBalanca d;
  d.modelo = 3;
  for (int i = 0; i < 50; ++i) {
    const Reading r = read(d);
    ASSERT_EQ(r.result, 1);
    EXPECT_GE(r.peso, 1.0);
    EXPECT_LE(r.peso, 100.0);
  }
  d.modelo = 2;
  EXPECT_EQ(read(d).error, "Função não definida");
  d.modelo = 7;
  EXPECT_EQ(read(d).error, "Modelo inválido ou não definido");

  ScriptedUi ui;
  ui.answer_number(2.3456);
  ui.answer_number(std::nullopt);
  Classe_Balanca balanca;
  d.modelo = 4;
  balanca.Configura(d);
  balanca.Set_Ui(&ui);
  double peso = 0;
  EXPECT_EQ(balanca.Get_Peso(peso), 1);
  EXPECT_DOUBLE_EQ(peso, 2.346);
  EXPECT_EQ(balanca.Get_Peso(peso), 0);
  EXPECT_EQ(balanca.Get_Error(), "Leitura cancelada pelo usuário");
  ASSERT_EQ(ui.number_requests().size(), 2U);
  const NumberRequest& asked = ui.number_requests()[0];
  EXPECT_EQ(asked.title, "Balança Virtual - Usuário");
  EXPECT_EQ(asked.group, "Simulador de Balança:");
  EXPECT_EQ(asked.prompt, "Digite o Peso:");
  EXPECT_EQ(asked.decimals, 3);
}

// The sale facade reads the scale it was configured with.
TEST(ScaleSerial, TheSaleFacadeWeighsThroughItsConfiguration) {
  testing::ScaleSim sim({"--grams", "450"});
  sale::CLASSE_VENDA venda;
  venda.DADOS_BALANCA = serial(sim.path());
  double peso = 0;
  EXPECT_EQ(venda.Get_Peso(peso), 1) << venda.Get_Error();
  EXPECT_DOUBLE_EQ(peso, 0.45);
  venda.DADOS_BALANCA.modelo = 2;
  EXPECT_EQ(venda.Get_Peso(peso), 0);
  EXPECT_EQ(venda.Get_Error(), "Erro ao ler peso: Função não definida");
}

}  // namespace
}  // namespace fvn::devices
