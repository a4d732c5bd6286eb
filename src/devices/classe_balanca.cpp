#include "devices/classe_balanca.h"

namespace fvn::devices {

int Classe_Balanca::Get_Peso(double& peso) {
  peso = 0;
  switch (DADOS.modelo) {
    case 1:
    case 3:
    case 4: ERROR = "Leitura de balança ainda não disponível."; return 0;
    case 2: ERROR = "Função não definida"; return 0;
    default: ERROR = "Modelo inválido ou não definido"; return 0;
  }
}

}  // namespace fvn::devices
