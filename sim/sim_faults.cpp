#include "sim_faults.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace fvn::sim {

namespace {

constexpr std::array<std::pair<Mode, std::string_view>, 12> kModes = {{
    {Mode::Normal, "normal"},
    {Mode::Contingency, "contingency"},
    {Mode::Renumber, "renumber"},
    {Mode::Pending, "pending"},
    {Mode::Reject, "reject"},
    {Mode::Slow, "slow"},
    {Mode::Drop, "drop"},
    {Mode::Lost, "lost"},
    {Mode::Malformed, "malformed"},
    {Mode::Http500, "http500"},
    {Mode::Down, "down"},
    {Mode::Fields, "fields"},
}};

// Modes that only mean something for an authorisation (reject also for a
// cancellation).
bool applies(const FaultRule& rule, std::string_view call) {
  if (rule.call != "all" && rule.call != call) return false;
  switch (rule.mode) {
    case Mode::Contingency:
    case Mode::Renumber:
    case Mode::Pending: return call == "autorizar";
    case Mode::Reject: return call == "autorizar" || call == "cancelar";
    default: return true;
  }
}

bool known_call(std::string_view call) {
  return call == "all" || std::find(std::begin(kCalls), std::end(kCalls), call) != std::end(kCalls);
}

std::optional<int> to_int(std::string_view text) {
  int value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<Mode> mode_from_name(std::string_view name) {
  for (const auto& [mode, text] : kModes) {
    if (text == name) return mode;
  }
  return std::nullopt;
}

std::string_view mode_name(Mode mode) {
  for (const auto& [candidate, text] : kModes) {
    if (candidate == mode) return text;
  }
  return "normal";
}

std::optional<FaultRule> rule_from_json(const nlohmann::json& value, std::string& error) {
  if (!value.is_object() || !value.contains("mode") || !value["mode"].is_string()) {
    error = "a regra precisa de \"mode\"";
    return std::nullopt;
  }
  const auto mode = mode_from_name(value["mode"].get<std::string>());
  if (!mode) {
    error = "modo desconhecido: " + value["mode"].get<std::string>();
    return std::nullopt;
  }
  FaultRule rule;
  rule.mode = *mode;
  rule.call = value.value("call", std::string{"all"});
  rule.count = value.value("count", 0);
  rule.cstat = value.value("cstat", 0);
  rule.delay_ms = value.value("delay_ms", 0);
  rule.after = value.value("after", 1);
  rule.resolve = value.value("resolve", std::string{"OK"});
  if (value.contains("fields")) rule.fields = value["fields"];
  if (!known_call(rule.call)) {
    error = "chamada desconhecida: " + rule.call;
    return std::nullopt;
  }
  if (rule.count < 0 || rule.delay_ms < 0 || rule.after < 0 || (rule.resolve != "OK" && rule.resolve != "ERRO") ||
      !rule.fields.is_object()) {
    error = "valores inválidos na regra";
    return std::nullopt;
  }
  if (rule.mode == Mode::Reject && rule.cstat <= 0) {
    error = "reject precisa de cstat";
    return std::nullopt;
  }
  return rule;
}

std::optional<FaultRule> rule_from_text(std::string_view text_form, std::string& error) {
  nlohmann::json value = nlohmann::json::object();
  std::size_t begin = 0;
  bool first = true;
  while (begin <= text_form.size()) {
    const std::size_t end = std::min(text_form.find(',', begin), text_form.size());
    const std::string_view part = text_form.substr(begin, end - begin);
    if (first) {
      value["mode"] = std::string{part};
      first = false;
    } else {
      const auto eq = part.find('=');
      if (eq == std::string_view::npos) {
        error = "esperado chave=valor em " + std::string{part};
        return std::nullopt;
      }
      const std::string key{part.substr(0, eq)};
      const std::string_view text = part.substr(eq + 1);
      if (key == "call" || key == "resolve") {
        value[key] = std::string{text};
      } else if (const auto number = to_int(text)) {
        value[key] = *number;
      } else {
        error = "valor inválido em " + std::string{part};
        return std::nullopt;
      }
    }
    begin = end + 1;
  }
  return rule_from_json(value, error);
}

nlohmann::json rule_to_json(const FaultRule& rule) {
  return {{"mode", mode_name(rule.mode)}, {"call", rule.call},   {"count", rule.count},     {"cstat", rule.cstat},
          {"delay_ms", rule.delay_ms},    {"after", rule.after}, {"resolve", rule.resolve}, {"fields", rule.fields}};
}

void Faults::add(const FaultRule& rule) {
  const std::lock_guard lock(mutex_);
  if (rule.mode == Mode::Normal) {
    rules_.clear();
    return;
  }
  rules_.push_back(rule);
}

void Faults::clear() {
  const std::lock_guard lock(mutex_);
  rules_.clear();
}

std::optional<FaultRule> Faults::take(std::string_view call) {
  const std::lock_guard lock(mutex_);
  for (auto it = rules_.begin(); it != rules_.end(); ++it) {
    if (!applies(*it, call)) continue;
    FaultRule rule = *it;
    if (it->count > 0 && --it->count == 0) rules_.erase(it);
    return rule;
  }
  return std::nullopt;
}

nlohmann::json Faults::list() {
  const std::lock_guard lock(mutex_);
  nlohmann::json rules = nlohmann::json::array();
  for (const FaultRule& rule : rules_) rules.push_back(rule_to_json(rule));
  return rules;
}

}  // namespace fvn::sim
