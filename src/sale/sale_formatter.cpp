#include "sale/sale_formatter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <random>

#include <dirent.h>

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
  int lock = -1;  // the open copy, holding its owner's lock
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

// A working copy's owner holds a write lock on it for as long as it lives
// (an open-file-description lock: the kernel drops it when the process dies,
// however it dies, and reading the copy through another descriptor does not
// release it). A copy nobody holds a lock on was left by a dead process.
bool lock_copy(int fd, short kind) {
  struct flock lock {};
  lock.l_type = kind;
  lock.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// True while `path` still names the file open on `fd`.
bool still_named(int fd, const std::string& path) {
  struct stat open_file {};
  struct stat named {};
  return ::fstat(fd, &open_file) == 0 && ::stat(path.c_str(), &named) == 0 && open_file.st_dev == named.st_dev &&
         open_file.st_ino == named.st_ino;
}

// Copies `from` to `to`, creating `to` exclusively and locking it as its
// owner's. On success returns 0 with the open, locked copy in `owned`. On
// failure the runtime error is set, a partly written `to` is removed and the
// errno is returned (EEXIST also when a start-up sweep of another process
// took the new file for abandoned).
int copy_exclusive(const std::string& from, const std::string& to, int& owned) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return errno;
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out < 0) {
    const int err = errno;
    ::close(in);
    return err;
  }
  // A sweep that opened the file between its creation and this lock holds
  // the lock or has removed the name: either way the name is not ours.
  if (!lock_copy(out, F_WRLCK) || !still_named(out, to)) {
    ::close(out);
    ::close(in);
    return EEXIST;
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
  if (err == 0 && ::fsync(out) != 0) err = errno;
  ::close(in);
  if (err != 0) {
    ::unlink(to.c_str());
    ::close(out);
    return err;
  }
  owned = out;
  return 0;
}

// "ibpt_<digits>.csv": the names of working copies.
bool working_copy_name(std::string_view name) {
  constexpr std::string_view kPrefix = "ibpt_";
  constexpr std::string_view kSuffix = ".csv";
  if (name.size() <= kPrefix.size() + kSuffix.size() || !name.starts_with(kPrefix) || !name.ends_with(kSuffix)) {
    return false;
  }
  const std::string_view digits = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  return digits.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

double SaleFormatter::Arredonda_ABNT(double valor) { return round_abnt(valor); }

std::string SaleFormatter::Somente_Numeros(std::string_view texto) { return text::digits(texto); }

std::string SaleFormatter::caminho_copia_ibpt() {
  if (working_copy.name.empty() || working_copy.path != working_file(working_copy.name)) return {};
  return working_copy.path;
}

void SaleFormatter::set_sorteio(std::function<int()> sorteio) { replaced_draw = std::move(sorteio); }

void SaleFormatter::remove_copia_ibpt() {
  if (!working_copy.path.empty()) ::unlink(working_copy.path.c_str());
  if (working_copy.lock >= 0) ::close(working_copy.lock);
  working_copy = {};
}

int SaleFormatter::remove_copias_abandonadas() {
  DIR* folder = ::opendir(working_folder().c_str());
  if (folder == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(folder)) {
    if (!working_copy_name(entry->d_name)) continue;
    const std::string path = working_file(entry->d_name);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    // The read lock is refused while the owner lives; holding it, no new
    // owner can lock the file before the name is gone.
    if (lock_copy(fd, F_RDLCK) && still_named(fd, path) && ::unlink(path.c_str()) == 0) ++removed;
    ::close(fd);
  }
  ::closedir(folder);
  return removed;
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
    int owned = -1;
    err = copy_exclusive(source, path, owned);
    if (err == 0) {
      if (working_copy.lock >= 0) ::close(working_copy.lock);
      working_copy = {name, path, owned};
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
