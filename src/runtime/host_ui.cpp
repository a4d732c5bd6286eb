#include "runtime/host_ui.h"

#include "runtime/text.h"

namespace fvn {

int HostUi::message(std::string_view text, std::string_view title, MessageIcon icon, std::string_view buttons,
                    int default_button) {
  MessageRequest request;
  request.text = std::string{text};
  request.title = std::string{title};
  request.icon = icon;
  request.buttons = std::string{buttons};
  request.default_button = default_button;
  return message(request);
}

int HostUi::pick_list(const PickListRequest& /*request*/) { return 0; }

std::optional<std::string> HostUi::choose_folder(std::string_view /*title*/, std::string_view /*start_folder*/) {
  return std::nullopt;
}

void HostUi::operation_status(std::string_view /*line*/) {}

void HostUi::operation_window(std::string_view /*title*/, OperationSteps& steps) {
  while (steps.tick()) {
  }
}

std::optional<double> HostUi::ask_number(const NumberRequest& /*request*/) { return std::nullopt; }

void HostUi::preview_document(std::string_view /*title*/, std::string_view /*path*/) {}

std::vector<std::string> button_captions(std::string_view buttons) {
  if (buttons.empty()) return {};
  return text::split(buttons, '|');
}

std::string caption_text(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

std::string display_lines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // CR LF: one break
    out += text[i] == '|' ? '\n' : text[i];
  }
  return out;
}

}  // namespace fvn
