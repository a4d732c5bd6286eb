// The simulator's HTTP face (cpp-httplib): the service endpoints the gateway
// calls, each passing through the fault rules, and the admin endpoints that
// change the rules and the accounts while it runs.
//
//   /api/autorizar /api/status /api/cancelar /api/documento     POST JSON
//   /api/ping                                                   GET
//   /api/exportacao/solicitar /api/exportacao/consultar         POST JSON
//   /api/exportacao/arquivo/ID/NAME.zip                         GET (download)
//   /admin/fault       GET lists, POST adds a rule ({"mode": "normal"} clears), DELETE clears
//   /admin/conta       POST {cnpj, login, grupo, senha, csc_id, csc}
//   /admin/inutilizar  POST {chave}: the note's number was voided
#pragma once

#include <memory>
#include <string>

#include "sim_faults.h"
#include "sim_service.h"

namespace fvn::sim {

class SimServer {
 public:
  SimServer(SimService& service, Faults& faults, int threads);
  ~SimServer();
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;

  // Binds the listening socket; port 0 takes any free port. The port, or -1.
  int bind(const std::string& host, int port);
  // Serves until stop(); false when serving failed.
  bool run();
  void stop();
  [[nodiscard]] bool is_running() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fvn::sim
