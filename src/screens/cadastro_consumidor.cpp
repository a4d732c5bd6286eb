#include "screens/cadastro_consumidor.h"

#include "data/sql_values.h"
#include "runtime/text.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";
constexpr int kMaxCodigosOcupados = 1000;

}  // namespace

bool email_valido(std::string_view email) {
  const auto arroba = email.find('@');
  if (arroba == std::string_view::npos || arroba == 0 || email.find('@', arroba + 1) != std::string_view::npos) {
    return false;
  }
  const std::string_view dominio = email.substr(arroba + 1);
  const auto ponto = dominio.rfind('.');
  if (ponto == std::string_view::npos || ponto == 0 || ponto + 1 == dominio.size() || dominio.starts_with('.')) {
    return false;
  }
  for (const char ch : email) {
    if (static_cast<unsigned char>(ch) <= ' ') return false;
  }
  return true;
}

CadastroConsumidorPresenter::CadastroConsumidorPresenter(HostUi& ui, std::string connection,
                                                         VALIDADOR_FISCAL& validador, bool permitido)
    : ui_(ui), table_("CADASTRO_CONSUMIDOR", std::move(connection)), validador_(validador), permitido_(permitido) {}

bool CadastroConsumidorPresenter::abre() {
  if (permitido_) return true;
  ui_.message("Usuário não possui permissão para cadastrar clientes.", kAviso, MessageIcon::Exclamation);
  return false;
}

std::int32_t CadastroConsumidorPresenter::recusa(std::string_view texto) {
  ui_.message(texto, kAviso, MessageIcon::Exclamation);
  return 0;
}

std::int32_t CadastroConsumidorPresenter::grava(const DadosConsumidor& dados) {
  if (!abre()) return 0;
  const std::string nome = text::upper(text::trim(dados.nome));
  if (nome.empty()) return recusa("Informe o nome do cliente.");
  if (text::length(nome) > 200) return recusa("O nome do cliente deve ter no máximo 200 caracteres.");

  const std::string documento = digits_of(dados.documento);
  if (documento.size() != 11 && documento.size() != 14) {
    return recusa("Informe o CPF (11 dígitos) ou o CNPJ (14 dígitos) do cliente.");
  }
  const bool pessoa = documento.size() == 11;
  if ((pessoa ? validador_.Valida_CPF(documento) : validador_.Valida_CNPJ(documento)) != 1) {
    return recusa(validador_.Get_Error());
  }
  const std::string telefone = digits_of(dados.telefone);
  if (!telefone.empty() && validador_.Valida_Telefone(telefone) != 1) return recusa(validador_.Get_Error());
  const std::string email = text::trim(dados.email);
  if (!email.empty() && (!email_valido(email) || email.size() > 512)) return recusa("E-mail do cliente inválido.");

  const std::string cep = digits_of(dados.cep);
  if (cep.empty() || cep.size() > 8) return recusa("Informe o CEP do endereço do cliente (8 dígitos).");
  const std::string coluna = pessoa ? "s_acl_cpf" : "s_acl_cnpj";

  // The postcode's row, and any customer who already has this document.
  std::string logradouro;
  std::string bairro;
  std::string cidade;
  std::string uf;
  std::int32_t municipio = 0;
  std::string existente;
  table_.clear_fields();
  table_.bind_text(logradouro, 201)
      .bind_text(bairro, 201)
      .bind_text(cidade, 201)
      .bind_text(uf, 3)
      .bind_long(municipio)
      .bind_text(existente, 220);
  if (table_.open() != 1 ||
      table_.execute("select t.s_tce_logradouro, t.s_tce_bairro, t.s_tce_cidade, t.s_tce_uf, t.i_tce_codigo_cidade, "
                     "coalesce((select c.ccodigo || ' - ' || c.cnomecliente from aclientes c where c." +
                     coluna + " = '" + documento + "' order by c.ccodigo limit 1), '') from tcep t where t.ccodcep = " +
                     sql_integer(std::stoll(cep))) != 1) {
    ui_.message(table_.error_text("Erro ao consultar o CEP do cliente.|"), "Erro", MessageIcon::Error);
    return 0;
  }
  if (table_.next() != 1) return recusa("CEP " + cep + " não cadastrado.");
  if (!existente.empty()) {
    return recusa(std::string{pessoa ? "CPF" : "CNPJ"} + " já cadastrado para o cliente " + existente + ".");
  }
  if (validador_.Valida_Municipio(std::to_string(municipio)) != 1) return recusa(validador_.Get_Error());

  const std::string endereco =
      text::trim(dados.endereco).empty() ? logradouro : text::upper(text::trim(dados.endereco));
  const std::string bairro_final = text::trim(dados.bairro).empty() ? bairro : text::upper(text::trim(dados.bairro));
  const std::string numero = text::trim(dados.numero).empty() ? "S/N" : text::upper(text::trim(dados.numero));

  // A code the host application gave by hand is skipped, not overwritten.
  std::int32_t codigo = 0;
  for (int tentativa = 0; tentativa < kMaxCodigosOcupados && codigo == 0; ++tentativa) {
    table_.clear_fields();
    table_.bind_long(codigo);
    if (table_.execute(
            "insert into aclientes (ccodigo, cnomecliente, i_acl_tipo_pessoa, s_acl_cpf, s_acl_cnpj, s_acl_endereco, "
            "i_acl_endereco_numero, s_acl_bairro, s_acl_cidade, s_acl_uf, i_acl_cep, cfonecelular, cemail, "
            "i_acl_compra_prazo) values (nextval('seque_aclientes'), " +
            table_.literal(nome) + ", " + (pessoa ? "1, '" + documento + "', ''" : "2, '', '" + documento + "'") +
            ", " + table_.literal(text::cut(endereco, 200)) + ", " + table_.literal(text::cut(numero, 60)) + ", " +
            table_.literal(text::cut(bairro_final, 200)) + ", " + table_.literal(cidade) + ", " + table_.literal(uf) +
            ", " + sql_integer(std::stoll(cep)) + ", " + (telefone.empty() ? "null" : "'" + telefone + "'") + ", " +
            (email.empty() ? "null" : table_.literal(email)) +
            ", 0) on conflict (ccodigo) do nothing returning ccodigo") != 1) {
      ui_.message(table_.error_text("Erro ao gravar o cliente na tabela aclientes.|"), "Erro", MessageIcon::Error);
      return 0;
    }
    if (table_.next() != 1) codigo = 0;
  }
  if (codigo == 0) {
    ui_.message("Erro ao gravar o cliente na tabela aclientes.|Nenhum código livre na sequência seque_aclientes.",
                "Erro", MessageIcon::Error);
  }
  return codigo;
}

}  // namespace fvn
