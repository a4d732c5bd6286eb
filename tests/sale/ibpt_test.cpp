// The IBPT table: reading the published file, looking NCMs up, and the
// private working copy (made once, reused, never overwriting another
// station's copy, never retrying for ever).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/working_folder.h"
#include "sale/ibpt_table.h"
#include "sale/sale_formatter.h"
#include "sale_test_support.h"
#include "support/temp_folder.h"

namespace fvn::sale {
namespace {

using fvn::testing::read_file;
using fvn::testing::TempFolder;
using fvn::testing::write_file;

constexpr const char* kPublished =
    "codigo;ex;tipo;descricao;nacionalfederal;importadosfederal;estadual;municipal;vigenciainicio;vigenciafim;"
    "chave;versao;fonte\r\n"
    "00000000;;0;\"PRODUTO NAO ESPECIFICADO\";7.85;9.85;4.14;0.00;20/02/2026;31/03/2026;3CA397;26.1.E;IBPT\r\n"
    "02109100;01;0;\"Carnes; salgadas, "
    "\"\"secas\"\"\";13.45;15.45;4.14;0.00;20/02/2026;31/03/2026;3CA397;26.1.E;IBPT\r\n"
    "02109100;;0;\"Carnes\";20.00;15.45;4.14;0.00;20/02/2026;31/03/2026;3CA397;26.1.E;IBPT\r\n"
    "0106;;2;\"Servicos\";13.45;15.45;4.14;0.00;20/02/2026;31/03/2026;3CA397;26.1.E;IBPT\r\n";

TEST(IbptTable, ReadsThePublishedFormat) {
  IbptTable table;
  table.load_text(kPublished);
  EXPECT_EQ(table.records(), 4U);  // the header is not a record
  const IbptRecord* carnes = table.find("02109100");
  ASSERT_NE(carnes, nullptr);
  EXPECT_EQ(carnes->EX, "01");  // the first matching row
  EXPECT_EQ(carnes->DESCRICAO, "Carnes; salgadas, \"secas\"");
  EXPECT_EQ(carnes->ALIQ_NAC, "13.45");
  EXPECT_EQ(carnes->ALIQ_IMP, "15.45");
}

TEST(IbptTable, ReadsCommaSeparatedRowsWithoutHeader) {
  IbptTable table;
  table.load_text("84713012,,0,Computadores,7.5,9.85\n22030000,,0,Cervejas,\"12,5\",14\n");
  EXPECT_EQ(table.records(), 2U);
  ASSERT_NE(table.find("2203.00.00"), nullptr);
  EXPECT_EQ(IbptTable::rate(table.find("22030000")->ALIQ_NAC), 12.5);
}

TEST(IbptTable, AnNcmMatchesWithPointsOrWithoutItsLeadingZero) {
  IbptTable table;
  table.load_text(kPublished);
  for (const char* ncm : {"02109100", "0210.91.00", "2109100", " 0210.91.00 "}) {
    const IbptRecord* found = table.find(ncm);
    ASSERT_NE(found, nullptr) << ncm;
    EXPECT_EQ(found->EX, "01") << ncm;
  }
  EXPECT_EQ(table.find("02109101"), nullptr);
  EXPECT_EQ(table.find("21091000"), nullptr);
  // An item without NCM reads as code 0: the "not specified" row.
  ASSERT_NE(table.find(""), nullptr);
  EXPECT_EQ(table.find("")->ALIQ_NAC, "7.85");
}

TEST(IbptTable, RatesAreReadWithPointOrComma) {
  EXPECT_EQ(IbptTable::rate("13.45"), 13.45);
  EXPECT_EQ(IbptTable::rate(" 7,85 "), 7.85);
  EXPECT_EQ(IbptTable::rate("nacionalfederal"), 0);
  EXPECT_EQ(IbptTable::rate(""), 0);
}

TEST(IbptTable, OpeningAMissingFileFailsWithTheRuntimeError) {
  TempFolder folder;
  IbptTable table;
  EXPECT_FALSE(table.open(folder.file("nada.csv")));
  EXPECT_FALSE(table.is_open());
  EXPECT_EQ(last_runtime_message(), "Arquivo não encontrado");
}

class WorkingCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    SaleFormatter::remove_copia_ibpt();
    set_working_folder(folder.path().string());
  }
  void TearDown() override {
    SaleFormatter::set_sorteio({});
    SaleFormatter::remove_copia_ibpt();
    set_working_folder(".");
  }
  [[nodiscard]] std::vector<std::string> copies() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("ibpt_", 0) == 0) names.push_back(name);
    }
    return names;
  }

  TempFolder folder;
  SaleFormatter formatter;
  ErrorTriple venda;
};

TEST_F(WorkingCopy, WithoutTheTableTheSaleIsTold) {
  EXPECT_EQ(formatter.Prepara_Tabela_IBPT(venda), 0);
  EXPECT_EQ(venda.ERROR, "Arquivo ibpt.csv não encontrado! ");
  EXPECT_EQ(venda.ERROR_FUNCTION, "Vende_Item");
  EXPECT_TRUE(copies().empty());
}

TEST_F(WorkingCopy, IsMadeOnceAndReused) {
  write_file(folder.file("ibpt.csv"), kPublished);
  ASSERT_EQ(formatter.Prepara_Tabela_IBPT(venda), 1);
  const std::string copy = SaleFormatter::caminho_copia_ibpt();
  ASSERT_EQ(copies().size(), 1U);
  EXPECT_EQ(read_file(copy), kPublished);
  EXPECT_NE(copy.find("/ibpt_"), std::string::npos);

  write_file(folder.file("ibpt.csv"), "changed later\n");
  SaleFormatter another;
  ASSERT_EQ(another.Prepara_Tabela_IBPT(venda), 1);
  EXPECT_EQ(SaleFormatter::caminho_copia_ibpt(), copy);
  EXPECT_EQ(copies().size(), 1U);
  EXPECT_EQ(read_file(copy), kPublished);
}

TEST_F(WorkingCopy, IsNotReusedFromAnotherWorkingFolder) {
  write_file(folder.file("ibpt.csv"), kPublished);
  ASSERT_EQ(formatter.Prepara_Tabela_IBPT(venda), 1);
  TempFolder other;
  write_file(other.file("ibpt.csv"), kPublished);
  set_working_folder(other.path().string());
  ASSERT_EQ(formatter.Prepara_Tabela_IBPT(venda), 1);
  EXPECT_EQ(SaleFormatter::caminho_copia_ibpt().rfind(other.path().string(), 0), 0U);
  set_working_folder(folder.path().string());
}

TEST_F(WorkingCopy, ANameAnotherStationDrewIsLeftAloneAndAnotherIsDrawn) {
  write_file(folder.file("ibpt.csv"), kPublished);
  write_file(folder.file("ibpt_7.csv"), "other station");
  std::vector<int> draws = {7, 7, 8};
  SaleFormatter::set_sorteio([&draws] {
    const int n = draws.front();
    draws.erase(draws.begin());
    return n;
  });
  ASSERT_EQ(formatter.Prepara_Tabela_IBPT(venda), 1);
  EXPECT_EQ(SaleFormatter::caminho_copia_ibpt(), folder.file("ibpt_8.csv"));
  EXPECT_EQ(read_file(folder.file("ibpt_7.csv")), "other station");
  EXPECT_EQ(read_file(folder.file("ibpt_8.csv")), kPublished);
}

TEST_F(WorkingCopy, GivesUpAfterTwentyDraws) {
  write_file(folder.file("ibpt.csv"), kPublished);
  write_file(folder.file("ibpt_7.csv"), "other station");
  int draws = 0;
  SaleFormatter::set_sorteio([&draws] {
    ++draws;
    return 7;
  });
  EXPECT_EQ(formatter.Prepara_Tabela_IBPT(venda), 0);
  EXPECT_EQ(draws, 20);
  EXPECT_EQ(venda.ERROR, "Não foi possível criar a cópia de trabalho da tabela IBPT em " + folder.path().string() +
                             " após 20 tentativas: os nomes sorteados já estavam em uso");
  EXPECT_EQ(venda.ERROR_FUNCTION, "Vende_Item");
  EXPECT_EQ(SaleFormatter::caminho_copia_ibpt(), "");
  EXPECT_EQ(read_file(folder.file("ibpt_7.csv")), "other station");
}

TEST_F(WorkingCopy, AReadOnlyFolderFailsInsteadOfRetryingForEver) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root; see the write-failure test";
  write_file(folder.file("ibpt.csv"), kPublished);
  std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_EQ(formatter.Prepara_Tabela_IBPT(venda), 0);
  std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  EXPECT_NE(venda.ERROR.find("após 20 tentativas: Acesso não permitido"), std::string::npos) << venda.ERROR;
}

TEST_F(WorkingCopy, AFailedWriteLeavesNoPartialCopyAndEnds) {
  // A full disk: no file of this process may grow beyond 16 bytes.
  write_file(folder.file("ibpt.csv"), kPublished);
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto* previous = ::signal(SIGXFSZ, SIG_IGN);
  rlimit tiny = old;
  tiny.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
  const int result = formatter.Prepara_Tabela_IBPT(venda);
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, previous);
  EXPECT_EQ(result, 0);
  EXPECT_NE(venda.ERROR.find("após 20 tentativas"), std::string::npos) << venda.ERROR;
  EXPECT_TRUE(copies().empty());
}

TEST_F(WorkingCopy, IsRemovedWithTheSaleObject) {
  write_file(folder.file("ibpt.csv"), kPublished);
  {
    CLASSE_ITEM sale_object;
    EXPECT_EQ(copies().size(), 1U);
  }
  EXPECT_TRUE(copies().empty());
}

// A copy is removed at start-up only once its owner is gone: a live owner
// (this process, or a child) keeps it; a child killed mid-sale loses it.
TEST_F(WorkingCopy, AbandonedCopiesAreRemovedOnlyOnceTheirOwnerIsGone) {
  write_file(folder.file("ibpt.csv"), kPublished);
  write_file(folder.file("ibpt_9.csv"), "left by a process killed long ago");
  write_file(folder.file("ibpt_9.csv.bak"), "not a working copy");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SaleFormatter::set_sorteio([] { return 4242; });
    ErrorTriple e;
    const char made = SaleFormatter{}.Prepara_Tabela_IBPT(e) == 1 ? '1' : '0';
    (void)::write(ready[1], &made, 1);
    ::pause();
    ::_exit(0);
  }
  char made = 0;
  ASSERT_EQ(::read(ready[0], &made, 1), 1);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_EQ(made, '1');
  ASSERT_EQ(formatter.Prepara_Tabela_IBPT(venda), 1);
  const std::string own = SaleFormatter::caminho_copia_ibpt();

  EXPECT_EQ(SaleFormatter::remove_copias_abandonadas(), 1);
  EXPECT_TRUE(std::filesystem::exists(own));
  EXPECT_TRUE(std::filesystem::exists(folder.file("ibpt_4242.csv")));
  EXPECT_FALSE(std::filesystem::exists(folder.file("ibpt_9.csv")));
  EXPECT_TRUE(std::filesystem::exists(folder.file("ibpt_9.csv.bak")));

  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(SaleFormatter::remove_copias_abandonadas(), 1);
  EXPECT_FALSE(std::filesystem::exists(folder.file("ibpt_4242.csv")));
  EXPECT_TRUE(std::filesystem::exists(own));
  EXPECT_EQ(read_file(own), kPublished);
}

class IbptAcrossSales : public testing::SaleTest {};

TEST_F(IbptAcrossSales, TheNextSaleReadsTheSameCopy) {
  write_file(folder.file("ibpt.csv"), "02109100;;0;Carnes;13.45;15.45\n");
  GRUPO_EMPRESA empresa = testing::empresa_regime_normal();
  empresa.USA_IMPOSTO_PRODUTO = 1;
  ASSERT_EQ(venda->Set_Dados_Empresa(empresa), 1);
  QUEUE_ITEM carne = testing::item(100);
  carne.NCM = "0210.91.00";
  vende(carne);
  const std::string copy = SaleFormatter::caminho_copia_ibpt();

  // The published table changes; this process keeps reading its copy.
  write_file(folder.file("ibpt.csv"), "02109100;;0;Carnes;50.00;15.45\n");
  ASSERT_EQ(venda->Limpa_Venda(), 1);
  ASSERT_EQ(venda->Set_Dados_Vendedor({3, "JOANA"}), 1);
  vende(carne);
  EXPECT_EQ(SaleFormatter::caminho_copia_ibpt(), copy);
  EXPECT_EQ(item_vendido(1).TOTAL_APROX_IMPOSTOS.units(), 1345);
}

}  // namespace
}  // namespace fvn::sale
