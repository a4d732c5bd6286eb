#include "desktop/sale_item_model.h"

#include <QBrush>
#include <QColor>

#include "desktop/qt_host_ui.h"
#include "runtime/picture.h"

namespace fvn::desktop {

namespace {

// Columns after "Canc." and the tax code: the amounts, in this order.
enum Coluna {
  kNumero,
  kCodigo,
  kDescricao,
  kQuantidade,
  kUnitario,
  kDesconto,
  kAcrescimo,
  kCancelado,
  kTotalBruto,
  kSubtotal,
  kTotalLiquido,
  kCst,
  kBaseIcms,
  kAliquotaIcms,
  kValorIcms,
  kBaseSt,
  kAliquotaSt,
  kValorSt,
  kValorIpi,
  kValorPis,
  kValorCofins,
  kMva,
  kColunas
};

constexpr std::array<const char*, kColunas> kTitulos = {
    "Nº",           "Código",        "Descrição",           "Qtde.",
    "Unitário",     "Desconto",      "Acréscimo",           "Canc.",
    "Total Bruto",  "Subtotal Item", "Total Líquido Venda", "CST",
    "Base ICMS",    "% ICMS",        "Valor ICMS",          "Base ICMS ST",
    "% ICMS ST",    "Valor ICMS ST", "Valor IPI",           "Valor PIS",
    "Valor COFINS", "Percentual MVA"};

// Index into Linha::valores of an amount column.
int valor_de(int coluna) {
  switch (coluna) {
    case kQuantidade: return 0;
    case kUnitario: return 1;
    case kDesconto: return 2;
    case kAcrescimo: return 3;
    case kTotalBruto: return 4;
    case kSubtotal: return 5;
    case kTotalLiquido: return 6;
    case kBaseIcms: return 7;
    case kAliquotaIcms: return 8;
    case kValorIcms: return 9;
    case kBaseSt: return 10;
    case kAliquotaSt: return 11;
    case kValorSt: return 12;
    case kValorIpi: return 13;
    case kValorPis: return 14;
    case kValorCofins: return 15;
    case kMva: return 16;
    default: return -1;
  }
}

QColor cor(std::int32_t rgb) { return QColor(QRgb(static_cast<unsigned>(rgb) & 0xFFFFFFU)); }

}  // namespace

SaleItemModel::SaleItemModel(const NotaPadraoNfcePresenter& presenter, QObject* parent)
    : QAbstractTableModel(parent),
      presenter_(presenter),
      picture_quantidade_(presenter.picture_quantidade()),
      picture_preco_(presenter.picture_preco()) {}

int SaleItemModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(linhas_.size());
}

int SaleItemModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColunas; }

std::array<double, 17> SaleItemModel::valores(const sale::QUEUE_ITEM& i) const {
  const bool s = presenter_.simples();  // the company regime picks the tax columns
  return {i.QUANTIDADE,
          i.UNITARIO,
          i.DESCONTO,
          i.ACRESCIMO,
          i.TOTAL_BRUTO,
          i.SUBTOTAL_ITEM,
          i.TOTAL_LIQUIDO_VENDA,
          s ? i.ICMS_SIMPLES.VALOR_BC_ICMS : i.ICMS.VALOR_BC_ICMS,
          s ? i.ICMS_SIMPLES.ALIQUOTA_ICMS : i.ICMS.ALIQUOTA_ICMS,
          s ? i.ICMS_SIMPLES.VALOR_ICMS.value() : i.ICMS.VALOR_ICMS.value(),
          s ? i.ICMS_SIMPLES.VALOR_BC_ICMS_ST : i.ICMS.VALOR_BC_ICMS_ST,
          s ? i.ICMS_SIMPLES.ALIQUOTA_ICMS_ST : i.ICMS.ALIQUOTA_ICMS_ST,
          s ? i.ICMS_SIMPLES.VALOR_ICMS_ST.value() : i.ICMS.VALOR_ICMS_ST.value(),
          i.IPI.VALOR_IPI,
          i.PIS.VALOR_PIS,
          i.COFINS.VALOR_COFINS,
          s ? i.ICMS_SIMPLES.PERCENTUAL_MVA : i.ICMS.PERCENTUAL_MVA};
}

const std::string& SaleItemModel::cst(const sale::QUEUE_ITEM& i) const {
  return presenter_.simples() ? i.ICMS_SIMPLES.CSOSN : i.ICMS.CST_ICMS;
}

SaleItemModel::Linha SaleItemModel::linha(const sale::QUEUE_ITEM& i) const {
  Linha l;
  l.valores = valores(i);
  l.cancelado = i.CANCELADO;
  l.cor = i.CORES[0].COR_2;
  l.codigo = i.CODIGO;
  l.descricao = i.DESCRICAO;
  l.cst = cst(i);
  return l;
}

// Compared field by field, so an unchanged row costs no copy.
bool SaleItemModel::mostra(const Linha& l, const sale::QUEUE_ITEM& i) const {
  return l.cancelado == i.CANCELADO && l.cor == i.CORES[0].COR_2 && l.valores == valores(i) && l.codigo == i.CODIGO &&
         l.descricao == i.DESCRICAO && l.cst == cst(i);
}

int SaleItemModel::refresh() {
  const auto total = static_cast<std::size_t>(presenter_.quantidade_itens());
  if (total < linhas_.size()) {
    beginRemoveRows({}, static_cast<int>(total), static_cast<int>(linhas_.size()) - 1);
    linhas_.resize(total);
    endRemoveRows();
  }
  // Rows already shown: one signal per run of changed rows.
  int mudadas = 0;
  int inicio = -1;
  const auto fecha_trecho = [&](int fim) {
    if (inicio < 0) return;
    emit dataChanged(index(inicio, 0), index(fim, kColunas - 1));
    inicio = -1;
  };
  for (std::size_t r = 0; r < linhas_.size(); ++r) {
    const sale::QUEUE_ITEM& item = presenter_.item(static_cast<std::int32_t>(r) + 1);
    if (mostra(linhas_[r], item)) {
      fecha_trecho(static_cast<int>(r) - 1);
      continue;
    }
    linhas_[r] = linha(item);
    ++mudadas;
    if (inicio < 0) inicio = static_cast<int>(r);
  }
  fecha_trecho(static_cast<int>(linhas_.size()) - 1);
  if (total > linhas_.size()) {
    beginInsertRows({}, static_cast<int>(linhas_.size()), static_cast<int>(total) - 1);
    for (std::size_t r = linhas_.size(); r < total; ++r) {
      linhas_.push_back(linha(presenter_.item(static_cast<std::int32_t>(r) + 1)));
    }
    endInsertRows();
  }
  return mudadas;
}

QVariant SaleItemModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Linha& l = linhas_[static_cast<std::size_t>(index.row())];
  const int coluna = index.column();
  if (role == Qt::BackgroundRole) return QBrush(cor(l.cor));
  if (role == Qt::TextAlignmentRole) {
    return valor_de(coluna) >= 0 || coluna == kNumero ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                      : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  switch (coluna) {
    case kNumero: return index.row() + 1;
    case kCodigo: return to_qstring(l.codigo);
    case kDescricao: return to_qstring(l.descricao);
    case kCancelado: return l.cancelado != 0 ? QStringLiteral("Sim") : QString();
    case kCst: return to_qstring(l.cst);
    default: break;
  }
  const int v = valor_de(coluna);
  if (v < 0) return {};
  const double valor = l.valores[static_cast<std::size_t>(v)];
  const std::string& picture = coluna == kQuantidade ? picture_quantidade_
                               : coluna == kUnitario ? picture_preco_
                                                     : std::string{"@n14`2"};
  return to_qstring(format_picture(valor, picture)).trimmed();
}

QVariant SaleItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColunas) return {};
  if (section == kCst && presenter_.simples()) return QStringLiteral("CSOSN");
  return QString::fromUtf8(kTitulos[static_cast<std::size_t>(section)]);
}

}  // namespace fvn::desktop
