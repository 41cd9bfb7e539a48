#pragma once
// Runs a program of the build the way a person would from a shell, and collects its exit code and
// what it printed.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace testsupport {

struct ProgramResult {
  int code = -1;
  std::string out, err;
};

// args[0] is the program; cwd, if given, is the folder it runs in. Arguments are quoted whole.
inline ProgramResult run_program(const std::vector<std::string>& args, const std::string& cwd = "") {
  TempFolder capture("run");
  const std::string out = capture.path("out.txt"), err = capture.path("err.txt");
  std::string command;
#ifdef _WIN32
  if (!cwd.empty()) command += "cd /d \"" + cwd + "\" && ";
#else
  if (!cwd.empty()) command += "cd '" + cwd + "' && ";
#endif
  for (const auto& a : args) command += "\"" + a + "\" ";
  command += "> \"" + out + "\" 2> \"" + err + "\"";
#ifdef _WIN32
  command = "\"" + command + "\"";  // cmd /c takes the outer quotes off
#endif
  const int status = std::system(command.c_str());
  ProgramResult r;
#ifdef _WIN32
  r.code = status;
#else
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
#endif
  auto slurp = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  r.out = slurp(out);
  r.err = slurp(err);
  return r;
}

}  // namespace testsupport
