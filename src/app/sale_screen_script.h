// The screen steps of a `fvn sell` script: the sale typed into the sale
// screen's presenter as a cashier types it into the window, with the
// payment dialogs answered by JanelasRoteiro from the script's "roteiro".
// A script is a screen script when it has "tela" (the steps) instead of
// "setup"/"steps":
//
//   {"tela": [{"acao": "quantidade", "valor": 2}, {"acao": "produto", "codigo": "42"},
//             {"acao": "cliente", "codigo": 2}, {"acao": "desconto_percentual", "valor": 5},
//             {"acao": "pagamento"}],
//    "roteiro": {"condicao": 1, "pagamentos": [{"forma": 1, "valor": 0}], "valor_entregue": 100}}
//
// Actions: "produto" (codigo: code, bar code or scale label), "quantidade",
// "cliente", "vendedor", "operacao", "emissor", "transportadora",
// "tipo_frete", "tabela" (codigo), "desconto_percentual", "desconto",
// "despesas_percentual", "despesas", "seguro", "frete" (valor),
// "libera_desconto" (Ctrl+F2), "consumidor" (Shift+N), "pagamento" (F5),
// "pagamento_rapido" (Alt+F5). A sale not closed by the last step is closed
// with F5. "roteiro" holds RoteiroVenda's members by name (see
// docs/simulate.md).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/sale_report.h"
#include "screens/janelas_roteiro.h"
#include "screens/nota_padrao_nfce.h"

namespace fvn::app {

// A step read, ready to be typed: `executa` answers the screen's 1/0;
// `fecha` marks the keys that close the sale (F5, Alt+F5).
struct PassoTela {
  std::string acao;
  std::function<int(NotaPadraoNfcePresenter&)> executa;
  bool fecha = false;
};

struct RoteiroTela {
  std::vector<PassoTela> passos;
  RoteiroVenda roteiro;
};

// True when the script is a screen script.
bool is_screen_script(const Json& script);

// Reads a screen script; false with `problem` naming the member at fault.
bool read_screen_script(const Json& script, RoteiroTela& out, std::string& problem);

// Plays the steps on the presenter (opened by the caller); false with
// `problem` naming the step the screen refused. The sale is closed.
bool play_screen_script(const RoteiroTela& script, NotaPadraoNfcePresenter& tela, std::string& problem);

}  // namespace fvn::app
