#include "data/line_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn {

namespace {

constexpr auto kLockWait = std::chrono::seconds(2);
constexpr auto kLockPoll = std::chrono::milliseconds(20);

// Takes the exclusive lock, waiting a little for another holder to finish.
int lock_file(int fd) {
  const auto deadline = std::chrono::steady_clock::now() + kLockWait;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
    const int err = errno;
    if (err != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return err;
    std::this_thread::sleep_for(kLockPoll);
  }
}

// The runtime code of a failed open or create: a missing folder is a path
// not found, a missing file in an existing folder a file not found.
int open_failure_code(const std::string& path, int err) {
  if (err != ENOENT) return runtime_code_from_errno(err);
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  struct stat info {};
  const bool folder_exists = ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  return folder_exists ? rt::kFileNotFound : rt::kPathNotFound;
}

bool write_all(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

LineWriter::~LineWriter() {
  if (fd_ >= 0) ::close(fd_);
}

void LineWriter::set_name(std::string path) { path_ = std::move(path); }

int LineWriter::fail(std::string_view what, int runtime_code) {
  set_runtime_error(runtime_code);
  error_ = std::string{what} + std::string{runtime_message(runtime_code)} + " Arquivo: " + path_;
  return 0;
}

int LineWriter::succeed() {
  error_.clear();
  clear_runtime_error();
  return 1;
}

int LineWriter::open() {
  if (fd_ >= 0) return fail("Erro ao abrir: ", rt::kFileAlreadyOpen);
  if (path_.empty()) return fail("Erro ao abrir: ", rt::kInvalidFileName);
  const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) {
    // A file that could not be created is a failed create, as for create().
    const int err = errno;
    const bool missing = ::access(path_.c_str(), F_OK) != 0;
    return fail(missing ? "Erro ao criar arquivo: " : "Erro ao abrir: ", open_failure_code(path_, err));
  }
  if (const int err = lock_file(fd); err != 0) {
    ::close(fd);
    return fail("Erro ao abrir: ", runtime_code_from_errno(err));
  }
  fd_ = fd;
  return rewind();
}

int LineWriter::create() {
  if (path_.empty()) return fail("Erro ao criar arquivo: ", rt::kInvalidFileName);
  if (fd_ >= 0) {
    if (::ftruncate(fd_, 0) != 0) return fail("Erro ao criar arquivo: ", runtime_code_from_errno(errno));
    read_offset_ = 0;
    drop_read_ahead();
    return succeed();
  }
  const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return fail("Erro ao criar arquivo: ", open_failure_code(path_, errno));
  if (::close(fd) != 0) return fail("Erro ao criar arquivo: ", runtime_code_from_errno(errno));
  return succeed();
}

int LineWriter::rewind() {
  if (fd_ < 0) return fail("Erro ao executar SET: ", rt::kFileNotOpen);
  read_offset_ = 0;
  drop_read_ahead();
  return succeed();
}

int LineWriter::add_line(std::string_view line, std::size_t length) {
  if (fd_ < 0) {
    set_runtime_error(rt::kFileNotOpen);
    error_ = "Erro, arquivo não foi aberto. Arquivo: " + path_;
    return 0;
  }
  std::string record;
  if (length == 0) {
    record = text::clip(line);
  } else {
    record = text::cut(line, length);
    record.append(length - text::length(record), ' ');
  }
  record += '\n';
  drop_read_ahead();
  if (!write_all(fd_, record)) return fail("Erro ao adicionar: ", runtime_code_from_errno(errno));
  return succeed();
}

int LineWriter::close() {
  if (fd_ < 0) return fail("Erro ao verificar STATUS: ", rt::kFileNotOpen);
  const int fd = fd_;
  fd_ = -1;
  drop_read_ahead();
  if (::close(fd) != 0) return fail("Erro ao fechar: ", runtime_code_from_errno(errno));
  return succeed();
}

int LineReaderWriter::next_line() {
  if (fd_ < 0) {
    set_runtime_error(rt::kFileNotOpen);
    error_ = "Erro, arquivo não foi aberto. Arquivo: " + path_;
    return 0;
  }
  constexpr std::size_t kBlock = std::size_t{64} * 1024;
  // Keep only what lies at or after the current position.
  if (read_offset_ != read_ahead_start_) {
    const auto consumed = static_cast<std::size_t>(read_offset_ - read_ahead_start_);
    if (read_offset_ < read_ahead_start_ || consumed > read_ahead_.size()) {
      drop_read_ahead();
    } else {
      read_ahead_.erase(0, consumed);
      read_ahead_start_ = read_offset_;
    }
  }
  std::size_t newline = read_ahead_.find('\n');
  bool at_end = false;
  while (newline == std::string::npos && !at_end) {
    const std::size_t old_size = read_ahead_.size();
    read_ahead_.resize(old_size + kBlock);
    const ssize_t got = ::pread(fd_, read_ahead_.data() + old_size, kBlock,
                                static_cast<off_t>(read_ahead_start_ + static_cast<long long>(old_size)));
    if (got < 0) {
      const int err = errno;
      read_ahead_.resize(old_size);
      if (err == EINTR) continue;
      return fail("Erro ao executar NEXT: ", runtime_code_from_errno(err));
    }
    read_ahead_.resize(old_size + static_cast<std::size_t>(got));
    at_end = got == 0;
    newline = read_ahead_.find('\n', old_size);
  }
  if (newline == std::string::npos && read_ahead_.empty()) return fail("Erro ao executar NEXT: ", rt::kEndOfFile);
  const std::size_t length = newline == std::string::npos ? read_ahead_.size() : newline;
  std::string line = read_ahead_.substr(0, length);
  const long long offset = read_offset_ + static_cast<long long>(newline == std::string::npos ? length : length + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  read_offset_ = offset;
  current_ = std::move(line);
  return succeed();
}

}  // namespace fvn
