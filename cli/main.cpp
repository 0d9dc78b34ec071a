// dorvik: the playback unit from the command line, for scripts and schedules.
#include <iostream>
#include <string>

#include "cli/Arguments.h"
#include "cli/Session.h"
#include "link/SerialPort.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::cout << "dorvik " << DORVIK_VERSION << "\n";
    return 0;
  }
  std::string problem;
  const auto arguments = cli::parseArguments(argc, argv, problem);
  if (!arguments) {
    std::cerr << "dorvik: " << problem << "\n" << cli::programUsage();
    return cli::kUsage;
  }
  if (arguments->help) {
    std::cout << (arguments->commandNamed ? cli::commandUsage(arguments->command) : cli::programUsage());
    return 0;
  }
  releasePortOnExitSignals();  // Ctrl-C, a closed terminal, `| head`: the port is left free
  return cli::runCommand(*arguments, std::cout);
}
