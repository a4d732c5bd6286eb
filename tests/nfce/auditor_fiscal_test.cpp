// The pre-emission audits on rows of the shop database: the demo shop's own
// rows, and rows built in the test database for each refusal. Each table
// reads its row with the audit's reader, audits it and checks the outcome:
// accepted (and the earlier refusal left in place) or refused with the exact
// code, text and audit name.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audit_fixture.h"
#include "nfce/audit_rows.h"

namespace fvn::testing {
namespace {

template <typename Dados>
struct Linha {
  std::string nome;
  std::int32_t codigo = 0;             // the row read from the database
  std::string sql{};                   // builds or changes that row first
  std::function<void(Dados&)> muda{};  // a change the table cannot hold (code 0, empty CEP)
  bool nfce = true;                    // the NFC-e emitter is audited first
  std::int32_t codigo_erro = kAceita;
  std::string mensagem{};
};

template <typename Dados>
std::string nome_da_linha(const ::testing::TestParamInfo<Linha<Dados>>& info) {
  return info.param.nome;
}

template <typename Dados>
class TabelaAuditoria : public AuditTest, public ::testing::WithParamInterface<Linha<Dados>> {
 protected:
  using Leitor = int (*)(PassthroughTable&, std::int32_t, Dados&, std::string&);
  using Auditoria = int (AUDITOR_FISCAL::*)(const Dados&);

  void confere(Leitor le, Auditoria audita, std::string_view funcao) {
    const Linha<Dados>& linha = this->GetParam();
    sql(linha.sql);
    emissor(linha.nfce);
    Dados dados;
    std::string erro;
    ASSERT_EQ(le(*table_, linha.codigo, dados, erro), 1) << erro;
    if (linha.muda) linha.muda(dados);
    marca_erro_anterior();
    espera_resultado((auditor_.get()->*audita)(dados), linha.codigo_erro, linha.mensagem, funcao);
    EXPECT_TRUE(ui_.messages().empty()) << "the auditor shows nothing";
  }
};

// --- company ------------------------------------------------------------------

using Empresa = AUDITOR_FISCAL::DADOS_EMPRESA;
using LinhaEmpresa = Linha<Empresa>;
class EmpresaAuditada : public TabelaAuditoria<Empresa> {};

std::string empresa1(const std::string& set) { return "update tempresa set " + set + " where ccodempresa = 1"; }

TEST_P(EmpresaAuditada, Regras) {
  confere(le_empresa_auditoria, &AUDITOR_FISCAL::Audita_Empresa, "Audita_Empresa");
  if (GetParam().codigo_erro == kAceita) {
    EXPECT_EQ(auditor_->EMPRESA.CODIGO, GetParam().codigo);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Empresas, EmpresaAuditada,
    ::testing::ValuesIn(std::vector<LinhaEmpresa>{
        {"MerceariaSimples", 1},
        {"FerramentasSemMensagem", 2},
        {"RazaoDeUmDigito",
         1,
         empresa1("crazempresa = '7'"),
         {},
         true,
         9,
         "Razão social da empresa inválida ou não preenchida."},
        {"RazaoDeDoisDigitosPassa", 1, empresa1("crazempresa = '77'")},
        {"RazaoComPipe",
         1,
         empresa1("crazempresa = 'BOA|VISTA'"),
         {},
         true,
         44,
         "Razão social da empresa inválida.|" + kPipe},
        {"CodigoZero", 1, "", [](Empresa& e) { e.CODIGO = 0; }, true, 1, "Código da empresa inválido."},
        {"CnpjDigitoErrado",
         1,
         empresa1("ccnpjempresa = '11222333000182'"),
         {},
         true,
         2,
         "CNPJ inválido, o digito de validação não confere com cálculo do validador = 11222333000182"},
        {"IeDeOutraUf",
         2,
         "update tempresa set cinsempresa = '0623079040081' where ccodempresa = 2",
         {},
         true,
         4,
         "Inscrição Estadual informada é inválida : 0623079040081|Verifique a Inscrição Estadual e a UF informada."},
        {"IeVaziaNaoConferida", 1, empresa1("cinsempresa = ''")},
        {"MunicipioForaDaTabela",
         1,
         "insert into tcep (ccodcep, s_tce_uf, i_tce_codigo_uf, i_tce_codigo_cidade) values (30999000, 'MG', 31, "
         "3199999);" +
             empresa1("ccepempresa = 30999000"),
         {},
         true,
         5,
         "Código do município não consta na tabela de municípios"},
        {"BairroComO", 1, empresa1("cbaiempresa = 'SÃO BENTØ'"), {}, true, 43, "Bairro da empresa inválido.|" + kO},
    }),
    nome_da_linha<Empresa>);

// --- client -------------------------------------------------------------------

using Cliente = AUDITOR_FISCAL::DADOS_CLIENTE;
using LinhaCliente = Linha<Cliente>;
class ClienteAuditado : public TabelaAuditoria<Cliente> {};

std::string cliente(int codigo, const std::string& set) {
  return "update aclientes set " + set + " where ccodigo = " + std::to_string(codigo);
}
// The bakery of the demo shop (CNPJ, IE of MG) with a telephone.
std::string padaria(const std::string& set) {
  return cliente(3, "cfonecomercial = '3232150000'" + (set.empty() ? "" : ", " + set));
}
// A complete client without any document, named `nome`.
std::string sem_documento(const std::string& nome) {
  return cliente(1, "cnomecliente = '" + nome +
                        "', s_acl_endereco = 'RUA A', s_acl_bairro = 'CENTRO', cfoneresidencial = '3133334444'");
}

TEST_P(ClienteAuditado, Regras) {
  confere(le_cliente_auditoria, &AUDITOR_FISCAL::Audita_Cliente, "Audita_Cliente");
  EXPECT_EQ(auditor_->CLIENTE.CODIGO, GetParam().codigo_erro == kAceita ? GetParam().codigo : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Clientes, ClienteAuditado,
    ::testing::ValuesIn(std::vector<LinhaCliente>{
        {"PessoaComCpf", 2},
        {"PessoaDeOutraUfComCelular", 4},
        {"ConsumidorDaDemonstracaoSemEndereco", 1, "", {}, true, 15, "Endereço do cliente não preenchido."},
        {"PadariaSemTelefone", 3, "", {}, true, 16, "Parâmetro vazio, nenhum telefone foi informado."},
        {"PadariaComTelefone", 3, padaria("")},
        {"CodigoZero", 2, "", [](Cliente& c) { c.CODIGO = 0; }, true, 13, "Código do cliente inválido."},
        {"NomeVazio", 2, cliente(2, "cnomecliente = ' '"), {}, true, 14, "Nome do cliente não preenchido."},
        {"EnderecoComO",
         2,
         cliente(2, "s_acl_endereco = 'RUA Ø'"),
         {},
         true,
         54,
         "Endereço do cliente inválido.|" + kO},
        {"TelefoneSemDdd",
         2,
         cliente(2, "cfoneresidencial = '33345566'"),
         {},
         true,
         16,
         "Telefone informado está preenchido incorretamente.|Preenchimento correto -> DDD+TELEFONE"},
        {"CpfECnpj",
         2,
         cliente(2, "s_acl_cnpj = '12345678000195'"),
         {},
         true,
         17,
         "Não é permitido o preenchimento de CPF e CNPJ simultaneamente para o cliente."},
        {"CpfInvalido",
         2,
         cliente(2, "s_acl_cpf = '12345678900'"),
         {},
         true,
         18,
         "CPF Inválido, o digito de validação não confere com cálculo do validador = 12345678900"},
        {"CnpjInvalido",
         3,
         padaria("s_acl_cnpj = '12345678000196'"),
         {},
         true,
         19,
         "CNPJ inválido, o digito de validação não confere com cálculo do validador = 12345678000196"},
        {"CnpjSemIe",
         3,
         padaria("s_acl_inscricao_estadual = ''"),
         {},
         true,
         20,
         "Inscrição Estadual do cliente não preenchida."},
        {"CnpjComIeIsento", 3, padaria("s_acl_inscricao_estadual = 'isento'")},
        {"CnpjComIeInvalida",
         3,
         padaria("s_acl_inscricao_estadual = '0623079040163'"),
         {},
         true,
         21,
         "Inscrição Estadual informada é inválida : 0623079040163|Verifique a Inscrição Estadual e a UF informada."},
        {"MunicipioForaDaTabela",
         2,
         "insert into tcep (ccodcep, s_tce_uf, i_tce_codigo_uf, i_tce_codigo_cidade) values (30999000, 'MG', 31, "
         "3199999);" +
             cliente(2, "i_acl_cep = 30999000"),
         {},
         true,
         26,
         "Código do município não consta na tabela de municípios"},
        {"ConsumidorSemDocumentoNaNfce", 1, sem_documento("Consumidor")},
        {"OutroNomeSemDocumentoNaNfce",
         1,
         sem_documento("JOAO DA ESQUINA"),
         {},
         true,
         14,
         "CPF do cliente não preenchido."},
        {"OutroNomeSemDocumentoForaDaNfce",
         1,
         sem_documento("JOAO DA ESQUINA"),
         {},
         false,
         17,
         "CPF ou CNPJ não preenchido para o cliente."},
        {"CnpjSemCpfForaDaNfce", 3, padaria(""), {}, false},
    }),
    nome_da_linha<Cliente>);

// --- operation ----------------------------------------------------------------

using Operacao = AUDITOR_FISCAL::DADOS_OPERACAO;
using LinhaOperacao = Linha<Operacao>;
class OperacaoAuditada : public TabelaAuditoria<Operacao> {};

const std::string kCfops = "|CFOPs válidas: 5.101, 5.102, 5.103, 5.104, 5.115, 5.405, 5.656, 5.667 e 5.933.";
std::string operacao5(const std::string& set) {
  return "update tnaturezaoperacao set " + set + " where i_tna_codigo_operacao = 5";
}

TEST_P(OperacaoAuditada, Regras) {
  confere(le_operacao_auditoria, &AUDITOR_FISCAL::Audita_Operacao, "Audita_Operacao");
}

INSTANTIATE_TEST_SUITE_P(
    Operacoes, OperacaoAuditada,
    ::testing::ValuesIn(std::vector<LinhaOperacao>{
        {"VendaDeMercadoria", 5},
        {"BonificacaoNaNfce",
         6,
         "",
         {},
         true,
         0,
         "CFOP de industrialização inválida para nota fiscal ao consumidor." + kCfops},
        {"BonificacaoForaDaNfce", 6, "", {}, false},
        {"AdquiridoVazio",
         5,
         operacao5("s_tna_codigo_ter_dento_estado_cfop = ''"),
         {},
         true,
         0,
         "CFOP de adquirido ou recebido de terceiros inválida para nota fiscal ao consumidor." + kCfops},
        {"AdquiridoVazioForaDaNfce", 5, operacao5("s_tna_codigo_ter_dento_estado_cfop = ''"), {}, false},
        {"IndustrializacaoComSt",
         5,
         operacao5("s_tna_codigo_st_dento_estado_cfop = '5.401'"),
         {},
         true,
         0,
         "CFOP de industrialização com ST inválida para nota fiscal ao consumidor." + kCfops},
        {"Servico",
         5,
         operacao5("s_tna_codigo_servico_dentro_estado_cfop = '5.949'"),
         {},
         true,
         0,
         "CFOP de prestação de serviço inválida para nota fiscal ao consumidor." + kCfops},
        {"CfopSemPonto",
         5,
         operacao5("s_tna_codigo_dento_estado_cfop = '5102'"),
         {},
         true,
         0,
         "CFOP de industrialização inválida para nota fiscal ao consumidor." + kCfops},
        {"TodasAsPermitidas", 5,
         operacao5("s_tna_codigo_dento_estado_cfop = '5.101', s_tna_codigo_ter_dento_estado_cfop = '5.115', "
                   "s_tna_codigo_st_dento_estado_cfop = '5.656', s_tna_codigo_st_ter_dentro_estado_cfop = '5.667', "
                   "s_tna_codigo_servico_dentro_estado_cfop = '5.104'")},
        {"ForaDoEstadoNaoAuditada", 5,
         operacao5("s_tna_codigo_fora_estado_cfop = '6.910', s_tna_codigo_servico_fora_estado_cfop = ''")},
    }),
    nome_da_linha<Operacao>);

// --- carrier ------------------------------------------------------------------

using Transportadora = AUDITOR_FISCAL::DADOS_TRANSPORTADORA;
using LinhaTransportadora = Linha<Transportadora>;
class TransportadoraAuditada : public TabelaAuditoria<Transportadora> {};

std::string transportadora1(const std::string& set) {
  return "update atransportadora set " + set + " where ccodtransportadora = 1";
}
// The demo carrier as a natural person with the CPF `cpf`.
std::string pessoa_fisica(const std::string& cpf) {
  return transportadora1("i_atr1_tipo_pessoa = 1, ccnpjtransportadora = '', ccpftransportadora = '" + cpf + "'");
}

TEST_P(TransportadoraAuditada, Regras) {
  confere(le_transportadora_auditoria, &AUDITOR_FISCAL::Audita_Transportadora, "Audita_Transportadora");
}

INSTANTIATE_TEST_SUITE_P(
    Transportadoras, TransportadoraAuditada,
    ::testing::ValuesIn(std::vector<LinhaTransportadora>{
        {"RapidoMineiro", 1},
        {"PessoaFisicaComCpf", 1, pessoa_fisica("52998224725")},
        {"CodigoZero", 1, "", [](Transportadora& dados) { dados.CODIGO_TRANSPORTADORA = 0; }, true, 27,
         "Código da transportadora inválido."},
        {"CpfECnpj",
         1,
         transportadora1("ccpftransportadora = '52998224725'"),
         {},
         true,
         28,
         "Não é permitido o preenchimento de CPF e CNPJ simultaneamente para a transportadora."},
        {"PlacaCurta",
         1,
         transportadora1("cplatransportadora = 'HMG123'"),
         {},
         true,
         31,
         "Valor Inválido, a placa informada contém menos de 7 caracteres = HMG123"},
        {"PlacaVaziaNaoConferida", 1, transportadora1("cplatransportadora = ''")},
        {"CnpjInvalido",
         1,
         transportadora1("ccnpjtransportadora = '33444555000182'"),
         {},
         true,
         32,
         "CNPJ inválido, o digito de validação não confere com cálculo do validador = 33444555000182"},
        {"CpfInvalido",
         1,
         pessoa_fisica("52998224726"),
         {},
         true,
         33,
         "CPF Inválido, o digito de validação não confere com cálculo do validador = 52998224726"},
        {"PessoaFisicaSemCpfNaNfce", 1, pessoa_fisica(""), {}, true, 33, "CPF da transportadora não preenchido."},
        {"PessoaFisicaSemCpfForaDaNfce", 1, pessoa_fisica(""), {}, false},
        {"CnpjZeradoNaNfce",
         1,
         transportadora1("ccnpjtransportadora = '00000000000000'"),
         {},
         true,
         32,
         "CNPJ da transportadora não preenchido."},
        {"TipoPessoaEmBrancoValeZero", 1, "",
         [](Transportadora& dados) {
           dados.TIPO_PESSOA = " ";
           dados.CNPJ.clear();
         },
         true, 32, "CNPJ da transportadora não preenchido."},
    }),
    nome_da_linha<Transportadora>);

}  // namespace
}  // namespace fvn::testing
