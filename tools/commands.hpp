// The subcommands of the zatrel command. Each adds itself to the application;
// when it runs, it leaves the process's exit status in exit_status.
#pragma once

#include <CLI/CLI.hpp>

namespace zatrel::cli {

void add_dump_command(CLI::App& app, int& exit_status);
void add_validate_command(CLI::App& app, int& exit_status);
void add_copy_command(CLI::App& app, int& exit_status);

// The exit status of validate for a mistake in its arguments (0 for --help).
int validate_usage_error(CLI::App& app, const CLI::ParseError& error);

}  // namespace zatrel::cli
