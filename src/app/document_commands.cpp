#include "app/document_commands.h"

#include <charconv>
#include <filesystem>
#include <ostream>

#include "data/passthrough_table.h"
#include "nfce/nfce_documento.h"
#include "runtime/headless_ui.h"

namespace fvn::app {

namespace {

std::optional<std::int32_t> sale_id(std::string_view text) {
  std::int32_t id = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (ec != std::errc{} || ptr != text.data() + text.size() || id <= 0) return std::nullopt;
  return id;
}

// The NFC-e folder of the company that recorded the sale; empty when the
// sale or the folder is missing (`problem` says which).
std::string company_folder(const std::string& connection, std::int32_t id, std::string& problem) {
  PassthroughTable table("tempresa", connection);
  std::string folder;
  table.bind_text(folder, 4095);
  if (table.open() != 1) {
    problem = table.error_text("Erro ao abrir tabela|");
    return {};
  }
  if (table.execute("select trim( s_tem_caminho_pasta_nfce ) from tempresa inner join asaidas on ccodempresa = "
                    "cempresasaidas where cidesaidas = " +
                    std::to_string(id)) != 1) {
    problem = table.error_text("Erro ao selecionar dados da empresa|");
    return {};
  }
  if (table.next() != 1) {
    problem = "Venda " + std::to_string(id) + " não encontrada.";
    return {};
  }
  if (folder.empty()) problem = "A empresa da venda " + std::to_string(id) + " não tem pasta de NFC-e configurada.";
  return folder;
}

int xml(Context& ctx, const std::vector<std::string>& args) {
  constexpr std::string_view kUsage = "fvn: usage: fvn xml SALE_ID [--out DIR]\n";
  std::optional<std::int32_t> id;
  std::string out_dir;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--out" && i + 1 < args.size() && !args[i + 1].empty()) {
      out_dir = args[++i];
    } else if (args[i].starts_with("--out=") && args[i].size() > 6) {
      out_dir = args[i].substr(6);
    } else if (!id) {
      id = sale_id(args[i]);
      if (!id) {
        ctx.err << "fvn: xml: not a sale id: " << args[i] << "\n";
        return kExitUsage;
      }
    } else {
      ctx.err << kUsage;
      return kExitUsage;
    }
  }
  if (!id) {
    ctx.err << kUsage;
    return kExitUsage;
  }
  const std::string connection = ctx.database_connection();
  if (connection.empty()) return kExitFailure;
  if (out_dir.empty()) {
    std::string problem;
    out_dir = company_folder(connection, *id, problem);
    if (out_dir.empty()) {
      ctx.out << message_lines(problem) << "\n";
      return kExitFailure;
    }
  }
  std::error_code ec;
  std::filesystem::create_directories(out_dir, ec);  // the file is written there: a missing folder is made
  if (ec) {
    ctx.out << "Erro ao criar a pasta " << out_dir << ": " << ec.message() << "\n";
    return kExitFailure;
  }
  HeadlessUi ui(ctx.err);
  NFCE_DOCUMENTO documento(ui);
  documento.set_connection(connection);
  documento.set_pasta_nfce(out_dir);
  documento.ID = *id;
  if (documento.Gera_XML_NFCe() != 1) {
    ctx.out << message_lines(documento.ERROR) << "\n";
    return kExitFailure;
  }
  ctx.out << documento.arquivo_xml(*id) << "\n";
  return kExitOk;
}

}  // namespace

Command key_command() {
  return {"key", "DIGITS", "the 44-digit access key (check digit appended) of a 43-digit base",
          [](Context& ctx, const std::vector<std::string>& args) {
            if (args.size() != 1) {
              ctx.err << "fvn: usage: fvn key DIGITS\n";
              return kExitUsage;
            }
            HeadlessUi ui(ctx.err);
            NFCE_DOCUMENTO documento(ui);
            std::string chave = args[0];
            if (documento.Calcula_Digito_NFE(chave) != 1) {
              ctx.out << message_lines(documento.ERROR) << "\n";
              return kExitFailure;
            }
            ctx.out << chave << "\n";
            return kExitOk;
          }};
}

Command xml_command() {
  return {"xml", "SALE_ID [--out DIR]", "write the NFC-e XML of a recorded sale and print its path", xml};
}

}  // namespace fvn::app
