#include "sale/sale_formatter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <random>

#include "runtime/rounding.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"
#include "runtime/working_folder.h"

namespace fvn::sale {

namespace {

// Module-wide (per thread, like every module-wide value): the name of the
// working copy (text of 40) and the path it was created at.
struct WorkingCopy {
  std::string name;
  std::string path;
};
thread_local WorkingCopy working_copy;

bool file_exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

thread_local std::function<int()> replaced_draw;

int draw_number() {
  if (replaced_draw) return replaced_draw();
  thread_local std::mt19937 generator{std::random_device{}()};
  return std::uniform_int_distribution<int>{1, 10'000}(generator);
}

// Copies `from` to `to`, creating `to` exclusively. On failure the runtime
// error is set, a partly written `to` is removed and the errno is returned;
// 0 on success.
int copy_exclusive(const std::string& from, const std::string& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return errno;
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out < 0) {
    const int err = errno;
    ::close(in);
    return err;
  }
  int err = 0;
  std::array<char, 65536> buffer{};
  for (;;) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    if (got == 0) break;
    ssize_t done = 0;
    while (done < got) {
      const ssize_t wrote = ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (wrote < 0) {
        if (errno == EINTR) continue;
        err = errno;
        break;
      }
      done += wrote;
    }
    if (err != 0) break;
  }
  if (::close(out) != 0 && err == 0) err = errno;
  ::close(in);
  if (err != 0) ::unlink(to.c_str());
  return err;
}

}  // namespace

double SaleFormatter::Arredonda_ABNT(double valor) { return round_abnt(valor); }

std::string SaleFormatter::Somente_Numeros(std::string_view texto) {
  std::string digits;
  for (const char c : texto) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

std::string SaleFormatter::caminho_copia_ibpt() {
  if (working_copy.name.empty() || working_copy.path != working_file(working_copy.name)) return {};
  return working_copy.path;
}

void SaleFormatter::set_sorteio(std::function<int()> sorteio) { replaced_draw = std::move(sorteio); }

void SaleFormatter::remove_copia_ibpt() {
  if (!working_copy.path.empty()) ::unlink(working_copy.path.c_str());
  working_copy = {};
}

int SaleFormatter::Prepara_Tabela_IBPT(ErrorTriple& venda) {
  const std::string source = working_file(kArquivoIbpt);
  if (!file_exists(source)) return venda.set_error("Arquivo ibpt.csv não encontrado! ", 0, "Vende_Item");
  const std::string current = caminho_copia_ibpt();
  if (!current.empty() && file_exists(current)) return 1;

  int err = 0;
  for (int attempt = 0; attempt < kTentativasCopiaIbpt; ++attempt) {
    const std::string name = text::fit("ibpt_" + std::to_string(draw_number()) + ".csv", 40);
    const std::string path = working_file(name);
    err = copy_exclusive(source, path);
    if (err == 0) {
      working_copy = {name, path};
      clear_runtime_error();
      return 1;
    }
  }
  working_copy = {};
  set_runtime_error(runtime_code_from_errno(err));
  const std::string cause =
      err == EEXIST ? std::string{"os nomes sorteados já estavam em uso"} : std::string{last_runtime_message()};
  return venda.set_error("Não foi possível criar a cópia de trabalho da tabela IBPT em " + working_folder() + " após " +
                             std::to_string(kTentativasCopiaIbpt) + " tentativas: " + cause,
                         0, "Vende_Item");
}

}  // namespace fvn::sale
