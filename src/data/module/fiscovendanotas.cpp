#include "data/module/fiscovendanotas.h"

#include "data/database_contract.h"
#include "data/passthrough_table.h"
#include "runtime/working_folder.h"

namespace fvn {

namespace {

thread_local std::unique_ptr<FiscoVendaNotas> g_module;

}  // namespace

FiscoVendaNotas::FiscoVendaNotas(HostUi& ui, const ModuleSettings& settings)
    : ui_(ui),
      processo_(std::make_unique<NFCE_PROCESSO>(ui, settings.service)),
      validador_(std::make_unique<VALIDADOR_FISCAL>(ui)),
      venda_(std::make_unique<sale::CLASSE_VENDA>()),
      auditor_(std::make_unique<AUDITOR_FISCAL>(ui)) {}

FiscoVendaNotas::~FiscoVendaNotas() {
  ini_.reset();
  auditor_.reset();
  venda_.reset();
  validador_.reset();
  processo_.reset();
}

int FiscoVendaNotas::start(const ModuleSettings& settings, std::string& error) {
  ini_ = std::make_unique<IniFile>(working_file(kModuleIniName));
  if (!ini_->load()) {
    error = "Não foi possível ler o arquivo " + ini_->path() + ".";
    return 0;
  }
  PassthroughTable table("MODULO", settings.connection);
  if (table.open() != 1) {
    error = table.error_text("Não foi possível conectar ao banco de dados.|");
    return 0;
  }
  if (verify_schema_version(table, error) != 1) return 0;
  if (load_module_values(table, settings.company, settings.user, values_, error) != 1) return 0;
  processo_->set_connection(settings.connection);
  processo_->Carrega_Pastas(settings.company);
  return 1;
}

int fiscovendanotas_init(HostUi& ui, const ModuleSettings& settings, std::string& error) {
  fiscovendanotas_kill();
  // A copy: set_working_folder changes what working_folder() refers to.
  const std::string previous_folder = working_folder();  // NOLINT(performance-unnecessary-copy-initialization)
  if (!settings.working_folder.empty()) set_working_folder(settings.working_folder);
  auto module = std::make_unique<FiscoVendaNotas>(ui, settings);
  if (module->start(settings, error) != 1) {
    set_working_folder(previous_folder);
    return 0;
  }
  g_module = std::move(module);
  return 1;
}

void fiscovendanotas_kill() { g_module.reset(); }

FiscoVendaNotas* fiscovendanotas() { return g_module.get(); }

}  // namespace fvn
