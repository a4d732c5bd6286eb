// HostUi for the command line: messages are written to a stream (standard
// error by default) and every question is answered with its default button.
// A document to preview is not shown: the line names the file it was saved in.
// A number is read as one line from the input stream given (a decimal comma
// is taken as a point); without one, or at an empty line or the end of the
// input, the question is cancelled.
#pragma once

#include <iosfwd>

#include "runtime/host_ui.h"

namespace fvn {

class HeadlessUi final : public HostUi {
 public:
  HeadlessUi();
  explicit HeadlessUi(std::ostream& out, std::istream* in = nullptr);

  using HostUi::message;
  int message(const MessageRequest& request) override;
  void preview_document(std::string_view title, std::string_view path) override;
  std::optional<double> ask_number(const NumberRequest& request) override;

 private:
  std::ostream* out_;
  std::istream* in_ = nullptr;
};

}  // namespace fvn
