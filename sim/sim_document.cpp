#include "sim_document.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "nfce/validador_fiscal.h"
#include "runtime/host_ui.h"
#include "runtime/text.h"
#include "sim_tables.h"

namespace fvn::sim {

namespace {

// The field validator shows messages about missing code tables; the
// simulator uses only its CPF and CNPJ checks and shows nothing.
class QuietUi final : public HostUi {
 public:
  using HostUi::message;
  int message(const MessageRequest& request) override { return request.default_button; }
};

VALIDADOR_FISCAL& validator() {
  thread_local QuietUi ui;
  thread_local VALIDADOR_FISCAL instance(ui);
  return instance;
}

using text::all_digits;

std::string child_text(pugi::xml_node node, const char* name) { return node.child(name).text().as_string(); }

// Zero-filled decimal digits of `value` in `width` positions ("31", 2).
std::string padded(std::string_view value, std::size_t width) {
  if (value.size() >= width) return std::string{value};
  return std::string(width - value.size(), '0') + std::string{value};
}

// A decimal amount in ten-thousandths, from text with at most 4 decimals;
// std::nullopt too for an amount beyond the 64-bit range.
std::optional<std::int64_t> amount(std::string_view text) {
  if (text.empty()) return 0;
  std::int64_t units = 0;
  std::size_t decimals = 0;
  bool point = false;
  for (const char c : text) {
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9' || (point && decimals == 4)) return std::nullopt;
    if (__builtin_mul_overflow(units, 10, &units) || __builtin_add_overflow(units, c - '0', &units)) {
      return std::nullopt;
    }
    if (point) ++decimals;
  }
  for (; decimals < 4; ++decimals) {
    if (__builtin_mul_overflow(units, 10, &units)) return std::nullopt;
  }
  return units;
}

std::string amount_text(std::int64_t units) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%lld.%02lld", static_cast<long long>(units / 10000),
                static_cast<long long>((units % 10000) / 100));
  return buffer;
}

// The amount named `name` in `node`, or 0 when absent; `ok` turns false when
// a present amount does not read.
std::int64_t read_amount(pugi::xml_node node, const char* name, bool& ok) {
  const auto value = amount(node.child(name).text().as_string());
  if (!value) {
    ok = false;
    return 0;
  }
  return *value;
}

// Adds `value` to `sum`; `ok` turns false when the sum leaves the 64-bit range.
void add(std::int64_t& sum, std::int64_t value, bool& ok) {
  if (__builtin_add_overflow(sum, value, &sum)) ok = false;
}

// Adds the amount `name` of `node` (see read_amount) to `sum`.
void add_amount(std::int64_t& sum, pugi::xml_node node, const char* name, bool& ok) {
  add(sum, read_amount(node, name, ok), ok);
}

// The first child element of `node` (the CST group inside ICMS, PIS, ...).
pugi::xml_node group_of(pugi::xml_node node) { return node.first_child(); }

struct Sums {
  std::int64_t vBC = 0, vICMS = 0, vICMSDeson = 0, vBCST = 0, vST = 0, vFCPST = 0, vProd = 0, vFrete = 0, vSeg = 0,
               vDesc = 0, vII = 0, vIPI = 0, vIPIDevol = 0, vPIS = 0, vCOFINS = 0, vOutro = 0;
};

std::optional<Rejection> check_totals(pugi::xml_node inf) {
  Sums sums;
  bool ok = true;
  for (pugi::xml_node det = inf.child("det"); det; det = det.next_sibling("det")) {
    const pugi::xml_node prod = det.child("prod");
    const pugi::xml_node tax = det.child("imposto");
    // A service item (ISSQN group) counts in ISSQNtot/vServ, not in vProd.
    if (std::string_view{prod.child("indTot").text().as_string("1")} == "1" && !tax.child("ISSQN")) {
      add_amount(sums.vProd, prod, "vProd", ok);
    }
    add_amount(sums.vDesc, prod, "vDesc", ok);
    add_amount(sums.vFrete, prod, "vFrete", ok);
    add_amount(sums.vSeg, prod, "vSeg", ok);
    add_amount(sums.vOutro, prod, "vOutro", ok);
    const pugi::xml_node icms = group_of(tax.child("ICMS"));
    add_amount(sums.vBC, icms, "vBC", ok);
    add_amount(sums.vICMS, icms, "vICMS", ok);
    add_amount(sums.vICMSDeson, icms, "vICMSDeson", ok);
    add_amount(sums.vBCST, icms, "vBCST", ok);
    add_amount(sums.vST, icms, "vICMSST", ok);
    add_amount(sums.vFCPST, icms, "vFCPST", ok);
    add_amount(sums.vIPI, tax.child("IPI").child("IPITrib"), "vIPI", ok);
    add_amount(sums.vII, tax.child("II"), "vII", ok);
    add_amount(sums.vIPIDevol, det.child("impostoDevol").child("IPI"), "vIPIDevol", ok);
    if (!tax.child("ISSQN")) {
      add_amount(sums.vPIS, group_of(tax.child("PIS")), "vPIS", ok);
      add_amount(sums.vCOFINS, group_of(tax.child("COFINS")), "vCOFINS", ok);
    }
  }
  const pugi::xml_node total = inf.child("total").child("ICMSTot");
  struct Rule {
    const char* name;
    std::int64_t expected;
    int cstat;
  };
  const std::array<Rule, 13> rules = {{
      {"vBC", sums.vBC, cstat::kIcmsBase},
      {"vICMS", sums.vICMS, cstat::kIcms},
      {"vBCST", sums.vBCST, cstat::kStBase},
      {"vST", sums.vST, cstat::kSt},
      {"vProd", sums.vProd, cstat::kProducts},
      {"vFrete", sums.vFrete, cstat::kFreight},
      {"vSeg", sums.vSeg, cstat::kInsurance},
      {"vDesc", sums.vDesc, cstat::kDiscount},
      {"vII", sums.vII, cstat::kIi},
      {"vIPI", sums.vIPI, cstat::kIpi},
      {"vPIS", sums.vPIS, cstat::kPis},
      {"vCOFINS", sums.vCOFINS, cstat::kCofins},
      {"vOutro", sums.vOutro, cstat::kOther},
  }};
  for (const Rule& rule : rules) {
    const std::int64_t given = read_amount(total, rule.name, ok);
    if (ok && given != rule.expected) {
      return Rejection{rule.cstat, std::string{rule.name} + " informado " + amount_text(given) + ", soma dos itens " +
                                       amount_text(rule.expected)};
    }
  }
  const std::int64_t services = read_amount(inf.child("total").child("ISSQNtot"), "vServ", ok);
  // Every amount read is at least 0, so each can be negated.
  std::int64_t expected_total = 0;
  for (const std::int64_t part :
       {sums.vProd, -sums.vDesc, -read_amount(total, "vICMSDeson", ok), read_amount(total, "vST", ok),
        read_amount(total, "vFCPST", ok), sums.vFrete, sums.vSeg, sums.vOutro, sums.vII, sums.vIPI,
        read_amount(total, "vIPIDevol", ok), services}) {
    add(expected_total, part, ok);
  }
  const std::int64_t given_total = read_amount(total, "vNF", ok);
  if (!ok) return Rejection{cstat::kSchema, "valor com formato inválido nos itens ou no total"};
  if (given_total != expected_total) {
    return Rejection{cstat::kTotal,
                     "vNF informado " + amount_text(given_total) + ", calculado " + amount_text(expected_total)};
  }
  return std::nullopt;
}

std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? static_cast<unsigned>(-3) : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

int number_at(std::string_view text, std::size_t pos, std::size_t len) {
  int value = 0;
  const auto [ptr, ec] = std::from_chars(text.data() + pos, text.data() + pos + len, value);
  if (ec != std::errc{} || ptr != text.data() + pos + len) return -1;
  return value;
}

}  // namespace

int key_check_digit(std::string_view first43) {
  int sum = 0;
  int weight = 2;
  for (std::size_t i = first43.size(); i-- > 0;) {
    sum += (first43[i] - '0') * weight;
    weight = weight == 9 ? 2 : weight + 1;
  }
  const int digit = 11 - sum % 11;
  return digit >= 10 ? 0 : digit;
}

std::optional<std::int64_t> parse_moment(std::string_view text) {
  // YYYY-MM-DDThh:mm:ss±hh:mm
  if (text.size() != 25 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':' ||
      (text[19] != '-' && text[19] != '+') || text[22] != ':') {
    return std::nullopt;
  }
  const int year = number_at(text, 0, 4);
  const int month = number_at(text, 5, 2);
  const int day = number_at(text, 8, 2);
  const int hour = number_at(text, 11, 2);
  const int minute = number_at(text, 14, 2);
  const int second = number_at(text, 17, 2);
  const int zone_hours = number_at(text, 20, 2);
  const int zone_minutes = number_at(text, 23, 2);
  if (year < 1970 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59 || zone_hours < 0 || zone_hours > 14 || zone_minutes < 0 ||
      zone_minutes > 59) {
    return std::nullopt;
  }
  const std::int64_t offset =
      (std::int64_t{zone_hours} * 3600 + std::int64_t{zone_minutes} * 60) * (text[19] == '-' ? -1 : 1);
  return days_from_civil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
         std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 + second - offset;
}

std::string format_moment(std::int64_t seconds, int offset_minutes) {
  const std::int64_t local = seconds + std::int64_t{offset_minutes} * 60;
  std::int64_t days = local / 86400;
  std::int64_t rest = local % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // civil_from_days
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned day = doy - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
  const int zone = offset_minutes < 0 ? -offset_minutes : offset_minutes;
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02uT%02lld:%02lld:%02lld%c%02d:%02d", static_cast<long long>(year),
                month, day, static_cast<long long>(rest / 3600), static_cast<long long>(rest / 60 % 60),
                static_cast<long long>(rest % 60), offset_minutes < 0 ? '-' : '+', zone / 60, zone % 60);
  return buffer;
}

bool valid_cpf(std::string_view digits) { return validator().Valida_CPF(digits) == 1; }
bool valid_cnpj(std::string_view digits) { return validator().Valida_CNPJ(digits) == 1; }

std::optional<Rejection> examine(const pugi::xml_document& document, const CheckContext& context, NoteFacts& facts) {
  const pugi::xml_node nfe = document.document_element();
  const pugi::xml_node inf = nfe.child("infNFe");
  if (std::string_view{nfe.name()} != "NFe" || std::string_view{nfe.attribute("xmlns").value()} != kNfeNamespace ||
      !inf) {
    return Rejection{cstat::kSchema, "o documento não é uma NFe do leiaute 4.00"};
  }
  const std::string_view id = inf.attribute("Id").value();
  if (id.size() != 47 || !id.starts_with("NFe") || !all_digits(id.substr(3))) {
    return Rejection{cstat::kKeyMismatch, "Id " + std::string{id}};
  }
  facts.key = std::string{id.substr(3)};
  const std::string_view key = facts.key;
  if (key_check_digit(key.substr(0, 43)) != key[43] - '0') return Rejection{cstat::kKeyCheckDigit, facts.key};

  const pugi::xml_node ide = inf.child("ide");
  const pugi::xml_node emit = inf.child("emit");
  facts.uf_code = ide.child("cUF").text().as_int();
  facts.model = ide.child("mod").text().as_int();
  facts.series = ide.child("serie").text().as_int();
  facts.number = ide.child("nNF").text().as_llong();
  facts.emission_type = ide.child("tpEmis").text().as_int();
  facts.environment = ide.child("tpAmb").text().as_int();
  facts.emitted = child_text(ide, "dhEmi");
  facts.cnpj = child_text(emit, "CNPJ");
  facts.total = child_text(inf.child("total").child("ICMSTot"), "vNF");

  if (facts.model != 65) return Rejection{cstat::kModelNot65, "mod " + child_text(ide, "mod")};
  if (facts.environment != context.environment) {
    return Rejection{cstat::kEnvironmentDiffers, "tpAmb " + child_text(ide, "tpAmb")};
  }
  if (uf_of_code(facts.uf_code).empty()) return Rejection{cstat::kUfDiffers, "cUF " + child_text(ide, "cUF")};
  const auto emitted = parse_moment(facts.emitted);
  if (!emitted) return Rejection{cstat::kSchema, "dhEmi " + facts.emitted};
  facts.emitted_at = *emitted;

  // The key is cUF, AAMM of dhEmi, CNPJ, mod, serie, nNF, tpEmis, cNF and cDV.
  const std::string year_month = facts.emitted.substr(2, 2) + facts.emitted.substr(5, 2);
  const std::string expected = padded(child_text(ide, "cUF"), 2) + year_month + padded(facts.cnpj, 14) +
                               padded(child_text(ide, "mod"), 2) + padded(child_text(ide, "serie"), 3) +
                               padded(child_text(ide, "nNF"), 9) + child_text(ide, "tpEmis") +
                               padded(child_text(ide, "cNF"), 8) + child_text(ide, "cDV");
  if (expected != key) {
    return Rejection{cstat::kKeyMismatch, "chave " + facts.key + ", campos " + expected};
  }

  if (facts.cnpj.size() != 14 || !valid_cnpj(facts.cnpj)) return Rejection{cstat::kEmitterCnpjInvalid, facts.cnpj};
  if (facts.cnpj != context.cnpj) {
    return Rejection{cstat::kCertificateCnpjDiffers, "emitente " + facts.cnpj + ", login " + context.cnpj};
  }
  const pugi::xml_node dest = inf.child("dest");
  if (const pugi::xml_node cpf = dest.child("CPF")) {
    const std::string value = cpf.text().as_string();
    if (value.size() != 11 || !valid_cpf(value)) return Rejection{cstat::kRecipientCpfInvalid, value};
  }
  if (const pugi::xml_node cnpj = dest.child("CNPJ")) {
    const std::string value = cnpj.text().as_string();
    if (value.size() != 14 || !valid_cnpj(value)) return Rejection{cstat::kRecipientCnpjInvalid, value};
  }
  if (facts.emitted_at > context.now + context.max_future_seconds) {
    return Rejection{cstat::kIssuedInFuture, "dhEmi " + facts.emitted};
  }
  if (facts.emitted_at < context.now - context.max_age_seconds) {
    return Rejection{cstat::kIssuedLate, "dhEmi " + facts.emitted};
  }
  return check_totals(inf);
}

}  // namespace fvn::sim
