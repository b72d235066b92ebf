#pragma once
// rink-relay's command line. (The game's own command-line helpers live in its app library, which
// the relay does not link; these few lines speak the same way.)

#include <string>
#include <vector>

#include "hub.h"

namespace relay {

struct Options {
  bool help = false;
  bool version = false;
  // Loopback by default: the relay speaks plain WebSocket, and pages served over https reach it
  // through a reverse proxy on the same machine that adds TLS. --bind :: or 0.0.0.0 serves a LAN.
  std::string bind = "127.0.0.1";
  long port = 7777;               // 0: any free port (the first line of standard output names it)
  std::string site;               // a folder to serve over HTTP as well; empty: none
  // The origins (scheme://host[:port]) whose pages may connect; empty: any. A client that is no
  // page sends no origin and is always let in.
  std::vector<std::string> allowed_origins;
  long max_connections = 5000;
  long max_message = 256;         // bytes of one message
  Limits limits;
  std::string error;              // what was wrong with the command line; empty when it was right
};

Options parse_options(int argc, const char* const* argv);
// The text of --help, with the defaults.
std::string usage_text();

// The exit status after a mistake in the command line, as the game's programs use.
constexpr int mistake_status = 2;
// "rink-relay: MISTAKE" and "Try 'rink-relay --help'." on standard error; returns mistake_status.
int refuse(const std::string& mistake);

}  // namespace relay
