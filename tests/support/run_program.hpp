// Runs a program as a child process with a time limit, capturing its output.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
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
  std::string out;
  std::string err;
};

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

// Runs argv[0] with the arguments in folder dir, with the environment env
// ("NAME=value" entries), and kills it after limit. Output is captured in
// files in dir, removed once read.
inline ProgramRun run_program(std::vector<std::string> argv, const std::filesystem::path& dir,
                              std::vector<std::string> env, std::chrono::seconds limit = kHangLimit) {
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
  ProgramRun run;
  if (out_fd < 0 || err_fd < 0) return run;
  const std::string folder = dir.string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(folder.c_str()) != 0 || ::dup2(out_fd, STDOUT_FILENO) < 0 || ::dup2(err_fd, STDERR_FILENO) < 0)
      ::_exit(127);
    ::execve(args[0], args.data(), envp.data());
    ::_exit(127);
  }
  ::close(out_fd);
  ::close(err_fd);
  if (pid < 0) return run;
  int wait_status = 0;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (::waitpid(pid, &wait_status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &wait_status, 0);
      run.hung = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (!run.hung && WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
  if (!run.hung && WIFSIGNALED(wait_status)) run.signal = WTERMSIG(wait_status);
  run.out = read_file(out_path);
  run.err = read_file(err_path);
  std::error_code ignored;
  std::filesystem::remove(out_path, ignored);
  std::filesystem::remove(err_path, ignored);
  return run;
}

// A shell command line run with run_program (sh -c).
inline ProgramRun run_shell(const std::string& command, const std::filesystem::path& dir,
                            std::vector<std::string> env, std::chrono::seconds limit = kHangLimit) {
  return run_program({"/bin/sh", "-c", command}, dir, std::move(env), limit);
}

}  // namespace zatrel::testing
