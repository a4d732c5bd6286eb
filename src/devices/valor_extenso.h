// The amount of an installment in Portuguese words, in the currency Real,
// for the forms that print it ("Um Mil e Quinhentos Reais").
//
// The words come from fixed tables, capitalised and without accents
// ("Tres", "Cincoenta", "Milhao"). The text keeps the forms' historic
// spacing: the forms for one ("um Real", "um centavo", "Um Milhao", "um
// Bilhao", "um Trilhao") carry one extra leading blank, so 1.00 is " um
// Real" and 2.01 is "Dois Reais e  um centavo"; an amount of cents alone
// keeps its own leading blank (" Cincoenta Centavos de Reais").
#pragma once

#include <optional>
#include <string>

namespace fvn::devices {

// One group of three digits (0..999) in words, each word preceded by one
// blank: 150 -> " Cento e Cincoenta", 100 -> " cem", 0 -> "". A value
// outside 0..999 gives "".
std::string grupo_extenso(int value);

// The amount, rounded half away from zero to cents, in words. Integer groups
// up to the trillions are written, so the amount must be below 10^15;
// std::nullopt for a negative amount, NaN, an infinity or 10^15 and above.
std::optional<std::string> valor_extenso(double amount);

}  // namespace fvn::devices
