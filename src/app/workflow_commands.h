// `fvn issue SALE_ID`: the server check and the sending of a recorded sale,
// headless, each status line printed as it is logged; then the key, the
// protocol, the contingency flag and the QR image path, or the translated
// error. `fvn pending [--resolve]`: the notes the resolution would settle;
// with --resolve it runs and prints the pending and error counts.
// `fvn export request YYYY-MM | list | download LINK DIR`: the XML export
// window's actions; each prints the list of requests ("MM/YYYY LINK") or
// the window's message.
#pragma once

#include "app/fvn_cli.h"

namespace fvn::app {

Command issue_command();
Command sell_command();
Command pending_command();
Command export_command();

}  // namespace fvn::app
