#include "runtime/headless_ui.h"

#include <iostream>

namespace fvn {

HeadlessUi::HeadlessUi() : out_(&std::cerr) {}
HeadlessUi::HeadlessUi(std::ostream& out) : out_(&out) {}

int HeadlessUi::message(const MessageRequest& request) {
  const auto captions = button_captions(request.buttons);
  const int count = static_cast<int>(captions.size());
  const int chosen = request.default_button >= 1 && request.default_button <= count ? request.default_button : 1;
  *out_ << "[" << request.title << "] " << display_lines(request.text) << '\n';
  if (count > 1) {
    *out_ << "  -> " << caption_text(captions[static_cast<std::size_t>(chosen - 1)]) << '\n';
  }
  out_->flush();
  return chosen;
}

void HeadlessUi::preview_document(std::string_view title, std::string_view path) {
  *out_ << "[" << title << "] " << path << '\n';
  out_->flush();
}

}  // namespace fvn
