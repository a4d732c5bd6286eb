// The helpers the sale object reaches through its formatter member
// (CLASSE_FORMATA): the two-decimal ABNT rounding, the digits of a code, and
// the private working copy of the IBPT table.
//
// The working copy: "ibpt.csv" of the working folder is copied once per
// process to "ibpt_<n>.csv" (n drawn from 1 to 10,000) and the sale reads the
// copy, so that stations sharing the folder never hold "ibpt.csv" itself
// open. The copy's name is module-wide; every later sale of the process
// reuses it. The copy is created exclusively, so two stations that draw the
// same number never write into each other's copy, and the number of draws is
// bounded, so a folder where nothing can be written fails with a message
// instead of retrying for ever.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "runtime/error_triple.h"
#include "sale/ibpt_table.h"

namespace fvn::sale {

inline constexpr std::string_view kArquivoIbpt = "ibpt.csv";
inline constexpr int kTentativasCopiaIbpt = 20;

class SaleFormatter {
 public:
  // The amount rounded to two decimals by the ABNT digit rule: the third
  // decimal decides, a 5 rounds up when the second decimal is odd or more
  // digits follow it (2.345 -> 2.34, 2.335 -> 2.34, 2.3451 -> 2.35).
  static double Arredonda_ABNT(double valor);

  // The decimal digits of a text, in order ("8471.30.12" -> "84713012").
  static std::string Somente_Numeros(std::string_view texto);

  // Makes sure the working copy of the IBPT table exists (see above): 1 when
  // the sale may use it; 0 with `venda`'s error set (function "Vende_Item")
  // when "ibpt.csv" is missing or no copy could be written.
  int Prepara_Tabela_IBPT(ErrorTriple& venda);

  // Full path of the working copy, empty when none was made in this process
  // (or it was made in another working folder).
  [[nodiscard]] static std::string caminho_copia_ibpt();

  // Removes the working copy made by this process, if any.
  static void remove_copia_ibpt();

  // Removes the working copies of the working folder whose owner process is
  // gone (killed mid-sale, the machine switched off): the owner holds a lock
  // on its copy while it lives. Returns how many were removed. Run at
  // start-up.
  static int remove_copias_abandonadas();

  // The draw of copy numbers (1 to 10,000). Tests replace it to make names
  // collide; an empty function restores the random draw.
  static void set_sorteio(std::function<int()> sorteio);

  // The working copy, once opened by the sale.
  IbptTable TABELA_IBPT;
};

}  // namespace fvn::sale
