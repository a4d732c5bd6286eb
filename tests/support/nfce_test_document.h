// Small, correct NFC-e 4.00 documents for the tests of the service client
// and the simulator (the module's own invoice writer comes later): an
// emitter under Simples Nacional (CSOSN 102, PIS/COFINS 07), items with
// quantity, price and discount, totals that add up, one cash payment.
// Fields can be changed before building to produce faulty documents.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fvn::testing {

struct TestItem {
  std::string code = "1";
  std::string description = "CAFE TORRADO 500G";
  std::int64_t quantity = 1;
  std::int64_t unit_cents = 1790;
  std::int64_t discount_cents = 0;
};

struct TestNote {
  std::string cnpj = "11222333000181";
  int uf_code = 31;
  int model = 65;
  int series = 1;
  std::int64_t number = 1;
  int emission_type = 1;
  int environment = 2;
  std::string cnf = "12345678";
  std::int64_t emitted_at = 0;  // seconds since 1970 UTC; 0 = now
  std::string recipient_cpf;
  std::string recipient_cnpj;
  std::string neighbourhood = "CENTRO";
  std::vector<TestItem> items = {TestItem{}};
  // Overrides of ICMSTot members ("vNF" -> "1.00") and of the key.
  std::vector<std::pair<std::string, std::string>> total_overrides;
  std::optional<std::string> key_override;

  [[nodiscard]] std::string dh_emi() const;
  // The access key the fields give (with its check digit).
  [[nodiscard]] std::string key() const;
  // The whole document.
  [[nodiscard]] std::string xml() const;
};

// A note of `items` items with distinct codes and prices.
TestNote note_with_items(int items, std::int64_t number);

// Seconds since 1970 UTC, now.
std::int64_t now_seconds();

}  // namespace fvn::testing
