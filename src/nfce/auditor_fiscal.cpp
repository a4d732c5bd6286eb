#include "nfce/auditor_fiscal.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>

#include "nfce/nfe_ini_file.h"
#include "runtime/text.h"

namespace fvn {

namespace {

constexpr std::string_view kDescricao = "Audita_Descricao";
constexpr std::string_view kEmpresa = "Audita_Empresa";
constexpr std::string_view kEmissor = "Audita_Emissor";
constexpr std::string_view kCliente = "Audita_Cliente";
constexpr std::string_view kOperacao = "Audita_Operacao";
constexpr std::string_view kTransportadora = "Audita_Transportadora";
constexpr std::string_view kItem = "Audita_Item";

constexpr std::int32_t kEmissorNfce = 11;
constexpr std::string_view kConsumidor = "CONSUMIDOR";

// Texts are compared and tested for emptiness without their trailing blanks.
bool vazio(std::string_view texto) { return text::clip(texto).empty(); }

bool um_de(std::string_view valor, std::initializer_list<std::string_view> lista) {
  const std::string v = text::clip(valor);
  return std::find(lista.begin(), lista.end(), v) != lista.end();
}

bool consumidor(std::string_view nome) { return text::upper(text::clip(nome)) == kConsumidor; }

// A text read as a number, as the runtime compares a text field with a
// number: leading blanks skipped, the leading integer, 0 when there is none.
std::int64_t numero(std::string_view texto) {
  const std::string t = text::trim(texto);
  std::int64_t n = 0;
  std::from_chars(t.data(), t.data() + t.size(), n);
  return n;
}

constexpr std::string_view kCfopsValidas =
    "|CFOPs válidas: 5.101, 5.102, 5.103, 5.104, 5.115, 5.405, 5.656, 5.667 e 5.933.";

constexpr std::string_view kCsosnConsumo =
    "CSOSN de consumo inválida para nota fiscal ao consumidor.|CSOSNs válidas: 102, 103, 300, 400, 500 e 900.";
constexpr std::string_view kCsosnConsumoForaUf =
    "CSOSN de consumo fora UF inválida para nota fiscal ao consumidor.|CSOSNs válidas: 102, 103, 300, 400, 500 e 900";
constexpr std::string_view kCstConsumo =
    "CST ICMS consumo inválida para nota fiscal ao consumidor.|CSTs válidas: 00, 20, 40, 41, 60 e 90.";
constexpr std::string_view kCstConsumoForaUf =
    "CST ICMS consumo fora UF inválida para nota fiscal ao consumidor.|CSTs válidas: 00, 20, 40, 41, 60 e 90.";
// CST 50 and 51 (suspension, deferral) never go on a consumer invoice.
constexpr std::string_view kCstSuspensa = "CST ICMS consumo inválida para nota fiscal ao consumidor.";
constexpr std::string_view kCstSuspensaForaUf = "CST ICMS fora UF consumo inválida para nota fiscal ao consumidor.";

}  // namespace

AUDITOR_FISCAL::AUDITOR_FISCAL(HostUi& ui) : VALIDA(ui) {}

void AUDITOR_FISCAL::Nova_Venda() {
  EMPRESA = {};
  CLIENTE = {};
}

void AUDITOR_FISCAL::Esquece_Cliente() { CLIENTE = {}; }

int AUDITOR_FISCAL::recusa(std::string_view texto, std::int32_t codigo, std::string_view funcao) {
  return set_error(texto, codigo, funcao);
}

// The validator's message, unchanged, under the audit's code and name.
int AUDITOR_FISCAL::recusa_validador(std::int32_t codigo, std::string_view funcao) {
  return set_error(VALIDA.ERROR, codigo, funcao);
}

bool AUDITOR_FISCAL::descricao_invalida(std::string_view campo) {
  return !vazio(campo) && Audita_Descricao(campo) == 0;
}

int AUDITOR_FISCAL::Audita_Descricao(std::string_view texto) {
  if (texto.find('|') != std::string_view::npos) return recusa("Caracter especial pipe na descrição.", 41, kDescricao);
  if (texto.find("Ø") != std::string_view::npos) return recusa("Caracter especial Ø na descrição.", 42, kDescricao);
  return 1;
}

int AUDITOR_FISCAL::Audita_Empresa(const DADOS_EMPRESA& e) {
  const std::string razao = text::clip(e.RAZAO_SOCIAL);
  if (razao.empty() || (razao.size() == 1 && text::is_digit(razao[0]))) {
    return recusa("Razão social da empresa inválida ou não preenchida.", 9, kEmpresa);
  }
  if (descricao_invalida(e.RAZAO_SOCIAL)) return recusa("Razão social da empresa inválida.|" + ERROR, 44, kEmpresa);
  if (e.CODIGO < 1) return recusa("Código da empresa inválido.", 1, kEmpresa);
  // The company issues the invoice: its CNPJ is always required and checked.
  if (VALIDA.Valida_CNPJ(e.CNPJ) == 0) return recusa_validador(2, kEmpresa);
  if (!vazio(e.CNPJ) && !vazio(e.IE) && VALIDA.Valida_IE(e.IE, e.UF) == 0) return recusa_validador(4, kEmpresa);
  if (VALIDA.Valida_Municipio(std::to_string(e.MUNICIPIO)) == 0) return recusa_validador(5, kEmpresa);
  if (vazio(e.BAIRRO)) return recusa("Bairro da empresa não preenchido.", 6, kEmpresa);
  if (descricao_invalida(e.BAIRRO)) return recusa("Bairro da empresa inválido.|" + ERROR, 43, kEmpresa);
  if (vazio(e.UF)) return recusa("UF da empresa não preenchida.", 7, kEmpresa);
  if (vazio(e.CEP)) return recusa("CEP da empresa não preenchido.", 8, kEmpresa);
  if (vazio(e.ENDERECO)) return recusa("Endereço da empresa não preenchido.", 10, kEmpresa);
  if (descricao_invalida(e.ENDERECO)) return recusa("Endereço da empresa inválido.|" + ERROR, 45, kEmpresa);
  if (vazio(e.NUMERO)) return recusa("Número do logradouro da empresa não preenchido.", 11, kEmpresa);
  if (descricao_invalida(e.NUMERO)) return recusa("Número do logradouro da empresa inválido.|" + ERROR, 46, kEmpresa);
  if (vazio(e.NOME_MUNICIPIO)) return recusa("Município da empresa não preenchido.", 12, kEmpresa);
  if (descricao_invalida(e.NOME_MUNICIPIO)) return recusa("Município da empresa inválido.|" + ERROR, 57, kEmpresa);
  if (descricao_invalida(e.MENSAGEM_IMPRESSAO_VENDA)) {
    return recusa("Descrição da mensagem da venda inválida.|" + ERROR, 48, kEmpresa);
  }
  EMPRESA = e;
  return 1;
}

int AUDITOR_FISCAL::Audita_Emissor(const DADOS_EMISSOR& emissor) {
  if (emissor.CODIGO < 1) return recusa("Código do emissor inválido.", 32, kEmissor);
  NFCE = emissor.TIPO == kEmissorNfce ? 1 : 0;
  return 1;
}

int AUDITOR_FISCAL::Audita_Cliente(const DADOS_CLIENTE& c) {
  if (c.CODIGO < 1) return recusa("Código do cliente inválido.", 13, kCliente);
  if (vazio(c.NOME)) return recusa("Nome do cliente não preenchido.", 14, kCliente);
  if (descricao_invalida(c.NOME)) return recusa("Nome do cliente inválido.|" + ERROR, 49, kCliente);
  if (vazio(c.ENDERECO)) return recusa("Endereço do cliente não preenchido.", 15, kCliente);
  if (descricao_invalida(c.ENDERECO)) return recusa("Endereço do cliente inválido.|" + ERROR, 54, kCliente);
  if (vazio(c.UF)) return recusa("UF do cliente não preenchida.", 22, kCliente);
  if (vazio(c.CIDADE)) return recusa("Cidade do cliente não preenchida.", 23, kCliente);
  if (descricao_invalida(c.CIDADE)) return recusa("Cidade do cliente inválida.|" + ERROR, 50, kCliente);
  if (vazio(c.BAIRRO)) return recusa("Bairro do cliente não preenchido.", 24, kCliente);
  if (descricao_invalida(c.BAIRRO)) return recusa("Bairro do cliente inválido.|" + ERROR, 47, kCliente);
  if (VALIDA.Valida_Telefone(c.FONE) == 0) return recusa_validador(16, kCliente);
  const bool tem_cpf = !vazio(c.CPF);
  const bool tem_cnpj = !vazio(c.CNPJ);
  if (tem_cpf && tem_cnpj) {
    return recusa("Não é permitido o preenchimento de CPF e CNPJ simultaneamente para o cliente.", 17, kCliente);
  }
  if (tem_cpf && VALIDA.Valida_CPF(c.CPF) == 0) return recusa_validador(18, kCliente);
  if (tem_cnpj && VALIDA.Valida_CNPJ(c.CNPJ) == 0) return recusa_validador(19, kCliente);
  if (tem_cnpj && vazio(c.IE)) return recusa("Inscrição Estadual do cliente não preenchida.", 20, kCliente);
  if (tem_cnpj && !um_de(text::upper(c.IE), {"ISENTO", "ISENTA"}) && VALIDA.Valida_IE(c.IE, c.UF) == 0) {
    return recusa_validador(21, kCliente);
  }
  if (VALIDA.Valida_Municipio(std::to_string(c.MUNICIPIO)) == 0) return recusa_validador(26, kCliente);
  if (NFCE == 1) {
    if (!tem_cnpj && !consumidor(c.NOME) && !tem_cpf) return recusa("CPF do cliente não preenchido.", 14, kCliente);
  } else if (!tem_cpf && !tem_cnpj) {
    return recusa("CPF ou CNPJ não preenchido para o cliente.", 17, kCliente);
  }
  CLIENTE = c;
  return 1;
}

int AUDITOR_FISCAL::Audita_Operacao(const DADOS_OPERACAO& o) {
  if (NFCE != 1) return 1;
  struct Cfop {
    const std::string* valor;
    std::string_view mensagem;
  };
  const std::array<Cfop, 5> cfops = {{
      {&o.CFOP_IND_DENTRO, "CFOP de industrialização inválida para nota fiscal ao consumidor."},
      {&o.CFOP_ADQUIRIDO_DENTRO, "CFOP de adquirido ou recebido de terceiros inválida para nota fiscal ao consumidor."},
      {&o.CFOP_IND_ST_DENTRO, "CFOP de industrialização com ST inválida para nota fiscal ao consumidor."},
      {&o.CFOP_ADQUIRIDO_ST_DENTRO,
       "CFOP de adquirido ou recebido de terceiros ST inválida para nota fiscal ao consumidor."},
      {&o.CFOP_SERVICO_DENTRO, "CFOP de prestação de serviço inválida para nota fiscal ao consumidor."},
  }};
  for (const Cfop& cfop : cfops) {
    if (!um_de(*cfop.valor, {"5.101", "5.102", "5.103", "5.104", "5.115", "5.405", "5.656", "5.667", "5.933"})) {
      return recusa(std::string(cfop.mensagem) + std::string(kCfopsValidas), 0, kOperacao);
    }
  }
  return 1;
}

int AUDITOR_FISCAL::Audita_Transportadora(const DADOS_TRANSPORTADORA& t) {
  if (t.CODIGO_TRANSPORTADORA < 1) return recusa("Código da transportadora inválido.", 27, kTransportadora);
  const bool tem_cpf = !vazio(t.CPF);
  const bool tem_cnpj = !vazio(t.CNPJ);
  if (tem_cpf && tem_cnpj) {
    return recusa("Não é permitido o preenchimento de CPF e CNPJ simultaneamente para a transportadora.", 28,
                  kTransportadora);
  }
  if (descricao_invalida(t.ENDERECO))
    return recusa("Endereço da transportadora inválido.|" + ERROR, 52, kTransportadora);
  if (descricao_invalida(t.MUNICIPIO)) {
    return recusa("Município da transportadora inválido.|" + ERROR, 55, kTransportadora);
  }
  if (!vazio(t.PLACA) && VALIDA.Valida_Placa(t.PLACA) == 0) return recusa_validador(31, kTransportadora);
  if (tem_cnpj && VALIDA.Valida_CNPJ(t.CNPJ) == 0) return recusa_validador(32, kTransportadora);
  if (tem_cpf && VALIDA.Valida_CPF(t.CPF) == 0) return recusa_validador(33, kTransportadora);
  if (descricao_invalida(t.RAZAO_SOCIAL)) {
    return recusa("Razão social da transportadora inválida.|" + ERROR, 53, kTransportadora);
  }
  if (NFCE == 1) {
    const std::int64_t pessoa = numero(t.TIPO_PESSOA);
    if (pessoa == 1 && !tem_cpf) return recusa("CPF da transportadora não preenchido.", 33, kTransportadora);
    if (pessoa == 0 && (!tem_cnpj || text::clip(t.CNPJ) == "00000000000000")) {
      return recusa("CNPJ da transportadora não preenchido.", 32, kTransportadora);
    }
  }
  return 1;
}

int AUDITOR_FISCAL::Audita_Item(const DADOS_ITEM& i) {
  const std::string ncm = text::clip(i.NCM);
  if (ncm == "99" && i.ALIQUOTA_IPI > 0) {
    return recusa("Não é possível vender um item com alíquota de IPI e código do NCM 99.", 35, kItem);
  }
  if (vazio(i.UNIDADE)) return recusa("Unidade do item não preenchida.", 36, kItem);
  if (vazio(i.DESCRICAO)) return recusa("Descrição do item não preenchida.", 37, kItem);
  if (descricao_invalida(i.DESCRICAO)) return recusa("Descrição do item inválida.|" + ERROR, 51, kItem);
  // "Not greater than 0" also refuses a quantity or price that is no number.
  if (!(i.QUANTIDADE > 0)) return recusa("Quantidade do item não pode ser igual a 0.", 38, kItem);
  if (!(i.UNITARIO > 0)) return recusa("Valor do item não pode ser igual a 0.", 39, kItem);
  if (ncm.empty() || ncm == "0" || ncm == "99") return recusa("NCM igual a zero ou 99 são inválidos.", 43, kItem);
  const bool servico = i.TIPO_PRODUTO == 2 || i.TIPO_PRODUTO == 3;
  if (servico && ncm != "00") {
    return recusa("Produto do tipo serviço cadastrado com NCM inválido, preencha seu cadastro como 00.", 58, kItem);
  }
  if (!servico && digits_of(ncm).size() < 8)
    return recusa("Produto com NCM incompleto, menor que 8 digitos.", 58, kItem);
  if (NFCE == 1) return audita_consumo(i);
  return 1;
}

// The consumer tax codes on an NFC-e. With cst_csosn "0" only the CSTs 50 and
// 51 are refused (the sale screen checks the generic consumer's codes against
// the lists itself); any other value checks the code of the company's regime
// against its list, for a client with a UF other than the generic consumer.
int AUDITOR_FISCAL::audita_consumo(const DADOS_ITEM& i) {
  const bool mesma_uf = text::clip(EMPRESA.UF) == text::clip(CLIENTE.UF);
  if (nfe_ini_value("cst_csosn") == "0") {
    if (mesma_uf) {
      if (um_de(i.CST_ICMS_CONSUMO, {"50", "51"})) return recusa(kCstSuspensa, 58, kItem);
    } else if (um_de(i.CST_FORA_UF_CONSUMO, {"50", "51"})) {
      return recusa(kCstSuspensaForaUf, 58, kItem);
    }
    return 1;
  }
  if (vazio(CLIENTE.UF) || consumidor(CLIENTE.NOME)) return 1;
  return audita_lista_consumo(i, false);
}

int AUDITOR_FISCAL::Audita_Item_Consumidor(const DADOS_ITEM& i) { return audita_lista_consumo(i, true); }

// The consumption code of the company's regime against the list a consumer
// invoice accepts; `suspensa` gives CST 50 and 51 their own text.
int AUDITOR_FISCAL::audita_lista_consumo(const DADOS_ITEM& i, bool suspensa) {
  const bool mesma_uf = text::clip(EMPRESA.UF) == text::clip(CLIENTE.UF);
  if (EMPRESA.TIPO == 1) {
    const std::string& csosn = mesma_uf ? i.CSOSN_CONSUMO : i.CSOSN_FORA_UF_CONSUMO;
    if (!um_de(csosn, {"102", "103", "300", "400", "500", "900"})) {
      return recusa(mesma_uf ? kCsosnConsumo : kCsosnConsumoForaUf, 58, kItem);
    }
  } else if (EMPRESA.TIPO == 2) {
    const std::string& cst = mesma_uf ? i.CST_ICMS_CONSUMO : i.CST_FORA_UF_CONSUMO;
    if (suspensa && um_de(cst, {"50", "51"})) return recusa(mesma_uf ? kCstSuspensa : kCstSuspensaForaUf, 58, kItem);
    if (!um_de(cst, {"00", "20", "40", "41", "60", "90"})) {
      return recusa(mesma_uf ? kCstConsumo : kCstConsumoForaUf, 58, kItem);
    }
  }
  return 1;
}

}  // namespace fvn
