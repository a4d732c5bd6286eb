// The runtime's in-memory ordered list of records (items, payments,
// installments, conditions, error entries...).
//
// Positions are 1-based. Reading, writing back, deleting and finding report
// failure by returning false (or 0 for a position) and setting the thread's
// runtime error: 30 "Entrada não encontrada" for a position or key that is not
// in the list. A success clears the runtime error.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "runtime/runtime_messages.h"

namespace fvn {

template <typename Record>
class OrderedList {
 public:
  [[nodiscard]] std::size_t records() const { return items_.size(); }
  [[nodiscard]] bool empty() const { return items_.empty(); }

  void clear() {
    items_.clear();
    clear_runtime_error();
  }

  // Appends a record; its position is records() afterwards.
  void add(Record record) {
    items_.push_back(std::move(record));
    clear_runtime_error();
  }

  // Inserts a record at `position` (1 .. records() + 1).
  bool insert(std::size_t position, Record record) {
    if (position < 1 || position > items_.size() + 1) return fail();
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position - 1), std::move(record));
    clear_runtime_error();
    return true;
  }

  // Copies the record at `position` into `out`.
  bool get(std::size_t position, Record& out) const {
    if (!valid(position)) return fail();
    out = items_[position - 1];
    clear_runtime_error();
    return true;
  }

  // Writes `record` back over the record at `position`.
  bool put(std::size_t position, Record record) {
    if (!valid(position)) return fail();
    items_[position - 1] = std::move(record);
    clear_runtime_error();
    return true;
  }

  bool erase(std::size_t position) {
    if (!valid(position)) return fail();
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position - 1));
    clear_runtime_error();
    return true;
  }

  // Direct access for readers that have checked the position.
  [[nodiscard]] const Record& at(std::size_t position) const { return items_.at(position - 1); }
  [[nodiscard]] Record& at(std::size_t position) { return items_.at(position - 1); }

  // Position of the first record whose key (key(record)) equals `value`, or
  // 0 with runtime error 30 when there is none.
  template <typename KeyOf, typename Value>
  std::size_t find(KeyOf key, const Value& value) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (std::invoke(key, items_[i]) == value) {
        clear_runtime_error();
        return i + 1;
      }
    }
    fail();
    return 0;
  }

  // Like find, copying the record into `out`.
  template <typename KeyOf, typename Value>
  bool get_by_key(KeyOf key, const Value& value, Record& out) const {
    const std::size_t position = find(key, value);
    return position != 0 && get(position, out);
  }

  // Stable sort by key, ascending (descending when `descending`).
  template <typename KeyOf>
  void sort(KeyOf key, bool descending = false) {
    std::stable_sort(items_.begin(), items_.end(), [&](const Record& a, const Record& b) {
      return descending ? std::invoke(key, b) < std::invoke(key, a) : std::invoke(key, a) < std::invoke(key, b);
    });
  }

  [[nodiscard]] auto begin() const { return items_.begin(); }
  [[nodiscard]] auto end() const { return items_.end(); }
  [[nodiscard]] auto begin() { return items_.begin(); }
  [[nodiscard]] auto end() { return items_.end(); }

 private:
  [[nodiscard]] bool valid(std::size_t position) const { return position >= 1 && position <= items_.size(); }

  static bool fail() {
    set_runtime_error(rt::kEntryNotFound);
    return false;
  }

  std::vector<Record> items_;
};

}  // namespace fvn
