#include "screens/entrada_item.h"

#include <cmath>
#include <utility>

#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "nfce/auditor_fiscal.h"
#include "nfce/nfe_ini_file.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "screens/browses.h"
#include "tax/calculo_impostos.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";
constexpr std::string_view kErro = "Erro";
constexpr std::string_view kErroFacade = "Erro!";

// The product field holds a text of 20: a longer paste is no code.
constexpr std::size_t kMaxCodigo = 19;
// The quantity field's picture (n-19.4) holds 13 integer digits.
constexpr double kMaxQuantidade = 1e13;

// aprodutos, bound by position ("select *"), followed by the busca_produto
// column and the chosen table's price, which the statements append.
struct Produto {
  std::int32_t codigo = 0;
  std::string descricao, barras, unidade;
  std::int32_t tipo = 0;  // 0 goods, 1 service, 2 freight
  std::int32_t tributacao = 0;
  std::string complemento;
  std::int32_t fotografo = 0;
  double custo = 0;
  std::string ncm;
  std::int32_t trib_estados = 0;
  std::string iat, ippt, lei116, cest;
  std::int32_t anp = 0, codif = 0;
  double qtemp = 0, perc_glp = 0, perc_gas_natural = 0, perc_gas_importado = 0, valor_partida = 0;
  std::string desc_anp, escala_relevante, cnpj_fabricante, beneficio;
  std::int32_t ativo = 0, kit = 0;
  std::string controle_estoque;
  std::int32_t fraciona = 0, pesavel = 0;
  std::string referencia;
  double precos[14] = {};  // normal, tabela1..10, compra, minimo, padrao
  double estoque[2] = {};
  std::string chave_fci;
  double base_st_retido = 0, valor_st_retido = 0;
  std::int32_t busca = 0;
  double preco = 0;  // the chosen table's price

  void bind(PassthroughTable& t) {
    t.clear_fields();
    t.bind_long(codigo).bind_text(descricao, 301).bind_text(barras, 51).bind_text(unidade, 11).bind_long(tipo);
    t.bind_long(tributacao).bind_text(complemento, 2048).bind_long(fotografo).bind_real(custo).bind_text(ncm, 11);
    t.bind_long(trib_estados).bind_text(iat, 2).bind_text(ippt, 2).bind_text(lei116, 10).bind_text(cest, 11);
    t.bind_long(anp).bind_long(codif).bind_real(qtemp).bind_real(perc_glp).bind_real(perc_gas_natural);
    t.bind_real(perc_gas_importado).bind_real(valor_partida).bind_text(desc_anp, 96).bind_text(escala_relevante, 2);
    t.bind_text(cnpj_fabricante, 15).bind_text(beneficio, 11).bind_long(ativo).bind_long(kit);
    t.bind_text(controle_estoque, 2).bind_long(fraciona).bind_long(pesavel).bind_text(referencia, 31);
    for (double& p : precos) t.bind_real(p);
    for (double& e : estoque) t.bind_real(e);
    t.bind_text(chave_fci, 37).bind_real(base_st_retido).bind_real(valor_st_retido).bind_long(busca).bind_real(preco);
  }
};

// ttributacao, bound by position.
struct Tributacao {
  std::int32_t codigo = 0;
  std::string descricao, cst;
  double icms = 0, reducao = 0, ipi = 0, reducao_fora = 0, fundo_pobreza = 0, aliquota_st = 0;
  std::string cst_consumo;
  std::int32_t csosn = 0, csosn_consumo = 0, cst_pis = 0, cst_cofins = 0, cst_ipi = 0;
  double pis = 0, cofins = 0, diferimento = 0;

  void bind(PassthroughTable& t) {
    t.clear_fields();
    t.bind_long(codigo).bind_text(descricao, 101).bind_text(cst, 4).bind_real(icms).bind_real(reducao);
    t.bind_real(ipi).bind_real(reducao_fora).bind_real(fundo_pobreza).bind_real(aliquota_st);
    t.bind_text(cst_consumo, 4).bind_long(csosn).bind_long(csosn_consumo).bind_long(cst_pis).bind_long(cst_cofins);
    t.bind_long(cst_ipi).bind_real(pis).bind_real(cofins).bind_real(diferimento);
  }
};

// cstestado, bound by position.
struct CstEstado {
  std::int32_t produto = 0;
  std::string uf, cst, cst_consumo;
  std::int32_t csosn_revenda = 0, csosn_consumo = 0;

  void bind(PassthroughTable& t) {
    t.clear_fields();
    t.bind_long(produto).bind_text(uf, 3).bind_text(cst, 4).bind_text(cst_consumo, 4);
    t.bind_long(csosn_revenda).bind_long(csosn_consumo);
  }
};

// A component of a kit (produtos_kit, by position).
struct Componente {
  std::int32_t ordem = 0, kit = 0, produto = 0;
  double quantidade = 0, desconto = 0;
};

std::string dois_digitos(std::int32_t codigo) {
  return codigo < 10 ? "0" + std::to_string(codigo) : std::to_string(codigo);
}

// A code of a scale label passes the EAN-13 check: the 13th digit is the
// check digit of the first twelve weighted 1, 3, 1, 3, ...
bool valida_ean13(std::string_view codigo) {
  if (codigo.size() != 13 || !text::all_digits(codigo)) return false;
  int soma = 0;
  for (std::size_t i = 0; i < 12; ++i) soma += (codigo[i] - '0') * (i % 2 == 0 ? 1 : 3);
  return (10 - soma % 10) % 10 == codigo[12] - '0';
}

bool fracionada(double quantidade) { return round_to(quantidade, 4) != int_part(round_to(quantidade, 4)); }

}  // namespace

// One line sold by this entry: the record handed to Vende_Item (before the
// facade computed it) and its item number, so that a change of price table
// can sell it again.
struct LinhaVendida {
  std::int32_t numero = 0;
  sale::QUEUE_ITEM item;
};

struct EntradaItem::Estado {
  Estado(HostUi& u, JanelasVenda& j, std::string c, const ModuleValues& v, sale::CLASSE_VENDA& s)
      : ui(u), janelas(j), valores(v), venda(s), tabela("ENTRADA_ITEM", std::move(c)), auditor(u) {}

  HostUi& ui;
  JanelasVenda& janelas;
  const ModuleValues& valores;
  sale::CLASSE_VENDA& venda;
  PassthroughTable tabela;
  AUDITOR_FISCAL auditor;
  std::function<bool()> limites;
  std::function<int(sale::QUEUE_ITEM&)> ficha_conteudo;
  std::int32_t tabela_preco = 0;
  std::vector<LinhaVendida> linhas;

  // What one lookup is selling.
  struct Pedido {
    std::string codigo;         // code to search (after a label was decoded)
    std::int32_t produto = 0;   // a product chosen by its key instead
    double quantidade = 0;      // the quantity field
    double valor_etiqueta = 0;  // the label's value (0: not a label)
    bool etiqueta = false;
    bool componente = false;             // a kit's component
    double desconto_kit = 0;             // the component's discount for the kits sold
    const LinhaPedido* linha = nullptr;  // an imported order's line
  };

  void aviso(std::string_view texto, std::string_view titulo = kAviso) { ui.message(texto, titulo); }
  int recusa(std::string_view texto, std::string_view titulo = kAviso) {
    aviso(texto, titulo);
    return 0;
  }
  int falha_banco(std::string_view contexto, std::string_view titulo = kAviso) {
    return recusa(tabela.error_text(contexto), titulo);
  }
  int falha_venda(std::string_view contexto) { return recusa(std::string{contexto} + venda.display(), kErroFacade); }

  int partes();
  int busca(const Pedido& p, Produto& produto);
  int busca_codigo(std::string_view codigo, Produto& produto);
  int vende(Pedido p);
  int vende_kit(const Produto& kit, const Pedido& p);
  int tributa(const Produto& produto, sale::QUEUE_ITEM& item);
  int mva(const Produto& produto, sale::QUEUE_ITEM& item);
  int servico(const Produto& produto, sale::QUEUE_ITEM& item);
  int estoque(const Produto& produto, double quantidade, const LinhaPedido* linha = nullptr);
  int audita(const sale::QUEUE_ITEM& item);
  int vende_item(sale::QUEUE_ITEM item);
  int desfaz(std::int32_t numero);
  int revende(std::int32_t nova_tabela);
  std::string coluna_preco() const {
    const std::string coluna = price_column(tabela_preco);
    return coluna.empty() ? "0" : coluna;
  }
};

// The parties every item needs.
int EntradaItem::Estado::partes() {
  if (venda.CLIENTE.CODIGO == 0) return recusa("Código do cliente não pode ser zero!");
  if (venda.VENDEDOR.CODIGO == 0) return recusa("Código do vendedor não pode ser zero!");
  if (venda.OPERACAO.CODIGO == 0) return recusa("Código da operação não pode ser zero!");
  if (venda.EMISSOR.CODIGO == 0) return recusa("Código do emissor não pode ser zero!");
  return 1;
}

int EntradaItem::Estado::busca_codigo(std::string_view codigo, Produto& produto) {
  const std::string sql = "select *, " + coluna_preco() + " from aprodutos inner join busca_produto ( " +
                          tabela.literal(codigo) + " , " + tabela.literal(valores.S_TEM_SEQUENCIA_BUSCA_PRODUTO) +
                          " ) on busca_produto = ccodproduto;";
  produto.bind(tabela);
  if (tabela.execute(sql) != 1) return falha_banco("Erro ao buscar o produto.|");
  return tabela.next() == 1 ? 1 : -1;
}

// The product by its key, or by the typed code through busca_produto
// (first by the code's first 6 characters when codes carry a check digit).
// 1 found; 0 after a message.
int EntradaItem::Estado::busca(const Pedido& p, Produto& produto) {
  if (tabela.open() != 1) return falha_banco("Erro ao buscar o produto.|");
  if (p.produto != 0) {
    produto.bind(tabela);
    if (tabela.execute("select *, 0, " + coluna_preco() +
                       " from aprodutos where ccodproduto = " + sql_integer(p.produto)) != 1) {
      return falha_banco("Erro ao buscar o produto.|");
    }
    if (tabela.next() != 1) return recusa("Não achou o produto.");
    return 1;
  }
  int achou = -1;
  if (valores.I_PAR_USA_DIGITO_VERIFICADOR_VENDA == 3) {
    achou = busca_codigo(text::cut(p.codigo, 6), produto);
    if (achou == 0) return 0;
  }
  if (achou != 1) achou = busca_codigo(p.codigo, produto);
  if (achou == 0) return 0;
  if (achou != 1) return recusa("Não achou o produto ou produto inativo.");
  return 1;
}

// The components of a kit, each sold as a code of its own; the
// components sold before a refused one stay sold.
int EntradaItem::Estado::vende_kit(const Produto& kit, const Pedido& p) {
  std::vector<Componente> componentes;
  Componente c;
  tabela.clear_fields();
  tabela.bind_long(c.ordem).bind_long(c.kit).bind_long(c.produto).bind_real(c.quantidade).bind_real(c.desconto);
  if (tabela.execute("select * from produtos_kit where i_prk_codigo_apr = " + sql_integer(kit.codigo) +
                     " order by i_prk_codigo") != 1) {
    return falha_banco("Erro ao selecionar tabela Produtos_kit|");
  }
  while (tabela.next() == 1) componentes.push_back(c);
  if (componentes.empty()) return recusa("Produto com kit configurado não possui componentes.");
  for (const Componente& k : componentes) {
    Pedido parte;
    parte.produto = k.produto;
    parte.quantidade = round_to(k.quantidade * p.quantidade, 4);
    parte.componente = true;
    parte.desconto_kit = k.desconto * p.quantidade;
    if (k.desconto != 0 && valores.I_PAR_UTILIZA_DESC_ITEM != 1) {
      aviso(
          "Produto do KIT com desconto por item|Não será efetuado o desconto |Pois o usuário não utiliza desconto "
          "por item!");
      parte.desconto_kit = 0;
    }
    if (vende(parte) != 1) return 0;
  }
  return 1;
}

// The tax classification and the state CSTs of the customer's state.
int EntradaItem::Estado::tributa(const Produto& produto, sale::QUEUE_ITEM& item) {
  Tributacao t;
  t.bind(tabela);
  if (tabela.execute("select * from ttributacao where ccodtributacao = " + sql_integer(produto.tributacao)) != 1 ||
      tabela.next() != 1) {
    return falha_banco("Erro ao buscar tributação do produto na tabela ttributacao.|");
  }
  CstEstado e;
  e.bind(tabela);
  if (tabela.execute("Select * from cstestado where i_cst_codigo_apr = " + sql_integer(produto.codigo) +
                     " and s_cst_uf = " + tabela.literal(text::clip(venda.CLIENTE.UF)) + ";") != 1) {
    return falha_banco("Erro ao consultar tabela cstestado.|");
  }
  tabela.next();  // no row: the classification's codes hold out of the state too

  const bool dentro = tax::mesmo_estado(venda.EMPRESA, venda.CLIENTE);
  sale::GRUPO_ICMS& icms = item.ICMS;
  icms.CST_ICMS = icms.CST_ICMS_REVENDA = text::clip(t.cst);
  icms.CST_ICMS_CONSUMO = text::clip(t.cst_consumo);
  icms.CST_FORA_UF = text::clip(e.cst).empty() ? icms.CST_ICMS : text::clip(e.cst);
  icms.CST_FORA_UF_CONSUMO = text::clip(e.cst_consumo).empty() ? icms.CST_ICMS_CONSUMO : text::clip(e.cst_consumo);
  icms.ALIQUOTA_ICMS = icms.ALIQUOTA_ICMS_FORA = round_to(t.icms, 2);
  icms.ALIQUOTA_ICMS_ST = icms.ALIQUOTA_ICMS_ST_FORA = round_to(t.aliquota_st, 2);
  icms.PERCENTUAL_RED_BC_ICMS = round_to(dentro ? t.reducao : t.reducao_fora, 2);
  icms.PERCENTUAL_ICMS_DEFERIMENTO = round_to(t.diferimento, 2);

  sale::GRUPO_ICMS_SIMPLES& simples = item.ICMS_SIMPLES;
  simples.CSOSN = simples.CSOSN_REVENDA = std::to_string(t.csosn);
  simples.CSOSN_CONSUMO = std::to_string(t.csosn_consumo);
  simples.CSOSN_FORA_UF = std::to_string(e.csosn_revenda != 0 ? e.csosn_revenda : t.csosn);
  simples.CSOSN_FORA_UF_CONSUMO = std::to_string(e.csosn_consumo != 0 ? e.csosn_consumo : t.csosn_consumo);
  simples.ALIQUOTA_ICMS = simples.ALIQUOTA_ICMS_FORA = icms.ALIQUOTA_ICMS;
  simples.ALIQUOTA_ICMS_ST = simples.ALIQUOTA_ICMS_ST_FORA = icms.ALIQUOTA_ICMS_ST;
  simples.PERCENTUAL_RED_BC_ICMS = icms.PERCENTUAL_RED_BC_ICMS;
  // The company's Simples credit rate, a percentage to 3 places, as the
  // fraction the tax calculator multiplies by.
  simples.ALIQUOTA_CRED_SIMPLES = round_to(valores.N_TEM_ALIQUOTA_SIMPLES, 3) / 100;

  item.FCP_ST.PERC_FCP_ST = round_to(t.fundo_pobreza, 2);
  item.PERC_FUNDO_POBREZA = round_to(t.fundo_pobreza, 2);
  item.PIS.CST_PIS = dois_digitos(t.cst_pis);
  item.PIS.ALIQUOTA_PIS = round_to(t.pis, 2);
  item.COFINS.CST_COFINS = dois_digitos(t.cst_cofins);
  item.COFINS.ALIQUOTA_COFINS = round_to(t.cofins, 2);
  item.IPI.CST_IPI = dois_digitos(t.cst_ipi);
  item.IPI.ALIQUOTA_IPI = round_to(t.ipi, 2);
  return 1;
}

// The value-added margins of the product's NCM, for the customer's
// state.
int EntradaItem::Estado::mva(const Produto& produto, sale::QUEUE_ITEM& item) {
  sale::GRUPO_MVA& m = item.MVA;
  tabela.clear_fields();
  tabela.bind_real(m.PERCENTUAL_MVA_NCM)
      .bind_real(m.PERCENTUAL_MVA_ESTADO)
      .bind_real(m.PERCENTUAL_MVA_REDUZIDO_NCM)
      .bind_real(m.PERCENTUAL_MVA_REDUZIDO_ESTADO);
  const std::string sql =
      " select coalesce(n_ncm_mva,0) , coalesce(n_mva_valor,0) ,  case when coalesce(n_ncm_reducao_mva,0) <> 0 then "
      "100 - coalesce(n_ncm_reducao_mva,0) else 0 end ,  case when coalesce(n_mva_reducao_mva,0) <> 0 then 100 - "
      "coalesce(n_mva_reducao_mva,0) else 0 end  from ncm left join MvaEstado on s_mva_ncm = i_ncm_codigo and "
      "s_mva_uf_destino = " +
      tabela.literal(text::clip(venda.CLIENTE.UF)) + "  where i_ncm_codigo = " + tabela.literal(produto.ncm) + ";";
  if (tabela.execute(sql) != 1) return falha_banco("Erro ao buscar dados da tabela NCM.|");
  if (tabela.next() != 1) return recusa("Nenhum registro retornou da busca na tabela de NCM.|");
  return 1;
}

// A service's ISSQN and the registrations a service sale needs.
int EntradaItem::Estado::servico(const Produto& produto, sale::QUEUE_ITEM& item) {
  std::int32_t classificacao = 0, empresa = 0, municipio = 0, exigibilidade = 0, incentivo = 0;
  double aliquota = 0;
  std::string codigo_servico;
  tabela.clear_fields();
  tabela.bind_long(classificacao).bind_long(empresa).bind_real(aliquota).bind_text(codigo_servico, 10);
  tabela.bind_long(municipio).bind_long(exigibilidade).bind_long(incentivo);
  if (tabela.execute("Select * from ISS where i_iss_codigo_atr = " + sql_integer(produto.tributacao) +
                     " and i_iss_codigo_tem = " + sql_integer(valores.COD_EMPR) + ";") != 1) {
    return falha_banco("Erro ao buscar dados na tabela ISS do produto.|");
  }
  if (tabela.next() != 1) return recusa("Nenhum registro retornou da busca na tabela de iss.|");
  std::string cnae, inscricao;
  tabela.clear_fields();
  tabela.bind_text(cnae, 8).bind_text(inscricao, 16);
  if (tabela.execute("select i_tem_cnae, i_tem_insc_municipal from tempresa where ccodempresa = " +
                     sql_integer(valores.COD_EMPR)) != 1) {
    return falha_banco("Erro ao buscar dados na tabela TEmpresa.|Erro: ");
  }
  tabela.next();
  if (text::clip(cnae).empty()) {
    return recusa(
        "Para a venda de produtos do tipo serviço, o CNAE da empresa deve estar preenchido.|Por favor, verifique o "
        "cadastro da empresa.");
  }
  if (text::clip(inscricao).empty()) {
    return recusa(
        "Para a venda de produtos do tipo serviço, a Inscrição Municipal da empresa deve estar preenchida.|Por "
        "favor, verifique o cadastro da empresa.");
  }
  if (text::clip(produto.lei116).empty()) {
    return recusa(
        "Produto do tipo serviço não possui o código da lei 116 em seu cadastro.|Por favor, verifique cadastro do "
        "produto.");
  }
  item.ISSQN.ALIQUOTA_ISSQN = round_to(aliquota, 2);
  item.ISSQN.CST_ISSQN = "N";
  return 1;
}

// The stock the company is left with after this item and the
// lines of the same product already on the sale. 1 may be sold. An order's
// line that is blocked is not sold and stays pending in its order: 2.
int EntradaItem::Estado::estoque(const Produto& produto, double quantidade, const LinhaPedido* linha) {
  if (valores.BLQ_ESTNEG == 0 || text::upper(text::clip(produto.controle_estoque)) != "E") return 1;
  const double disponivel = valores.COD_EMPR == 1 || valores.COD_EMPR == 2 ? produto.estoque[valores.COD_EMPR - 1] : 0;
  const double projetado = round_to(disponivel - (venda.Get_Quantidade_Produto(produto.codigo) + quantidade), 4);
  if (projetado >= 0) return 1;
  const bool bloqueia = valores.BLQ_ESTNEG == 2 && valores.I_PAR_LIB_VDA_EST_NEGATIVO == 0;
  if (linha != nullptr) {
    aviso("Estoque do item vai ficar negativo.||Produto: " + std::to_string(produto.codigo) + " - " +
          text::clip(produto.descricao) +
          (bloqueia ? "||O item não será carregado e ficará com quantidade pendente no pedido." : ""));
    return bloqueia ? 2 : 1;
  }
  aviso("Estoque do item vai ficar negativo.");
  if (!bloqueia) return 1;
  // Blocked: only a supervisor's release sells it.
  UserAccount supervisor;
  sale::GRUPO_DADOS_LIBERACAO liberacao;
  const std::string motivo = "Produto " + std::to_string(produto.codigo) + " - estoque " + decimal_text(disponivel) +
                             ", quantidade " + decimal_text(round_to(quantidade, 4));
  return janelas.AUTENTICACAO(Direito::EstoqueNegativo, "Liberação para venda com estoque negativo.", motivo,
                              supervisor, liberacao) == 1
             ? 1
             : 0;
}

// The generic consumer's consumption codes (when
// nfe_ini.ini asks for it), or the item audit for an identified customer.
int EntradaItem::Estado::audita(const sale::QUEUE_ITEM& item) {
  auditor.EMPRESA = AUDITOR_FISCAL::empresa_de(venda.EMPRESA);
  auditor.CLIENTE = AUDITOR_FISCAL::cliente_de(venda.CLIENTE);
  auditor.NFCE = venda.EMISSOR.TIPO == 11 ? 1 : 0;
  const AUDITOR_FISCAL::DADOS_ITEM dados = AUDITOR_FISCAL::item_de(item);
  int ok = 1;
  if (text::upper(text::clip(venda.CLIENTE.NOME)) == "CONSUMIDOR") {
    if (nfe_ini_value("cst_csosn") == "0") ok = auditor.Audita_Item_Consumidor(dados);
  } else {
    ok = auditor.Audita_Item(dados);
  }
  if (ok == 1) return 1;
  return recusa(auditor.display(), kErroFacade);
}

// The sale of the record, then the consumer-invoice limits
// on the new total.
int EntradaItem::Estado::vende_item(sale::QUEUE_ITEM item) {
  const sale::QUEUE_ITEM original = item;
  if (venda.Vende_Item(item) != 1) return recusa("Erro ao vender Item.|" + venda.display(), kErro);
  const std::int32_t numero = venda.Get_Quantidade_Itens();
  if (limites && !limites()) return desfaz(numero);
  linhas.push_back({numero, original});
  return 1;
}

// The undo of the item just sold when the limits refuse the new total.
int EntradaItem::Estado::desfaz(std::int32_t numero) {
  if (venda.Cancela_Item(numero) != 1) return falha_venda("Erro ao cancelar item na nota fiscal.|");
  if (venda.Set_Desconto_Venda(0) != 1) return falha_venda("Erro ao setar valor de desconto no total da venda.|");
  if (venda.Set_Desp_Acessorias_Venda(0) != 1) return falha_venda("Erro ao setar despesas acessórias.|");
  if (venda.Set_Acrescimo_Venda(0) != 1) return falha_venda("Erro ao setar valor de acréscimo no total da venda.|");
  return 0;
}

// The lookup and sale of one code or listed product.
int EntradaItem::Estado::vende(Pedido p) {
  if (!p.componente && partes() != 1) return 0;
  if (!std::isfinite(p.quantidade) || !(round_to(p.quantidade, 4) > 0)) {
    return recusa("Quantidade inválida.|Informe uma quantidade maior que zero.");
  }
  if (p.quantidade >= kMaxQuantidade) return recusa("Quantidade inválida.|A quantidade excede o tamanho do campo.");
  p.quantidade = round_to(p.quantidade, 4);

  if (p.produto == 0) {
    if (text::length(p.codigo) > kMaxCodigo) {
      return recusa("Código do produto inválido.|O código tem mais de 19 caracteres.");
    }
    p.codigo = text::trim(p.codigo);
    // A scale label carries the product and the value to charge.
    if (valores.I_TEM_ETIQUETA_BALANCA == 1 && p.codigo.size() == 13 && p.codigo[0] == '2' && valida_ean13(p.codigo)) {
      if (valores.I_PAR_QTD_VAL_COD_BARRA == 0) {
        p.valor_etiqueta = std::stod(p.codigo.substr(7, 5));
        p.codigo = p.codigo.substr(1, 6);
      } else {
        p.valor_etiqueta = std::stod(p.codigo.substr(5, 7)) / 100;
        p.codigo = p.codigo.substr(1, 4);
      }
      p.etiqueta = true;
    }
  }

  Produto produto;
  if (busca(p, produto) != 1) return 0;
  if (produto.ativo != 1) return recusa("Produto inativo!", kErro);

  if (produto.kit == 1 && p.linha == nullptr) {
    if (p.componente) return recusa("Produto com kit configurado não pode ser carregado em outro KIT.");
    return vende_kit(produto, p);
  }

  sale::QUEUE_ITEM item;
  item.CODIGO = std::to_string(produto.codigo);
  item.ID_PRODUTO = produto.codigo;
  item.DESCRICAO = text::clip(produto.descricao);
  if (valores.I_PAR_DESCRICAO_IMP_CUPOM == 1 && !text::clip(produto.complemento).empty()) {
    item.DESCRICAO = text::cut(item.DESCRICAO + " " + text::clip(produto.complemento), 300);
  }
  item.UNIDADE = text::clip(produto.unidade);
  item.TIPO_PRODUTO = produto.tipo + 1;  // 1 goods, 2 service, 3 freight
  item.IAT = produto.iat;
  item.IPPT = produto.ippt;
  item.NCM = text::clip(produto.ncm);
  item.CEST = text::clip(produto.cest);
  item.CHAVE_FCI = text::clip(produto.chave_fci);  // the import-content record
  item.FOTOGRAFO = produto.fotografo;
  item.ESCALA_RELEVANTE = produto.escala_relevante;
  item.CNPJ_FABRICANTE = text::clip(produto.cnpj_fabricante);
  item.COD_BENEFICIO_FISCAL = text::clip(produto.beneficio);
  item.DESCRICAO_ANP = text::clip(produto.desc_anp);
  item.PERC_GLP = produto.perc_glp;
  item.PERC_GAS_NATURAL = produto.perc_gas_natural;
  item.PERC_GAS_IMPORTADO = produto.perc_gas_importado;
  item.VALOR_PARTIDA = produto.valor_partida;
  item.ID_VENDEDOR = venda.VENDEDOR.CODIGO;
  item.BALANCA = p.etiqueta ? 1 : 0;
  if (tributa(produto, item) != 1) return 0;

  item.UNITARIO = produto.preco;
  if (p.linha != nullptr) {
    item.UNITARIO = p.linha->unitario;
    if (!text::clip(p.linha->descricao).empty()) item.DESCRICAO = text::cut(text::clip(p.linha->descricao), 300);
    item.X_PED = p.linha->pedido;
    item.N_ITEM_PED = p.linha->item_pedido;
  }
  if (p.etiqueta) {  // the label's value buys the quantity
    if (!(produto.preco > 0)) return recusa("Produto sem preço na tabela de preços escolhida.");
    p.quantidade = round_to(p.valor_etiqueta / produto.preco, 3);
    if (!(p.quantidade > 0)) return recusa("Quantidade inválida.|Informe uma quantidade maior que zero.");
  }
  item.QUANTIDADE = p.quantidade;
  if (produto.fraciona != 1 && fracionada(p.quantidade)) {
    return recusa("Venda de quantidade fracionada proibida para este produto.");
  }
  if (mva(produto, item) != 1) return 0;
  if (item.TIPO_PRODUTO == 2 && servico(produto, item) != 1) return 0;
  tabela.close();

  if (p.linha != nullptr) {
    item.DESCONTO = round_to(p.linha->desconto, 2);
    item.ACRESCIMO = round_to(p.linha->acrescimo, 2);
  } else if (p.componente) {
    item.DESCONTO = round_to(p.desconto_kit, 2);
  } else if (valores.I_PAR_UTILIZA_DESC_ITEM == 1 && janelas.DETALHE_PRODUTO(item) != 1) {  // abandoned
    return 0;
  }
  if (!item.CHAVE_FCI.empty() && ficha_conteudo && ficha_conteudo(item) != 1) return 0;
  if (const int livre = estoque(produto, item.QUANTIDADE, p.linha); livre != 1) return livre == 2 ? 2 : 0;
  if (audita(item) != 1) return 0;
  return vende_item(std::move(item));
}

// Empties the items and sells every live line again at `nova_tabela`'s
// price; the sale's expenses, freight and insurance are set again and its
// discount to 0. 1 done; 0 after a message.
int EntradaItem::Estado::revende(std::int32_t nova_tabela) {
  // Every live item of the sale: the record this entry sold, or the
  // facade's own record for a line sold elsewhere, which would otherwise be
  // lost when the items are emptied.
  std::vector<LinhaVendida> vivas;
  std::vector<std::int32_t> produtos;
  for (std::int32_t numero = 1; numero <= venda.Get_Quantidade_Itens(); ++numero) {
    LinhaVendida linha{numero, {}};
    if (venda.Get_Item_Venda(numero, linha.item) != 1 || linha.item.CANCELADO != 0) continue;
    for (const LinhaVendida& l : linhas) {
      if (l.numero == numero) linha.item = l.item;
    }
    produtos.push_back(linha.item.ID_PRODUTO);
    vivas.push_back(std::move(linha));
  }
  // The new prices, in one statement, before anything on the sale changes.
  std::vector<std::pair<std::int32_t, double>> precos;
  if (!produtos.empty()) {
    std::int32_t codigo = 0;
    double preco = 0;
    tabela.clear_fields();
    tabela.bind_long(codigo).bind_real(preco);
    const std::string coluna = price_column(nova_tabela);
    if (tabela.open() != 1 ||
        tabela.execute("select ccodproduto, " + (coluna.empty() ? "0" : coluna) +
                       " from aprodutos where ccodproduto in (" + sql_integer_list(produtos) + ")") != 1) {
      return falha_banco("Erro ao buscar os preços da tabela escolhida.|");
    }
    while (tabela.next() == 1) precos.emplace_back(codigo, preco);
    tabela.close();
  }
  const double despesas = venda.Get_Desp_Acessorias_Venda();
  const double frete = venda.Get_Frete_Venda();
  const double seguro = venda.Get_Seguro_Venda();
  // Sells `registros` on an emptied item list; false at the first refusal.
  const auto vende_todas = [&](const std::vector<LinhaVendida>& registros) {
    linhas.clear();
    // Emptying the items also forgets the item list's seller: given again.
    const sale::GRUPO_VENDEDOR vendedor = venda.VENDEDOR;
    if (venda.Limpa_Itens_Venda() != 1 || venda.Set_Dados_Vendedor(vendedor) != 1) return false;
    for (const LinhaVendida& l : registros) {
      sale::QUEUE_ITEM item = l.item;
      if (venda.Vende_Item(item) != 1) return false;
      linhas.push_back({venda.Get_Quantidade_Itens(), l.item});
    }
    return true;
  };
  std::vector<LinhaVendida> novas = vivas;
  for (LinhaVendida& l : novas) {
    // A line of an imported order keeps the order's price.
    for (const auto& [codigo, preco] : precos) {
      if (codigo == l.item.ID_PRODUTO && l.item.X_PED.empty()) l.item.UNITARIO = preco;
    }
  }
  int ok = 1;
  if (vende_todas(novas)) {
    tabela_preco = nova_tabela;
  } else {
    // The sale as it was: the lines again at the old table's prices.
    recusa("Erro ao vender Item.|" + venda.display(), kErro);
    vende_todas(vivas);
    ok = 0;
  }
  if (venda.Set_Desp_Acessorias_Venda(despesas) != 1) return falha_venda("Erro ao setar despesas acessórias.|");
  if (venda.Set_Desconto_Venda(0) != 1) return falha_venda("Erro ao setar valor de desconto no total da venda.|");
  if (venda.Set_Frete_Venda(frete) != 1) return falha_venda("Erro ao setar frete.|");
  if (venda.Set_Seguro_Venda(seguro) != 1) return falha_venda("Erro ao setar seguro.|");
  return ok;
}

EntradaItem::EntradaItem(HostUi& ui, JanelasVenda& janelas, std::string connection, const ModuleValues& valores,
                         sale::CLASSE_VENDA& venda)
    : estado_(std::make_unique<Estado>(ui, janelas, std::move(connection), valores, venda)) {
  nova_venda();
}

EntradaItem::~EntradaItem() = default;

void EntradaItem::set_limites(std::function<bool()> limites) { estado_->limites = std::move(limites); }

void EntradaItem::set_ficha_conteudo(std::function<int(sale::QUEUE_ITEM&)> ficha) {
  estado_->ficha_conteudo = std::move(ficha);
}

void EntradaItem::nova_venda() {
  estado_->tabela_preco = estado_->valores.TAB_PRE_PADRAO;
  estado_->linhas.clear();
}

int EntradaItem::vende_codigo(std::string_view codigo, double quantidade) {
  Estado::Pedido p;
  p.codigo = std::string{codigo};
  p.quantidade = quantidade;
  const int r = estado_->vende(std::move(p));
  estado_->tabela.close();
  return r;
}

int EntradaItem::vende_produto(std::int32_t produto, double quantidade) {
  if (produto == 0) return estado_->recusa("Não achou o produto.");
  Estado::Pedido p;
  p.produto = produto;
  p.quantidade = quantidade;
  const int r = estado_->vende(std::move(p));
  estado_->tabela.close();
  return r;
}

int EntradaItem::vende_linha_pedido(const LinhaPedido& linha) {
  if (linha.produto == 0) return estado_->recusa("Não achou o produto.");
  Estado::Pedido p;
  p.produto = linha.produto;
  p.quantidade = linha.quantidade;
  p.linha = &linha;
  const int r = estado_->vende(std::move(p));
  estado_->tabela.close();
  return r;
}

std::int32_t EntradaItem::tabela() const { return estado_->tabela_preco; }

std::string EntradaItem::nome_tabela() const { return nome_tabela(estado_->tabela_preco); }

std::string EntradaItem::nome_tabela(std::int32_t tabela) const {
  switch (tabela) {
    case 0: return "Normal";
    case 11: return "Custo";
    case 12: return "Compra";
    case 13: return "Mínimo";
    case 14: return "Padrão";
    default: break;
  }
  if (tabela < 1 || tabela > 10) return {};
  const std::string descricao = text::clip(estado_->valores.S_TEM_DESCRICAO_TABELA[tabela - 1]);
  return descricao.empty() ? "Tabela" + std::to_string(tabela) : descricao;
}

std::vector<TabelaPreco> EntradaItem::tabelas_permitidas() {
  Estado& e = *estado_;
  std::vector<TabelaPreco> tabelas;
  std::int32_t codigo = 0;
  e.tabela.clear_fields();
  e.tabela.bind_long(codigo);
  if (e.tabela.open() != 1 ||
      e.tabela.execute("Select i_ufp_codigo_tab_apr from usuario_forma_pagto where i_ufp_codigo_par = " +
                       sql_integer(e.valores.OPERADOR) + " order by i_ufp_codigo_tab_apr;") != 1) {
    e.falha_banco("Erro ao selecionar tabelas de preços!|");
    return {};
  }
  while (e.tabela.next() == 1) tabelas.push_back({codigo, nome_tabela(codigo)});
  e.tabela.close();
  return tabelas;
}

int EntradaItem::escolhe_tabela(std::int32_t tabela) {
  Estado& e = *estado_;
  const std::vector<TabelaPreco> permitidas = tabelas_permitidas();
  bool permitida = false;
  for (const TabelaPreco& t : permitidas) permitida = permitida || t.codigo == tabela;
  if (!permitida) {
    if (!permitidas.empty()) e.aviso("Tabela de preços " + std::to_string(tabela) + " não permitida para o usuário.");
    return 0;
  }
  if (tabela == e.tabela_preco) return 1;
  if (e.venda.Get_Quantidade_Itens() == 0) {
    e.tabela_preco = tabela;
    return 1;
  }
  return e.revende(tabela);
}

}  // namespace fvn
