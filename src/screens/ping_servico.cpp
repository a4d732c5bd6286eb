#include "screens/ping_servico.h"

namespace fvn {

namespace {

class PingStep final : public OperationSteps {
 public:
  PingStep(HostUi& ui, NFCE_PROCESSO& processo) : ui_(ui), processo_(processo) {}
  bool tick() override {
    if (done_) return false;
    ui_.operation_status("Efetuando comunicação com o servidor, aguarde um momento...");
    result_ = processo_.Ping_Servidor();
    done_ = true;
    return false;
  }
  [[nodiscard]] int progress() const override { return done_ ? 100 : 0; }
  bool close_requested() override { return done_; }
  [[nodiscard]] int result() const { return result_; }

 private:
  HostUi& ui_;
  NFCE_PROCESSO& processo_;
  bool done_ = false;
  int result_ = 0;
};

}  // namespace

int PING_WEB_SERVICE_QUORVEX(HostUi& ui, NFCE_PROCESSO& processo) {
  PingStep step(ui, processo);
  ui.operation_window("Ping", step);
  if (step.result() == 1) return 1;
  ui.message("Erro ao efetuar conexão com servidor de notas fiscais.|" + processo.Traduz_Erro(), "Erro!",
             MessageIcon::Error);
  return 0;
}

}  // namespace fvn
