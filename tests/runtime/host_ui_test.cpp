#include "runtime/host_ui.h"

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/headless_ui.h"

namespace fvn {
namespace {

TEST(HostUi, CaptionsAndLines) {
  EXPECT_EQ(button_captions("&Sim|&Não"), (std::vector<std::string>{"&Sim", "&Não"}));
  EXPECT_TRUE(button_captions("").empty());
  EXPECT_EQ(caption_text("&Salvar && Sair&"), "Salvar & Sair");
  EXPECT_EQ(display_lines("Linha 1|Linha 2||"), "Linha 1\nLinha 2\n\n");
  EXPECT_EQ(display_lines("Nota finalizada.\r\nValor: 1\r|x\r"), "Nota finalizada.\nValor: 1\r\nx\r");
}

TEST(HeadlessUi, WritesLinesAndAnswersTheDefaultButton) {
  std::ostringstream out;
  HeadlessUi ui(out);
  EXPECT_EQ(ui.message("Nota pendente|Deseja reenviar?", "Atenção", MessageIcon::Question, "&Sim|&Não", 2), 2);
  EXPECT_EQ(ui.message("Gravado", "Aviso do sistema"), 1);
  EXPECT_EQ(ui.message("?", "Atenção", MessageIcon::Question, "&Sim|&Não", 5), 1);  // no button 5: the first
  EXPECT_EQ(ui.message("?", "Atenção", MessageIcon::Question, "&Sim|&Não", 0), 1);
  ui.preview_document("DANFE NFCe", "/tmp/danfe-7.pdf");
  EXPECT_EQ(out.str(),
            "[Atenção] Nota pendente\nDeseja reenviar?\n  -> Não\n"
            "[Aviso do sistema] Gravado\n"
            "[Atenção] ?\n  -> Sim\n"
            "[Atenção] ?\n  -> Sim\n"
            "[DANFE NFCe] /tmp/danfe-7.pdf\n");
  EXPECT_EQ(ui.pick_list(PickListRequest{}), 0);
  EXPECT_EQ(ui.choose_folder("Pasta", "/"), std::nullopt);
}

// Three steps of 5, 10 and 5; may close only after the last.
class ThreeSteps final : public OperationSteps {
 public:
  bool tick() override {
    static constexpr int kRaise[] = {5, 10, 5};
    if (ticks_ < 3) progress_ += kRaise[ticks_++];
    return ticks_ < 3;
  }
  [[nodiscard]] int progress() const override { return progress_; }
  bool close_requested() override { return ticks_ == 3; }
  int ticks_ = 0;

 private:
  int progress_ = 0;
};

TEST(OperationWindow, HeadlessRunsOneStepPerTickUntilTheEnd) {
  std::ostringstream out;
  HeadlessUi ui(out);
  ThreeSteps steps;
  ui.operation_window("Log", steps);
  EXPECT_EQ(steps.ticks_, 3);
  EXPECT_EQ(steps.progress(), 20);
}

}  // namespace
}  // namespace fvn

namespace fvn {
namespace {

TEST(HeadlessUi, ReadsANumberFromItsInputAndCancelsWithoutOne) {
  std::istringstream in("1,250\n\nabc\n");
  std::ostringstream out;
  HeadlessUi ui(out, &in);
  NumberRequest request;
  request.title = "Balança";
  request.prompt = "Digite o &Peso:";
  EXPECT_EQ(ui.ask_number(request), 1.25);
  EXPECT_FALSE(ui.ask_number(request));  // empty line
  EXPECT_FALSE(ui.ask_number(request));  // not a number
  EXPECT_FALSE(ui.ask_number(request));  // end of input
  EXPECT_NE(out.str().find("[Balança] Digite o Peso:"), std::string::npos);
  HeadlessUi no_input(out);
  EXPECT_FALSE(no_input.ask_number(request));
}

}  // namespace
}  // namespace fvn
