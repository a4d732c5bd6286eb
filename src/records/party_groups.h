// The parties of a sale: issuing company, operation nature, emitter,
// customer, seller, carrier with its volumes, partner and event. The facade
// keeps a copy of each; the tax-relevant ones (company, operation, emitter,
// customer) are also held by the sale object and its tax calculator.
#pragma once

#include <cstdint>
#include <string>

namespace fvn::sale {

struct GRUPO_EMPRESA {
  std::int32_t CODIGO = 0;
  std::int32_t RAMO = 0;
  double ALIQUOTA_SIMPLES = 0;
  std::int32_t TIPO = 0;  // 1 Simples Nacional, 2 regular regime
  std::string UF;
  std::string CEP;
  std::int32_t MUNICIPIO = 0;
  std::string IM;
  std::string IE;
  std::int32_t UTILIZA_RETENCAO_ISS = 0;
  double VALOR_MINIMO_ISS = 0;
  double PERC_RETENCAO_ISS = 0;
  std::int32_t UTILIZA_RETENCAO_INSS = 0;
  double VALOR_MINIMO_INSS = 0;
  double PERC_RETENCAO_INSS = 0;
  std::int32_t UTILIZA_RETENCAO_IR = 0;
  double VALOR_MINIMO_IR = 0;
  double PERC_RETENCAO_IR = 0;
  std::int32_t UTILIZA_RETENCAO_CSLL = 0;
  double VALOR_MINIMO_CSLL = 0;
  double PERC_RETENCAO_CSLL = 0;
  std::string CNPJ;
  std::int32_t UTILIZA_IPI = 0;
  std::int32_t USA_IMPOSTO_PRODUTO = 0;  // 1: approximate taxes from the IBPT table
  double PERC_APROX_IMPOSTOS = 0;
  std::string BAIRRO;
  std::string ENDERECO;
  std::string NUMERO;
  std::string RAZAO_SOCIAL;
  std::string NOME_MUNICIPIO;
  std::string MENSAGEM_IMPRESSAO_VENDA;
  std::int32_t ARREDONDA_BASE_CALCULO = 0;
  std::int32_t VALIDA_NT_2015 = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO", s.CODIGO);
    v("RAMO", s.RAMO);
    v("ALIQUOTA_SIMPLES", s.ALIQUOTA_SIMPLES);
    v("TIPO", s.TIPO);
    v("UF", s.UF, 3);
    v("CEP", s.CEP, 9);
    v("MUNICIPIO", s.MUNICIPIO);
    v("IM", s.IM, 20);
    v("IE", s.IE, 25);
    v("UTILIZA_RETENCAO_ISS", s.UTILIZA_RETENCAO_ISS);
    v("VALOR_MINIMO_ISS", s.VALOR_MINIMO_ISS);
    v("PERC_RETENCAO_ISS", s.PERC_RETENCAO_ISS);
    v("UTILIZA_RETENCAO_INSS", s.UTILIZA_RETENCAO_INSS);
    v("VALOR_MINIMO_INSS", s.VALOR_MINIMO_INSS);
    v("PERC_RETENCAO_INSS", s.PERC_RETENCAO_INSS);
    v("UTILIZA_RETENCAO_IR", s.UTILIZA_RETENCAO_IR);
    v("VALOR_MINIMO_IR", s.VALOR_MINIMO_IR);
    v("PERC_RETENCAO_IR", s.PERC_RETENCAO_IR);
    v("UTILIZA_RETENCAO_CSLL", s.UTILIZA_RETENCAO_CSLL);
    v("VALOR_MINIMO_CSLL", s.VALOR_MINIMO_CSLL);
    v("PERC_RETENCAO_CSLL", s.PERC_RETENCAO_CSLL);
    v("CNPJ", s.CNPJ, 15);
    v("UTILIZA_IPI", s.UTILIZA_IPI);
    v("USA_IMPOSTO_PRODUTO", s.USA_IMPOSTO_PRODUTO);
    v("PERC_APROX_IMPOSTOS", s.PERC_APROX_IMPOSTOS);
    v("BAIRRO", s.BAIRRO, 256);
    v("ENDERECO", s.ENDERECO, 256);
    v("NUMERO", s.NUMERO, 20);
    v("RAZAO_SOCIAL", s.RAZAO_SOCIAL, 256);
    v("NOME_MUNICIPIO", s.NOME_MUNICIPIO, 256);
    v("MENSAGEM_IMPRESSAO_VENDA", s.MENSAGEM_IMPRESSAO_VENDA, 256);
    v("ARREDONDA_BASE_CALCULO", s.ARREDONDA_BASE_CALCULO);
    v("VALIDA_NT_2015", s.VALIDA_NT_2015);
  }
};

struct GRUPO_OPERACAO {
  std::int32_t CODIGO = 0;
  std::string DESCRICAO;
  std::int32_t TIPO = 0;  // 7: import
  std::int32_t TIPO_MOVIMENTO = 0;
  std::string CFOP_IND_DENTRO;
  std::string CFOP_IND_FORA;
  std::string CFOP_ADQUIRIDO_DENTRO;
  std::string CFOP_ADQUIRIDO_FORA;
  std::string CFOP_IND_ST_DENTRO;
  std::string CFOP_IND_ST_FORA;
  std::string CFOP_ADQUIRIDO_ST_DENTRO;
  std::string CFOP_ADQUIRIDO_ST_FORA;
  std::string CFOP_SERVICO_DENTRO;
  std::string CFOP_SERVICO_FORA;
  std::int32_t ADICIONA_IPI_BASE_ICMS = 0;
  std::int32_t CALCULA_IMPOSTO_TRANFERENCIA = 0;
  std::int32_t OPERACAO_EXPORTACAO = 0;
  std::int32_t TROCA_CST_ICMS_TRANSFERENCIA = 0;
  std::int32_t ADICIONA_DESP_DEVOLUCAO_BASE_ICMS = 0;
  std::int32_t CONDICIONAL_DEFEITO = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO", s.CODIGO);
    v("DESCRICAO", s.DESCRICAO, 256);
    v("TIPO", s.TIPO);
    v("TIPO_MOVIMENTO", s.TIPO_MOVIMENTO);
    v("CFOP_IND_DENTRO", s.CFOP_IND_DENTRO, 6);
    v("CFOP_IND_FORA", s.CFOP_IND_FORA, 6);
    v("CFOP_ADQUIRIDO_DENTRO", s.CFOP_ADQUIRIDO_DENTRO, 6);
    v("CFOP_ADQUIRIDO_FORA", s.CFOP_ADQUIRIDO_FORA, 6);
    v("CFOP_IND_ST_DENTRO", s.CFOP_IND_ST_DENTRO, 6);
    v("CFOP_IND_ST_FORA", s.CFOP_IND_ST_FORA, 6);
    v("CFOP_ADQUIRIDO_ST_DENTRO", s.CFOP_ADQUIRIDO_ST_DENTRO, 6);
    v("CFOP_ADQUIRIDO_ST_FORA", s.CFOP_ADQUIRIDO_ST_FORA, 6);
    v("CFOP_SERVICO_DENTRO", s.CFOP_SERVICO_DENTRO, 6);
    v("CFOP_SERVICO_FORA", s.CFOP_SERVICO_FORA, 6);
    v("ADICIONA_IPI_BASE_ICMS", s.ADICIONA_IPI_BASE_ICMS);
    v("CALCULA_IMPOSTO_TRANFERENCIA", s.CALCULA_IMPOSTO_TRANFERENCIA);
    v("OPERACAO_EXPORTACAO", s.OPERACAO_EXPORTACAO);
    v("TROCA_CST_ICMS_TRANSFERENCIA", s.TROCA_CST_ICMS_TRANSFERENCIA);
    v("ADICIONA_DESP_DEVOLUCAO_BASE_ICMS", s.ADICIONA_DESP_DEVOLUCAO_BASE_ICMS);
    v("CONDICIONAL_DEFEITO", s.CONDICIONAL_DEFEITO);
  }
};

struct GRUPO_EMISSOR {
  std::int32_t CODIGO = 0;
  std::int32_t TIPO = 0;       // 1: prints on a fiscal printer
  std::int32_t MARCA_ECF = 0;  // printer make

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO", s.CODIGO);
    v("TIPO", s.TIPO);
    v("MARCA_ECF", s.MARCA_ECF);
  }
};

struct GRUPO_CLIENTE {
  std::int32_t CODIGO = 0;
  std::string NOME;
  std::string ENDERECO;
  std::string CIDADE;
  std::string UF;
  std::string FONE;
  std::string CPF;
  std::string CNPJ;
  std::string IE;
  std::string IM;
  std::int32_t TIPO = 0;
  std::int32_t SUSPENSAO_RETENCAO = 0;
  std::int32_t CONCESSAO_ICMS_ST = 0;
  std::string INSCRICAO_RURAL;
  std::string BAIRRO;
  std::int32_t NUMERO = 0;
  std::int32_t MUNICIPIO = 0;
  std::string UF_ENTREGA;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO", s.CODIGO);
    v("NOME", s.NOME, 256);
    v("ENDERECO", s.ENDERECO, 256);
    v("CIDADE", s.CIDADE, 31);
    v("UF", s.UF, 3);
    v("FONE", s.FONE, 12);
    v("CPF", s.CPF, 12);
    v("CNPJ", s.CNPJ, 15);
    v("IE", s.IE, 20);
    v("IM", s.IM, 20);
    v("TIPO", s.TIPO);
    v("SUSPENSAO_RETENCAO", s.SUSPENSAO_RETENCAO);
    v("CONCESSAO_ICMS_ST", s.CONCESSAO_ICMS_ST);
    v("INSCRICAO_RURAL", s.INSCRICAO_RURAL, 20);
    v("BAIRRO", s.BAIRRO, 256);
    v("NUMERO", s.NUMERO);
    v("MUNICIPIO", s.MUNICIPIO);
    v("UF_ENTREGA", s.UF_ENTREGA, 3);
  }
};

struct GRUPO_VENDEDOR {
  std::int32_t CODIGO = 0;
  std::string NOME;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO", s.CODIGO);
    v("NOME", s.NOME, 256);
  }
};

struct GRUPO_TRANSPORTADORA {
  std::int32_t CODIGO_TRANSPORTADORA = 0;
  std::string RAZAO_SOCIAL;
  std::string CNPJ;
  std::string TIPO_PESSOA;
  std::string CPF;
  std::string ENDERECO;
  std::string MUNICIPIO;
  std::string UF;
  std::string IE;
  std::string ANTT;
  std::string PLACA;
  std::string UF_VEICULO;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO_TRANSPORTADORA", s.CODIGO_TRANSPORTADORA);
    v("RAZAO_SOCIAL", s.RAZAO_SOCIAL, 51);
    v("CNPJ", s.CNPJ, 15);
    v("TIPO_PESSOA", s.TIPO_PESSOA, 2);
    v("CPF", s.CPF, 12);
    v("ENDERECO", s.ENDERECO, 51);
    v("MUNICIPIO", s.MUNICIPIO, 36);
    v("UF", s.UF, 3);
    v("IE", s.IE, 21);
    v("ANTT", s.ANTT, 21);
    v("PLACA", s.PLACA, 21);
    v("UF_VEICULO", s.UF_VEICULO, 3);
  }
};

struct GRUPO_VOLUME {
  double PESO_LIQUIDO_VOLUME = 0;
  double PESO_BRUTO_VOLUME = 0;
  std::int32_t QTDE_VOLUME = 0;
  std::string ESPECIE_VOLUME;
  std::string MARCA_VOLUME;
  std::string NUMERO_VOLUME;
  double PESO_LIQUIDO_VOLUME_DIG = 0;
  double PESO_BRUTO_VOLUME_DIG = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("PESO_LIQUIDO_VOLUME", s.PESO_LIQUIDO_VOLUME);
    v("PESO_BRUTO_VOLUME", s.PESO_BRUTO_VOLUME);
    v("QTDE_VOLUME", s.QTDE_VOLUME);
    v("ESPECIE_VOLUME", s.ESPECIE_VOLUME, 31);
    v("MARCA_VOLUME", s.MARCA_VOLUME, 16);
    v("NUMERO_VOLUME", s.NUMERO_VOLUME, 16);
    v("PESO_LIQUIDO_VOLUME_DIG", s.PESO_LIQUIDO_VOLUME_DIG);
    v("PESO_BRUTO_VOLUME_DIG", s.PESO_BRUTO_VOLUME_DIG);
  }
};

struct GRUPO_PARCEIRO {
  std::int32_t CODIGO = 0;
  std::string DESCRICAO;
  double PERC_COMISSAO_VISTA = 0;
  double PERC_COMISSAO_PRAZO = 0;
  double PERC_COMISSAO_GERAL = 0;
  double PERC_CREDITO_PARCEIRO = 0;
  double PERC_DESCONTO = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO", s.CODIGO);
    v("DESCRICAO", s.DESCRICAO, 256);
    v("PERC_COMISSAO_VISTA", s.PERC_COMISSAO_VISTA);
    v("PERC_COMISSAO_PRAZO", s.PERC_COMISSAO_PRAZO);
    v("PERC_COMISSAO_GERAL", s.PERC_COMISSAO_GERAL);
    v("PERC_CREDITO_PARCEIRO", s.PERC_CREDITO_PARCEIRO);
    v("PERC_DESCONTO", s.PERC_DESCONTO);
  }
};

struct GRUPO_EVENTO {
  std::int32_t CODIGO = 0;
  std::string DESCRICAO;
  std::int32_t CODIGO_CLIENTE = 0;
  std::int32_t CODIGO_VENDEDOR = 0;
  std::int32_t CODIGO_EMPRESA = 0;
  std::int32_t SITUACAO = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO", s.CODIGO);
    v("DESCRICAO", s.DESCRICAO, 256);
    v("CODIGO_CLIENTE", s.CODIGO_CLIENTE);
    v("CODIGO_VENDEDOR", s.CODIGO_VENDEDOR);
    v("CODIGO_EMPRESA", s.CODIGO_EMPRESA);
    v("SITUACAO", s.SITUACAO);
  }
};

}  // namespace fvn::sale
