// The simulator's reference tables: the authority's status codes it answers
// with and their official messages, the IBGE codes of the UFs and the
// address where a consumer looks an NFC-e up by its key, per environment
// (1 production, 2 homologation) and UF.
#pragma once

#include <string>
#include <string_view>

namespace fvn::sim {

namespace cstat {
inline constexpr int kAuthorised = 100;
inline constexpr int kServiceRunning = 107;
inline constexpr int kEventRegistered = 135;
inline constexpr int kDuplicate = 204;
inline constexpr int kEmitterCnpjInvalid = 207;
inline constexpr int kRecipientCnpjInvalid = 208;
inline constexpr int kCertificateCnpjDiffers = 213;
inline constexpr int kNotFound = 217;
inline constexpr int kSchema = 225;
inline constexpr int kUfDiffers = 226;
inline constexpr int kKeyCheckDigit = 236;
inline constexpr int kRecipientCpfInvalid = 237;
inline constexpr int kMalformed = 243;
inline constexpr int kEnvironmentDiffers = 252;
inline constexpr int kKeyMismatch = 502;
inline constexpr int kIcmsBase = 531;
inline constexpr int kIcms = 532;
inline constexpr int kStBase = 533;
inline constexpr int kSt = 534;
inline constexpr int kFreight = 535;
inline constexpr int kInsurance = 536;
inline constexpr int kDiscount = 537;
inline constexpr int kIpi = 538;
inline constexpr int kDuplicateOtherKey = 539;
inline constexpr int kProducts = 564;
inline constexpr int kEventNeedsAuthorised = 580;
inline constexpr int kIi = 601;
inline constexpr int kPis = 602;
inline constexpr int kCofins = 603;
inline constexpr int kOther = 604;
inline constexpr int kTotal = 610;
inline constexpr int kIssuedInFuture = 703;
inline constexpr int kIssuedLate = 704;
inline constexpr int kModelNot65 = 775;
inline constexpr int kUncatalogued = 999;
}  // namespace cstat

// The official message of a status code, or empty for a code the simulator
// does not know.
std::string_view cstat_message(int code);

// "225 - Rejeição: Falha no Schema XML do lote de NFe" (+ " - " + detail).
std::string cstat_text(int code, std::string_view detail = {});

// The UF of an IBGE UF code ("31" -> "MG"), or empty.
std::string_view uf_of_code(int code);

// The consumer's consultation address of the UF for the environment, always
// with its scheme ("https://" added when the table has none); empty for an
// unknown UF.
std::string consultation_address(int environment, int uf_code);

}  // namespace fvn::sim
