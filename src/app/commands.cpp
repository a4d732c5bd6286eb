// The list of fvn sub-commands. Each capability adds its command here, one
// line each, in the order --help lists them.
#include <iostream>

#include "app/abnt_command.h"
#include "app/audit_command.h"
#include "app/customer_commands.h"
#include "app/db_command.h"
#include "app/document_commands.h"
#include "app/fvn_cli.h"
#include "app/order_command.h"
#include "app/receipt_command.h"
#include "app/scale_command.h"
#include "app/self_check.h"
#include "app/service_commands.h"
#include "app/simulate_command.h"
#include "app/startup_command.h"
#include "app/validate_command.h"
#include "app/words_command.h"
#include "app/workflow_commands.h"

namespace fvn::app {

const std::vector<Command>& commands() {
  // One command per line, in the order --help lists them.
  // clang-format off
  static const std::vector<Command> all = {
      self_check_command(),
      db_command(),
      startup_command(),
      abnt_command(),
      words_command(),
      simulate_command(),
      validate_command(),
      key_command(),
      xml_command(),
      ping_command(),
      status_command(),
      issue_command(),
      sell_command(),
      pending_command(),
      export_command(),
      receipt_command(),
      scale_command(),
      audit_command(),
      customer_command(),
      order_command(),
      user_command(std::cin),
  };
  // clang-format on
  return all;
}

}  // namespace fvn::app
