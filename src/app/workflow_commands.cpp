#include "app/workflow_commands.h"

#include <charconv>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "app/command_line_ui.h"
#include "app/receipt_command.h"
#include "app/sale_screen_script.h"
#include "app/service_commands.h"
#include "app/simulate_command.h"
#include "data/database_contract.h"
#include "data/module_values.h"
#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "devices/classe_balanca.h"
#include "devices/impressao_danfe.h"
#include "nfce/validador_fiscal.h"
#include "runtime/clock.h"
#include "runtime/headless_ui.h"
#include "runtime/working_folder.h"
#include "screens/exportacao_xml.h"
#include "screens/gravacao_venda.h"
#include "screens/janelas_roteiro.h"
#include "screens/nota_padrao_nfce.h"
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

// The receipt of a sold note for `fvn sell`: drawn to the files named (by
// default danfe-<sale>.pdf and .png in the working folder), with --escpos
// as ESC/POS too, and, with --print, printed as [station] says.
class SellReceipt {
 public:
  SellReceipt(HostUi& ui, const std::string& connection, const ReceiptOptions& options)
      : ui_(ui), danfe_(ui), options_(options), pdf_(options.pdf), png_(options.png) {
    danfe_.set_connection(connection);
  }
  // [station]'s printer for --print; false with `problem`.
  bool set_station(const Context& ctx, std::string& problem) {
    if (!options_.print) return true;
    ImpressaoEstacao station;
    if (le_impressao_estacao(ctx.config, station, problem) != 1) return false;
    danfe_.set_impressao(station);
    return true;
  }
  // The closing's receipt hook.
  std::function<int(std::int32_t, std::int32_t)> hook() {
    return [this](std::int32_t sale_id, std::int32_t resumido) { return print(sale_id, resumido); };
  }
  void report(std::ostream& out) const {
    if (printed_ == 1)
      out << "pdf: " << pdf_ << "\n"
          << "png: " << png_ << "\n";
    if (printed_ == 1 && !options_.escpos.empty()) out << "escpos: " << options_.escpos << "\n";
    if (options_.print) {
      out << "impressora: " << (danfe_.ultima_impressora().empty() ? "-" : danfe_.ultima_impressora()) << "\n";
    }
  }

 private:
  int fail() {
    ui_.message(std::string{IMPRESSAO_DANFE::kMensagemFalha} + "|" + danfe_.ERROR, IMPRESSAO_DANFE::kTituloFalha);
    return 0;
  }
  int print(std::int32_t sale_id, std::int32_t resumido) {
    const std::string base = working_file("danfe-" + std::to_string(sale_id));
    if (pdf_.empty()) pdf_ = base + ".pdf";
    if (png_.empty()) png_ = base + ".png";
    if (danfe_.Gera_PDF(sale_id, resumido, pdf_, png_) != 1) {
      pdf_.clear();
      png_.clear();
      return fail();
    }
    printed_ = 1;
    if (!options_.escpos.empty() &&
        danfe_.Gera_EscPos(sale_id, resumido, options_.escpos, escpos_options(options_)) != 1) {
      return fail();
    }
    if (options_.print && danfe_.Imprime(sale_id, resumido) != 1) return fail();
    return 1;
  }

  HostUi& ui_;
  IMPRESSAO_DANFE danfe_;
  const ReceiptOptions& options_;
  std::string pdf_;
  std::string png_;
  int printed_ = 0;
};

// What `fvn sell` prints of a closing.
int report_closing(Context& ctx, const Fechamento& closing, const NFCE_PROCESSO& processor,
                   const SellReceipt& receipt) {
  if (closing.gravada())
    ctx.out << "venda: " << closing.venda << "\n"
            << "numero: " << closing.numero << "\n";
  if (closing.resultado != ResultadoEmissao::Emitida) return kExitFailure;
  const auto& answer = processor.authorisation();
  ctx.out << "chave: " << answer.access_key << "\n"
          << "protocolo: " << answer.protocol << "\n"
          << "contingencia: " << answer.contingency << "\n";
  receipt.report(ctx.out);
  return kExitOk;
}

// As the module's start-up does: never record into a database of another version.
bool schema_matches(Context& ctx, const std::string& connection) {
  PassthroughTable check("VERSAO", connection);
  std::string problem;
  if (verify_schema_version(check, problem) == 1) return true;
  ctx.out << message_lines(problem) << "\n";
  return false;
}

// A screen script: the sale typed into the sale screen's presenter for the
// station's company and user ([station] company and user), its dialogs
// answered from the script's plan, and closed as the screen closes it.
int sell_screen(Context& ctx, const Json& json, const ReceiptOptions& options) {
  RoteiroTela script;
  std::string problem;
  if (!read_screen_script(json, script, problem)) {
    ctx.out << "A venda do roteiro não pôde ser montada: " << problem << "\n";
    return kExitFailure;
  }
  Setup setup;
  if (auto exit = read_setup(ctx, setup)) return *exit;
  if (!schema_matches(ctx, setup.connection)) return kExitFailure;
  const std::int32_t user = station_value(ctx, "user", 0);
  ModuleValues values;
  PassthroughTable table("VALORES", setup.connection);
  if (load_module_values(table, station_company(ctx), user, values, problem) != 1) {
    ctx.out << message_lines(problem) << "\n";
    return kExitFailure;
  }
  std::string login;
  table.clear_fields();
  table.bind_text(login, 101);
  if (table.open() == 1 &&
      table.execute("select s_tus_login from tusuarios where i_tus_codigo = " + sql_integer(user)) == 1) {
    table.next();
  }

  CommandLineUi ui(ctx.out, ctx.out);
  NFCE_PROCESSO processor(ui, setup.config);
  VALIDADOR_FISCAL validator(ui);
  sale::CLASSE_VENDA venda;
  venda.DADOS_BALANCA = devices::le_dados_balanca(ctx.config);
  HeadlessUi scale_ui(ctx.err, &std::cin);
  venda.BALANCA->Set_Ui(&scale_ui);
  SellReceipt receipt(ui, setup.connection, options);
  if (!receipt.set_station(ctx, problem)) {
    ctx.out << problem << "\n";
    return kExitFailure;
  }
  JanelasRoteiro janelas(ui, setup.connection, values, SessaoAtual{values.OPERADOR, login, values.COD_EMPR}, validator,
                         script.roteiro);
  EstacaoVenda station{contexto_estacao(values, setup.config.url), station_value(ctx, "cash_account", 0)};
  station.contexto.imprime_danfe = receipt.hook();
  NotaPadraoNfcePresenter screen(ui, janelas, values, venda, processor, std::move(station));
  screen.resumido(options.resumido ? 1 : 0);
  screen.abre();
  if (!play_screen_script(script, screen, problem) && !screen.ultimo_fechamento().gravada()) {
    ctx.out << "A venda do roteiro não pôde ser montada: " << problem << "\n";
    return kExitFailure;
  }
  return report_closing(ctx, screen.ultimo_fechamento(), processor, receipt);
}

// A headless sale. A screen script (see sale_screen_script.h) is typed into
// the sale screen's presenter; a facade script builds the sale in the facade
// (as the screen does with the cashier's input). Either way the sale is
// recorded, issued and its receipt rendered by the screen's closing. The
// station values come from [station]. An item step with "pesar" reads the
// scale configured in [scale].
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
  // Read through the stream buffer: g++ 12 at -O3 takes an istreambuf_iterator
  // range for a possible null dereference and stops the release build.
  std::ostringstream content;
  content << input.rdbuf();
  const std::string text = content.str();
  const Json json = Json::parse(text, nullptr, false);
  if (is_screen_script(json)) return sell_screen(ctx, json, options);

  sale::CLASSE_VENDA venda;
  // Weighed items of the script read the scale configured in [scale].
  venda.DADOS_BALANCA = devices::le_dados_balanca(ctx.config);
  HeadlessUi scale_ui(ctx.err, &std::cin);
  venda.BALANCA->Set_Ui(&scale_ui);
  std::string problem;
  std::istringstream facade_script(text);
  if (!build_sale(facade_script, venda, problem)) {
    ctx.out << "A venda do roteiro não pôde ser montada: " << problem << "\n";
    return kExitFailure;
  }
  Setup setup;
  if (auto exit = read_setup(ctx, setup)) return *exit;
  if (!schema_matches(ctx, setup.connection)) return kExitFailure;
  const std::int32_t company = venda.EMPRESA.CODIGO != 0 ? venda.EMPRESA.CODIGO : station_company(ctx);
  CompanyLogin login;
  if (!company_login(setup.connection, "where ccodempresa = " + sql_integer(company), login, problem)) {
    ctx.out << message_lines(problem) << "\n";
    return kExitFailure;
  }

  CommandLineUi ui(ctx.out, ctx.out);
  NFCE_PROCESSO processor(ui, setup.config);
  SellReceipt receipt(ui, setup.connection, options);
  if (!receipt.set_station(ctx, problem)) {
    ctx.out << problem << "\n";
    return kExitFailure;
  }
  CONTEXTO_VENDA station;
  station.conexao = setup.connection;
  station.empresa = login.company;
  station.cnpj = login.cnpj;
  station.grupo_edoc = login.group;
  station.login_edoc = login.user;
  station.senha_edoc = login.password;
  station.url_edoc = setup.config.url;
  station.operador = station_value(ctx, "operator", 0);
  station.usuario = station_value(ctx, "user", 0);
  station.emissor = station_value(ctx, "emitter", 1);
  station.imprime_danfe = receipt.hook();
  TelaFechamento screen;
  screen.tabela_preco = station_value(ctx, "price_table", 0);
  screen.resumido = options.resumido ? 1 : 0;
  const Fechamento closing = fecha_venda(ui, venda, processor, contexto_fechamento(station, venda, screen));
  return report_closing(ctx, closing, processor, receipt);
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
