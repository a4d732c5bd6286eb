// The simulator's reading of a sent note: any bytes as XML, then its checks
// (key, emitter, recipient, moment, totals). The check context is taken from
// the note itself (its CNPJ and emission moment), so a note that reads well
// goes on to the totals.
#include <cstddef>
#include <cstdint>
#include <string>

#include <pugixml.hpp>

#include "sim_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pugi::xml_document document;
  if (!document.load_buffer(data, size)) return 0;
  const pugi::xml_node inf = document.document_element().child("infNFe");
  fvn::sim::CheckContext context;
  context.cnpj = inf.child("emit").child("CNPJ").text().as_string();
  context.now = fvn::sim::parse_moment(inf.child("ide").child("dhEmi").text().as_string()).value_or(0);
  fvn::sim::NoteFacts facts;
  (void)fvn::sim::examine(document, context, facts);
  (void)fvn::sim::format_moment(context.now, -180);
  return 0;
}
