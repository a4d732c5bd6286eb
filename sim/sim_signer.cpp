#include "sim_signer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/valid.h>
#include <libxml/xmlschemas.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <xmlsec/crypto.h>
#include <xmlsec/templates.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmlsec.h>

namespace fvn::sim {

namespace {

const xmlChar* bx(const char* text) { return reinterpret_cast<const xmlChar*>(text); }
const char* cx(const xmlChar* text) { return reinterpret_cast<const char*>(text); }

std::string read_all(const std::filesystem::path& path) {
  std::string content;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return content;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, n);
  std::fclose(file);
  return content;
}

bool write_new_file(const std::filesystem::path& path, const std::string& content, mode_t mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n <= 0) {
      ::close(fd);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return ::close(fd) == 0;
}

std::string bio_text(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string{};
}

// Creates a self-signed test certificate; false with `error` on failure.
bool create_certificate(const std::filesystem::path& key_path, const std::filesystem::path& cert_path,
                        std::string& error) {
  EVP_PKEY* pkey = EVP_RSA_gen(2048);
  X509* cert = X509_new();
  BIO* key_bio = BIO_new(BIO_s_mem());
  BIO* cert_bio = BIO_new(BIO_s_mem());
  bool ok = pkey != nullptr && cert != nullptr && key_bio != nullptr && cert_bio != nullptr;
  if (ok) {
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), static_cast<long>(std::time(nullptr)));
    X509_gmtime_adj(X509_getm_notBefore(cert), -86400L);
    X509_gmtime_adj(X509_getm_notAfter(cert), 10L * 365 * 86400);
    X509_set_pubkey(cert, pkey);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "C", MBSTRING_ASC, bx("BR"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, bx("SIMULADOR"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, bx("SIMULADOR NFC-E - TESTE"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    ok = X509_sign(cert, pkey, EVP_sha256()) > 0 &&
         PEM_write_bio_PrivateKey(key_bio, pkey, nullptr, nullptr, 0, nullptr, nullptr) == 1 &&
         PEM_write_bio_X509(cert_bio, cert) == 1;
  }
  if (ok) {
    ok = write_new_file(key_path, bio_text(key_bio), 0600) && write_new_file(cert_path, bio_text(cert_bio), 0644);
  }
  if (!ok) error = "não foi possível criar o certificado de teste em " + key_path.parent_path().string();
  BIO_free(cert_bio);
  BIO_free(key_bio);
  X509_free(cert);
  EVP_PKEY_free(pkey);
  return ok;
}

std::string hex_of(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += kDigits[b >> 4U];
    out += kDigits[b & 0x0FU];
  }
  return out;
}

// Local name path of an element from the root ("NFe/infNFe/dest/CPF").
std::string node_path(xmlNodePtr node) {
  std::string path;
  for (xmlNodePtr n = node; n != nullptr && n->type == XML_ELEMENT_NODE; n = n->parent) {
    std::string name{cx(n->name)};
    if (!path.empty()) name.append("/").append(path);
    path = std::move(name);
  }
  return path;
}

struct SchemaErrors {
  std::string first;
};

void collect_schema_error(void* user, xmlErrorPtr error) {
  auto& errors = *static_cast<SchemaErrors*>(user);
  if (!errors.first.empty() || error == nullptr) return;
  std::string reason = error->message != nullptr ? error->message : "erro de schema";
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
  auto* node = static_cast<xmlNodePtr>(error->node);
  if (node == nullptr || node->type != XML_ELEMENT_NODE) {
    errors.first = "EXCEPTION: " + reason;
    return;
  }
  xmlChar* content = xmlNodeGetContent(node);
  std::string value = content != nullptr ? cx(content) : "";
  xmlFree(content);
  if (value.size() > 80) value = value.substr(0, 80) + "...";
  errors.first = "EXCEPTION: elemento '" + node_path(node) + "' com valor '" + value + "': " + reason;
}

// Removes the element children of `parent` named `name`.
void remove_children(xmlNodePtr parent, const char* name) {
  xmlNodePtr child = parent->children;
  while (child != nullptr) {
    xmlNodePtr next = child->next;
    if (child->type == XML_ELEMENT_NODE && xmlStrcmp(child->name, bx(name)) == 0) {
      xmlUnlinkNode(child);
      xmlFreeNode(child);
    }
    child = next;
  }
}

xmlNodePtr child_element(xmlNodePtr parent, const char* name) {
  if (parent == nullptr) return nullptr;
  for (xmlNodePtr child = parent->children; child != nullptr; child = child->next) {
    if (child->type == XML_ELEMENT_NODE && xmlStrcmp(child->name, bx(name)) == 0) return child;
  }
  return nullptr;
}

struct DocGuard {
  xmlDocPtr doc = nullptr;
  ~DocGuard() {
    if (doc != nullptr) xmlFreeDoc(doc);
  }
};

}  // namespace

XmlLibraries::XmlLibraries() {
  xmlInitParser();
  ready_ =
      xmlSecInit() >= 0 && xmlSecCheckVersion() == 1 && xmlSecCryptoAppInit(nullptr) >= 0 && xmlSecCryptoInit() >= 0;
}

XmlLibraries::~XmlLibraries() {
  xmlSecCryptoShutdown();
  xmlSecCryptoAppShutdown();
  xmlSecShutdown();
  xmlCleanupParser();
}

std::string sha1_hex(std::string_view text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(text.data(), text.size(), digest, &size, EVP_sha1(), nullptr);
  return hex_of(std::string_view{reinterpret_cast<const char*>(digest), size});
}

std::string qr_code_text(std::string_view key, const QrParameters& qr, std::string_view digest_value) {
  // cIdToken without its leading zeros ("000001" -> "1").
  std::string token = qr.token_id;
  token.erase(0, std::min(token.find_first_not_of('0'), token.size()));
  if (token.empty()) token = "0";
  std::string parameters = std::string{key} + "|2|" + std::to_string(qr.environment);
  if (qr.offline) parameters += "|" + qr.day + "|" + qr.total + "|" + hex_of(digest_value);
  parameters += "|" + token;
  return qr.address + "?p=" + parameters + "|" + sha1_hex(parameters + qr.csc);
}

std::unique_ptr<Signer> Signer::open(const std::string& folder, std::string& error) {
  const std::filesystem::path key_path = std::filesystem::path{folder} / "key.pem";
  const std::filesystem::path cert_path = std::filesystem::path{folder} / "cert.pem";
  std::error_code ec;
  if (!std::filesystem::exists(key_path, ec) || !std::filesystem::exists(cert_path, ec)) {
    if (!create_certificate(key_path, cert_path, error)) return nullptr;
  }
  const std::string key_pem = read_all(key_path);
  const std::string cert_pem = read_all(cert_path);
  xmlSecKeyPtr key = xmlSecCryptoAppKeyLoadMemory(reinterpret_cast<const xmlSecByte*>(key_pem.data()),
                                                  static_cast<xmlSecSize>(key_pem.size()), xmlSecKeyDataFormatPem,
                                                  nullptr, nullptr, nullptr);
  if (key == nullptr ||
      xmlSecCryptoAppKeyCertLoadMemory(key, reinterpret_cast<const xmlSecByte*>(cert_pem.data()),
                                       static_cast<xmlSecSize>(cert_pem.size()), xmlSecKeyDataFormatPem) < 0) {
    if (key != nullptr) xmlSecKeyDestroy(key);
    error = "não foi possível carregar o certificado de teste de " + folder;
    return nullptr;
  }
  std::unique_ptr<Signer> signer{new Signer};
  signer->key_ = key;
  return signer;
}

Signer::~Signer() {
  if (key_ != nullptr) xmlSecKeyDestroy(static_cast<xmlSecKeyPtr>(key_));
}

std::optional<Signer::Signed> Signer::sign(std::string_view xml, std::string_view key, const QrParameters& qr,
                                           const SchemaValidator* validator, std::string& schema_error,
                                           std::string& error) const {
  DocGuard guard;
  guard.doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "nfe.xml", "UTF-8", XML_PARSE_NONET);
  xmlNodePtr root = guard.doc != nullptr ? xmlDocGetRootElement(guard.doc) : nullptr;
  xmlNodePtr inf = root != nullptr ? child_element(root, "infNFe") : nullptr;
  if (inf == nullptr) {
    error = "documento sem infNFe";
    return std::nullopt;
  }
  remove_children(root, "Signature");
  remove_children(root, "infNFeSupl");
  xmlAttrPtr id = xmlHasProp(inf, bx("Id"));
  if (id == nullptr) {
    error = "infNFe sem Id";
    return std::nullopt;
  }
  xmlChar* id_value = xmlNodeListGetString(guard.doc, id->children, 1);
  if (id_value == nullptr) {
    error = "infNFe com Id vazio";
    return std::nullopt;
  }
  xmlAddID(nullptr, guard.doc, id_value, id);
  const std::string reference = std::string{"#"} + cx(id_value);
  xmlFree(id_value);

  xmlNodePtr signature =
      xmlSecTmplSignatureCreate(guard.doc, xmlSecTransformInclC14NId, xmlSecTransformRsaSha1Id, nullptr);
  xmlAddChild(root, signature);
  xmlNodePtr ref =
      xmlSecTmplSignatureAddReference(signature, xmlSecTransformSha1Id, nullptr, bx(reference.c_str()), nullptr);
  xmlSecTmplReferenceAddTransform(ref, xmlSecTransformEnvelopedId);
  xmlSecTmplReferenceAddTransform(ref, xmlSecTransformInclC14NId);
  xmlNodePtr key_info = xmlSecTmplSignatureEnsureKeyInfo(signature, nullptr);
  xmlSecTmplX509DataAddCertificate(xmlSecTmplKeyInfoAddX509Data(key_info));

  xmlSecDSigCtxPtr context = xmlSecDSigCtxCreate(nullptr);
  context->signKey = xmlSecKeyDuplicate(static_cast<xmlSecKeyPtr>(key_));
  const int signed_ok = context->signKey != nullptr ? xmlSecDSigCtxSign(context, signature) : -1;
  xmlSecDSigCtxDestroy(context);
  if (signed_ok < 0) {
    error = "falha ao assinar o documento";
    return std::nullopt;
  }

  Signed result;
  xmlNodePtr signed_info = child_element(signature, "SignedInfo");
  xmlNodePtr digest =
      signed_info != nullptr ? child_element(child_element(signed_info, "Reference"), "DigestValue") : nullptr;
  if (digest != nullptr) {
    xmlChar* value = xmlNodeGetContent(digest);
    result.digest_value = cx(value);
    xmlFree(value);
  }
  result.qr_code = qr_code_text(key, qr, result.digest_value);
  result.url_chave = qr.address;
  xmlNodePtr supplement = xmlNewDocNode(guard.doc, root->ns, bx("infNFeSupl"), nullptr);
  xmlNewTextChild(supplement, root->ns, bx("qrCode"), bx(result.qr_code.c_str()));
  xmlNewTextChild(supplement, root->ns, bx("urlChave"), bx(result.url_chave.c_str()));
  xmlAddPrevSibling(signature, supplement);

  if (validator != nullptr) {
    if (auto failure = validator->validate(guard.doc)) {
      schema_error = std::move(*failure);
      return std::nullopt;
    }
  }
  xmlBufferPtr buffer = xmlBufferCreate();
  xmlNodeDump(buffer, guard.doc, root, 0, 0);
  result.nfe.assign(cx(xmlBufferContent(buffer)), static_cast<std::size_t>(xmlBufferLength(buffer)));
  xmlBufferFree(buffer);
  return result;
}

std::unique_ptr<SchemaValidator> SchemaValidator::open(const std::string& folder, std::string& error) {
  const std::string path = (std::filesystem::path{folder} / "nfe_v4.00.xsd").string();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    error = "schema não encontrado: " + path;
    return nullptr;
  }
  xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(path.c_str());
  xmlSchemaPtr schema = parser != nullptr ? xmlSchemaParse(parser) : nullptr;
  if (parser != nullptr) xmlSchemaFreeParserCtxt(parser);
  if (schema == nullptr) {
    error = "não foi possível compilar o schema " + path;
    return nullptr;
  }
  std::unique_ptr<SchemaValidator> validator{new SchemaValidator};
  validator->schema_ = schema;
  return validator;
}

SchemaValidator::~SchemaValidator() {
  if (schema_ != nullptr) xmlSchemaFree(static_cast<xmlSchemaPtr>(schema_));
}

std::optional<std::string> SchemaValidator::validate(void* document) const {
  xmlSchemaValidCtxtPtr context = xmlSchemaNewValidCtxt(static_cast<xmlSchemaPtr>(schema_));
  if (context == nullptr) return std::string{"EXCEPTION: validador de schema indisponível"};
  SchemaErrors errors;
  xmlSchemaSetValidStructuredErrors(context, collect_schema_error, &errors);
  const int result = xmlSchemaValidateDoc(context, static_cast<xmlDocPtr>(document));
  xmlSchemaFreeValidCtxt(context);
  if (result == 0) return std::nullopt;
  if (errors.first.empty()) errors.first = "EXCEPTION: documento não atende ao schema";
  return errors.first;
}

}  // namespace fvn::sim
