// A real nfce-service-sim process for one test: started on a free loopback
// port (the simulator picks it and writes it to a file), with its store in
// a test folder, stopped with SIGTERM when the test ends. restart() keeps
// the store. The admin helpers change fault rules and accounts.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "service/service_gateway.h"
#include "support/schema_folder.h"

namespace fvn::testing {

class SimProcess {
 public:
  // `data_folder` holds the store; `arguments` are added to the command line.
  // Without "--schemas" among them the simulator validates against the
  // project's schemas; when they are missing that is a test failure under
  // CI, elsewhere the simulator runs without validation and says so.
  SimProcess(std::string data_folder, std::vector<std::string> arguments = {});
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // True when the simulator started and listens.
  [[nodiscard]] bool running() const { return pid_ > 0 && port_ > 0; }
  void stop();
  void restart();

  [[nodiscard]] int port() const { return port_; }
  [[nodiscard]] std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // A gateway configuration for this simulator, with short time-outs.
  [[nodiscard]] GatewayConfig gateway_config() const;

  // Adds a fault rule (or clears them with {"mode": "normal"}); true on 200.
  bool fault(const nlohmann::json& rule) const;
  bool admin(const std::string& path, const nlohmann::json& body) const;
  // The fault rules still in force (a counted rule leaves when spent).
  [[nodiscard]] nlohmann::json fault_rules() const;

 private:
  void start();

  std::string data_folder_;
  std::vector<std::string> arguments_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace fvn::testing
