// The subcommands of lintorra-cli. Each registers itself on the application
// and sets exitCode when it runs.
#pragma once

#include <CLI/CLI.hpp>

void AddInfoCommand(CLI::App& App, int& ExitCode);
void AddResaveCommand(CLI::App& App, int& ExitCode);
void AddConvertCommand(CLI::App& App, int& ExitCode);
void AddRenderCommand(CLI::App& App, int& ExitCode);
void AddPensCommand(CLI::App& App, int& ExitCode);
