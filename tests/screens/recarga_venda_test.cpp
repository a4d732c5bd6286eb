// Reloading a rejected invoice against the demo shop and a real simulator:
// the note is issued in contingency, refused by the service and reversed by
// the pending-note resolution the choosing window runs; it is then chosen,
// its items picked, read back into a sale and recorded under its number.
#include "screens/recarga_venda.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "data/db_session.h"
#include "data/sql_values.h"
#include "runtime/picture.h"
#include "screens/consulta_vendas_futuras.h"
#include "screens/gravacao_venda.h"
#include "screens/nota_padrao_nfce.h"
#include "service/workflow_fixture.h"
#include "support/demo_sale.h"

namespace fvn {
namespace {

// One cashier's station: its own sale, the screen's parts and the loader,
// set up as the new-sale reset leaves them; the installments are confirmed.
struct Estacao : testing::VendaDemo {
  Estacao(HostUi& ui, const std::string& db, const ModuleValues& modulo, const ItensEntrega& itens)
      : VendaDemo(ui, db, modulo), recarga(ui, db, valores, venda, partes, entrada, itens) {
    janelas.prestacao = 1;
    EXPECT_TRUE(padroes());
  }
  RecargaVenda recarga;
};

class RecargaVendaTest : public testing::WorkflowTest {
 protected:
  void SetUp() override {
    WorkflowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // The demo shop's own contingency notes are unknown to this simulator.
    sql("update asaidas set i_asa_contigencia = 0, i_asa_quorvex_canc = 0");
    ASSERT_TRUE(testing::carrega_valores_demo(db, valores_));
    itens_.limpa();
  }

  // Opens the choosing window (which settles the refusal) and picks the one
  // listed invoice with `janela` answering the items window.
  int escolhe(const CONSULTA_VENDAS_FUTURAS::JanelaItens& janela = {}) {
    CONSULTA_VENDAS_FUTURAS consulta(ui_, *processor_, empresa_, itens_);
    consulta.set_janela_itens(janela);
    EXPECT_EQ(consulta.abre(), 1);
    EXPECT_EQ(consulta.vendas().size(), 1U);
    if (consulta.vendas().size() != 1) return 0;
    const VendaRejeitada& v = consulta.vendas()[0];
    EXPECT_EQ(v.vp, value("select caviaprsaidas from asaidas where cidesaidas = " + std::to_string(v.id)));
    return consulta.seleciona(1) == 1 ? consulta.escolhida() : 0;
  }
  // A standing sale that delivers `quantidade` of the rejected sale's line
  // `linha` (a copy of the line under another sale).
  void entrega(std::int32_t rejeitada, std::int32_t linha, const std::string& quantidade) {
    const auto outra = scenario("consumidor_com_cpf");
    sql("update asaidas set ide_futura = " + std::to_string(rejeitada) +
        " where cidesaidas = " + std::to_string(outra));
    sql("insert into ahistorico select (jsonb_populate_record(null::ahistorico, to_jsonb(h) || "
        "jsonb_build_object('cidehistorico', nextval('seque_ahistorico'), 'cisahistorico', " +
        std::to_string(outra) + ", 'csaihisotorico', " + quantidade +
        ", 'i_ahi_ide_entregue', cidehistorico))).* "
        "from ahistorico h where cidehistorico = " +
        std::to_string(linha));
  }
  std::int32_t linha(std::int32_t venda, int n) {
    return std::stoi(value("select cidehistorico from ahistorico where cisahistorico = " + std::to_string(venda) +
                           " order by cidehistorico offset " + std::to_string(n - 1) + " limit 1"));
  }
  // Records and issues the loaded sale as the screen would, paid in cash
  // unless the condition is a credit one.
  int grava(Estacao& e, GRAVACAO_VENDA& gravacao) {
    CONTEXTO_VENDA c = contexto_fechamento(contexto_estacao(valores_, sim_->gateway_config().url), e.venda, {});
    c.venda_recarregada = e.recarga.venda_recarregada();
    if (c.tipo_condicao == 'V' && e.venda.Paga(1, e.venda.Get_Valor_Pagar(), 0, {}) != 1) return 0;
    return gravacao.Fecha_Venda(c);
  }
  std::string ultima() const { return ui_.messages().empty() ? "" : ui_.messages().back().text; }

  ModuleValues valores_;
  ItensEntrega itens_;
  const ExportCompany empresa_{1, testing::kCnpj, "", "", ""};
};

TEST_F(RecargaVendaTest, ChosenItemsWithAChangedQuantityAreSoldAgain) {
  const auto venda = rejected_sale();
  const auto escolhida = escolhe([&](SELECIONA_ITENS_VENDA_FUTURA& itens) {
    if (itens.abre() != 1) return 0;
    EXPECT_EQ(itens.linhas().size(), 2U);
    EXPECT_EQ(itens.confirma(), 0);  // nothing marked yet: the window stays
    EXPECT_EQ(itens.marca(1), 1);
    ALTERA_QTDE_ITEM altera(ui_, db, itens_, itens.itens().itens[0].linha);
    EXPECT_EQ(altera.abre(), 1);
    EXPECT_EQ(altera.qtde_entrega(1), 1);
    EXPECT_EQ(altera.salva(), 1);
    EXPECT_EQ(itens.total_itens(), 1);
    EXPECT_DOUBLE_EQ(itens.valor_total_itens(), 17.90);
    return itens.confirma();
  });
  ASSERT_EQ(escolhida, venda) << ultima();

  Estacao e(ui_, db, valores_, itens_);
  const auto antes = ui_.messages().size();
  ASSERT_EQ(e.recarga.Carrega_Venda(venda), 1) << ultima();
  ASSERT_EQ(e.venda.Get_Quantidade_Itens(), 1);
  sale::QUEUE_ITEM item;
  ASSERT_EQ(e.venda.Get_Item_Venda(1, item), 1);
  EXPECT_EQ(item.CODIGO, "42");
  EXPECT_DOUBLE_EQ(item.QUANTIDADE, 1);
  const auto numero = value("select cnotsaidas from asaidas where cidesaidas = " + std::to_string(venda));
  ASSERT_EQ(ui_.messages().size(), antes + 2) << ultima();
  EXPECT_EQ(ui_.messages()[antes].text, "Deseja alterar o cliente?");
  EXPECT_EQ(ultima(), "Nota Fiscal ao consumidor rejeitada carregada com sucesso.\r\nNº da nota: " + numero +
                          "\r\nValor: " + format_picture(17.90, "n14.2") + "\r\nCliente: " + e.partes.nome_cliente());
}

TEST_F(RecargaVendaTest, DeliveredLinesAreLeftOutAndCannotBeMarked) {
  const auto venda = rejected_sale();
  ASSERT_EQ(escolhe([](SELECIONA_ITENS_VENDA_FUTURA&) { return 0; }), 0);
  entrega(venda, linha(venda, 2), "1");  // the cola, whole
  entrega(venda, linha(venda, 1), "1");  // one of the two coffees

  SELECIONA_ITENS_VENDA_FUTURA itens(ui_, db, itens_, venda);
  ASSERT_EQ(itens.abre(), 1);
  ASSERT_EQ(itens_.itens.size(), 1U);
  EXPECT_DOUBLE_EQ(itens_.itens[0].pendente, 1);
  EXPECT_DOUBLE_EQ(itens_.itens[0].entrega, 1);

  // Another station delivers the rest while the window is open.
  entrega(venda, linha(venda, 1), "1");
  EXPECT_EQ(itens.marca(1), 0);
  EXPECT_EQ(ultima(),
            "O item 42 - CAFE TORRADO MOIDO 500G não pode ser marcado para entrega pois já não dispõe de quantidades "
            "pendentes.");
  EXPECT_FALSE(itens_.itens[0].marcado);

  EXPECT_EQ(itens.abre(), 0);
  EXPECT_EQ(ultima(), "Nenhum registro retornou a tabela ahistorico");
  EXPECT_TRUE(itens_.itens.empty());
  EXPECT_EQ(itens_.venda, 0);
}

TEST_F(RecargaVendaTest, QuantityToDeliverNeverAbovePendingNorFractionalWhereForbidden) {
  ItemEntrega cafe_linha;
  cafe_linha.linha = 1;
  cafe_linha.produto = 42;
  cafe_linha.pendente = cafe_linha.entrega = 2;
  ItemEntrega queijo_linha = cafe_linha;
  queijo_linha.linha = 2;
  queijo_linha.produto = 46;  // sold by weight: fractions allowed
  itens_.itens = {cafe_linha, queijo_linha};
  ALTERA_QTDE_ITEM cafe(ui_, db, itens_, 1);
  ASSERT_EQ(cafe.abre(), 1);
  EXPECT_EQ(cafe.qtde_entrega(2), 1);  // equal to pending
  EXPECT_EQ(cafe.qtde_entrega(2.5), 0);
  EXPECT_EQ(ultima(), "A quantidade de entrega não pode ser superior a quantidade de venda.");
  EXPECT_DOUBLE_EQ(cafe.qtde_entrega(), 2);
  EXPECT_EQ(cafe.qtde_entrega(1.5), 1);
  EXPECT_EQ(cafe.salva(), 0);
  EXPECT_EQ(ultima(), "Venda de quantidade fracionada proibida para este produto.");
  EXPECT_DOUBLE_EQ(itens_.itens[0].entrega, 2);
  EXPECT_EQ(cafe.qtde_entrega(0), 1);
  EXPECT_EQ(cafe.salva(), 0);
  EXPECT_EQ(ultima(), "A quantidade para entrega não pode ser inferior ou igual a zero.");

  ALTERA_QTDE_ITEM queijo(ui_, db, itens_, 2);
  ASSERT_EQ(queijo.abre(), 1);
  EXPECT_EQ(queijo.qtde_entrega(1.5), 1);
  EXPECT_EQ(queijo.salva(), 1);
  EXPECT_DOUBLE_EQ(itens_.itens[1].entrega, 1.5);
}

TEST_F(RecargaVendaTest, ReloadRecordedAndIssuedKeepsTheNumberAndReversesTheOldSale) {
  const auto venda = rejected_sale();
  ASSERT_EQ(escolhe(), venda) << ultima();
  const auto antiga = std::to_string(venda);
  const auto numero = value("select cnotsaidas from asaidas where cidesaidas = " + antiga);

  Estacao e(ui_, db, valores_, itens_);
  // The station issues on a second till's series: the reload takes the old one back.
  sql("insert into tseriesnf (cserserie, cdesserie, cempserie, cforserie, s_tse_descricao_usuario, "
      "i_tse_serie_por_modelo) values (4, 'NFC-E CAIXA 2', 1, 2, 'NFC-e caixa 2', 1)");
  sql("insert into tserieusuarios (cod_ser_usu, cod_usu_usu) values (4, 1)");
  ASSERT_EQ(e.partes.emissor(4), 1) << ultima();
  ASSERT_EQ(e.recarga.Carrega_Venda(venda), 1) << ultima();
  EXPECT_EQ(e.venda.Get_Quantidade_Itens(), 2);
  GRAVACAO_VENDA gravacao(ui_, e.venda, *processor_);
  ASSERT_EQ(grava(e, gravacao), 1) << ultima();
  const auto nova = std::to_string(gravacao.venda());
  EXPECT_EQ(std::to_string(gravacao.numero()), numero);
  EXPECT_EQ(value("select s_asa_estorno || i_asa_numero_reutilizado from asaidas where cidesaidas = " + antiga), "R1");
  EXPECT_EQ(value("select ide_futura from asaidas where cidesaidas = " + nova), antiga);
  EXPECT_NE(value("select s_asa_protocolo_nfe from asaidas where cidesaidas = " + nova), "");
  EXPECT_EQ(value("select round(ctotsaidas, 2) from asaidas where cidesaidas = " + nova), "45.29");
  // Reloaded under its number, it is no longer offered.
  CONSULTA_VENDAS_FUTURAS consulta(ui_, *processor_, empresa_, itens_);
  ASSERT_EQ(consulta.abre(), 1);
  EXPECT_TRUE(consulta.vendas().empty());
}

TEST_F(RecargaVendaTest, CreditSaleTakesOverTheOldInstallments) {
  const auto venda = rejected_sale();
  const auto antiga = std::to_string(venda);
  const Date primeira = today() + 17;
  const Date segunda = today() + 50;
  sql("update asaidas set cfpgsaidas = 2, caviaprsaidas = 'P' where cidesaidas = " + antiga);
  sql("insert into asduplicatas (cisadupli, cnprdupli, cvendupli, cvprdupli) values (" + antiga + ", 1, " +
      sql_date(primeira) + ", 22.65), (" + antiga + ", 2, " + sql_date(segunda) + ", 22.64)");
  ASSERT_EQ(escolhe(), venda) << ultima();

  Estacao e(ui_, db, valores_, itens_);
  ASSERT_EQ(e.recarga.Carrega_Venda(venda), 1) << ultima();
  ASSERT_EQ(e.recarga.Assume_Prestacoes(), 1) << ultima();
  ASSERT_EQ(e.venda.Get_Quantidade_Parcelas(), 2);
  payment::QUEUE_PARCELAS p;
  ASSERT_EQ(e.venda.Get_Parcela(2, p), 1);
  EXPECT_EQ(p.VENCIMENTO, segunda);
  EXPECT_DOUBLE_EQ(p.VALOR, 22.64);

  GRAVACAO_VENDA gravacao(ui_, e.venda, *processor_);
  ASSERT_EQ(grava(e, gravacao), 1) << ultima();
  EXPECT_EQ(value("select string_agg(cnprdupli || ':' || (cvendupli - " + sql_date(today()) +
                  ") || ':' || round(cvprdupli, 2), "
                  "' ' order by cnprdupli) from asduplicatas where cisadupli = " +
                  std::to_string(gravacao.venda())),
            "1:17:22.65 2:50:22.64");
}

TEST_F(RecargaVendaTest, TwoStationsReloadingTheSameSaleOneWins) {
  const auto venda = rejected_sale();
  ASSERT_EQ(escolhe(), venda) << ultima();
  const std::string id = std::to_string(venda);
  Estacao a(ui_, db, valores_, itens_);
  ASSERT_EQ(a.recarga.Carrega_Venda(venda), 1) << ultima();

  // Station A is recording (it holds the old row) when station B, on a
  // session of its own, records the same note: B waits for the row.
  sql("Begin");
  sql("select 1 from asaidas where cidesaidas = " + id + " for update");
  ScriptedUi ui_b;
  int gravou_b = -1;
  int disponivel_b = -1;
  std::thread estacao_b([&] {
    set_working_folder(work_.path().string());  // per thread, as the session
    auto processo_b = make_processor(ui_b);
    {
      Estacao b(ui_b, db, valores_, itens_);
      if (b.recarga.Carrega_Venda(venda) == 1) {
        GRAVACAO_VENDA gb(ui_b, b.venda, *processo_b);
        gravou_b = grava(b, gb);
        disponivel_b = b.recarga.Verifica_Disponivel();
      }
    }
    processo_b.reset();
    DbSession::close_all();
  });
  // The activity view is read once per transaction unless told otherwise.
  const auto esperando = [&] {
    sql("select pg_stat_clear_snapshot()");
    return count("select 1 from pg_stat_activity where datname = current_database() and wait_event_type = 'Lock'");
  };
  for (int i = 0; i < 600 && esperando() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(esperando(), 1);
  GRAVACAO_VENDA ga(ui_, a.venda, *processor_);
  const int gravou_a = grava(a, ga);  // joins the open transaction; its commit lets B go on
  estacao_b.join();

  EXPECT_EQ(gravou_a, 1) << ultima();
  EXPECT_EQ(gravou_b, 0);
  EXPECT_EQ(disponivel_b, 0);
  const std::string perdeu = "A nota fiscal rejeitada " + id + " já foi recarregada ou resolvida em outra estação.|";
  ASSERT_GE(ui_b.messages().size(), 2U);
  for (auto m = ui_b.messages().end() - 2; m != ui_b.messages().end(); ++m) {
    EXPECT_EQ(m->text.rfind(perdeu, 0), 0U) << m->text;
  }
  EXPECT_EQ(count("select cidesaidas from asaidas where ide_futura = " + id), 1);
  // A later load is refused at once.
  Estacao c(ui_b, db, valores_, itens_);
  EXPECT_EQ(c.recarga.Carrega_Venda(venda), 0);
  EXPECT_EQ(ui_b.messages().back().text,
            "A nota fiscal rejeitada " + id + " já foi recarregada ou resolvida em outra estação.");
}

}  // namespace
}  // namespace fvn
