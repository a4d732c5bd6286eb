#include "runtime/headless_ui.h"

#include <algorithm>
#include <iostream>
#include <string>

#include "runtime/expression.h"
#include "runtime/text.h"

namespace fvn {

HeadlessUi::HeadlessUi() : out_(&std::cerr) {}
HeadlessUi::HeadlessUi(std::ostream& out, std::istream* in) : out_(&out), in_(in) {}

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

std::optional<double> HeadlessUi::ask_number(const NumberRequest& request) {
  *out_ << "[" << request.title << "] " << caption_text(request.prompt) << ' ';
  out_->flush();
  const auto captions = button_captions(request.buttons);
  const std::string cancel =
      "-> " + (captions.empty() ? std::string{"cancelado"} : caption_text(captions.back())) + "\n";
  std::string line;
  if (in_ == nullptr || !std::getline(*in_, line) || text::trim(line).empty()) {
    *out_ << cancel;
    return std::nullopt;
  }
  std::replace(line.begin(), line.end(), ',', '.');
  const auto value = read_number(line);
  if (!value) *out_ << cancel;
  return value;
}

}  // namespace fvn
