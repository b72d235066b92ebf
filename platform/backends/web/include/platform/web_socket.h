#pragma once
// A WebSocket of the page that carries text messages, read from the game's own passes: what came
// waits in the page until take() copies it into the caller's buffer, so that reading allocates
// nothing in the game, and what is sent before the socket is open waits in the page too. Beside
// it, the page's address as online play reads it.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

class WebSocketText {
 public:
  enum class State { connecting, open, closed };

  // Starts connecting to ADDRESS (ws:// or wss://) at once; gives up when it is not open within
  // `timeout_seconds`.
  WebSocketText(const std::string& address, int timeout_seconds);
  ~WebSocketText();  // closes it
  WebSocketText(const WebSocketText&) = delete;
  WebSocketText& operator=(const WebSocketText&) = delete;

  // Sent in the order given, once open; dropped once closed.
  void send(std::string_view text);
  // The oldest text that came, copied into `into`: its length; none when nothing came; into.size()
  // when it does not fit (it is passed over).
  std::optional<std::size_t> take(std::span<char> into);
  State state() const;
  // Why it closed: the far end's reason, or what failed, in words.
  std::string why_closed() const;

 private:
  int id_;
};

// The value of NAME in the page's address (?NAME=VALUE), when given; a value longer than
// longest_page_option comes back as one that no option takes ("?").
constexpr std::size_t longest_page_option = 512;
std::optional<std::string> page_address_option(const char* name);
// The WebSocket address at PATH on the host that served the page: wss: for a page over https:,
// ws: otherwise.
std::string page_own_socket_address(const char* path);
// Tells the page (window.rinkOnline and a "rinkroom" event) the online room's code and this
// side's seat in it, 0 for a spectator.
void show_page_room(const std::string& code, int seat);

}  // namespace platform
