#include "app/receipt_command.h"

#include <charconv>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/command_line_ui.h"
#include "devices/impressao_danfe.h"
#include "runtime/working_folder.h"

namespace fvn::app {

namespace {

constexpr const char* kUsage =
    "fvn: usage: fvn receipt SALE_ID [--pdf FILE] [--png FILE] [--escpos FILE|DEVICE [--columns 48|32] "
    "[--qr-raster]] [--print] [--resumido]\n";

// The sale id argument; 0 when it is not a positive whole number.
std::int32_t sale_argument(const std::string& arg) {
  std::int32_t sale = 0;
  const auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), sale);
  return ec == std::errc{} && end == arg.data() + arg.size() && sale > 0 ? sale : 0;
}

}  // namespace

OpcoesEscPos escpos_options(const ReceiptOptions& o) {
  OpcoesEscPos opcoes;
  opcoes.colunas = o.columns;
  opcoes.qrcode_nativo = !o.qr_raster;
  return opcoes;
}

bool parse_receipt_options(const std::vector<std::string>& args, ReceiptOptions& o, std::string& positional) {
  bool have_positional = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size() && !args[i + 1].empty() && args[i + 1].rfind("--", 0) != 0;
    if ((arg == "--pdf" || arg == "--png" || arg == "--escpos") && has_value) {
      (arg == "--pdf" ? o.pdf : (arg == "--png" ? o.png : o.escpos)) = args[++i];
    } else if (arg == "--columns" && has_value && (args[i + 1] == "48" || args[i + 1] == "32")) {
      o.columns = args[++i] == "32" ? 32 : 48;
    } else if (arg == "--qr-raster") {
      o.qr_raster = true;
    } else if (arg == "--print") {
      o.print = true;
    } else if (arg == "--resumido") {
      o.resumido = true;
    } else if (!have_positional && !arg.empty() && arg[0] != '-') {
      positional = arg;
      have_positional = true;
    } else {
      return false;
    }
  }
  return have_positional;
}

namespace {

int receipt(Context& ctx, const std::vector<std::string>& args) {
  ReceiptOptions o;
  std::string sale_text;
  const std::int32_t sale = parse_receipt_options(args, o, sale_text) ? sale_argument(sale_text) : 0;
  if (sale == 0) {
    ctx.err << kUsage;
    return kExitUsage;
  }
  const std::string connection = ctx.database_connection();
  if (connection.empty()) return kExitFailure;
  if (o.pdf.empty() && o.png.empty() && o.escpos.empty() && !o.print)
    o.pdf = working_file("danfe-" + std::to_string(sale) + ".pdf");

  CommandLineUi ui(ctx.out, ctx.err);
  IMPRESSAO_DANFE danfe(ui);
  danfe.set_connection(connection);
  const std::int32_t resumido = o.resumido ? 1 : 0;
  if ((!o.pdf.empty() || !o.png.empty()) && danfe.Gera_PDF(sale, resumido, o.pdf, o.png) != 1) {
    ctx.out << message_lines(danfe.ERROR) << "\n";
    return kExitFailure;
  }
  if (!o.escpos.empty() && danfe.Gera_EscPos(sale, resumido, o.escpos, escpos_options(o)) != 1) {
    ctx.out << message_lines(danfe.ERROR) << "\n";
    return kExitFailure;
  }
  if (o.print) {
    ImpressaoEstacao station;
    std::string problem;
    if (le_impressao_estacao(ctx.config, station, problem) != 1) {
      ctx.out << problem << "\n";
      return kExitFailure;
    }
    danfe.set_impressao(station);
  }
  if (o.print && danfe.Imprime(sale, resumido) != 1) {
    ctx.out << message_lines(std::string{IMPRESSAO_DANFE::kMensagemFalha} + "|" + danfe.ERROR) << "\n";
    return kExitFailure;
  }
  if (ctx.json) {
    const nlohmann::json out = {{"venda", sale},
                                {"pdf", o.pdf},
                                {"png", o.png},
                                {"escpos", o.escpos},
                                {"impressora", danfe.ultima_impressora()},
                                {"trabalho", danfe.ultimo_trabalho()}};
    ctx.out << out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return kExitOk;
  }
  if (!o.pdf.empty()) ctx.out << o.pdf << "\n";
  if (!o.png.empty()) ctx.out << o.png << "\n";
  if (!o.escpos.empty()) ctx.out << o.escpos << "\n";
  if (o.print) ctx.out << "impresso: " << danfe.ultima_impressora() << " " << danfe.ultimo_trabalho() << "\n";
  return kExitOk;
}

}  // namespace

Command receipt_command() {
  return {"receipt",
          "SALE_ID [--pdf FILE] [--png FILE] [--escpos FILE|DEVICE [--columns 48|32] [--qr-raster]] [--print] "
          "[--resumido]",
          "the consumer receipt (DANFE NFC-e) of a recorded sale: PDF, PNG preview, ESC/POS or printer", receipt};
}

}  // namespace fvn::app
