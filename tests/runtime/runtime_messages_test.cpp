#include "runtime/runtime_messages.h"

#include <climits>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace fvn {
namespace {

struct MessageCase {
  int code;
  std::string text;
};

class MessageTable : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageTable, CodeHasItsText) { EXPECT_EQ(runtime_message(GetParam().code), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    RuntimeMessages, MessageTable,
    ::testing::Values(
        MessageCase{2, "Arquivo não encontrado"}, MessageCase{3, "Caminho não encontrado"},
        MessageCase{4, "Muitos arquivos abertos"}, MessageCase{5, "Acesso não permitido"},
        MessageCase{7, "Corrupcao de Memoria"}, MessageCase{8, "Memória insuficiente"},
        MessageCase{30, "Entrada não encontrada"}, MessageCase{32, "Arquivo ja está bloqueado"},
        MessageCase{33, "Final de Arquivo"}, MessageCase{35, "Registro não encontrado"},
        MessageCase{36, "Arquivo de dados inválido"}, MessageCase{37, "Arquivo não está aberto"},
        MessageCase{38, "Arquivo de índice inválido"}, MessageCase{40, "Cria chave duplicada"},
        MessageCase{43, "Registro já está bloqueado"}, MessageCase{45, "Nome de Arquivo inválido"},
        MessageCase{46, "Arquivo de índice deve ser reconstruido"}, MessageCase{47, "Declaração de Registro inválida"},
        MessageCase{48, "Não é possível gravar o log da transação"}, MessageCase{52, "Arquivo já está aberto"},
        MessageCase{53, "Formato de arquivo não aceito"}, MessageCase{54, "Atributo de criação ausente"},
        MessageCase{56, "Logout ja está ativo"}, MessageCase{57, "Arquivo Memo inválido"},
        MessageCase{63, "Acesso exclusivo requerido"}, MessageCase{64, "Violacão de compartilhamento"},
        MessageCase{65, "Rolback impossível na transação"}, MessageCase{73, "Arquivo memo inexistente"},
        MessageCase{75, "Descritor de campo inválido"}, MessageCase{76, "Tipo de string inválida para o índice"},
        MessageCase{77, "Impossível acessar o índice"}, MessageCase{78, "Número de parametros inválidos"},
        MessageCase{79, "Tipo de dados nao suportado no arquivo"}, MessageCase{80, "Função de arquivo não suportada"},
        MessageCase{81, "Erro desconhecido"}, MessageCase{88, "Tamanho de chave inválido"},
        MessageCase{89, "Registro modificado por outra estação"}, MessageCase{90, "Erro no driver de Arquivo"},
        MessageCase{800, "Expressão ilegal"}, MessageCase{801, "Variavel não encontrada"}),
    [](const auto& row) { return "code_" + std::to_string(row.param.code); });

TEST(RuntimeMessages, CodesOutsideTheTableAreUnknown) {
  for (const int code : {1, 6, 31, 99, 802, -1, INT_MAX, INT_MIN}) {
    EXPECT_EQ(runtime_message(code), "Erro desconhecido") << code;
  }
  EXPECT_EQ(runtime_message(0), "");
}

TEST(RuntimeMessages, LastErrorIsKeptPerThread) {
  set_runtime_error(rt::kEndOfFile);
  EXPECT_EQ(last_runtime_message(), "Final de Arquivo");
  int seen_by_other_thread = -1;
  std::thread([&] {
    seen_by_other_thread = last_runtime_error();
    set_runtime_error(rt::kFileLocked);
  }).join();
  EXPECT_EQ(seen_by_other_thread, 0);
  EXPECT_EQ(last_runtime_error(), 33);
  clear_runtime_error();
  EXPECT_EQ(last_runtime_message(), "");
}

TEST(RuntimeMessages, ButtonCaptionsAndMonthNames) {
  EXPECT_EQ(kButtonCaptions, "&Ok,&Sim,&Nao,&Abortar,&Ignorar,&Voltar,&Cancelar,&Ajuda");
  std::string names;
  std::string abbreviations;
  for (std::size_t i = 0; i < 12; ++i) {
    names += std::string{i == 0 ? "" : ","} + std::string{kMonthNames[i]};
    abbreviations += std::string{i == 0 ? "" : ","} + std::string{kMonthAbbreviations[i]};
  }
  EXPECT_EQ(names, "Janeiro,Fevereiro,Marco,Abril,Maio,Junho,Julho,Agosto,Setembro,Outubro,Novembro,Dezembro");
  EXPECT_EQ(abbreviations, "Jan,Fev,Mar,Abr,Mai,Jun,Jul,Ago,Set,Out,Nov,Dez");
}

}  // namespace
}  // namespace fvn
