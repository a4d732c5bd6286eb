// The IBPT table of approximate tax rates ("ibpt.csv" and its working copy):
// one record per line with the fields NCM, EX, TABELA, DESCRICAO, ALIQ_NAC
// and ALIQ_IMP, each a text of 32.
//
// The published files separate fields with ";" and start with a header row
// (codigo;ex;tipo;descricao;nacionalfederal;importadosfederal;...); older
// ones use ",". The separator is the one the first line uses, quoted fields
// may hold the separator, columns beyond the sixth are ignored, line ends may
// be CR LF, and a row whose NCM holds no digit (the header) is skipped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fvn::sale {

struct IbptRecord {
  std::string NCM;
  std::string EX;
  std::string TABELA;
  std::string DESCRICAO;
  std::string ALIQ_NAC;
  std::string ALIQ_IMP;
};

class IbptTable {
 public:
  static constexpr std::size_t kFieldCapacity = 32;

  // Reads the whole file, read-only. False, with the runtime error set, when
  // it cannot be read; the table is then closed.
  bool open(const std::string& path);
  void close();
  [[nodiscard]] bool is_open() const { return open_; }
  [[nodiscard]] std::size_t records() const { return records_.size(); }

  // Parses table text (for tests and for open()).
  void load_text(std::string_view text);

  // The first record, in file order, whose NCM is the same code as `ncm`:
  // both reduced to their digits and compared as numbers, so "0210.91.00",
  // "02109100" and "2109100" are one code. nullptr when there is none.
  [[nodiscard]] const IbptRecord* find(std::string_view ncm) const;

  // A rate field read as a number ("13.45" or "13,45"); 0 when it is not one.
  static double rate(std::string_view text);

  // The comparison key of a code: its digits without leading zeros, "0" when
  // no digit is left.
  static std::string ncm_key(std::string_view code);

 private:
  bool open_ = false;
  std::vector<IbptRecord> records_;
  std::unordered_map<std::string, std::size_t> first_by_key_;
};

}  // namespace fvn::sale
