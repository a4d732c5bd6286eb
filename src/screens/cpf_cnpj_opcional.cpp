#include "screens/cpf_cnpj_opcional.h"

#include "runtime/text.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do sistema";

// The document's digits as the picture n011 / n014 writes them: zero
// filled; blank reads as all zeros.
std::string preenchido(std::string_view digitos, std::size_t tamanho) {
  std::string d = text::digits(digitos);
  if (d.size() >= tamanho) return d;
  return std::string(tamanho - d.size(), '0') + d;
}

}  // namespace

CpfCnpjOpcionalPresenter::CpfCnpjOpcionalPresenter(HostUi& ui, VALIDADOR_FISCAL& validador)
    : ui_(ui), validador_(validador) {}

void CpfCnpjOpcionalPresenter::tipo_pessoa(std::int32_t tipo) {
  dados_.tipo_pessoa = tipo == 1 ? 1 : 0;
  if (dados_.tipo_pessoa == 0) {
    dados_.cnpj.clear();
    foco_ = Foco::Cpf;
  } else {
    dados_.cpf.clear();
    foco_ = Foco::Cnpj;
  }
}

// Steps 2 and 3: a document other than all zeros must pass its validator;
// a refused one is shown, cleared and focused again.
int CpfCnpjOpcionalPresenter::valida(bool cnpj) {
  std::string& campo = cnpj ? dados_.cnpj : dados_.cpf;
  const std::size_t tamanho = cnpj ? 14 : 11;
  if (preenchido(campo, tamanho) == std::string(tamanho, '0')) return 1;
  const int resultado = cnpj ? validador_.Valida_CNPJ(campo) : validador_.Valida_CPF(campo);
  if (resultado == 1) return 1;
  ui_.message("Retorno: " + std::to_string(resultado) + "|Erro: " + validador_.Get_Error() +
                  "|Função:" + validador_.Get_Error_Function(),
              "Erro", MessageIcon::Error);
  campo.clear();
  foco_ = cnpj ? Foco::Cnpj : Foco::Cpf;
  return 0;
}

int CpfCnpjOpcionalPresenter::cpf(std::string_view texto) {
  dados_.cpf = document_digits(text::trim(texto));
  if (dados_.tipo_pessoa != 0) return 1;
  if (valida(false) != 1) return 0;
  foco_ = Foco::Nome;
  return 1;
}

int CpfCnpjOpcionalPresenter::cnpj(std::string_view texto) {
  dados_.cnpj = document_digits(text::trim(texto));
  if (dados_.tipo_pessoa != 1) return 1;
  if (valida(true) != 1) return 0;
  foco_ = Foco::Nome;
  return 1;
}

void CpfCnpjOpcionalPresenter::nome(std::string_view texto) { dados_.nome = text::cut(texto, 99); }

int CpfCnpjOpcionalPresenter::confirma() {
  if (fechada_) return 0;
  const bool juridica = dados_.tipo_pessoa == 1;
  const std::string& campo = juridica ? dados_.cnpj : dados_.cpf;
  const std::size_t tamanho = juridica ? 14 : 11;
  const std::string_view sigla = juridica ? "CNPJ" : "CPF";
  const bool zerado = preenchido(campo, tamanho) == std::string(tamanho, '0');
  if (!zerado) {
    if (valida(juridica) != 1) return 0;
  } else {
    foco_ = juridica ? Foco::Cnpj : Foco::Cpf;
    if (!text::trim(dados_.nome).empty()) {
      ui_.message("É obrigatório o preenchimento do " + std::string{sigla} + " se informado o nome.", kAviso,
                  MessageIcon::Exclamation);
    } else {
      ui_.message("Por favor, preencha o " + std::string{sigla} + ".", kAviso, MessageIcon::Exclamation);
    }
    return 0;
  }
  fechada_ = true;
  resultado_ = 1;
  return 1;
}

int CpfCnpjOpcionalPresenter::cancela() {
  dados_.cpf.clear();
  dados_.cnpj.clear();
  dados_.nome.clear();
  fechada_ = true;
  resultado_ = 0;
  return 0;
}

}  // namespace fvn
