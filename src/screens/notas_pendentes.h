// The windows for notes still unresolved with the NFC-e service: a check
// whether any exist, the resolution window, the browse of them and its
// "resolve everything" button. "Unresolved" is the resolution's own
// condition (kNotasPendentes): in doubt, in contingency without
// confirmation, or owed a cancellation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/host_ui.h"
#include "screens/exportacao_xml.h"
#include "service/nfce_processo.h"

namespace fvn {

// VERIFICA_NOTAS_PENDENTES: 1 when at least one unresolved note exists, 0
// when none. A failed query is shown titled "Erro!" and gives 0, so no
// resolution is offered on a query that could not be answered.
int VERIFICA_NOTAS_PENDENTES(HostUi& ui, const std::string& connection);

// ATUALIZA_NOTAS_PENDENTES: the operation window "Resolvendo notas ficais
// emitidas em modo offline, aguarde por favor..." loads the company's
// folders, checks the server and settles the notes; the processor's status
// lines show in it. Failures are always shown; with `show_messages` 1 the
// counts of notes still pending and of notes refused are shown too.
void ATUALIZA_NOTAS_PENDENTES(HostUi& ui, NFCE_PROCESSO& processo, const ExportCompany& company,
                              std::int32_t show_messages);

// NFCE_EMITIDAS_CONTINGENCIA: the browse "Notas Fiscais Pendentes".
class NFCE_EMITIDAS_CONTINGENCIA {
 public:
  static constexpr const char* kTitle = "Notas Fiscais Pendentes";
  static const std::vector<std::string>& columns();

  NFCE_EMITIDAS_CONTINGENCIA(HostUi& ui, NFCE_PROCESSO& processo, ExportCompany company);

  // Reads the unresolved notes afresh, ordered by sale; 0 after showing a
  // failed query (titled "Erro!"), the rows left empty.
  int refresh();
  [[nodiscard]] const std::vector<std::vector<std::string>>& rows() const { return rows_; }

  // "F2 - &Resolver Tudo": pings the service; only when it answers, runs the
  // resolution with its messages and reads the list again. 1 when the
  // resolution ran.
  int resolve_all();
  // The ping button: 1 when the service answered.
  int ping();

 private:
  HostUi& ui_;
  NFCE_PROCESSO& processo_;
  ExportCompany company_;
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace fvn
