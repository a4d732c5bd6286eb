// pdv: the desktop point of sale. Reads the configuration as fvn does
// (--config FILE, else $FVN_CONFIG, else var/fvn.ini), opens the log-in
// window, starts the module for the user who logs in (the station's
// company: [station] company, 1 by default) and opens the main window.
// The receipt preview prints the station's way ([station] receipt); Ctrl+B
// on the main window reads the scale ([scale]). F2 opens the sale screen
// ([station] cash_account is the cash account its status bar shows). F8 registers a consumer and
// F9 checks a customer's credit, asking a supervisor to release its blocks.
// `--play FILE` plays a key script against the windows and ends with its
// status (desktop/key_player.h). With FVN_PDV_TIMING set, the times from
// launch to the log-in window and from log-in to the main window, and the
// resident memory once the main window is up, go to standard error.
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/fvn_cli.h"
#include "app/startup_command.h"
#include "data/module/fiscovendanotas.h"
#include "desktop/autorizacao_view.h"
#include "desktop/cadastro_consumidor_view.h"
#include "desktop/export_view.h"
#include "desktop/janelas_venda_qt.h"
#include "desktop/key_player.h"
#include "desktop/login_view.h"
#include "desktop/main_window.h"
#include "desktop/pending_view.h"
#include "desktop/qt_host_ui.h"
#include "desktop/sale_window.h"
#include "desktop/station_devices.h"
#include "screens/browses.h"
#include "screens/cadastro_consumidor.h"
#include "screens/consulta_credito.h"
#include "screens/exportacao_xml.h"
#include "screens/login.h"
#include "screens/nota_padrao_nfce.h"
#include "screens/notas_pendentes.h"
#include "screens/ping_servico.h"

namespace {

using fvn::desktop::to_qstring;

int usage(const char* problem) {
  if (problem != nullptr) std::cerr << "pdv: " << problem << "\n";
  std::cerr << "Usage: pdv [--config FILE] [--play FILE]\n"
               "  --config FILE  configuration (default: $FVN_CONFIG, then var/fvn.ini)\n"
               "  --play FILE    play a key script against the windows, then exit\n";
  return problem != nullptr ? fvn::app::kExitUsage : fvn::app::kExitOk;
}

// Resident memory of the process, in kB (0 when unknown).
long resident_kb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

// The offscreen platform (tests, --play on a machine without a display)
// warns about window size hints it cannot pass on; that says nothing about
// pdv. Every other message goes to Qt's default handler.
QtMessageHandler g_default_handler = nullptr;
void filter_platform_noise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
  g_default_handler(type, context, message);
}

// The company's login at the NFC-e service.
fvn::ExportCompany service_company(const fvn::ModuleValues& v) {
  return {v.COD_EMPR, v.CNPJ, v.S_TEM_GRUPO_EDOC, v.S_TEM_LOGIN_EDOC, v.S_TEM_SENHA_EDOC};
}

struct Options {
  std::string config;
  std::string play;
};

std::optional<int> parse(const QStringList& args, Options& options) {
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == "--help" || arg == "-h") return usage(nullptr);
    if ((arg == "--config" || arg == "--play") && i + 1 < args.size()) {
      (arg == "--config" ? options.config : options.play) = args[++i].toStdString();
    } else if (arg.startsWith("--config=")) {
      options.config = arg.mid(9).toStdString();
    } else if (arg.startsWith("--play=")) {
      options.play = arg.mid(7).toStdString();
    } else {
      return usage(("unknown argument: " + arg.toStdString()).c_str());
    }
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer launch;
  launch.start();
  g_default_handler = qInstallMessageHandler(filter_platform_noise);
  QApplication application(argc, argv);
  const bool timing = std::getenv("FVN_PDV_TIMING") != nullptr;

  Options options;
  if (auto exit = parse(QApplication::arguments(), options)) return *exit;

  std::unique_ptr<fvn::desktop::KeyPlayer> player;
  if (!options.play.empty()) {
    QFile file(QString::fromStdString(options.play));
    if (!file.open(QIODevice::ReadOnly)) {
      std::cerr << "pdv: cannot read " << options.play << "\n";
      return fvn::app::kExitUsage;
    }
    QString error;
    auto actions = fvn::desktop::parse_key_script(QString::fromUtf8(file.readAll()), file.fileName(), error);
    if (!actions) {
      std::cerr << "pdv: " << error.toStdString() << "\n";
      return fvn::app::kExitUsage;
    }
    player = std::make_unique<fvn::desktop::KeyPlayer>(std::move(*actions), file.fileName());
  }

  fvn::app::Context ctx{std::cout, std::cerr, fvn::app::resolve_config(options.config, std::getenv("FVN_CONFIG")),
                        fvn::IniFile{}, false};
  if (ctx.source.explicit_choice && !QFile::exists(QString::fromStdString(ctx.source.path))) {
    std::cerr << "pdv: configuration file not found: " << ctx.source.path << "\n";
    return fvn::app::kExitFailure;
  }
  if (!ctx.config.load(ctx.source.path)) {
    std::cerr << "pdv: cannot read the configuration " << ctx.source.path << "\n";
    return fvn::app::kExitFailure;
  }
  fvn::ModuleSettings settings;
  if (auto exit = fvn::app::module_settings(ctx, settings)) return *exit;

  fvn::ImpressaoEstacao station;
  std::string station_problem;
  if (fvn::le_impressao_estacao(ctx.config, station, station_problem) != 1) {
    std::cerr << "pdv: " << station_problem << "\n";
    return fvn::app::kExitFailure;
  }
  fvn::desktop::QtHostUi ui;
  ui.set_print_handler(fvn::desktop::receipt_print_handler(ui, settings.connection, station));
  fvn::LoginPresenter presenter(ui, settings.connection);
  std::unique_ptr<fvn::desktop::MainWindow> main_window;
  fvn::desktop::LoginView* login_view = nullptr;

  const auto open_main_window = [&](const fvn::UserAccount& user) {
    settings.user = user.codigo;
    std::string error;
    if (fvn::fiscovendanotas_init(ui, settings, error) != 1) {
      ui.message(error, "Erro", fvn::MessageIcon::Error);
      return false;
    }
    fvn::FiscoVendaNotas& module = *fvn::fiscovendanotas();
    const fvn::ModuleValues& values = module.values();
    main_window = std::make_unique<fvn::desktop::MainWindow>(
        QStringLiteral("Frente de caixa NFC-e"),
        QStringLiteral("%1 - %2\nUsuário: %3")
            .arg(values.COD_EMPR)
            .arg(to_qstring(values.NOME_FANTASIA.empty() ? values.EMPRESA : values.NOME_FANTASIA),
                 to_qstring(values.NOME_USUARIO)));
    fvn::desktop::MainWindow* window = main_window.get();
    // F2: the sale screen on the module's facade, its dialogs the desktop's;
    // the receipt of each issued sale is previewed or printed as its series
    // and [station] say.
    window->set_action(fvn::desktop::MainWindow::Vender, [&ui, window, user, &settings, &station, &ctx] {
      fvn::FiscoVendaNotas* up = fvn::fiscovendanotas();
      if (up == nullptr) return;
      const fvn::ModuleValues& v = up->values();
      fvn::desktop::QtJanelasVenda janelas(window, ui, v.CNXSTR, v,
                                           fvn::SessaoAtual{user.codigo, user.login, v.COD_EMPR}, up->validador());
      fvn::IMPRESSAO_DANFE danfe(ui);
      danfe.set_connection(v.CNXSTR);
      danfe.set_impressao(station);
      fvn::EstacaoVenda estacao{
          fvn::contexto_estacao(v, settings.service.url),
          static_cast<std::int32_t>(std::strtol(ctx.config.get("station", "cash_account", "0").c_str(), nullptr, 10))};
      estacao.contexto.imprime_danfe = [&danfe](std::int32_t venda, std::int32_t resumido) {
        return danfe.Imprime_Danfe(venda, resumido);
      };
      fvn::NotaPadraoNfcePresenter tela(ui, janelas, v, up->venda(), up->processo(), std::move(estacao));
      fvn::desktop::NOTA_PADRAO_NFCE(tela, window);
      window->show_status(QStringLiteral("Venda encerrada."));
    });
    window->set_action(fvn::desktop::MainWindow::Ping, [&ui, window] {
      fvn::FiscoVendaNotas* up = fvn::fiscovendanotas();
      if (up != nullptr && fvn::PING_WEB_SERVICE_QUORVEX(ui, up->processo()) == 1) {
        window->show_status(QStringLiteral("Servidor de notas fiscais respondeu."));
      } else {
        window->show_status(QStringLiteral("Servidor de notas fiscais não respondeu."));
      }
    });
    window->set_action(fvn::desktop::MainWindow::ExportarXml, [&ui, window] {
      fvn::FiscoVendaNotas* up = fvn::fiscovendanotas();
      if (up == nullptr) return;
      fvn::SOLICITA_EXPORTACAO_XML exportacao(ui, up->processo(), service_company(up->values()));
      fvn::desktop::ExportView view(exportacao, window);
      view.open_window();
    });
    window->set_action(fvn::desktop::MainWindow::NotasPendentes, [&ui, window] {
      fvn::FiscoVendaNotas* up = fvn::fiscovendanotas();
      if (up == nullptr) return;
      if (fvn::VERIFICA_NOTAS_PENDENTES(ui, up->values().CNXSTR) != 1) {
        window->show_status(QStringLiteral("Nenhuma nota pendente."));
        return;
      }
      fvn::ATUALIZA_NOTAS_PENDENTES(ui, up->processo(), service_company(up->values()), 1);
      window->show_status(fvn::VERIFICA_NOTAS_PENDENTES(ui, up->values().CNXSTR) == 1
                              ? QStringLiteral("Ainda há notas pendentes.")
                              : QStringLiteral("Nenhuma nota pendente."));
    });
    window->set_action(fvn::desktop::MainWindow::NotasContingencia, [&ui, window] {
      fvn::FiscoVendaNotas* up = fvn::fiscovendanotas();
      if (up == nullptr) return;
      fvn::NFCE_EMITIDAS_CONTINGENCIA browse(ui, up->processo(), service_company(up->values()));
      fvn::desktop::PendingNotesView view(browse, window);
      view.open_window();
    });
    window->set_action(fvn::desktop::MainWindow::Consultas, [&ui, window] {
      fvn::FiscoVendaNotas* up = fvn::fiscovendanotas();
      if (up == nullptr) return;
      const fvn::ModuleValues& v = up->values();
      fvn::PassthroughTable table("Consultas", v.CNXSTR);
      const auto chosen = fvn::CONSULTAS(ui, table, fvn::browse_catalog(v.COD_EMPR, v.OPERADOR, v.TAB_PRE_PADRAO));
      window->show_status(chosen ? to_qstring(chosen->first + ": " + chosen->second)
                                 : QStringLiteral("Nenhum código escolhido."));
    });
    window->set_action(fvn::desktop::MainWindow::CadastroConsumidor, [&ui, window, user] {
      fvn::FiscoVendaNotas* up = fvn::fiscovendanotas();
      if (up == nullptr) return;
      fvn::CadastroConsumidorPresenter cadastro(ui, up->values().CNXSTR, up->validador(),
                                                fvn::tem_direito(user, fvn::Direito::CadastraCliente));
      const std::int32_t codigo = fvn::desktop::cadastro_consumidor(cadastro, window);
      window->show_status(codigo > 0 ? QStringLiteral("Consumidor cadastrado: código %1.").arg(codigo)
                                     : QStringLiteral("Nenhum consumidor cadastrado."));
    });
    window->set_action(fvn::desktop::MainWindow::CreditoCliente, [&ui, window, user] {
      fvn::FiscoVendaNotas* up = fvn::fiscovendanotas();
      if (up == nullptr) return;
      const fvn::ModuleValues& v = up->values();
      fvn::PassthroughTable table("CLIENTE", v.CNXSTR);
      const auto chosen = fvn::pick_browse(ui, table, fvn::browse_clientes());
      if (!chosen) {
        window->show_status(QStringLiteral("Nenhum cliente escolhido."));
        return;
      }
      const fvn::SessaoAtual sessao{user.codigo, user.login, v.COD_EMPR};
      fvn::ConsultaCreditoPresenter consulta(ui, v.CNXSTR, v.COD_EMPR, user);
      const std::string status = consulta.verifica(
          static_cast<std::int32_t>(std::strtol(chosen->c_str(), nullptr, 10)),
          [&](const fvn::ConsultaCreditoPresenter::Liberacao& l) {
            fvn::AutorizacaoPresenter autorizacao(ui, v.CNXSTR, sessao, l.direito, l.motivos,
                                                  "Crédito do cliente " + *chosen);
            return fvn::desktop::autenticacao(autorizacao, window) == 1 ? autorizacao.supervisor().login
                                                                        : std::string();
          });
      window->show_status(to_qstring(status));
    });
    fvn::desktop::add_scale_key(window, ui, fvn::devices::le_dados_balanca(ctx.config));
    window->setAttribute(Qt::WA_QuitOnClose, true);
    window->show();
    window->activateWindow();
    // Once after log-in: notes left unresolved (by this station or another)
    // are offered for resolution before the first sale.
    QTimer::singleShot(0, window, [&ui] {
      fvn::FiscoVendaNotas* up = fvn::fiscovendanotas();
      if (up == nullptr || fvn::VERIFICA_NOTAS_PENDENTES(ui, up->values().CNXSTR) != 1) return;
      if (ui.message("Há notas fiscais emitidas offline pendentes de resolução.|Deseja resolvê-las agora?",
                     "Aviso do sistema", fvn::MessageIcon::Question, "&Sim|&Não") == 1) {
        fvn::ATUALIZA_NOTAS_PENDENTES(ui, up->processo(), service_company(up->values()), 1);
      }
    });
    if (timing) {
      QTimer::singleShot(0, window, [&login_view] {
        std::cerr << "pdv: main window after " << login_view->since_enter_ms() << " ms\n";
      });
      QTimer::singleShot(1000, window, [] { std::cerr << "pdv: idle rss " << resident_kb() / 1024 << " MB\n"; });
    }
    return true;
  };

  fvn::desktop::LoginView login(presenter, open_main_window);
  login_view = &login;
  login.show();
  login.activateWindow();
  if (timing) {
    QTimer::singleShot(0, &login, [&launch] {
      std::cerr << "pdv: log-in window after " << launch.elapsed() << " ms (at " << QDateTime::currentMSecsSinceEpoch()
                << ")\n";
    });
  }
  if (player) player->start();

  int status = application.exec();
  if (login.attempts_exhausted() && status == 0) status = fvn::app::kExitFailure;
  if (player && player->result()) status = *player->result();
  main_window.reset();
  fvn::fiscovendanotas_kill();
  return status;
}
