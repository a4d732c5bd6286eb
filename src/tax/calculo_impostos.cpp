// CALCULO_IMPOSTOS: construction, the fiscal rounding, the MVA selection and
// Calcula_Item, which chooses the item's CFOP and fiscal-printer tax code and
// runs the item's taxes in a fixed order: IPI, MVA, ICMS (by CST or CSOSN),
// PIS, COFINS, ISSQN, then FCP-ST.
#include "tax/calculo_impostos.h"

#include <cmath>
#include <string>
#include <string_view>

#include "nfce/nfe_ini_file.h"
#include "runtime/decimal.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "tax/tax_codes.h"

namespace fvn::tax {

namespace {

// The calculator's own UI when none is given: the validator's messages about
// missing code tables are not shown (the look-ups in them fail all the same).
class SemInterface final : public HostUi {
 public:
  using HostUi::message;
  int message(const MessageRequest& /*request*/) override { return 1; }
};

bool vazio(std::string_view texto) { return sem_brancos(texto).empty(); }

bool eh_servico(const sale::QUEUE_ITEM& item) { return item.TIPO_PRODUTO == 2; }

// A rate as the fiscal printer's tax code writes it: five characters,
// zero-filled, two decimals after a comma (18 -> "18,00", 7.5 -> "07,50").
std::string aliquota_cupom(double aliquota) {
  std::string t = decimal_text(round_to(aliquota, 2));
  std::string inteiro = t;
  std::string fracao;
  if (const auto ponto = t.find('.'); ponto != std::string::npos) {
    inteiro = t.substr(0, ponto);
    fracao = t.substr(ponto + 1);
  }
  while (fracao.size() < 2) fracao += '0';
  while (inteiro.size() < 2) inteiro.insert(inteiro.begin(), '0');
  return inteiro + "," + fracao;
}

// The item's value as the sale object keeps it for every item:
// subtotal less the discount share plus every other share.
double liquido_pelo_invariante(const sale::QUEUE_ITEM& i) {
  return i.SUBTOTAL_ITEM - i.DESCONTO_VENDA + i.ACRESCIMO_VENDA + i.JUROS_VENDA + i.DESP_ACESSORIAS_VENDA +
         i.FRETE_VENDA + i.SEGURO_VENDA;
}

// Every number a tax computation reads from the item: a value that is not a
// number would spread into every base, value and total of the sale.
bool numeros_validos(const sale::QUEUE_ITEM& i) {
  for (const double x : {i.TOTAL_LIQUIDO_VENDA,
                         i.SUBTOTAL_ITEM,
                         i.DESCONTO,
                         i.DESCONTO_VENDA,
                         i.ACRESCIMO_VENDA,
                         i.JUROS_VENDA,
                         i.DESP_ACESSORIAS_VENDA,
                         i.FRETE_VENDA,
                         i.SEGURO_VENDA,
                         i.ICMS.PERCENTUAL_RED_BC_ICMS,
                         i.ICMS.ALIQUOTA_ICMS,
                         i.ICMS.PERCENTUAL_RED_BC_ICMS_ST,
                         i.ICMS.ALIQUOTA_ICMS_ST,
                         i.ICMS.ALIQUOTA_ICMS_FORA,
                         i.ICMS.ALIQUOTA_ICMS_ST_FORA,
                         i.ICMS_SIMPLES.PERCENTUAL_RED_BC_ICMS,
                         i.ICMS_SIMPLES.ALIQUOTA_ICMS,
                         i.ICMS_SIMPLES.PERCENTUAL_RED_BC_ICMS_ST,
                         i.ICMS_SIMPLES.ALIQUOTA_ICMS_ST,
                         i.ICMS_SIMPLES.ALIQUOTA_ICMS_FORA,
                         i.ICMS_SIMPLES.ALIQUOTA_ICMS_ST_FORA,
                         i.ICMS_SIMPLES.ALIQUOTA_CRED_SIMPLES,
                         i.ICMS_SIMPLES.VALOR_CRED_SIMPLES,
                         i.MVA.PERCENTUAL_MVA_NCM,
                         i.MVA.PERCENTUAL_MVA_ESTADO,
                         i.MVA.PERCENTUAL_MVA_REDUZIDO_NCM,
                         i.MVA.PERCENTUAL_MVA_REDUZIDO_ESTADO,
                         i.IPI.ALIQUOTA_IPI,
                         i.PIS.ALIQUOTA_PIS,
                         i.COFINS.ALIQUOTA_COFINS,
                         i.ISSQN.ALIQUOTA_ISSQN,
                         i.II.VALOR_II}) {
    if (!std::isfinite(x)) return false;
  }
  return true;
}

template <typename Grupo>
void seleciona_mva(Grupo& icms, const sale::GRUPO_MVA& mva, bool dentro, std::int32_t finalidade,
                   const sale::GRUPO_CLIENTE& cliente) {
  icms.PERCENTUAL_MVA = dentro ? mva.PERCENTUAL_MVA_NCM : mva.PERCENTUAL_MVA_ESTADO;
  // A consumer with a state registration buys without ST margin.
  const std::string ie = text::upper(text::trim(cliente.IE));
  if (finalidade == kConsumo && !ie.empty() && ie != "ISENTO" && ie != "ISENTA") icms.PERCENTUAL_MVA = 0;
  if (!vazio(cliente.CNPJ) && cliente.TIPO == 2 && text::trim(cliente.UF) == "SC") {
    const double reduzido = dentro ? mva.PERCENTUAL_MVA_REDUZIDO_NCM : mva.PERCENTUAL_MVA_REDUZIDO_ESTADO;
    if (reduzido != 0) icms.PERCENTUAL_MVA = icms.PERCENTUAL_MVA * reduzido / 100;
  }
}

}  // namespace

CALCULO_IMPOSTOS::CALCULO_IMPOSTOS(HostUi* ui)
    : ui_proprio_(ui == nullptr ? std::make_unique<SemInterface>() : nullptr),
      VALIDADOR(std::make_unique<VALIDADOR_FISCAL>(ui == nullptr ? *ui_proprio_ : *ui)) {}

CALCULO_IMPOSTOS::~CALCULO_IMPOSTOS() = default;

double CALCULO_IMPOSTOS::Arredonda_Fiscal(double valor) { return round_abnt(valor); }

bool mesmo_estado(const sale::GRUPO_EMPRESA& empresa, const sale::GRUPO_CLIENTE& cliente) {
  const std::string_view uf = vazio(cliente.UF_ENTREGA) ? cliente.UF : cliente.UF_ENTREGA;
  return sem_brancos(empresa.UF) == sem_brancos(uf);
}

bool CALCULO_IMPOSTOS::dentro_estado() const { return mesmo_estado(EMPRESA, CLIENTE); }

void CALCULO_IMPOSTOS::Seleciona_MVA(sale::GRUPO_ICMS& icms, const sale::GRUPO_MVA& mva) const {
  seleciona_mva(icms, mva, dentro_estado(), FINALIDADE_OPERACAO, CLIENTE);
}

void CALCULO_IMPOSTOS::Seleciona_MVA_Simples(sale::GRUPO_ICMS_SIMPLES& icms, const sale::GRUPO_MVA& mva) const {
  seleciona_mva(icms, mva, dentro_estado(), FINALIDADE_OPERACAO, CLIENTE);
}

int CALCULO_IMPOSTOS::Calcula_Item(sale::QUEUE_ITEM& item) {
  if (!numeros_validos(item)) {
    return set_error("|Calcula_Item |Valor, percentual ou alíquota do item não é um número.", 0, "Calcula_Item");
  }
  const std::string cfop_anterior = item.CFOP;
  const std::string uf_cliente = CLIENTE.UF;
  if (!vazio(CLIENTE.UF_ENTREGA)) CLIENTE.UF = CLIENTE.UF_ENTREGA;
  VALOR_IPI = 0;  // the IPI of this item, once IPI runs

  // The item's value is derived from its parts on every run, so that a
  // return operation takes the expenses out exactly once however often the
  // sale recomputes the item.
  item.TOTAL_LIQUIDO_VENDA = liquido_pelo_invariante(item);
  if (OPERACAO.TIPO == 3 && OPERACAO.ADICIONA_DESP_DEVOLUCAO_BASE_ICMS == 0) {
    item.TOTAL_LIQUIDO_VENDA -= item.DESP_ACESSORIAS_VENDA;
  }

  bool falhou = false;
  const std::int32_t t = EMISSOR.TIPO;
  const bool documento = t == 2 || t == 3 || t == 8 || t == 9 || t == 10 || t == 11;
  if (documento) {
    escolhe_cfop(item, falhou);
    confere_cfop_nfce(item, falhou);
    if (EMISSOR.TIPO == 9 && !vazio(cfop_anterior)) item.CFOP = cfop_anterior;
    caminho_documento(item, falhou);
  } else {
    caminho_cupom(item, falhou);
  }
  fcp_st(item);
  CLIENTE.UF = uf_cliente;
  return falhou ? 0 : 1;
}

// Fiscal-printer path: fixed CFOPs, ICMS on the printer's rules and the
// printer's tax code.
void CALCULO_IMPOSTOS::caminho_cupom(sale::QUEUE_ITEM& item, bool& falhou) {
  const bool servico = eh_servico(item);
  if (sem_brancos(item.ICMS.CST_ICMS) == "60") {
    item.CFOP = "5405";
  } else {
    item.CFOP = servico ? "5933" : "5102";
  }
  const double valor = item.TOTAL_LIQUIDO_VENDA;
  if (EMPRESA.TIPO == 1) {
    if (!ICMS_CUPOM_SIMPLES(item.ICMS_SIMPLES, valor)) falhou = true;
    const bool pis = PIS(item.PIS, valor) != 0;
    if (!pis) falhou = true;
    if (pis && !COFINS(item.COFINS, valor)) falhou = true;
    if (servico) {
      item.DESCRICAO_TRIBUTACAO = "S";
      if (!ISSQN(item.ISSQN, valor)) falhou = true;
    } else {
      const std::string_view csosn = sem_brancos(item.ICMS_SIMPLES.CSOSN);
      if (csosn == "300" || csosn == "400") {
        item.DESCRICAO_TRIBUTACAO = "N";
      } else if (csosn == "201" || csosn == "202" || csosn == "500") {
        item.DESCRICAO_TRIBUTACAO = "F";
      } else if (csosn == "103" || csosn == "203") {
        item.DESCRICAO_TRIBUTACAO = "I";
      } else if (csosn == "101" || csosn == "102") {
        item.DESCRICAO_TRIBUTACAO = "T";
      }
    }
  } else if (EMPRESA.TIPO == 2) {
    if (!servico && !ICMS_CUPOM(item.ICMS, valor)) falhou = true;
    const bool pis = PIS(item.PIS, valor) != 0;
    if (!pis) falhou = true;
    if (pis && !COFINS(item.COFINS, valor)) falhou = true;
    const std::string_view cst = sem_brancos(item.ICMS.CST_ICMS);
    if (servico) {
      if (!ISSQN(item.ISSQN, valor)) falhou = true;
      item.DESCRICAO_TRIBUTACAO = "S" + aliquota_cupom(item.ISSQN.ALIQUOTA_ISSQN) + "%";
    } else if (cst == "00") {
      item.DESCRICAO_TRIBUTACAO = "T" + aliquota_cupom(item.ICMS.ALIQUOTA_ICMS) + "%";
    } else if (cst == "60") {
      item.DESCRICAO_TRIBUTACAO = "F";
    } else if (cst == "40") {
      item.DESCRICAO_TRIBUTACAO = "I";
    } else if (cst == "41") {
      item.DESCRICAO_TRIBUTACAO = "N";
    }
  }
}

// Document path, CFOP: copied from the operation by regime, production
// (own or third-party), goods or service, ST code and side of the border.
void CALCULO_IMPOSTOS::escolhe_cfop(sale::QUEUE_ITEM& item, bool& falhou) {
  const bool dentro = dentro_estado() || EMISSOR.TIPO == 11;  // an NFC-e is always in-state
  const bool simples = EMPRESA.TIPO == 1;
  const std::string_view ippt = sem_brancos(item.IPPT);
  if (ippt != "P" && ippt != "T") return;
  if (FINALIDADE_OPERACAO == kOutras) return;
  if (FINALIDADE_OPERACAO != kConsumo && FINALIDADE_OPERACAO != kRevenda) {
    const bool servico_simples_dentro = simples && eh_servico(item) && dentro;
    set_error(servico_simples_dentro ? "|Calcula_Item |Tipo da finalidade inválida."
                                     : "|Calcula_Item |Tipo da finalidade inválido",
              0, "Calcula_Item");
    falhou = true;
    return;
  }
  const bool consumo = FINALIDADE_OPERACAO == kConsumo;
  const sale::GRUPO_OPERACAO& op = OPERACAO;
  if (simples && eh_servico(item)) {
    item.CFOP = dentro ? op.CFOP_SERVICO_DENTRO : op.CFOP_SERVICO_FORA;
    return;
  }
  bool st = false;
  if (simples) {
    const sale::GRUPO_ICMS_SIMPLES& g = item.ICMS_SIMPLES;
    const std::string& codigo =
        dentro ? (consumo ? g.CSOSN_CONSUMO : g.CSOSN) : (consumo ? g.CSOSN_FORA_UF_CONSUMO : g.CSOSN_FORA_UF);
    st = csosn_substituicao_cfop(codigo);
  } else {
    const sale::GRUPO_ICMS& g = item.ICMS;
    const std::string& codigo =
        dentro ? (consumo ? g.CST_ICMS_CONSUMO : g.CST_ICMS) : (consumo ? g.CST_FORA_UF_CONSUMO : g.CST_FORA_UF);
    st = cst_substituicao_cfop(codigo);
  }
  if (ippt == "P") {
    if (st) {
      item.CFOP = dentro ? op.CFOP_IND_ST_DENTRO : op.CFOP_IND_ST_FORA;
    } else {
      item.CFOP = dentro ? op.CFOP_IND_DENTRO : op.CFOP_IND_FORA;
    }
  } else if (st) {
    item.CFOP = dentro ? op.CFOP_ADQUIRIDO_ST_DENTRO : op.CFOP_ADQUIRIDO_ST_FORA;
  } else {
    item.CFOP = dentro ? op.CFOP_ADQUIRIDO_DENTRO : op.CFOP_ADQUIRIDO_FORA;
  }
}

// NFC-e, when nfe_ini.ini asks for it: the CFOP must agree with the
// consumption tax code.
void CALCULO_IMPOSTOS::confere_cfop_nfce(const sale::QUEUE_ITEM& item, bool& falhou) {
  if (EMISSOR.TIPO != 11 || nfe_ini_recent_value("cst_csosn") != "1") return;
  const std::string cfop = text::trim(item.CFOP);
  const auto uma_de = [&cfop](std::initializer_list<std::string_view> lista) {
    for (const std::string_view c : lista) {
      if (cfop == c) return true;
    }
    return false;
  };
  const bool cfop_venda = uma_de({"5.101", "5.102", "5.103", "5.104", "5.115"});
  const bool cfop_st = uma_de({"5.405", "5.656", "5.667"});
  std::string erro;
  if (EMPRESA.TIPO == 1) {
    const std::string csosn = text::trim(item.ICMS_SIMPLES.CSOSN_CONSUMO);
    const bool venda = csosn == "102" || csosn == "103" || csosn == "300" || csosn == "400" || csosn == "900";
    if (venda && !cfop_venda) {
      erro =
          "CFOP inválida para CSOSN de consumo.|Para CSOSNs 102, 103, 300, 400 e 900 as CFOPs válidas são: 5.101, "
          "5.102, 5.104 e 5.115.|CSOSN utilizada: " +
          csosn + "|CFOP utilizada: " + cfop;
    } else if (csosn == "500" && !cfop_st) {
      erro =
          "CFOP inválida para CSOSN de consumo.|Para CSOSN 500 as CFOPs válidas são: 5.405, 5.656 e 5.667.|CSOSN "
          "utilizada: " +
          csosn + "|CFOP utilizada: " + cfop;
    }
  } else {
    const std::string cst = text::trim(item.ICMS.CST_ICMS_CONSUMO);
    const bool venda = cst == "00" || cst == "20" || cst == "40" || cst == "41" || cst == "90";
    if (venda && !cfop_venda) {
      erro =
          "CFOP inválida para CST de consumo.|Para CSTs 00, 20, 40, 41, e 90 as CFOPs válidas são: 5.101, 5.102, "
          "5.104 e 5.115.|CST utilizada: " +
          cst + "|CFOP utilizada: " + cfop;
    } else if (cst == "60" && !cfop_st) {
      erro =
          "CFOP inválida para CST de consumo.|Para CST 60 as CFOPs válidas são: 5.405, 5.656 e 5.667.|CST "
          "utilizada: " +
          cst + "|CFOP utilizada: " + cfop;
    }
  }
  if (!erro.empty()) {
    set_error(erro, 0, "Calcula_Item");
    falhou = true;
  }
}

// Document path, taxes: IPI, MVA, ICMS of the company's regime, PIS, COFINS
// and ISSQN.
void CALCULO_IMPOSTOS::caminho_documento(sale::QUEUE_ITEM& item, bool& falhou) {
  const bool simples = EMPRESA.TIPO == 1;
  if (!simples && EMPRESA.TIPO != 2) return;
  if (!eh_servico(item)) {
    if ((EMPRESA.RAMO == 1 || EMPRESA.RAMO == 3) && EMISSOR.TIPO != 11 && EMPRESA.UTILIZA_IPI == 1) {
      if (!IPI(item.IPI, item.TOTAL_LIQUIDO_VENDA + item.DESCONTO + item.DESCONTO_VENDA)) falhou = true;
    } else {
      item.IPI.ALIQUOTA_IPI = 0;
    }
  }
  if (simples) {
    Seleciona_MVA_Simples(item.ICMS_SIMPLES, item.MVA);
    if (!ICMS_SIMPLES(item.ICMS_SIMPLES, item.TOTAL_LIQUIDO_VENDA)) falhou = true;
  } else {
    Seleciona_MVA(item.ICMS, item.MVA);
    if (!ICMS(item.ICMS, item.TOTAL_LIQUIDO_VENDA)) falhou = true;
  }
  double valor = item.TOTAL_LIQUIDO_VENDA;
  if (OPERACAO.TIPO == 7) {  // import: PIS and COFINS leave out the expenses and the import tax
    valor = item.TOTAL_LIQUIDO_VENDA - (item.DESP_ACESSORIAS_VENDA + item.II.VALOR_II) + item.DESCONTO_VENDA;
  }
  const bool pis = PIS(item.PIS, valor) != 0;
  if (!pis) falhou = true;
  if (pis && !COFINS(item.COFINS, valor)) falhou = true;
  if (eh_servico(item) && !ISSQN(item.ISSQN, item.TOTAL_LIQUIDO_VENDA)) falhou = true;
}

// Poverty fund on substitution: its base is the ST base of the regime's
// group; its value is computed for the substitution codes only, in four
// decimals.
void CALCULO_IMPOSTOS::fcp_st(sale::QUEUE_ITEM& item) {
  sale::GRUPO_FCP_ST& fcp = item.FCP_ST;
  bool calcula = false;
  if (EMPRESA.TIPO == 1) {
    fcp.BASE_FCP_ST = item.ICMS_SIMPLES.VALOR_BC_ICMS_ST;
    calcula = csosn_com_fcp_st(item.ICMS_SIMPLES.CSOSN);
  } else {
    fcp.BASE_FCP_ST = item.ICMS.VALOR_BC_ICMS_ST;
    calcula = cst_com_fcp_st(item.ICMS.CST_ICMS);
  }
  if (calcula) fcp.VALOR_FCP_ST = fcp.BASE_FCP_ST.value() * fcp.PERC_FCP_ST.value() / 100;
  BASE_FCP_ST = fcp.BASE_FCP_ST.value();
  VALOR_FCP_ST = fcp.VALOR_FCP_ST.value();
}

}  // namespace fvn::tax
