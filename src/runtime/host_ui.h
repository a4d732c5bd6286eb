// HostUi: everything the module shows or asks goes through this interface.
// Engine classes and window presenters call it; the desktop application
// implements it with its toolkit, `fvn` with HeadlessUi and the tests with
// ScriptedUi. No engine code shows anything by itself.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fvn {

enum class MessageIcon { None, Information, Exclamation, Question, Error };

struct MessageRequest {
  std::string text;   // "|" separates lines
  std::string title;  // "Erro", "Aviso do sistema", ...
  MessageIcon icon = MessageIcon::None;
  std::string buttons;     // captions separated by "|", "&" marks the mnemonic: "&Sim|&Não"
  int default_button = 1;  // 1-based
};

struct PickListRequest {
  std::string title;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  int default_row = 1;  // 1-based; 0 for none
  // When set, the list searches through it instead of filtering `rows`:
  // every change of the search text replaces the rows shown with what it
  // returns for that text, and the answer is a position in the rows it
  // returned last (in `rows` while the text was never changed).
  std::function<std::vector<std::vector<std::string>>(const std::string& text)> search;
};

// A window asking for one number: a group box captioned `group` holding the
// entry `prompt` (with `decimals` decimals, starting at `initial`) and the
// buttons `buttons` (accept first, cancel second).
struct NumberRequest {
  std::string title;
  std::string group;
  std::string prompt;
  int decimals = 0;
  double initial = 0;
  std::string buttons = "&Ok|&Cancelar";
};

// The steps of an operation window (a status list above a progress bar,
// one step per timer tick). The operation decides when it has ended; the
// window only drives it.
class OperationSteps {
 public:
  OperationSteps() = default;
  OperationSteps(const OperationSteps&) = delete;
  OperationSteps& operator=(const OperationSteps&) = delete;
  virtual ~OperationSteps() = default;

  // Runs one step; false once the operation has ended (done or failed).
  virtual bool tick() = 0;
  // The progress bar's value.
  [[nodiscard]] virtual int progress() const = 0;
  // A user's request to close the window: true when the window may close,
  // which is only once the operation has ended.
  virtual bool close_requested() = 0;
};

class HostUi {
 public:
  HostUi() = default;
  HostUi(const HostUi&) = delete;
  HostUi& operator=(const HostUi&) = delete;
  virtual ~HostUi() = default;

  // Shows a message and returns the chosen button, 1-based.
  virtual int message(const MessageRequest& request) = 0;

  // Convenience form: a message with one "&Ok" button unless others are given.
  int message(std::string_view text, std::string_view title, MessageIcon icon = MessageIcon::None,
              std::string_view buttons = "&Ok", int default_button = 1);

  // Lets the user pick a row; returns its 1-based position or 0 when the
  // user cancels. The default implementation cancels.
  virtual int pick_list(const PickListRequest& request);

  // Asks for a folder; std::nullopt when the user cancels. The default
  // implementation cancels.
  virtual std::optional<std::string> choose_folder(std::string_view title, std::string_view start_folder);

  // Shows one status line in the open operation window's list and selects
  // it, so the newest line is visible. The default shows nothing.
  virtual void operation_status(std::string_view line);

  // Opens a modal operation window titled `title` and drives `steps`, one
  // step per timer tick, until they end; then closes it. The default (no
  // window) runs the steps back to back.
  virtual void operation_window(std::string_view title, OperationSteps& steps);

  // Asks for a number; std::nullopt when the user cancels. The default
  // implementation cancels.
  virtual std::optional<double> ask_number(const NumberRequest& request);

  // Shows a document the module has written (the receipt's PDF) in a
  // preview window titled `title`. The default shows nothing.
  virtual void preview_document(std::string_view title, std::string_view path);
};

// Button captions of a "|"-separated list ("&Sim|&Não" -> {"&Sim", "&Não"}).
std::vector<std::string> button_captions(std::string_view buttons);

// A caption as shown: the "&" mnemonic marks removed ("&&" stays one "&").
std::string caption_text(std::string_view caption);

// Message text as shown: every "|" and every CR LF becomes a line break.
std::string display_lines(std::string_view text);

}  // namespace fvn
