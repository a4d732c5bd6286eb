// The runtime's error codes and their Portuguese texts, the standard button
// captions and the month names, plus the last runtime error of the thread.
//
// Every failure of a runtime service (files, ordered lists, INI, expression
// evaluation) sets the last runtime error; messages that quote "the runtime
// message" take `last_runtime_message()`. The state is per thread, as the
// module keeps its module-wide objects per thread.
#pragma once

#include <array>
#include <string_view>

namespace fvn {

// Runtime error codes that the module's own services set.
namespace rt {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kInsufficientMemory = 8;
inline constexpr int kEntryNotFound = 30;
inline constexpr int kFileLocked = 32;
inline constexpr int kEndOfFile = 33;
inline constexpr int kRecordNotFound = 35;
inline constexpr int kFileNotOpen = 37;
inline constexpr int kDuplicateKey = 40;
inline constexpr int kInvalidFileName = 45;
inline constexpr int kFileAlreadyOpen = 52;
inline constexpr int kUnknownError = 81;
inline constexpr int kFileDriverError = 90;
inline constexpr int kIllegalExpression = 800;
inline constexpr int kVariableNotFound = 801;
}  // namespace rt

// Text of a runtime error code; "Erro desconhecido" for a code outside the
// table and an empty text for 0 (no error).
std::string_view runtime_message(int code);

// Last runtime error of this thread (0 when none).
int last_runtime_error();
std::string_view last_runtime_message();
void set_runtime_error(int code);
void clear_runtime_error();

// Runtime code for an errno value of a failed file operation.
int runtime_code_from_errno(int err);

// Standard button captions, in the runtime's order: Ok, Yes, No, Abort,
// Ignore, Retry (shown as "Voltar"), Cancel, Help.
inline constexpr std::string_view kButtonCaptions = "&Ok,&Sim,&Nao,&Abortar,&Ignorar,&Voltar,&Cancelar,&Ajuda";

inline constexpr std::array<std::string_view, 12> kMonthNames = {"Janeiro",  "Fevereiro", "Marco",    "Abril",
                                                                 "Maio",     "Junho",     "Julho",    "Agosto",
                                                                 "Setembro", "Outubro",   "Novembro", "Dezembro"};

inline constexpr std::array<std::string_view, 12> kMonthAbbreviations = {"Jan", "Fev", "Mar", "Abr", "Mai", "Jun",
                                                                         "Jul", "Ago", "Set", "Out", "Nov", "Dez"};

}  // namespace fvn
