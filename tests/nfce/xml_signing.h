// Test-only signing and schema validation of invoice documents: a throw-away
// RSA key and self-signed certificate made with openssl in a temporary
// folder, an enveloped signature of infNFe made with xmlsec, and validation
// against the official schema with libxml2.
#pragma once

#include <string>
#include <vector>

namespace fvn::testing {

// The folder of the official schemas, or empty when it is not beside the
// source tree (the tests that need it say so and are skipped).
std::string schema_folder();

// Signs `xml` (an NFe document): `signed_xml` receives the document with its
// ds:Signature. False with `error` set when the key cannot be made or the
// document cannot be signed.
bool sign_nfe(const std::string& xml, std::string& signed_xml, std::string& error);

// The schema's complaints about `xml` (empty when it is valid), validated
// against nfe_v4.00.xsd of `folder`.
std::vector<std::string> schema_errors(const std::string& folder, const std::string& xml);

}  // namespace fvn::testing
