// The sale screen's options menu end to end: F4 through the menu's plan
// (JanelasRoteiro), the load it starts, F5 with the real payment windows
// answered from the plan, and the recording and issue against a real
// simulator.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "nfce/validador_fiscal.h"
#include "screens/browses.h"
#include "screens/consulta_vendas_futuras.h"
#include "screens/importacao_pedidos.h"
#include "screens/janelas_roteiro.h"
#include "screens/nota_padrao_nfce.h"
#include "screens/recarga_venda.h"
#include "screens/sale_screen_fixture.h"

namespace fvn {
namespace {

using Botao = OPCOES_NOTA::Botao;

class NotaPadraoOpcoesTest : public testing::SaleScreenTest {
 protected:
  void SetUp() override {
    SaleScreenTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    itens_a_entregar().limpa();
    validador_ = std::make_unique<VALIDADOR_FISCAL>(ui_);
    janelas_ =
        std::make_unique<JanelasRoteiro>(ui_, db, valores_, SessaoAtual{1, "caixa", 1}, *validador_, RoteiroVenda{});
    open(*janelas_);
  }
  void TearDown() override {
    SaleScreenTest::TearDown();
    itens_a_entregar().limpa();
  }

  std::unique_ptr<VALIDADOR_FISCAL> validador_;
  std::unique_ptr<JanelasRoteiro> janelas_;
};

TEST_F(NotaPadraoOpcoesTest, AnOrderImportedFromTheMenuIsPaidWithItsDownPaymentAndInvoiced) {
  RoteiroVenda r;
  r.condicao = 3;  // the order's ENTRADA + 3X, offered on price table 0
  r.opcoes = {Botao::CarregaPedido, Botao::CarregaPedido};
  janelas_->set_roteiro(r);
  ASSERT_EQ(tela_->tabela(0), 1) << messages();
  // The order browse left: nothing loaded. It showed where order 1002 is.
  ui_.answer_pick(0);
  EXPECT_EQ(tela_->tecla(TeclaVenda::F4), 1);
  EXPECT_TRUE(tela_->importacao().carga().vazia());
  EXPECT_EQ(tela_->estado(), EstadoTela::Livre);
  ASSERT_FALSE(ui_.pick_lists().empty());
  const auto& linhas = ui_.pick_lists().back().rows;
  const auto pedido =
      std::find_if(linhas.begin(), linhas.end(), [](const auto& l) { return !l.empty() && l[0] == "1002"; });
  ASSERT_NE(pedido, linhas.end());
  ui_.answer_pick(static_cast<int>(pedido - linhas.begin()) + 1);
  EXPECT_EQ(tela_->tecla(TeclaVenda::F4), 1) << messages();
  ASSERT_EQ(tela_->importacao().carga().pedidos, std::vector<std::int32_t>{1002}) << messages();
  EXPECT_EQ(tela_->estado(), EstadoTela::EmAndamento);

  ASSERT_EQ(tela_->tecla(TeclaVenda::F5), 1) << messages();
  const Fechamento& f = tela_->ultimo_fechamento();
  ASSERT_TRUE(f.gravada());
  const std::string id = std::to_string(f.venda);
  EXPECT_EQ(value("select i_pdi_ide_asaidas from pedidos where i_pdi_codigo = 1002"), id);
  EXPECT_EQ(value("select round(centsaidas, 2) from asaidas where cidesaidas = " + id), "6.96");
  EXPECT_EQ(value("select string_agg((cvendupli - current_date) || ':' || round(cvprdupli, 2), ' ' order by "
                  "cnprdupli) from asduplicatas where cisadupli = " +
                  id),
            "30:10.00 60:10.00 90:10.00");
  // The next sale starts clean.
  EXPECT_TRUE(tela_->importacao().carga().vazia());
}

TEST_F(NotaPadraoOpcoesTest, ServiceOrdersByAltOKeepTheFastPaymentAwayWhileTheirDepositsWait) {
  // Where the service-order browse lists order 501.
  PassthroughTable t("ORDENS", db);
  ASSERT_EQ(t.open(), 1);
  BrowseRows linhas;
  ASSERT_EQ(browse_rows(t, browse_ordens_servico(valores_.COD_EMPR, 0), "", linhas), 1);
  const auto ordem =
      std::find_if(linhas.begin(), linhas.end(), [](const auto& l) { return !l.empty() && l[0] == "501"; });
  ASSERT_NE(ordem, linhas.end());
  ui_.answer_pick(static_cast<int>(ordem - linhas.begin()) + 1);
  ui_.answer_pick(0);  // no second one
  ASSERT_EQ(tela_->tecla(TeclaVenda::AltO), 1) << messages();
  EXPECT_EQ(tela_->importacao().carga().ordens_servico, std::vector<std::int32_t>{501});

  EXPECT_EQ(tela_->tecla(TeclaVenda::AltF5), 0);
  EXPECT_EQ(ui_.messages().back().text,
            "Não é possível realizar o fechamento rápido. Existem lançamentos de sinais OS no valor de R$ 50.00 para "
            "a(s) ordem(s) de serviço selecionada(s).||Realize o pagamento pela forma normal (F5 - Formas Pagto).");
  EXPECT_EQ(tela_->estado(), EstadoTela::EmAndamento);
  EXPECT_EQ(tela_->tecla(TeclaVenda::AltO), 0);  // after the first item
}

TEST_F(NotaPadraoOpcoesTest, ARejectedInvoiceReloadedFromTheMenuIsIssuedUnderItsNumber) {
  sql("update asaidas set i_asa_contigencia = 0, i_asa_quorvex_canc = 0");
  const auto antiga = rejected_sale();
  ASSERT_FALSE(HasFailure());
  const std::string numero = value("select cnotsaidas from asaidas where cidesaidas = " + std::to_string(antiga));

  RoteiroVenda r;
  r.opcoes = {Botao::CarregaNotaRejeitada};
  r.nota_rejeitada = 1;
  janelas_->set_roteiro(r);
  const std::size_t antes = ui_.messages().size();
  EXPECT_EQ(tela_->tecla(TeclaVenda::F4), 1) << messages();
  ASSERT_EQ(tela_->recarga().venda_recarregada(), antiga) << messages();
  // The reload's reset asked nothing of a new sale.
  for (std::size_t i = antes; i < ui_.messages().size(); ++i) {
    EXPECT_NE(ui_.messages()[i].text, "Deseja incluir o CPF/CNPJ ao cliente consumidor?");
  }
  EXPECT_EQ(ui_.messages().back().text.rfind(RecargaVenda::kSucesso, 0), 0U);

  ASSERT_EQ(tela_->tecla(TeclaVenda::F5), 1) << messages();
  const Fechamento& f = tela_->ultimo_fechamento();
  ASSERT_TRUE(f.gravada());
  EXPECT_EQ(std::to_string(f.numero), numero);
  EXPECT_EQ(value("select ide_futura from asaidas where cidesaidas = " + std::to_string(f.venda)),
            std::to_string(antiga));
  EXPECT_EQ(tela_->recarga().venda_recarregada(), 0);
}

}  // namespace
}  // namespace fvn
