// The payment dialogs' presenters driven headless against a clone of the demo
// shop (its conditions per price table, its customers' credit limits, its
// supervisors), over a real sale facade.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/module_values.h"
#include "data/passthrough_table.h"
#include "runtime/clock.h"
#include "runtime/picture.h"
#include "runtime/scripted_ui.h"
#include "sale/sale_test_support.h"
#include "screens/condicao_pagto.h"
#include "screens/cpf_cnpj_opcional.h"
#include "screens/detalhe_produto.h"
#include "screens/forma_pagto_venda.h"
#include "screens/janelas_roteiro.h"
#include "screens/pagamento_comum.h"
#include "screens/pagto_cheque_cartao.h"
#include "screens/prestacao_venda.h"
#include "screens/servicos_cliente.h"
#include "screens/tela_troco.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

namespace st = sale::testing;

payment::GRUPO_FORMAS_PAGAMENTO forma(std::int32_t codigo, std::string descricao, std::int32_t tipo,
                                      std::int32_t vezes = 0) {
  payment::GRUPO_FORMAS_PAGAMENTO f;
  f.CODIGO = codigo;
  f.DESCRICAO = std::move(descricao);
  f.TIPO = tipo;
  f.TIPO_CARTAO_MANUAL = tipo == 5 ? 1 : 0;
  f.COMPOSTA = vezes > 0 ? 1 : 0;
  f.VEZES = vezes;
  f.DIAS = vezes > 0 ? 30 : 0;
  return f;
}

// A plan whose only answer is the supervisor of AUTENTICACAO.
RoteiroVenda com_supervisor(std::string login, std::string senha) {
  RoteiroVenda r;
  r.supervisor = std::move(login);
  r.senha = std::move(senha);
  return r;
}

std::vector<std::string> textos(const ScriptedUi& ui) {
  std::vector<std::string> out;
  for (const auto& m : ui.messages()) out.push_back(m.text);
  return out;
}

class PagamentoTest : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    st::use_code_tables(pasta_.path());
    set_working_folder(pasta_.path().string());
    venda_ = std::make_unique<sale::CLASSE_VENDA>();
    ASSERT_EQ(venda_->Set_Dados_Emissor(st::emissor_nfce()), 1);
    ASSERT_EQ(venda_->Set_Dados_Operacao(st::operacao_venda()), 1) << venda_->ERROR;
    ASSERT_EQ(venda_->Set_Dados_Empresa(st::empresa_regime_normal()), 1);
    cliente(1, "Consumidor");
    ASSERT_EQ(venda_->Set_Finalidade_Operacao(1), 1);
    ASSERT_EQ(venda_->Set_Dados_Vendedor({1, "JOANA"}), 1);
    ASSERT_EQ(venda_->Set_Data_Emissao(today()), 1);
    ASSERT_EQ(venda_->Set_Quebra(1), 1);
    // The demo shop's forms 1 to 3, the credit card taken in 3 installments.
    for (const auto& f : {forma(1, "DINHEIRO", 1), forma(2, "CARTAO CREDITO", 5, 3), forma(3, "CARTAO DEBITO", 4)}) {
      ASSERT_EQ(venda_->PAGAMENTO->Adiciona_Forma_Pagamento(f), 1) << venda_->PAGAMENTO->ERROR;
    }
    valores_.COD_EMPR = 1;
    valores_.OPERADOR = 1;
    servicos_ = std::make_unique<ServicosCliente>(db, 1);
    validador_ = std::make_unique<VALIDADOR_FISCAL>(ui_);
    janelas_ =
        std::make_unique<JanelasRoteiro>(ui_, db, valores_, SessaoAtual{1, "caixa", 1}, *validador_, RoteiroVenda{});
  }
  void TearDown() override {
    janelas_.reset();
    venda_.reset();
    set_working_folder(".");
    DbTest::TearDown();
  }

  void cliente(std::int32_t codigo, std::string nome) {
    sale::GRUPO_CLIENTE c;
    c.CODIGO = codigo;
    c.NOME = std::move(nome);
    c.UF = "MG";
    c.TIPO = 1;
    ASSERT_EQ(venda_->Set_Dados_Cliente(c), 1) << venda_->ERROR;
  }
  void vende(double total) {
    sale::QUEUE_ITEM i = st::item(total);
    ASSERT_EQ(venda_->Vende_Item(i), 1) << venda_->ERROR;
  }
  // CONDICAO_PAGTO on price table 0 choosing `codigo`.
  int condicao(std::int32_t codigo) {
    CondicaoPagtoPresenter janela(ui_, *venda_, db, 0, valores_);
    EXPECT_EQ(janela.abre(), 1) << ::testing::PrintToString(textos(ui_));
    return janela.escolhe(janela.posicao(codigo));
  }
  FormaPagtoVendaPresenter forma_pagto(PagtoChequeCartao detalhes = {}) {
    return {ui_, *venda_, db, *servicos_, std::move(detalhes)};
  }

  ScriptedUi ui_;
  fvn::testing::TempFolder pasta_;
  std::unique_ptr<sale::CLASSE_VENDA> venda_;
  ModuleValues valores_;
  std::unique_ptr<ServicosCliente> servicos_;
  std::unique_ptr<VALIDADOR_FISCAL> validador_;
  std::unique_ptr<JanelasRoteiro> janelas_;
};

TEST(ValorDigitado, ReadsTheDecimalCommaAndRefusesWhatIsNotANumber) {
  EXPECT_EQ(le_valor("12,50"), 12.5);
  EXPECT_EQ(le_valor(" 1.234,56 "), 1234.56);
  EXPECT_EQ(le_valor("1234,5"), 1234.5);
  EXPECT_EQ(le_valor("7.5"), 7.5);  // a decimal point, as a number pad types it
  EXPECT_EQ(le_valor("1.234"), 1234);
  EXPECT_EQ(le_valor(",5"), 0.5);
  EXPECT_EQ(le_valor(""), 0);
  for (const char* ruim : {"abc", "12,5x", "1,2,3", "R$", "12 50", "1.2.3", "-", ",", "1,", "1.23,4"})
    EXPECT_EQ(le_valor(ruim), std::nullopt) << ruim;
  EXPECT_EQ(le_data("31/12/2026"), date_from_civil(2026, 12, 31));
  EXPECT_EQ(le_data("31/02/2026"), std::nullopt);
  EXPECT_EQ(le_inteiro("3x"), std::nullopt);
}

TEST_F(PagamentoTest, CashAboveTheDueShowsTheChangeAndEndsPaying) {
  vende(63.30);
  ASSERT_EQ(condicao(1), 1) << ::testing::PrintToString(textos(ui_));
  auto janela = forma_pagto();
  ASSERT_EQ(janela.abre(), 1);
  EXPECT_EQ(janela.formas(), (std::vector<std::string>{"DINHEIRO", "CARTAO CREDITO", "CARTAO DEBITO"}));
  EXPECT_EQ(janela.valor_pagar(), 63.30);  // the entry starts with what is due
  // Letters are refused with a message and change nothing.
  EXPECT_EQ(janela.valor("cem reais"), 0);
  EXPECT_EQ(ui_.messages().back().text, kValorInvalido);
  EXPECT_EQ(janela.valor_pagar(), 63.30);
  EXPECT_EQ(venda_->Get_Quantidade_Pagamentos(), 0);
  EXPECT_EQ(janela.continuar(), 0);  // F5 stays disabled while something is due
  ASSERT_EQ(janela.valor("100,00"), 1);
  ASSERT_EQ(janela.paga(janela.posicao_forma(1)), 1) << ::testing::PrintToString(textos(ui_));
  EXPECT_EQ(janela.troco(), 36.70);
  EXPECT_EQ(janela.pago(), 100.00);
  EXPECT_EQ(janela.total_pagar(), 0);
  EXPECT_TRUE(janela.encerrado());
  EXPECT_EQ(janela.foco(), FormaPagtoVendaPresenter::Foco::Continuar);
  ASSERT_EQ(janela.pagamentos().size(), 1U);
  EXPECT_EQ(janela.pagamentos()[0].valor, "    100.00");
  EXPECT_EQ(janela.paga(janela.posicao_forma(3)), 0);  // the forms are disabled now
  EXPECT_EQ(janela.continuar(), 1);
  EXPECT_EQ(venda_->Get_Quantidade_Pagamentos(), 1);
}

TEST_F(PagamentoTest, CardDetailsAbandonedReverseThePaymentAndConfirmedConcludeIt) {
  vende(90);
  ASSERT_EQ(condicao(1), 1);
  int abertos = 0;
  auto abandona = forma_pagto([&](sale::VENDA_INTERFACE&, const payment::GRUPO_FORMAS_PAGAMENTO& f) {
    ++abertos;
    EXPECT_EQ(f.CODIGO, 2);
    return 0;
  });
  abandona.abre();
  ASSERT_EQ(abandona.valor("30"), 1);
  EXPECT_EQ(abandona.paga(abandona.posicao_forma(2)), 0);
  EXPECT_EQ(abertos, 1);
  EXPECT_EQ(venda_->Get_Quantidade_Pagamentos(), 0);
  EXPECT_EQ(abandona.total_pagar(), 90);
  EXPECT_EQ(abandona.valor_pagar(), 90);

  // The details dialog: the form's 3 installments, changed to 2, confirmed.
  std::vector<std::vector<LinhaParcelaPagamento>> planos;
  auto confirma = forma_pagto([&](sale::VENDA_INTERFACE& v, const payment::GRUPO_FORMAS_PAGAMENTO& f) {
    PagtoChequeCartaoPresenter cartao(ui_, v, f);
    EXPECT_EQ(cartao.abre(), 1);
    planos.push_back(cartao.linhas());
    EXPECT_EQ(cartao.parcelas("dois"), 0);
    EXPECT_EQ(cartao.parcelas("2"), 1);
    EXPECT_EQ(cartao.altera(1, "", "", "AUT123", ""), 1);
    planos.push_back(cartao.linhas());
    return cartao.confirma();
  });
  confirma.abre();
  ASSERT_EQ(confirma.valor("60,00"), 1);
  ASSERT_EQ(confirma.paga(confirma.posicao_forma(2)), 1) << ::testing::PrintToString(textos(ui_));
  ASSERT_EQ(planos.size(), 2U);
  ASSERT_EQ(planos[0].size(), 3U);
  EXPECT_EQ(planos[0][0].valor, "20,00");
  EXPECT_EQ(planos[0][0].vencimento, format_picture(add_days(today(), 30), "@d06"));
  ASSERT_EQ(planos[1].size(), 2U);
  EXPECT_EQ(planos[1][1].valor, "30,00");
  EXPECT_EQ(planos[1][0].documento, "AUT123");
  // Concluded: the rest can be paid in cash.
  EXPECT_EQ(confirma.paga(confirma.posicao_forma(1)), 1) << ::testing::PrintToString(textos(ui_));
  EXPECT_TRUE(confirma.encerrado());
}

TEST_F(PagamentoTest, GoingBackAfterTwoPaymentsLeavesNone) {
  vende(50);
  ASSERT_EQ(condicao(1), 1);
  auto janela = forma_pagto();
  janela.abre();
  ASSERT_EQ(janela.valor("20"), 1);
  ASSERT_EQ(janela.paga(janela.posicao_forma(3)), 1);
  EXPECT_EQ(janela.valor_pagar(), 30);
  ASSERT_EQ(janela.paga(janela.posicao_forma(1)), 1);
  ASSERT_EQ(venda_->Get_Quantidade_Pagamentos(), 2);
  // Delete on the first, paid again, then F12.
  ASSERT_EQ(janela.estorna(1), 1);
  EXPECT_FALSE(janela.encerrado());
  EXPECT_EQ(janela.total_pagar(), 20);
  ASSERT_EQ(janela.paga(janela.posicao_forma(1)), 1);
  EXPECT_EQ(janela.voltar(), 0);
  EXPECT_TRUE(janela.fechada());
  EXPECT_EQ(venda_->Get_Quantidade_Pagamentos(), 0);
  EXPECT_EQ(venda_->Get_Valor_Pagar(), 50);
}

TEST_F(PagamentoTest, AConditionBeyondTheUsersLimitsIsRefusedAndThePreviousStays) {
  vende(100);
  ASSERT_EQ(condicao(2), 1);  // 30/60 DIAS
  valores_.I_PAR_NUMERO_MAX_PARCELAS = 2;
  CondicaoPagtoPresenter janela(ui_, *venda_, db, 0, valores_);
  ASSERT_EQ(janela.abre(), 1);
  ASSERT_EQ(janela.linhas().size(), 3U);
  EXPECT_EQ(janela.linhas()[0].simulacao, "1x 100.00");
  EXPECT_EQ(janela.linhas()[1].simulacao, "2x 50.00");
  EXPECT_EQ(janela.escolhe(janela.posicao(3)), 0);  // ENTRADA + 3X
  EXPECT_EQ(ui_.messages().back().text,
            "Número máximo de prestações do usuário é menor que o número de prestações da condição de pagamento.");
  EXPECT_EQ(ui_.messages().back().title, "Aviso do Sistema");
  EXPECT_FALSE(janela.fechada());
  EXPECT_EQ(venda_->Get_Condicao(), 2);
  EXPECT_EQ(venda_->Get_Quantidade_Parcelas(), 2);
  valores_.I_PAR_NUMERO_MAX_PARCELAS = 12;
  valores_.I_PAR_DIAS_MAX_PRIMEIRA_PARCELA = 20;
  EXPECT_EQ(janela.escolhe(janela.posicao(3)), 0);
  EXPECT_EQ(venda_->Get_Condicao(), 2);
  valores_.I_PAR_DIAS_MAX_PRIMEIRA_PARCELA = 0;  // not set: no limit
  ASSERT_EQ(janela.escolhe(janela.posicao(3)), 1) << ::testing::PrintToString(textos(ui_));
  EXPECT_EQ(venda_->Get_Condicao(), 3);
  EXPECT_EQ(venda_->Get_Valor_Entrada(), 25);
}

TEST_F(PagamentoTest, InstallmentEditsRebuildThePlan) {
  vende(100);
  ASSERT_EQ(condicao(2), 1);
  ServicosCliente servicos(db, 1);
  PrestacaoVendaPresenter janela(ui_, *venda_, servicos, *janelas_);
  ASSERT_EQ(janela.abre(), 1);
  ASSERT_EQ(janela.parcelas("3"), 1);
  ASSERT_EQ(janela.quebra(4), 1);  // "Dez. cent. última"
  ASSERT_EQ(janela.linhas().size(), 3U);
  EXPECT_EQ(janela.linhas()[0].valor, "     33.30");
  EXPECT_EQ(janela.linhas()[1].valor, "     33.30");
  EXPECT_EQ(janela.linhas()[2].valor, "     33.40");
  EXPECT_EQ(janela.campos().quebra, 4);
  // F8 on the first: the following ones share the rest.
  EXPECT_EQ(janela.altera(1, "", "4O,00"), 0);
  EXPECT_EQ(janela.linhas()[0].valor, "     33.30");
  ASSERT_EQ(janela.altera(1, "", "40,00"), 1) << ::testing::PrintToString(textos(ui_));
  EXPECT_EQ(janela.linhas()[0].valor, "     40.00");
  EXPECT_EQ(janela.linhas()[1].valor, "     30.00");
  EXPECT_EQ(janela.linhas()[2].valor, "     30.00");
  EXPECT_EQ(janela.campos().total_parcelado, 100);
  // A refused setter shows its context and the triple; the plan stays.
  EXPECT_EQ(janela.parcelas("1000"), 0);
  EXPECT_TRUE(ui_.messages().back().text.starts_with("Erro ao setar número de parcelas.|Retorno: "))
      << textos(ui_).back();
  EXPECT_EQ(janela.campos().parcelas, 3);
  EXPECT_EQ(janela.linhas().size(), 3U);
  EXPECT_EQ(janela.continuar(), 1) << ::testing::PrintToString(textos(ui_));
}

TEST_F(PagamentoTest, ContinuingChecksTheConsumerLimitsAndTheCustomersCredit) {
  vende(12000);
  ASSERT_EQ(condicao(2), 1);
  ServicosCliente servicos(db, 1);
  {
    PrestacaoVendaPresenter janela(ui_, *venda_, servicos, *janelas_);
    ASSERT_EQ(janela.abre(), 1);
    EXPECT_EQ(janela.continuar(), 0);
    EXPECT_EQ(ui_.messages().back().text,
              "Nota fiscal ao consumidor não deve possuir valor superior a R$ 10.000,00 para clientes do tipo "
              "CONSUMIDOR.");
    EXPECT_FALSE(janela.fechada());
  }
  // JOSE may owe 1,000.00, 300.00 a month: 1,100.00 in two months exceeds
  // both and needs a supervisor with the right.
  ASSERT_EQ(venda_->Cancela_Item(1), 1) << venda_->ERROR;
  vende(1100);
  cliente(2, "JOSE DA SILVA");
  ASSERT_EQ(condicao(2), 1);
  PrestacaoVendaPresenter janela(ui_, *venda_, servicos, *janelas_);
  ASSERT_EQ(janela.abre(), 1);
  ui_.answer_message(2);  // "Cancelar"
  EXPECT_EQ(janela.continuar(), 0);
  EXPECT_EQ(ui_.messages().back().text, "Total parcelado ultrapassou o limite de crédito que o cliente possui!");
  EXPECT_EQ(ui_.messages().back().buttons, "Continuar|Cancelar");
  const std::size_t antes = ui_.messages().size();
  EXPECT_EQ(janela.continuar(), 0);  // Continuar, and no supervisor in the plan
  ASSERT_EQ(ui_.messages().size(), antes + 2);
  EXPECT_TRUE(ui_.messages().back().text.starts_with(
      "O limite de crédito mensal do cliente foi ultrapassado nos seguintes meses:|     Mês/Ano: "))
      << ui_.messages().back().text;
  // The cashier cannot release it; the manager can.
  JanelasRoteiro outra(ui_, db, valores_, SessaoAtual{9, "outro", 1}, *validador_, com_supervisor("caixa", "caixa123"));
  PrestacaoVendaPresenter sem_direito(ui_, *venda_, servicos, outra);
  ASSERT_EQ(sem_direito.abre(), 1);
  EXPECT_EQ(sem_direito.continuar(), 0);
  EXPECT_EQ(ui_.messages().back().text,
            "Usuário não possui permissão para liberar vendas com valor acima do limite de crédito do cliente.");
  janelas_->set_roteiro(com_supervisor("gerente", "gerente123"));
  ASSERT_EQ(janela.continuar(), 1) << ::testing::PrintToString(textos(ui_));
  EXPECT_EQ(venda_->GRUPO_DADOS_LIBERACAO_VENDA_PRAZO.USUARIO_LIBERACAO, "gerente");
}

TEST(MensagemLimiteMensal, OneLinePairPerMonth) {
  EXPECT_EQ(mensagem_limite_mensal({{3, 2031, 300.01}, {11, 2031, 1234.5}}),
            "O limite de crédito mensal do cliente foi ultrapassado nos seguintes meses:"
            "|     Mês/Ano: 03-2031|Valor Mensal:     300,01"
            "|     Mês/Ano: 11-2031|Valor Mensal:   1.234,50");
}

TEST(TelaTroco, ChangeNeverNegativeAndConfirmOnlyFromTheDue) {
  ScriptedUi ui;
  TelaTrocoPresenter sem_editar(ui, 50);
  EXPECT_EQ(sem_editar.confirma(), 1);
  EXPECT_EQ(sem_editar.valor_pago(), 50);
  EXPECT_TRUE(ui.messages().empty());

  // Less than the due and its refusal on confirming are typed through the view in the desktop tests.
  TelaTrocoPresenter janela(ui, 50);
  ASSERT_EQ(janela.pago("40,00"), 1);
  EXPECT_EQ(janela.troco(), 0);
  EXPECT_EQ(janela.pago("cinquenta"), 0);
  EXPECT_EQ(janela.valor_pago(), 40);
}

TEST_F(PagamentoTest, ConsumerIdentificationNeedsAValidDocument) {
  CpfCnpjOpcionalPresenter janela(ui_, *validador_);
  janela.nome("JOAO");
  EXPECT_EQ(janela.confirma(), 0);
  EXPECT_EQ(ui_.messages().back().text, "É obrigatório o preenchimento do CPF se informado o nome.");
  janela.nome("");
  EXPECT_EQ(janela.confirma(), 0);
  EXPECT_EQ(ui_.messages().back().text, "Por favor, preencha o CPF.");
  EXPECT_EQ(janela.cpf("123.456.789-00"), 0);
  EXPECT_TRUE(ui_.messages().back().text.starts_with("Retorno: 0|Erro: CPF Inválido")) << textos(ui_).back();
  EXPECT_TRUE(ui_.messages().back().text.ends_with("|Função:Valida_CPF"));
  EXPECT_EQ(janela.consumidor().cpf, "");  // cleared and focused again
  EXPECT_EQ(janela.foco(), CpfCnpjOpcionalPresenter::Foco::Cpf);
  EXPECT_EQ(janela.confirma(), 0);
  ASSERT_EQ(janela.cpf("529.982.247-25"), 1);
  janela.tipo_pessoa(1);  // "Jurídica" clears the CPF
  EXPECT_EQ(janela.consumidor().cpf, "");
  EXPECT_EQ(janela.confirma(), 0);
  EXPECT_EQ(ui_.messages().back().text, "Por favor, preencha o CNPJ.");
  janela.tipo_pessoa(0);
  ASSERT_EQ(janela.cpf("529.982.247-25"), 1);
  janela.nome("JOAO");
  EXPECT_EQ(janela.confirma(), 1);
  EXPECT_EQ(janela.consumidor().cpf, "52998224725");
  EXPECT_EQ(janela.consumidor().nome, "JOAO");

  CpfCnpjOpcionalPresenter cancelada(ui_, *validador_);
  ASSERT_EQ(cancelada.cpf("52998224725"), 1);
  cancelada.nome("MARIA");
  EXPECT_EQ(cancelada.cancela(), 0);
  EXPECT_EQ(cancelada.consumidor().cpf, "");
  EXPECT_EQ(cancelada.consumidor().nome, "");
}

// JOSE (2) has 20.00 of unused credit: announced on opening, and paid only
// up to what is due, the rest staying his.
TEST_F(PagamentoTest, TheCustomersCreditIsAnnouncedAndPaysAtMostTheDue) {
  cliente(2, "JOSE DA SILVA");
  vende(15);
  ASSERT_EQ(condicao(1), 1);
  auto janela = forma_pagto();
  janela.abre();
  ASSERT_FALSE(ui_.messages().empty());
  EXPECT_EQ(ui_.messages().back().text, "Cliente possui R$      20.00 em crédito disponível.");
  EXPECT_EQ(ui_.messages().back().title, "Aviso do Sistema");
  ui_.answer_pick(1);
  ASSERT_EQ(janela.creditos(), 1) << ::testing::PrintToString(textos(ui_));
  EXPECT_TRUE(janela.encerrado());
  EXPECT_EQ(janela.troco(), 0);
  payment::Payment credito;
  ASSERT_EQ(venda_->Get_Pagamento(1, credito), 1);
  EXPECT_EQ(credito.VALOR, 15);
  EXPECT_NE(credito.ID_CREDITO, 0);
  EXPECT_EQ(credito.CODIGO_FORMA, 1);
}

TEST_F(PagamentoTest, ItemDetailTakesAmountsOrPercentagesOfTheGrossValue) {
  sale::QUEUE_ITEM item = st::item(10, 2);
  DetalheProdutoPresenter janela(ui_, item);
  ASSERT_EQ(janela.desconto("10", true), 1);
  EXPECT_EQ(janela.valor_desconto(), 2);
  EXPECT_EQ(janela.desconto("20,00", false), 0);  // nothing left to pay
  EXPECT_EQ(janela.desconto("100", true), 0);
  EXPECT_EQ(janela.acrescimo("um real", false), 0);
  ASSERT_EQ(janela.acrescimo("1,5", false), 1);
  EXPECT_EQ(item.DESCONTO, 0);  // written only on confirming
  ASSERT_EQ(janela.confirma(), 1);
  EXPECT_EQ(item.DESCONTO, 2);
  EXPECT_EQ(item.ACRESCIMO, 1.5);
  sale::QUEUE_ITEM outro = st::item(10);
  DetalheProdutoPresenter cancelado(ui_, outro);
  ASSERT_EQ(cancelado.desconto("1", false), 1);
  EXPECT_EQ(cancelado.cancela(), 0);
  EXPECT_EQ(outro.DESCONTO, 0);
}

TEST_F(PagamentoTest, APlanAnswersTheSupervisorAndTheConsumerWithTheRealChecks) {
  UserAccount supervisor;
  sale::GRUPO_DADOS_LIBERACAO liberacao;
  janelas_->set_roteiro(com_supervisor("supervisor", "errada"));
  EXPECT_EQ(janelas_->AUTENTICACAO(Direito::CancelaItem, "Cancelar?", "teste", supervisor, liberacao), 0);
  janelas_->set_roteiro(com_supervisor("supervisor", "super123"));
  ASSERT_EQ(janelas_->AUTENTICACAO(Direito::CancelaItem, "Cancelar?", "teste", supervisor, liberacao), 1);
  EXPECT_EQ(liberacao.USUARIO_LIBERACAO, "supervisor");
  EXPECT_EQ(liberacao.MOTIVO_LIBERACAO, "teste");

  RoteiroVenda roteiro;
  roteiro.consumidor = IdentificacaoConsumidor{"111.111.111-11", "", "ANA", 0};
  janelas_->set_roteiro(roteiro);
  IdentificacaoConsumidor consumidor{"x", "y", "z", 0};
  EXPECT_EQ(janelas_->CPF_CNPJ_OPCIONAL(consumidor), 0);  // the validator refuses it
  EXPECT_EQ(consumidor.cpf + consumidor.nome, "");
  roteiro.consumidor = IdentificacaoConsumidor{"", "11.222.333/0001-81", "PADARIA", 1};
  janelas_->set_roteiro(roteiro);
  ASSERT_EQ(janelas_->CPF_CNPJ_OPCIONAL(consumidor), 1);
  EXPECT_EQ(consumidor.cnpj, "11222333000181");
  EXPECT_EQ(consumidor.tipo_pessoa, 1);
}

// A credit sale from a plan: condition with a down payment, an installment
// edited, the down payment paid by card in 2 installments.
TEST_F(PagamentoTest, APlanDrivesThePresentersOfACreditSale) {
  vende(100);
  RoteiroVenda roteiro;
  roteiro.condicao = 3;  // ENTRADA + 3X, 1.99 % a month
  roteiro.entrada = 40;
  roteiro.parcelas = {{2, 25, 0}};
  roteiro.pagamentos = {{2, 0, 2}};
  janelas_->set_roteiro(roteiro);
  ASSERT_EQ(janelas_->CONDICAO_PAGTO(*venda_, 0), 1) << ::testing::PrintToString(textos(ui_));
  ASSERT_EQ(janelas_->PRESTACAO_VENDA(*venda_), 1) << ::testing::PrintToString(textos(ui_));
  // A plan the window refuses is refused the same way: the dialog is left.
  RoteiroVenda errado = roteiro;
  errado.pagamentos = {{9, 0, 0}};
  janelas_->set_roteiro(errado);
  EXPECT_EQ(janelas_->FORMA_PAGTO_VENDA(*venda_), 0);
  EXPECT_EQ(ui_.messages().back().text, "Meio de pagamento 9 não disponível para esta venda.");
  janelas_->set_roteiro(roteiro);
  EXPECT_EQ(venda_->Get_Valor_Entrada(), 40);
  payment::QUEUE_PARCELAS segunda;
  ASSERT_EQ(venda_->Get_Parcela(2, segunda), 1);
  EXPECT_EQ(segunda.VALOR, 25);
  ASSERT_EQ(janelas_->FORMA_PAGTO_VENDA(*venda_), 1) << ::testing::PrintToString(textos(ui_));
  payment::Payment cartao;
  ASSERT_EQ(venda_->Get_Pagamento(1, cartao), 1);
  EXPECT_EQ(cartao.VALOR, 40);
  EXPECT_EQ(cartao.CONCLUIDO, 1);
  EXPECT_EQ(cartao.PARCELAS->Get_Quantidade_Parcelas(), 2);

  double pago = 0;
  roteiro.valor_entregue = 30;
  janelas_->set_roteiro(roteiro);
  EXPECT_EQ(janelas_->TELA_TROCO(40, pago), 0);
  EXPECT_EQ(pago, 0);
}

}  // namespace
}  // namespace fvn
