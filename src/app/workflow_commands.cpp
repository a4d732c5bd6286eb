#include "app/workflow_commands.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <ostream>

#include "app/command_line_ui.h"
#include "app/receipt_command.h"
#include "app/service_commands.h"
#include "app/simulate_command.h"
#include "data/database_contract.h"
#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "devices/classe_balanca.h"
#include "devices/impressao_danfe.h"
#include "runtime/clock.h"
#include "runtime/headless_ui.h"
#include "runtime/working_folder.h"
#include "screens/exportacao_xml.h"
#include "screens/gravacao_venda.h"
#include "service/nfce_processo.h"

namespace fvn::app {

namespace {

// The company's service login: CNPJ, group, user, password.
struct CompanyLogin {
  std::int32_t company = 0;
  std::string cnpj, group, user, password;
};

bool company_login(const std::string& connection, const std::string& where, CompanyLogin& login, std::string& problem) {
  PassthroughTable table("tempresa", connection);
  table.bind_long(login.company)
      .bind_text(login.cnpj, 20)
      .bind_text(login.group, 201)
      .bind_text(login.user, 201)
      .bind_text(login.password, 201);
  if (table.open() != 1 ||
      table.execute("select ccodempresa, ccnpjempresa, coalesce(s_tem_grupo_edoc, ''), coalesce(s_tem_login_edoc, "
                    "''), coalesce(s_tem_senha_edoc, '') from tempresa " +
                    where) != 1) {
    problem = table.error_text("Erro ao selecionar dados da empresa|");
    return false;
  }
  if (table.next() != 1) {
    problem = "Empresa não encontrada.";
    return false;
  }
  return true;
}

// A whole number of the [station] section; `fallback` when missing or not a number.
std::int32_t station_value(const Context& ctx, const char* key, std::int32_t fallback) {
  const std::string text = ctx.config.get("station", key, "");
  std::int32_t value = fallback;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ptr != text.data() + text.size()) {
    return fallback;
  }
  return value;
}

// The station's company ([station] company, 1 by default).
std::int32_t station_company(const Context& ctx) { return station_value(ctx, "company", 1); }

struct Setup {
  std::string connection;
  GatewayConfig config;
};

// Connection and service settings; an exit status when they are unusable.
std::optional<int> read_setup(Context& ctx, Setup& setup) {
  setup.connection = ctx.database_connection();
  if (setup.connection.empty()) return kExitFailure;
  std::string why;
  if (!service_config(ctx, setup.config, why)) {
    ctx.err << "fvn: " << why << "\n";
    return kExitUsage;
  }
  return std::nullopt;
}

int issue(Context& ctx, const std::vector<std::string>& args) {
  std::int32_t sale = 0;
  if (args.size() != 1 ||
      std::from_chars(args[0].data(), args[0].data() + args[0].size(), sale).ptr != args[0].data() + args[0].size() ||
      sale <= 0) {
    ctx.err << "fvn: usage: fvn issue SALE_ID\n";
    return kExitUsage;
  }
  Setup setup;
  if (auto exit = read_setup(ctx, setup)) return *exit;
  CompanyLogin login;
  std::string problem;
  if (!company_login(setup.connection,
                     "inner join asaidas on cempresasaidas = ccodempresa where cidesaidas = " + sql_integer(sale),
                     login, problem)) {
    ctx.out << message_lines(problem == "Empresa não encontrada." ? "Venda " + args[0] + " não encontrada." : problem)
            << "\n";
    return kExitFailure;
  }
  CommandLineUi ui(ctx.out, ctx.err);
  NFCE_PROCESSO processor(ui, setup.config);
  processor.set_connection(setup.connection);
  processor.Carrega_Pastas(login.company);
  if (processor.Checar_Servidor(login.cnpj, login.group, login.user, login.password, setup.config.url, sale, 0, 0) !=
      1) {
    ctx.out << message_lines("Erro ao consultar status do servidor|" + processor.Traduz_Erro()) << "\n";
    return kExitFailure;
  }
  // Nothing is sent for a sale reversed, cancelled or already authorised,
  // nor for a note the service holds or is still processing.
  if (processor.Verifica_Venda(sale) != 1) {
    ctx.out << message_lines(processor.Traduz_Erro()) << "\nNada foi enviado.\n";
    return kExitFailure;
  }
  if (processor.Enviar_Nota(sale) != 1) {
    ctx.out << message_lines("Erro ao efetuar emissão da Nfe.|" + processor.Traduz_Erro()) << "\n";
    if (processor.Nota_Aceita()) {
      ctx.out << "A nota foi aceita pelo serviço; não a estorne: resolva-a em notas pendentes.\n";
    } else if (processor.Nota_Em_Duvida()) {
      ctx.out << "Não foi possível confirmar se o serviço recebeu a nota; não a estorne: ela será concluída na "
                 "verificação das notas pendentes.\n";
    }
    return kExitFailure;
  }
  const auto& answer = processor.authorisation();
  ctx.out << "venda: " << processor.current_sale() << "\n"
          << "chave: " << answer.access_key << "\n"
          << "protocolo: " << answer.protocol << "\n"
          << "contingencia: " << answer.contingency << "\n"
          << "qrcode: " << processor.qrcode_path(processor.current_sale()) << "\n";
  return kExitOk;
}

int pending(Context& ctx, const std::vector<std::string>& args) {
  const bool resolve = args.size() == 1 && args[0] == "--resolve";
  if (!args.empty() && !resolve) {
    ctx.err << "fvn: usage: fvn pending [--resolve]\n";
    return kExitUsage;
  }
  Setup setup;
  if (auto exit = read_setup(ctx, setup)) return *exit;
  CommandLineUi ui(ctx.out, ctx.err);
  NFCE_PROCESSO processor(ui, setup.config);
  processor.set_connection(setup.connection);
  std::vector<std::pair<std::int32_t, std::string>> notes;
  if (processor.Lista_Notas_Offline(notes) != 1) {
    ctx.out << message_lines(processor.ERROR) << "\n";
    return kExitFailure;
  }
  for (const auto& [sale, key] : notes) ctx.out << sale << " " << key << "\n";
  if (!resolve) return kExitOk;
  CompanyLogin login;
  std::string problem;
  if (!company_login(setup.connection, "where ccodempresa = " + sql_integer(station_company(ctx)), login, problem)) {
    ctx.out << message_lines(problem) << "\n";
    return kExitFailure;
  }
  processor.Carrega_Pastas(login.company);
  if (processor.Checar_Servidor(login.cnpj, login.group, login.user, login.password, setup.config.url, 0, 0, 0) != 1) {
    ctx.out << message_lines("Erro ao checar servidor.|Erro: " + processor.Traduz_Erro()) << "\n";
    return kExitFailure;
  }
  std::int32_t pending_count = 0;
  std::int32_t error_count = 0;
  const int result = processor.Resolve_Notas_Offline(pending_count, error_count);
  ctx.out << "pendentes: " << pending_count << "\nerros: " << error_count << "\n";
  if (result != 1) {
    ctx.out << message_lines(processor.Traduz_Erro()) << "\n";
    return kExitFailure;
  }
  return kExitOk;
}

// "YYYY-MM" as the first day of that month; 0 when it is not one.
Date month_argument(const std::string& text) {
  int year = 0;
  int month = 0;
  const char* end = text.data() + text.size();
  if (text.size() != 7 || text[4] != '-' ||
      std::from_chars(text.data(), text.data() + 4, year).ptr != text.data() + 4 ||
      std::from_chars(text.data() + 5, end, month).ptr != end) {
    return 0;
  }
  return date_from_civil(year, month, 1);
}

void print_export_list(Context& ctx, const SOLICITA_EXPORTACAO_XML& window) {
  ExportEntry entry;
  for (std::size_t position = 1; position <= window.entries().records(); ++position) {
    if (window.entries().get(position, entry)) ctx.out << entry.period << " " << entry.link << "\n";
  }
}

// The export window driven from the command line: it opens (server check and
// list) as the window does, then runs the one action asked for. Its messages
// are the command's output.
int export_files(Context& ctx, const std::vector<std::string>& args) {
  const std::string action = args.empty() ? std::string{} : args[0];
  const Date period = action == "request" && args.size() == 2 ? month_argument(args[1]) : 0;
  if (!((action == "request" && period != 0) || (action == "list" && args.size() == 1) ||
        (action == "download" && args.size() == 3))) {
    ctx.err << "fvn: usage: fvn export request YYYY-MM | list | download LINK DIR\n";
    return kExitUsage;
  }
  Setup setup;
  if (auto exit = read_setup(ctx, setup)) return *exit;
  CompanyLogin login;
  std::string problem;
  if (!company_login(setup.connection, "where ccodempresa = " + sql_integer(station_company(ctx)), login, problem)) {
    ctx.out << message_lines(problem) << "\n";
    return kExitFailure;
  }
  CommandLineUi ui(ctx.out, ctx.out);
  NFCE_PROCESSO processor(ui, setup.config);
  processor.set_connection(setup.connection);
  SOLICITA_EXPORTACAO_XML window(ui, processor, {login.company, login.cnpj, login.group, login.user, login.password});
  if (window.Abrir() != 1) return kExitFailure;
  if (action == "request") {
    window.set_period(period);
    if (window.Exportar() != 1) return kExitFailure;
  } else if (action == "download") {
    if (!window.select_link(args[1])) {
      ctx.out << "Arquivo não encontrado na lista de exportações: " << args[1] << "\n";
      return kExitFailure;
    }
    ui.answer_folder(args[2]);
    return window.Download() == 1 ? kExitOk : kExitFailure;
  }
  print_export_list(ctx, window);
  return kExitOk;
}

// A headless sale: the script builds the sale in the facade (as the sale
// screen does with the cashier's input), then the sale is recorded, issued
// and its receipt rendered exactly as the screen closes a sale. The station
// values come from [station]; the receipt goes to the files named (by
// default danfe-<sale>.pdf and .png in the working folder), with --escpos
// as ESC/POS too, and, with --print, to the printer as [station] says. An
// item step with "pesar" reads the scale configured in [scale].
int sell(Context& ctx, const std::vector<std::string>& args) {
  ReceiptOptions options;
  std::string script;
  if (!parse_receipt_options(args, options, script)) {
    ctx.err
        << "fvn: usage: fvn sell FILE.json [--resumido] [--pdf FILE] [--png FILE] [--escpos FILE|DEVICE] [--print]\n";
    return kExitUsage;
  }
  std::ifstream input(script, std::ios::binary);
  if (!input) {
    ctx.err << "fvn: sell: cannot read " << script << "\n";
    return kExitFailure;
  }
  sale::CLASSE_VENDA venda;
  // Weighed items of the script read the scale configured in [scale].
  venda.DADOS_BALANCA = devices::le_dados_balanca(ctx.config);
  HeadlessUi scale_ui(ctx.err, &std::cin);
  venda.BALANCA->Set_Ui(&scale_ui);
  std::string problem;
  if (!build_sale(input, venda, problem)) {
    ctx.out << "A venda do roteiro não pôde ser montada: " << problem << "\n";
    return kExitFailure;
  }
  Setup setup;
  if (auto exit = read_setup(ctx, setup)) return *exit;
  {
    // As the module's start-up does: never record into a database of another version.
    PassthroughTable check("VERSAO", setup.connection);
    if (verify_schema_version(check, problem) != 1) {
      ctx.out << message_lines(problem) << "\n";
      return kExitFailure;
    }
  }
  const std::int32_t company = venda.EMPRESA.CODIGO != 0 ? venda.EMPRESA.CODIGO : station_company(ctx);
  CompanyLogin login;
  if (!company_login(setup.connection, "where ccodempresa = " + sql_integer(company), login, problem)) {
    ctx.out << message_lines(problem) << "\n";
    return kExitFailure;
  }

  CommandLineUi ui(ctx.out, ctx.out);
  NFCE_PROCESSO processor(ui, setup.config);
  IMPRESSAO_DANFE danfe(ui);
  danfe.set_connection(setup.connection);
  if (options.print) {
    ImpressaoEstacao station;
    if (le_impressao_estacao(ctx.config, station, problem) != 1) {
      ctx.out << problem << "\n";
      return kExitFailure;
    }
    danfe.set_impressao(station);
  }
  std::string pdf = options.pdf;
  std::string png = options.png;
  int printed = 0;

  CONTEXTO_VENDA c;
  c.conexao = setup.connection;
  c.empresa = login.company;
  c.cnpj = login.cnpj;
  c.grupo_edoc = login.group;
  c.login_edoc = login.user;
  c.senha_edoc = login.password;
  c.url_edoc = setup.config.url;
  c.operador = station_value(ctx, "operator", 0);
  c.usuario = station_value(ctx, "user", 0);
  c.emissor = venda.EMISSOR.CODIGO != 0 ? venda.EMISSOR.CODIGO : station_value(ctx, "emitter", 1);
  c.tipo_emissor = venda.EMISSOR.TIPO;
  c.tabela_preco = station_value(ctx, "price_table", 0);
  c.condicao_pagamento = venda.CONDICAO;
  c.tipo_condicao = venda.PRESTACAO->Get_Quantidade_Parcelas() > 0 ? 'P' : 'V';
  c.resumido = options.resumido ? 1 : 0;
  c.imprime_danfe = [&](std::int32_t sale_id, std::int32_t resumido) {
    const std::string base = working_file("danfe-" + std::to_string(sale_id));
    if (pdf.empty()) pdf = base + ".pdf";
    if (png.empty()) png = base + ".png";
    if (danfe.Gera_PDF(sale_id, resumido, pdf, png) != 1) {
      ui.message(std::string{IMPRESSAO_DANFE::kMensagemFalha} + "|" + danfe.ERROR, IMPRESSAO_DANFE::kTituloFalha);
      pdf.clear();
      png.clear();
      return 0;
    }
    printed = 1;
    if (!options.escpos.empty() && danfe.Gera_EscPos(sale_id, resumido, options.escpos, escpos_options(options)) != 1) {
      ui.message(std::string{IMPRESSAO_DANFE::kMensagemFalha} + "|" + danfe.ERROR, IMPRESSAO_DANFE::kTituloFalha);
      return 0;
    }
    if (options.print && danfe.Imprime(sale_id, resumido) != 1) {
      ui.message(std::string{IMPRESSAO_DANFE::kMensagemFalha} + "|" + danfe.ERROR, IMPRESSAO_DANFE::kTituloFalha);
      return 0;
    }
    return 1;
  };

  GRAVACAO_VENDA closing(ui, venda, processor);
  const int result = closing.Fecha_Venda(c);
  if (closing.venda() != 0) {
    ctx.out << "venda: " << closing.venda() << "\n"
            << "numero: " << closing.numero() << "\n";
  }
  if (result != 1) return kExitFailure;
  const auto& answer = processor.authorisation();
  ctx.out << "chave: " << answer.access_key << "\n"
          << "protocolo: " << answer.protocol << "\n"
          << "contingencia: " << answer.contingency << "\n";
  if (printed == 1)
    ctx.out << "pdf: " << pdf << "\n"
            << "png: " << png << "\n";
  if (printed == 1 && !options.escpos.empty()) ctx.out << "escpos: " << options.escpos << "\n";
  if (options.print)
    ctx.out << "impressora: " << (danfe.ultima_impressora().empty() ? "-" : danfe.ultima_impressora()) << "\n";
  return kExitOk;
}

}  // namespace

Command sell_command() {
  return {"sell", "FILE.json [--resumido] [--pdf FILE] [--png FILE] [--escpos FILE|DEVICE] [--print]",
          "build a sale from a sale script, record it, issue it and render its receipt", sell};
}

Command export_command() {
  return {"export", "request YYYY-MM | list | download LINK DIR",
          "request the XML files of a month from the NFC-e service, list the requests, download a finished file",
          export_files};
}

Command issue_command() {
  return {"issue", "SALE_ID", "send a recorded sale to the NFC-e service and record the authorisation", issue};
}

Command pending_command() {
  return {"pending", "[--resolve]",
          "list the notes in doubt, in contingency or owed a cancellation; --resolve settles them", pending};
}

}  // namespace fvn::app
