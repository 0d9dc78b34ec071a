// dorvik: the playback unit from the command line, for scripts and schedules.
#include <algorithm>
#include <iostream>
#include <string>

#include "app/StartOptions.h"
#include "cli/Arguments.h"
#include "cli/Session.h"
#include "cli/Text.h"
#include "link/SerialPort.h"

int main(int argc, char** argv) {
  keepStandardStreamsOpen();
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::cout << "dorvik " << DORVIK_VERSION << "\n";
    return 0;
  }
  std::string problem;
  const auto arguments = cli::parseArguments(argc, argv, problem);
  cli::tellAsJson(arguments ? arguments->json : std::find(argv, argv + argc, std::string("--json")) != argv + argc);
  if (!arguments) {
    cli::tell(problem + " (dorvik --help says more)");
    return cli::kUsage;
  }
  if (arguments->help) {
    std::cout << (arguments->commandNamed ? cli::commandUsage(arguments->command) : cli::programUsage());
    return 0;
  }
  const std::string traceProblem = startWireTrace(arguments->trace, "dorvik " DORVIK_VERSION);
  if (!traceProblem.empty()) {
    cli::tell("the wire trace cannot be written: " + traceProblem);
    return cli::kUsage;
  }
  releasePortOnExitSignals();  // Ctrl-C, a closed terminal, `| head`: the port is left free
  const int status = cli::runCommand(*arguments, std::cout);
  if (!(std::cout << std::flush)) {
    cli::tell("the output could not be written");
    return status == cli::kDone ? cli::kNotDone : status;
  }
  return status;
}
