// The manual page tavro-cli(1), written from the command line's own definition: every
// option and command the parser accepts, and nothing else.
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace tavro::cli {

std::string CliManPage(const CLI::App& app);

}  // namespace tavro::cli
