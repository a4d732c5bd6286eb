// A real scale-sim process for one test: started with the given arguments,
// its terminal's path read from the first line it prints, stopped with
// SIGTERM at the end of the test.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <signal.h>
#include <spawn.h>

extern char** environ;

namespace fvn::testing {

class ScaleSim {
 public:
  explicit ScaleSim(std::vector<std::string> args) {
    args.insert(args.begin(), {FVN_SCALE_SIM_BINARY, "--exit-with-parent"});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n') path_ += c;
    ::close(out[0]);
  }
  ~ScaleSim() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  ScaleSim(const ScaleSim&) = delete;
  ScaleSim& operator=(const ScaleSim&) = delete;
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  pid_t pid_ = -1;
  std::string path_;
};

}  // namespace fvn::testing
