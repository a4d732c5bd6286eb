// The consumer receipt drawn from a database clone: its text read back with
// pdftotext, its QR code with zbarimg, its pages with pdfinfo; printing
// against a print server that does not exist.
#include "devices/impressao_danfe.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "devices/danfe_blocos.h"
#include "devices/danfe_dados.h"
#include "devices/danfe_desenho.h"
#include "devices/danfe_escpos.h"
#include "devices/escpos_reader.h"
#include "devices/gerador_qrcode.h"
#include "runtime/host_ui.h"
#include "runtime/text.h"
#include "runtime/working_folder.h"
#include "support/db_fixture.h"
#include "support/external_tools.h"
#include "support/fontconfig_leaks.h"
#include "support/temp_folder.h"
#include "support/test_sales.h"

namespace fvn {
namespace {

bool has(const std::string& text, const std::string& pattern) { return std::regex_search(text, std::regex(pattern)); }

// A phrase anywhere, however the receipt wrapped it: blanks and line breaks
// are left out of both.
std::string squeezed(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c != ' ' && c != '\n') out += c;
  }
  return out;
}
bool has_wrapped(const std::string& text, const std::string& phrase) {
  return squeezed(text).find(squeezed(phrase)) != std::string::npos;
}

// Records what the receipt shows through the host.
class RecordingUi final : public HostUi {
 public:
  using HostUi::message;
  int message(const MessageRequest& request) override {
    messages.push_back(request);
    return 1;
  }
  void preview_document(std::string_view title, std::string_view path) override {
    previews.emplace_back(std::string{title}, std::string{path});
  }
  std::vector<MessageRequest> messages;
  std::vector<std::pair<std::string, std::string>> previews;
};

class Danfe : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    previous_folder_ = working_folder();
    set_working_folder(folder.path().string());
    // No real printer is ever reached: the print server is a socket that does not exist.
    ::setenv("CUPS_SERVER", (folder.path() / "no-cups.sock").c_str(), 1);
    ::unsetenv("PRINTER");
    ::unsetenv("LPDEST");
    table.set_owner(db);
    ASSERT_EQ(table.open(), 1);
    danfe.set_connection(db);
  }
  void TearDown() override {
    set_working_folder(previous_folder_);
    DbTest::TearDown();
  }

  void sql(const std::string& statement) { ASSERT_EQ(table.execute(statement), 1) << table.driver_message(); }

  std::string single(const std::string& query) {
    EXPECT_EQ(table.execute(query), 1) << table.driver_message();
    EXPECT_EQ(table.next(), 1);
    return table.value(0);
  }

  // The receipt's text, drawn through Gera_PDF.
  std::string receipt(std::int32_t sale, std::int32_t resumido = 0, const std::string& png = {}) {
    const std::string pdf = folder.file("danfe-" + std::to_string(sale) + "-" + std::to_string(resumido) + ".pdf");
    EXPECT_EQ(danfe.Gera_PDF(sale, resumido, pdf, png), 1) << danfe.ERROR;
    return testing::pdf_text(pdf);
  }

  void write_layout(const std::string& body) {
    testing::write_file(folder.file(IMPRESSAO_DANFE::kLayout), "[danfe]\n" + body);
  }

  testing::TempFolder folder;
  PassthroughTable table{"TESTE", ""};
  RecordingUi ui;
  IMPRESSAO_DANFE danfe{ui};

 private:
  std::string previous_folder_;
};

TEST_F(Danfe, DetailedReceiptOfACashSaleWithChange) {
  const std::string text = receipt(1);
  EXPECT_TRUE(has(text, "MERCEARIA BOA VISTA LTDA")) << text;
  EXPECT_TRUE(has(text, "CNPJ: 11\\.222\\.333/0001-81 +IE: 0623079040081")) << text;
  EXPECT_TRUE(has_wrapped(text, "AVENIDA AFONSO PENA, 1500 - CENTRO - BELO HORIZONTE/MG - CEP 30130-000")) << text;
  EXPECT_TRUE(has_wrapped(text, "Documento Auxiliar da Nota Fiscal de Consumidor Eletrônica")) << text;
  // Items: code and description, then quantity, unit, unit value and total.
  EXPECT_TRUE(has(text, "42 +CAFE TORRADO MOIDO 500G")) << text;
  EXPECT_TRUE(has(text, "2 UN x 17,90 +35,80")) << text;
  EXPECT_TRUE(has(text, "0,212 KG x 42,90 +9,10")) << text;
  EXPECT_TRUE(has(text, "Qtde\\. total de itens +3\\n")) << text;
  EXPECT_TRUE(has(text, "Valor total R\\$ +54,39")) << text;
  EXPECT_TRUE(has(text, "Valor a Pagar R\\$ +54,39")) << text;
  EXPECT_FALSE(has(text, "Desconto")) << text;
  EXPECT_TRUE(has(text, "Dinheiro +100,00")) << text;
  EXPECT_TRUE(has(text, "Troco R\\$ +45,61")) << text;
  EXPECT_TRUE(has(text, "3126 0511 2223 3300 0181 6500 1000 0000 0110 0000 0010")) << text;
  // No urlChave in the stored XML: the UF's address for the company's environment.
  EXPECT_TRUE(has(text, "https://hportalsped\\.fazenda\\.mg\\.gov\\.br/portalnfce")) << text;
  EXPECT_TRUE(has(text, "CONSUMIDOR NÃO IDENTIFICADO")) << text;
  EXPECT_TRUE(has(text, "NFC-e nº 000000001 Série 001 04/05/2026")) << text;
  EXPECT_TRUE(has(text, "Protocolo de Autorização: 131260000000001")) << text;
  EXPECT_TRUE(has(text, "Data de Autorização: 04/05/2026 09:15:40")) << text;
  EXPECT_TRUE(has(text, "Tributos Totais Incidentes \\(Lei Federal 12\\.741/2012\\): R\\$ 7,32")) << text;
  EXPECT_TRUE(has_wrapped(text, "EMITIDA EM AMBIENTE DE HOMOLOGAÇÃO - SEM VALOR FISCAL")) << text;
  EXPECT_FALSE(has(text, "CONTINGÊNCIA")) << text;
}

TEST_F(Danfe, ShortReceiptKeepsTotalsAndLeavesTheItemLinesOut) {
  const std::string text = receipt(1, 1);
  EXPECT_FALSE(has(text, "CAFE TORRADO")) << text;
  EXPECT_FALSE(has(text, "Vl Unit")) << text;
  EXPECT_TRUE(has(text, "Qtde\\. total de itens +3\\n")) << text;
  EXPECT_TRUE(has(text, "Valor a Pagar R\\$ +54,39")) << text;
  EXPECT_TRUE(has(text, "Troco R\\$ +45,61")) << text;
}

TEST_F(Danfe, ContingencyCreditSaleAndCompanyCustomer) {
  // Sale 3: issued in contingency, no protocol.
  const std::string pending = receipt(3);
  EXPECT_TRUE(has(pending, "EMITIDA EM CONTINGÊNCIA")) << pending;
  EXPECT_TRUE(has(pending, "Pendente de autorização")) << pending;
  EXPECT_FALSE(has(pending, "Protocolo de Autorização")) << pending;

  // Sale 2: a company customer paying in two installments.
  const std::string credit = receipt(2);
  EXPECT_TRUE(has_wrapped(credit, "CONSUMIDOR - CNPJ 98.765.432/0001-98 - CONSTRUTORA HORIZONTE LTDA")) << credit;
  EXPECT_TRUE(has(credit, "Crédito Loja +169,70")) << credit;
  EXPECT_FALSE(has(credit, "Troco")) << credit;
  // A São Paulo company: SP's homologation address.
  EXPECT_TRUE(has_wrapped(credit, "https://www.homologacao.nfce.fazenda.sp.gov.br/NFCeConsultaPublica")) << credit;
}

TEST_F(Danfe, AccentsProductionEnvironmentStoredUrlAndQrCode) {
  sql("update tempresa set i_tem_tipo_ambiente = 1 where ccodempresa = 1");
  testing::SaleBuilder b(table);
  const std::string url =
      "https://portalsped.fazenda.mg.gov.br/portalnfce/sistema/qrcode.xhtml?p=3126051122233300018165"
      "0010000001231000001234|2|1|1|ABCDEF";
  const std::int32_t sale = b.sale({{"nome_saidas", b.text("JOÃO ÁVILA D'ÁGUA")},
                                    {"cpf_saidas", "'52998224725'"},
                                    {"cvbrsaidas", "30"},
                                    {"cdessaidas", "2.5"},
                                    {"cvalorfrete", "4"},
                                    {"ctotsaidas", "31.5"},
                                    {"n_asa_tot_impostos", "4.21"},
                                    {"s_asa_chave_nfe", "'31260511222333000181650010000001231000001234'"},
                                    {"s_asa_protocolo_nfe", "'131260000000123'"},
                                    {"d_asa_data_autorizacao_nfce", "date '2026-05-04'"},
                                    {"h_asa_hora_autorizacao_nfce", "time '10:00:31'"},
                                    {"i_asa_url_code_nfce", b.text(url)}});
  ASSERT_GT(sale, 0);
  b.item(sale, {{"cprohistorico", "42"},
                {"cdeshistorico", b.text("AÇÚCAR CRISTAL ORGÂNICO 1KG")},
                {"csaihisotorico", "3"},
                {"cvbrhistorico", "10"},
                {"cvtothistorico", "30"}});
  b.posting(sale, {{"ccodigofavorecidohistorico", "4"}, {"ctef_cheque", "4"}, {"cvalorcreditohistorico", "31.5"}});
  sql("insert into xmlnfe (i_nfe_codigo_asa, b_nfe_xml) values (" + std::to_string(sale) +
      ", convert_to('<nfeProc xmlns=\"http://www.portalfiscal.inf.br/nfe\"><NFe><infNFe/><infNFeSupl><qrCode>" + url +
      "</qrCode><urlChave>https://consulta.example/nfce</urlChave></infNFeSupl></NFe></nfeProc>', 'UTF8'))");

  const std::string png = folder.file("sale.png");
  const std::string text = receipt(sale, 0, png);
  EXPECT_TRUE(has(text, "AÇÚCAR CRISTAL ORGÂNICO 1KG")) << text;
  EXPECT_TRUE(has_wrapped(text, "CONSUMIDOR - CPF 529.982.247-25 - JOÃO ÁVILA D'ÁGUA")) << text;
  EXPECT_TRUE(has(text, "Desconto R\\$ +2,50")) << text;
  EXPECT_TRUE(has(text, "Frete R\\$ +4,00")) << text;
  EXPECT_TRUE(has(text, "Valor a Pagar R\\$ +31,50")) << text;
  EXPECT_TRUE(has(text, "Cartão de Débito +31,50")) << text;
  EXPECT_TRUE(has(text, "https://consulta\\.example/nfce")) << text;
  EXPECT_FALSE(has(text, "HOMOLOGAÇÃO")) << text;
  EXPECT_FALSE(has(text, "CONTINGÊNCIA")) << text;
  // No image drawn by the processor: the code is encoded from the stored URL.
  EXPECT_EQ(testing::qr_text(png), url);
}

TEST_F(Danfe, UsesTheQrImageTheProcessorDrew) {
  sql("update tempresa set s_tem_caminho_pasta_nfce = " + table.literal(folder.path().string()) +
      " where ccodempresa = 1");
  std::filesystem::create_directories(folder.path() / "Qrcode_Gerados");
  const std::string drawn = "https://nfce.example/qrcode?p=desenhado-pelo-processo";
  GERADOR_QRCODE qr;
  ASSERT_EQ(qr.gera(folder.file("Qrcode_Gerados/1.bmp"), drawn), 1) << qr.error_text();
  const std::string png = folder.file("from-bmp.png");
  receipt(1, 0, png);
  EXPECT_EQ(testing::qr_text(png), drawn);

  // An image that is no BMP: the code is encoded again from the sale's URL.
  testing::write_file(folder.file("Qrcode_Gerados/1.bmp"), "not an image");
  const std::string again = folder.file("re-encoded.png");
  receipt(1, 0, again);
  EXPECT_EQ(testing::qr_text(again), single("select i_asa_url_code_nfce from asaidas where cidesaidas = 1"));
}

TEST_F(Danfe, PreviewWritesThePdfAndHandsItToTheHost) {
  ASSERT_EQ(danfe.Imprime_Danfe(1, 0), 1) << danfe.ERROR;
  ASSERT_EQ(ui.previews.size(), 1U);
  EXPECT_EQ(ui.previews[0].first, "DANFE NFCe");
  EXPECT_EQ(ui.previews[0].second, working_file("danfe-1.pdf"));
  EXPECT_EQ(danfe.ultimo_pdf(), working_file("danfe-1.pdf"));
  EXPECT_TRUE(has(testing::pdf_text(danfe.ultimo_pdf()), "CAFE TORRADO")) << testing::pdf_text(danfe.ultimo_pdf());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Danfe, SeriesNotOfKindTwoPrintsNothing) {
  testing::SaleBuilder b(table);
  const std::int32_t sale = b.sale({{"csrisaidas", "3"}});
  ASSERT_GT(sale, 0);
  // Print mode as well: even a printer is never asked.
  sql("update tseriesnf set s_tse_1report_manager = '0' where cserserie = 3");
  EXPECT_EQ(danfe.Imprime_Danfe(sale, 0), 1);
  sql("update tseriesnf set s_tse_1report_manager = '1' where cserserie = 3");
  EXPECT_EQ(danfe.Imprime_Danfe(sale, 0), 1);
  EXPECT_TRUE(ui.previews.empty());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(working_file("danfe-" + std::to_string(sale) + ".pdf")));
}

TEST_F(Danfe, MissingPrinterShowsTheMessageAndLeavesTheSaleAlone) {
  sql("update tseriesnf set s_tse_1report_manager = '0' where cserserie = 1");
  const std::string before = single("select md5(a::text) from asaidas a where cidesaidas = 1");

  EXPECT_EQ(danfe.Imprime_Danfe(1, 0), 0);
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0].title, "Alerta - Report Manager");
  EXPECT_EQ(ui.messages[0].text.rfind("Não foi possível abrir o relatório!|", 0), 0U) << ui.messages[0].text;
  EXPECT_EQ(danfe.ERROR_FUNCTION, "Imprime");

  // A printer named by the layout that the (absent) server cannot take.
  write_layout("impressora=BALCAO_01\n");
  EXPECT_EQ(danfe.Imprime_Danfe(1, 1), 0);
  ASSERT_EQ(ui.messages.size(), 2U);
  EXPECT_NE(ui.messages[1].text.find("BALCAO_01"), std::string::npos) << ui.messages[1].text;

  EXPECT_EQ(single("select md5(a::text) from asaidas a where cidesaidas = 1"), before);
  EXPECT_TRUE(ui.previews.empty());
  // The temporary PDF of the print is not left behind.
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_EQ(entry.path().string().find("impressao"), std::string::npos) << entry.path();
  }
}

TEST_F(Danfe, MissingSaleIsAClearError) {
  const std::string pdf = folder.file("none.pdf");
  EXPECT_EQ(danfe.Gera_PDF(999999, 0, pdf), 0);
  EXPECT_EQ(danfe.ERROR, "Venda 999999 não encontrada.");
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_TRUE(ui.messages.empty());

  EXPECT_EQ(danfe.Imprime_Danfe(999999, 0), 0);
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0].text, "Não foi possível abrir o relatório!|Venda 999999 não encontrada.");
  EXPECT_EQ(ui.messages[0].title, "Alerta - Report Manager");
}

TEST_F(Danfe, FiftyEightMillimetreLayoutFromTheConfiguration) {
  write_layout("largura_mm=58\nresolucao_dpi=203\n");
  const std::string pdf = folder.file("58.pdf");
  const std::string png = folder.file("58.png");
  ASSERT_EQ(danfe.Gera_PDF(5, 0, pdf, png), 1) << danfe.ERROR;
  // 58 mm = 164.41 points; the PNG at 203 dpi is 464 pixels wide.
  const std::string info = testing::command_output("pdfinfo '" + pdf + "' 2>/dev/null");
  EXPECT_TRUE(has(info, "Page size: +164\\.4\\d* x")) << info;
  EXPECT_TRUE(has(info, "Pages: +1\\n")) << info;
  const std::string bytes = testing::read_file(png);
  ASSERT_GT(bytes.size(), 24U);
  const auto byte = [&](std::size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
  EXPECT_EQ((byte(16) << 24U) | (byte(17) << 16U) | (byte(18) << 8U) | byte(19), 464U);
  const std::string text = testing::pdf_text(pdf);
  EXPECT_TRUE(has(text, "INSTALACAO DE PRATELEIRA")) << text;
  EXPECT_TRUE(has(text, "Valor a Pagar R\\$ +194,01")) << text;
  EXPECT_EQ(testing::qr_text(png), single("select i_asa_url_code_nfce from asaidas where cidesaidas = 5"));

  // A width the layout does not know is refused, not drawn on the wrong paper.
  write_layout("largura_mm=70\n");
  EXPECT_EQ(danfe.Gera_PDF(5, 0, pdf), 0);
  EXPECT_NE(danfe.ERROR.find("Largura de papel"), std::string::npos) << danfe.ERROR;
}

// The ESC/POS receipt says what the PDF receipt says, in the same order,
// and carries the same QR payload, at both widths and with both QR forms.
TEST_F(Danfe, EscPosReceiptMatchesThePdfReceipt) {
  const std::string url = single("select i_asa_url_code_nfce from asaidas where cidesaidas = 1");
  ASSERT_FALSE(url.empty());
  for (const int resumido : {0, 1}) {
    const std::string pdf_text = receipt(1, resumido);
    for (const int columns : {48, 32}) {
      for (const bool native : {true, false}) {
        const std::string out = folder.file("escpos-" + std::to_string(columns) + (native ? "n" : "r"));
        ASSERT_EQ(danfe.Gera_EscPos(1, resumido, out, OpcoesEscPos{columns, native}), 1) << danfe.ERROR;
        const testing::EscPosPage page = testing::read_escpos(testing::read_file(out));
        ASSERT_TRUE(page.problem.empty()) << page.problem;
        EXPECT_EQ(page.code_page, 2);
        EXPECT_EQ(page.cuts, 1);
        EXPECT_TRUE(page.cut_last);
        std::string text;  // the rules, drawn as lines in the PDF, left out
        for (std::size_t i = 0; i < page.lines.size(); ++i) {
          const std::size_t width = page.font_b[i] ? (columns == 48 ? 64U : 42U) : static_cast<std::size_t>(columns);
          EXPECT_LE(text::length(page.lines[i]), width) << page.lines[i];
          if (page.lines[i] != std::string(static_cast<std::size_t>(columns), '-')) text += page.lines[i] + "\n";
        }
        std::string pdf_lines = pdf_text;
        std::erase(pdf_lines, '\f');
        EXPECT_EQ(squeezed(text), squeezed(pdf_lines)) << text << "\n---\n" << pdf_text;
        EXPECT_EQ(resumido == 0, has(text, "CAFE TORRADO")) << text;
        if (native) {
          ASSERT_EQ(page.qr_payloads.size(), 1U);
          EXPECT_EQ(page.qr_payloads[0], url);
          EXPECT_EQ(page.qr_model, 2);
          EXPECT_EQ(page.qr_correction, 49);  // M
        } else {
          ASSERT_EQ(page.rasters.size(), 1U);
          const std::string pbm = folder.file("qr.pbm");
          testing::write_file(pbm, page.rasters[0]);
          EXPECT_EQ(testing::qr_text(pbm), url);
        }
      }
    }
  }
}

TEST_F(Danfe, EscPosAccentsAndTargets) {
  testing::SaleBuilder b(table);
  const std::int32_t sale = b.sale({{"nome_saidas", b.text("JOÃO ÁVILA D'ÁGUA")}, {"cpf_saidas", "'52998224725'"}});
  ASSERT_GT(sale, 0);
  b.item(sale, {{"cprohistorico", "42"}, {"cdeshistorico", b.text("AÇÚCAR ORGÂNICO – 1KG")}});
  const std::string fifo = folder.file("lp0");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto printed = std::async(std::launch::async, [&] { return testing::read_file(fifo); });
  ASSERT_EQ(danfe.Gera_EscPos(sale, 0, fifo, OpcoesEscPos{}), 1) << danfe.ERROR;
  const testing::EscPosPage page = testing::read_escpos(printed.get());
  std::string text;
  for (const std::string& line : page.lines) text += line + "\n";
  EXPECT_TRUE(has(text, "AÇÚCAR ORGÂNICO \\? 1KG")) << text;  // the dash is not in code page 850
  EXPECT_TRUE(has_wrapped(text, "CONSUMIDOR - CPF 529.982.247-25 - JOÃO ÁVILA D'ÁGUA")) << text;
  EXPECT_TRUE(has(text, "NFC-e nº")) << text;

  EXPECT_EQ(danfe.Gera_EscPos(sale, 0, folder.file("no/such/dir/x"), OpcoesEscPos{}), 0);
  EXPECT_NE(danfe.ERROR.find("no/such/dir"), std::string::npos) << danfe.ERROR;
  EXPECT_EQ(danfe.Gera_EscPos(sale, 0, "cups:BALCAO_02", OpcoesEscPos{}), 0);
  EXPECT_NE(danfe.ERROR.find("BALCAO_02"), std::string::npos) << danfe.ERROR;
}

TEST_F(Danfe, PrintingFromThePreviewFollowsTheStationAndTheReceiptKind) {
  ImpressaoEstacao station;
  station.escpos = true;
  station.dispositivo = folder.file("escpos.bin");
  danfe.set_impressao(station);
  const auto printed = [&](std::int32_t resumido) {
    EXPECT_EQ(danfe.Imprime_Previa(working_file(IMPRESSAO_DANFE::nome_previa(1, resumido))), 1) << danfe.ERROR;
    std::string text;
    for (const std::string& line : testing::read_escpos(testing::read_file(station.dispositivo)).lines) {
      text += line + "\n";
    }
    return text;
  };
  EXPECT_TRUE(has(printed(0), "CAFE TORRADO"));
  EXPECT_FALSE(has(printed(1), "CAFE TORRADO"));  // the short receipt stays short
  EXPECT_EQ(danfe.Imprime_Previa(folder.file("notas.pdf")), 0);
  EXPECT_NE(danfe.ERROR.find("notas.pdf"), std::string::npos) << danfe.ERROR;
}

TEST(DanfeTexts, WrappingForFixedColumns) {
  EXPECT_EQ(quebra_linhas("Valor  a Pagar R$", 8), (std::vector<std::string>{"Valor a", "Pagar R$"}));
  EXPECT_EQ(quebra_linhas("AÇÚCAR", 4), (std::vector<std::string>{"AÇÚC", "AR"}));
  EXPECT_EQ(quebra_linhas("    2 UN x 1,00", 10), (std::vector<std::string>{"    2 UN x", "1,00"}));
  EXPECT_EQ(quebra_linhas("ab https://x.example/abcdefgh", 10),
            (std::vector<std::string>{"ab", "https://x.", "example/ab", "cdefgh"}));
  EXPECT_TRUE(quebra_linhas("   ", 10).empty());
  EXPECT_EQ(texto_cp850("ção €"), "\x87\xc6o ?");
  EXPECT_EQ(texto_cp850("A\x1bi\x1dV\x01"), "A i V ");  // a description cannot cut the paper
}

TEST(DanfeTexts, MoneyKeyDocumentsAndConsultationAddress) {
  EXPECT_EQ(danfe_valor(1234.5), "1.234,50");
  EXPECT_EQ(danfe_valor(0.005), "0,01");
  EXPECT_EQ(danfe_quantidade(2), "2");
  EXPECT_EQ(danfe_chave("3126 0511-2223"), "3126 0511 2223");
  EXPECT_EQ(endereco_consulta_uf("sp", 1), "https://www.nfce.fazenda.sp.gov.br/NFCeConsultaPublica");
  EXPECT_EQ(endereco_consulta_uf("RS", 2), "https://www.sefaz.rs.gov.br/nfce/consulta");
  EXPECT_EQ(endereco_consulta_uf("XX", 1), "");
  EXPECT_EQ(url_chave_do_xml("<a:NFe xmlns:a=\"x\"><a:infNFeSupl><a:urlChave> https://u.example </a:urlChave>"
                             "</a:infNFeSupl></a:NFe>"),
            "https://u.example");
  EXPECT_EQ(url_chave_do_xml("<NFe><infNFe/></NFe>"), "");
  EXPECT_EQ(url_chave_do_xml("not xml <"), "");
}

// The block list alone, without drawing: the image places follow the images
// there are, and each charge the note carries gets its line.
TEST(DanfeTexts, BlocksPlaceTheImagesThereAreAndEveryCharge) {
  DanfeNfce d;
  d.acrescimo = 1.5;
  d.seguro = 2;
  d.outras_despesas = 0.25;
  const auto tipos = [](const std::vector<BlocoDanfe>& blocos, BlocoDanfe::Tipo tipo) {
    return std::count_if(blocos.begin(), blocos.end(), [&](const BlocoDanfe& b) { return b.tipo == tipo; });
  };
  const auto pos = [](const std::vector<BlocoDanfe>& blocos, std::string_view texto) {
    const auto it = std::find_if(blocos.begin(), blocos.end(), [&](const BlocoDanfe& b) { return b.texto == texto; });
    return it == blocos.end() ? -1 : static_cast<int>(it - blocos.begin());
  };
  const std::vector<BlocoDanfe> sem_imagens = blocos_danfe(d, false, false, false);
  EXPECT_EQ(tipos(sem_imagens, BlocoDanfe::Tipo::Logo), 0);
  EXPECT_EQ(tipos(sem_imagens, BlocoDanfe::Tipo::QrCode), 0);
  EXPECT_EQ(pos(sem_imagens, "Consulta via leitor de QR Code"), -1);
  for (const auto& [rotulo, valor] :
       {std::pair{"Acréscimo R$", "1,50"}, std::pair{"Seguro R$", "2,00"}, std::pair{"Outras despesas R$", "0,25"}}) {
    const int at = pos(sem_imagens, rotulo);
    ASSERT_GE(at, 0) << rotulo;
    EXPECT_EQ(sem_imagens[static_cast<std::size_t>(at)].direita, valor);
  }
  EXPECT_EQ(pos(sem_imagens, "Frete R$"), -1);

  const std::vector<BlocoDanfe> com_imagens = blocos_danfe(d, false, true, true);
  EXPECT_EQ(com_imagens.front().tipo, BlocoDanfe::Tipo::Logo);
  ASSERT_EQ(tipos(com_imagens, BlocoDanfe::Tipo::QrCode), 1);
  const auto qr = std::find_if(com_imagens.begin(), com_imagens.end(),
                               [](const BlocoDanfe& b) { return b.tipo == BlocoDanfe::Tipo::QrCode; });
  EXPECT_GT(static_cast<int>(qr - com_imagens.begin()), pos(com_imagens, "Consulta via leitor de QR Code"));
}

}  // namespace
}  // namespace fvn
