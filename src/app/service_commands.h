// `fvn ping` and `fvn status KEY`: the NFC-e service through the service
// client, with the address, credentials and time-outs of the [service]
// section. Each step is written to the day's operation log under the NFC-e
// folder and printed as the status line it logs. `fvn status` asks for the
// note of the 44-digit access key on behalf of the emitter CNPJ inside the
// key and prints the status record (--json: one JSON object).
#pragma once

#include <string>
#include <vector>

#include "app/fvn_cli.h"
#include "service/service_gateway.h"

namespace fvn::app {

// The gateway settings of the configuration; false with `why` when a
// time-out is not a positive number of milliseconds.
bool service_config(const Context& ctx, GatewayConfig& config, std::string& why);

int ping(Context& ctx, const std::vector<std::string>& args);
int status(Context& ctx, const std::vector<std::string>& args);
Command ping_command();
Command status_command();

}  // namespace fvn::app
