// The access key of a recorded sale and its check digit.
#include "data/passthrough_table.h"
#include "nfce/nfce_documento.h"

namespace fvn {

int NFCE_DOCUMENTO::Monta_Chave_Acesso(std::int32_t id, std::string& chave) {
  TABELA_CHAVE registro;
  PassthroughTable tabela("Tabela_Chave", connection_);
  bind_record(tabela, registro);
  if (tabela.open() != 1) return 0;
  if (tabela.execute(chave_statement(id)) != 1 || tabela.next() != 1) return 0;
  std::string base = std::to_string(registro.I_TH_UF);
  base += registro.S_TH_EMISSAO;
  base += registro.S_TH_CNPJ;
  base += FORMATA.Numerico(registro.S_TH_MODELO, 2, 0, true, true);
  base += FORMATA.Numerico(registro.S_TH_SERIE, 3, 0, true, true);
  base += FORMATA.Numerico(std::to_string(registro.I_TH_NUMERO), 9, 0, true, true);
  base += FORMATA.Numerico(std::to_string(registro.I_TH_FORMA_EMISSAO), 1, 0, false, true);
  base += FORMATA.Numerico(std::to_string(registro.I_TH_CODIGO_NOTA), 8, 0, true, true);
  chave = base;
  Calcula_Digito_NFE(chave);  // a base it refuses stays in the key, which the caller checks
  if (tabela.close() != 1) {
    return set_error(tabela.error_text("Erro ao fechar Tabela_Chave|"), 0, "Monta_Chave_Acesso");
  }
  return 1;
}

int NFCE_DOCUMENTO::Calcula_Digito_NFE(std::string& chave) {
  constexpr std::string_view kFuncao = "Calcula_Digito_NFE";
  constexpr std::size_t kBase = 43;
  const std::string base = FORMATA.Somente_Numeros(chave);
  if (base.empty()) return set_error("Calcula_Digito_NFE Nenhum caracter foi informado na Chave.", 0, kFuncao);
  // A base shorter than 43 digits is as unusable as a longer one.
  if (base.size() != kBase) {
    return set_error("Calcula_Digito_NFE Quantidade de caracteres informados na Chave é inválida = " + base, 0,
                     kFuncao);
  }
  // Weights 2 to 9 from the last digit to the first, starting again after 9.
  int soma = 0;
  int posicao = static_cast<int>(kBase);
  for (const char digito : base) {
    --posicao;  // 42 for the first digit, 0 for the last
    soma += (digito - '0') * (2 + posicao % 8);
  }
  const int resto = soma % 11;
  const int digito = resto < 2 ? 0 : 11 - resto;
  chave = base + static_cast<char>('0' + digito);
  return 1;
}

}  // namespace fvn
