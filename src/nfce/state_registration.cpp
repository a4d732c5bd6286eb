#include "nfce/state_registration.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>

#include "runtime/text.h"

namespace fvn {

namespace {

int digit(std::string_view s, std::size_t i) { return s[i] - '0'; }

using text::all_digits;

// The first `count` digits as a number (count <= 9).
long number(std::string_view s, std::size_t count) {
  long value = 0;
  for (std::size_t i = 0; i < count; ++i) value = value * 10 + digit(s, i);
  return value;
}

// Sum of the leading digits of `s`, each times its weight, weights from the left.
int weighted(std::string_view s, std::initializer_list<int> weights) {
  int sum = 0;
  std::size_t i = 0;
  for (const int weight : weights) sum += digit(s, i++) * weight;
  return sum;
}

// Sum of the first `count` digits with the weights top, top - 1, ... from the left.
int descending(std::string_view s, std::size_t count, int top) {
  int sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += digit(s, i) * (top - static_cast<int>(i));
  return sum;
}

// The usual modulo-11 check digit: 11 minus the remainder, 0 when the
// remainder is 0 or 1 (that is, when 11 minus it would be 11 or 10).
int mod11(int sum) {
  const int remainder = sum % 11;
  return remainder < 2 ? 0 : 11 - remainder;
}

// Modulo 11 of ten times the sum; a result of 10 gives 0 (AL, RN).
int mod11_times_ten(int sum) {
  const int value = sum * 10 % 11;
  return value == 10 ? 0 : value;
}

// 11 minus the remainder, less 10 when that reaches 10 or 11 (RO, PE's older form).
int mod11_minus_ten(int sum) {
  const int value = 11 - sum % 11;
  return value >= 10 ? value - 10 : value;
}

bool last_is(std::string_view s, int expected) { return digit(s, s.size() - 1) == expected; }

bool nine_digits_mod11(std::string_view s) { return s.size() == 9 && last_is(s, mod11(descending(s, 8, 9))); }

// 13 digits, two modulo-11 digits: weights 4,3,2,9..2 over 11 digits, then
// 5,4,3,2,9..2 over 12 (AC, DF).
bool thirteen_digits_two_checks(std::string_view s) {
  return s.size() == 13 && digit(s, 11) == mod11(weighted(s, {4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2})) &&
         digit(s, 12) == mod11(weighted(s, {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2}));
}

// AC: 13 digits starting with 01 (the state's code), two modulo-11 digits.
bool acre(std::string_view s) { return s.starts_with("01") && thirteen_digits_two_checks(s); }

// AL: 9 digits starting with 24; digit = 10 x sum(weights 9..2) mod 11, 10 gives 0.
bool alagoas(std::string_view s) {
  return s.size() == 9 && s.starts_with("24") && last_is(s, mod11_times_ten(descending(s, 8, 9)));
}

// AP: 9 digits starting with 03. The first 8 digits select p and d:
// 03000001-03017000 p = 5, d = 0; 03017001-03019022 p = 9, d = 1; above, 0
// and 0. Digit = 11 - (p + sum(weights 9..2)) mod 11; 10 gives 0, 11 gives d.
bool amapa(std::string_view s) {
  if (s.size() != 9 || !s.starts_with("03")) return false;
  const long base = number(s, 8);
  int p = 0;
  int d = 0;
  if (base >= 3000001 && base <= 3017000) {
    p = 5;
  } else if (base >= 3017001 && base <= 3019022) {
    p = 9;
    d = 1;
  }
  const int value = 11 - (p + descending(s, 8, 9)) % 11;
  return last_is(s, value == 10 ? 0 : value == 11 ? d : value);
}

// AM: 9 digits; with the sum of weights 9..2 below 11 the digit is 11 - sum,
// otherwise the usual modulo-11 digit.
bool amazonas(std::string_view s) {
  if (s.size() != 9) return false;
  const int sum = descending(s, 8, 9);
  return last_is(s, sum < 11 ? 11 - sum : mod11(sum));
}

// BA: 8 or 9 digits ending in two check digits, the last one computed first
// (weights 7..2, or 8..2 for 9 digits), then the other over the same digits
// plus the last one (weights 8..2, or 9..2). The modulus is 11 when the first
// digit (the second for 9 digits) is 6, 7 or 9, otherwise 10. Modulo 10:
// 10 - remainder, 0 for remainder 0; modulo 11: the usual digit.
bool bahia(std::string_view s) {
  if (s.size() != 8 && s.size() != 9) return false;
  const std::size_t body = s.size() - 2;
  const int selector = digit(s, s.size() == 8 ? 0 : 1);
  const bool eleven = selector == 6 || selector == 7 || selector == 9;
  const auto check = [eleven](int sum) {
    if (eleven) return mod11(sum);
    const int remainder = sum % 10;
    return remainder == 0 ? 0 : 10 - remainder;
  };
  const int top = static_cast<int>(body) + 1;
  const int second = check(descending(s, body, top));
  const int first = check(descending(s, body, top + 1) + 2 * second);
  return digit(s, body) == first && last_is(s, second);
}

// CE: 9 digits, usual modulo-11 digit with weights 9..2.
bool ceara(std::string_view s) { return nine_digits_mod11(s); }

// DF: 13 digits, two modulo-11 digits as AC. The leading 07 of the older
// registrations ran out and newer ones go on with 08, so the prefix is not
// part of the rule.
bool distrito_federal(std::string_view s) { return thirteen_digits_two_checks(s); }

// ES: 9 digits, usual modulo-11 digit with weights 9..2.
bool espirito_santo(std::string_view s) { return nine_digits_mod11(s); }

// GO: 9 digits starting with 10, 11, 15 or 20-29, the series the state
// publishes (15 is as valid as the others; it was refused before). Remainder
// of sum(weights 9..2) by 11: 0 gives 0; 1 gives 1 for 10103105-10119997 and
// 0 elsewhere; otherwise 11 - remainder. The single registration 11094402
// takes 0 or 1.
bool goias(std::string_view s) {
  if (s.size() != 9) return false;
  const long prefix = number(s, 2);
  if (prefix != 10 && prefix != 11 && prefix != 15 && (prefix < 20 || prefix > 29)) return false;
  const long base = number(s, 8);
  if (base == 11094402) return s[8] == '0' || s[8] == '1';
  const int remainder = descending(s, 8, 9) % 11;
  int expected = 11 - remainder;
  if (remainder == 0) expected = 0;
  if (remainder == 1) expected = base >= 10103105 && base <= 10119997 ? 1 : 0;
  return last_is(s, expected);
}

// MA: 9 digits starting with 12, usual modulo-11 digit with weights 9..2.
bool maranhao(std::string_view s) { return s.starts_with("12") && nine_digits_mod11(s); }

// MT: 11 digits, shorter registrations (9 or 10 digits) completed with zeros
// on the left; usual modulo-11 digit with weights 3,2,9..2.
bool mato_grosso(std::string_view s) {
  if (s.size() < 9 || s.size() > 11) return false;
  const std::string full = std::string(11 - s.size(), '0') + std::string{s};
  return last_is(full, mod11(weighted(full, {3, 2, 9, 8, 7, 6, 5, 4, 3, 2})));
}

// MS: 9 digits starting with 28 (the state's original series) or 50 (the
// series it opened after it); no other prefix is issued. Usual modulo-11
// digit with weights 9..2 (remainder 0 gives 0; 11 - remainder above 9 gives 0).
bool mato_grosso_do_sul(std::string_view s) {
  return nine_digits_mod11(s) && (number(s, 2) == 28 || number(s, 2) == 50);
}

// MG: 13 digits (municipality 3, sequence 6, order 2, two check digits).
// First digit: a 0 inserted after the municipality code, weights 1,2,1,2...
// from the left, the digits of the products added; the check digit brings the
// sum to the next multiple of 10. Second: usual modulo-11 digit over the
// first 12 digits with weights 3,2,11..2.
bool minas_gerais(std::string_view s) {
  if (s.size() != 13) return false;
  const std::string spread = std::string{s.substr(0, 3)} + "0" + std::string{s.substr(3, 8)};
  int sum = 0;
  for (std::size_t i = 0; i < spread.size(); ++i) {
    const int product = digit(spread, i) * (i % 2 == 0 ? 1 : 2);
    sum += product / 10 + product % 10;
  }
  const int first = (10 - sum % 10) % 10;
  return digit(s, 11) == first && digit(s, 12) == mod11(weighted(s, {3, 2, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
}

// PA: 9 digits starting with 15 (the original series) or 75 to 79 (the newer
// series the state issues); no other prefix. Usual modulo-11 digit with
// weights 9..2.
bool para(std::string_view s) {
  if (!nine_digits_mod11(s)) return false;
  const long prefix = number(s, 2);
  return prefix == 15 || (prefix >= 75 && prefix <= 79);
}

// PB: 9 digits, usual modulo-11 digit with weights 9..2.
bool paraiba(std::string_view s) { return nine_digits_mod11(s); }

// PR: 10 digits, two modulo-11 digits: weights 3,2,7..2 over 8 digits, then
// 4,3,2,7..2 over 9.
bool parana(std::string_view s) {
  return s.size() == 10 && digit(s, 8) == mod11(weighted(s, {3, 2, 7, 6, 5, 4, 3, 2})) &&
         digit(s, 9) == mod11(weighted(s, {4, 3, 2, 7, 6, 5, 4, 3, 2}));
}

// PE: the current 9-digit form has two modulo-11 digits (weights 8..2 over 7
// digits, then 9..2 over 8); the older 14-digit form has one, 11 - remainder
// of weights 5,4,3,2,1,9..2, less 10 when above 9.
bool pernambuco(std::string_view s) {
  if (s.size() == 9) {
    return digit(s, 7) == mod11(descending(s, 7, 8)) && digit(s, 8) == mod11(descending(s, 8, 9));
  }
  return s.size() == 14 && last_is(s, mod11_minus_ten(weighted(s, {5, 4, 3, 2, 1, 9, 8, 7, 6, 5, 4, 3, 2})));
}

// PI: 9 digits, usual modulo-11 digit with weights 9..2.
bool piaui(std::string_view s) { return nine_digits_mod11(s); }

// RJ: 8 digits, usual modulo-11 digit with weights 2,7..2.
bool rio_de_janeiro(std::string_view s) {
  return s.size() == 8 && last_is(s, mod11(weighted(s, {2, 7, 6, 5, 4, 3, 2})));
}

// RN: 9 or 10 digits starting with 20; digit = 10 x sum mod 11 (weights 9..2,
// or 10..2 for 10 digits), 10 gives 0.
bool rio_grande_do_norte(std::string_view s) {
  if ((s.size() != 9 && s.size() != 10) || !s.starts_with("20")) return false;
  const std::size_t body = s.size() - 1;
  return last_is(s, mod11_times_ten(descending(s, body, static_cast<int>(body) + 1)));
}

// RS: 10 digits, usual modulo-11 digit with weights 2,9..2.
bool rio_grande_do_sul(std::string_view s) {
  return s.size() == 10 && last_is(s, mod11(weighted(s, {2, 9, 8, 7, 6, 5, 4, 3, 2})));
}

// RO: the current form has 14 digits, weights 6..2,9..2 over 13; the older
// 9-digit form (municipality 3, company 5, digit) weighs only the company
// number, 6..2. Digit = 11 - remainder, less 10 when that reaches 10 or 11.
bool rondonia(std::string_view s) {
  if (s.size() == 14) return last_is(s, mod11_minus_ten(weighted(s, {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2})));
  return s.size() == 9 && last_is(s, mod11_minus_ten(weighted(s.substr(3), {6, 5, 4, 3, 2})));
}

// RR: 9 digits starting with 24; digit = sum(weights 1..8) mod 9.
bool roraima(std::string_view s) {
  return s.size() == 9 && s.starts_with("24") && last_is(s, weighted(s, {1, 2, 3, 4, 5, 6, 7, 8}) % 9);
}

// SC: 9 digits, usual modulo-11 digit with weights 9..2.
bool santa_catarina(std::string_view s) { return nine_digits_mod11(s); }

// SP check digit: sum mod 11, its rightmost digit (10 gives 0).
int sp_check(int sum) { return sum % 11 % 10; }

// SP, industry and commerce: 12 digits; the 9th is the check digit of the
// first 8 (weights 1,3,4,5,6,7,8,10), the 12th of the first 11 (weights
// 3,2,10..2).
bool sao_paulo(std::string_view s) {
  return s.size() == 12 && digit(s, 8) == sp_check(weighted(s, {1, 3, 4, 5, 6, 7, 8, 10})) &&
         digit(s, 11) == sp_check(weighted(s, {3, 2, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
}

// SP, rural producer: "P" and 12 digits; the 9th digit is the check digit of
// the first 8, as for industry and commerce.
bool sao_paulo_rural(std::string_view s) {
  return s.size() == 12 && digit(s, 8) == sp_check(weighted(s, {1, 3, 4, 5, 6, 7, 8, 10}));
}

// SE: 9 digits, usual modulo-11 digit with weights 9..2.
bool sergipe(std::string_view s) { return nine_digits_mod11(s); }

// TO: the current form has 9 digits, usual modulo-11 digit with weights 9..2.
// The older 11-digit form has the company type in digits 3-4 (01, 02, 03 or
// 99), left out of the same computation over the other 8 digits.
bool tocantins(std::string_view s) {
  if (s.size() == 9) return nine_digits_mod11(s);
  if (s.size() != 11) return false;
  const std::string_view type = s.substr(2, 2);
  if (type != "01" && type != "02" && type != "03" && type != "99") return false;
  const std::string body = std::string{s.substr(0, 2)} + std::string{s.substr(4, 6)};
  return last_is(s, mod11(descending(body, 8, 9)));
}

struct StateRule {
  std::string_view uf;
  bool (*valid)(std::string_view digits);
};

constexpr std::array<StateRule, 27> kRules = {{
    {"AC", acre},        {"AL", alagoas},   {"AM", amazonas},          {"AP", amapa},
    {"BA", bahia},       {"CE", ceara},     {"DF", distrito_federal},  {"ES", espirito_santo},
    {"GO", goias},       {"MA", maranhao},  {"MG", minas_gerais},      {"MS", mato_grosso_do_sul},
    {"MT", mato_grosso}, {"PA", para},      {"PB", paraiba},           {"PE", pernambuco},
    {"PI", piaui},       {"PR", parana},    {"RJ", rio_de_janeiro},    {"RN", rio_grande_do_norte},
    {"RO", rondonia},    {"RR", roraima},   {"RS", rio_grande_do_sul}, {"SC", santa_catarina},
    {"SE", sergipe},     {"SP", sao_paulo}, {"TO", tocantins},
}};

}  // namespace

int ConsisteInscricaoEstadual(std::string_view registration, std::string_view uf) {
  const auto rule = std::find_if(kRules.begin(), kRules.end(), [uf](const StateRule& r) { return r.uf == uf; });
  if (rule == kRules.end()) return kIeUnknownUf;
  bool (*valid)(std::string_view) = rule->valid;
  if (uf == "SP" && registration.starts_with('P')) {
    registration.remove_prefix(1);
    valid = sao_paulo_rural;
  }
  return all_digits(registration) && valid(registration) ? 0 : kIeInvalid;
}

int ConsisteInscricaoEstadual(const char* registration, const char* uf) {
  if (registration == nullptr || uf == nullptr) return kIeInvalid;
  return ConsisteInscricaoEstadual(std::string_view{registration}, std::string_view{uf});
}

}  // namespace fvn
