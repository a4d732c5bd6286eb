// Issuing a recorded sale through the real simulator: the server check, the
// note window's four steps and what they leave in the database and on disk.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/external_tools.h"
#include "workflow_fixture.h"

namespace fvn {
namespace {

using testing::WorkflowTest;

// What zbarimg reads from an image ("" when it reads nothing).
TEST_F(WorkflowTest, NormalAuthorisationRecordsTheAnswerTheXmlAndTheQrCode) {
  const auto sale = scenario("consumidor_sem_cpf");
  const std::string id = std::to_string(sale);
  ASSERT_EQ(issue(sale), 1) << processor_->ERROR;
  EXPECT_TRUE(processor_->Nota_Aceita());
  EXPECT_EQ(processor_->current_sale(), sale);

  const std::string key = value("select s_asa_chave_nfe from asaidas where cidesaidas = " + id);
  ASSERT_EQ(key.size(), 44U);
  EXPECT_EQ(key, processor_->authorisation().access_key);
  EXPECT_EQ(value("select i_asa_contigencia from asaidas where cidesaidas = " + id), "0");
  EXPECT_NE(value("select i_asa_oid_quorvex from asaidas where cidesaidas = " + id), "0");
  EXPECT_EQ(value("select s_asa_protocolo_nfe from asaidas where cidesaidas = " + id),
            processor_->authorisation().protocol);
  EXPECT_FALSE(processor_->authorisation().protocol.empty());
  // Date and time exactly as split from dhAutorizacao.
  EXPECT_EQ(value("select d_asa_data_autorizacao_nfce from asaidas where cidesaidas = " + id),
            processor_->authorisation().authorisation_date);
  EXPECT_EQ(value("select h_asa_hora_autorizacao_nfce from asaidas where cidesaidas = " + id),
            processor_->authorisation().authorisation_time);

  // The authorised XML, byte for byte the file written to the downloads.
  const std::string file = processor_->download_folder() + key + "-nfce.xml";
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(count("select 1 from xmlnfe where i_nfe_codigo_asa = " + id + " and s_nfe_chave = '" + key +
                  "' and s_nfe_protocolo_autorizacao = '" + processor_->authorisation().protocol +
                  "' and convert_from(b_nfe_xml, 'UTF8') like '%<nfeProc%<nProt>%'"),
            1);
  EXPECT_EQ(value("select length(b_nfe_xml) from xmlnfe where i_nfe_codigo_asa = " + id),
            std::to_string(std::filesystem::file_size(file)));
  // The generated file now carries the key's name.
  EXPECT_FALSE(std::filesystem::exists(processor_->DOCUMENTO.arquivo_xml(sale)));
  EXPECT_TRUE(std::filesystem::exists(processor_->base_folder() + key + "-nfce.xml"));

  // The QR image decodes back to the URL stored with the sale.
  const std::string url = value("select i_asa_url_code_nfce from asaidas where cidesaidas = " + id);
  ASSERT_FALSE(url.empty());
  EXPECT_EQ(processor_->qrcode_path(sale), processor_->base_folder() + "Qrcode_Gerados/" + id + ".bmp");
  EXPECT_EQ(testing::qr_text(processor_->qrcode_path(sale)), url);

  // Two windows: the server check (3 ticks) and the note (4 ticks); closing
  // is refused until each has ended.
  EXPECT_EQ(ui_.operation_titles(), (std::vector<std::string>{"Log de Status do Servidor", "Log do Envio da NFCe"}));
  EXPECT_EQ(ui_.operation_progress(), (std::vector<int>{5, 15, 20, 5, 20, 25, 30}));
  EXPECT_EQ(ui_.close_answers(), (std::vector<bool>{false, false, false, true, false, false, false, false, true}));
  const auto& lines = processor_->LOG.status_list();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find(" - QR Code da NFCe gerado OK"), std::string::npos);
}

TEST_F(WorkflowTest, ContingencyUnderTheSameNumberIsRecordedWithoutDuplicating) {
  ASSERT_TRUE(sim_->fault({{"mode", "contingency"}, {"call", "autorizar"}}));
  const auto sale = scenario("consumidor_sem_cpf");
  const std::string id = std::to_string(sale);
  const auto sales_before = count("select 1 from asaidas");
  ASSERT_EQ(issue(sale), 1) << processor_->ERROR;
  EXPECT_EQ(processor_->current_sale(), sale);
  EXPECT_EQ(count("select 1 from asaidas"), sales_before);
  EXPECT_EQ(count("select 1 from asaidas where cidesaidas = " + id +
                  " and i_asa_contigencia = 1 and i_asa_oid_quorvex = 0 and i_asa_url_code_nfce <> '' and "
                  "s_asa_protocolo_nfe = '' and d_asa_data_autorizacao_nfce is null"),
            1);
  // No authorised XML yet: the XML sent is kept, without protocol.
  EXPECT_EQ(count("select 1 from xmlnfe where i_nfe_codigo_asa = " + id +
                  " and s_nfe_protocolo_autorizacao = '' and convert_from(b_nfe_xml, 'UTF8') like '%<NFe %' and "
                  "convert_from(b_nfe_xml, 'UTF8') not like '%nfeProc%'"),
            1);
  EXPECT_TRUE(std::filesystem::exists(processor_->qrcode_path(sale)));
}

TEST_F(WorkflowTest, ARefusalIsRefusedAndAServiceDownLeavesTheNoteInDoubt) {
  const auto sale = scenario("consumidor_sem_cpf");
  const std::string id = std::to_string(sale);
  ASSERT_TRUE(sim_->fault({{"mode", "reject"}, {"call", "autorizar"}, {"cstat", 539}, {"count", 1}}));
  EXPECT_EQ(issue(sale), 0);
  EXPECT_FALSE(processor_->Nota_Aceita());
  EXPECT_FALSE(processor_->Nota_Em_Duvida());
  EXPECT_EQ(processor_->ERROR.rfind("Erro ao enviar Arquivo de NFCe Quorvex|Erro: Mensagem: 539", 0), 0U)
      << processor_->ERROR;
  EXPECT_EQ(processor_->progress(), 15);  // failed in the second step
  // Still marked: only the caller's reversal clears the mark, with it.
  EXPECT_EQ(value("select i_asa_situacao_nfce from asaidas where cidesaidas = " + id), "1");

  // No answer at all (nor to the status queries): whether the service got
  // the note is unknown, so the sale stays marked in doubt, under its key.
  ASSERT_TRUE(sim_->fault({{"mode", "down"}}));
  EXPECT_EQ(issue(sale), 0);
  EXPECT_FALSE(processor_->Nota_Aceita());
  EXPECT_TRUE(processor_->Nota_Em_Duvida());
  EXPECT_NE(processor_->ERROR.find("Exception"), std::string::npos) << processor_->ERROR;
  EXPECT_EQ(count("select 1 from asaidas where cidesaidas = " + id +
                  " and s_asa_protocolo_nfe = '' and i_asa_url_code_nfce = '' and i_asa_contigencia = 0 and "
                  "i_asa_situacao_nfce = 1 and length(s_asa_chave_nfe) = 44 and t_asa_envio_nfce is not null"),
            1);
  EXPECT_EQ(count("select 1 from xmlnfe where i_nfe_codigo_asa = " + id), 0);
}

TEST_F(WorkflowTest, ReSendingIsAllowedOnlyForARejectedNote) {
  const auto sale = scenario("consumidor_sem_cpf");
  ASSERT_EQ(issue(sale), 1) << processor_->ERROR;
  const std::string key = processor_->authorisation().access_key;
  EXPECT_EQ(processor_->Verifica_Reenvio(key), 0);
  EXPECT_EQ(processor_->ERROR, "Nota Fiscal autorizada no servidor não pode ser reenviada.");
  ASSERT_TRUE(sim_->admin("/admin/inutilizar", {{"chave", key}}));
  EXPECT_EQ(processor_->Verifica_Reenvio(key), 0);
  EXPECT_EQ(processor_->ERROR, "Nota Fiscal com autorização pendente no servidor não pode ser reenviada.");

  ASSERT_TRUE(sim_->fault({{"mode", "reject"}, {"call", "autorizar"}, {"cstat", 539}}));
  const auto rejected = scenario("consumidor_com_cpf");
  EXPECT_EQ(issue(rejected), 0);
  // The rejected note's key, from the file that was sent.
  std::string sent_key = processor_->DOCUMENTO.XML_NFCE.substr(processor_->DOCUMENTO.XML_NFCE.find("Id=\"NFe") + 7, 44);
  EXPECT_EQ(processor_->Verifica_Reenvio(sent_key), 1) << processor_->ERROR;
  EXPECT_EQ(processor_->Ping_Servidor(), 1);
}

TEST_F(WorkflowTest, FileToBlobRefusesEmptyMissingAndUnreadableFiles) {
  std::string blob;
  EXPECT_EQ(processor_->FileToBlob("", blob), 0);
  EXPECT_EQ(processor_->ERROR, "Arquivo de retorno vazio ou não definido");
  EXPECT_EQ(processor_->FileToBlob(nfce_.file("nenhum.xml"), blob), 0);
  EXPECT_EQ(processor_->ERROR.rfind("Erro ao abrir arquivo InFile|", 0), 0U);
  testing::write_file(nfce_.file("vazio.xml"), "");
  EXPECT_EQ(processor_->FileToBlob(nfce_.file("vazio.xml"), blob), 0);
  EXPECT_EQ(processor_->ERROR, "Arquivo Blob Vazio");
  EXPECT_EQ(processor_->FileToBlob(nfce_.path().string(), blob), 0);  // a folder cannot be read
  // Several chunks, the last one shorter, come back whole.
  std::string big(100'000, 'x');
  big[99'999] = 'y';
  testing::write_file(nfce_.file("grande.xml"), big);
  ASSERT_EQ(processor_->FileToBlob(nfce_.file("grande.xml"), blob), 1);
  EXPECT_EQ(blob, big);
}

}  // namespace
}  // namespace fvn
