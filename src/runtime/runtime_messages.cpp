#include "runtime/runtime_messages.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace fvn {

namespace {

constexpr std::pair<int, std::string_view> kMessages[] = {
    {2, "Arquivo não encontrado"},
    {3, "Caminho não encontrado"},
    {4, "Muitos arquivos abertos"},
    {5, "Acesso não permitido"},
    {7, "Corrupcao de Memoria"},
    {8, "Memória insuficiente"},
    {30, "Entrada não encontrada"},
    {32, "Arquivo ja está bloqueado"},
    {33, "Final de Arquivo"},
    {35, "Registro não encontrado"},
    {36, "Arquivo de dados inválido"},
    {37, "Arquivo não está aberto"},
    {38, "Arquivo de índice inválido"},
    {40, "Cria chave duplicada"},
    {43, "Registro já está bloqueado"},
    {45, "Nome de Arquivo inválido"},
    {46, "Arquivo de índice deve ser reconstruido"},
    {47, "Declaração de Registro inválida"},
    {48, "Não é possível gravar o log da transação"},
    {52, "Arquivo já está aberto"},
    {53, "Formato de arquivo não aceito"},
    {54, "Atributo de criação ausente"},
    {56, "Logout ja está ativo"},
    {57, "Arquivo Memo inválido"},
    {63, "Acesso exclusivo requerido"},
    {64, "Violacão de compartilhamento"},
    {65, "Rolback impossível na transação"},
    {73, "Arquivo memo inexistente"},
    {75, "Descritor de campo inválido"},
    {76, "Tipo de string inválida para o índice"},
    {77, "Impossível acessar o índice"},
    {78, "Número de parametros inválidos"},
    {79, "Tipo de dados nao suportado no arquivo"},
    {80, "Função de arquivo não suportada"},
    {81, "Erro desconhecido"},
    {88, "Tamanho de chave inválido"},
    {89, "Registro modificado por outra estação"},
    {90, "Erro no driver de Arquivo"},
    {800, "Expressão ilegal"},
    {801, "Variavel não encontrada"},
};

thread_local int last_error = 0;

}  // namespace

std::string_view runtime_message(int code) {
  if (code == 0) return {};
  const auto* found = std::find_if(std::begin(kMessages), std::end(kMessages),
                                   [code](const auto& entry) { return entry.first == code; });
  return found == std::end(kMessages) ? runtime_message(rt::kUnknownError) : found->second;
}

int last_runtime_error() { return last_error; }

std::string_view last_runtime_message() { return runtime_message(last_error); }

void set_runtime_error(int code) { last_error = code; }

void clear_runtime_error() { last_error = 0; }

int runtime_code_from_errno(int err) {
  switch (err) {
    case ENOENT: return rt::kFileNotFound;
    case ENOTDIR: return rt::kPathNotFound;
    case EMFILE:
    case ENFILE: return rt::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return rt::kAccessDenied;
    case ENOMEM: return rt::kInsufficientMemory;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY: return rt::kFileLocked;
    case EEXIST: return rt::kDuplicateKey;
    case ENAMETOOLONG:
    case EINVAL: return rt::kInvalidFileName;
    case EBADF: return rt::kFileNotOpen;
    default: return rt::kFileDriverError;
  }
}

}  // namespace fvn
