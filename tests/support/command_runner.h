// Running the built program with arguments, as a script would: in a given
// working folder, with given text on standard input.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/job_runner.h"

namespace locseq::testing {

// Puts back the default handling of the signals a test may meddle with, so
// the program starts as it would from a shell.
inline void default_signals() {
  for (int sig : {SIGINT, SIGTERM, SIGPIPE, SIGHUP}) ::signal(sig, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Replaces the calling (child) process with `program` and `args`, with
// `env` (NAME=VALUE each) added to its environment.
[[noreturn]] inline void exec_with(const fs::path& program, const std::vector<std::string>& args,
                                   const std::vector<std::string>& env) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
  default_signals();
  execv(program.c_str(), argv.data());
  _exit(127);
}

// Replaces the calling (child) process with the program and `args`.
[[noreturn]] inline void exec_program(const std::vector<std::string>& args) {
  exec_with(program_path(), args, {});
}

// Waits for `pid`; kills it after `timeout_seconds`. The status as JobRun
// keeps it: exit status, 128 + signal, or -1 after a time-out.
inline int wait_for(pid_t pid, int timeout_seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  int wstatus = 0;
  while (waitpid(pid, &wstatus, WNOHANG) != pid) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &wstatus, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
}

// Runs the program (or `program`, with `env` added to its environment) with
// `args` in `folder`, `input` on standard input.
inline JobRun run_program(const fs::path& folder, const std::vector<std::string>& args,
                          const std::string& input = "", int timeout_seconds = 60,
                          const fs::path& program = program_path(),
                          const std::vector<std::string>& env = {}) {
  ScratchFolder io;  // the standard streams, kept out of the working folder
  const fs::path in = io.path() / "stdin", out = io.path() / "stdout", err = io.path() / "stderr";
  write_file(in, input);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int fin = open(in.c_str(), O_RDONLY);
    const int fout = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int ferr = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fin < 0 || fout < 0 || ferr < 0 || dup2(fin, 0) < 0 || dup2(fout, 1) < 0 ||
        dup2(ferr, 2) < 0 || chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    exec_with(program, args, env);
  }
  JobRun run;
  run.folder = folder;
  run.status = wait_for(pid, timeout_seconds);
  run.console = read_file(out);
  run.error = read_file(err);
  return run;
}

// Copies the regular files of `from` into `to` (not descending), but those
// named in `except`.
inline void copy_files(const fs::path& from, const fs::path& to,
                       const std::set<std::string>& except = {}) {
  if (!fs::is_directory(from)) return;
  for (const auto& entry : fs::directory_iterator(from)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && !except.count(name)) {
      write_file(to / name, read_file(entry.path()));
    }
  }
}

// Every file under `folder`, descending, path relative to it -> content;
// a symbolic link shows as "-> TARGET".
inline std::map<std::string, std::string> tree(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(entry.path(), folder).string();
    if (entry.is_symlink()) {
      files[name] = "-> " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_regular_file()) {
      files[name] = read_file(entry.path());
    } else if (entry.is_directory()) {
      files[name + "/"] = "";
    }
  }
  return files;
}

// What differs between two trees (see tree), one "made NAME", "changed
// NAME" or "removed NAME" a line; empty when they are the same.
inline std::string changes(const std::map<std::string, std::string>& before,
                           const std::map<std::string, std::string>& after) {
  std::string said;
  for (const auto& [name, content] : after) {
    const auto it = before.find(name);
    if (it == before.end()) {
      said += "made " + name + "\n";
    } else if (it->second != content) {
      said += "changed " + name + "\n";
    }
  }
  for (const auto& entry : before) {
    if (!after.count(entry.first)) said += "removed " + entry.first + "\n";
  }
  return said;
}

// The lines of a text, without their line ends.
inline std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

}  // namespace locseq::testing
