// Test-only signing and schema validation of invoice documents: a throw-away
// RSA key and self-signed certificate made with openssl in a temporary
// folder, an enveloped signature of infNFe made with xmlsec, and validation
// against the official schema with libxml2.
#pragma once

#include <string>
#include <vector>

#include "support/schema_folder.h"

namespace fvn::testing {

// Signs `xml` (an NFe document): `signed_xml` receives the document with its
// ds:Signature. False with `error` set when the key cannot be made or the
// document cannot be signed.
bool sign_nfe(const std::string& xml, std::string& signed_xml, std::string& error);

// The schema's complaints about `xml` (empty when it is valid), validated
// against nfe_v4.00.xsd of `folder`, and the totals pre-check's
// (Valida_Totais), since a note is sent only when both agree.
std::vector<std::string> schema_errors(const std::string& folder, const std::string& xml);

}  // namespace fvn::testing
