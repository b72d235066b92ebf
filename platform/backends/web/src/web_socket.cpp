#include "platform/web_socket.h"

#include <emscripten.h>

#include <array>

// Each socket by its number in Module.rinkSockets, with the texts that came (inbox), the ones
// given before it was open (outbox), its state (0 connecting, 1 open, 2 closed, as
// WebSocketText::State counts) and why it closed. The game looks at them only in its own passes.
EM_JS(int, socket_open, (const char* address, int timeout_ms), {
  const sockets = Module.rinkSockets || (Module.rinkSockets = {next: 1, open: new Map()});
  const id = sockets.next++, url = UTF8ToString(address);
  const link = {socket: null, inbox: [], outbox: [], state: 0, why: "", timer: 0};
  sockets.open.set(id, link);
  link.close = why => {
    if (link.state === 2) return;
    link.state = 2;
    link.why = why;
    clearTimeout(link.timer);
    if (link.socket) link.socket.close();
  };
  try {
    link.socket = new WebSocket(url);
  } catch (error) {
    link.close(`'${url}' is not an address the browser can reach`);
    return id;
  }
  link.timer = setTimeout(() => link.close(`${url} did not answer within ${timeout_ms / 1000} seconds`), timeout_ms);
  link.socket.onopen = () => {
    clearTimeout(link.timer);
    link.state = 1;
    for (const text of link.outbox) link.socket.send(text);
    link.outbox = [];
  };
  link.socket.onmessage = event => {
    if (typeof event.data === "string") link.inbox.push(event.data);
  };
  link.socket.onclose = event => link.close(event.reason ? `${url} closed the connection: ${event.reason}`
                                            : link.state === 1 ? `the connection to ${url} was cut (${event.code})`
                                                               : `cannot reach ${url}`);
  return id;
});
EM_JS(void, socket_send, (int id, const char* text, int length), {
  const link = Module.rinkSockets.open.get(id), message = UTF8ToString(text, length);
  if (link.state === 0) link.outbox.push(message);
  if (link.state === 1) link.socket.send(message);
});
EM_JS(int, socket_take, (int id, char* buffer, int size), {
  const link = Module.rinkSockets.open.get(id);
  if (link.inbox.length === 0) return -1;
  const text = link.inbox.shift(), length = lengthBytesUTF8(text);
  if (length >= size) return size;
  stringToUTF8(text, buffer, size);
  return length;
});
EM_JS(int, socket_state, (int id), { return Module.rinkSockets.open.get(id).state; });
EM_JS(void, socket_why, (int id, char* buffer, int size), {
  stringToUTF8(Module.rinkSockets.open.get(id).why, buffer, size);
});
EM_JS(void, socket_close, (int id), {
  Module.rinkSockets.open.get(id).close("closed by the game");
  Module.rinkSockets.open.delete(id);
});

EM_JS(void, own_socket_address, (const char* path, char* address, int size), {
  stringToUTF8((location.protocol === "https:" ? "wss://" : "ws://") + location.host + UTF8ToString(path), address,
               size);
});
EM_JS(void, page_room, (const char* code, int seat), {
  window.rinkOnline = {code: UTF8ToString(code), seat};
  window.dispatchEvent(new CustomEvent("rinkroom", {detail: window.rinkOnline}));
});

namespace platform {

WebSocketText::WebSocketText(const std::string& address, int timeout_seconds)
    : id_(socket_open(address.c_str(), timeout_seconds * 1000)) {}

WebSocketText::~WebSocketText() { socket_close(id_); }

void WebSocketText::send(std::string_view text) { socket_send(id_, text.data(), static_cast<int>(text.size())); }

std::optional<std::size_t> WebSocketText::take(std::span<char> into) {
  const int length = socket_take(id_, into.data(), static_cast<int>(into.size()));
  if (length < 0) return std::nullopt;
  return static_cast<std::size_t>(length);
}

WebSocketText::State WebSocketText::state() const { return static_cast<State>(socket_state(id_)); }

std::string WebSocketText::why_closed() const {
  std::array<char, 256> why;
  socket_why(id_, why.data(), static_cast<int>(why.size()));
  return why.data();
}

std::string page_own_socket_address(const char* path) {
  std::array<char, longest_page_option> address;
  own_socket_address(path, address.data(), static_cast<int>(address.size()));
  return address.data();
}

void show_page_room(const std::string& code, int seat) { page_room(code.c_str(), seat); }

}  // namespace platform
