#include "runtime/scripted_ui.h"

namespace fvn {

int ScriptedUi::message(const MessageRequest& request) {
  messages_.push_back(request);
  if (message_answers_.empty()) return request.default_button;
  const int answer = message_answers_.front();
  message_answers_.pop_front();
  return answer;
}

int ScriptedUi::pick_list(const PickListRequest& request) {
  pick_lists_.push_back(request);
  if (request.search && !pick_searches_.empty()) {
    searched_rows_ = request.search(pick_searches_.front());
    pick_searches_.pop_front();
  }
  if (pick_answers_.empty()) return request.default_row;
  const int answer = pick_answers_.front();
  pick_answers_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedUi::choose_folder(std::string_view title, std::string_view /*start_folder*/) {
  folder_prompts_.emplace_back(title);
  if (folder_answers_.empty()) return std::nullopt;
  auto answer = folder_answers_.front();
  folder_answers_.pop_front();
  return answer;
}

// With no answer queued the question is cancelled.
std::optional<double> ScriptedUi::ask_number(const NumberRequest& request) {
  number_requests_.push_back(request);
  if (number_answers_.empty()) return std::nullopt;
  const auto answer = number_answers_.front();
  number_answers_.pop_front();
  return answer;
}

void ScriptedUi::operation_window(std::string_view title, OperationSteps& steps) {
  operation_titles_.emplace_back(title);
  bool running = true;
  while (running) {
    close_answers_.push_back(steps.close_requested());
    running = steps.tick();
    operation_progress_.push_back(steps.progress());
  }
  close_answers_.push_back(steps.close_requested());
}

}  // namespace fvn
