#include "app/abnt_command.h"

#include <charconv>
#include <ostream>
#include <string>

#include "runtime/picture.h"
#include "runtime/text.h"
#include "sale/sale_formatter.h"

namespace fvn::app {

namespace {
constexpr std::string_view kAmountPicture = "@n-_40.2";
}  // namespace

std::optional<double> parse_amount(std::string_view text) {
  std::string number{text};
  bool separator = false;
  for (std::size_t i = 0; i < number.size(); ++i) {
    char& c = number[i];
    if ((c == '-' || c == '+') && i == 0) continue;
    if ((c == '.' || c == ',') && !separator) {
      separator = true;
      c = '.';
      continue;
    }
    if (!text::is_digit(c)) return std::nullopt;
  }
  const std::size_t start = !number.empty() && (number[0] == '+' || number[0] == '-') ? 1 : 0;
  const std::string_view digits = std::string_view{number}.substr(start);
  if (digits.empty() || digits == "." || digits.front() == '.' || digits.back() == '.') return std::nullopt;
  if (number[0] == '+') number.erase(0, 1);
  double value = 0;
  const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc{} || ptr != number.data() + number.size()) return std::nullopt;
  return value;
}

Command abnt_command() {
  return {"abnt", "AMOUNT", "round AMOUNT to two decimals by the ABNT rule used for approximate taxes",
          [](Context& ctx, const std::vector<std::string>& args) {
            if (args.size() != 1) {
              ctx.err << "fvn: abnt takes one amount (for example: fvn abnt 2.345)\n";
              return kExitUsage;
            }
            const std::optional<double> amount = parse_amount(args[0]);
            if (!amount) {
              ctx.err << "fvn: not an amount: " << args[0] << "\n";
              return kExitUsage;
            }
            // The result already has two decimals; the picture (minus in
            // front, no grouping, "." for decimals) writes both of them.
            const double rounded = sale::SaleFormatter::Arredonda_ABNT(*amount);
            ctx.out << text::trim(format_picture(rounded, kAmountPicture)) << "\n";
            return kExitOk;
          }};
}

}  // namespace fvn::app
