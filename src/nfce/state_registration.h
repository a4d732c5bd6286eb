// State registration (inscrição estadual, IE) check: the check-digit rules
// that each of the 27 state tax authorities publishes for its registrations.
//
// The call and result are those of the state-registration library that the
// module was written against: the registration and the UF in, 0 when the
// registration is valid for that state, any other value when it is not.
// Self-contained: no tables, no files, no state.
#pragma once

#include <string_view>

namespace fvn {

// Results other than 0 (valid).
inline constexpr int kIeInvalid = 1;    // wrong length, prefix or check digit
inline constexpr int kIeUnknownUf = 2;  // the UF is not one of the 27

// `registration` holds the digits only, except that a São Paulo rural
// producer's registration keeps its leading "P" ("P011004243002"). `uf` is the
// two-letter code in upper case ("SP"). Anything else is invalid.
int ConsisteInscricaoEstadual(std::string_view registration, std::string_view uf);

// The library's C form: two terminated texts; a null pointer is invalid.
int ConsisteInscricaoEstadual(const char* registration, const char* uf);

}  // namespace fvn
