// HostUi of the fvn commands: messages are written to one stream (as
// HeadlessUi writes them, every question answered with its default button),
// the operation window's status lines to another as they are logged, and a
// folder choice is answered with the folder the command line named.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/headless_ui.h"
#include "runtime/host_ui.h"

namespace fvn::app {

class CommandLineUi final : public HostUi {
 public:
  CommandLineUi(std::ostream& status_lines, std::ostream& messages);

  using HostUi::message;
  int message(const MessageRequest& request) override;
  void operation_status(std::string_view line) override;
  void preview_document(std::string_view title, std::string_view path) override;
  // The folder given with answer_folder(); cancels when there is none.
  std::optional<std::string> choose_folder(std::string_view title, std::string_view start_folder) override;

  void answer_folder(std::string folder) { folder_ = std::move(folder); }

 private:
  std::ostream& status_lines_;
  HeadlessUi messages_;
  std::optional<std::string> folder_;
};

}  // namespace fvn::app
