// Signing and schema validation of the simulator.
//
// The test certificate (RSA 2048, self-signed, "CN=SIMULADOR NFC-E - TESTE")
// is created in the data folder at the first start (key.pem readable by
// its owner only, cert.pem) and loaded from there afterwards; nothing is
// taken from elsewhere. Documents are signed the way the NF-e layout asks:
// an enveloped XML-DSig signature of infNFe (RSA-SHA1, SHA-1 digest,
// inclusive C14N) with the certificate in KeyInfo.
//
// The schema validator compiles the official entry schema once; validation
// of a document is safe from several threads at once.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace fvn::sim {

// libxml2 and xmlsec set-up for the whole process; call once before any
// thread uses them, and keep the returned object alive while they are used.
class XmlLibraries {
 public:
  XmlLibraries();
  ~XmlLibraries();
  XmlLibraries(const XmlLibraries&) = delete;
  XmlLibraries& operator=(const XmlLibraries&) = delete;
  [[nodiscard]] bool ready() const { return ready_; }

 private:
  bool ready_ = false;
};

// What the QR code of a note is made of.
struct QrParameters {
  std::string address;  // the UF's consultation address
  int environment = 2;
  std::string token_id;  // CSC identifier, e.g. "000001"
  std::string csc;
  // For a note issued in contingency (tpEmis 9): day of dhEmi and vNF.
  bool offline = false;
  std::string day;
  std::string total;
};

// The QR-code text of the NFC-e v2 format: address + "?p=" + parameters +
// "|" + upper-case hex SHA-1 of the parameters followed by the CSC. Online:
// KEY|2|tpAmb|cIdToken; offline: KEY|2|tpAmb|day|vNF|hex(digVal)|cIdToken.
std::string qr_code_text(std::string_view key, const QrParameters& qr, std::string_view digest_value);

// Upper-case hex SHA-1 of the text.
std::string sha1_hex(std::string_view text);

class Signer {
 public:
  // Loads (or first creates) the test certificate in `folder`.
  static std::unique_ptr<Signer> open(const std::string& folder, std::string& error);
  ~Signer();
  Signer(const Signer&) = delete;
  Signer& operator=(const Signer&) = delete;

  struct Signed {
    std::string nfe;           // the signed NFe element with infNFeSupl, without declaration
    std::string digest_value;  // DigestValue of the signature (base64)
    std::string qr_code;
    std::string url_chave;
  };
  // Signs the NFe document `xml` (any earlier signature and infNFeSupl are
  // replaced), adds infNFeSupl with the QR code and, with a validator,
  // validates the result. On a schema failure `schema_error` holds the
  // message and the result is std::nullopt; other failures fill `error`.
  std::optional<Signed> sign(std::string_view xml, std::string_view key, const QrParameters& qr,
                             const class SchemaValidator* validator, std::string& schema_error,
                             std::string& error) const;

 private:
  Signer() = default;
  void* key_ = nullptr;  // xmlSecKeyPtr
};

class SchemaValidator {
 public:
  // Compiles `folder`/nfe_v4.00.xsd.
  static std::unique_ptr<SchemaValidator> open(const std::string& folder, std::string& error);
  ~SchemaValidator();
  SchemaValidator(const SchemaValidator&) = delete;
  SchemaValidator& operator=(const SchemaValidator&) = delete;

  // Validates a libxml2 document (xmlDocPtr); std::nullopt when valid, else
  // "EXCEPTION: elemento 'NFe/infNFe/dest/CPF' com valor '123': <reason>"
  // for the first error.
  [[nodiscard]] std::optional<std::string> validate(void* document) const;

 private:
  SchemaValidator() = default;
  void* schema_ = nullptr;  // xmlSchemaPtr
};

}  // namespace fvn::sim
