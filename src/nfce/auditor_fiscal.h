// AUDITOR_FISCAL: refuses, at the moment they enter a sale, the parties and
// items that would make the consumer invoice unacceptable: registration data
// missing or malformed, CFOPs that a consumer invoice may not carry, an
// unusable NCM, a consumer tax situation code outside the allowed lists, and
// texts with characters the document cannot hold ("|" separates the fields
// of the service's records, "Ø" is refused by the authority).
//
// Each audit returns 1, or 0 after storing the refusal in the error triple
// (text, code, the audit's name); it stops at the first rule that fails and
// leaves the triple untouched when it accepts. The auditor shows nothing.
//
// State: the auditor remembers the last accepted company and client and
// whether the last accepted emitter is the NFC-e emitter (TIPO 11). The
// emitter decides whether the NFC-e rules of the operation, client, carrier
// and item audits apply, so it is audited first; the item audit compares the
// UFs of the remembered company and client. Nova_Venda() forgets the company
// and client of the sale before, so that a sale is never judged against the
// parties of an earlier one; Esquece_Cliente() forgets the client alone, for
// a client that enters the sale without an audit (the generic consumer).
//
// The records hold the fields the audits read, under the names of the sale's
// party groups and item record; the *_de() templates copy them from those
// records (or any record with the same member names), so the document layer
// needs none of the engine's code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "nfce/validador_fiscal.h"
#include "runtime/error_triple.h"
#include "runtime/host_ui.h"

namespace fvn {

class AUDITOR_FISCAL : public ErrorTriple {
 public:
  // Company: TIPO 1 Simples Nacional (items carry a CSOSN), 2 regular regime (a CST).
  struct DADOS_EMPRESA {
    std::int32_t CODIGO = 0;
    std::int32_t TIPO = 0;
    std::string UF;
    std::string CEP;
    std::int32_t MUNICIPIO = 0;
    std::string IE;
    std::string CNPJ;
    std::string BAIRRO;
    std::string ENDERECO;
    std::string NUMERO;
    std::string RAZAO_SOCIAL;
    std::string NOME_MUNICIPIO;
    std::string MENSAGEM_IMPRESSAO_VENDA;
  };

  // Emitter: TIPO 11 is the NFC-e emitter.
  struct DADOS_EMISSOR {
    std::int32_t CODIGO = 0;
    std::int32_t TIPO = 0;
  };

  struct DADOS_CLIENTE {
    std::int32_t CODIGO = 0;
    std::string NOME;
    std::string ENDERECO;
    std::string CIDADE;
    std::string UF;
    std::string FONE;
    std::string CPF;
    std::string CNPJ;
    std::string IE;
    std::string BAIRRO;
    std::int32_t MUNICIPIO = 0;
  };

  // The in-state CFOPs of the operation, written with a point ("5.102").
  struct DADOS_OPERACAO {
    std::string CFOP_IND_DENTRO;
    std::string CFOP_ADQUIRIDO_DENTRO;
    std::string CFOP_IND_ST_DENTRO;
    std::string CFOP_ADQUIRIDO_ST_DENTRO;
    std::string CFOP_SERVICO_DENTRO;
  };

  // Carrier: TIPO_PESSOA "1" natural person, "0" legal person.
  struct DADOS_TRANSPORTADORA {
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
  };

  // Item: TIPO_PRODUTO 1 goods, 2 service, 3 freight. The consumer codes are
  // the ones used when the client is in the company's state (CST_ICMS_CONSUMO,
  // CSOSN_CONSUMO) and when it is not (the FORA_UF pair).
  struct DADOS_ITEM {
    std::string DESCRICAO;
    double UNITARIO = 0;
    double QUANTIDADE = 0;
    std::string UNIDADE;
    std::int32_t TIPO_PRODUTO = 0;
    std::string NCM;
    double ALIQUOTA_IPI = 0;
    std::string CST_ICMS_CONSUMO;
    std::string CST_FORA_UF_CONSUMO;
    std::string CSOSN_CONSUMO;
    std::string CSOSN_FORA_UF_CONSUMO;
  };

  // `ui` shows the validator's messages for missing code tables.
  explicit AUDITOR_FISCAL(HostUi& ui);

  int Audita_Descricao(std::string_view texto);
  int Audita_Empresa(const DADOS_EMPRESA& empresa);
  int Audita_Emissor(const DADOS_EMISSOR& emissor);
  int Audita_Cliente(const DADOS_CLIENTE& cliente);
  int Audita_Operacao(const DADOS_OPERACAO& operacao);
  int Audita_Transportadora(const DADOS_TRANSPORTADORA& transportadora);
  int Audita_Item(const DADOS_ITEM& item);
  // The generic consumer's item on a consumer invoice, when nfe_ini.ini's
  // cst_csosn is "0" (the sale screen's own check): the consumption code of
  // the remembered company's regime, in or out of the company's state by
  // the remembered client's UF, must be one a consumer invoice accepts
  // (CSOSN 102, 103, 300, 400, 500, 900; CST 00, 20, 40, 41, 60, 90); CST 50
  // and 51 have their own text.
  int Audita_Item_Consumidor(const DADOS_ITEM& item);

  // Forgets the company and the client, as a new sale begins.
  void Nova_Venda();
  // Forgets the client, when the sale takes one that is not audited.
  void Esquece_Cliente();

  [[nodiscard]] const std::string& Get_Error() const { return ERROR; }
  [[nodiscard]] std::int32_t Get_Error_Code() const { return ERROR_CODE; }
  [[nodiscard]] const std::string& Get_Error_Function() const { return ERROR_FUNCTION; }

  // The records copied from the sale's own groups (same member names).
  template <typename Grupo>
  static DADOS_EMPRESA empresa_de(const Grupo& g) {
    return {g.CODIGO,
            g.TIPO,
            g.UF,
            g.CEP,
            g.MUNICIPIO,
            g.IE,
            g.CNPJ,
            g.BAIRRO,
            g.ENDERECO,
            g.NUMERO,
            g.RAZAO_SOCIAL,
            g.NOME_MUNICIPIO,
            g.MENSAGEM_IMPRESSAO_VENDA};
  }
  template <typename Grupo>
  static DADOS_EMISSOR emissor_de(const Grupo& g) {
    return {g.CODIGO, g.TIPO};
  }
  template <typename Grupo>
  static DADOS_CLIENTE cliente_de(const Grupo& g) {
    return {g.CODIGO, g.NOME, g.ENDERECO, g.CIDADE, g.UF, g.FONE, g.CPF, g.CNPJ, g.IE, g.BAIRRO, g.MUNICIPIO};
  }
  template <typename Grupo>
  static DADOS_OPERACAO operacao_de(const Grupo& g) {
    return {g.CFOP_IND_DENTRO, g.CFOP_ADQUIRIDO_DENTRO, g.CFOP_IND_ST_DENTRO, g.CFOP_ADQUIRIDO_ST_DENTRO,
            g.CFOP_SERVICO_DENTRO};
  }
  template <typename Grupo>
  static DADOS_TRANSPORTADORA transportadora_de(const Grupo& g) {
    return {g.CODIGO_TRANSPORTADORA,
            g.RAZAO_SOCIAL,
            g.CNPJ,
            g.TIPO_PESSOA,
            g.CPF,
            g.ENDERECO,
            g.MUNICIPIO,
            g.UF,
            g.IE,
            g.ANTT,
            g.PLACA,
            g.UF_VEICULO};
  }
  template <typename Item>
  static DADOS_ITEM item_de(const Item& i) {
    return {i.DESCRICAO,
            i.UNITARIO,
            i.QUANTIDADE,
            i.UNIDADE,
            i.TIPO_PRODUTO,
            i.NCM,
            i.IPI.ALIQUOTA_IPI,
            i.ICMS.CST_ICMS_CONSUMO,
            i.ICMS.CST_FORA_UF_CONSUMO,
            i.ICMS_SIMPLES.CSOSN_CONSUMO,
            i.ICMS_SIMPLES.CSOSN_FORA_UF_CONSUMO};
  }

  VALIDADOR_FISCAL VALIDA;
  DADOS_EMPRESA EMPRESA;  // the company last accepted
  DADOS_CLIENTE CLIENTE;  // the client last accepted
  std::int32_t NFCE = 0;  // 1 when the emitter last accepted is the NFC-e emitter

 private:
  // The description check of a field: an empty field passes; a field that
  // Audita_Descricao refuses is refused with `mensagem` + "|" + its text.
  bool descricao_invalida(std::string_view campo);
  int recusa(std::string_view texto, std::int32_t codigo, std::string_view funcao);
  int recusa_validador(std::int32_t codigo, std::string_view funcao);
  int audita_consumo(const DADOS_ITEM& item);
  int audita_lista_consumo(const DADOS_ITEM& item, bool suspensa);
};

}  // namespace fvn
