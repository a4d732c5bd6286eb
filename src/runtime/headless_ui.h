// HostUi for the command line: messages are written to a stream (standard
// error by default) and every question is answered with its default button.
// A document to preview is not shown: the line names the file it was saved in.
#pragma once

#include <iosfwd>

#include "runtime/host_ui.h"

namespace fvn {

class HeadlessUi final : public HostUi {
 public:
  HeadlessUi();
  explicit HeadlessUi(std::ostream& out);

  using HostUi::message;
  int message(const MessageRequest& request) override;
  void preview_document(std::string_view title, std::string_view path) override;

 private:
  std::ostream* out_;
};

}  // namespace fvn
