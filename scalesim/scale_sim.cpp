// scale-sim: a virtual checkout scale behind a pseudo-terminal.
//
//   scale-sim [--mode stable|unstable|overload|negative|silent|garbage]
//             [--grams N] [--delay-ms N] [--split] [--link PATH] [--exit-with-parent]
//
// Prints the terminal's path (/dev/pts/N) on the first line of standard
// output, then answers every ENQ (byte 5) it receives the way common
// checkout scales do: STX, five characters, ETX.
//   stable    the weight in grams, five digits ("01250" for 1.250 kg)
//   unstable  "IIIII"      overload "SSSSS"      negative "NNNNN"
//   silent    no answer at all
//   garbage   eight bytes of noise without STX or ETX
// --delay-ms waits before answering; --split sends the answer in two
// pieces 30 ms apart; --link makes a symbolic link PATH to the terminal
// (a stable name for a configuration). Runs until SIGTERM or SIGINT, or,
// with --exit-with-parent, until the process that started it ends (tests:
// no simulator outlives a test program that crashed).
#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include <poll.h>
#include <termios.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;
void on_signal(int /*signal*/) { g_stop = 1; }

struct Options {
  std::string mode = "stable";
  long grams = 1250;
  long delay_ms = 0;
  bool split = false;
  bool exit_with_parent = false;
  std::string link;
};

int usage() {
  std::fputs(
      "usage: scale-sim [--mode stable|unstable|overload|negative|silent|garbage] [--grams N] [--delay-ms N] "
      "[--split] [--link PATH] [--exit-with-parent]\n",
      stderr);
  return 2;
}

std::string answer(const Options& o) {
  std::string body;
  if (o.mode == "stable") {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05ld", o.grams % 100000);
    body = digits;
  } else if (o.mode == "unstable") {
    body = "IIIII";
  } else if (o.mode == "overload") {
    body = "SSSSS";
  } else if (o.mode == "negative") {
    body = "NNNNN";
  } else if (o.mode == "garbage") {
    return std::string{"\x7f#?k\x01 z\xfe", 8};
  } else {
    return {};
  }
  return "\x02" + body + "\x03";
}

bool write_all(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--mode" && has_value) {
      o.mode = argv[++i];
    } else if (arg == "--grams" && has_value) {
      o.grams = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--delay-ms" && has_value) {
      o.delay_ms = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--link" && has_value) {
      o.link = argv[++i];
    } else if (arg == "--split") {
      o.split = true;
    } else if (arg == "--exit-with-parent") {
      o.exit_with_parent = true;
    } else {
      return usage();
    }
  }
  static constexpr std::string_view kModes[] = {"stable", "unstable", "overload", "negative", "silent", "garbage"};
  bool known = false;
  for (const auto mode : kModes) known = known || o.mode == mode;
  if (!known || o.grams < 0 || o.delay_ms < 0) return usage();

  if (o.exit_with_parent) {
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) return 0;  // the parent ended before the request took effect
  }
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    std::perror("scale-sim: pseudo-terminal");
    return 1;
  }
  const char* name = ::ptsname(master);
  if (name == nullptr) {
    std::perror("scale-sim: ptsname");
    return 1;
  }
  const std::string slave_path = name;
  // Holding the terminal open keeps the master readable between clients
  // (with no open terminal side, reads fail with EIO); raw mode so that a
  // request is seen byte by byte even before a client sets its own mode.
  const int slave = ::open(slave_path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0) {
    std::perror("scale-sim: open terminal");
    return 1;
  }
  termios tio{};
  ::tcgetattr(slave, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slave, TCSANOW, &tio);
  if (!o.link.empty()) {
    ::unlink(o.link.c_str());
    if (::symlink(slave_path.c_str(), o.link.c_str()) != 0) {
      std::perror("scale-sim: link");
      return 1;
    }
  }
  std::printf("%s\n", slave_path.c_str());
  std::fflush(stdout);

  struct sigaction action {};
  action.sa_handler = on_signal;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);

  const std::string reply = answer(o);
  while (g_stop == 0) {
    pollfd fds[1] = {{master, POLLIN, 0}};
    if (::poll(fds, 1, 200) <= 0 || (fds[0].revents & POLLIN) == 0) continue;
    char buffer[256];
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) continue;
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] != '\x05' || reply.empty()) continue;
      if (o.delay_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o.delay_ms));
      if (o.split) {
        const std::size_t half = reply.size() / 2;
        write_all(master, std::string_view{reply}.substr(0, half));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        write_all(master, std::string_view{reply}.substr(half));
      } else {
        write_all(master, reply);
      }
    }
  }
  if (!o.link.empty()) ::unlink(o.link.c_str());
  ::close(slave);
  ::close(master);
  return 0;
}
