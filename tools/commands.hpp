// The subcommands of the zatrel command. Each adds itself to the application;
// when it runs, it leaves the process's exit status in exit_status.
#pragma once

#include <CLI/CLI.hpp>

namespace zatrel::cli {

void add_dump_command(CLI::App& app, int& exit_status);
void add_copy_command(CLI::App& app, int& exit_status);

}  // namespace zatrel::cli
