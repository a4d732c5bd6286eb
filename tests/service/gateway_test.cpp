// The HTTP gateway on its own: failures of the transport as answers,
// bounded answers, credentials, and the limits on downloads.
#include <gtest/gtest.h>

#include "service/answer_fields.h"
#include "service/service_gateway.h"
#include "support/nfce_test_document.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using testing::SimProcess;
using testing::TempFolder;

class GatewayTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  SimProcess sim_{folder_.file("sim"), {"--account", "11222333000181:caixa01:boavista:s3nh@"}};

  GatewayConfig config(std::string password) const {
    GatewayConfig result = sim_.gateway_config();
    result.login = "caixa01";
    result.group = "boavista";
    result.password = std::move(password);
    return result;
  }
};

TEST_F(GatewayTest, CredentialsTravelInHeadersAndAreChecked) {
  ASSERT_TRUE(sim_.running());
  ServiceGateway right(config("s3nh@"));
  const std::string ok = right.GetStatusPorChave_Xml("11222333000181", std::string(44, '1'));
  EXPECT_FALSE(is_exception_answer(ok)) << ok;
  EXPECT_NE(ObterValorCampo(ok, "exMessage").find("217"), std::string::npos) << ok;

  ServiceGateway wrong(config("errada"));
  const std::string refused = wrong.GetStatusPorChave_Xml("11222333000181", std::string(44, '1'));
  EXPECT_NE(ObterValorCampo(refused, "exMessage").find("HTTP 401"), std::string::npos) << refused;
  // An account serves its own CNPJ only.
  const std::string other = right.GetStatusPorChave_Xml("44555666000181", std::string(44, '1'));
  EXPECT_NE(ObterValorCampo(other, "exMessage").find("HTTP 403"), std::string::npos) << other;
  // A line break in a credential cannot add a header.
  ServiceGateway injected(config("s3nh@\r\nX-Nfce-Login: outro"));
  EXPECT_NE(ObterValorCampo(injected.PingTesteWebService(), "status"), "");
}

TEST_F(GatewayTest, AnswersLargerThanTheBoundAreRefused) {
  GatewayConfig small = config("s3nh@");
  small.max_answer_bytes = 40;
  ServiceGateway gateway(small);
  const std::string answer = gateway.PingTesteWebService();
  EXPECT_NE(ObterValorCampo(answer, "exMessage").find("excede 40 bytes"), std::string::npos) << answer;
}

TEST_F(GatewayTest, DownloadsComeOnlyFromTheServiceUnderAPlainName) {
  ServiceGateway gateway(config("s3nh@"));
  const std::string target = folder_.path().string();
  EXPECT_NE(ObterValorCampo(gateway.ExecutarDonwloadArquivo(target, "http://example.com/a.zip"), "exMessage")
                .find("não pertence"),
            std::string::npos);
  EXPECT_NE(ObterValorCampo(gateway.ExecutarDonwloadArquivo(target, sim_.url() + "/api/x/..%2f.."), "exMessage")
                .find("nome de arquivo"),
            std::string::npos);
  EXPECT_NE(
      ObterValorCampo(gateway.ExecutarDonwloadArquivo(folder_.file("nao-existe"), sim_.url() + "/a.zip"), "exMessage")
          .find("pasta de destino"),
      std::string::npos);
  // A link the service does not know leaves no file behind.
  const std::string missing = gateway.ExecutarDonwloadArquivo(target, sim_.url() + "/api/exportacao/arquivo/9/x.zip");
  EXPECT_NE(ObterValorCampo(missing, "exMessage").find("HTTP 404"), std::string::npos) << missing;
  EXPECT_FALSE(std::filesystem::exists(folder_.file("x.zip")));
  EXPECT_FALSE(std::filesystem::exists(folder_.file("x.zip.part")));
}

}  // namespace
}  // namespace fvn
