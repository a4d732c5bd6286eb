#include "app/words_command.h"

#include <optional>
#include <ostream>
#include <string>

#include "app/abnt_command.h"
#include "devices/valor_extenso.h"

namespace fvn::app {

Command words_command() {
  return {"words", "AMOUNT", "write AMOUNT (0 up to, not including, 10^15) in words, in Reais",
          [](Context& ctx, const std::vector<std::string>& args) {
            if (args.size() != 1) {
              ctx.err << "fvn: words takes one amount (for example: fvn words 1500.00)\n";
              return kExitUsage;
            }
            const std::optional<double> amount = parse_amount(args[0]);
            if (!amount) {
              ctx.err << "fvn: not an amount: " << args[0] << "\n";
              return kExitUsage;
            }
            const std::optional<std::string> words = devices::valor_extenso(*amount);
            if (!words) {
              ctx.err << "fvn: amount out of range (0 up to, not including, 10^15): " << args[0] << "\n";
              return kExitUsage;
            }
            ctx.out << *words << "\n";
            return kExitOk;
          }};
}

}  // namespace fvn::app
