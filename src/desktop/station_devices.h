// The station's devices as pdv uses them: the receipt preview's print
// button prints the station's way ([station] receipt: PDF to the print
// server or ESC/POS to a device), and Ctrl+B on a window reads the
// configured scale ([scale]) and shows the weight or the scale's message.
#pragma once

#include <functional>
#include <string>

#include "devices/classe_balanca.h"
#include "devices/impressao_danfe.h"

class QWidget;

namespace fvn::desktop {

// What QtHostUi::set_print_handler takes: prints the receipt whose preview
// is the given PDF; a failure is shown as the receipt's own alert.
std::function<void(const std::string&)> receipt_print_handler(HostUi& ui, std::string connection,
                                                              ImpressaoEstacao station);

// Reads the scale once and shows the result: "Peso: 1,250 kg", or the
// scale's message (a cancelled typed weight, a time-out, ...).
void show_scale_reading(HostUi& ui, const devices::DadosBalanca& scale);

// Ctrl+B on `window` runs show_scale_reading.
void add_scale_key(QWidget* window, HostUi& ui, devices::DadosBalanca scale);

}  // namespace fvn::desktop
