// NOTA_PADRAO_NFCE: the sale screen's logic, toolkit-free. The window (the
// desktop's, or a script's) binds its fields to the presenter: it hands over
// each accepted field and each key, and after every call reads back the
// values, the totals, the status and the item rows. Everything shown or
// asked goes through HostUi; the dialogs the screen opens (payment
// condition, installments, payments, change, consumer, item detail,
// supervisor, consumer registration) through JanelasVenda.
//
// One sale after another on the module's single facade:
//   Livre ("PDV Livre")            opening; after the new-sale reset
//   EmAndamento ("Venda em andamento")  an item was sold
//   Pagando                        F5 / Alt+F5 until the sale is recorded
//                                  (-> reset, Livre) or a dialog is left
//                                  (-> EmAndamento, the sale as it was)
//   Fechada                        the window was closed (Esc, Alt+F4, F12)
//
// The new-sale reset runs in this order: empty sale, event, partner and
// volumes; status, maximum discount; freight, exit and issue dates; company;
// default emitter; payment conditions; banks; default operation; payees;
// default customer; carrier; price table; default seller; refresh; the
// start-of-sale prompts (customer, emitter, seller, in the order their
// parameters give, 1 to 3); the CPF question for the generic consumer. A
// failing step shows its message and the screen stays usable.
//
// Closing (F5): consumer limits, payment condition, then the cash branch
// (credit checks, payments) or the credit branch (break mode, interest,
// installments, credit checks, the installments dialog, payments); a zero
// total is recorded without the payment dialogs. Alt+F5: condition 1 (cash),
// the credit checks, the change dialog, one payment of the whole total with
// the default cash form. Recording and issuing go through GRAVACAO_VENDA
// with a CONTEXTO_VENDA filled by contexto_fechamento, the same path
// `fvn sell` takes. A recorded sale resets the screen; a failed recording
// keeps the sale on screen; a note in doubt or in contingency is told
// plainly and the next sale starts all the same.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/module_values.h"
#include "runtime/clock.h"
#include "runtime/host_ui.h"
#include "sale/classe_venda.h"
#include "screens/gravacao_venda.h"
#include "screens/janelas_venda.h"

namespace fvn {

class NFCE_PROCESSO;
class EntradaItem;
class PartesVenda;
class DescontoVenda;
class ImportacaoPedidos;
class RecargaVenda;

// The consumer-invoice limits of a sale to the generic consumer and of any
// sale (the same figures the recording checks).
inline constexpr double kLimiteConsumidor = GRAVACAO_VENDA::kLimiteConsumidor;
inline constexpr double kLimiteNotaConsumidor = GRAVACAO_VENDA::kLimiteNota;

// Row colours handed to the item list (0xRRGGBB): odd and even rows,
// cancelled items.
inline constexpr std::int32_t kCorLinhaImpar = 0xFFFFFF;
inline constexpr std::int32_t kCorLinhaPar = 0xEAF2FB;
inline constexpr std::int32_t kCorCancelado = 0xF4B4B4;

// The station's part of the closing's context (connection, company, user,
// service login, receipt hook) and the cash account the status bar shows.
struct EstacaoVenda {
  CONTEXTO_VENDA contexto;
  std::int32_t conta_caixa = 0;  // GLO:CTA_PADRAO_FRONT
};

// The station values of `valores` (connection, company, CNPJ, operator,
// user, the company's service login) in a closing context; `url` is the
// service address when the company has none of its own.
CONTEXTO_VENDA contexto_estacao(const ModuleValues& valores, std::string_view url);

// What the screen holds about the sale besides the facade: the closing
// context's screen part.
struct TelaFechamento {
  std::int32_t tabela_preco = 0;
  std::string observacoes;
  std::int32_t codigo_exportacao = 0;
  std::int32_t mensagem_nota = 0;
  std::int32_t resumido = 0;
  IdentificacaoConsumidor consumidor;
};

// The context the recording of the sale in `venda` gets: the station's
// values, the emitter, condition and its kind from the facade, the screen's
// values.
CONTEXTO_VENDA contexto_fechamento(const CONTEXTO_VENDA& estacao, sale::CLASSE_VENDA& venda,
                                   const TelaFechamento& tela);

// How a closing ended.
struct Fechamento {
  std::int32_t venda = 0;   // the recorded sale (0: nothing recorded)
  std::int32_t numero = 0;  // its invoice number
  ResultadoEmissao resultado = ResultadoEmissao::NaoEmitida;
  bool contingencia = false;  // issued in contingency: the resolution completes it
  [[nodiscard]] bool gravada() const { return venda != 0; }
};

// Records and issues the sale (GRAVACAO_VENDA::Fecha_Venda) and tells the
// cashier plainly when the note was issued in contingency (a note kept in
// doubt is told by the recording itself).
Fechamento fecha_venda(HostUi& ui, sale::CLASSE_VENDA& venda, NFCE_PROCESSO& processo, const CONTEXTO_VENDA& contexto);

enum class EstadoTela { Livre, EmAndamento, Pagando, Fechada };

// The keys of the window's event handler.
enum class TeclaVenda {
  CtrlF2,  // discount release by a supervisor
  AltF5,   // fast cash payment
  Sair,    // Esc, Alt+F4, F12
  ShiftC,  // consumer registration
  F2,      // price list
  F4,      // options menu
  F5,      // payment and closing
  F6,      // price table
  F7,      // seller
  F8,      // customer
  AltO,    // service orders
  ShiftN,  // consumer identification
  ShiftP,  // price query
};

// The value fields of the window, as the presenter last set them.
struct CamposVenda {
  double quantidade = 1;  // LOC:QTDE
  double perc_desconto = 0;
  double desconto = 0;
  double perc_despesas = 0;
  double despesas = 0;
  double seguro = 0;
  double frete = 0;
  std::int32_t resumido = 0;    // "Tipo de Impressão:" 0 Detalhado, 1 Resumido
  std::int32_t finalidade = 1;  // 1 CONSUMO, 2 REVENDA
  Date data_saida = 0;
  Date data_emissao = 0;
  std::int32_t operacao = 0;
  std::int32_t emissor = 0;
  std::int32_t cliente = 0;
  std::int32_t vendedor = 0;
  std::int32_t transportadora = 0;
  std::int32_t tipo_frete = 9;
  std::int32_t parceria = 0;
  std::int32_t evento = 0;
  std::int32_t exportacao = 0;
  std::int32_t mensagem_nota = 0;
  std::int32_t mensagem_boleto = 0;
  std::string observacoes_nota;
  std::string observacoes_pedido;
};

// The totals and the read-only tax values the window shows.
struct TotaisTela {
  std::int32_t itens = 0;  // "Itens:" live items
  double quantidade = 0;   // "Total Quantidades:"
  double total = 0;        // "Total Nota:"
  double produtos = 0;     // "Valor Produtos:"
  double subtotal = 0;     // "Subtotal:"
  double base_icms = 0, icms = 0, base_icms_st = 0, icms_st = 0, ipi = 0, pis = 0, cofins = 0;
};

class NotaPadraoNfcePresenter {
 public:
  NotaPadraoNfcePresenter(HostUi& ui, JanelasVenda& janelas, const ModuleValues& valores, sale::CLASSE_VENDA& venda,
                          NFCE_PROCESSO& processo, EstacaoVenda estacao);
  ~NotaPadraoNfcePresenter();
  NotaPadraoNfcePresenter(const NotaPadraoNfcePresenter&) = delete;
  NotaPadraoNfcePresenter& operator=(const NotaPadraoNfcePresenter&) = delete;

  // Opening: the row colours, then the new-sale reset.
  void abre();
  // The new-sale reset ("PDV Livre").
  void nova_venda();

  // Accepted fields. Each returns 1 applied, 0 refused after its message
  // (the previous value back in the field).
  int codigo_produto(std::string_view codigo);  // LOC:COD_PROD: sells with the quantity field
  int quantidade(double quantidade);            // LOC:QTDE
  int perc_desconto(double percentual);
  int desconto(double valor);
  int perc_despesas(double percentual);
  int despesas(double valor);
  int seguro(double valor);
  int frete(double valor);
  int finalidade(std::int32_t finalidade);
  int data_saida(Date data);
  int data_emissao(Date data);
  int operacao(std::int32_t codigo);
  int emissor(std::int32_t codigo);
  int cliente(std::int32_t codigo);
  int vendedor(std::int32_t codigo);
  int transportadora(std::int32_t codigo);
  int tipo_frete(std::int32_t modalidade);
  int volumes(const sale::GRUPO_VOLUME& volume);
  int parceria(std::int32_t codigo);
  int evento(std::int32_t codigo);
  int tabela(std::int32_t tabela);  // "Tabela Preço" with a chosen table
  void resumido(std::int32_t resumido) { campos_.resumido = resumido; }
  void observacoes(std::string nota, std::string pedido);
  void exportacao(std::int32_t codigo) { campos_.exportacao = codigo; }
  void mensagem_nota(std::int32_t codigo) { campos_.mensagem_nota = codigo; }
  void mensagem_boleto(std::int32_t codigo) { campos_.mensagem_boleto = codigo; }

  // A key of the event handler; 1 when it did what it says, 0 refused or
  // left. Sair returns 1 when the window is to close.
  int tecla(TeclaVenda tecla);
  // The options menu's code (OPCOES_NOTA): 0 and 4 nothing, 1 an item was
  // cancelled, 2 the sale is abandoned, 3 / 6 / 7 one order, several orders
  // or service orders chosen and imported, 5 a rejected invoice chosen and
  // reloaded. A failed load runs the new-sale reset.
  void opcao(int codigo);
  // The sale's commission percentages (COMISSOES), recorded with it.
  [[nodiscard]] const ComissoesVenda& comissoes() const { return comissoes_; }
  // What the orders' import and the reload left for the recording.
  [[nodiscard]] const ImportacaoPedidos& importacao() const { return *importacao_; }
  [[nodiscard]] const RecargaVenda& recarga() const { return *recarga_; }

  // The lookup buttons ("..."): opens the code field's browse and applies
  // the chosen code; 0 when nothing was chosen or it was refused.
  enum class Busca { Operacao, Emissor, Cliente, Vendedor, Transportadora, Parceria, Evento };
  int busca(Busca busca);

  // What the window shows.
  [[nodiscard]] EstadoTela estado() const { return estado_; }
  [[nodiscard]] std::string status() const;  // LOC:MSG_STATUS_CAIXA
  [[nodiscard]] const CamposVenda& campos() const { return campos_; }
  [[nodiscard]] TotaisTela totais() const;
  [[nodiscard]] std::int32_t quantidade_itens() const;               // rows of the list, cancelled included
  [[nodiscard]] const sale::QUEUE_ITEM& item(std::int32_t n) const;  // 1-based
  [[nodiscard]] std::string descricao_operacao() const;
  [[nodiscard]] std::string descricao_emissor() const;
  [[nodiscard]] std::string nome_cliente() const;
  [[nodiscard]] std::string nome_vendedor() const;
  [[nodiscard]] std::string nome_tabela() const;
  [[nodiscard]] double desconto_maximo() const;
  // The company is of the Simples Nacional: the list shows CSOSNs.
  [[nodiscard]] bool simples() const { return venda_.EMPRESA.TIPO == 1; }
  [[nodiscard]] bool mostra_parceria() const { return valores_.I_TEM_UTILIZA_PARCERIA != 0; }
  [[nodiscard]] bool mostra_evento() const { return valores_.I_TEM_UTILIZA_EVENTO != 0; }
  // The status bar at `data`/`hora`: date (d06) and time (t04), user, cash
  // account, company.
  [[nodiscard]] std::vector<std::string> barra_status(Date data, Time hora) const;
  // The pictures of the quantity and price fields.
  [[nodiscard]] std::string picture_quantidade() const;
  [[nodiscard]] std::string picture_preco() const;
  // The last closing (0 before the first).
  [[nodiscard]] const Fechamento& ultimo_fechamento() const { return fechamento_; }
  // The consumer identification typed for this sale.
  [[nodiscard]] const IdentificacaoConsumidor& consumidor() const { return tela_.consumidor; }

  // Reads a number typed into a field with its picture (a decimal comma or
  // point); what is not a number is told to the cashier and gives none.
  std::optional<double> numero(std::string_view texto, std::string_view picture);

  // The consumer-invoice limits for the current net total; false when they
  // refused (after their messages).
  bool limites_consumidor();

 private:
  void refresca();
  int falha_facade(std::string_view contexto, std::string_view titulo = "Erro!");
  int aplica_valor(double valor, int (sale::CLASSE_VENDA::*setter)(double), std::string_view contexto);
  int datas(Date saida, Date emissao);
  int pergunta_consumidor();
  int escolhe(Busca busca);
  int sair();
  int cadastro_cliente();
  int lista_precos();
  int consulta_preco();
  int identificacao_consumidor();
  bool depois_do_primeiro_item(std::string_view mensagem);
  // Closings (nota_padrao_nfce_fechamento.cpp).
  int pagamento();
  int pagamento_rapido();
  int a_prazo();
  int grava();
  int volta_venda(int resultado);
  std::optional<std::int32_t> tipo_condicao();
  // Options menu and loads (nota_padrao_nfce_opcoes.cpp).
  int opcoes();
  int carrega_ordens();
  int carrega_nota_rejeitada();
  // The closing's context with the loads and the commissions.
  CONTEXTO_VENDA contexto_gravacao();
  // Before the payment: a reloaded sale another station took is given up.
  bool recarga_disponivel();
  // At a credit payment, after the installments were computed: those of an
  // imported order or a reloaded sale put back.
  int assume_prestacoes();
  // The payment-forms dialog, the service orders' deposits paid first (once
  // per sale); false when it was left, the deposits taken back out.
  bool formas_pagamento();
  // Alt+F5 is refused while service-order deposits wait to be paid.
  bool pagamento_rapido_permitido();

  HostUi& ui_;
  JanelasVenda& janelas_;
  const ModuleValues& valores_;
  sale::CLASSE_VENDA& venda_;
  NFCE_PROCESSO& processo_;
  EstacaoVenda estacao_;
  std::unique_ptr<DescontoVenda> desconto_;
  std::unique_ptr<PartesVenda> partes_;
  std::unique_ptr<EntradaItem> entrada_;
  std::unique_ptr<ImportacaoPedidos> importacao_;
  std::unique_ptr<RecargaVenda> recarga_;
  ComissoesVenda comissoes_{};
  bool carregando_ = false;    // a load's reset: no start-of-sale prompts
  bool sinais_pagos_ = false;  // the deposits are in the ledger
  EstadoTela estado_ = EstadoTela::Livre;
  CamposVenda campos_;
  TelaFechamento tela_;
  Fechamento fechamento_;
};

}  // namespace fvn
