// Fault modes of the simulator: rules chosen at start (--mode, --fault) or
// through the admin endpoint, each for one call or all of them, for the
// next N calls or until cleared. The first rule that applies to a call is
// used (and counted); with none the call is answered normally.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace fvn::sim {

enum class Mode {
  Normal,       // answer normally
  Contingency,  // authorise in contingency under the same number
  Renumber,     // authorise in contingency under another number
  Pending,      // answer PENDENTE; status queries later resolve it
  Reject,       // reject with the given status code
  Slow,         // wait delay_ms, then answer normally
  Drop,         // drop the connection without an answer
  Lost,         // do the work, then drop the connection (the answer is lost)
  Malformed,    // answer text that is not JSON
  Http500,      // answer HTTP 500
  Down,         // answer HTTP 503, as an unreachable service would
  Fields,       // answer normally with some fields replaced
};

// The calls a rule can name.
inline constexpr std::string_view kCalls[] = {"autorizar", "status",    "cancelar",  "documento",
                                              "ping",      "solicitar", "consultar", "download"};

struct FaultRule {
  Mode mode = Mode::Normal;
  std::string call = "all";
  int count = 0;  // calls left; 0 = until cleared
  int cstat = 0;
  int delay_ms = 0;
  int after = 1;               // status queries a pending note stays pending
  std::string resolve = "OK";  // what a pending note becomes: OK or ERRO
  nlohmann::json fields = nlohmann::json::object();
};

std::optional<Mode> mode_from_name(std::string_view name);
std::string_view mode_name(Mode mode);

// A rule from its JSON form ({"mode": "reject", "call": "autorizar",
// "count": 2, "cstat": 225, ...}); std::nullopt with `error` when invalid.
std::optional<FaultRule> rule_from_json(const nlohmann::json& value, std::string& error);
// A rule from its command-line form "MODE[,key=value...]".
std::optional<FaultRule> rule_from_text(std::string_view text_form, std::string& error);
nlohmann::json rule_to_json(const FaultRule& rule);

class Faults {
 public:
  // "normal" clears every rule instead of adding one.
  void add(const FaultRule& rule);
  void clear();
  // The rule for this call, counted as used.
  std::optional<FaultRule> take(std::string_view call);
  nlohmann::json list();

 private:
  std::mutex mutex_;
  std::vector<FaultRule> rules_;
};

}  // namespace fvn::sim
