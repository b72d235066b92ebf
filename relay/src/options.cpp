// rink-relay's command line: each option once, with its range.

#include "options.h"

#include <boost/asio/ip/address.hpp>
#include <cctype>
#include <cstdio>

#include "app/command_line.h"

namespace relay {
namespace {

using command_line::parse_number;

bool parse_seconds(const std::string& option, const char* text, long highest, std::chrono::seconds& seconds,
                   std::string& mistake) {
  long number = 0;
  if (!parse_number(option, text, 1, highest, number, mistake)) return false;
  seconds = std::chrono::seconds(number);
  return true;
}

// The shortest client message must fit; the protocol allows no longer ones than this.
constexpr long shortest_message_limit = 32;
constexpr long most_connections = 1000000;
constexpr long highest_rate = 1000;
constexpr long a_day = 86400;

// The symbols a relay's room codes begin with: a few of the codes' own, typed in either case.
constexpr std::size_t max_prefix = 2;
void parse_code_prefix(const char* text, std::string& prefix, std::string& mistake) {
  prefix = text;
  for (char& symbol : prefix) symbol = static_cast<char>(std::toupper(static_cast<unsigned char>(symbol)));
  const bool symbols = prefix.find_first_not_of(net::room_code_alphabet) == std::string::npos;
  if (prefix.empty() || prefix.size() > max_prefix || !symbols) {
    mistake = "--code-prefix must be 1 to " + std::to_string(max_prefix) + " of the letters and digits " +
              std::string(net::room_code_alphabet) + ", not '" + text + "'";
  }
}

}  // namespace

std::string usage_text() {
  const Options defaults;
  const auto seconds = [](std::chrono::seconds value) { return std::to_string(value.count()); };
  return "Usage: rink-relay [OPTION]...\n"
         "Pairs two players of rink by a room code and passes their keys over WebSocket.\n"
         "\n"
         "  --bind ADDRESS          listen on ADDRESS (default " + defaults.bind + "; :: for every address)\n"
         "  --port N                listen on port N (default " + std::to_string(defaults.port) +
         "; 0: any free port)\n"
         "  --site DIR              also serve the files of DIR over HTTP on the same port\n"
         "  --allow-origin ORIGIN   take WebSocket connections from pages of ORIGIN only (given\n"
         "                          once for each; without it, pages of any origin)\n"
         "  --max-rooms N           rooms open at once (default " + std::to_string(defaults.limits.max_rooms) + ")\n"
         "  --max-connections N     connections at once (default " + std::to_string(defaults.max_connections) + ")\n"
         "  --max-message BYTES     the longest message taken (" + std::to_string(shortest_message_limit) + " to " +
         std::to_string(net::max_message_bytes) + ", default " + std::to_string(defaults.max_message) + ")\n"
         "  --max-rate N            messages a second one connection may send on average (default " +
         std::to_string(defaults.limits.max_rate) + ")\n"
         "  --silence SECONDS       drop a player not heard from, or a line that answers no ping,\n"
         "                          for this long (default " +
         seconds(defaults.limits.silence) + ")\n"
         "  --hold SECONDS          keep a left player's seat this long (default " + seconds(defaults.limits.hold) +
         ")\n"
         "  --room-idle SECONDS     close a room without keys for this long (default " +
         seconds(defaults.limits.room_idle) + ")\n"
         "  --code-prefix TEXT      begin every room code with TEXT (" + std::to_string(max_prefix) +
         " symbols at most), so that a\n"
         "                          proxy in front of several relays can route a room to its relay\n"
         "  --help                  show this help and exit\n"
         "  --version               show the version and exit\n";
}

int refuse(const std::string& mistake) {
  std::fprintf(stderr, "rink-relay: %s\nTry 'rink-relay --help'.\n", mistake.c_str());
  return mistake_status;
}

Options parse_options(int argc, const char* const* argv) {
  Options options;
  std::string& mistake = options.error;
  for (int i = 1; i < argc && mistake.empty(); ++i) {
    const std::string argument = argv[i];
    if (argument == "--help") {
      options.help = true;
      continue;
    }
    if (argument == "--version") {
      options.version = true;
      continue;
    }
    if (argument.rfind("--", 0) != 0 || argument.size() == 2) {
      mistake = "unknown option '" + argument + "'";
      continue;
    }
    if (i + 1 >= argc) {
      mistake = "option '" + argument + "' needs a value";
      continue;
    }
    const char* value = argv[++i];
    long number = 0;
    if (argument == "--bind") {
      options.bind = value;
      boost::system::error_code error;
      boost::asio::ip::make_address(options.bind, error);
      if (error) mistake = "--bind must be an IP address, not '" + options.bind + "'";
    } else if (argument == "--port") {
      parse_number(argument, value, 0, 65535, options.port, mistake);
    } else if (argument == "--allow-origin") {
      options.allowed_origins.emplace_back(value);
      if (options.allowed_origins.back().empty()) mistake = "--allow-origin needs an origin, not ''";
    } else if (argument == "--site") {
      options.site = value;
      if (options.site.empty()) mistake = "--site needs a folder, not ''";
    } else if (argument == "--max-rooms") {
      if (parse_number(argument, value, 1, most_connections, number, mistake)) {
        options.limits.max_rooms = static_cast<std::size_t>(number);
      }
    } else if (argument == "--max-connections") {
      parse_number(argument, value, 1, most_connections, options.max_connections, mistake);
    } else if (argument == "--max-message") {
      parse_number(argument, value, shortest_message_limit, net::max_message_bytes, options.max_message, mistake);
    } else if (argument == "--max-rate") {
      if (parse_number(argument, value, 1, highest_rate, number, mistake)) {
        options.limits.max_rate = static_cast<int>(number);
      }
    } else if (argument == "--silence") {
      parse_seconds(argument, value, a_day, options.limits.silence, mistake);
    } else if (argument == "--hold") {
      parse_seconds(argument, value, a_day, options.limits.hold, mistake);
    } else if (argument == "--room-idle") {
      parse_seconds(argument, value, a_day, options.limits.room_idle, mistake);
    } else if (argument == "--code-prefix") {
      parse_code_prefix(value, options.limits.code_prefix, mistake);
    } else {
      mistake = "unknown option '" + argument + "'";
    }
  }
  return options;
}

}  // namespace relay
