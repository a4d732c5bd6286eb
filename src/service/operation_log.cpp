#include "service/operation_log.h"

#include <filesystem>

#include "runtime/picture.h"
#include "runtime/text.h"

namespace fvn {

OperationLog::OperationLog(HostUi& ui, ClockSource clock) : ui_(ui), clock_(std::move(clock)) {}

void OperationLog::set_base_folder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  base_folder_ = std::move(folder);
}

std::string OperationLog::log_folder() const { return base_folder_ + "Log_Velto"; }

std::string OperationLog::log_file(Date date) const {
  return log_folder() + "/NFC-e" + format_picture(date, "@D012") + ".TXT";
}

OperationLog::Moment OperationLog::now() const {
  if (clock_) return clock_();
  return {today(), clock_now()};
}

std::string OperationLog::stamp(const Moment& moment) {
  return format_picture(moment.date, "@d06") + " - " + format_picture(moment.time, "@t04") + " - ";
}

int OperationLog::Gera_Arquivo_Log(std::string_view message) {
  const Moment moment = now();
  const std::string folder = log_folder();
  std::error_code ec;
  if (!std::filesystem::exists(folder, ec)) {
    std::filesystem::create_directories(folder, ec);
    if (ec) {
      error_ = "Gera_Arquivo_Log - Erro ao criar pasta Log.";
      return 0;
    }
  }
  file_.set_name(log_file(moment.date));
  if (file_.open() != 1) {
    error_ = file_.error_text();
    return 0;
  }
  if (file_.add_line(stamp(moment) + text::clip(message)) != 1) {
    error_ = "Gera_Arquivo_Log - Erro ao adicionar conteúdo no arquivo LOG.";
    file_.close();
    return 0;
  }
  if (file_.close() != 1) {
    error_ = "Gera_Arquivo_Log - Erro ao fechar o arquivo Log.";
    return 0;
  }
  return 1;
}

void OperationLog::status_line(std::string_view message, bool show) {
  const std::string line = text::fit(stamp(now()) + std::string{message}, kStatusLineCapacity);
  status_list_.push_back(line);
  Gera_Arquivo_Log(message);
  if (show) ui_.operation_status(line);
}

}  // namespace fvn
