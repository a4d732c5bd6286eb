#include "sale/ibpt_table.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "runtime/atomic_file.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn::sale {

namespace {

// Fields of one line; quotes group text that holds the separator, and a
// doubled quote inside them stands for one quote.
std::vector<std::string> split_fields(std::string_view line, char separator) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = !quoted;
      }
    } else if (c == separator && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

bool has_digit(std::string_view text) {
  for (const char c : text) {
    if (c >= '0' && c <= '9') return true;
  }
  return false;
}

}  // namespace

std::string IbptTable::ncm_key(std::string_view code) { return text::strip_leading_zeros(text::digits(code)); }

double IbptTable::rate(std::string_view text) {
  std::string value = text::trim(text);
  if (value.find('.') == std::string::npos) {
    for (char& c : value) {
      if (c == ',') c = '.';
    }
  }
  double number = 0;
  const char* end = value.data() + value.size();
  const auto [ptr, ec] = std::from_chars(value.data(), end, number);
  if (ec != std::errc{} || ptr != end) return 0;
  return number;
}

bool IbptTable::open(const std::string& path) {
  close();
  const std::optional<std::string> content = read_file_whole(path);
  if (!content) return false;
  load_text(*content);
  clear_runtime_error();
  return true;
}

void IbptTable::close() {
  open_ = false;
  records_.clear();
  first_by_key_.clear();
}

void IbptTable::load_text(std::string_view content) {
  close();
  open_ = true;
  char separator = '\0';
  std::size_t begin = 0;
  while (begin < content.size()) {
    std::size_t end = content.find('\n', begin);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(begin, end - begin);
    begin = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (text::trim(line).empty()) continue;
    if (separator == '\0') separator = line.find(';') != std::string_view::npos ? ';' : ',';
    std::vector<std::string> fields = split_fields(line, separator);
    fields.resize(std::max<std::size_t>(fields.size(), 6));
    for (std::string& field : fields) field = text::fit(text::trim(field), kFieldCapacity);
    if (!has_digit(fields[0])) continue;
    records_.push_back({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
    first_by_key_.try_emplace(ncm_key(fields[0]), records_.size() - 1);
  }
}

const IbptRecord* IbptTable::find(std::string_view ncm) const {
  const auto found = first_by_key_.find(ncm_key(ncm));
  return found == first_by_key_.end() ? nullptr : &records_[found->second];
}

}  // namespace fvn::sale
