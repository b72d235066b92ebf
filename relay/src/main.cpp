// rink-relay: pairs two players by a room code and passes each pass's keys between them over
// WebSocket; it may serve the page's site folder on the same port.

#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/system/system_error.hpp>
#include <cstdio>

#include "descriptors.h"
#include "options.h"
#include "server.h"

namespace {

// The site folder as a canonical path; false after a line on standard error when it is none.
bool find_site(const std::string& folder, std::filesystem::path& site) {
  if (folder.empty()) return true;
  std::error_code error;
  site = std::filesystem::canonical(folder, error);
  if (error || !std::filesystem::is_directory(site, error)) {
    relay::refuse("--site: no folder '" + folder + "'");
    return false;
  }
  return true;
}

int run(const relay::Options& options, const std::filesystem::path& site) {
  relay::raise_descriptor_limit();
  relay::Hub hub(options.limits, stderr);
  relay::Shared shared{hub, options, site};
  boost::asio::io_context io(1);
  std::optional<relay::Server> server;
  try {
    server.emplace(io, shared);
  } catch (const boost::system::system_error& error) {
    std::fprintf(stderr, "rink-relay: cannot listen on %s port %ld: %s\n", options.bind.c_str(), options.port,
                 error.code().message().c_str());
    return 1;
  }
  std::printf("rink-relay: listening on %s port %u\n", options.bind.c_str(), server->port());
  std::fflush(stdout);
  boost::asio::signal_set signals(io, SIGINT, SIGTERM);
  signals.async_wait([&](boost::system::error_code, int) {
    std::fprintf(stderr, "rink-relay: stopped\n");
    io.stop();
  });
  server->start();
  io.run();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const relay::Options options = relay::parse_options(argc, argv);
  if (!options.error.empty()) return relay::refuse(options.error);
  if (options.help) return std::fputs(relay::usage_text().c_str(), stdout) < 0 ? 1 : 0;
  if (options.version) return std::printf("rink-relay %s\n", RINK_VERSION) < 0 ? 1 : 0;
  std::filesystem::path site;
  if (!find_site(options.site, site)) return relay::mistake_status;
  return run(options, site);
}
