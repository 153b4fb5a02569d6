#pragma once
// An X server for the tests of the X11 backend: the one named by DISPLAY,
// else a private Xvfb started on a free display number. Without a server the
// tests skip with a message, except under CI (CI=true), where they fail.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace vexa::testing {

/// True when a missing X server must fail the tests instead of skipping them.
inline bool XServerRequired() {
  const char* ci = std::getenv("CI");
  return ci && std::string(ci) == "true";
}

/// A private Xvfb process; stopped when the object goes away.
class TXvfb {
public:
  /// Starts Xvfb with the given screen ("1024x768x24"); it picks a free
  /// display number itself and writes it to a pipe once it accepts clients.
  explicit TXvfb(const std::string& ScreenSpec) {
    int fds[2];
    if (pipe(fds) != 0) {
      FError = "cannot make a pipe for Xvfb";
      return;
    }
    FPid = fork();
    if (FPid == 0) RunServer(fds, ScreenSpec);  // never returns
    close(fds[1]);
    if (FPid < 0) {
      close(fds[0]);
      FError = "cannot start Xvfb (fork failed)";
      return;
    }
    FDisplay = ReadDisplayNumber(fds[0]);
    close(fds[0]);
    if (FDisplay.empty()) {
      FError = "Xvfb did not start (is the package xvfb installed?)";
      Stop();
    }
  }
  ~TXvfb() { Stop(); }
  TXvfb(const TXvfb&) = delete;
  TXvfb& operator=(const TXvfb&) = delete;

  /// Display name (":N"), empty when the server did not start.
  const std::string& Display() const { return FDisplay; }
  const std::string& Error() const { return FError; }

private:
  [[noreturn]] static void RunServer(int Fds[2], const std::string& ScreenSpec) {
    close(Fds[0]);
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive the test program
    const std::string fd = std::to_string(Fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", ScreenSpec.c_str(), "-nolisten", "tcp",
           "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }

  /// Reads the display number line, waiting up to 30 s for the server.
  static std::string ReadDisplayNumber(int Fd) {
    std::string digits;
    for (int waited = 0; waited < 300;) {
      pollfd p{Fd, POLLIN, 0};
      const int r = poll(&p, 1, 100);
      if (r == 0) {
        ++waited;
        continue;
      }
      char c = 0;
      if (r < 0 || read(Fd, &c, 1) != 1) return {};
      if (c == '\n') return digits.empty() ? std::string() : ":" + digits;
      if (c < '0' || c > '9' || digits.size() > 6) return {};
      digits += c;
    }
    return {};
  }

  void Stop() {
    if (FPid <= 0) return;
    kill(FPid, SIGTERM);
    waitpid(FPid, nullptr, 0);
    FPid = -1;
  }

  pid_t FPid = -1;
  std::string FDisplay;
  std::string FError;
};

/// The display the tests use: DISPLAY when set, else a private Xvfb kept
/// for the whole test program. Empty with a reason when there is none.
inline const std::string& TestDisplay(std::string& Reason) {
  static std::string display;
  static std::string reason;
  static bool tried = false;
  if (!tried) {
    tried = true;
    const char* env = std::getenv("DISPLAY");
    if (env && *env) {
      display = env;
    } else {
      static TXvfb server("1024x768x24");
      display = server.Display();
      reason = server.Error();
    }
  }
  Reason = reason;
  return display;
}

}  // namespace vexa::testing

/// Skips the test (fails it under CI=true) with a message.
#define VEXA_SKIP_WITHOUT_X(Message)                                                        \
  do {                                                                                      \
    if (::vexa::testing::XServerRequired()) FAIL() << "No X server under CI: " << (Message); \
    GTEST_SKIP() << "No X server: " << (Message);                                           \
  } while (false)
