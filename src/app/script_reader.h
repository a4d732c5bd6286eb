// The reader of the sale scripts of `fvn simulate` and `fvn sell`: the
// value readers, and the step tables that drive the reading of a step. A
// table row names a step kind, the members it takes and how each is read,
// and what the step does; one loop (`read_step`) reads any step from it, so
// an unknown member, a value of the wrong kind or a missing member is
// refused the same way for every kind.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/sale_report.h"
#include "runtime/clock.h"

namespace fvn::app {

// The readers of script values: each returns the value or throws
// ScriptError naming `where` and what was expected.
struct ScriptError : std::runtime_error {
  // The control characters of names taken from the script are written as
  // "\u0000" escapes: a NUL would end the message where it stands.
  explicit ScriptError(const std::string& message);
};
std::int32_t as_int(const Json& value, const std::string& where);
double as_double(const Json& value, const std::string& where);
std::string as_text(const Json& value, const std::string& where);
// "YYYY-MM-DD", "today" or the runtime's day number.
Date as_date(const Json& value, const std::string& where);
bool as_flag(const Json& value, const std::string& where);

// Refuses `object` when it is not an object or holds a member neither in
// `allowed` nor `selector`: "<where>.<member><refusal>".
void check_members(const Json& object, const std::vector<std::string_view>& allowed, const std::string& where,
                   std::string_view refusal, std::string_view selector = {});

// A member of a step, read by `Read`. A required member left out is
// refused; an optional one reads as std::nullopt.
template <typename T, T (*Read)(const Json&, const std::string&), bool Required = true>
struct Member {
  std::string_view name;

  auto read(const Json& step, const std::string& where) const {
    const std::string at = where + "." + std::string{name};
    const auto found = step.find(name);
    if constexpr (Required) {
      if (found == step.end()) throw ScriptError(where + ": member \"" + std::string{name} + "\" is missing");
      return Read(*found, at);
    } else {
      return found == step.end() ? std::optional<T>{} : std::optional<T>{Read(*found, at)};
    }
  }
};

inline Member<double, as_double> amount(std::string_view name) { return {name}; }
inline Member<std::int32_t, as_int> whole(std::string_view name) { return {name}; }
inline Member<Date, as_date> date(std::string_view name) { return {name}; }
inline Member<std::string, as_text> text(std::string_view name) { return {name}; }
inline Member<std::int32_t, as_int, false> maybe_whole(std::string_view name) { return {name}; }
inline Member<bool, as_flag, false> flag(std::string_view name) { return {name}; }

// One kind of step: its name, the members it takes and the reader that
// turns a step into what runs it (`Run`).
template <typename Run>
struct StepKind {
  std::string_view name;
  std::vector<std::string_view> members;
  std::function<Run(const Json& step, const std::string& where)> read;
};

// A step kind whose members are read in the order given and handed to
// `bind`, which makes the `Run`.
template <typename Run, typename Bind, typename... Members>
StepKind<Run> step_kind(std::string_view name, Bind bind, Members... members) {
  return {name, {members.name...}, [bind, members...](const Json& step, const std::string& where) {
            // A braced list is evaluated left to right: the members are read,
            // and refused, in the order of the table.
            return std::apply(bind, std::tuple{members.read(step, where)...});
          }};
}

// How a script names its step kinds and refuses what it does not know.
struct StepGrammar {
  std::string_view selector;  // the member that names the kind: "op"
  std::string_view noun;      // "operation": unknown operation "X"
  std::string_view refusal;   // after "<where>.<member>" of a member the kind does not take
};

// Reads one step of `table`; its kind's name goes to `name`.
template <typename Run>
Run read_step(const std::vector<StepKind<Run>>& table, const StepGrammar& grammar, const Json& step,
              const std::string& where, std::string& name) {
  if (!step.is_object()) throw ScriptError(where + ": an object is expected");
  name = text(grammar.selector).read(step, where);
  for (const StepKind<Run>& kind : table) {
    if (kind.name != name) continue;
    check_members(step, kind.members, where, grammar.refusal, grammar.selector);
    return kind.read(step, where);
  }
  throw ScriptError(where + "." + std::string{grammar.selector} + ": unknown " + std::string{grammar.noun} + " \"" +
                    name + "\"");
}

}  // namespace fvn::app
