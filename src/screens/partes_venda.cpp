#include "screens/partes_venda.h"

#include <utility>

#include "data/sql_values.h"
#include "nfce/audit_rows.h"
#include "runtime/picture.h"
#include "runtime/text.h"
#include "screens/condicao_pagto.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";
constexpr std::string_view kDevolucao = "DEVOLUÇÃO DE CLIENTE";

// Two decimals with a decimal comma, trimmed: 3 -> "3,00".
std::string duas_casas(double valor) { return text::trim(format_picture(valor, "@n12`2")); }

// The operation's kind (ctpvnatureza) as the tax engine numbers it; 0 for a
// kind it does not know, which the facade refuses.
std::int32_t tipo_operacao(std::string_view tipo) {
  static constexpr std::pair<std::string_view, std::int32_t> kTipos[] = {
      {"VENDA", 1},
      {"COMPRA", 2},
      {"DEVOLUÇÃO DE CLIENTE", 3},
      {"DEVOLUCAO DE CLIENTE", 3},
      {"REMESSA", 4},
      {"BONIFICAÇÃO", 4},
      {"BONIFICACAO", 4},
      {"DEVOLUÇÃO A FORNECEDOR", 5},
      {"DEVOLUCAO A FORNECEDOR", 5},
      {"TRANSFERÊNCIA", 6},
      {"TRANSFERENCIA", 6},
      {"IMPORTAÇÃO", 7},
      {"IMPORTACAO", 7},
      {"OUTRAS", 8},
  };
  const std::string t = text::upper(text::trim(tipo));
  for (const auto& [nome, numero] : kTipos) {
    if (t == nome) return numero;
  }
  return 0;
}

// The movement (cexsnatureza): 1 entry, 2 exit.
std::int32_t tipo_movimento(std::string_view movimento) {
  const std::string m = text::upper(text::trim(movimento));
  if (m == "ENTRADA") return 1;
  if (m == "SAIDA" || m == "SAÍDA") return 2;
  return 0;
}

// The audit's row readers say "... não encontrado(a)." when the row is
// missing; a failed statement starts with its "Erro ao ..." context.
bool lido_sem_linha(std::string_view erro) { return erro.rfind("Erro ao ", 0) != 0; }

// The carrier's audit record and the sale's group carry the same fields.
sale::GRUPO_TRANSPORTADORA grupo_de(const AUDITOR_FISCAL::DADOS_TRANSPORTADORA& t) {
  return {t.CODIGO_TRANSPORTADORA,
          t.RAZAO_SOCIAL,
          t.CNPJ,
          t.TIPO_PESSOA,
          t.CPF,
          t.ENDERECO,
          t.MUNICIPIO,
          t.UF,
          t.IE,
          t.ANTT,
          t.PLACA,
          t.UF_VEICULO};
}

}  // namespace

PartesVenda::PartesVenda(HostUi& ui, JanelasVenda& janelas, std::string connection, const ModuleValues& valores,
                         sale::CLASSE_VENDA& venda, DescontoVenda& desconto)
    : ui_(ui),
      janelas_(janelas),
      table_("PARTES_VENDA", connection),
      valores_(valores),
      venda_(venda),
      desconto_(desconto),
      servicos_(std::move(connection), valores.COD_EMPR) {}

PartesVenda::~PartesVenda() = default;

AUDITOR_FISCAL& PartesVenda::auditor() {
  if (auditor_ == nullptr) {
    auditor_proprio_ = std::make_unique<AUDITOR_FISCAL>(ui_);
    auditor_ = auditor_proprio_.get();
  }
  return *auditor_;
}

int PartesVenda::aviso(std::string_view texto, std::string_view titulo) {
  ui_.message(texto, titulo, MessageIcon::Exclamation);
  return 0;
}

int PartesVenda::falha_sql(std::string_view contexto) {
  ui_.message(table_.error_text(contexto), "Erro", MessageIcon::Error);
  return 0;
}

int PartesVenda::falha_triplo(std::string_view contexto, const ErrorTriple& origem, std::string_view titulo) {
  ui_.message(std::string{contexto} + origem.display(), titulo, MessageIcon::Error);
  return 0;
}

int PartesVenda::le(const std::string& sql, std::string_view contexto) {
  if (table_.open() != 1 || table_.execute(sql) != 1) return falha_sql(contexto) - 1;
  if (table_.next() == 1) return 1;
  if (!table_.at_end()) return falha_sql(contexto) - 1;
  return 0;
}

bool PartesVenda::tem_itens() const { return venda_.Get_Quantidade_Itens() > 0; }

bool PartesVenda::consumidor() const {
  return venda_.CLIENTE.CODIGO != 0 && text::upper(text::trim(venda_.CLIENTE.NOME)) == kConsumidor;
}

int PartesVenda::empresa() {
  std::string erro;
  AUDITOR_FISCAL::DADOS_EMPRESA dados;
  if (le_empresa_auditoria(table_, valores_.COD_EMPR, dados, erro) != 1) {
    return aviso(lido_sem_linha(erro) ? "Nenhum dado retornou da busca na tabela TEmpresa.|Erro: " + erro : erro,
                 "Erro");
  }
  sale::GRUPO_EMPRESA e;
  e.CODIGO = dados.CODIGO;
  e.TIPO = dados.TIPO;
  e.UF = dados.UF;
  e.CEP = dados.CEP;
  e.MUNICIPIO = dados.MUNICIPIO;
  e.IE = dados.IE;
  e.CNPJ = dados.CNPJ;
  e.BAIRRO = dados.BAIRRO;
  e.ENDERECO = dados.ENDERECO;
  e.NUMERO = dados.NUMERO;
  e.RAZAO_SOCIAL = dados.RAZAO_SOCIAL;
  e.NOME_MUNICIPIO = dados.NOME_MUNICIPIO;
  e.MENSAGEM_IMPRESSAO_VENDA = dados.MENSAGEM_IMPRESSAO_VENDA;
  // The company's tax settings the audit does not read.
  table_.clear_fields();
  table_.bind_long(e.RAMO)
      .bind_real(e.ALIQUOTA_SIMPLES)
      .bind_text(e.IM, 20)
      .bind_long(e.UTILIZA_IPI)
      .bind_long(e.USA_IMPOSTO_PRODUTO)
      .bind_real(e.PERC_APROX_IMPOSTOS)
      .bind_long(e.ARREDONDA_BASE_CALCULO)
      .bind_long(e.VALIDA_NT_2015);
  if (le("select i_tem_ramo, n_tem_aliquota_simples, i_tem_insc_municipal, i_tem_utiliza_ipi, i_tem_imposto_emp_pro, "
         "n_tem_perc_aprox_impos, i_tem_arredonda_base_calculo, i_tem_valida_nt_2015 from tempresa where "
         "ccodempresa = " +
             sql_integer(valores_.COD_EMPR),
         "Erro ao buscar dados na tabela TEmpresa.|Erro: ") != 1) {
    return 0;  // the row was there a moment ago: a failure, already shown
  }
  // A new sale is never judged against the parties of the one before.
  auditor().Nova_Venda();
  if (auditor().Audita_Empresa(dados) != 1) return falha_triplo("Erro ao auditar dados da empresa.|", auditor());
  if (venda_.Set_Dados_Empresa(e) != 1) return falha_triplo("Erro ao setar dados da empresa.|", venda_);
  return 1;
}

int PartesVenda::emissor(std::int32_t serie) {
  if (tem_itens()) return aviso("Não é possível alterar o emissor após o início da venda de itens.");
  std::int32_t codigo = 0;
  std::int32_t tipo_serie = 0;
  std::int32_t impressora = 0;
  std::string descricao;
  std::int32_t formulario = 0;
  std::string report;
  std::string descricao_usuario;
  std::int32_t eletronica = 0;
  std::int32_t tipo_serie_2 = 0;
  std::int32_t valida = 0;
  table_.clear_fields();
  table_.bind_long(codigo)
      .bind_long(tipo_serie)
      .bind_long(impressora)
      .bind_text(descricao, 101)
      .bind_long(formulario)
      .bind_text(report, 21)
      .bind_text(descricao_usuario, 101)
      .bind_long(eletronica)
      .bind_long(tipo_serie_2)
      .bind_long(valida);
  const std::string empresa = sql_integer(valores_.COD_EMPR);
  const int lido =
      le("Select cserserie, ctiposerie , cimpserie , cdesserie , CForSerie , s_tse_1report_manager , "
         "s_tse_descricao_usuario,i_tse_nf_eletronica, ctiposerie, i_tse_valida_dados from TSeriesNF left join "
         "TSerieUsuarios on cod_ser_usu = cserserie where (" +
             empresa + " = 0 or " + empresa + " = CEmpSerie) and cod_usu_usu = " + sql_integer(valores_.OPERADOR) +
             " and ctiposerie = 0 and cimpserie = 0 and i_tse_nota_servico = 0 and cserserie = " + sql_integer(serie) +
             " order by 1;",
         "Erro ao buscar dados na tabela TSeriesNF.|Erro: ");
  if (lido < 0) return 0;
  if (lido == 0) {
    return aviso("Erro ao buscar dados do emissor na tabela TSeriesNF.|Emissor " + std::to_string(serie) +
                     " não encontrado ou não permitido para o usuário.",
                 "Erro");
  }
  // Only an electronic invoice series issues the consumer's note.
  if (eletronica != 1) return aviso("O emissor selecionado não é do tipo Nota Fiscal. Selecione outro emissor.");
  std::string erro;
  AUDITOR_FISCAL::DADOS_EMISSOR dados;
  if (le_emissor_auditoria(table_, codigo, dados, erro) != 1) {
    return aviso("Erro ao buscar dados do emissor na tabela TSeriesNF.|" + erro, "Erro");
  }
  if (auditor().Audita_Emissor(dados) != 1) return falha_triplo("Erro ao auditar dados do emissor.|", auditor());
  if (venda_.Set_Dados_Emissor({dados.CODIGO, dados.TIPO, 0}) != 1) {
    return falha_triplo("Erro ao setar dados do emissor.|", venda_);
  }
  descricao_emissor_ = text::trim(descricao);
  // The conditions, and the payees of the new series once the entities
  // they name are loaded (a new sale loads them after the emitter).
  condicoes_pagamento();
  if (!venda_.PAGAMENTO->ENTIDADES.empty()) favorecidos();
  return 1;
}

int PartesVenda::operacao(std::int32_t operacao) {
  if (tem_itens()) return aviso("Não é possível alterar a operação após o início da venda de itens.");
  if (operacao == 0) return aviso("Nenhuma operação de venda padrão foi definida para esse usuário!");
  sale::GRUPO_OPERACAO op;
  std::string tipo;
  std::string movimento;
  std::int32_t contra_nota = 0;
  std::string prefixo;
  std::int32_t imposto_aprox = 0;
  std::string transacao;
  table_.clear_fields();
  table_.bind_long(op.ADICIONA_IPI_BASE_ICMS)
      .bind_text(op.DESCRICAO, 256)
      .bind_text(tipo, 41)
      .bind_text(movimento, 11)
      .bind_text(op.CFOP_IND_DENTRO, 6)
      .bind_text(op.CFOP_IND_FORA, 6)
      .bind_text(op.CFOP_ADQUIRIDO_DENTRO, 6)
      .bind_text(op.CFOP_ADQUIRIDO_FORA, 6)
      .bind_text(op.CFOP_IND_ST_DENTRO, 6)
      .bind_text(op.CFOP_IND_ST_FORA, 6)
      .bind_text(op.CFOP_ADQUIRIDO_ST_DENTRO, 6)
      .bind_text(op.CFOP_ADQUIRIDO_ST_FORA, 6)
      .bind_text(op.CFOP_SERVICO_DENTRO, 6)
      .bind_text(op.CFOP_SERVICO_FORA, 6)
      .bind_long(contra_nota)
      .bind_text(prefixo, 11)
      .bind_long(imposto_aprox)
      .bind_text(transacao, 4)
      .bind_long(op.CALCULA_IMPOSTO_TRANFERENCIA)
      .bind_long(op.OPERACAO_EXPORTACAO)
      .bind_long(op.TROCA_CST_ICMS_TRANSFERENCIA)
      .bind_long(op.ADICIONA_DESP_DEVOLUCAO_BASE_ICMS)
      .bind_long(op.CONDICIONAL_DEFEITO);
  const int lido =
      le("Select coalesce(i_tna_adiciona_ipi_icms,0), cdesnatureza, ctpvnatureza, cexsnatureza, "
         "s_tna_codigo_dento_estado_cfop, s_tna_codigo_fora_estado_cfop, s_tna_codigo_ter_dento_estado_cfop, "
         "s_tna_codigo_ter_fora_estado_cfop, s_tna_codigo_st_dento_estado_cfop, s_tna_codigo_st_fora_estado_cfop, "
         "s_tna_codigo_st_ter_dentro_estado_cfop, s_tna_codigo_st_ter_fora_estado_cfop, "
         "s_tna_codigo_servico_dentro_estado_cfop, s_tna_codigo_servico_fora_estado_cfop, i_tna_contra_nota, "
         "cprenatureza, coalesce(i_tna_imposto_aprox,0), ctranatureza, i_tna_imposto_tranferencia, "
         "i_tna_ope_exportacao,  i_tna_troca_cst_icms_transferencia, i_tna_adiciona_desp_devolucao_base_icms, "
         "i_tna_condicional_defeito from TOperacaoUsuario Inner join tnaturezaoperacao on i_tna_codigo_operacao = "
         "i_top_codigo_operacao_tna and i_tna_codigo_operacao = " +
             sql_integer(operacao) + " where i_top_codigo_par = " + sql_integer(valores_.OPERADOR),
         "Erro ao buscar dados na tabela TOperacaoUsuario.|Erro: ");
  if (lido < 0) return 0;
  if (lido == 0) {
    return aviso("Nenhum dado retornou da busca na tabela TOperacaoUsuario.|Erro: Operação " +
                     std::to_string(operacao) + " não encontrada ou não permitida para o usuário.",
                 "Erro");
  }
  op.CODIGO = operacao;
  op.TIPO = tipo_operacao(tipo);
  op.TIPO_MOVIMENTO = tipo_movimento(movimento);
  const bool devolucao = op.TIPO == 3;
  if (op.TIPO_MOVIMENTO == 1 && !devolucao) {
    return aviso("Apenas operações do tipo \"" + std::string{kDevolucao} +
                 "\" podem ser usadas para movimentos de ENTRADA.");
  }
  if (devolucao && contra_nota != 1) {
    return aviso("O tipo de operação \"" + std::string{kDevolucao} +
                 "\" deve estar marcado para ser usado como CONTRA-NOTA.|Por favor verifique!");
  }
  if (auditor().Audita_Operacao(AUDITOR_FISCAL::operacao_de(op)) != 1) {
    return falha_triplo("Erro ao auditar dados da operação.|", auditor());
  }
  if (venda_.Set_Dados_Operacao(op) != 1) return falha_triplo("Erro ao setar dados da operação.|", venda_);
  descricao_operacao_ = text::trim(op.DESCRICAO);
  return 1;
}

int PartesVenda::cliente(std::int32_t cliente) {
  if (tem_itens()) return aviso("Não é possível alterar o cliente após o início da venda de itens.");
  return aplica_cliente(cliente);
}

int PartesVenda::cliente_acima_limite(std::int32_t cliente) {
  if (!consumidor()) return aviso("Não é possível alterar o cliente após o início da venda de itens.");
  const std::int32_t antes = venda_.CLIENTE.CODIGO;
  if (aplica_cliente(cliente) != 1) return 0;
  if (!consumidor()) return 1;
  // Another generic customer would not lift the limit: back to the one before.
  aplica_cliente(antes);
  return aviso("Por favor, escolha um cliente que não seja consumidor.");
}

int PartesVenda::aplica_cliente(std::int32_t cliente) {
  if (cliente <= 0) return aviso("Campo código do cliente inválido.|Informe um código válido.");
  sale::GRUPO_CLIENTE c;
  std::string numero;
  std::int32_t ativo = 0;
  std::int32_t bloqueado = 0;
  double perc_desconto = 0;
  std::int32_t prazo = 0;
  std::int32_t parceria = 0;
  table_.clear_fields();
  table_.bind_text(c.NOME, 256)
      .bind_text(c.IM, 20)
      .bind_long(c.TIPO)
      .bind_long(c.SUSPENSAO_RETENCAO)
      .bind_long(c.CONCESSAO_ICMS_ST)
      .bind_text(c.INSCRICAO_RURAL, 20)
      .bind_text(numero, 61)
      .bind_text(c.UF_ENTREGA, 3)
      .bind_long(ativo)
      .bind_long(bloqueado)
      .bind_real(perc_desconto)
      .bind_long(prazo)
      .bind_long(parceria);
  const int lido =
      le("select cnomecliente, s_acl_inscricao_municipal, i_acl_tipo_pessoa, i_acl_suspensao_retencao, "
         "i_acl_concessao_icms_st, s_acl_inscricao_rural, i_acl_endereco_numero, s_acl_uf_entrega, i_acl_ativo, "
         "i_acl_bloqueado_venda, n_acl_perc_desconto, i_acl_compra_prazo, coalesce(i_acl_codigo_prc, 0) from "
         "aclientes where ccodigo = " +
             sql_integer(cliente),
         "Erro ao buscar dados do cliente na tabela aclientes.|Erro: ");
  if (lido < 0) return 0;
  if (lido == 0) return aviso("Código de cliente inexistente, informe um código válido.");
  const std::string identificacao = "Cliente " + std::to_string(cliente) + " - " + text::trim(c.NOME);
  if (ativo != 1) return aviso(identificacao + " está inativo e não pode ser utilizado na emissão da Nota.");
  if (bloqueado == 1) return aviso(identificacao + " está bloqueado para as vendas.");

  // Address, documents and municipality as the audit reads them.
  std::string erro;
  AUDITOR_FISCAL::DADOS_CLIENTE dados;
  if (le_cliente_auditoria(table_, cliente, dados, erro) != 1) {
    return aviso("Erro ao buscar dados do cliente.|" + erro, "Erro");
  }
  c.CODIGO = dados.CODIGO;
  c.ENDERECO = dados.ENDERECO;
  c.CIDADE = dados.CIDADE;
  c.UF = dados.UF;
  c.FONE = dados.FONE;
  c.CPF = dados.CPF;
  c.CNPJ = dados.CNPJ;
  c.IE = dados.IE;
  c.BAIRRO = dados.BAIRRO;
  c.MUNICIPIO = dados.MUNICIPIO;
  // "S/N" and other non-numbers are no number.
  const std::string digitos = text::digits(numero);
  c.NUMERO = digitos.empty() || digitos.size() > 9 ? 0 : std::stoi(digitos);

  const bool generico = text::upper(text::trim(c.NOME)) == kConsumidor;
  if (!generico && auditor().Audita_Cliente(dados) != 1) {
    return falha_triplo("Erro ao auditar dados do cliente.|", auditor());
  }
  if (venda_.Set_Dados_Cliente(c) != 1) return falha_triplo("Erro ao setar dados do cliente.|", venda_);
  if (generico) {
    auditor().Esquece_Cliente();
    // The consumer at the counter takes the goods: no freight at all.
    venda_.TIPO_FRETE = 9;
    if (venda_.Set_Frete_Venda(0) != 1) falha_triplo("Erro ao setar frete.|", venda_);
  }
  nome_cliente_ = text::trim(c.NOME);
  compra_prazo_ = prazo == 1;
  // The customer before may have brought a discount of their own.
  if (desconto_.origem() == DescontoVenda::kOrigemCliente) desconto_.zera();

  if (!carregando_ && valores_.I_PAR_APLICA_DESCONTO_CLIENTE == 1 && perc_desconto > 0 &&
      ui_.message("O cliente selecionado possui desconto de " + duas_casas(perc_desconto) +
                      "% configurado em seu cadastro.|Deseja aplicar este desconto?",
                  "Desconto Cliente", MessageIcon::Question, "&Sim|&Não") == 1) {
    desconto_.do_cliente(perc_desconto);
  }
  if (valores_.I_TEM_UTILIZA_PARCERIA == 1 && parceria != 0) parceiro_do_cliente(parceria);
  return 1;
}

int PartesVenda::aplica_parceiro(std::int32_t codigo, std::string_view falha, std::string_view vazio) {
  sale::GRUPO_PARCEIRO parceiro;
  std::int32_t cliente_credito = 0;
  std::string nome_cliente;
  table_.clear_fields();
  table_.bind_real(parceiro.PERC_DESCONTO)
      .bind_long(cliente_credito)
      .bind_real(parceiro.PERC_CREDITO_PARCEIRO)
      .bind_text(parceiro.DESCRICAO, 256)
      .bind_text(nome_cliente, 201);
  const int lido =
      le("Select n_prc_perc_desconto_venda, i_prc_codigo_cliente_cred_acl, n_prc_perc_credito_gera_vEnda, "
         "upper(s_pcr_descricao_parceria), cnomecliente from parcerias left outer join aclientes on "
         "i_prc_codigo_cliente_cred_acl = ccodigo where i_prc_codigo = " +
             sql_integer(codigo),
         falha);
  if (lido < 0) return 0;
  if (lido == 0) {
    return aviso(std::string{vazio} + "Parceiro " + std::to_string(codigo) + " não encontrado.", "Erro");
  }
  parceiro.CODIGO = codigo;
  parceiro.DESCRICAO = text::trim(parceiro.DESCRICAO);
  if (venda_.Set_Parceiro_Venda(parceiro) != 1) {
    return aviso("Erro ao setar parceiro na nota.|Erro: " + venda_.ERROR, "Erro!");
  }
  return 1;
}

int PartesVenda::parceiro_do_cliente(std::int32_t codigo) {
  if (aplica_parceiro(codigo, "Erro ao consultar dados de desconto e crédito do parceiro.|Erro: ",
                      "Nenhum registro retornou da consulta de desconto e crédito do parceiro.|Erro: ") != 1) {
    return 0;
  }
  const sale::GRUPO_PARCEIRO& p = venda_.PARCEIRO;
  if (p.PERC_DESCONTO > 0 && !carregando_) {
    ui_.message("O cliente selecionado possui parceria com " + std::to_string(p.CODIGO) + " - " + p.DESCRICAO +
                    "|e será concedido desconto de " + duas_casas(p.PERC_DESCONTO) + "%",
                kAviso, MessageIcon::Information);
    desconto_.do_cliente(p.PERC_DESCONTO);
  }
  return 1;
}

int PartesVenda::parceiro(std::int32_t codigo) {
  if (codigo == 0) {
    venda_.Limpa_Parceiro_Venda();
    return 1;
  }
  constexpr std::string_view kFalha = "Erro ao buscar dados do parceiro.|Erro: ";
  return aplica_parceiro(codigo, kFalha, kFalha);
}

int PartesVenda::evento(std::int32_t codigo) {
  if (codigo == 0) {
    venda_.Limpa_Evento_Venda();
    return 1;
  }
  sale::GRUPO_EVENTO e;
  table_.clear_fields();
  table_.bind_text(e.DESCRICAO, 256)
      .bind_long(e.CODIGO_CLIENTE)
      .bind_long(e.CODIGO_VENDEDOR)
      .bind_long(e.CODIGO_EMPRESA)
      .bind_long(e.SITUACAO);
  constexpr std::string_view kFalha = "Erro ao buscar dados do evento.|Erro: ";
  const int lido =
      le("select s_eve_descricao, coalesce(i_eve_codigo_acl, 0), coalesce(i_eve_codigo_tve, 0), "
         "coalesce(i_eve_codigo_tem, 0), i_eve_ativo from teventos where i_eve_codigo = " +
             sql_integer(codigo),
         kFalha);
  if (lido < 0) return 0;
  if (lido == 0) return aviso(std::string{kFalha} + "Evento " + std::to_string(codigo) + " não encontrado.", "Erro");
  if (e.SITUACAO != 1)
    return aviso("Evento " + std::to_string(codigo) + " - " + text::trim(e.DESCRICAO) + " está inativo.");
  if (e.CODIGO_CLIENTE != venda_.CLIENTE.CODIGO) {
    return aviso("Erro ao setar evento na nota.|Cliente da transação diferente do cliente do evento.", "Erro!");
  }
  e.CODIGO = codigo;
  if (venda_.Set_Evento_Venda(e) != 1) return aviso("Erro ao setar evento na nota.|Erro: " + venda_.ERROR, "Erro!");
  return 1;
}

int PartesVenda::vendedor(std::int32_t vendedor) {
  std::string nome;
  std::int32_t ativo = 0;
  std::int32_t empresa = 0;
  table_.clear_fields();
  table_.bind_text(nome, 101).bind_long(ativo).bind_long(empresa);
  const int lido = le(
      "select s_tve_nome, i_tve_ativo, i_tve_codigo_tem from tvendedores where i_tve_codigo = " + sql_integer(vendedor),
      "Erro ao efetuar consulta na tabela tvendedores.|Erro: ");
  if (lido < 0) return 0;
  if (lido == 0) {
    return aviso("Erro ao buscar dados do vendedor na tabela tvendedores.|Erro: Vendedor " + std::to_string(vendedor) +
                     " não encontrado.",
                 "Erro");
  }
  nome = text::trim(nome);
  if (ativo != 1) {
    return aviso("Vendedor(a) " + std::to_string(vendedor) + " - " + nome +
                 " está inativo e não pode ser utilizado na emissão de nota fiscal.");
  }
  if (empresa != valores_.COD_EMPR) {
    return aviso("Empresa do emissor diferente da empresa do vendedor " + std::to_string(vendedor) +
                 ".|Vendedor não habilitado para a empresa do emissor.");
  }
  if (venda_.Set_Dados_Vendedor({vendedor, nome}) != 1) return falha_triplo("Erro ao selecionar vendedor.|", venda_);
  nome_vendedor_ = nome;
  return 1;
}

int PartesVenda::transportadora(std::int32_t codigo) {
  if (codigo == 0) {
    venda_.Limpa_Transportadora();
    nome_transportadora_.clear();
    return 1;
  }
  std::string erro;
  AUDITOR_FISCAL::DADOS_TRANSPORTADORA dados;
  if (le_transportadora_auditoria(table_, codigo, dados, erro) != 1) {
    return aviso(lido_sem_linha(erro) ? "Erro ao buscar dados da transportadora.|" + erro : erro, "Erro");
  }
  if (auditor().Audita_Transportadora(dados) != 1) {
    return falha_triplo("Erro ao auditar dados da transportadora.|", auditor());
  }
  if (venda_.Set_Dados_Transportadora(grupo_de(dados)) != 1) {
    return falha_triplo("Erro ao setar dados da transportadora.|", venda_);
  }
  nome_transportadora_ = text::trim(dados.RAZAO_SOCIAL);
  return 1;
}

int PartesVenda::tipo_frete(std::int32_t modalidade) {
  const bool valida = (modalidade >= 0 && modalidade <= 4) || modalidade == 9;
  if (!valida) return aviso("Tipo de frete " + std::to_string(modalidade) + " inválido.");
  if (consumidor()) {
    modalidade = 9;
    if (venda_.Set_Frete_Venda(0) != 1) return falha_triplo("Erro ao setar frete.|", venda_);
  }
  venda_.TIPO_FRETE = modalidade;
  return 1;
}

int PartesVenda::volumes(const sale::GRUPO_VOLUME& volume) {
  if (volume.QTDE_VOLUME < 0 || volume.PESO_BRUTO_VOLUME < 0 || volume.PESO_LIQUIDO_VOLUME < 0) {
    return aviso("Quantidade e pesos dos volumes não podem ser negativos.");
  }
  if (venda_.Set_Dados_Volume(volume) != 1) return falha_triplo("Erro ao setar dados do volume.|", venda_);
  return 1;
}

int PartesVenda::carrega(const std::string& sql, std::string_view falha, const std::function<int()>& adiciona) {
  if (table_.open() != 1 || table_.execute(sql) != 1) return falha_sql(falha);
  int resultado = 1;
  while (table_.next() == 1) {
    if (adiciona() != 1) resultado = 0;
  }
  if (!table_.at_end()) return falha_sql(falha);
  return resultado;
}

int PartesVenda::condicoes_pagamento() {
  constexpr std::string_view kFalha = "Erro ao Buscar Registros na Tabela TFormaPagto.|Erro: ";
  FormaPagtoLida lida;
  payment::PaymentCondition& c = lida.condicao;
  bind_columns(table_, colunas_forma_pagto(), lida);
  const std::int32_t tipo_juro = valores_.tipo_juros();
  const std::int32_t quebra = valores_.tipo_quebra();
  venda_.Limpa_Condicoes_Pagamento();
  return carrega("select " + select_list(colunas_forma_pagto(), ", ") + " from TFormaPagto order by CCodFormaPgto",
                 kFalha, [&] {
                   c.EMITE_BOLETO = lida.imprime_relatorio;
                   c.TIPO_JURO = tipo_juro;
                   c.QUEBRA = quebra;
                   if (venda_.Adiciona_Condicao(c) == 1) return 1;
                   return falha_triplo("Erro ao adicionar condição de pagamento: " + std::to_string(c.CODIGO) + "|",
                                       venda_.Get_Condicoes_Pagamento());
                 });
}

int PartesVenda::bancos() {
  constexpr std::string_view kFalha = "Erro ao buscar registros na tabela TBanco.|Erro: ";
  payment::FinancialEntity e;
  table_.clear_fields();
  table_.bind_long(e.CODIGO).bind_text(e.NOME, 256).bind_long(e.TIPO);
  venda_.PAGAMENTO->ENTIDADES.clear();
  return carrega("Select * From TBanco;", kFalha, [&] {
    if (venda_.PAGAMENTO->Adiciona_Entidade(e) == 1) return 1;
    return falha_triplo("Erro ao adicionar entidade financeira: " + std::to_string(e.CODIGO) + "|", *venda_.PAGAMENTO);
  });
}

int PartesVenda::favorecidos() {
  constexpr std::string_view kFalha = "Erro ao buscar favorecidos das formas de pagamento.|Erro: ";
  payment::GRUPO_FORMAS_PAGAMENTO f;
  std::int32_t modalidade = 0;
  table_.clear_fields();
  table_.bind_long(f.CODIGO)
      .bind_text(f.DESCRICAO, 256)
      .bind_long(f.TIPO)
      .bind_long(f.VEZES)
      .bind_long(f.DIAS)
      .bind_real(f.TAXA)
      .bind_long(f.CODIGO_ENTIDADE)
      .bind_long(modalidade);
  venda_.PAGAMENTO->FORMAS_PAGAMENTO.clear();
  const std::string sql =
      "select t.i_tef_codigo, t.s_tef_descricao, t.i_tef_tipo, t.i_tef_vezes, t.i_tef_dias, t.n_tef_taxa, "
      "coalesce(t.i_tef_codigo_tba, 0), coalesce(a.i_afa_modalidade_cartao, 0) from tabempfavorecido t join "
      "afavorecidos a on a.ccodigofavorecido = t.i_tef_codigo_afa where t.i_tef_codigo_tem = " +
      sql_integer(valores_.COD_EMPR) +
      " and (t.i_tef_codigo_tse is null or t.i_tef_codigo_tse = " + sql_integer(venda_.EMISSOR.CODIGO) +
      ") order by t.i_tef_codigo";
  return carrega(sql, kFalha, [&] {
    f.COMPOSTA = f.VEZES > 1 ? 1 : 0;
    f.DESCRICAO_ECF = text::cut(f.DESCRICAO, 50);
    // A card typed by hand: 1 credit, 2 debit, 3 any other card (vouchers).
    f.TIPO_CARTAO_MANUAL = f.TIPO != 5 ? 0 : (modalidade == 1 || modalidade == 2 ? modalidade : 3);
    if (venda_.PAGAMENTO->Adiciona_Forma_Pagamento(f) == 1) return 1;
    return falha_triplo("Erro ao adicionar forma de pagamento: " + std::to_string(f.CODIGO) + "|", *venda_.PAGAMENTO);
  });
}

int PartesVenda::libera(const std::vector<Bloqueio>& restricoes, std::string_view tipo) {
  std::string texto = "Esta transação possui as seguintes restrições: ";
  std::string motivos;
  for (const Bloqueio& b : restricoes) {
    texto += "\r\n" + b.motivo;
    motivos += (motivos.empty() ? "" : " ") + b.motivo;
  }
  texto += "\r\nInforme um usuário com permissão:";
  UserAccount supervisor;
  sale::GRUPO_DADOS_LIBERACAO liberacao;
  if (janelas_.AUTENTICACAO(Direito::Autenticacao, texto, motivos, supervisor, liberacao) != 1) return 0;
  // Every block needs its own right: one the user lacks stops the payment.
  const std::string_view falta = falta_permissao(supervisor, restricoes);
  if (!falta.empty()) return aviso(falta);
  completa_liberacao(liberacao, valores_, supervisor);
  // The sale keeps one credit-sale release: a customer's blocks released
  // before the limit keep their reasons beside the limit's.
  const sale::GRUPO_DADOS_LIBERACAO& anterior = venda_.GRUPO_DADOS_LIBERACAO_VENDA_PRAZO;
  if (anterior.DATA != 0 && anterior.TIPO_LIBERACAO != tipo) {
    liberacao.TIPO_LIBERACAO = anterior.TIPO_LIBERACAO + "; " + std::string{tipo};
    motivos = anterior.MOTIVO_LIBERACAO + " " + motivos;
  } else {
    liberacao.TIPO_LIBERACAO = tipo;
  }
  liberacao.MOTIVO_LIBERACAO = text::cut(motivos, 255);
  // A release the note would not carry is no release.
  if (venda_.Seta_Dados_Liberacao_Venda_Prazo(liberacao) != 1) {
    return falha_triplo("Erro ao setar dados da liberação da venda.|", venda_, "Erro");
  }
  return 1;
}

int PartesVenda::verifica_credito(bool a_prazo) {
  const std::int32_t cliente = venda_.CLIENTE.CODIGO;
  if (cliente == 0) return 1;  // no customer: the closing refuses the sale itself
  using Check = int (ServicosCliente::*)(std::int32_t, Bloqueio&);
  std::vector<Check> checks;
  if (a_prazo) {
    checks = {&ServicosCliente::VERIFICA_BLOQUEIO_CIDADE, &ServicosCliente::VERIFICA_BLOQUEIO_IDADE,
              &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO, &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_DIAS,
              &ServicosCliente::VERIFICACAO_SPC_CLIENTE};
  } else if (valores_.I_PAR_BLOQUEIA_CLIENTE_ATRASADO_VISTA == 1) {
    checks = {&ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_AVISTA,
              &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_DIAS_AVISTA};
  }
  std::vector<Bloqueio> restricoes;
  bool bloqueia = false;
  for (const Check check : checks) {
    Bloqueio b;
    if ((servicos_.*check)(cliente, b) != 1) continue;
    bloqueia = bloqueia || b.tipo == TipoBloqueio::Liberacao;
    restricoes.push_back(std::move(b));
  }
  if (bloqueia) return libera(restricoes, tipo_liberacao(Direito::ClienteBloqueado));
  if (restricoes.empty()) return 1;
  std::string texto = "Esta transação possuí as seguintes condições: ";
  for (const Bloqueio& b : restricoes) texto += "\r\n" + b.motivo;
  ui_.message(texto, kAviso, MessageIcon::Exclamation);
  return 1;
}

int PartesVenda::verifica_limite_credito(double total) {
  const std::int32_t cliente = venda_.CLIENTE.CODIGO;
  if (valores_.RES_BLO != 1 || cliente == 0) return 1;
  Bloqueio b;
  if (servicos_.VERIFICA_BLOQUEIO_LIMITE_CREDITO(cliente, total, b) != 1) return 1;
  if (b.tipo == TipoBloqueio::Aviso) {
    ui_.message(b.motivo, "Aviso do sistema", MessageIcon::Exclamation);
    return 1;
  }
  return libera({b}, tipo_liberacao(Direito::VendaPrazo));
}

}  // namespace fvn
