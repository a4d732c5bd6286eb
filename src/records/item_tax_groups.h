// The tax groups of a sale item (QUEUE_ITEM), also summed in the sale totals
// (TOTAIS_VENDA) with the same layouts. The tax calculator fills them; the
// sale object adds them up.
//
// Every record of the sale engine lists its members, in declaration order,
// through a static `fields(self, visit)`: visit(name, member) for numbers,
// fixed-point fields and nested groups, visit(name, member, capacity) for
// texts (capacity includes the terminator, so a text of N holds N - 1
// characters). Readers and writers of records (fvn simulate, tests) use it
// instead of repeating the member names.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/decimal.h"

namespace fvn::sale {

// Regular-regime ICMS.
struct GRUPO_ICMS {
  std::int32_t ORIGEM = 0;
  std::string CST_ICMS;
  std::int32_t MODALIDADE_BC = 0;
  double VALOR_BC_ICMS = 0;
  double PERCENTUAL_RED_BC_ICMS = 0;
  double ALIQUOTA_ICMS = 0;
  Dec2 VALOR_ICMS;
  std::int32_t MODALIDADE_BC_ST = 0;
  double PERCENTUAL_MVA = 0;
  double PERCENTUAL_RED_BC_ICMS_ST = 0;
  double VALOR_BC_ICMS_ST = 0;
  double ALIQUOTA_ICMS_ST = 0;
  Dec2Short VALOR_ICMS_ST;
  double VALOR_BC_ICMS_ST_RET = 0;
  double VALOR_ICMS_ST_RET = 0;
  std::string CST_ICMS_CONSUMO;
  std::string CST_FORA_UF;
  std::string CST_FORA_UF_CONSUMO;
  std::string CST_ICMS_REVENDA;
  double VALOR_ICMS_REDUCAO = 0;
  double VALOR_BC_ISENTA = 0;
  double ALIQUOTA_ICMS_FORA = 0;
  double ALIQUOTA_ICMS_ST_FORA = 0;
  Dec2Short PERCENTUAL_ICMS_DEFERIMENTO;
  double VALOR_ICMS_DEFERIDO = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("ORIGEM", s.ORIGEM);
    v("CST_ICMS", s.CST_ICMS, 3);
    v("MODALIDADE_BC", s.MODALIDADE_BC);
    v("VALOR_BC_ICMS", s.VALOR_BC_ICMS);
    v("PERCENTUAL_RED_BC_ICMS", s.PERCENTUAL_RED_BC_ICMS);
    v("ALIQUOTA_ICMS", s.ALIQUOTA_ICMS);
    v("VALOR_ICMS", s.VALOR_ICMS);
    v("MODALIDADE_BC_ST", s.MODALIDADE_BC_ST);
    v("PERCENTUAL_MVA", s.PERCENTUAL_MVA);
    v("PERCENTUAL_RED_BC_ICMS_ST", s.PERCENTUAL_RED_BC_ICMS_ST);
    v("VALOR_BC_ICMS_ST", s.VALOR_BC_ICMS_ST);
    v("ALIQUOTA_ICMS_ST", s.ALIQUOTA_ICMS_ST);
    v("VALOR_ICMS_ST", s.VALOR_ICMS_ST);
    v("VALOR_BC_ICMS_ST_RET", s.VALOR_BC_ICMS_ST_RET);
    v("VALOR_ICMS_ST_RET", s.VALOR_ICMS_ST_RET);
    v("CST_ICMS_CONSUMO", s.CST_ICMS_CONSUMO, 3);
    v("CST_FORA_UF", s.CST_FORA_UF, 3);
    v("CST_FORA_UF_CONSUMO", s.CST_FORA_UF_CONSUMO, 3);
    v("CST_ICMS_REVENDA", s.CST_ICMS_REVENDA, 3);
    v("VALOR_ICMS_REDUCAO", s.VALOR_ICMS_REDUCAO);
    v("VALOR_BC_ISENTA", s.VALOR_BC_ISENTA);
    v("ALIQUOTA_ICMS_FORA", s.ALIQUOTA_ICMS_FORA);
    v("ALIQUOTA_ICMS_ST_FORA", s.ALIQUOTA_ICMS_ST_FORA);
    v("PERCENTUAL_ICMS_DEFERIMENTO", s.PERCENTUAL_ICMS_DEFERIMENTO);
    v("VALOR_ICMS_DEFERIDO", s.VALOR_ICMS_DEFERIDO);
  }
};

// Simples Nacional ICMS (CSOSN).
struct GRUPO_ICMS_SIMPLES {
  std::int32_t ORIGEM = 0;
  std::string CSOSN;
  std::int32_t MODALIDADE_BC = 0;
  double VALOR_BC_ICMS = 0;
  double PERCENTUAL_RED_BC_ICMS = 0;
  double ALIQUOTA_ICMS = 0;
  Dec2 VALOR_ICMS;
  std::int32_t MODALIDADE_BC_ST = 0;
  double PERCENTUAL_MVA = 0;
  double PERCENTUAL_RED_BC_ICMS_ST = 0;
  double VALOR_BC_ICMS_ST = 0;
  double ALIQUOTA_ICMS_ST = 0;
  Dec2Short VALOR_ICMS_ST;
  double ALIQUOTA_CRED_SIMPLES = 0;
  double VALOR_CRED_SIMPLES = 0;
  std::string CSOSN_CONSUMO;
  std::string CSOSN_FORA_UF;
  std::string CSOSN_FORA_UF_CONSUMO;
  std::string CSOSN_REVENDA;
  double ALIQUOTA_ICMS_FORA = 0;
  double ALIQUOTA_ICMS_ST_FORA = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("ORIGEM", s.ORIGEM);
    v("CSOSN", s.CSOSN, 4);
    v("MODALIDADE_BC", s.MODALIDADE_BC);
    v("VALOR_BC_ICMS", s.VALOR_BC_ICMS);
    v("PERCENTUAL_RED_BC_ICMS", s.PERCENTUAL_RED_BC_ICMS);
    v("ALIQUOTA_ICMS", s.ALIQUOTA_ICMS);
    v("VALOR_ICMS", s.VALOR_ICMS);
    v("MODALIDADE_BC_ST", s.MODALIDADE_BC_ST);
    v("PERCENTUAL_MVA", s.PERCENTUAL_MVA);
    v("PERCENTUAL_RED_BC_ICMS_ST", s.PERCENTUAL_RED_BC_ICMS_ST);
    v("VALOR_BC_ICMS_ST", s.VALOR_BC_ICMS_ST);
    v("ALIQUOTA_ICMS_ST", s.ALIQUOTA_ICMS_ST);
    v("VALOR_ICMS_ST", s.VALOR_ICMS_ST);
    v("ALIQUOTA_CRED_SIMPLES", s.ALIQUOTA_CRED_SIMPLES);
    v("VALOR_CRED_SIMPLES", s.VALOR_CRED_SIMPLES);
    v("CSOSN_CONSUMO", s.CSOSN_CONSUMO, 4);
    v("CSOSN_FORA_UF", s.CSOSN_FORA_UF, 4);
    v("CSOSN_FORA_UF_CONSUMO", s.CSOSN_FORA_UF_CONSUMO, 4);
    v("CSOSN_REVENDA", s.CSOSN_REVENDA, 4);
    v("ALIQUOTA_ICMS_FORA", s.ALIQUOTA_ICMS_FORA);
    v("ALIQUOTA_ICMS_ST_FORA", s.ALIQUOTA_ICMS_ST_FORA);
  }
};

struct GRUPO_ISSQN {
  double VALOR_BC_ISSQN = 0;
  double ALIQUOTA_ISSQN = 0;
  double VALOR_ISSQN = 0;
  std::string CST_ISSQN;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("VALOR_BC_ISSQN", s.VALOR_BC_ISSQN);
    v("ALIQUOTA_ISSQN", s.ALIQUOTA_ISSQN);
    v("VALOR_ISSQN", s.VALOR_ISSQN);
    v("CST_ISSQN", s.CST_ISSQN, 2);
  }
};

struct GRUPO_PIS {
  std::string CST_PIS;
  double VALOR_BC_PIS = 0;
  double ALIQUOTA_PIS = 0;
  double VALOR_PIS = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CST_PIS", s.CST_PIS, 3);
    v("VALOR_BC_PIS", s.VALOR_BC_PIS);
    v("ALIQUOTA_PIS", s.ALIQUOTA_PIS);
    v("VALOR_PIS", s.VALOR_PIS);
  }
};

struct GRUPO_COFINS {
  std::string CST_COFINS;
  double VALOR_BC_COFINS = 0;
  double ALIQUOTA_COFINS = 0;
  double VALOR_COFINS = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CST_COFINS", s.CST_COFINS, 3);
    v("VALOR_BC_COFINS", s.VALOR_BC_COFINS);
    v("ALIQUOTA_COFINS", s.ALIQUOTA_COFINS);
    v("VALOR_COFINS", s.VALOR_COFINS);
  }
};

struct GRUPO_IPI {
  std::string CST_IPI;
  double VALOR_BC_IPI = 0;
  double ALIQUOTA_IPI = 0;
  double VALOR_IPI = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CST_IPI", s.CST_IPI, 3);
    v("VALOR_BC_IPI", s.VALOR_BC_IPI);
    v("ALIQUOTA_IPI", s.ALIQUOTA_IPI);
    v("VALOR_IPI", s.VALOR_IPI);
  }
};

// Import tax.
struct GRUPO_II {
  double VALOR_BC_II = 0;
  double VALOR_DESP_ADU = 0;
  double VALOR_II = 0;
  double VALOR_IOF = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("VALOR_BC_II", s.VALOR_BC_II);
    v("VALOR_DESP_ADU", s.VALOR_DESP_ADU);
    v("VALOR_II", s.VALOR_II);
    v("VALOR_IOF", s.VALOR_IOF);
  }
};

// Withholdings: INSS, CSLL and IR have the same layout with their own names.
struct GRUPO_INSS {
  double VALOR_BC_INSS = 0;
  double ALIQUOTA_INSS = 0;
  double VALOR_INSS = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("VALOR_BC_INSS", s.VALOR_BC_INSS);
    v("ALIQUOTA_INSS", s.ALIQUOTA_INSS);
    v("VALOR_INSS", s.VALOR_INSS);
  }
};

struct GRUPO_CSLL {
  double VALOR_BC_CSLL = 0;
  double ALIQUOTA_CSLL = 0;
  double VALOR_CSLL = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("VALOR_BC_CSLL", s.VALOR_BC_CSLL);
    v("ALIQUOTA_CSLL", s.ALIQUOTA_CSLL);
    v("VALOR_CSLL", s.VALOR_CSLL);
  }
};

struct GRUPO_IR {
  double VALOR_BC_IR = 0;
  double ALIQUOTA_IR = 0;
  double VALOR_IR = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("VALOR_BC_IR", s.VALOR_BC_IR);
    v("ALIQUOTA_IR", s.ALIQUOTA_IR);
    v("VALOR_IR", s.VALOR_IR);
  }
};

// Value-added margins the ICMS-ST computation chooses from.
struct GRUPO_MVA {
  double PERCENTUAL_MVA_NCM = 0;
  double PERCENTUAL_MVA_ESTADO = 0;
  double PERCENTUAL_MVA_REDUZIDO_NCM = 0;
  double PERCENTUAL_MVA_REDUZIDO_ESTADO = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("PERCENTUAL_MVA_NCM", s.PERCENTUAL_MVA_NCM);
    v("PERCENTUAL_MVA_ESTADO", s.PERCENTUAL_MVA_ESTADO);
    v("PERCENTUAL_MVA_REDUZIDO_NCM", s.PERCENTUAL_MVA_REDUZIDO_NCM);
    v("PERCENTUAL_MVA_REDUZIDO_ESTADO", s.PERCENTUAL_MVA_REDUZIDO_ESTADO);
  }
};

// Poverty-fund surcharge on substitution.
struct GRUPO_FCP_ST {
  Dec4 BASE_FCP_ST;
  Dec4 PERC_FCP_ST;
  Dec4 VALOR_FCP_ST;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("BASE_FCP_ST", s.BASE_FCP_ST);
    v("PERC_FCP_ST", s.PERC_FCP_ST);
    v("VALOR_FCP_ST", s.VALOR_FCP_ST);
  }
};

}  // namespace fvn::sale
