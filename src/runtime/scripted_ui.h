// HostUi for tests: answers come from a queue set up by the test (the
// default button once the queue is empty) and every request is recorded so
// the test can check the exact texts, titles and buttons shown.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "runtime/host_ui.h"

namespace fvn {

class ScriptedUi final : public HostUi {
 public:
  using HostUi::message;
  int message(const MessageRequest& request) override;
  int pick_list(const PickListRequest& request) override;
  std::optional<std::string> choose_folder(std::string_view title, std::string_view start_folder) override;
  std::optional<double> ask_number(const NumberRequest& request) override;
  void operation_status(std::string_view line) override { operation_statuses_.emplace_back(line); }
  // Records the title, asks to close before every tick (a user pressing the
  // close button all along) and records each answer and the progress after
  // each tick; then asks once more after the end.
  void operation_window(std::string_view title, OperationSteps& steps) override;

  // Queues the answer (1-based button) of the next message.
  void answer_message(int button) { message_answers_.push_back(button); }
  // Queues the answer of the next pick list (0 = cancel).
  void answer_pick(int row) { pick_answers_.push_back(row); }
  // Queues a search text typed into the next searching pick list before it
  // is answered; the rows it found are kept in searched_rows().
  void type_in_pick(std::string text) { pick_searches_.push_back(std::move(text)); }
  [[nodiscard]] const std::vector<std::vector<std::string>>& searched_rows() const { return searched_rows_; }
  // Queues the answer of the next folder choice (std::nullopt = cancel).
  void answer_folder(std::optional<std::string> folder) { folder_answers_.push_back(std::move(folder)); }

  // Queues the answer of the next number question (std::nullopt = cancel).
  void answer_number(std::optional<double> value) { number_answers_.push_back(value); }

  [[nodiscard]] const std::vector<NumberRequest>& number_requests() const { return number_requests_; }
  [[nodiscard]] const std::vector<MessageRequest>& messages() const { return messages_; }
  [[nodiscard]] const std::vector<PickListRequest>& pick_lists() const { return pick_lists_; }
  [[nodiscard]] const std::vector<std::string>& folder_prompts() const { return folder_prompts_; }
  // Status lines shown in the operation window, in order.
  [[nodiscard]] const std::vector<std::string>& operation_statuses() const { return operation_statuses_; }
  [[nodiscard]] const std::vector<std::string>& operation_titles() const { return operation_titles_; }
  // Progress after each tick of every window, in order.
  [[nodiscard]] const std::vector<int>& operation_progress() const { return operation_progress_; }
  // Answers to the close requests: one per tick (while running) and the last after the end.
  [[nodiscard]] const std::vector<bool>& close_answers() const { return close_answers_; }

 private:
  std::deque<int> message_answers_;
  std::deque<int> pick_answers_;
  std::deque<std::string> pick_searches_;
  std::vector<std::vector<std::string>> searched_rows_;
  std::deque<std::optional<std::string>> folder_answers_;
  std::deque<std::optional<double>> number_answers_;
  std::vector<NumberRequest> number_requests_;
  std::vector<MessageRequest> messages_;
  std::vector<PickListRequest> pick_lists_;
  std::vector<std::string> folder_prompts_;
  std::vector<std::string> operation_statuses_;
  std::vector<std::string> operation_titles_;
  std::vector<int> operation_progress_;
  std::vector<bool> close_answers_;
};

}  // namespace fvn
