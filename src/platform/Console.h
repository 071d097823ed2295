#pragma once
// What a command-line program gets from and gives to its console, the same on every
// system: arguments as UTF-8, and standard output and error as UTF-8 bytes, exactly.
#include <string>
#include <vector>

// The arguments after the program's name as UTF-8. On Windows they are read as UTF-16
// from the command line itself: argv there is in the ANSI code page, which has no ğ, ş
// or ı in most countries and would lose them.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// On Windows: standard output and error in binary mode, so that a table's "\n" is not
// made "\r\n", and the console shows UTF-8 (its earlier code page comes back at exit).
// Elsewhere nothing to do.
void PrepareConsole();
