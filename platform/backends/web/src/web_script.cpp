#include "platform/web_script.h"

#include <emscripten.h>

#include <vector>

// The page's side: the response's body is read through its stream, a piece at a time, and what
// a piece holds beyond the asked size waits for the next read. An address the browser cannot
// read, a failed fetch and an answer other than 200 all fail the open, saying why in `why`.
EM_ASYNC_JS(int, script_open, (const char* address, char* why, int why_size), {
  Module.rinkScript = null;
  let url = null;
  try {
    url = new URL(UTF8ToString(address), location.href);
  } catch (error) {
    stringToUTF8("is not an address the browser can read", why, why_size);
    return 0;
  }
  try {
    const response = await fetch(url);
    if (!response.ok) {
      stringToUTF8(`could not be fetched (the server answered ${response.status})`, why, why_size);
      response.body && response.body.cancel().catch(() => {});
      return 0;
    }
    Module.rinkScript = {reader: response.body.getReader(), piece: new Uint8Array(0)};
    return 1;
  } catch (error) {
    stringToUTF8("could not be fetched", why, why_size);
    return 0;
  }
});
// Up to `size` bytes into `buffer`: their count, 0 at the end of the body, -1 when it broke off.
EM_ASYNC_JS(int, script_read, (char* buffer, int size), {
  const script = Module.rinkScript;
  try {
    while (script.piece.length === 0) {
      const {done, value} = await script.reader.read();
      if (done) return 0;
      script.piece = value;
    }
  } catch (error) {
    return -1;
  }
  const count = Math.min(size, script.piece.length);
  HEAPU8.set(script.piece.subarray(0, count), buffer);
  script.piece = script.piece.subarray(count);
  return count;
});
// Stops the download where it is: the rest of the body is never asked for.
EM_JS(void, script_close, (), {
  if (Module.rinkScript) Module.rinkScript.reader.cancel().catch(() => {});
  Module.rinkScript = null;
});

namespace platform {

namespace {

// The size of the pieces the reader is fed: a few of them a second on a slow line.
constexpr std::size_t piece_size = 64 * 1024;

// Reads the opened body to its end or to the first fault, whichever comes first.
void read_body(LoadedScript& script) {
  KeyScriptReader reader;
  std::vector<char> piece(piece_size);
  std::size_t bytes = 0;
  for (;;) {
    const int got = script_read(piece.data(), static_cast<int>(piece.size()));
    if (got < 0) {
      script.error = "could not be read to its end";
      script.unreadable = true;
      return;
    }
    bytes += static_cast<std::size_t>(got);
    if (bytes > max_script_bytes) {
      script.error = "longer than " + std::to_string(max_script_bytes >> 20) + " MB";
      return;
    }
    if (got == 0) {
      reader.finish();
    } else {
      reader.feed(std::string_view(piece.data(), static_cast<std::size_t>(got)));
    }
    if (!take_script_lines(reader, script) || got == 0) return;
  }
}

}  // namespace

LoadedScript fetch_key_script(const std::string& address) {
  LoadedScript script;
  char why[128] = "";
  if (!script_open(address.c_str(), why, sizeof why)) {
    script.error = why;
    script.unreadable = true;
    return script;
  }
  read_body(script);
  script_close();
  return checked_script(std::move(script));
}

}  // namespace platform
