// `fvn audit KIND CODE` on the test database: what support staff read when
// they ask why something cannot be sold. The command shares the test's
// database session, so the rows a case builds inside the test's transaction
// are the rows it reads.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/fvn_cli.h"
#include "audit_fixture.h"

namespace fvn::testing {
namespace {

struct LinhaComando {
  std::string nome;
  std::vector<std::string> args{};
  std::string sql{};
  int status = 0;
  std::string saida{};  // standard output, exactly
};

class ComandoAudit : public AuditTest, public ::testing::WithParamInterface<LinhaComando> {
 protected:
  int fvn(const std::vector<std::string>& args, const std::string& station, std::string& out, std::string& err) {
    write_file(work_.file("fvn.ini"), "[module]\nworking_folder = " + work_.path().string() +
                                          "\n[database]\nconnection = " + db + "\n" + station);
    std::vector<std::string> all = {"--config", work_.file("fvn.ini"), "audit"};
    all.insert(all.end(), args.begin(), args.end());
    std::ostringstream o;
    std::ostringstream e;
    const int status = app::run(all, o, e, nullptr);
    out = o.str();
    err = e.str();
    return status;
  }
};

constexpr std::string_view kStation = "[station]\ncompany = 1\nemitter = 1\ncustomer = 1\n";

TEST_P(ComandoAudit, Saida) {
  const LinhaComando& linha = GetParam();
  sql(linha.sql);
  std::string out;
  std::string err;
  EXPECT_EQ(fvn(linha.args, std::string(kStation), out, err), linha.status) << out << err;
  EXPECT_EQ(out, linha.saida) << err;
  if (linha.status == 2) {
    EXPECT_NE(err.find("usage: fvn audit KIND CODE"), std::string::npos) << err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Comandos, ComandoAudit,
    ::testing::ValuesIn(std::vector<LinhaComando>{
        {"Empresa", {"company", "1"}, "", 0, "OK\n"},
        {"EmpresaRecusada",
         {"company", "1"},
         "update tempresa set crazempresa = '7' where ccodempresa = 1",
         1,
         "Retorno: 9\nErro: Razão social da empresa inválida ou não preenchida.\nFunção: Audita_Empresa\n"},
        {"OperacaoNaNfce",
         {"operation", "6"},
         "",
         1,
         "Retorno: 0\nErro: CFOP de industrialização inválida para nota fiscal ao consumidor.\nCFOPs válidas: 5.101, "
         "5.102, 5.103, 5.104, 5.115, 5.405, 5.656, 5.667 e 5.933.\nFunção: Audita_Operacao\n"},
        {"OperacaoEmFormularioImpresso", {"operation", "6", "--emitter", "3"}, "", 0, "OK\n"},
        {"ProdutoParaOConsumidor", {"product", "42"}, "", 0, "OK\n"},
        {"ProdutoParaClienteRecusado",
         {"product", "42", "--customer", "5"},
         "",
         1,
         "Retorno: 16\nErro: Parâmetro vazio, nenhum telefone foi informado.\nFunção: Audita_Cliente\n"},
        {"ProdutoDeOutraEmpresa", {"product", "51", "--company", "2", "--customer", "4"}, "", 0, "OK\n"},
        {"ClienteInexistente", {"customer", "999"}, "", 1, "Cliente 999 não encontrado.\n"},
        {"SemArgumentos", {}, "", 2, ""},
        {"TipoDesconhecido", {"seller", "1"}, "", 2, ""},
        {"CodigoNaoNumerico", {"product", "abc"}, "", 2, ""},
        {"OpcaoSemCodigo", {"product", "42", "--emitter"}, "", 2, ""},
    }),
    [](const ::testing::TestParamInfo<LinhaComando>& linha) { return linha.param.nome; });

TEST_F(AuditTest, ComandoSemValorDaEstacao) {
  write_file(work_.file("fvn.ini"),
             "[module]\nworking_folder = " + work_.path().string() + "\n[database]\nconnection = " + db + "\n");
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(app::run({"--config", work_.file("fvn.ini"), "audit", "customer", "2"}, out, err, nullptr), 2);
  EXPECT_NE(err.str().find("[station] emitter"), std::string::npos) << err.str();
  std::ostringstream out2;
  EXPECT_EQ(
      app::run({"--config", work_.file("fvn.ini"), "audit", "customer", "2", "--emitter", "1"}, out2, err, nullptr), 0)
      << out2.str();
  EXPECT_EQ(out2.str(), "OK\n");
}

}  // namespace
}  // namespace fvn::testing
