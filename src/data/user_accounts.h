// The people who log in to the point of sale (table tusuarios) and their
// passwords. A password is never stored nor logged: the table keeps a
// PBKDF2-HMAC-SHA256 hash of it with a random salt of its own, and a typed
// password is checked by hashing it the same way and comparing in constant
// time. Failed log-ins are written to tusuario_tentativas (login and attempt
// number, never the password typed).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fvn {

class PassthroughTable;

struct UserAccount {
  std::int32_t codigo = 0;  // operator code (parametros.cusuariocod)
  std::string login;
  std::string nome;
  std::int32_t libera_desconto = 0;    // may release discounts
  std::int32_t cancela_item = 0;       // may cancel items and sales
  double desconto_maximo = 0;          // GLO_MAX_DESC, percent
  std::int32_t venda_prazo = 0;        // may release credit sales and sales above the credit limit
  std::int32_t cliente_bloqueado = 0;  // may release sales to blocked customers
  std::int32_t estoque_negativo = 0;   // may release stock going below zero
  std::int32_t cadastra_cliente = 0;   // may register consumers
  std::int32_t autoriza_propria = 0;   // may authorise operations of their own session
};

// Rounds of PBKDF2 for new passwords.
inline constexpr int kPasswordIterations = 100'000;

// The hex PBKDF2-HMAC-SHA256 (32 bytes) of `password` with the hex `salt`;
// empty when the salt is not hex or the iterations are below 1.
std::string password_hash(std::string_view password, std::string_view salt_hex, int iterations);

// A new random salt of 16 bytes, as hex; empty when the system has no randomness.
std::string new_password_salt();

enum class LoginCheck { Accepted, Refused, Failed };

// Checks `login` and `password` against tusuarios: Accepted fills `user`;
// Refused when the login is unknown, inactive or the password differs (the
// same answer for all three, so a log-in window never tells which);
// Failed when the database did not answer, with `error` set.
LoginCheck check_login(PassthroughTable& table, std::string_view login, std::string_view password, UserAccount& user,
                       std::string& error);

// Writes a failed log-in; 0 with `error` when the database refused it.
int log_failed_login(PassthroughTable& table, std::string_view login, int attempt, std::string& error);

// Sets the password of the user `codigo` (a new salt, the current rounds);
// 0 with `error` when the user does not exist or the database refused it.
int set_password(PassthroughTable& table, std::int32_t codigo, std::string_view password, std::string& error);

// Adds `user` (its code, login, name and flags) with `password`; 0 with
// `error` when the login or code is taken or the database refused it.
int add_user(PassthroughTable& table, const UserAccount& user, std::string_view password, std::string& error);

// The code of the user `login` (active or not); 0 when there is none, -1
// with `error` when the database failed.
std::int32_t user_code(PassthroughTable& table, std::string_view login, std::string& error);

}  // namespace fvn
