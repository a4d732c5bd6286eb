// The installment plan: every interest type and quebra mode with
// hand-computed installments and due dates, the refusals of its setters and
// of Calcula_Parcelas, editing single installments, and the rule that the
// installments always add up to the plan's total.
#include "payment/parcelas.h"

#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/clock.h"
#include "runtime/rounding.h"
#include "sale_test_support.h"

namespace fvn::payment {
namespace {

using sale::testing::RowName;

Date dia(int ano, int mes, int d) { return date_from_civil(ano, mes, d); }

std::vector<double> valores(const Parcelas& p) {
  std::vector<double> v;
  for (const QUEUE_PARCELAS& q : p.PARCELAS) v.push_back(round_to(q.VALOR, 6));
  return v;
}

std::vector<Date> vencimentos(const Parcelas& p) {
  std::vector<Date> v;
  for (const QUEUE_PARCELAS& q : p.PARCELAS) v.push_back(q.VENCIMENTO);
  return v;
}

double soma(const Parcelas& p) {
  double s = 0;
  for (const QUEUE_PARCELAS& q : p.PARCELAS) s += q.VALOR;
  return round_to(s, 2);
}

struct Plano {
  Date emissao = dia(2026, 5, 4);
  double total = 100;
  std::int32_t parcelas = 3;
  std::int32_t dias = 30;
  std::int32_t primeira = 30;
  Date data_primeira = 0;
  double juro = 0;
  std::int32_t tipo_juro = 1;
  std::int32_t dia_mes = 0;
  std::int32_t quebra = 1;
};

// Sets every property and expects each setter to accept it.
void monta(Parcelas& p, const Plano& plano) {
  ASSERT_EQ(p.Set_Data_Emissao(plano.emissao), 1) << p.ERROR;
  ASSERT_EQ(p.Set_Total_Parcelar(plano.total), 1) << p.ERROR;
  ASSERT_EQ(p.Set_Parcelas(plano.parcelas), 1) << p.ERROR;
  ASSERT_EQ(p.Set_Dias(plano.dias), 1) << p.ERROR;
  ASSERT_EQ(p.Set_Primeira(plano.primeira), 1) << p.ERROR;
  ASSERT_EQ(p.Set_Data_Primeira(plano.data_primeira), 1) << p.ERROR;
  ASSERT_EQ(p.Set_Juro(plano.juro), 1) << p.ERROR;
  ASSERT_EQ(p.Set_Tipo_Juro(plano.tipo_juro), 1) << p.ERROR;
  ASSERT_EQ(p.Set_Dia_Mes(plano.dia_mes), 1) << p.ERROR;
  ASSERT_EQ(p.Set_Quebra(plano.quebra), 1) << p.ERROR;
}

struct CalculoRow {
  std::string name;
  Plano plano;
  std::vector<double> valores;
  std::vector<Date> vencimentos;
  double acrescimo;
};

class CalculaParcelas : public ::testing::TestWithParam<CalculoRow> {};

TEST_P(CalculaParcelas, BuildsTheHandComputedPlan) {
  const CalculoRow& row = GetParam();
  Parcelas p;
  monta(p, row.plano);
  ASSERT_EQ(p.Calcula_Parcelas(), 1) << p.ERROR;
  EXPECT_EQ(valores(p), row.valores);
  EXPECT_EQ(vencimentos(p), row.vencimentos);
  EXPECT_MONEY(p.ACRESCIMO, row.acrescimo);
  EXPECT_MONEY(p.TOTAL_PARCELADO, round_to(row.plano.total + row.acrescimo, 2));
  EXPECT_EQ(soma(p), round_to(p.TOTAL_PARCELADO, 2));
  EXPECT_EQ(p.Checa_Valores(), 1) << p.ERROR;
  std::int32_t n = 0;
  for (const QUEUE_PARCELAS& q : p.PARCELAS) EXPECT_EQ(q.NUMERO, ++n);
}

Plano com(Plano p, void (*muda)(Plano&)) {
  muda(p);
  return p;
}

const Date kEmissao = dia(2026, 5, 4);
const std::vector<Date> kTrintaDias = {dia(2026, 6, 3), dia(2026, 7, 3), dia(2026, 8, 2)};

INSTANTIATE_TEST_SUITE_P(
    Modes, CalculaParcelas,
    ::testing::Values(
        CalculoRow{"CentToFirst", Plano{}, {33.34, 33.33, 33.33}, kTrintaDias, 0},
        CalculoRow{"CentToLast", com({}, [](Plano& p) { p.quebra = 2; }), {33.33, 33.33, 33.34}, kTrintaDias, 0},
        CalculoRow{"TensToFirst", com({}, [](Plano& p) { p.quebra = 3; }), {33.4, 33.3, 33.3}, kTrintaDias, 0},
        CalculoRow{"TensToLast", com({}, [](Plano& p) { p.quebra = 4; }), {33.3, 33.3, 33.4}, kTrintaDias, 0},
        // 0.50 / 6 rounds to 0.10: the last goes down to 0.01 and the fifth takes the rest.
        CalculoRow{"TensToLastLowersInstallmentsToOneCent",
                   com({},
                       [](Plano& p) {
                         p.total = 0.5;
                         p.parcelas = 6;
                         p.dias = 1;
                         p.primeira = 0;
                         p.quebra = 4;
                       }),
                   {0.1, 0.1, 0.1, 0.1, 0.09, 0.01},
                   {kEmissao, kEmissao + 1, kEmissao + 2, kEmissao + 3, kEmissao + 4, kEmissao + 5},
                   0},
        // 90 days: 2 % x 3 months = 6 %.
        CalculoRow{"SimpleInterest", com({}, [](Plano& p) { p.juro = 2; }), {35.34, 35.33, 35.33}, kTrintaDias, 6},
        // 1.02 ^ 3 = 1.061208: 6.12 %.
        CalculoRow{"CompoundInterest",
                   com({},
                       [](Plano& p) {
                         p.juro = 2;
                         p.tipo_juro = 2;
                       }),
                   {35.38, 35.37, 35.37},
                   kTrintaDias,
                   6.12},
        // The term plays no part: 5 % of 100.
        CalculoRow{"FlatInterest",
                   com({},
                       [](Plano& p) {
                         p.juro = 5;
                         p.tipo_juro = 3;
                         p.parcelas = 4;
                         p.dias = 10;
                         p.primeira = 0;
                         p.quebra = 2;
                       }),
                   {26.25, 26.25, 26.25, 26.25},
                   {kEmissao, kEmissao + 10, kEmissao + 20, kEmissao + 30},
                   5},
        // 45 + 30 days = 2.5 months at 3 %: 7.5 %.
        CalculoRow{"SimpleInterestOverAHalfMonth",
                   com({},
                       [](Plano& p) {
                         p.total = 1000;
                         p.parcelas = 2;
                         p.primeira = 45;
                         p.juro = 3;
                       }),
                   {537.5, 537.5},
                   {dia(2026, 6, 18), dia(2026, 7, 18)},
                   75},
        // 31 January + 1 month: day 31 of February carries into March.
        CalculoRow{"SameDayOfMonthFrom31January",
                   com({},
                       [](Plano& p) {
                         p.emissao = dia(2025, 1, 10);
                         p.total = 300;
                         p.data_primeira = dia(2025, 1, 31);
                         p.dia_mes = 1;
                         p.dias = 0;
                       }),
                   {100, 100, 100},
                   {dia(2025, 1, 31), dia(2025, 3, 3), dia(2025, 3, 31)},
                   0},
        // Term 76 days (15 November to 30 January): 1 % x 2.5333 = 2.53 %.
        CalculoRow{"SameDayOfMonthAcrossTheYearWithInterest",
                   com({},
                       [](Plano& p) {
                         p.emissao = dia(2025, 11, 15);
                         p.total = 300;
                         p.primeira = 15;
                         p.dia_mes = 1;
                         p.juro = 1;
                       }),
                   {102.53, 102.53, 102.53},
                   {dia(2025, 11, 30), dia(2025, 12, 30), dia(2026, 1, 30)},
                   7.59},
        CalculoRow{"EveryThirtyDaysAcrossLeapFebruary",
                   com({},
                       [](Plano& p) {
                         p.emissao = dia(2024, 2, 20);
                         p.total = 90;
                         p.primeira = 10;
                       }),
                   {30, 30, 30},
                   {dia(2024, 3, 1), dia(2024, 3, 31), dia(2024, 4, 30)},
                   0}),
    RowName{});

struct RecusaRow {
  std::string name;
  Plano plano;
  std::string error;
};

class CalculaParcelasRecusa : public ::testing::TestWithParam<RecusaRow> {};

TEST_P(CalculaParcelasRecusa, FailsAndLeavesNoInstallments) {
  Parcelas p;
  monta(p, GetParam().plano);
  EXPECT_EQ(p.Calcula_Parcelas(), 0);
  EXPECT_EQ(p.ERROR, GetParam().error);
  EXPECT_EQ(p.ERROR_FUNCTION, "Calcula_Parcelas");
  EXPECT_EQ(p.Get_Quantidade_Parcelas(), 0);
  EXPECT_EQ(p.TOTAL_PARCELADO, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, CalculaParcelasRecusa,
    ::testing::Values(RecusaRow{"TensRoundToZero",
                                com({},
                                    [](Plano& p) {
                                      p.total = 0.1;
                                      p.quebra = 3;
                                    }),
                                "Parcelas com valor menos que R$ 0.01"},
                      RecusaRow{"CentsBelowOneCent", com({}, [](Plano& p) { p.total = 0.02; }),
                                "Parcelas com valor menor que R$ 0.01"},
                      RecusaRow{"LastDueDateBeyondTheCalendar",
                                com({},
                                    [](Plano& p) {
                                      p.emissao = dia(9999, 11, 1);
                                      p.dias = 60;
                                    }),
                                "Vencimento das parcelas além da última data aceita (31/12/9999)."},
                      RecusaRow{"SameDayOfMonthBeyondTheCalendar",
                                com({},
                                    [](Plano& p) {
                                      p.emissao = dia(9999, 11, 1);
                                      p.dia_mes = 1;
                                    }),
                                "Vencimento das parcelas além da última data aceita (31/12/9999)."},
                      RecusaRow{"CompoundInterestOverflows",
                                com({},
                                    [](Plano& p) {
                                      p.juro = 1e300;
                                      p.tipo_juro = 2;
                                    }),
                                "Juros calculados excedem o maior valor aceito."}),
    RowName{});

TEST(Parcelas, PropertiesAreCheckedAgainBeforeBuilding) {
  Parcelas p;
  ASSERT_EQ(p.Set_Total_Parcelar(100), 1);
  EXPECT_EQ(p.Calcula_Parcelas(), 0);  // no issue date yet
  EXPECT_EQ(p.ERROR, "Data de emissão inválida");
  EXPECT_EQ(p.ERROR_FUNCTION, "Calcula_Parcelas");
}

struct SetterRow {
  std::string name;
  std::function<int(Parcelas&)> call;
  std::string error;
  std::string function;
};

class Setter : public ::testing::TestWithParam<SetterRow> {};

TEST_P(Setter, RefusesAndKeepsTheOldValue) {
  Parcelas p;
  monta(p, Plano{});
  const Parcelas antes = p;
  EXPECT_EQ(GetParam().call(p), 0);
  EXPECT_EQ(p.ERROR, GetParam().error);
  EXPECT_EQ(p.ERROR_FUNCTION, GetParam().function);
  EXPECT_EQ(p.TOTAL_PARCELAR, antes.TOTAL_PARCELAR);
  EXPECT_EQ(p.NUMERO_PARCELAS, antes.NUMERO_PARCELAS);
  EXPECT_EQ(p.DATA_PRIMEIRA, antes.DATA_PRIMEIRA);
  EXPECT_EQ(p.JURO, antes.JURO);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Refusals, Setter,
    ::testing::Values(
        SetterRow{"IssueDateBelowRange", [](Parcelas& p) { return p.Set_Data_Emissao(3); }, "Data de emissão inválida",
                  "Set_Data_Emissao"},
        SetterRow{"NegativeTotal", [](Parcelas& p) { return p.Set_Total_Parcelar(-0.01); },
                  "Total a parcelar negativo.", "Set_Total_Parcelar"},
        SetterRow{"TotalNotANumber", [](Parcelas& p) { return p.Set_Total_Parcelar(kNaN); },
                  "Total a parcelar negativo.", "Set_Total_Parcelar"},
        SetterRow{"InfiniteTotal",
                  [](Parcelas& p) { return p.Set_Total_Parcelar(std::numeric_limits<double>::infinity()); },
                  "Total a parcelar inválido.", "Set_Total_Parcelar"},
        SetterRow{"ZeroInstallments", [](Parcelas& p) { return p.Set_Parcelas(0); },
                  "Número de parcelas negativo ou zerado.", "Set_Parcelas"},
        SetterRow{"TooManyInstallments", [](Parcelas& p) { return p.Set_Parcelas(1000); },
                  "Número de parcelas acima do limite de 999.", "Set_Parcelas"},
        SetterRow{"NegativeDays", [](Parcelas& p) { return p.Set_Dias(-1); }, "Dias entre as prestacoes negativo.",
                  "Set_Dias"},
        SetterRow{"NegativeFirst", [](Parcelas& p) { return p.Set_Primeira(-1); },
                  "Número de dias para a 1ª parcela negativo.", "Set_Primeira"},
        SetterRow{"NegativeInterest", [](Parcelas& p) { return p.Set_Juro(-0.5); }, "Percentual de juros negativo",
                  "Set_Juro"},
        SetterRow{"InterestType4", [](Parcelas& p) { return p.Set_Tipo_Juro(4); }, "Tipo de juro inválido.",
                  "Set_Tipo_Juro"},
        SetterRow{"DayOfMonthFlag2", [](Parcelas& p) { return p.Set_Dia_Mes(2); }, "Valor inválido para o Flag",
                  "Set_Dia_Mes"},
        SetterRow{"Quebra5", [](Parcelas& p) { return p.Set_Quebra(5); }, "Tipo de quebra inválida.", "Set_Quebra"},
        SetterRow{"FirstDateBeforeIssue", [](Parcelas& p) { return p.Set_Data_Primeira(dia(2026, 5, 3)); },
                  "Data da primeira parcela não pode ser inferior à 04/05/2026", "Set_Data_Primeira"},
        SetterRow{"NegativeEntity", [](Parcelas& p) { return p.Set_Codigo_Entidade(-1); }, "Código Entidade zerado",
                  "Set_Codigo_Entidade"}),
    RowName{});

// ---- Editing ----

class EditaParcelas : public ::testing::Test {
 protected:
  // 100.00 in `n` installments every 30 days from the issue date + 30.
  void plano(std::int32_t quebra, std::int32_t n = 3) {
    Plano pl;
    pl.quebra = quebra;
    pl.parcelas = n;
    monta(p, pl);
    ASSERT_EQ(p.Calcula_Parcelas(), 1) << p.ERROR;
  }
  void edita(std::int32_t n, double v) {
    ASSERT_EQ(p.Set_Valor_Parcela(n, v), 1) << p.ERROR;
    ASSERT_EQ(p.Recalcula_Parcelas_Seguintes(n), 1) << p.ERROR;
    EXPECT_EQ(soma(p), 100);
    EXPECT_EQ(p.Checa_Valores(), 1) << p.ERROR;
  }
  Parcelas p;
};

TEST_F(EditaParcelas, QuebraOnFirstRecomputesTheEarlierInstallments) {
  plano(1);
  edita(2, 40);
  EXPECT_EQ(valores(p), (std::vector<double>{26.67, 40, 33.33}));
  edita(3, 66.66);
  EXPECT_EQ(valores(p), (std::vector<double>{16.67, 16.67, 66.66}));
}

TEST_F(EditaParcelas, QuebraOnLastRecomputesTheLaterInstallments) {
  plano(2);
  edita(2, 50);
  EXPECT_EQ(valores(p), (std::vector<double>{33.33, 50, 16.67}));
}

TEST_F(EditaParcelas, TheRoundingOfARecomputationGoesToTheLast) {
  plano(2, 4);
  edita(1, 10.01);  // 89.99 / 3 = 30.00 each, 0.01 too much
  EXPECT_EQ(valores(p), (std::vector<double>{10.01, 30, 30, 29.99}));
}

TEST_F(EditaParcelas, TheInstallmentThatAbsorbsDifferencesIsLocked) {
  plano(1);
  EXPECT_EQ(p.Set_Valor_Parcela(1, 30), 0);
  EXPECT_EQ(p.ERROR, "Não é possível alterar o valor da primeira parcela devido ao tipo de quebra utilizado.");
  plano(4);
  EXPECT_EQ(p.Set_Valor_Parcela(3, 30), 0);
  EXPECT_EQ(p.ERROR, "Não é possível alterar o valor da última parcela devido ao tipo de quebra utilizado.");
  ASSERT_EQ(p.Set_Flag_Ignora_Quebra(1), 1);
  EXPECT_EQ(p.Set_Valor_Parcela(3, 30), 1) << p.ERROR;
}

TEST_F(EditaParcelas, ValueRefusals) {
  plano(2);
  EXPECT_EQ(p.Set_Valor_Parcela(2, 100.01), 0);
  EXPECT_EQ(p.ERROR, "Valor da parcela deve ser menor a total parcelado.");
  EXPECT_EQ(p.Set_Valor_Parcela(2, 66.68), 0);  // installments 2 and 3 hold 66.67
  EXPECT_EQ(p.ERROR, " Valor informado maior ao total restante nas parcelas. ");
  EXPECT_EQ(p.ERROR_FUNCTION, " Set_Valor_Parcela ");
  EXPECT_EQ(p.Set_Valor_Parcela(2, 0), 0);
  EXPECT_EQ(p.ERROR, " Valor da parcela não pode ser menor ou igual que R$ 0.00 ");
  EXPECT_EQ(p.Set_Valor_Parcela(4, 10), 0);
  EXPECT_EQ(p.ERROR, "Erro ao dar GET na QUEUE Parcelas Entrada não encontrada");
  EXPECT_EQ(valores(p), (std::vector<double>{33.33, 33.33, 33.34}));
}

TEST_F(EditaParcelas, ARecomputationThatWouldLeaveNothingUndoesTheEdit) {
  plano(1);
  ASSERT_EQ(p.Set_Valor_Parcela(2, 66.67), 1);  // leaves 0.00 for the first
  EXPECT_EQ(p.Recalcula_Parcelas_Seguintes(2), 0);
  EXPECT_EQ(p.ERROR, "Erro ao recalcular parcelas, valor não pode ser inferior a 0.01");
  EXPECT_EQ(valores(p), (std::vector<double>{33.34, 33.33, 33.33}));
}

TEST_F(EditaParcelas, ADifferenceThatCannotBePlacedFailsInsteadOfVanishing) {
  plano(1);
  for (QUEUE_PARCELAS& q : p.PARCELAS) q.VALOR = 0.01;
  p.TOTAL_PARCELADO = 0.02;  // one cent less than the installments can go
  EXPECT_EQ(p.Recalcula_Parcelas_Seguintes(1), 0);
  EXPECT_EQ(p.ERROR, "Diferença de R$ -0,01 não pode ser distribuída entre as parcelas.");
  EXPECT_EQ(valores(p), (std::vector<double>{0.01, 0.01, 0.01}));
}

TEST_F(EditaParcelas, DueDates) {
  plano(1);
  EXPECT_EQ(p.Set_Vencimento_Parcela(2, kLastDate + 1), 0);
  EXPECT_EQ(p.ERROR, " Data de vencimento inválida ");
  EXPECT_EQ(p.Set_Vencimento_Parcela(1, dia(2026, 6, 4)), 0);
  EXPECT_EQ(p.ERROR,
            "|Não é possível alterar o vencimento da primeira parcela.|A data de vencimento não pode ser maior que o "
            "número de dias para a primeira parcela.|Dias para primeiro vencimento: 30|Dias informados: 31.");
  EXPECT_EQ(p.Set_Vencimento_Parcela(2, dia(2026, 6, 2)), 0);  // before the first
  EXPECT_EQ(p.ERROR, "Data 02/06/2026 da Prestação nº 2 menor que Data 03/06/2026 da Prestação nº 1 ");
  EXPECT_EQ(p.ERROR_FUNCTION, "Checa_Valores");
  EXPECT_EQ(vencimentos(p), kTrintaDias);
  ASSERT_EQ(p.Set_Vencimento_Parcela(2, dia(2026, 7, 20)), 1) << p.ERROR;
  EXPECT_EQ(p.PARCELAS.at(2).VENCIMENTO, dia(2026, 7, 20));
  EXPECT_EQ(p.Set_Vencimento_Parcela(2, dia(2026, 8, 3)), 0);  // after the third
  EXPECT_EQ(p.ERROR, "Data 02/08/2026 da Prestação nº 3 menor que Data 03/08/2026 da Prestação nº 2 ");
  EXPECT_EQ(p.PARCELAS.at(2).VENCIMENTO, dia(2026, 7, 20));
}

TEST_F(EditaParcelas, TheFirstDueDateFollowsAnExplicitFirstDate) {
  Plano pl;
  pl.data_primeira = dia(2026, 5, 20);
  monta(p, pl);
  ASSERT_EQ(p.Calcula_Parcelas(), 1);
  EXPECT_EQ(p.Set_Vencimento_Parcela(1, dia(2026, 5, 20)), 1) << p.ERROR;
}

TEST_F(EditaParcelas, SameDayOfMonthPlansKeepTheirDueDates) {
  Plano pl;
  pl.dia_mes = 1;
  monta(p, pl);
  ASSERT_EQ(p.Calcula_Parcelas(), 1);
  EXPECT_EQ(p.Set_Vencimento_Parcela(2, dia(2026, 7, 10)), 0);
  EXPECT_EQ(p.ERROR, "Não é possível alterar o vencimento da parcela utilizando o vencimento para o mesmo dia do mês.");
}

TEST_F(EditaParcelas, RemovingAnInstallmentRenumbersAndNoLongerAddsUp) {
  plano(1);
  ASSERT_EQ(p.Estorna_Parcela(2), 1);
  EXPECT_EQ(p.PARCELAS.at(2).NUMERO, 2);
  EXPECT_MONEY(p.TOTAL_PARCELADO, 66.67);
  EXPECT_EQ(p.Checa_Valores(), 0);
  EXPECT_EQ(p.ERROR,
            "Valor acumulado das prestações R$ 66,67difere do total parcelado R$ 100,00|Diferença entre valores de R$ "
            "-33,33 ");
  EXPECT_EQ(p.Estorna_Parcela(0), 0);
  EXPECT_EQ(p.ERROR, "Número parcela igual ou menor que zero");
}

TEST_F(EditaParcelas, RebuildingByHandAfterEmptyingTheList) {
  plano(1);
  ASSERT_EQ(p.Limpa_Prestacoes(), 1);
  EXPECT_EQ(p.TOTAL_PARCELAR, 100);
  QUEUE_PARCELAS q;
  q.VENCIMENTO = dia(2026, 5, 3);
  q.VALOR = 60;
  EXPECT_EQ(p.Adiciona_Parcela(q), 0);
  EXPECT_EQ(p.ERROR, "|Data menor que data de emissão 04/05/2026 ");
  q.VENCIMENTO = dia(2026, 6, 1);
  q.VALOR = 0;
  EXPECT_EQ(p.Adiciona_Parcela(q), 0);
  EXPECT_EQ(p.ERROR, "|Valor da Parcela está zerado ou negativo ");
  q.VALOR = 60;
  ASSERT_EQ(p.Adiciona_Parcela(q), 1) << p.ERROR;
  q.VENCIMENTO = dia(2026, 7, 1);
  q.VALOR = 40.01;
  EXPECT_EQ(p.Adiciona_Parcela(q), 0);
  EXPECT_EQ(p.ERROR,
            "|A soma do valor da parcela mais total parcelado ultrapassa o valor total do pagamento.|Valor Soma: "
            "100,01|Total Pagamento: 100,00");
  q.VALOR = 40;
  ASSERT_EQ(p.Adiciona_Parcela(q), 1) << p.ERROR;
  EXPECT_EQ(p.PARCELAS.at(2).NUMERO, 2);
  EXPECT_EQ(p.Checa_Valores(), 1) << p.ERROR;
}

}  // namespace
}  // namespace fvn::payment
