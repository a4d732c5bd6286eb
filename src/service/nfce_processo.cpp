// The processor's set-up, its operation window and the authorisation steps.
#include "service/nfce_processo.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "nfce/valida_totais.h"
#include "runtime/text.h"
#include "service/traduz_erro.h"

namespace fvn {

namespace {

constexpr std::string_view kWindowServer = "Log de Status do Servidor";
constexpr std::string_view kWindowNote = "Log do Envio da NFCe";

// The 44-digit key in the Id attribute of an invoice ("NFe" + key), or empty.
std::string key_of_invoice(std::string_view xml) {
  constexpr std::string_view kMarker = "Id=\"NFe";
  const auto at = xml.find(kMarker);
  if (at == std::string_view::npos) return {};
  const std::string key{xml.substr(at + kMarker.size(), 44)};
  return sql_service_key(key) && key.size() == 44 ? key : std::string{};
}

}  // namespace

// The operation window's steps: one routine per operation code.
class NFCE_PROCESSO::Window final : public OperationSteps {
 public:
  Window(NFCE_PROCESSO& owner, std::string_view operation) : owner_(owner), note_(operation == "NOTA") {}

  bool tick() override {
    if (!ended()) {
      if (note_) {
        owner_.step_note();
      } else {
        owner_.step_server_check();
      }
    }
    return !ended();
  }
  [[nodiscard]] int progress() const override { return owner_.progress_; }
  bool close_requested() override { return ended(); }

 private:
  [[nodiscard]] bool ended() const { return owner_.done_ || owner_.flags_.failed; }

  NFCE_PROCESSO& owner_;
  bool note_;
};

NFCE_PROCESSO::NFCE_PROCESSO(HostUi& ui, GatewayConfig config, OperationLog::ClockSource clock)
    : DOCUMENTO(ui), SERVICO(ui, std::move(config)), LOG(ui, std::move(clock)), ui_(ui) {}

void NFCE_PROCESSO::set_connection(std::string connection_text) {
  connection_ = std::move(connection_text);
  DOCUMENTO.set_connection(connection_);
}

void NFCE_PROCESSO::set_base_folder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  base_folder_ = std::move(folder);
  download_folder_ = base_folder_ + "Downloads_Quorvex/";
  LOG.set_base_folder(base_folder_);
  DOCUMENTO.set_pasta_nfce(base_folder_);
}

void NFCE_PROCESSO::Carrega_Pastas(std::int32_t company) {
  PassthroughTable table("Tabela_Pastas", connection_);
  std::string folder;
  std::string danfe;
  std::string folder_again;
  std::int32_t email = 0;
  std::int32_t save = 0;
  std::int32_t name = 0;
  std::int32_t config = 0;
  table.bind_text(folder, 4095)
      .bind_text(danfe, 4095)
      .bind_text(folder_again, 4095)
      .bind_long(email)
      .bind_long(save)
      .bind_long(name)
      .bind_long(config);
  if (table.open() == 1 &&
      table.execute(" select trim( s_tem_caminho_pasta_nfce ) , trim( s_tem_pasta_padrao_danfe ) , trim( "
                    "s_tem_caminho_pasta_nfce ) , i_tem_abre_tela_email_nfe , i_tem_abrir_tela_salvar_danfe , "
                    "i_tem_nome_danfe, i_tem_configura1  from tempresa where ccodempresa = " +
                    sql_integer(company)) == 1 &&
      table.next() == 1) {
    set_base_folder(folder);
  }
  if (table.is_open() && table.close() != 1) {
    set_error(table.error_text("Erro ao fechar tabela|"), 0, "Carrega_Pastas");
  }
  std::error_code ec;
  if (!download_folder_.empty() && !std::filesystem::is_directory(download_folder_, ec)) {
    std::filesystem::create_directories(download_folder_, ec);
    if (ec) {
      set_error("Erro ao criar pasta dos arquivos de download da Quorvex.|" + ec.message(), 0, "Carrega_Pastas");
    }
  }
}

std::string NFCE_PROCESSO::Traduz_Erro() {
  ERROR = traduz_erro(ERROR);
  return ERROR;
}

void NFCE_PROCESSO::post_failure(std::string_view text) {
  set_error(text, 0, "NFCE_PROCESSO");
  flags_.failed = true;
}

void NFCE_PROCESSO::log_service_failure(std::string_view context) {
  LOG.Gera_Arquivo_Log("Retorno Quorvex - " + std::string{context} + text::clip(SERVICO.error_text()));
}

int NFCE_PROCESSO::run_window(std::string_view operation, std::string_view title) {
  flags_ = Flags{};
  progress_ = 0;
  done_ = false;
  LOG.clear_status_list();
  set_error(title, 0, "NFCE_PROCESSO");
  Window window(*this, operation);
  ui_.operation_window(title, window);
  return done_ && !flags_.failed ? 1 : 0;
}

int NFCE_PROCESSO::Checar_Servidor(std::string_view cnpj, std::string_view group, std::string_view user,
                                   std::string_view password, std::string_view /*url*/, std::int32_t /*sale*/,
                                   std::int32_t /*http*/, std::int32_t /*port*/) {
  login_cnpj_ = std::string{cnpj};
  login_group_ = std::string{group};
  login_user_ = std::string{user};
  login_password_ = std::string{password};
  return run_window("CHECAR_SERVIDOR", kWindowServer);
}

void NFCE_PROCESSO::step_server_check() {
  if (flags_.failed) return;
  if (!flags_.generated) {
    if (SERVICO.Set_Login(login_password_, login_user_, login_group_, login_cnpj_) == 1) {
      status_line("Setando dados de login OK");
    } else {
      log_service_failure("Erro ao setar informações para web quorvex,");
      post_failure("Erro ao setar informações para web quorvex|" + SERVICO.error_text());
    }
    status_line("Gerando Arquivo para Checar Servidor...");
    progress_ += 5;
    flags_.generated = true;
  } else if (!flags_.sent) {
    status_line("Enviando Arquivo para Checar Servidor...");
    progress_ += 10;
    status_line("Arquivo para Checar Servidor Enviado OK");
    flags_.sent = true;
    flags_.answered = true;
  } else {
    status_line("Fazendo Tratamento Arquivo para Checar Servidor...");
    progress_ += 5;
    status_line("Arquivo da para Checar Servidor Tratado e Sem Ocorrências OK");
    flags_.recorded = true;
    post_done();
  }
}

int NFCE_PROCESSO::Enviar_Nota(std::int32_t sale) {
  starting_sale_ = sale;
  current_sale_ = sale;
  outcome_ = Outcome::NotSent;
  const int result = run_window("NOTA", kWindowNote);
  PassthroughTable table("Tabela_Envio", connection_);
  if (table.open() == 1) {
    table.execute("select pg_advisory_unlock(" + std::to_string(kSendLock) + ", " + sql_integer(sale) + ")");
  }
  return result;
}

// Marks the sale in doubt, with the key it is sent under, in a committed
// step of its own, and takes the session lock that keeps the resolution off
// it while it is being sent. False after posting the failure (nothing sent).
bool NFCE_PROCESSO::mark_sent(const std::string& key) {
  PassthroughTable table("Tabela_Envio", connection_);
  const std::string id = sql_integer(starting_sale_);
  const auto quoted_key = sql_service_key(key);
  if (key.empty() || !quoted_key) {
    post_failure("Erro ao marcar NFC-e como enviada.|Chave de acesso ausente no XML gerado.");
    return false;
  }
  if (table.open() != 1 ||
      table.execute("select pg_advisory_lock(" + std::to_string(kSendLock) + ", " + id + ")") != 1 ||
      table.execute("update asaidas set s_asa_chave_nfe = " + *quoted_key +
                    ", i_asa_situacao_nfce = 1, t_asa_envio_nfce = clock_timestamp() where cidesaidas = " + id +
                    " and s_asa_estorno is null and i_asa_situacao_nfce <> 2") != 1) {
    const std::string text = table.error_text("Erro ao marcar NFC-e como enviada.|");
    LOG.Gera_Arquivo_Log(text);
    post_failure(text);
    return false;
  }
  if (table.row_count() != 1) {
    post_failure("Erro ao marcar NFC-e como enviada.|Venda " + id + " não encontrada ou estornada.");
    return false;
  }
  return true;
}

// The status of `key` into the status result. A query that gets no answer
// is tried again, at most the configured number of times, waiting longer
// each time; an answer about the note (found, refused, unknown key) ends
// the tries.
int NFCE_PROCESSO::query_status(std::string_view key) {
  const GatewayConfig& config = SERVICO.gateway().config();
  long wait_ms = config.status_backoff_ms;
  for (int attempt = 1;; ++attempt) {
    status_ = StatusResult{};
    if (SERVICO.statuschave_nfce(key, status_) == 1) return 1;
    if (SERVICO.Chave_Desconhecida() || attempt >= config.status_attempts) return 0;
    status_line("Consultando status da NFCe novamente em " + std::to_string(wait_ms) + " ms...");
    std::this_thread::sleep_for(std::chrono::milliseconds(wait_ms));
    wait_ms *= 2;
  }
}

void NFCE_PROCESSO::step_note() {
  if (flags_.failed) return;
  if (!flags_.generated) {
    status_line("Gerando Arquivo Texto...");
    progress_ += 5;
    DOCUMENTO.ID = starting_sale_;
    if (DOCUMENTO.Gera_XML_NFCe() != 1) {
      post_failure("Erro ao gerar Arquivo NFC-e|" + traduz_erro(DOCUMENTO.ERROR));
      return;
    }
    status_line("Arquivo Texto Gerado OK");
    flags_.generated = true;
  } else if (!flags_.sent) {
    send_note();
  } else if (!flags_.treated) {
    status_line("Fazendo Tratamento Arquivo da Nota Fiscal...");
    progress_ += 5;
    status_line("Arquivo da Nota Fiscal Tratado e Sem Ocorrências OK");
    flags_.treated = true;
  } else if (!flags_.recorded) {
    status_line("Gravando Arquivo da Nota Fiscal no BD...");
    progress_ += 5;
    if (Incluir_XML_Banco(current_sale_) != 1) {
      post_failure("Erro ao gravar Arquivo NFCe|" + Traduz_Erro());
      return;
    }
    status_line("Arquivo da Nota Fiscal Gravado no BD OK");
    status_line("Gerando QR Code da NFCe...");
    if (Gera_QRCode(authorisation_.qr_code_url) != 1) {
      post_failure("Erro ao gerar QR Code da NFCe|" + Traduz_Erro());
      return;
    }
    status_line("QR Code da NFCe gerado OK");
    flags_.recorded = true;
    post_done();
  }
}

// After a sending without an answer about the note: true when the service
// holds the note (OK or PENDENTE), with its answer taken from the status.
// A note it refused is Refused; any other outcome stays Unknown.
bool NFCE_PROCESSO::recover_lost_reply(const std::string& key) {
  const std::string send_error = SERVICO.error_text();
  status_line("Consultando status da NFCe " + key + " após falha no envio...");
  const int found = query_status(key);
  const std::string state = text::upper(text::clip(status_.authorisation_status));
  if (found != 1 || (state != "OK" && state != "PENDENTE")) {
    outcome_ = found == 1 && state == "ERRO" ? Outcome::Refused : Outcome::Unknown;
    SERVICO.set_error(send_error, 0, "autorizaxml_nfce");  // the sending's own failure is reported
    return false;
  }
  authorisation_.number = status_.number;
  authorisation_.access_key = status_.access_key.empty() ? key : status_.access_key;
  authorisation_.protocol = status_.protocol;
  authorisation_.oid = status_.oid;
  authorisation_.qr_code_url = status_.qr_code_url;
  authorisation_.authorisation_date = status_.authorisation_date;
  authorisation_.authorisation_time = status_.authorisation_time;
  authorisation_.contingency = status_.contingency;
  status_line("NFCe encontrada no servidor com status " + state + "; resposta do envio perdida.");
  return true;
}

std::int32_t NFCE_PROCESSO::invoice_number() const { return DOCUMENTO.NOTA.I_TN_NUMERO_NF; }

void NFCE_PROCESSO::send_note() {
  // A note whose totals disagree with its items would be refused: it is not sent.
  if (const Resultado_Totais totais = Valida_Totais(DOCUMENTO.XML_NFCE); !totais.ok) {
    LOG.Gera_Arquivo_Log("Nota Fiscal não enviada, totais não conferem: " + totais.mensagem);
    post_failure("Nota Fiscal não enviada: os totais não conferem com os itens.|" + totais.mensagem);
    return;
  }
  status_line("Enviando Arquivo da Nota Fiscal...");
  progress_ += 10;
  const std::string key = key_of_invoice(DOCUMENTO.XML_NFCE);
  if (!mark_sent(key)) return;
  LOG.Gera_Arquivo_Log(DOCUMENTO.XML_NFCE);
  authorisation_ = AuthorisationResult{};
  outcome_ = Outcome::Unknown;
  if (SERVICO.autorizaxml_nfce(DOCUMENTO.XML_NFCE, authorisation_) != 1) {
    if (SERVICO.Nota_Recusada()) outcome_ = Outcome::Refused;
    if (outcome_ == Outcome::Refused || !recover_lost_reply(key)) {
      // A refused note stays in doubt until the caller's reversal clears
      // the mark in the same transaction (estorna_transacao): a process
      // killed in between leaves it for the resolution, never standing
      // unmarked with postings the service knows nothing of.
      log_service_failure("Erro ao enviar Arquivo de NFCe Quorvex,");
      post_failure("Erro ao enviar Arquivo de NFCe Quorvex|" + SERVICO.error_text());
      return;
    }
  }
  outcome_ = Outcome::Accepted;
  status_line("Salvando XML gerado...");
  progress_ += 5;
  PassthroughTable table("asaidas", connection_);
  if (table.open() != 1) {
    const std::string text = "Erro ao abrir tabela asaidas para atualizar contingencia da NFC-e." +
                             table.driver_message() + "|" + std::string{table.runtime_message()};
    LOG.Gera_Arquivo_Log(text);
    post_failure(text);
    return;
  }
  if (!record_answer(table)) return;
  status_line("Arquivo de NFC-e Quorvex Enviado OK");
  flags_.sent = true;
  flags_.answered = true;
}

// Writes the answer into the sale (and duplicates a renumbered contingency
// note); false after posting the failure.
bool NFCE_PROCESSO::record_answer(PassthroughTable& table) {
  const std::string returned = DOCUMENTO.FORMATA.Numerico(authorisation_.number, 9, 0, true, true);
  const std::string own = DOCUMENTO.FORMATA.Numerico(std::to_string(invoice_number()), 9, 0, true, true);
  const bool differ = returned != own;
  if (differ) LOG.Gera_Arquivo_Log("numero diferente ");
  LOG.Gera_Arquivo_Log("0 - numero retorno quorvex e numero velto " + authorisation_.number + " - " +
                       std::to_string(invoice_number()));
  // Accepted without a protocol (pending at the authority): settled later
  // by the resolution, like a contingency note.
  if (authorisation_.contingency == 0 && text::clip(authorisation_.protocol).empty()) {
    authorisation_.contingency = 1;
  }
  const std::string flag = std::to_string(authorisation_.contingency);
  LOG.Gera_Arquivo_Log("1 - verificacao de contingencia " + flag);
  auto fail_update = [&](std::string_view why) {
    LOG.Gera_Arquivo_Log("Erro ao atualizar contingencia da NFC-e." + std::string{why});
    post_failure("Erro ao atualizar oid da NFCe." + std::string{why});
    return false;
  };
  const std::string url = table.literal(authorisation_.qr_code_url);
  const std::string where = " where cidesaidas = " + sql_integer(current_sale_) + ";";
  if (authorisation_.contingency == 1) {
    LOG.Gera_Arquivo_Log("2 - entrou na contingencia " + flag);
    authorisation_.protocol.clear();
    authorisation_.oid = "0";
    // A renumbered note: until the move is done the sale carries the key of
    // the note the service holds (the key it was sent under is voided), in
    // the same statement, so that an interrupted or failed move leaves the
    // resolution a key it can settle; the move gives the original its sent
    // key back.
    std::string renumbered_key;
    if (differ) {
      const auto key = sql_service_key(authorisation_.access_key);
      if (!key || *key == "NULL") {
        const std::string why = "Chave inválida devolvida pelo serviço: \"" + authorisation_.access_key + "\".";
        LOG.Gera_Arquivo_Log("Erro ao atualizar chave gerada pelo velto NFC-e que será duplicada." + why);
        post_failure("Erro ao atualizar chave gerada pelo velto da NFC-e que será duplicada." + why);
        return false;
      }
      renumbered_key = ", s_asa_chave_nfe = " + *key;
    }
    if (table.execute("update asaidas set i_asa_contigencia = " + flag + ", i_asa_oid_quorvex = 0" +
                      ", i_asa_url_code_nfce = " + url + renumbered_key + where) != 1) {
      return fail_update(table.driver_message() + "|" + std::string{table.runtime_message()});
    }
    if (!differ) return true;
    if (Duplica_Nota(current_sale_) != 1) {
      LOG.Gera_Arquivo_Log("Erro ao duplicar NFCe emitida em contingência" + ERROR);
      post_failure("Erro ao duplicar NFCe emitida em contingência|" + Traduz_Erro());
      return false;
    }
    return true;
  }
  LOG.Gera_Arquivo_Log("2 - não entrou na contingencia " + flag);
  const auto oid = sql_service_integer(authorisation_.oid);
  const auto date = sql_service_date(authorisation_.authorisation_date);
  const auto time = sql_service_time(authorisation_.authorisation_time);
  if (!oid || !date || !time) {
    return fail_update("Valor inválido devolvido pelo serviço (oid \"" + authorisation_.oid + "\", data \"" +
                       authorisation_.authorisation_date + "\", hora \"" + authorisation_.authorisation_time + "\").");
  }
  const std::string oid_value = *oid == "NULL" ? std::string{"0"} : *oid;
  if (table.execute("update asaidas set i_asa_contigencia = " + flag + ", i_asa_oid_quorvex = " + oid_value +
                    ", i_asa_url_code_nfce = " + url + ", d_asa_data_autorizacao_nfce = " + *date +
                    " , h_asa_hora_autorizacao_nfce = " + *time + where) != 1) {
    return fail_update(table.driver_message() + "|" + std::string{table.runtime_message()});
  }
  return true;
}

int NFCE_PROCESSO::Verifica_Reenvio(std::string_view key) {
  if (query_status(key) != 1) {
    if (SERVICO.Chave_Desconhecida()) return 1;  // never received: it may be sent
    log_service_failure("Erro ao consultar status da NFCe,");
    post_failure("Erro ao consultar status da NFCe.|" + SERVICO.error_text());
    return 0;
  }
  const std::string state = text::upper(text::clip(status_.authorisation_status));
  if (state == "ERRO") return 1;
  if (state == "OK") {
    post_failure("Nota Fiscal autorizada no servidor não pode ser reenviada.");
  } else {
    post_failure("Nota Fiscal com autorização pendente no servidor não pode ser reenviada.");
  }
  return 0;
}

int NFCE_PROCESSO::Verifica_Venda(std::int32_t sale) {
  PassthroughTable table("Tabela_Envio", connection_);
  const std::string id = sql_integer(sale);
  if (table.open() != 1 ||
      table.execute("select coalesce(s_asa_estorno, ''), s_asa_protocolo_nfe, s_asa_chave_nfe, i_asa_situacao_nfce "
                    "from asaidas where cidesaidas = " +
                    id) != 1) {
    post_failure(table.error_text("Erro ao consultar situação da venda.|"));
    return 0;
  }
  if (table.next() != 1) {
    post_failure("Venda " + id + " não encontrada.");
    return 0;
  }
  const std::string reversal = table.value(0);
  if (reversal == "C") {
    post_failure("Venda " + id + " cancelada: a nota não pode ser enviada.");
  } else if (reversal == "R") {
    post_failure("Venda " + id + " estornada: a nota não pode ser enviada.");
  } else if (!text::clip(table.value(1)).empty()) {
    post_failure("Nota Fiscal autorizada no servidor não pode ser reenviada.");
  } else if (table.value(3) == "2") {
    post_failure("Venda " + id + " renumerada pelo servidor: a nota não pode ser enviada.");
  } else {
    const std::string key = text::clip(table.value(2));
    return key.empty() ? 1 : Verifica_Reenvio(key);
  }
  return 0;
}

int NFCE_PROCESSO::Ping_Servidor() {
  if (SERVICO.ping() == 1) return 1;
  log_service_failure("Erro ao efetuar ping no servidor de NFCe.,");
  post_failure("Verifique sua conectividade com a internet ou se o serviço está ativo no servidor." +
               SERVICO.error_text());
  return 0;
}

std::string NFCE_PROCESSO::qrcode_path(std::int32_t sale) const {
  return base_folder_ + "Qrcode_Gerados/" + std::to_string(sale) + ".bmp";
}

int NFCE_PROCESSO::Gera_QRCode(std::string_view url) {
  if (url.empty()) return set_error("QR Code vazio.|", 0, "Gera_QRCode");
  std::error_code ec;
  std::filesystem::create_directories(base_folder_ + "Qrcode_Gerados", ec);
  if (QRCODE.gera(qrcode_path(current_sale_), text::cut(url, GERADOR_QRCODE::kMaxContent)) != 1) {
    return set_error("Erro executar função gerar_qrcode|" + QRCODE.error_text(), 0, "Gera_QRCode");
  }
  return 1;
}

int NFCE_PROCESSO::Solicitar_Exportacao(std::int32_t year, std::int32_t month) {
  if (SERVICO.Solicitar_Exportacao(year, month) == 1) return 1;
  log_service_failure("Erro ao solicitar exportação de XML NFCe Quorvex,");
  post_failure(SERVICO.error_text());
  return 0;
}

int NFCE_PROCESSO::Consultar_Exportacao(std::string& result) {
  if (SERVICO.Consultar_Exportacao(result) == 1) return 1;
  log_service_failure("Erro ao consultar exportação de XML NFCe Quorvex,");
  post_failure(SERVICO.error_text());
  return 0;
}

int NFCE_PROCESSO::Download_Exportacao(std::string_view folder, std::string_view link) {
  if (SERVICO.download_exportacao(folder, link) == 1) return 1;
  log_service_failure("Erro ao consultar exportação de XML NFCe Quorvex,");
  post_failure(SERVICO.error_text());
  return 0;
}

}  // namespace fvn
