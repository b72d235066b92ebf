#include "platform/web_script.h"

#include <emscripten.h>

#include <memory>
#include <vector>

// The page's side: the response's body is read through its stream, and each piece the browser
// brings is handed to the game through `buffer`, `size` bytes at a time, for as long as the game
// asks for more (rink_script_piece). An address the browser cannot read, a failed fetch and an
// answer other than 200 fail the download, saying why in `why` (rink_script_failed). The game
// hears of it only from the browser's loop, never during the call.
EM_JS(void, script_fetch, (const char* address, void* download, char* buffer, int size, char* why, int why_size), {
  const name = UTF8ToString(address);
  const fail = reason => {
    stringToUTF8(reason, why, why_size);
    Module._rink_script_failed(download);
  };
  (async () => {
    let url = null, reader = null;
    try {
      url = new URL(name, location.href);
    } catch (error) {
      return fail("is not an address the browser can read");
    }
    try {
      const response = await fetch(url);
      if (!response.ok) {
        response.body && response.body.cancel().catch(() => {});
        return fail(`could not be fetched (the server answered ${response.status})`);
      }
      reader = response.body.getReader();
    } catch (error) {
      return fail("could not be fetched");
    }
    for (;;) {
      let piece = null;
      try {
        const {done, value} = await reader.read();
        if (done) return Module._rink_script_piece(download, 0);
        piece = value;
      } catch (error) {
        return Module._rink_script_piece(download, -1);
      }
      for (let at = 0; at < piece.length; at += size) {
        const count = Math.min(size, piece.length - at);
        HEAPU8.set(piece.subarray(at, at + count), buffer);
        if (!Module._rink_script_piece(download, count)) return reader.cancel().catch(() => {});
      }
    }
  })();
});

namespace platform {

namespace {

// The size of the pieces the reader is fed: a few of them a second on a slow line.
constexpr std::size_t piece_size = 64 * 1024;

// A script on its way: what has been read of it, and who hears of it when it is whole.
struct ScriptDownload {
  explicit ScriptDownload(ScriptFetched fetched) : done(std::move(fetched)) {}

  ScriptFetched done;
  KeyScriptReader reader;
  LoadedScript script;
  std::size_t bytes = 0;
  std::vector<char> piece = std::vector<char>(piece_size);
  char why[128] = "";
};

// Takes `got` more bytes of the body (0: its end, -1: it broke off); false once the script is
// whole or refused.
bool take_piece(ScriptDownload& download, int got) {
  LoadedScript& script = download.script;
  if (got < 0) {
    script.error = "could not be read to its end";
    script.unreadable = true;
    return false;
  }
  download.bytes += static_cast<std::size_t>(got);
  if (download.bytes > max_script_bytes) {
    script.error = "longer than " + std::to_string(max_script_bytes >> 20) + " MB";
    return false;
  }
  if (got == 0) {
    download.reader.finish();
  } else {
    download.reader.feed(std::string_view(download.piece.data(), static_cast<std::size_t>(got)));
  }
  return take_script_lines(download.reader, script) && got != 0;
}

}  // namespace

void fetch_key_script(const std::string& address, ScriptFetched done) {
  auto* download = new ScriptDownload(std::move(done));  // goes when the browser says how it ended
  script_fetch(address.c_str(), download, download->piece.data(), static_cast<int>(download->piece.size()),
               download->why, sizeof download->why);
}

}  // namespace platform

// The browser's download brought `count` more bytes into the download's piece (0: the body
// ended, -1: it broke off): 1 while more is wanted, 0 when the script is whole or refused (the
// download then goes, and the page stops reading).
extern "C" EMSCRIPTEN_KEEPALIVE int rink_script_piece(void* started, int count) {
  auto* download = static_cast<platform::ScriptDownload*>(started);
  if (platform::take_piece(*download, count)) return 1;
  const std::unique_ptr<platform::ScriptDownload> done(download);
  done->done(platform::checked_script(std::move(done->script)));
  return 0;
}

// The download could not begin; `why` says why.
extern "C" EMSCRIPTEN_KEEPALIVE void rink_script_failed(void* started) {
  const std::unique_ptr<platform::ScriptDownload> done(static_cast<platform::ScriptDownload*>(started));
  done->script.error = done->why;
  done->script.unreadable = true;
  done->done(std::move(done->script));
}
