// The subcommands of lintorra-cli. Each registers itself on the application
// and sets exitCode when it runs.
#pragma once

#include <CLI/CLI.hpp>

void AddInfoCommand(CLI::App& app, int& exitCode);
void AddResaveCommand(CLI::App& app, int& exitCode);
void AddConvertCommand(CLI::App& app, int& exitCode);
