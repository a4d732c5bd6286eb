// The sale as the fvn commands print it, as JSON: every record (items,
// totals, party groups, payments, installments) under its members' own
// names, in declaration order, numbers with at most 15 significant digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "runtime/decimal.h"
#include "sale/classe_venda.h"

namespace fvn::app {

using Json = nlohmann::ordered_json;
using Cores = decltype(sale::QUEUE_ITEM::CORES);

// A number as the report prints it: at most 15 significant digits (the
// runtime's decimal text of the value); null for a value that is not a number.
Json number(double x);

template <typename Record>
Json to_json(const Record& record);

// Writes a record's members, in declaration order, under their names.
class Writer {
 public:
  explicit Writer(Json& out) : out_(out) {}

  void operator()(std::string_view name, const std::int32_t& field) { out_[std::string{name}] = field; }
  void operator()(std::string_view name, const double& field) { out_[std::string{name}] = number(field); }
  void operator()(std::string_view name, const std::string& field, std::size_t) { out_[std::string{name}] = field; }
  template <int Digits, int Places>
  void operator()(std::string_view name, const Dec<Digits, Places>& field) {
    out_[std::string{name}] = number(field.value());
  }
  void operator()(std::string_view name, const Cores& cores) {
    Json colours = Json::object();
    for (std::size_t i = 0; i < cores.size(); ++i) {
      colours[std::string{sale::kCamposExibidos[i]}] = {cores[i].COR_1, cores[i].COR_2, cores[i].COR_3, cores[i].COR_4};
    }
    out_[std::string{name}] = colours;
  }
  template <typename Group>
  void operator()(std::string_view name, const Group& group) {
    out_[std::string{name}] = to_json(group);
  }

 private:
  Json& out_;
};

template <typename Record>
Json to_json(const Record& record) {
  Json out = Json::object();
  Writer writer(out);
  Record::fields(record, writer);
  return out;
}

// Adds the sale to `report`: "items" (every record), "totals", "venda" (the
// sale-level values), "pagamento" (the payment ledger), "prestacao" (the
// installment plan), "condicoes" and "partes".
void add_sale_report(Json& report, const sale::CLASSE_VENDA& venda);

}  // namespace fvn::app
