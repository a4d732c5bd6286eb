#include "desktop/station_devices.h"

#include <QShortcut>
#include <QString>
#include <QWidget>

#include "runtime/host_ui.h"

namespace fvn::desktop {

std::function<void(const std::string&)> receipt_print_handler(HostUi& ui, std::string connection,
                                                              ImpressaoEstacao station) {
  return [&ui, connection = std::move(connection), station = std::move(station)](const std::string& pdf) {
    IMPRESSAO_DANFE danfe(ui);
    danfe.set_connection(connection);
    danfe.set_impressao(station);
    if (danfe.Imprime_Previa(pdf) != 1) {
      ui.message(std::string{IMPRESSAO_DANFE::kMensagemFalha} + "|" + danfe.ERROR, IMPRESSAO_DANFE::kTituloFalha,
                 MessageIcon::Exclamation);
    }
  };
}

void show_scale_reading(HostUi& ui, const devices::DadosBalanca& scale) {
  devices::Classe_Balanca balanca;
  balanca.Configura(scale);
  balanca.Set_Ui(&ui);
  double peso = 0;
  if (balanca.Get_Peso(peso) != 1) {
    ui.message(balanca.Get_Error(), "Ler balança", MessageIcon::Exclamation);
    return;
  }
  const QString texto = QStringLiteral("Peso: %1 kg").arg(QString::number(peso, 'f', 3).replace('.', ','));
  ui.message(texto.toStdString(), "Ler balança", MessageIcon::Information);
}

void add_scale_key(QWidget* window, HostUi& ui, devices::DadosBalanca scale) {
  auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_B), window);
  QObject::connect(key, &QShortcut::activated, window,
                   [&ui, scale = std::move(scale)] { show_scale_reading(ui, scale); });
}

}  // namespace fvn::desktop
