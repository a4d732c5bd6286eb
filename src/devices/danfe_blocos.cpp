#include "devices/danfe_blocos.h"

#include <algorithm>
#include <cstdint>

#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/text.h"

namespace fvn {

namespace {

std::string data_hora(Date data, Time hora) {
  std::string out = format_picture(static_cast<double>(data), "@d06");
  const std::string h = format_picture(static_cast<double>(hora), "@t04");
  if (!h.empty()) out += (out.empty() ? "" : " ") + h;
  return out;
}

std::string zeros(std::int64_t value, int digits) {
  std::string s = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<std::size_t>(digits) - s.size(), '0');
  return s;
}

std::string cep_texto(std::int32_t cep) {
  if (cep <= 0) return {};
  const std::string s = zeros(cep, 8);
  return "CEP " + s.substr(0, 5) + "-" + s.substr(5);
}

// Builds the list; every call adds one block.
class Receita {
 public:
  void texto(std::string s, EstiloDanfe estilo, bool negrito = false, AlinhaDanfe alinha = AlinhaDanfe::Centro) {
    if (s.empty()) return;
    BlocoDanfe b;
    b.texto = std::move(s);
    b.estilo = estilo;
    b.negrito = negrito;
    b.alinha = alinha;
    blocos.push_back(std::move(b));
  }
  void par(std::string esquerda, std::string direita, EstiloDanfe estilo, bool negrito = false) {
    BlocoDanfe b;
    b.tipo = BlocoDanfe::Tipo::Par;
    b.texto = std::move(esquerda);
    b.direita = std::move(direita);
    b.estilo = estilo;
    b.negrito = negrito;
    b.alinha = AlinhaDanfe::Esquerda;
    blocos.push_back(std::move(b));
  }
  void espaco(double mm) {
    BlocoDanfe b;
    b.tipo = BlocoDanfe::Tipo::Espaco;
    b.espaco_mm = mm;
    blocos.push_back(std::move(b));
  }
  void marca(BlocoDanfe::Tipo tipo) {
    BlocoDanfe b;
    b.tipo = tipo;
    blocos.push_back(std::move(b));
  }
  std::vector<BlocoDanfe> blocos;
};

}  // namespace

std::vector<BlocoDanfe> blocos_danfe(const DanfeNfce& d, bool resumido, bool com_logo, bool com_qrcode) {
  using T = BlocoDanfe::Tipo;
  constexpr auto corpo = EstiloDanfe::Corpo;
  constexpr auto titulo = EstiloDanfe::Titulo;
  constexpr auto pequena = EstiloDanfe::Pequena;
  Receita p;

  // Emitter.
  if (com_logo) {
    p.marca(T::Logo);
    p.espaco(1);
  }
  p.texto(d.razao_social, titulo, true);
  std::string documentos = "CNPJ: " + danfe_documento(d.cnpj);
  if (!text::trim(d.inscricao_estadual).empty()) documentos += "  IE: " + text::trim(d.inscricao_estadual);
  p.texto(documentos, pequena);
  std::string endereco = d.endereco;
  for (const std::string& parte :
       {d.bairro, text::trim(d.cidade) + (d.uf.empty() ? "" : "/" + d.uf), cep_texto(d.cep)}) {
    const std::string t = text::trim(parte);
    if (t.empty() || t == "/") continue;
    endereco += (endereco.empty() ? "" : " - ") + t;
  }
  p.texto(endereco, pequena);
  p.marca(T::Separador);

  // Title and notices.
  p.texto("DANFE NFC-e - Documento Auxiliar da Nota Fiscal de Consumidor Eletrônica", corpo, true);
  if (d.homologacao()) p.texto("EMITIDA EM AMBIENTE DE HOMOLOGAÇÃO - SEM VALOR FISCAL", corpo, true);
  if (d.contingencia) p.texto("EMITIDA EM CONTINGÊNCIA", titulo, true);
  p.marca(T::Separador);

  // Items.
  if (!resumido) {
    p.texto("Código  Descrição", pequena, true, AlinhaDanfe::Esquerda);
    p.par("Qtde  UN  x  Vl Unit", "Vl Total", pequena, true);
    p.espaco(0.6);
    for (const DanfeItem& item : d.itens) {
      p.texto(item.codigo + "  " + item.descricao, corpo, false, AlinhaDanfe::Esquerda);
      p.par("    " + danfe_quantidade(item.quantidade) + " " + item.unidade + " x " + danfe_valor(item.valor_unitario),
            danfe_valor(item.valor_total), corpo);
    }
    p.marca(T::Separador);
  }

  // Totals and payments.
  p.par("Qtde. total de itens", std::to_string(d.itens.size()), corpo);
  p.par("Valor total R$", danfe_valor(d.valor_produtos), corpo);
  if (d.desconto > 0) p.par("Desconto R$", danfe_valor(d.desconto), corpo);
  if (d.acrescimo > 0) p.par("Acréscimo R$", danfe_valor(d.acrescimo), corpo);
  if (d.frete > 0) p.par("Frete R$", danfe_valor(d.frete), corpo);
  if (d.seguro > 0) p.par("Seguro R$", danfe_valor(d.seguro), corpo);
  if (d.outras_despesas > 0) p.par("Outras despesas R$", danfe_valor(d.outras_despesas), corpo);
  p.par("Valor a Pagar R$", danfe_valor(d.valor_pagar), titulo, true);
  p.espaco(0.8);
  p.par("FORMA PAGAMENTO", "VALOR PAGO R$", pequena, true);
  for (const DanfePagamento& pagamento : d.pagamentos) p.par(pagamento.forma, danfe_valor(pagamento.valor), corpo);
  if (d.troco > 0) p.par("Troco R$", danfe_valor(d.troco), corpo);
  p.marca(T::Separador);

  // Consultation and key.
  p.texto("Consulte pela Chave de Acesso em", corpo, true);
  p.texto(d.url_consulta, pequena);
  p.texto(danfe_chave(d.chave), pequena);
  p.marca(T::Separador);

  // Consumer.
  if (d.consumidor_identificado()) {
    const std::string documento = !d.consumidor_cnpj.empty() ? "CNPJ " + danfe_documento(d.consumidor_cnpj)
                                                             : "CPF " + danfe_documento(d.consumidor_cpf);
    p.texto("CONSUMIDOR - " + documento + (d.consumidor_nome.empty() ? "" : " - " + d.consumidor_nome), corpo, true);
    p.texto(d.consumidor_endereco, pequena);
  } else {
    p.texto("CONSUMIDOR NÃO IDENTIFICADO", corpo, true);
  }
  p.marca(T::Separador);

  // Identification and authorisation.
  p.texto("NFC-e nº " + zeros(d.numero, 9) + " Série " + zeros(d.serie, 3) + " " +
              data_hora(d.data_emissao, d.hora_emissao),
          corpo, true);
  if (d.contingencia) {
    p.texto("EMITIDA EM CONTINGÊNCIA", corpo, true);
    p.texto("Pendente de autorização", corpo);
  } else {
    p.texto("Protocolo de Autorização: " + d.protocolo, corpo);
    p.texto("Data de Autorização: " + data_hora(d.data_autorizacao, d.hora_autorizacao), corpo);
  }

  // QR code.
  if (com_qrcode) {
    p.espaco(1.5);
    p.texto("Consulta via leitor de QR Code", pequena, true);
    p.espaco(1);
    p.marca(T::QrCode);
  }
  p.marca(T::Separador);

  // Approximate taxes.
  p.texto("Tributos Totais Incidentes (Lei Federal 12.741/2012): R$ " + danfe_valor(d.tributos), pequena);
  return std::move(p.blocos);
}

std::string danfe_valor(double value) { return text::trim(format_picture(value, "@n-20`2")); }

std::string danfe_quantidade(double value) {
  std::string s = decimal_text(round_to(value, 4));
  std::replace(s.begin(), s.end(), '.', ',');
  return s;
}

std::string danfe_chave(std::string_view key) {
  const std::string digits = text::digits(key);
  std::string out;
  for (std::size_t n = 0; n < digits.size(); ++n) {
    if (n > 0 && n % 4 == 0) out += ' ';
    out += digits[n];
  }
  return out;
}

std::string danfe_documento(std::string_view digits) {
  std::string d{digits};
  if (d.size() == 11) return d.substr(0, 3) + "." + d.substr(3, 3) + "." + d.substr(6, 3) + "-" + d.substr(9);
  if (d.size() == 14) {
    return d.substr(0, 2) + "." + d.substr(2, 3) + "." + d.substr(5, 3) + "/" + d.substr(8, 4) + "-" + d.substr(12);
  }
  return d;
}

}  // namespace fvn
