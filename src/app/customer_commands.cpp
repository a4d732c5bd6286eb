#include "app/customer_commands.h"

#include <charconv>
#include <ostream>
#include <string>

#include "app/startup_command.h"
#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "data/user_accounts.h"
#include "runtime/picture.h"
#include "runtime/text.h"
#include "screens/servicos_cliente.h"

namespace fvn::app {

namespace {

constexpr std::size_t kMinPassword = 6;

std::optional<std::int32_t> whole(std::string_view text) {
  std::int32_t value = 0;
  if (text.empty() || std::from_chars(text.data(), text.data() + text.size(), value).ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// An amount typed with a decimal comma or point ("400,00", "7.5"); none
// when it is not a number.
std::optional<double> amount(std::string text) {
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  return deformat_picture(text, "@n15.2");
}

std::string_view kind_name(TipoBloqueio tipo) {
  switch (tipo) {
    case TipoBloqueio::Nenhum: break;
    case TipoBloqueio::Liberacao: return "liberação";
    case TipoBloqueio::Aviso: return "aviso";
  }
  return "livre";
}

int customer_check(Context& ctx, const std::vector<std::string>& args) {
  const bool with_total = args.size() == 4 && args[2] == "--total";
  // A plain code (0: none) rather than an optional, which g++ 12 at -O3
  // takes for read uninitialised after the check below.
  const std::int32_t cliente = (args.size() == 2 || with_total) && args[0] == "check" ? whole(args[1]).value_or(0) : 0;
  const std::optional<double> total = with_total ? amount(args[3]) : std::optional<double>{0.0};
  if (cliente <= 0 || !total || *total < 0) {
    ctx.err << "fvn: usage: fvn customer check CODE [--total VALUE]\n";
    return kExitUsage;
  }
  const std::string connection = ctx.database_connection();
  if (connection.empty()) return kExitFailure;
  PassthroughTable table("CLIENTE", connection);
  std::string nome;
  table.bind_text(nome, 201);
  if (table.open() != 1 ||
      table.execute("select cnomecliente from aclientes where ccodigo = " + sql_integer(cliente)) != 1) {
    ctx.out << message_lines(table.error_text("Erro ao buscar dados do cliente na tabela aclientes.|Erro: ")) << "\n";
    return kExitFailure;
  }
  if (table.next() != 1) {
    ctx.out << "Cliente " << cliente << " não cadastrado.\n";
    return kExitFailure;
  }
  ctx.out << "cliente: " << cliente << " " << nome << "\n";
  ServicosCliente servicos(connection, station_number(ctx.config, "company", 1));
  using Check = int (ServicosCliente::*)(std::int32_t, Bloqueio&);
  const std::pair<std::string_view, Check> checks[] = {
      {"VERIFICA_BLOQUEIO_ATRASO_AVISTA", &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_AVISTA},
      {"VERIFICA_BLOQUEIO_ATRASO_DIAS_AVISTA", &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_DIAS_AVISTA},
      {"VERIFICA_BLOQUEIO_CIDADE", &ServicosCliente::VERIFICA_BLOQUEIO_CIDADE},
      {"VERIFICA_BLOQUEIO_IDADE", &ServicosCliente::VERIFICA_BLOQUEIO_IDADE},
      {"VERIFICA_BLOQUEIO_ATRASO", &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO},
      {"VERIFICA_BLOQUEIO_ATRASO_DIAS", &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_DIAS},
      {"VERIFICACAO_SPC_CLIENTE", &ServicosCliente::VERIFICACAO_SPC_CLIENTE},
  };
  int status = kExitOk;
  const auto print = [&](std::string_view name, int restricted, const Bloqueio& b) {
    ctx.out << name << ": " << (restricted == 1 ? kind_name(b.tipo) : "livre");
    if (restricted == 1) ctx.out << " - " << message_lines(b.motivo);
    ctx.out << "\n";
  };
  for (const auto& [name, check] : checks) {
    Bloqueio b;
    print(name, (servicos.*check)(cliente, b), b);
  }
  Bloqueio b;
  print("VERIFICA_BLOQUEIO_LIMITE_CREDITO", servicos.VERIFICA_BLOQUEIO_LIMITE_CREDITO(cliente, *total, b), b);
  std::string mensagem;
  const int limite = servicos.VERIFICA_LIMITE_TOTAL_CLIENTE(cliente, *total, mensagem);
  ctx.out << "VERIFICA_LIMITE_TOTAL_CLIENTE: " << (limite == 0 ? "livre" : "excedido - " + message_lines(mensagem))
          << "\n";
  const double credito = servicos.VERIFICA_CREDITO_CLIENTE(cliente, mensagem);
  if (credito < 0) {
    ctx.out << "VERIFICA_CREDITO_CLIENTE: " << message_lines(mensagem) << "\n";
  } else {
    ctx.out << "VERIFICA_CREDITO_CLIENTE: " << text::trim(format_picture(credito, "@n12`2")) << "\n";
  }
  if (!servicos.erro().empty()) status = kExitFailure;
  return status;
}

bool parse_flags(std::string_view list, UserAccount& user) {
  for (const std::string& flag : text::split(list, ',')) {
    const std::string name = text::trim(flag);
    if (name == "desconto") {
      user.libera_desconto = 1;
    } else if (name == "cancela") {
      user.cancela_item = 1;
    } else if (name == "prazo") {
      user.venda_prazo = 1;
    } else if (name == "bloqueado") {
      user.cliente_bloqueado = 1;
    } else if (name == "estoque") {
      user.estoque_negativo = 1;
    } else if (name == "cadastro") {
      user.cadastra_cliente = 1;
    } else if (name == "propria") {
      user.autoriza_propria = 1;
    } else if (!name.empty()) {
      return false;
    }
  }
  return true;
}

// The first line of `in`, without its line end; none when it is too short.
std::optional<std::string> read_password(std::istream& in, Context& ctx) {
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (text::length(line) < kMinPassword) {
    ctx.out << "A senha deve ter ao menos " << kMinPassword << " caracteres (lida da entrada padrão).\n";
    return std::nullopt;
  }
  return line;
}

int user_add(Context& ctx, const std::vector<std::string>& args, std::istream& in) {
  UserAccount user;
  bool ok = args.size() >= 3 && args.size() % 2 == 1;
  if (ok) {
    user.login = text::trim(args[1]);
    user.nome = text::upper(text::trim(args[2]));
    ok = !user.login.empty() && !user.nome.empty();
  }
  for (std::size_t i = 3; ok && i + 1 < args.size(); i += 2) {
    if (args[i] == "--code") {
      const auto code = whole(args[i + 1]);
      ok = code && *code > 0;
      user.codigo = code.value_or(0);
    } else if (args[i] == "--flags") {
      ok = parse_flags(args[i + 1], user);
    } else if (args[i] == "--max-discount") {
      const auto max = amount(args[i + 1]);
      ok = max && *max >= 0 && *max <= 100;
      user.desconto_maximo = max.value_or(0);
    } else {
      ok = false;
    }
  }
  if (!ok) {
    ctx.err << "fvn: usage: fvn user add LOGIN NAME [--code N] [--flags "
               "desconto,cancela,prazo,bloqueado,estoque,cadastro,propria] [--max-discount P]\n";
    return kExitUsage;
  }
  const std::string connection = ctx.database_connection();
  if (connection.empty()) return kExitFailure;
  PassthroughTable table("USUARIOS", connection);
  std::string error;
  if (user.codigo == 0) {
    table.bind_long(user.codigo);
    if (table.open() != 1 || table.execute("select coalesce(max(i_tus_codigo), 0) + 1 from tusuarios") != 1 ||
        table.next() != 1) {
      ctx.out << message_lines(table.error_text("Erro ao consultar usuários.|")) << "\n";
      return kExitFailure;
    }
  }
  const auto password = read_password(in, ctx);
  if (!password) return kExitFailure;
  if (add_user(table, user, *password, error) != 1) {
    ctx.out << message_lines(error) << "\n";
    return kExitFailure;
  }
  ctx.out << "usuário " << user.codigo << " " << user.login << " gravado.\n";
  return kExitOk;
}

int user_passwd(Context& ctx, const std::vector<std::string>& args, std::istream& in) {
  if (args.size() != 2) {
    ctx.err << "fvn: usage: fvn user passwd LOGIN (the password on standard input)\n";
    return kExitUsage;
  }
  const std::string connection = ctx.database_connection();
  if (connection.empty()) return kExitFailure;
  PassthroughTable table("USUARIOS", connection);
  std::string error;
  const std::int32_t code = user_code(table, text::trim(args[1]), error);
  if (code <= 0) {
    ctx.out << (code < 0 ? message_lines(error) : "Usuário " + args[1] + " não cadastrado.") << "\n";
    return kExitFailure;
  }
  const auto password = read_password(in, ctx);
  if (!password) return kExitFailure;
  if (set_password(table, code, *password, error) != 1) {
    ctx.out << message_lines(error) << "\n";
    return kExitFailure;
  }
  ctx.out << "senha do usuário " << args[1] << " alterada.\n";
  return kExitOk;
}

}  // namespace

Command customer_command() {
  return {"customer", "check CODE [--total VALUE]", "the customer's credit and block checks, each with its reason",
          customer_check};
}

Command user_command(std::istream& in) {
  return {"user", "add LOGIN NAME [--code N] [--flags LIST] [--max-discount P] | passwd LOGIN",
          "adds a user or sets a password (read from standard input)",
          [&in](Context& ctx, const std::vector<std::string>& args) {
            if (!args.empty() && args[0] == "add") return user_add(ctx, args, in);
            if (!args.empty() && args[0] == "passwd") return user_passwd(ctx, args, in);
            ctx.err << "fvn: usage: fvn user add LOGIN NAME [...] | fvn user passwd LOGIN\n";
            return kExitUsage;
          }};
}

}  // namespace fvn::app
