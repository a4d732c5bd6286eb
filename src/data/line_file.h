// Line files: the plain text files that the module writes or reads one line
// at a time (the invoice XML, the cancellation XML, the operation log, text
// tables). Every failure returns 0 and keeps a sentence naming the file,
// "Erro ao abrir: " + runtime message + " Arquivo: " + path and its siblings,
// until the next operation; a success clears it.
//
// Lines end with "\n"; a "\r" before it is dropped when reading. Lines are
// never cut: the legacy line limits (1,000,000 characters for the writer,
// 4,096 for the reader-writer) lost the end of long XML lines and log lines,
// so both classes write and read lines of any length.
//
// While a file is open, this process holds a lock that keeps other writers
// of the same file out; an open waits up to two seconds for another holder
// before it fails with "Arquivo ja está bloqueado".
#pragma once

#include <string>
#include <string_view>

namespace fvn {

class LineWriter {
 public:
  LineWriter() = default;
  explicit LineWriter(std::string path) : path_(std::move(path)) {}
  virtual ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  void set_name(std::string path);
  [[nodiscard]] const std::string& name() const { return path_; }
  [[nodiscard]] bool is_open() const { return fd_ >= 0; }

  // Opens for reading and writing, creating the file when it does not exist,
  // and rewinds. An existing file keeps its content.
  int open();
  // Creates the file, or empties it when it exists (also while open).
  int create();
  // Positions reading at the first line.
  int rewind();
  // Appends a line. With length 0 its trailing blanks are removed; with a
  // length, exactly that many characters are written (cut, or completed
  // with blanks).
  int add_line(std::string_view line, std::size_t length = 0);
  int close();
  [[nodiscard]] const std::string& error_text() const { return error_; }

 protected:
  int fail(std::string_view what, int runtime_code);
  int succeed();
  // Forgets what was read ahead; the file changed or the position moved.
  void drop_read_ahead() {
    read_ahead_.clear();
    read_ahead_start_ = read_offset_;
  }

  std::string path_;
  std::string error_;
  int fd_ = -1;
  long long read_offset_ = 0;
  // Bytes of the file from read_ahead_start_ on, read in large blocks so that
  // reading a file line by line costs one system call per block, not per line.
  std::string read_ahead_;
  long long read_ahead_start_ = 0;
};

class LineReaderWriter final : public LineWriter {
 public:
  using LineWriter::LineWriter;

  // Reads the next line; at the end of the file fails with
  // "Erro ao executar NEXT: Final de Arquivo Arquivo: " + path.
  int next_line();
  [[nodiscard]] const std::string& current_line() const { return current_; }

 private:
  std::string current_;
};

}  // namespace fvn
