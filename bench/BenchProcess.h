#pragma once
// Starting the programs a benchmark measures: argv as given, the benchmark's environment plus
// `extraEnv` (whose entries come first, so they win). The pid, or -1 when it could not start.
#include <spawn.h>
#include <sys/types.h>

#include <string>
#include <vector>

extern char** environ;

namespace kw::bench {

inline pid_t Spawn(std::vector<std::string> argv, const std::vector<std::string>& extraEnv) {
  std::vector<std::string> env(extraEnv);
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  std::vector<char*> cargv;
  std::vector<char*> cenv;
  for (std::string& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  for (std::string& e : env) cenv.push_back(e.data());
  cenv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, cargv[0], nullptr, nullptr, cargv.data(), cenv.data()) != 0) return -1;
  return pid;
}

}  // namespace kw::bench
