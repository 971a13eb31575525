// zatrel: command-line tools for CIF files, built on the Zatrel toolbox.
#include <CLI/CLI.hpp>

#include "commands.hpp"

int main(int argc, char** argv) {
  CLI::App app("Command-line tools for CIF files (Crystallographic Information Files).", "zatrel");
  app.set_version_flag("--version", "zatrel " ZATREL_VERSION);
  app.require_subcommand(1);
  app.footer("Run 'zatrel COMMAND --help' for the details of a command.");

  int exit_status = 0;
  zatrel::cli::add_dump_command(app, exit_status);
  zatrel::cli::add_validate_command(app, exit_status);
  zatrel::cli::add_copy_command(app, exit_status);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help and version end with status 0; every mistake in the arguments with 1.
    // validate says 2, as for a file it could not read.
    if (app.got_subcommand("validate")) return zatrel::cli::validate_usage_error(app, e);
    return app.exit(e) == 0 ? 0 : 1;
  }
  return exit_status;
}
