// The translation of schema rejections into plain words.
#include "service/traduz_erro.h"

#include <gtest/gtest.h>

namespace fvn {
namespace {

TEST(TraduzErro, ClientGroupRulesWinOverTheCarrierRules) {
  EXPECT_EQ(traduz_erro("EXCEPTION: elemento 'NFe/infNFe/dest/enderDest/XBAIRRO' com valor ''"),
            "Conteúdo inválido no campo do bairro do cliente.");
  EXPECT_EQ(traduz_erro("EXCEPTION: elemento 'NFe/infNFe/dest/CPF' com valor '1'"),
            "Conteúdo inválido no campo do CPF do cliente.");
  EXPECT_EQ(traduz_erro("EXCEPTION: elemento 'NFe/infNFe/transp/transporta/CPF' com valor '1'"),
            "Conteúdo inválido no campo do CPF da transportadora.");
  // "dest" with neither neighbourhood nor document: the later rules decide.
  EXPECT_EQ(traduz_erro("EXCEPTION: elemento 'NFe/infNFe/dest/enderDest/fone' com valor 'x'"),
            "Conteúdo inválido no campo do telefone da empresa emitente, do cliente ou da transportadora, caso "
            "possuir.");
}

TEST(TraduzErro, OtherRulesAndTextsLeftAlone) {
  EXPECT_EQ(traduz_erro("EXCEPTION: elemento 'NFe/infNFe/transp/transporta/IE' com valor 'x'"),
            "Conteúdo inválido no campo do IE do cliente ou da transportadora, caso possuir.");
  EXPECT_EQ(traduz_erro("EXCEPTION EStringListError   "),
            "Conteúdo inválido, verifique os cadastros da empresa emitente, do cliente e da transportadora, caso "
            "possuir.");
  // Lower-case "exception" only, no keyword, empty: unchanged.
  EXPECT_EQ(traduz_erro("exception: elemento 'dest/CPF'"), "exception: elemento 'dest/CPF'");
  EXPECT_EQ(traduz_erro("EXCEPTION: tempo esgotado  "), "EXCEPTION: tempo esgotado  ");
  const std::string once = traduz_erro("Erro|EXCEPTION: elemento 'NFe/infNFe/dest/CPF' com valor ''");
  EXPECT_EQ(traduz_erro(once), once);
}

}  // namespace
}  // namespace fvn
