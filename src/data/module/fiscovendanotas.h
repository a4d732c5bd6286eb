// The module's start-up and shut-down: its two entry points
// (FISCOVENDANOTAS:INIT and FISCOVENDANOTAS:KILL), the four module-wide
// objects and the module-wide values.
//
// fiscovendanotas_init creates, in this order, the NFC-e processor, the
// field validator (which checks its code tables in the working folder at
// once), the sale facade and the pre-emission auditor; then it opens the
// module's INI file "FISCOVENDANOTAS.INI" in the working folder, checks the
// database's schema version and loads the module-wide values of the company
// and the logged-in user. The runtime's message texts, button captions and
// month names are compiled in (runtime_messages.h), so nothing is installed
// at run time. Either everything succeeds and the module is up, or nothing
// of it stays: a failure destroys what was created and leaves the error.
//
// The module is per thread, as the host keeps its module-wide objects.
// fiscovendanotas_kill destroys the objects in the reverse order (auditor,
// facade, validator, processor) after releasing the INI file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/module_values.h"
#include "nfce/auditor_fiscal.h"
#include "nfce/validador_fiscal.h"
#include "runtime/ini_file.h"
#include "sale/classe_venda.h"
#include "service/nfce_processo.h"

namespace fvn {

inline constexpr std::string_view kModuleIniName = "FISCOVENDANOTAS.INI";

// What the host hands the module at start-up.
struct ModuleSettings {
  std::string connection;      // GLO:CNXSTR
  std::string working_folder;  // code tables, nfe_ini.ini, ibpt.csv, FISCOVENDANOTAS.INI
  GatewayConfig service;       // the NFC-e service's address, credentials, time-outs
  std::int32_t company = 0;    // the station's company
  std::int32_t user = 0;       // the logged-in user
};

// The module while it is up: its four objects, its INI file and its values.
class FiscoVendaNotas {
 public:
  FiscoVendaNotas(HostUi& ui, const ModuleSettings& settings);
  FiscoVendaNotas(const FiscoVendaNotas&) = delete;
  FiscoVendaNotas& operator=(const FiscoVendaNotas&) = delete;
  ~FiscoVendaNotas();

  [[nodiscard]] NFCE_PROCESSO& processo() { return *processo_; }
  [[nodiscard]] VALIDADOR_FISCAL& validador() { return *validador_; }
  [[nodiscard]] sale::CLASSE_VENDA& venda() { return *venda_; }
  [[nodiscard]] AUDITOR_FISCAL& auditor() { return *auditor_; }
  [[nodiscard]] IniFile& ini() { return *ini_; }
  [[nodiscard]] const ModuleValues& values() const { return values_; }
  [[nodiscard]] HostUi& ui() { return ui_; }

 private:
  friend int fiscovendanotas_init(HostUi&, const ModuleSettings&, std::string&);
  int start(const ModuleSettings& settings, std::string& error);

  HostUi& ui_;
  // Created in this order and destroyed in the reverse one.
  std::unique_ptr<NFCE_PROCESSO> processo_;
  std::unique_ptr<VALIDADOR_FISCAL> validador_;
  std::unique_ptr<sale::CLASSE_VENDA> venda_;
  std::unique_ptr<AUDITOR_FISCAL> auditor_;
  std::unique_ptr<IniFile> ini_;
  ModuleValues values_;
};

// FISCOVENDANOTAS:INIT. Brings the module up for this thread; 1 on success,
// 0 with `error` (the message to show, "|" as line break) when it could
// not, and then the module is not up. A module already up is shut down first.
int fiscovendanotas_init(HostUi& ui, const ModuleSettings& settings, std::string& error);

// FISCOVENDANOTAS:KILL. Shuts the module down; nothing when it is not up.
void fiscovendanotas_kill();

// The module of this thread; nullptr when it is not up.
FiscoVendaNotas* fiscovendanotas();

}  // namespace fvn
