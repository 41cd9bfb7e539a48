#pragma once
// The exit codes of panelhost, the same for every subcommand.
namespace host {

enum ExitCode : int {
  kExitSuccess = 0,
  kExitError = 1,        // a file, a module, an output
  kExitUsage = 2,        // the command line
  kExitContract = 3,     // a gauge broke the host contract
  kExitExpectation = 4,  // a scenario's expectation failed
};

inline constexpr char kExitCodesHelp[] =
    "Exit codes: 0 success, 1 error (a file, a module, an output), 2 usage, 3 contract violation by a "
    "gauge, 4 a failed scenario expectation.";

}  // namespace host
