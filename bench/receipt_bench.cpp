// Cost of drawing the consumer receipt of a 20-item sale: the PDF alone,
// the PNG preview alone, both (what a preview writes), and the ESC/POS
// commands with the printer's QR command and with a raster QR. The sale is held
// in memory, so the figures are the drawing's own, without the database.
#include <unistd.h>

#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "devices/danfe_desenho.h"
#include "devices/danfe_escpos.h"

namespace {

fvn::DanfeNfce sale_of_twenty_items() {
  fvn::DanfeNfce d;
  d.ide = 987654;  // no QR image drawn for it: the code is encoded from the URL
  d.razao_social = "MERCEARIA BOA VISTA LTDA";
  d.cnpj = "11222333000181";
  d.inscricao_estadual = "0623079040081";
  d.endereco = "AVENIDA AFONSO PENA, 1500";
  d.bairro = "CENTRO";
  d.cidade = "BELO HORIZONTE";
  d.uf = "MG";
  d.cep = 30130000;
  d.ambiente = 2;
  d.pasta_nfce = "/nonexistent/";
  d.numero = 123;
  d.serie = 1;
  d.chave = "31260511222333000181650010000001231000001234";
  d.protocolo = "131260000000123";
  d.url_qrcode =
      "https://portalsped.fazenda.mg.gov.br/portalnfce/sistema/qrcode.xhtml?p=31260511222333000181650010000001"
      "231000001234|2|2|1|4A6F2C";
  d.url_consulta = "https://hportalsped.fazenda.mg.gov.br/portalnfce";
  d.consumidor_nome = "JOÃO ÁVILA";
  d.consumidor_cpf = "52998224725";
  for (int i = 1; i <= 20; ++i) {
    const double unit = 3.5 * i;
    d.itens.push_back({std::to_string(100 + i), "PRODUTO DE TESTE Nº " + std::to_string(i) + " AÇÚCAR ORGÂNICO", "UN",
                       2, unit, 2 * unit});
    d.valor_produtos += 2 * unit;
  }
  d.valor_pagar = d.valor_produtos;
  d.pagamentos.push_back({"Dinheiro", 800});
  d.troco = 800 - d.valor_pagar;
  d.tributos = 98.76;
  return d;
}

void render(benchmark::State& state, bool pdf, bool png) {
  const fvn::DanfeNfce sale = sale_of_twenty_items();
  const fvn::LayoutDanfe layout;
  const auto base = std::filesystem::temp_directory_path() / ("receipt_bench." + std::to_string(::getpid()));
  const std::string pdf_path = pdf ? base.string() + ".pdf" : std::string{};
  const std::string png_path = png ? base.string() + ".png" : std::string{};
  std::string error;
  for (auto _ : state) {
    if (fvn::desenha_danfe(sale, false, layout, pdf_path, png_path, error) != 1) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  std::error_code ec;
  if (pdf) std::filesystem::remove(pdf_path, ec);
  if (png) std::filesystem::remove(png_path, ec);
}

void BM_ReceiptPdf(benchmark::State& state) { render(state, true, false); }
void BM_ReceiptPng(benchmark::State& state) { render(state, false, true); }
void BM_ReceiptPdfAndPng(benchmark::State& state) { render(state, true, true); }
BENCHMARK(BM_ReceiptPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReceiptPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReceiptPdfAndPng)->Unit(benchmark::kMillisecond);

void escpos(benchmark::State& state, bool native) {
  const fvn::DanfeNfce sale = sale_of_twenty_items();
  const fvn::OpcoesEscPos options{48, native};
  for (auto _ : state) benchmark::DoNotOptimize(fvn::danfe_escpos(sale, false, options));
}
void BM_ReceiptEscPos(benchmark::State& state) { escpos(state, true); }
void BM_ReceiptEscPosRasterQr(benchmark::State& state) { escpos(state, false); }
BENCHMARK(BM_ReceiptEscPos)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceiptEscPosRasterQr)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
