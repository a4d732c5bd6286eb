// The operation log: every step of an NFC-e operation (authorisation, server
// check, contingency resolution, export) leaves a dated line in a plain text
// file, one file per calendar day, and is shown live as a status line in the
// operation window.
//
//   log folder  base folder + "Log_Velto"
//   log file    log folder + "/NFC-e" + today as yyyymmdd (D012) + ".TXT"
//   line        today dd/mm/yyyy (d06) + " - " + clock hh:mm:ss (t04) + " - "
//               + the message without trailing blanks
//
// The file is opened, appended to and closed for every line (the line file
// lock keeps two writers of one station apart); lines are never cut.
// Logging never stops an operation: a failure returns 0 and leaves one of
// the three messages in this log's own error text, which the caller may
// show; it does not touch the caller's error text.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/line_file.h"
#include "runtime/clock.h"
#include "runtime/host_ui.h"

namespace fvn {

class OperationLog {
 public:
  static constexpr std::size_t kStatusLineCapacity = 256;

  struct Moment {
    Date date = 0;
    Time time = 0;
  };
  using ClockSource = std::function<Moment()>;

  // `clock` gives today and the clock time; the system clock by default.
  explicit OperationLog(HostUi& ui, ClockSource clock = {});

  // The company's NFC-e folder; a missing final "/" is added.
  void set_base_folder(std::string folder);
  [[nodiscard]] const std::string& base_folder() const { return base_folder_; }
  [[nodiscard]] std::string log_folder() const;
  // The path of the day's file for `date`.
  [[nodiscard]] std::string log_file(Date date) const;

  // Appends one line to the day's file; 1 on success, 0 with error_text().
  int Gera_Arquivo_Log(std::string_view message);

  // A status line: "dd/mm/yyyy - hh:mm:ss - " + message appended to the
  // status list (text of 256), the bare message logged, and, when the
  // operation window's list is shown, the line shown through the host.
  void status_line(std::string_view message, bool show = true);

  // Empties the status list (an operation window opens).
  void clear_status_list() { status_list_.clear(); }
  [[nodiscard]] const std::vector<std::string>& status_list() const { return status_list_; }
  [[nodiscard]] const std::string& error_text() const { return error_; }

 private:
  [[nodiscard]] Moment now() const;
  static std::string stamp(const Moment& moment);

  HostUi& ui_;
  ClockSource clock_;
  std::string base_folder_;
  std::vector<std::string> status_list_;
  std::string error_;
  LineReaderWriter file_;
};

}  // namespace fvn
