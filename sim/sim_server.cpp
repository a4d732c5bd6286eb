#include "sim_server.h"

#include <chrono>
#include <functional>
#include <thread>

#include <httplib.h>

namespace fvn::sim {

namespace {

using nlohmann::json;

constexpr const char* kJson = "application/json; charset=utf-8";

std::string dump(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

Credentials credentials_of(const httplib::Request& request) {
  return {request.get_header_value("X-Nfce-Login"), request.get_header_value("X-Nfce-Grupo"),
          request.get_header_value("X-Nfce-Senha")};
}

// Ends the answer without sending it: the headers promise a body that never
// comes, so the client sees the connection drop.
void drop(httplib::Response& response) {
  response.set_content_provider(64, "application/json",
                                [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
}

void send(httplib::Response& response, const Answer& answer) {
  response.status = answer.http_status;
  response.set_content(dump(answer.body), kJson);
}

}  // namespace

struct SimServer::Impl {
  Impl(SimService& s, Faults& f) : service(s), faults(f) {}

  SimService& service;
  Faults& faults;
  httplib::Server server;

  using Work = std::function<Answer(const httplib::Request&, const json&, const FaultRule*)>;

  // One service call: the fault rule first, then the work, then what the
  // rule does to the answer.
  void call(const std::string& name, const httplib::Request& request, httplib::Response& response, const Work& work) {
    const std::optional<FaultRule> rule = faults.take(name);
    const Mode mode = rule ? rule->mode : Mode::Normal;
    if (mode == Mode::Slow) std::this_thread::sleep_for(std::chrono::milliseconds(rule->delay_ms));
    switch (mode) {
      case Mode::Drop: drop(response); return;
      case Mode::Down:
        response.status = 503;
        response.set_content("Service Unavailable", "text/plain");
        return;
      case Mode::Http500:
        response.status = 500;
        response.set_content(R"({"exMessage": "Erro interno do servidor"})", kJson);
        return;
      case Mode::Malformed:
        response.status = 200;
        response.set_content(R"({"numero": "1", "statusAutorizacao": "OK", "chave": )", kJson);
        return;
      default: break;
    }
    json body = json::object();
    if (request.method == "POST") {
      body = json::parse(request.body, nullptr, false);
      if (body.is_discarded() || !body.is_object()) {
        send(response, Answer{400, {{"exMessage", "Exception: requisição não é um objeto JSON"}}});
        return;
      }
    }
    Answer answer = work(request, body, rule ? &*rule : nullptr);
    // Any other mode with a delay does the work, then answers late: a
    // sender may die after the service acted and before it hears so.
    if (mode != Mode::Slow && rule && rule->delay_ms > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(rule->delay_ms));
    }
    if (mode == Mode::Lost) {
      drop(response);
      return;
    }
    if (mode == Mode::Fields) {
      for (const auto& [key, value] : rule->fields.items()) {
        if (value.is_null()) {
          answer.body.erase(key);
        } else {
          answer.body[key] = value;
        }
      }
    }
    send(response, answer);
  }

  void route(const std::string& path, const std::string& name, bool post, Work work) {
    auto handler = [this, name, work = std::move(work)](const httplib::Request& request, httplib::Response& response) {
      call(name, request, response, work);
    };
    if (post) {
      server.Post(path, handler);
    } else {
      server.Get(path, handler);
    }
  }

  void admin() {
    server.Get("/admin/fault", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(dump(json{{"rules", faults.list()}}), kJson);
    });
    server.Delete("/admin/fault", [this](const httplib::Request&, httplib::Response& response) {
      faults.clear();
      response.set_content(dump(json{{"rules", faults.list()}}), kJson);
    });
    server.Post("/admin/fault", [this](const httplib::Request& request, httplib::Response& response) {
      std::string error = "corpo não é JSON";
      const json body = json::parse(request.body, nullptr, false);
      const auto rule = body.is_discarded() ? std::nullopt : rule_from_json(body, error);
      if (!rule) {
        response.status = 400;
        response.set_content(dump(json{{"erro", error}}), kJson);
        return;
      }
      faults.add(*rule);
      response.set_content(dump(json{{"rules", faults.list()}}), kJson);
    });
    server.Post("/admin/conta", [this](const httplib::Request& request, httplib::Response& response) {
      const json body = json::parse(request.body, nullptr, false);
      if (body.is_discarded() || !body.is_object() || !body.contains("cnpj")) {
        response.status = 400;
        response.set_content(dump(json{{"erro", "esperado {cnpj, login, grupo, senha, csc_id, csc}"}}), kJson);
        return;
      }
      const Account account{body.value("cnpj", ""),  body.value("login", ""),  body.value("grupo", ""),
                            body.value("senha", ""), body.value("csc_id", ""), body.value("csc", "")};
      response.set_content(dump(json{{"ok", service.add_account(account)}}), kJson);
    });
    server.Post("/admin/exportacao/pronta", [this](const httplib::Request&, httplib::Response& response) {
      const bool ok = service.finish_exports();
      response.status = ok ? 200 : 500;
      response.set_content(dump(json{{"ok", ok}}), kJson);
    });
    server.Post("/admin/inutilizar", [this](const httplib::Request& request, httplib::Response& response) {
      const json body = json::parse(request.body, nullptr, false);
      const bool ok = !body.is_discarded() && body.is_object() && service.void_note(body.value("chave", ""));
      response.status = ok ? 200 : 404;
      response.set_content(dump(json{{"ok", ok}}), kJson);
    });
  }

  void api() {
    route("/api/autorizar", "autorizar", true, [this](const httplib::Request& r, const json& body, const FaultRule* f) {
      return service.authorise(credentials_of(r), body, f);
    });
    route("/api/status", "status", true, [this](const httplib::Request& r, const json& body, const FaultRule*) {
      return service.status(credentials_of(r), body);
    });
    route("/api/cancelar", "cancelar", true, [this](const httplib::Request& r, const json& body, const FaultRule* f) {
      return service.cancel(credentials_of(r), body, f);
    });
    route("/api/documento", "documento", true, [this](const httplib::Request& r, const json& body, const FaultRule*) {
      return service.document(credentials_of(r), body);
    });
    route("/api/ping", "ping", false,
          [this](const httplib::Request&, const json&, const FaultRule*) { return service.ping(); });
    route("/api/exportacao/solicitar", "solicitar", true,
          [this](const httplib::Request& r, const json& body, const FaultRule*) {
            return service.request_export(credentials_of(r), body);
          });
    route("/api/exportacao/consultar", "consultar", true,
          [this](const httplib::Request& r, const json& body, const FaultRule*) {
            return service.list_exports(credentials_of(r), body, "http://" + r.get_header_value("Host"));
          });
    server.Get(R"(/api/exportacao/arquivo/(\d+)/([A-Za-z0-9_.-]+))", [this](const httplib::Request& request,
                                                                            httplib::Response& response) {
      const std::optional<FaultRule> rule = faults.take("download");
      const Mode mode = rule ? rule->mode : Mode::Normal;
      if (mode == Mode::Slow) std::this_thread::sleep_for(std::chrono::milliseconds(rule->delay_ms));
      if (mode == Mode::Drop || mode == Mode::Lost) return drop(response);
      if (mode == Mode::Down || mode == Mode::Http500 || mode == Mode::Malformed) {
        response.status = mode == Mode::Down ? 503 : 500;
        response.set_content("Erro no servidor", "text/plain");
        return;
      }
      Answer refusal;
      const auto file = service.export_file(credentials_of(request), std::stoll(request.matches[1]), refusal);
      if (!file) return send(response, refusal);
      response.set_header("Content-Disposition", "attachment; filename=\"" + file->name + "\"");
      response.set_content(file->bytes, "application/zip");
    });
  }
};

SimServer::SimServer(SimService& service, Faults& faults, int threads)
    : impl_(std::make_unique<Impl>(service, faults)) {
  const auto count = static_cast<std::size_t>(threads > 0 ? threads : 8);
  impl_->server.new_task_queue = [count] { return new httplib::ThreadPool(count); };
  impl_->server.set_keep_alive_max_count(1000);
  // An idle connection is closed soon, so a stop does not wait long for it.
  impl_->server.set_keep_alive_timeout(1);
  // Headers and body go out in separate writes; without this each answer
  // waits for the delayed acknowledgement of the first.
  impl_->server.set_tcp_nodelay(true);
  impl_->server.set_payload_max_length(16U << 20U);
  impl_->api();
  impl_->admin();
}

SimServer::~SimServer() = default;

int SimServer::bind(const std::string& host, int port) {
  if (port == 0) return impl_->server.bind_to_any_port(host.c_str());
  return impl_->server.bind_to_port(host.c_str(), port) ? port : -1;
}

bool SimServer::run() { return impl_->server.listen_after_bind(); }
void SimServer::stop() { impl_->server.stop(); }
bool SimServer::is_running() const { return impl_->server.is_running(); }

}  // namespace fvn::sim
