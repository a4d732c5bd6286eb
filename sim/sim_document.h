// The checks the simulator runs on an NFC-e before it authorises it, the way
// the authority does: the access key (44 digits, check digit, agreement with
// the fields it is built from), the model, the environment, the emitter
// CNPJ, the recipient's CPF or CNPJ, the emission moment and the totals of
// ICMSTot against the sum of the items.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace fvn::sim {

inline constexpr std::string_view kNfeNamespace = "http://www.portalfiscal.inf.br/nfe";

// What the simulator keeps of an accepted note.
struct NoteFacts {
  std::string key;  // 44 digits
  int uf_code = 0;
  std::string cnpj;  // emitter
  int model = 0;
  int series = 0;
  std::int64_t number = 0;
  int emission_type = 0;
  int environment = 0;
  std::string emitted;          // dhEmi as written
  std::int64_t emitted_at = 0;  // seconds since 1970-01-01 UTC
  std::string total;            // vNF as written
};

struct CheckContext {
  std::string cnpj;  // the company CNPJ the call was made for
  int environment = 2;
  std::int64_t now = 0;  // seconds since 1970-01-01 UTC
  std::int64_t max_future_seconds = 300;
  std::int64_t max_age_seconds = 300;
};

// A refusal: the authority's status code and a detail naming the value.
struct Rejection {
  int cstat = 0;
  std::string detail;
};

// Reads the facts of the note and checks it; std::nullopt when it passes.
std::optional<Rejection> examine(const pugi::xml_document& document, const CheckContext& context, NoteFacts& facts);

// The check digit of the first 43 digits of an access key (modulus 11,
// weights 2 to 9 from the right; 0 when the result is 10 or 11).
int key_check_digit(std::string_view first43);

// Seconds since 1970-01-01 UTC of an xs:dateTime with a zone
// ("2026-05-04T10:00:00-03:00"); std::nullopt when it does not read.
std::optional<std::int64_t> parse_moment(std::string_view text);

// The moment as "2026-05-04T10:00:00-03:00" in the zone `offset_minutes`.
std::string format_moment(std::int64_t seconds, int offset_minutes);

// True when the digits (already 11 or 14) carry valid CPF / CNPJ check digits.
bool valid_cpf(std::string_view digits);
bool valid_cnpj(std::string_view digits);

}  // namespace fvn::sim
