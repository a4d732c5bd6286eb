// PING_WEB_SERVICE_QUORVEX: a small window showing "Efetuando comunicação
// com o servidor, aguarde um momento..." (the operation window, one step)
// that asks the NFC-e service whether it answers through the processor.
// A failure is shown titled "Erro!"; success shows nothing. 1 when the
// service answered, else 0.
#pragma once

#include "runtime/host_ui.h"
#include "service/nfce_processo.h"

namespace fvn {

int PING_WEB_SERVICE_QUORVEX(HostUi& ui, NFCE_PROCESSO& processo);

}  // namespace fvn
