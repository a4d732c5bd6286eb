// The ICMS tax situation codes the calculator knows, and the sets of them
// that choose a CFOP or call for the poverty fund on substitution. Codes are
// compared as text, trailing blanks ignored.
#pragma once

#include <array>
#include <string_view>

namespace fvn::tax {

// CST of the regular regime.
inline constexpr std::array<std::string_view, 11> kCsts = {"00", "10", "20", "30", "40", "41",
                                                           "50", "51", "60", "70", "90"};
// CSOSN of the Simples Nacional regime.
inline constexpr std::array<std::string_view, 10> kCsosns = {"101", "102", "103", "201", "202",
                                                             "203", "300", "400", "500", "900"};

// The text without leading and trailing blanks, as a view (the calculator
// compares codes and states for every item on every recomputation, so it
// does not copy them).
inline std::string_view sem_brancos(std::string_view t) {
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  return t;
}

namespace detail {
template <std::size_t N>
bool um_de(std::string_view codigo, const std::array<std::string_view, N>& lista) {
  const std::string_view c = sem_brancos(codigo);
  for (const std::string_view x : lista) {
    if (c == x) return true;
  }
  return false;
}
}  // namespace detail

inline bool cst_valido(std::string_view cst) { return detail::um_de(cst, kCsts); }
inline bool csosn_valido(std::string_view csosn) { return detail::um_de(csosn, kCsosns); }

// Codes that take the operation's ST CFOPs.
inline bool cst_substituicao_cfop(std::string_view cst) {
  return detail::um_de(cst, std::array<std::string_view, 4>{"90", "70", "60", "10"});
}
inline bool csosn_substituicao_cfop(std::string_view csosn) {
  return detail::um_de(csosn, std::array<std::string_view, 4>{"900", "500", "202", "201"});
}

// Codes whose ST carries the poverty fund (FCP-ST).
inline bool cst_com_fcp_st(std::string_view cst) {
  return detail::um_de(cst, std::array<std::string_view, 4>{"10", "30", "70", "90"});
}
inline bool csosn_com_fcp_st(std::string_view csosn) {
  return detail::um_de(csosn, std::array<std::string_view, 3>{"201", "202", "900"});
}

}  // namespace fvn::tax
