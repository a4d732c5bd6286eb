// The installation the issuing benchmarks run in: under a fresh temporary
// root, a working folder with the code tables and nfe_ini.ini, company 1's
// NFC-e folder (set in the test database), and a simulator process that
// accepts any emission moment. Removed when the benchmark ends.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "data/passthrough_table.h"
#include "runtime/working_folder.h"
#include "support/code_tables.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

namespace fvn::bench {

struct BenchShop {
  // `name`: the root's folder name; `db`: the test database.
  BenchShop(const std::string& name, const std::string& db) : root(std::filesystem::temp_directory_path() / name) {
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "work");
    std::filesystem::create_directories(root / "nfce");
    testing::link_code_tables(root / "work");
    testing::write_file((root / "work" / "nfe_ini.ini").string(), "[nfce]\ncst_csosn=0\ncest=1\n");
    set_working_folder((root / "work").string());
    sim = std::make_unique<testing::SimProcess>(
        (root / "sim").string(), std::vector<std::string>{"--max-age", "999999999", "--max-future", "999999999"});
    if (!sim->running()) {
      problem = "the simulator did not start";
      return;
    }
    PassthroughTable table("BENCH", db);
    if (table.open() != 1 || table.execute("update tempresa set s_tem_caminho_pasta_nfce = " +
                                           table.literal((root / "nfce").string()) + " where ccodempresa = 1") != 1) {
      problem = table.error_text("");
    }
  }
  ~BenchShop() {
    sim.reset();
    std::filesystem::remove_all(root);
  }
  BenchShop(const BenchShop&) = delete;
  BenchShop& operator=(const BenchShop&) = delete;

  std::filesystem::path root;
  std::unique_ptr<testing::SimProcess> sim;
  std::string problem;  // empty when the shop is ready
};

}  // namespace fvn::bench
