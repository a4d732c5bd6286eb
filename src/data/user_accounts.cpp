#include "data/user_accounts.h"

#include <array>
#include <optional>
#include <vector>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "runtime/text.h"

namespace fvn {

namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

std::string to_hex(const unsigned char* bytes, std::size_t size) {
  std::string hex;
  hex.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    hex += kHexDigits[bytes[i] >> 4U];
    hex += kHexDigits[bytes[i] & 0x0FU];
  }
  return hex;
}

std::optional<std::vector<unsigned char>> from_hex(std::string_view hex) {
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
  std::vector<unsigned char> bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const auto high = kHexDigits.find(hex[i]);
    const auto low = kHexDigits.find(hex[i + 1]);
    if (high == std::string_view::npos || low == std::string_view::npos) return std::nullopt;
    bytes.push_back(static_cast<unsigned char>(high * 16 + low));
  }
  return bytes;
}

}  // namespace

std::string password_hash(std::string_view password, std::string_view salt_hex, int iterations) {
  const auto salt = from_hex(salt_hex);
  if (!salt || iterations < 1) return {};
  std::array<unsigned char, 32> key{};
  if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt->data(),
                        static_cast<int>(salt->size()), iterations, EVP_sha256(), static_cast<int>(key.size()),
                        key.data()) != 1) {
    return {};
  }
  return to_hex(key.data(), key.size());
}

std::string new_password_salt() {
  std::array<unsigned char, 16> salt{};
  if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1) return {};
  return to_hex(salt.data(), salt.size());
}

LoginCheck check_login(PassthroughTable& table, std::string_view login, std::string_view password, UserAccount& user,
                       std::string& error) {
  UserAccount found;
  std::string salt;
  std::string hash;
  std::int32_t iterations = 0;
  std::int32_t active = 0;
  table.clear_fields();
  table.bind_long(found.codigo)
      .bind_text(found.login, 41)
      .bind_text(found.nome, 101)
      .bind_text(salt, 65)
      .bind_text(hash, 65)
      .bind_long(iterations)
      .bind_long(active)
      .bind_long(found.libera_desconto)
      .bind_long(found.cancela_item)
      .bind_real(found.desconto_maximo)
      .bind_long(found.venda_prazo)
      .bind_long(found.cliente_bloqueado)
      .bind_long(found.estoque_negativo)
      .bind_long(found.cadastra_cliente)
      .bind_long(found.autoriza_propria);
  if (table.open() != 1 ||
      table.execute("select i_tus_codigo, s_tus_login, s_tus_nome, s_tus_sal, s_tus_hash, i_tus_iteracoes, "
                    "i_tus_ativo, i_tus_libera_desconto, i_tus_cancela_item, n_tus_desconto_maximo, i_tus_venda_prazo, "
                    "i_tus_cliente_bloqueado, i_tus_estoque_negativo, i_tus_cadastra_cliente, i_tus_autoriza_propria "
                    "from tusuarios "
                    "where s_tus_login = " +
                    table.literal(login)) != 1) {
    error = table.error_text("Erro ao consultar usuários.|");
    return LoginCheck::Failed;
  }
  if (table.next() != 1 || active != 1) {
    table.close();
    return LoginCheck::Refused;
  }
  table.close();
  const std::string typed = password_hash(password, salt, iterations);
  if (typed.size() != hash.size() || CRYPTO_memcmp(typed.data(), hash.data(), hash.size()) != 0) {
    return LoginCheck::Refused;
  }
  user = std::move(found);
  return LoginCheck::Accepted;
}

int log_failed_login(PassthroughTable& table, std::string_view login, int attempt, std::string& error) {
  table.clear_fields();
  if (table.open() != 1 ||
      table.execute("insert into tusuario_tentativas (s_tut_login, i_tut_tentativa) values (" +
                    table.literal(text::cut(login, 40)) + ", " + sql_integer(attempt) + ")") != 1) {
    error = table.error_text("Erro ao registrar tentativa de acesso.|");
    return 0;
  }
  return 1;
}

namespace {

// A new salt and the hash of `password` with it; false with `error` when the
// system gave no randomness.
bool new_hash(std::string_view password, std::string& salt, std::string& hash, std::string& error) {
  salt = new_password_salt();
  hash = password_hash(password, salt, kPasswordIterations);
  if (hash.empty()) error = "Não foi possível gerar o código da senha.";
  return !hash.empty();
}

}  // namespace

int set_password(PassthroughTable& table, std::int32_t codigo, std::string_view password, std::string& error) {
  std::string salt;
  std::string hash;
  if (!new_hash(password, salt, hash, error)) return 0;
  table.clear_fields();
  if (table.open() != 1 || table.execute("update tusuarios set s_tus_sal = '" + salt + "', s_tus_hash = '" + hash +
                                         "', i_tus_iteracoes = " + sql_integer(kPasswordIterations) +
                                         " where i_tus_codigo = " + sql_integer(codigo)) != 1) {
    error = table.error_text("Erro ao gravar a senha.|");
    return 0;
  }
  if (table.row_count() != 1) {
    error = "Usuário " + std::to_string(codigo) + " não encontrado.";
    return 0;
  }
  return 1;
}

int add_user(PassthroughTable& table, const UserAccount& user, std::string_view password, std::string& error) {
  std::string salt;
  std::string hash;
  if (!new_hash(password, salt, hash, error)) return 0;
  table.clear_fields();
  const auto flag = [](std::int32_t value) { return sql_integer(value == 1 ? 1 : 0); };
  if (table.open() != 1 ||
      table.execute(
          "insert into tusuarios (i_tus_codigo, s_tus_login, s_tus_nome, s_tus_sal, s_tus_hash, i_tus_iteracoes, "
          "i_tus_libera_desconto, i_tus_cancela_item, n_tus_desconto_maximo, i_tus_venda_prazo, "
          "i_tus_cliente_bloqueado, i_tus_estoque_negativo, i_tus_cadastra_cliente, i_tus_autoriza_propria) values (" +
          sql_integer(user.codigo) + ", " + table.literal(text::cut(user.login, 40)) + ", " +
          table.literal(text::cut(user.nome, 100)) + ", '" + salt + "', '" + hash + "', " +
          sql_integer(kPasswordIterations) + ", " + flag(user.libera_desconto) + ", " + flag(user.cancela_item) + ", " +
          sql_number(user.desconto_maximo, 2) + ", " + flag(user.venda_prazo) + ", " + flag(user.cliente_bloqueado) +
          ", " + flag(user.estoque_negativo) + ", " + flag(user.cadastra_cliente) + ", " + flag(user.autoriza_propria) +
          ") on conflict do nothing") != 1) {
    error = table.error_text("Erro ao gravar o usuário.|");
    return 0;
  }
  if (table.row_count() != 1) {
    error = "Já existe um usuário com o código " + std::to_string(user.codigo) + " ou o login " + user.login + ".";
    return 0;
  }
  return 1;
}

std::int32_t user_code(PassthroughTable& table, std::string_view login, std::string& error) {
  std::int32_t codigo = 0;
  table.clear_fields();
  table.bind_long(codigo);
  if (table.open() != 1 ||
      table.execute("select i_tus_codigo from tusuarios where s_tus_login = " + table.literal(login)) != 1) {
    error = table.error_text("Erro ao consultar usuários.|");
    return -1;
  }
  if (table.next() != 1) codigo = 0;
  table.close();
  return codigo;
}

}  // namespace fvn
