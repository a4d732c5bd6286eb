#include "app/self_check.h"

#include <filesystem>
#include <ostream>
#include <string>

#include "runtime/clock.h"
#include "runtime/picture.h"
#include "runtime/rounding.h"

namespace fvn::app {

namespace {

struct Check {
  std::string what;
  std::string got;
  std::string expected;
};

}  // namespace

int self_check(Context& ctx) {
  const Check checks[] = {
      {"round_to(1.005, 2)", decimal_text(round_to(1.005, 2)), "1.01"},
      {"int_part(10.00 * 33.33)", decimal_text(int_part(10.00 * 33.33)), "333"},
      {"round_abnt(2.335)", decimal_text(round_abnt(2.335)), "2.34"},
      {"format 1234.5 n10.2", format_picture(1234.5, "@n10.2"), "  1,234.50"},
      {"format 1234.5 n12`2", format_picture(1234.5, "@n12`2"), "    1.234,50"},
      {"format day 4 d06", format_picture(kFirstDate, "@d06"), "01/01/1801"},
      {"format day 2994626 D012", format_picture(kLastDate, "@D012"), "99991231"},
      {"format time 8640000 t04", format_picture(kLastTime, "@t04"), "23:59:59"},
  };
  int failures = 0;
  for (const Check& check : checks) {
    const bool ok = check.got == check.expected;
    if (!ok) ++failures;
    ctx.out << (ok ? "ok    " : "FAIL  ") << check.what << " = \"" << check.got << "\"";
    if (!ok) ctx.out << " (expected \"" << check.expected << "\")";
    ctx.out << "\n";
  }
  std::error_code ec;
  const bool exists = std::filesystem::exists(ctx.source.path, ec);
  ctx.out << "today " << format_picture(today(), "@d06") << " " << format_picture(clock_now(), "@t04") << "\n"
          << "configuration " << ctx.source.path << (exists ? "" : " (not found: defaults in use)") << "\n";
  for (const std::string& section : ctx.config.sections()) {
    ctx.out << "  [" << section << "] " << ctx.config.keys(section).size() << " keys\n";
  }
  ctx.out << (failures == 0 ? "OK" : "FAILED") << "\n";
  return failures == 0 ? kExitOk : kExitFailure;
}

}  // namespace fvn::app

namespace fvn::app {

Command self_check_command() {
  return {"self-check", "", "check the runtime (dates, pictures, rounding) and show the configuration in use",
          [](Context& ctx, const std::vector<std::string>& args) {
            if (!args.empty()) {
              ctx.err << "fvn: self-check takes no arguments\n";
              return kExitUsage;
            }
            return self_check(ctx);
          }};
}

}  // namespace fvn::app
