// The 27 federative units (states and the federal district) by their
// two-letter codes, as companies and customers carry them.
#pragma once

#include <array>
#include <string_view>

namespace fvn::tax {

inline constexpr std::array<std::string_view, 27> kUfs = {"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO",
                                                          "MA", "MG", "MS", "MT", "PA", "PB", "PE", "PI", "PR",
                                                          "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};

// True for one of the 27 codes, written exactly (upper case, no blanks).
bool uf_valida(std::string_view uf);

}  // namespace fvn::tax
