// Runs a program as a child process with a time limit, capturing its output,
// optionally feeding its standard input, and measuring its peak memory.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/files.hpp"

extern char** environ;

namespace zatrel::testing {

// Long enough for the largest corpus file under the sanitizers; only a hang reaches it.
inline constexpr std::chrono::seconds kHangLimit{300};
// A sanitizer report ends a program run by the tests with this status, which
// the programs never use.
inline constexpr int kSanitizerStatus = 86;

struct ProgramRun {
  int status = -1;  // -1 when the program did not exit by itself
  int signal = 0;   // the signal that ended it, 0 when none
  bool hung = false;
  long peak_kilobytes = 0;  // the program's largest resident set
  std::string out;
  std::string err;
};

// What the program reads on standard input: this process's own when neither
// is given, else the file, else what `feed` writes into the descriptor while
// the program runs (through a pipe, so that no input need be held whole).
struct ProgramInput {
  std::filesystem::path file;
  std::function<void(int fd)> feed;
};

// Writes all of bytes to fd; false when the reader went away first.
inline bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Standard input holding text.
inline ProgramInput input_text(std::string text) {
  return {{}, [text = std::move(text)](int fd) { write_all(fd, text); }};
}

// This process's environment without ZORERO, with `scratch` (a folder name
// ending in a slash) as ZORERO when given, and with a sanitizer report ending
// the program with kSanitizerStatus.
inline std::vector<std::string> program_environment(const std::string& scratch = "") {
  std::vector<std::string> env;
  std::string asan = "ASAN_OPTIONS=";
  std::string ubsan = "UBSAN_OPTIONS=";
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view entry = *e;
    if (entry.starts_with("ASAN_OPTIONS="))
      asan = std::string(entry) + ":";
    else if (entry.starts_with("UBSAN_OPTIONS="))
      ubsan = std::string(entry) + ":";
    else if (!entry.starts_with("ZORERO="))
      env.emplace_back(entry);
  }
  if (!scratch.empty()) env.push_back("ZORERO=" + scratch);
  env.push_back(asan + "exitcode=" + std::to_string(kSanitizerStatus));
  env.push_back(ubsan + "exitcode=" + std::to_string(kSanitizerStatus));
  return env;
}

namespace detail {

// The descriptor the child takes as standard input (-1: its parent's), and
// the pipe's writing end when the input is fed.
struct InputEnds {
  int child = -1;
  int feed = -1;
  bool ok = true;
};

inline InputEnds open_input(const ProgramInput& input) {
  InputEnds ends;
  if (!input.file.empty()) {
    ends.child = ::open(input.file.c_str(), O_RDONLY | O_CLOEXEC);
    ends.ok = ends.child >= 0;
  } else if (input.feed) {
    int fds[2];
    ends.ok = ::pipe2(fds, O_CLOEXEC) == 0;
    if (ends.ok) {
      ends.child = fds[0];
      ends.feed = fds[1];
      ::signal(SIGPIPE, SIG_IGN);  // a program that stops reading early is told by EPIPE
    }
  }
  return ends;
}

// Waits for pid until limit, killing it then; the run's status and peak memory.
inline void wait_for(pid_t pid, std::chrono::seconds limit, ProgramRun& run) {
  int wait_status = 0;
  struct rusage usage {};
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (::wait4(pid, &wait_status, WNOHANG, &usage) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::wait4(pid, &wait_status, 0, &usage);
      run.hung = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  run.peak_kilobytes = usage.ru_maxrss;
  if (!run.hung && WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
  if (!run.hung && WIFSIGNALED(wait_status)) run.signal = WTERMSIG(wait_status);
}

}  // namespace detail

// Runs argv[0] with the arguments in folder dir, with the environment env
// ("NAME=value" entries) and the standard input `input`, and kills it after
// limit. Output is captured in files in dir, removed once read.
inline ProgramRun run_program(std::vector<std::string> argv, const std::filesystem::path& dir,
                              std::vector<std::string> env, const ProgramInput& input,
                              std::chrono::seconds limit = kHangLimit) {
  std::vector<char*> args;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const std::string out_path = (dir / "run.stdout").string();
  const std::string err_path = (dir / "run.stderr").string();
  const int out_fd = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err_fd = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const detail::InputEnds in = detail::open_input(input);
  ProgramRun run;
  if (out_fd < 0 || err_fd < 0 || !in.ok) {
    for (const int fd : {out_fd, err_fd, in.child, in.feed})
      if (fd >= 0) ::close(fd);
    return run;
  }
  const std::string folder = dir.string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(folder.c_str()) != 0 || ::dup2(out_fd, STDOUT_FILENO) < 0 || ::dup2(err_fd, STDERR_FILENO) < 0 ||
        (in.child >= 0 && ::dup2(in.child, STDIN_FILENO) < 0))
      ::_exit(127);
    ::execve(args[0], args.data(), envp.data());
    ::_exit(127);
  }
  ::close(out_fd);
  ::close(err_fd);
  if (in.child >= 0) ::close(in.child);
  std::thread feeder;
  if (in.feed >= 0) {
    feeder = std::thread([&input, fd = in.feed, started = pid > 0] {
      if (started) input.feed(fd);
      ::close(fd);
    });
  }
  if (pid > 0) detail::wait_for(pid, limit, run);
  if (feeder.joinable()) feeder.join();
  run.out = read_file(out_path);
  run.err = read_file(err_path);
  std::error_code ignored;
  std::filesystem::remove(out_path, ignored);
  std::filesystem::remove(err_path, ignored);
  return run;
}

// As above, with this process's standard input.
inline ProgramRun run_program(std::vector<std::string> argv, const std::filesystem::path& dir,
                              std::vector<std::string> env, std::chrono::seconds limit = kHangLimit) {
  return run_program(std::move(argv), dir, std::move(env), ProgramInput{}, limit);
}

// A shell command line run with run_program (sh -c).
inline ProgramRun run_shell(const std::string& command, const std::filesystem::path& dir,
                            std::vector<std::string> env, std::chrono::seconds limit = kHangLimit) {
  return run_program({"/bin/sh", "-c", command}, dir, std::move(env), limit);
}

}  // namespace zatrel::testing
