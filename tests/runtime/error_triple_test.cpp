#include "runtime/error_triple.h"

#include <string>

#include <gtest/gtest.h>

#include "runtime/text.h"

namespace fvn {
namespace {

std::string repeat(const std::string& piece, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(ErrorTriple, SetErrorKeepsTheTripleAndReturnsZero) {
  ErrorTriple e;
  EXPECT_EQ(e.set_error("Item não encontrado", 12, "Cancela_Item"), 0);
  EXPECT_EQ(e.ERROR, "Item não encontrado");
  EXPECT_EQ(e.ERROR_CODE, 12);
  EXPECT_EQ(e.ERROR_FUNCTION, "Cancela_Item");
}

TEST(ErrorTriple, TextsAreCutToTheirCapacityInCharacters) {
  ErrorTriple e;
  e.set_error(repeat("ç", 5000), -1, repeat("ã", 300));
  EXPECT_EQ(text::length(e.ERROR), 4095U);
  EXPECT_EQ(e.ERROR, repeat("ç", 4095));
  EXPECT_EQ(text::length(e.ERROR_FUNCTION), 255U);
  EXPECT_EQ(e.ERROR_FUNCTION, repeat("ã", 255));
}

TEST(ErrorTriple, WrapErrorPutsTheCallersContextFirst) {
  ErrorTriple inner;
  inner.set_error("Erro ao adicionar: Erro no driver de Arquivo Arquivo: /tmp/x.xml", 7, "Add_Line");
  ErrorTriple outer;
  EXPECT_EQ(outer.wrap_error("Erro ao gerar XML: ", inner, "Gera_XML"), 0);
  EXPECT_EQ(outer.ERROR, "Erro ao gerar XML: Erro ao adicionar: Erro no driver de Arquivo Arquivo: /tmp/x.xml");
  EXPECT_EQ(outer.ERROR_CODE, 0);
  EXPECT_EQ(outer.ERROR_FUNCTION, "Gera_XML");
  EXPECT_EQ(inner.ERROR_CODE, 7);

  inner.set_error(repeat("é", 4095), 1, "f");
  outer.wrap_error("Contexto: ", inner, "g");
  EXPECT_EQ(text::length(outer.ERROR), 4095U);
  EXPECT_EQ(outer.ERROR.rfind("Contexto: é", 0), 0U);
}

TEST(ErrorTriple, DisplayForm) {
  ErrorTriple e;
  e.set_error("Quantidade inválida", -3, "Vende_Item");
  EXPECT_EQ(e.display(), "Retorno: -3|Erro: Quantidade inválida|Função: Vende_Item");
  EXPECT_EQ(ErrorTriple{}.display(), "Retorno: 0|Erro: |Função: ");
}

}  // namespace
}  // namespace fvn
