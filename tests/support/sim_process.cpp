#include "support/sim_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include <gtest/gtest.h>
#include <httplib.h>
#include <spawn.h>

extern char** environ;

namespace fvn::testing {

SimProcess::SimProcess(std::string data_folder, std::vector<std::string> arguments)
    : data_folder_(std::move(data_folder)), arguments_(std::move(arguments)) {
  start();
}

SimProcess::~SimProcess() { stop(); }

void SimProcess::start() {
  const std::string port_file = data_folder_ + "/port";
  std::error_code ec;
  std::filesystem::create_directories(data_folder_, ec);
  std::filesystem::remove(port_file, ec);
  std::vector<std::string> args = {FVN_SIM_BINARY, "--port", "0", "--port-file", port_file, "--data", data_folder_};
  args.insert(args.end(), arguments_.begin(), arguments_.end());
  if (std::find(arguments_.begin(), arguments_.end(), "--schemas") == arguments_.end()) {
    const std::string schemas = schema_folder();
    if (schemas.empty() && under_ci()) ADD_FAILURE() << "the schema folder " << FVN_SCHEMA_DIR << " is missing";
    if (schemas.empty()) std::cerr << "the schema folder " << FVN_SCHEMA_DIR << " is missing: no schema validation\n";
    args.insert(args.end(), {"--schemas", schemas.empty() ? "none" : schemas});
  }
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  port_ = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    std::ifstream in(port_file);
    if (in >> port_ && port_ > 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  port_ = 0;
}

void SimProcess::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  port_ = 0;
}

void SimProcess::restart() {
  stop();
  start();
}

GatewayConfig SimProcess::gateway_config() const {
  GatewayConfig config;
  config.url = url();
  config.connect_timeout_ms = 2000;
  config.total_timeout_ms = 10000;
  config.status_backoff_ms = 20;
  config.unknown_key_grace_ms = 0;
  return config;
}

bool SimProcess::admin(const std::string& path, const nlohmann::json& body) const {
  httplib::Client client("127.0.0.1", port_);
  const auto result = client.Post(path, body.dump(), "application/json");
  return result && result->status == 200;
}

bool SimProcess::fault(const nlohmann::json& rule) const { return admin("/admin/fault", rule); }

nlohmann::json SimProcess::fault_rules() const {
  httplib::Client client("127.0.0.1", port_);
  const auto result = client.Get("/admin/fault");
  if (!result || result->status != 200) return nullptr;
  return nlohmann::json::parse(result->body, nullptr, false).value("rules", nlohmann::json::array());
}

}  // namespace fvn::testing
