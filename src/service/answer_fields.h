// Reading the service's answers. Every answer of the NFC-e service is a JSON
// object whose members are the named fields ("numero", "statusAutorizacao",
// "exMessage", ...). A failure that never reached the service (no
// connection, time-out, HTTP error, an answer that is not JSON) is turned by
// the gateway into an answer of the same shape whose "exMessage" names the
// cause and contains "Exception", so callers judge every failure alike.
#pragma once

#include <string>
#include <string_view>

namespace fvn {

// The value of the member `field` of the answer, as text: a string as it is,
// a number as written, true/false as "true"/"false", null or a missing
// member as an empty text. An answer that is not a JSON object, or nests
// more than 64 levels deep, gives an empty text for every field.
std::string ObterValorCampo(std::string_view answer, std::string_view field);

// True when the answer is a JSON object that ObterValorCampo reads.
bool is_answer_object(std::string_view answer);

// The text with its HTML character references decoded: &amp; &lt; &gt;
// &quot; &apos; &nbsp; and numeric references (&#124; &#x7C;). A reference
// that is not recognised is kept as written.
std::string DecodificarHtml(std::string_view text);

// The answer the gateway gives for a failure of its own: a JSON object with
// "exMessage" = "Exception: " + cause.
std::string failure_answer(std::string_view cause);

// True when the answer carries a failure by the rule of the service calls
// without fields: the answer, trailing blanks removed, contains "Exception"
// (exact case).
bool is_exception_answer(std::string_view answer);

}  // namespace fvn
