// Storing a note's XML in the database: the authorised XML (Incluir_XML_Banco),
// the cancellation XML (Incluir_XML_Cancelamento) and the file loader
// between them (FileToBlob).
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "data/line_file.h"
#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "runtime/text.h"
#include "service/nfce_processo.h"
#include "service/traduz_erro.h"

namespace fvn {

namespace {

constexpr std::size_t kChunk = 32'768;

std::string eight_digits(std::int32_t id) {
  std::string digits = std::to_string(id);
  if (digits.size() < 8) digits.insert(0, 8 - digits.size(), '0');
  return digits;
}

}  // namespace

// Shows `text` as a status line and keeps it in ERROR; 0.
int NFCE_PROCESSO::store_failure(std::string_view text) {
  status_line(text);
  return set_error(text, 0, "Incluir_XML_Banco");
}

int NFCE_PROCESSO::FileToBlob(const std::string& path, std::string& blob) {
  auto fail = [this](const std::string& text) {
    LOG.Gera_Arquivo_Log(text);
    return set_error(text, 0, "FileToBlob");
  };
  if (text::trim(path).empty()) return fail("Arquivo de retorno vazio ou não definido");
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail("Erro ao abrir arquivo InFile|" + std::string{std::strerror(errno)});
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return fail("Erro ao abrir arquivo InFile|" + ec.message());
  if (size == 0) return fail("Arquivo Blob Vazio");
  blob.assign(size, '\0');
  std::size_t offset = 0;
  while (offset < size) {
    const std::size_t chunk = std::min<std::size_t>(kChunk, size - offset);
    in.read(blob.data() + offset, static_cast<std::streamsize>(chunk));
    const auto got = static_cast<std::size_t>(in.gcount());
    offset += got;
    if (got != chunk) break;
  }
  // A short read is a failure: a truncated XML is never stored.
  if (offset != size || in.bad()) {
    blob.clear();
    return fail("Erro ao ler arquivo InFile|" + std::to_string(offset) + " de " + std::to_string(size) +
                " bytes lidos de " + path);
  }
  return 1;
}

bool NFCE_PROCESSO::write_document_file(const std::string& path, const std::string& xml) {
  LineWriter file(path);
  if (file.create() != 1) {
    store_failure("Erro ao criar o arquivo " + path + ".|" + file.error_text());
    return false;
  }
  if (file.open() != 1) {
    store_failure("Erro ao abrir o arquivo " + path + ".|" + file.error_text());
    return false;
  }
  if (file.add_line(xml) != 1) {
    store_failure(file.error_text());
    file.close();
    return false;
  }
  if (file.close() != 1) {
    store_failure(file.error_text());
    return false;
  }
  return true;
}

int NFCE_PROCESSO::Incluir_XML_Banco(std::int32_t sale) {
  const int result = [&]() -> int {
    const std::string id = sql_integer(sale);
    status_line("Abrindo tabela asaidas para consulta...");
    PassthroughTable asaidas("asaidas", connection_);
    std::int32_t series = 0;
    std::int32_t number = 0;
    std::string kind;
    std::int32_t oid = 0;
    asaidas.bind_long(series).bind_long(number).bind_text(kind, 2).bind_long(oid);
    if (asaidas.open() != 1) {
      return store_failure("Erro ao abrir a tabela asaidas para consulta.|" + std::string{asaidas.runtime_message()} +
                           "|" + asaidas.driver_message());
    }
    status_line("Efetuando consulta na tabela asaidas...");
    if (asaidas.execute("select csrisaidas, cnotsaidas, ctessaidas, i_asa_oid_quorvex from asaidas where "
                        "cidesaidas = " +
                        id) != 1) {
      return store_failure(asaidas.error_text("Erro ao efetuar consulta na tabela asaidas.|"));
    }
    if (asaidas.next() != 1) return store_failure("Nenhum registro retornou da consulta na tabela asaidas.");

    const std::string key = authorisation_.access_key;
    const auto quoted_key = sql_service_key(key);
    if (!quoted_key || key.size() != 44) {
      return store_failure("Chave de acesso inválida devolvida pelo serviço: \"" + key + "\".");
    }
    std::string xml;
    if (SERVICO.busca_documento(key, xml) != 1) {
      // A note not yet authorised by the authority has no authorised XML:
      // the XML it was sent with is kept until the resolution replaces it.
      if (authorisation_.contingency != 1) return store_failure(SERVICO.error_text());
      status_line("XML autorizado indisponível (NFC-e em contingência); gravando o XML enviado.");
      xml = DOCUMENTO.XML_NFCE;
    }
    const std::string path = download_folder_ + key + "-nfce.xml";
    std::error_code ec;
    std::filesystem::create_directories(download_folder_, ec);
    if (!write_document_file(path, text::clip(xml))) return 0;

    status_line("Abrindo tabela xmlnfe...");
    PassthroughTable xmlnfe("xmlnfe", connection_);
    if (xmlnfe.open() != 1) {
      return store_failure("Erro ao abrir tabela XmlNfe|" + std::string{xmlnfe.runtime_message()} + "|" +
                           xmlnfe.driver_message());
    }
    status_line("Efetuando consulta na tabela xmlnfe...");
    const std::string select =
        " select nextval('seque_xmlnfe') , $1::varchar , $2::varchar , $3::bytea , cemisaidas , cnotsaidas , "
        "csrisaidas ,  cclisaidas , "
        "cnomecliente , cvbrsaidas , cacrsaidas , cdessaidas , ctotsaidas , cidesaidas  from asaidas inner join "
        "aclientes on ccodigo = cclisaidas where cidesaidas = " +
        id;
    if (xmlnfe.execute("select 1 from asaidas inner join aclientes on ccodigo = cclisaidas where cidesaidas = " + id) !=
        1) {
      return store_failure(xmlnfe.error_text("Erro ao selecionar registro no banco de dados XmlNFe|"));
    }
    status_line("Localizando registro na tabela xmlnfe...");
    if (xmlnfe.next() != 1) {
      return store_failure(xmlnfe.error_text("Erro ao avançar registro no banco de dados XmlNFe|"));
    }
    status_line("Executando a função FileToBlob...");
    std::string blob;
    if (FileToBlob(path, blob) != 1) {
      status_line("Erro na execução da função FileToBlob...");
      return 0;
    }
    status_line("Incluindo XML no banco de dados...");
    if (xmlnfe.execute("insert into xmlnfe " + select,
                       {SqlParam::text(key), SqlParam::text(text::fit(authorisation_.protocol, 101)),
                        SqlParam::bytes(blob)}) != 1) {
      return store_failure(xmlnfe.error_text("Erro ao inserir registro no banco de dados XmlNFe|"));
    }
    // The key and protocol go to the sale given, the one that carries the
    // authorised key (a renumbered note's XML belongs to its new sale). With
    // a protocol, nothing is outstanding at the service any more.
    const std::string settled = text::clip(authorisation_.protocol).empty() ? "" : ", i_asa_situacao_nfce = 0";
    if (xmlnfe.execute("update asaidas set s_asa_chave_nfe = " + *quoted_key + " , s_asa_protocolo_nfe = " +
                       xmlnfe.literal(authorisation_.protocol) + settled + " where cidesaidas = " + id) != 1) {
      return store_failure(xmlnfe.error_text("Erro ao atualizar registro asaidas|"));
    }
    status_line("Fechando tabela xmlnfe...");
    if (xmlnfe.close() != 1) return store_failure(xmlnfe.error_text("Erro ao fechar tabela XmlNfe|"));
    return 1;
  }();
  if (result == 1) {
    LOG.Gera_Arquivo_Log("Incluir_XML_Banco Ok");
    // The generated file takes the key's name (it used to be deleted here,
    // which made the later rename to the key's name fail every time).
    std::error_code ec;
    std::filesystem::rename(base_folder_ + eight_digits(starting_sale_) + ".xml",
                            base_folder_ + authorisation_.access_key + "-nfce.xml", ec);
  } else {
    LOG.Gera_Arquivo_Log("Falha Incluir_XML_Banco retorno - " + Traduz_Erro());
  }
  return result;
}

int NFCE_PROCESSO::Incluir_XML_Cancelamento(std::int32_t sale) {
  const std::string id = sql_integer(sale);
  status_line("Abrindo tabela asaidas para consulta...");
  PassthroughTable table("Tabela_Chave", connection_);
  std::string key;
  table.bind_text(key, 61);
  if (table.open() != 1) {
    return store_failure("Erro ao abrir a tabela asaidas para consulta.|" + std::string{table.runtime_message()} + "|" +
                         table.driver_message());
  }
  status_line("Efetuando consulta na tabela asaidas...");
  if (table.execute("select s_asa_chave_nfe from asaidas where cidesaidas = " + id) != 1) {
    return store_failure(table.error_text("Erro ao efetuar consulta na tabela asaidas.|"));
  }
  if (table.next() != 1) return store_failure("Nenhum registro retornou da consulta na tabela asaidas.");
  status_line("Obtendo XML de cancelamento...");
  key.clear();
  if (table.execute("select s_nfe_chave from xmlnfe where i_nfe_codigo_asa = " + id) != 1 || table.next() != 1) {
    key.clear();
  }
  key = text::clip(key);
  const auto quoted_key = sql_service_key(key);
  if (!quoted_key || key.size() != 44) {
    return store_failure("Chave de acesso inválida para o XML de cancelamento: \"" + key + "\".");
  }
  std::string xml;
  if (SERVICO.busca_documento(key, xml) != 1) return store_failure(SERVICO.error_text());
  LOG.Gera_Arquivo_Log("xml cancelamento " + xml);
  const std::string folder = base_folder_ + "XML_Gerados/";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::string path = folder + key + "-nfce-canc.xml";
  if (!write_document_file(path, text::clip(xml))) return 0;

  status_line("Abrindo tabela xmlnfe...");
  status_line("Buscando chave da NF-e...");
  status_line("Consultando tabela xmlnfe...");
  status_line("Executando a função FileToBlob...");
  std::string blob;
  if (FileToBlob(path, blob) != 1) return store_failure(traduz_erro(ERROR));
  status_line("Incluindo XML de cancelamento no banco de dados...");
  if (table.execute(
          "update xmlnfe set s_nfe_protocolo_cancelamento = $1::varchar, b_nfe_xml_cancelamento = $2::bytea where "
          "i_nfe_codigo_asa = " +
              id + " and s_nfe_chave = " + *quoted_key,
          {SqlParam::text(text::fit(cancellation_protocol_, 256)), SqlParam::bytes(blob)}) != 1) {
    return store_failure(table.error_text("Erro ao atualizar registro no XmlNFe Cancelamento|"));
  }
  if (table.row_count() < 1) {
    return store_failure(
        "Erro ao executar get registro no banco de dados XmlNFe Cancelamento|Nenhum registro "
        "da chave " +
        key + ".");
  }
  if (table.close() != 1) return store_failure(table.error_text("Erro ao fechar tabela XmlNfe Cancelamento|"));
  return 1;
}

}  // namespace fvn
