#include "app/command_line_ui.h"

#include <ostream>

namespace fvn::app {

CommandLineUi::CommandLineUi(std::ostream& status_lines, std::ostream& messages)
    : status_lines_(status_lines), messages_(messages) {}

int CommandLineUi::message(const MessageRequest& request) { return messages_.message(request); }

void CommandLineUi::preview_document(std::string_view title, std::string_view path) {
  messages_.preview_document(title, path);
}

void CommandLineUi::operation_status(std::string_view line) { status_lines_ << line << '\n' << std::flush; }

std::optional<std::string> CommandLineUi::choose_folder(std::string_view /*title*/, std::string_view /*start_folder*/) {
  return folder_;
}

}  // namespace fvn::app
