#include "app/scale_command.h"

#include <cstdio>
#include <iostream>
#include <ostream>
#include <string>

#include "devices/classe_balanca.h"
#include "runtime/headless_ui.h"

namespace fvn::app {

Command scale_command() {
  return {"scale", "read [--device PATH]", "read one weight from the scale configured in [scale]",
          [](Context& ctx, const std::vector<std::string>& args) {
            const bool device = args.size() == 3 && args[1] == "--device";
            if (args.empty() || args[0] != "read" || (args.size() != 1 && !device)) {
              ctx.err << "fvn: usage: fvn scale read [--device PATH]\n";
              return kExitUsage;
            }
            devices::DadosBalanca dados = devices::le_dados_balanca(ctx.config);
            if (device) {
              if (dados.porta < 1 || dados.porta > 9) dados.porta = 1;
              dados.dispositivos[static_cast<std::size_t>(dados.porta - 1)] = args[2];
            }
            HeadlessUi ui(ctx.err, &std::cin);
            devices::Classe_Balanca balanca;
            balanca.Configura(dados);
            balanca.Set_Ui(&ui);
            double peso = 0;
            if (balanca.Get_Peso(peso) != 1) {
              ctx.out << "Erro ao ler peso: " << message_lines(balanca.Get_Error()) << "\n";
              return kExitFailure;
            }
            char texto[64];
            std::snprintf(texto, sizeof texto, "%.3f", peso);
            ctx.out << "peso: " << texto << "\n";
            return kExitOk;
          }};
}

}  // namespace fvn::app
