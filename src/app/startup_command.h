// `fvn start-up [--user N]`: the module's start-up as pdv runs it after the
// log-in, for the station's company ([station] company) and a user
// (--user, else [station] user): prints the module-wide values it loaded,
// or the start-up's message (exit 1) when it could not start.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/fvn_cli.h"
#include "data/module/fiscovendanotas.h"

namespace fvn::app {

// A whole number of the [station] section; `fallback` when missing or not a number.
std::int32_t station_number(const IniFile& config, std::string_view key, std::int32_t fallback);

// The start-up settings of the configuration (connection, working folder,
// service, the station's company); the exit status when they are unusable
// (the reason already printed).
std::optional<int> module_settings(Context& ctx, ModuleSettings& settings);

Command startup_command();

}  // namespace fvn::app
