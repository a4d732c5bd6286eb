#include "payment/payment_ledger.h"

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn::payment {

namespace {

double r2(double x) { return round_to(x, 2); }

std::string valor(double x) { return text::trim(format_picture(x, "@n10.2")); }

bool vazio(std::string_view texto) { return text::trim(texto).empty(); }

std::string runtime_text() { return std::string{last_runtime_message()}; }

}  // namespace

int PaymentLedger::Set_Quebra(std::int32_t quebra) {
  if (quebra < 1 || quebra > 4) return set_error("Tipo de quebra inválida.", 0, "Set_Quebra");
  QUEBRA = quebra;
  return 1;
}

int PaymentLedger::Set_Data_Emissao(Date data) {
  if (!valid_date(data)) return set_error("Data de emissão inválida", 0, "Set_Data_Emissao");
  DATA_EMISSAO = data;
  return 1;
}

int PaymentLedger::Adiciona_Entidade(const FinancialEntity& entidade) {
  constexpr std::string_view kFuncao = "Adiciona_Entidade";
  if (entidade.CODIGO <= 0) return set_error("Código com valor zero ou menor que zero ", 0, kFuncao);
  if (vazio(entidade.NOME)) return set_error("Descrição da Entidade Não pode estar Vazia ", 0, kFuncao);
  if (entidade.TIPO < 1 || entidade.TIPO > 4) {
    return set_error("Tipo da Entidade Difere dos tipos Constantes ", 0, kFuncao);
  }
  ENTIDADES.add(entidade);
  return 1;
}

int PaymentLedger::Adiciona_Forma_Pagamento(const GRUPO_FORMAS_PAGAMENTO& forma) {
  constexpr std::string_view kFuncao = "Adiciona_Forma_Pagamento";
  if (forma.CODIGO <= 0) return set_error("Código menor que zero", 0, kFuncao);
  if (vazio(forma.DESCRICAO)) return set_error("Descrição vazia", 0, kFuncao);
  if (forma.TIPO < 1 || forma.TIPO > 5) return set_error("Tipo de forma de pagamento inválido", 0, kFuncao);
  if (forma.TIPO == 5 && (forma.TIPO_CARTAO_MANUAL < 1 || forma.TIPO_CARTAO_MANUAL > 3)) {
    return set_error("Tipo de cartão inválido", 0, kFuncao);
  }
  if (forma.VEZES < 0 || (forma.COMPOSTA == 1 && forma.VEZES <= 0)) {
    return set_error("Número de vezes menor que zero ou forma composta e sem número de vezes.", 0, kFuncao);
  }
  if (forma.DIAS < 0) return set_error("Número de dias menor que zero", 0, kFuncao);
  if (!(forma.TAXA >= 0) || !std::isfinite(forma.TAXA)) return set_error("Número da taxa menor que zero", 0, kFuncao);
  if (forma.CODIGO_ENTIDADE < 0) return set_error("Código de entidade menor que zero", 0, kFuncao);
  if (forma.TIPO == 2) {
    if (forma.TIPO_ACRESCIMO_TEF != 1 && forma.TIPO_ACRESCIMO_TEF != 2) {
      return set_error("Código menor que zero", 0, kFuncao);
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(forma.PASTA_TEF, ec)) {
      return set_error("Pasta não existente " + forma.PASTA_TEF, 0, kFuncao);
    }
    const std::string backup = text::trim(forma.PASTA_BACKUP_TEF);
    if (!std::filesystem::is_directory(backup, ec)) {
      std::filesystem::create_directories(backup, ec);
      if (backup.empty()) ec = std::make_error_code(std::errc::no_such_file_or_directory);
      if (ec) {
        return set_error("Pasta de Backup não existente e não foi possível criar em: " + backup +
                             "|Erro: " + std::to_string(ec.value()),
                         0, kFuncao);
      }
    }
  }
  if (forma.CODIGO_ENTIDADE != 0 && ENTIDADES.find(&FinancialEntity::CODIGO, forma.CODIGO_ENTIDADE) == 0) {
    return set_error(" Código da entidade inexistente " + runtime_text(), 0, " Adiciona_Forma_Pagamento ");
  }
  FORMAS_PAGAMENTO.add(forma);
  return 1;
}

int PaymentLedger::Set_Valor_Total(double v) {
  if (std::isnan(v) || v < 0) return set_error("Valor Total menor que zero", 0, "Set_Valor_Total");
  if (!std::isfinite(v) || !scaled_units(v, 2)) return set_error("Valor Total inválido", 0, "Set_Valor_Total");
  Free_Pagamento();
  VALOR_TOTAL = r2(v);
  VALOR_PAGAR = VALOR_TOTAL;
  VALOR_PAGO = 0;
  VALOR_TROCO = 0;
  return 1;
}

void PaymentLedger::Free_Pagamento() { PAGAMENTOS.clear(); }

int PaymentLedger::Ultimo_Concluido() {
  if (PAGAMENTOS.empty()) return 1;
  Payment ultimo;
  if (!PAGAMENTOS.get(PAGAMENTOS.records(), ultimo)) {
    return set_error("Erro ao dar GET na queue pagamentos " + runtime_text(), 0, "Ultimo_Concluido");
  }
  return ultimo.CONCLUIDO == 1 ? 1 : 0;
}

// VALOR_PAGAR and VALOR_TROCO from VALOR_TOTAL and VALOR_PAGO.
void PaymentLedger::atualiza_saldo() {
  const double saldo = r2(VALOR_TOTAL - VALOR_PAGO);
  VALOR_TROCO = saldo < 0 ? saldo : 0.0;
  VALOR_PAGAR = saldo < 0 ? 0.0 : saldo;
}

int PaymentLedger::Paga(std::int32_t codigo_forma, double v, std::int32_t id_credito, const PaymentOptions& opcoes) {
  constexpr std::string_view kFuncao = " Paga ";
  if (!Ultimo_Concluido()) {
    if (ERROR_FUNCTION == "Ultimo_Concluido") return 0;
    return set_error("Último pagamento não concluído!", 0, kFuncao);
  }
  if (!(v > 0)) return set_error(" Valor Pagamento Menor que Zero ", 0, kFuncao);
  if (!std::isfinite(v) || !scaled_units(v, 2)) return set_error(" Valor Pagamento inválido ", 0, kFuncao);
  GRUPO_FORMAS_PAGAMENTO forma;
  if (!FORMAS_PAGAMENTO.get_by_key(&GRUPO_FORMAS_PAGAMENTO::CODIGO, codigo_forma, forma)) {
    return set_error(" Forma de Pagamento Inexistente! " + runtime_text(), 0, kFuncao);
  }
  if (!(VALOR_PAGAR > 0) && !opcoes.sinal) return set_error(" Valor A Pagar Menor ou Igual a zero ", 0, kFuncao);
  // Cash, TEF cards and forms of type 4 may exceed what is due (change);
  // the others may not.
  if (forma.TIPO != 1 && forma.TIPO != 2 && forma.TIPO != 4 && r2(v) > r2(VALOR_PAGAR)) {
    return set_error(" Valor A Pagar R$ " + valor(VALOR_PAGAR) + " Menor que Valor Pagamento R$ " + valor(v) + " ", 0,
                     kFuncao);
  }

  Payment pagamento;
  pagamento.CODIGO_FORMA = forma.CODIGO;
  pagamento.DESCRICAO_FORMA = forma.DESCRICAO;
  pagamento.VALOR = r2(v);
  if (forma.COMPOSTA == 1 && id_credito == 0) {
    auto plano = std::make_shared<Parcelas>();
    auto passo = [&](std::string_view nome, int resultado) {
      if (resultado) return true;
      set_error(" " + std::string{nome} + " " + plano->ERROR, 0, kFuncao);
      return false;
    };
    if (!passo("Set_Flag_Ignora_Quebra", plano->Set_Flag_Ignora_Quebra(1)) ||
        !passo("Set_Total_Parcelar", plano->Set_Total_Parcelar(v)) ||
        !passo("Set_Data_Emissao", plano->Set_Data_Emissao(DATA_EMISSAO)) ||
        !passo("Set_Quebra", plano->Set_Quebra(QUEBRA)) || !passo("Set_Juro", plano->Set_Juro(0)) ||
        !passo("Set_Tipo_Juro", plano->Set_Tipo_Juro(1)) ||
        !passo("Set_Codigo_Entidade", plano->Set_Codigo_Entidade(forma.CODIGO_ENTIDADE)) ||
        !passo("Set_Dias", plano->Set_Dias(forma.DIAS)) || !passo("Set_Primeira", plano->Set_Primeira(forma.DIAS)) ||
        !passo("Set_Numero_Parcelas", plano->Set_Numero_Parcelas(forma.VEZES))) {
      return 0;
    }
    pagamento.PARCELAS = std::move(plano);
    pagamento.CONCLUIDO = 0;
  } else {
    pagamento.CONCLUIDO = 1;
  }
  pagamento.BANDEIRA.clear();
  pagamento.TIPO.clear();
  pagamento.ID_CREDITO = opcoes.ignora_id_credito ? 0 : id_credito;
  pagamento.SINAL_OS = opcoes.sinal ? 1 : 0;
  if (opcoes.permite_troco || opcoes.sinal) {
    const double saldo = r2(VALOR_TOTAL - (VALOR_PAGO + pagamento.VALOR));
    pagamento.TROCO = saldo < 0 ? saldo : 0.0;
  }
  PAGAMENTOS.add(std::move(pagamento));
  VALOR_PAGO = r2(VALOR_PAGO + r2(v));
  atualiza_saldo();
  return 1;
}

int PaymentLedger::Conclui_Pagamento() {
  constexpr std::string_view kFuncao = "Conclui_Pagamento";
  const std::size_t ultimo = PAGAMENTOS.records();
  Payment pagamento;
  if (!PAGAMENTOS.get(ultimo, pagamento)) {
    return set_error("Erro ao dar GET na queue pagamentos " + runtime_text(), 0, kFuncao);
  }
  if (pagamento.PARCELAS && !pagamento.PARCELAS->Checa_Valores()) {
    return set_error(" Erro ao checar valores: " + pagamento.PARCELAS->ERROR, 0, kFuncao);
  }
  pagamento.CONCLUIDO = 1;
  if (!PAGAMENTOS.put(ultimo, std::move(pagamento))) {
    return set_error("Erro ao Atualizar Queue Pagamentos " + runtime_text(), 0, kFuncao);
  }
  return 1;
}

int PaymentLedger::Estorna(std::int32_t n) {
  for (std::size_t i = 1; i <= PAGAMENTOS.records(); ++i) {
    if (PAGAMENTOS.at(i).CONCLUIDO != 1 && static_cast<std::int64_t>(i) != n) {
      return set_error("Pagamento não pode ser estornado. | Pagamento nº " + std::to_string(n) + " não está concluído",
                       0, "Estorna");
    }
  }
  if (n <= 0) return set_error("Número parcela igual ou menor que zero", 0, "Estorna");
  Payment pagamento;
  if (!PAGAMENTOS.get(static_cast<std::size_t>(n), pagamento)) {
    return set_error("Erro ao dar GET na queue pagamentos " + runtime_text(), 0, " Estorna ");
  }
  PAGAMENTOS.erase(static_cast<std::size_t>(n));
  pagamento.PARCELAS.reset();
  VALOR_PAGO = r2(VALOR_PAGO - pagamento.VALOR);
  atualiza_saldo();
  if (!PAGAMENTOS.empty()) PAGAMENTOS.at(PAGAMENTOS.records()).TROCO = VALOR_TROCO;
  return 1;
}

// ---- The last payment's installment plan ----

Parcelas* PaymentLedger::Get_Ultima_Parcela() {
  if (PAGAMENTOS.empty()) return nullptr;
  return PAGAMENTOS.at(PAGAMENTOS.records()).PARCELAS.get();
}

template <typename Operacao>
int PaymentLedger::no_plano(std::string_view funcao, bool reabre, Operacao operacao) {
  Parcelas* plano = Get_Ultima_Parcela();
  if (plano == nullptr) return set_error("Objeto Parcelas não criado ", 0, funcao);
  if (!operacao(*plano)) return set_error(plano->ERROR, 0, funcao);
  if (reabre) PAGAMENTOS.at(PAGAMENTOS.records()).CONCLUIDO = 0;
  return 1;
}

int PaymentLedger::Calcula_Parcelas() {
  return no_plano("Calcula_Parcelas", true, [](Parcelas& p) { return p.Calcula_Parcelas(); });
}

int PaymentLedger::Adiciona_Parcela(const QUEUE_PARCELAS& parcela) {
  return no_plano("Adiciona_Parcela", true, [&](Parcelas& p) { return p.Adiciona_Parcela(parcela); });
}

int PaymentLedger::Set_Numero_Parcelas(std::int32_t n) {
  return no_plano("Set_Numero_Parcelas", true, [&](Parcelas& p) { return p.Set_Parcelas(n); });
}

int PaymentLedger::Set_Dias_Parcelas(std::int32_t dias) {
  return no_plano("Set_Dias_Parcelas", true, [&](Parcelas& p) { return p.Set_Dias(dias); });
}

int PaymentLedger::Set_Valor_Parcela(std::int32_t n, double v) {
  return no_plano("Set_Valor_Parcela", true, [&](Parcelas& p) {
    return p.Set_Valor_Parcela(n, v) != 0 && p.Recalcula_Parcelas_Seguintes(n) != 0 ? 1 : 0;
  });
}

int PaymentLedger::Set_Vencimento_Parcela(std::int32_t n, Date vencimento) {
  return no_plano("Set_Vencimento_Parcela", false,
                  [&](Parcelas& p) { return p.Set_Vencimento_Parcela(n, vencimento); });
}

int PaymentLedger::Set_Documento_Parcela(std::int32_t n, std::string_view documento) {
  return no_plano("Set_Documento_Parcela", false, [&](Parcelas& p) { return p.Set_Documento_Parcela(n, documento); });
}

int PaymentLedger::Set_Conta_Parcela(std::int32_t n, std::string_view conta) {
  return no_plano("Set_Conta_Parcela", false, [&](Parcelas& p) { return p.Set_Conta_Parcela(n, conta); });
}

int PaymentLedger::Set_Agencia_Parcela(std::int32_t n, std::string_view agencia) {
  return no_plano("Set_Agencia_Parcela", false, [&](Parcelas& p) { return p.Set_Agencia(n, agencia); });
}

int PaymentLedger::Set_Entidade_Parcela(std::int32_t n, std::int32_t entidade) {
  return no_plano("Set_Entidade_Parcela", false, [&](Parcelas& p) { return p.Set_Entidade_Parcela(n, entidade); });
}

int PaymentLedger::Estorna_Parcela(std::int32_t n) {
  return no_plano("Estorna_Parcela", true, [&](Parcelas& p) { return p.Estorna_Parcela(n); });
}

}  // namespace fvn::payment
