#pragma once
// What the command lines of the game's programs share (rink, rink-replay, rink-autoplay,
// rink-relay): plain C++, linked by programs that link nothing else of the game too.

#include <string>

namespace command_line {

// The exit status after a mistake in the command line.
constexpr int mistake_status = 2;

// Reports a mistake in one line, "PROGRAM: MISTAKE", then "Try 'PROGRAM --help'."; returns
// mistake_status.
int refuse(const char* program, const std::string& mistake);

// Writes the usage text (--help) or "PROGRAM VERSION" (--version) on standard output; returns the
// exit status: 0, or 1 after a line on standard error when it could not be written.
int print_help(const char* program, const char* usage);
int print_version(const char* program, const char* version);

// Whether standard output is open, else false after a line on standard error: a program that
// writes its results there checks before it opens any file, which would take its place.
bool output_open(const char* program);

// Ends a program whose results went to standard output: every byte must have reached it, else
// one line on standard error says why and the status becomes 1.
int finish_output(const char* program, int exit_code);

// A whole number from `lowest` to `highest`, in decimal digits only; otherwise false, with
// `mistake` naming the option, what was given and the range.
bool parse_number(const std::string& option, const char* text, long lowest, long highest, long& number,
                  std::string& mistake);

// The players of --players: 1 or 2; otherwise false, with `mistake` saying so.
bool parse_players(const char* text, int& players, std::string& mistake);

}  // namespace command_line
