#include "support/xml_signing.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>
#include <xmlsec/crypto.h>
#include <xmlsec/templates.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmlsec.h>
#include <xmlsec/xmltree.h>

#include "nfce/valida_totais.h"

namespace fvn::testing {

namespace {

const xmlChar* xml_text(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;

Doc parse(const std::string& xml) {
  return Doc{xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "nfe.xml", nullptr, XML_PARSE_NONET)};
}

// Removes a folder when the test program ends.
struct RemovedAtExit {
  explicit RemovedAtExit(std::filesystem::path f) : folder(std::move(f)) {}
  RemovedAtExit(const RemovedAtExit&) = delete;
  RemovedAtExit& operator=(const RemovedAtExit&) = delete;
  ~RemovedAtExit() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::filesystem::path folder;
};

// The key and certificate, made once per test program in a folder of its
// own that goes away with the program.
struct Keys {
  bool ready = false;
  std::string error;
  std::string key;
  std::string cert;
};

const Keys& keys() {
  static const Keys made = [] {
    Keys k;
    const auto folder = std::filesystem::temp_directory_path() / ("fvn-sign-" + std::to_string(::getpid()));
    static const RemovedAtExit removal{folder};
    std::filesystem::create_directories(folder);
    k.key = (folder / "key.pem").string();
    k.cert = (folder / "cert.pem").string();
    const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=NFCE-TESTE -keyout '" +
                                k.key + "' -out '" + k.cert + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
      k.error = "openssl could not make the test certificate";
      return k;
    }
    xmlInitParser();
    if (xmlSecInit() < 0 || xmlSecCryptoAppInit(nullptr) < 0 || xmlSecCryptoInit() < 0) {
      k.error = "xmlsec could not be initialised";
      return k;
    }
    k.ready = true;
    return k;
  }();
  return made;
}

xmlNode* child_element(xmlNode* parent, const char* name) {
  for (xmlNode* node = parent->children; node != nullptr; node = node->next) {
    if (node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, xml_text(name)) == 0) return node;
  }
  return nullptr;
}

void collect(void* context, xmlError* error) {
  auto* errors = static_cast<std::vector<std::string>*>(context);
  std::string message = error->message != nullptr ? error->message : "?";
  while (!message.empty() && message.back() == '\n') message.pop_back();
  errors->push_back("line " + std::to_string(error->line) + ": " + message);
}

}  // namespace

bool sign_nfe(const std::string& xml, std::string& signed_xml, std::string& error) {
  const Keys& k = keys();
  if (!k.ready) {
    error = k.error;
    return false;
  }
  Doc doc = parse(xml);
  if (!doc) {
    error = "the document is not well-formed XML";
    return false;
  }
  xmlNode* root = xmlDocGetRootElement(doc.get());
  xmlNode* inf = root == nullptr ? nullptr : child_element(root, "infNFe");
  xmlAttr* id = inf == nullptr ? nullptr : xmlHasProp(inf, xml_text("Id"));
  if (id == nullptr) {
    error = "no infNFe with an Id";
    return false;
  }
  xmlChar* id_value = xmlNodeListGetString(doc.get(), id->children, 1);
  xmlAddID(nullptr, doc.get(), id_value, id);
  const std::string uri = "#" + std::string{reinterpret_cast<const char*>(id_value)};
  xmlFree(id_value);

  xmlNode* signature =
      xmlSecTmplSignatureCreate(doc.get(), xmlSecTransformInclC14NId, xmlSecTransformRsaSha1Id, nullptr);
  xmlAddChild(root, signature);
  xmlNode* reference =
      xmlSecTmplSignatureAddReference(signature, xmlSecTransformSha1Id, nullptr, xml_text(uri.c_str()), nullptr);
  xmlSecTmplReferenceAddTransform(reference, xmlSecTransformEnvelopedId);
  xmlSecTmplReferenceAddTransform(reference, xmlSecTransformInclC14NId);
  xmlNode* key_info = xmlSecTmplSignatureEnsureKeyInfo(signature, nullptr);
  xmlSecTmplX509DataAddCertificate(xmlSecTmplKeyInfoAddX509Data(key_info));

  xmlSecDSigCtx* context = xmlSecDSigCtxCreate(nullptr);
  context->signKey = xmlSecCryptoAppKeyLoad(k.key.c_str(), xmlSecKeyDataFormatPem, nullptr, nullptr, nullptr);
  const bool signed_ok = context->signKey != nullptr &&
                         xmlSecCryptoAppKeyCertLoad(context->signKey, k.cert.c_str(), xmlSecKeyDataFormatPem) >= 0 &&
                         xmlSecDSigCtxSign(context, signature) >= 0;
  xmlSecDSigCtxDestroy(context);
  if (!signed_ok) {
    error = "xmlsec could not sign the document";
    return false;
  }
  xmlChar* out = nullptr;
  int size = 0;
  xmlDocDumpMemoryEnc(doc.get(), &out, &size, "UTF-8");
  signed_xml.assign(reinterpret_cast<const char*>(out), static_cast<std::size_t>(size));
  xmlFree(out);
  return true;
}

std::vector<std::string> schema_errors(const std::string& folder, const std::string& xml) {
  struct Schema {
    xmlSchema* schema = nullptr;
    std::string path;
  };
  static Schema cached;
  const std::string path = folder + "/nfe_v4.00.xsd";
  if (cached.schema == nullptr || cached.path != path) {
    xmlSchemaParserCtxt* parser = xmlSchemaNewParserCtxt(path.c_str());
    cached.schema = xmlSchemaParse(parser);
    cached.path = path;
    xmlSchemaFreeParserCtxt(parser);
    if (cached.schema == nullptr) return {"the schema " + path + " could not be read"};
  }
  std::vector<std::string> errors;
  Doc doc = parse(xml);
  if (!doc) return {"the document is not well-formed XML"};
  xmlSchemaValidCtxt* validator = xmlSchemaNewValidCtxt(cached.schema);
  xmlSchemaSetValidStructuredErrors(validator, collect, &errors);
  const int result = xmlSchemaValidateDoc(validator, doc.get());
  xmlSchemaFreeValidCtxt(validator);
  if (result != 0 && errors.empty()) errors.emplace_back("invalid (code " + std::to_string(result) + ")");
  if (const Resultado_Totais totais = Valida_Totais(xml); !totais.ok) errors.push_back("totals: " + totais.mensagem);
  return errors;
}

}  // namespace fvn::testing
