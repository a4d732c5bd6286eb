#include "screens/notas_pendentes.h"

#include "data/passthrough_table.h"
#include "runtime/text.h"
#include "screens/ping_servico.h"

namespace fvn {

namespace {

constexpr std::string_view kResolving = "Resolvendo notas ficais emitidas em modo offline, aguarde por favor...";

// The resolution, one stage per tick so the window repaints between them:
// folders, server check (its own window), the notes.
class ResolveSteps final : public OperationSteps {
 public:
  ResolveSteps(HostUi& ui, NFCE_PROCESSO& processo, const ExportCompany& company)
      : ui_(ui), processo_(processo), company_(company) {}

  bool tick() override {
    switch (stage_++) {
      case 0:
        ui_.operation_status(kResolving);
        processo_.Carrega_Pastas(company_.code);
        return true;
      case 1:
        if (processo_.Checar_Servidor(company_.cnpj, company_.group, company_.user, company_.password, "", 1, 0, 0) !=
            1) {
          failure_ = "Erro ao checar servidor.|Erro: " + processo_.Traduz_Erro();
          stage_ = kEnded;
          return false;
        }
        return true;
      default:
        if (processo_.Resolve_Notas_Offline(pending_, errors_) != 1) {
          failure_ = "Erro ao resolver NFCe offline.|Erro: " + processo_.Traduz_Erro();
        }
        stage_ = kEnded;
        return false;
    }
  }
  [[nodiscard]] int progress() const override { return stage_ == kEnded ? 100 : stage_ * 30; }
  bool close_requested() override { return stage_ == kEnded; }

  std::string failure_;
  std::int32_t pending_ = 0;
  std::int32_t errors_ = 0;

 private:
  HostUi& ui_;
  NFCE_PROCESSO& processo_;
  const ExportCompany& company_;
  static constexpr int kEnded = 3;
  int stage_ = 0;
};

}  // namespace

int VERIFICA_NOTAS_PENDENTES(HostUi& ui, const std::string& connection) {
  PassthroughTable table("Tabela_Verifica_Pendentes", connection);
  if (table.open() != 1 ||
      table.execute("select cidesaidas from asaidas where " + std::string{kNotasPendentes} + " limit 1") != 1) {
    ui.message("Erro ao realizar consulta de notas fiscais emitidas offline na tabela.|" +
                   std::string{table.runtime_message()} + "|" + table.driver_message(),
               "Erro!", MessageIcon::Error);
    return 0;
  }
  const int found = table.next() == 1 ? 1 : 0;
  table.close();
  return found;
}

void ATUALIZA_NOTAS_PENDENTES(HostUi& ui, NFCE_PROCESSO& processo, const ExportCompany& company,
                              std::int32_t show_messages) {
  ResolveSteps steps(ui, processo, company);
  ui.operation_window("Notas pendentes", steps);
  if (!steps.failure_.empty()) ui.message(steps.failure_, "Erro!", MessageIcon::Error);
  if (show_messages != 1) return;
  if (steps.pending_ > 0) {
    ui.message("Há " + std::to_string(steps.pending_) +
                   " nota(s) emitida(s) offline com autorização pendente no servidor.|Por favor, tente resolvê-la(s) "
                   "novamente mais tarde.",
               "Aviso do sistema", MessageIcon::Exclamation);
  }
  if (steps.errors_ > 0) {
    ui.message("Há " + std::to_string(steps.errors_) +
                   " nota(s) emitida(s) offline com erro de autorização no servidor.|Você pode tentar emiti-la(s) "
                   "novamente pela opção F2-Venda>F4-Opções>F6-Carrega Nota Rejeitada.",
               "Aviso do sistema", MessageIcon::Exclamation);
  }
}

const std::vector<std::string>& NFCE_EMITIDAS_CONTINGENCIA::columns() {
  static const std::vector<std::string> kColumns{"N. Fiscal",       "Cliente",      "Nome Cliente",   "Valor Total",
                                                 "Chave de Acesso", "Ide NF Saida", "Tentativa Canc."};
  return kColumns;
}

NFCE_EMITIDAS_CONTINGENCIA::NFCE_EMITIDAS_CONTINGENCIA(HostUi& ui, NFCE_PROCESSO& processo, ExportCompany company)
    : ui_(ui), processo_(processo), company_(std::move(company)) {}

int NFCE_EMITIDAS_CONTINGENCIA::refresh() {
  rows_.clear();
  PassthroughTable table("Lista", processo_.connection());
  if (table.open() != 1 ||
      table.execute("select cnotsaidas, cclisaidas, nome_saidas, round(ctotsaidas, 2), s_asa_chave_nfe, cidesaidas, "
                    "i_asa_quorvex_canc from asaidas where " +
                    std::string{kNotasPendentes} + " order by cidesaidas") != 1) {
    ui_.message(table.error_text("Erro ao consultar notas fiscais pendentes.|"), "Erro!", MessageIcon::Error);
    return 0;
  }
  while (table.next() == 1) {
    std::vector<std::string> row;
    row.reserve(static_cast<std::size_t>(table.column_count()));
    for (int column = 0; column < table.column_count(); ++column) row.push_back(text::clip(table.value(column)));
    rows_.push_back(std::move(row));
  }
  table.close();
  return 1;
}

int NFCE_EMITIDAS_CONTINGENCIA::ping() { return PING_WEB_SERVICE_QUORVEX(ui_, processo_); }

int NFCE_EMITIDAS_CONTINGENCIA::resolve_all() {
  if (ping() != 1) return 0;
  ATUALIZA_NOTAS_PENDENTES(ui_, processo_, company_, 1);
  refresh();
  return 1;
}

}  // namespace fvn
