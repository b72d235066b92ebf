// libFuzzer entry for the key-script reader: each input is a whole script. Besides the
// sanitizers' findings, a run stops when the reader breaks its promises: lines exactly when there
// is no error, never more lines than the input has, an error that is one short line of printable
// characters (no raw byte of the input reaches a terminal), and the same result whether the
// bytes come at once or in pieces, as a growing recording's do.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/key_script.h"

namespace {

bool printable(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// The same bytes fed in pieces of 1 to 64 bytes, the sizes taken from the bytes themselves.
platform::LoadedScript read_in_pieces(std::string_view text) {
  platform::KeyScriptReader reader;
  platform::LoadedScript script;
  platform::KeySet keys;
  std::size_t at = 0;
  for (;;) {
    if (at < text.size()) {
      const std::size_t piece = std::min<std::size_t>(static_cast<unsigned char>(text[at]) % 64 + 1, text.size() - at);
      reader.feed(text.substr(at, piece));
      at += piece;
    } else {
      reader.finish();
    }
    platform::KeyScriptReader::Step step;
    while ((step = reader.next(keys)) == platform::KeyScriptReader::Step::line) script.lines.push_back(keys);
    if (step == platform::KeyScriptReader::Step::failed) {
      script.error = reader.error();
      script.lines.clear();
      return script;
    }
    if (step == platform::KeyScriptReader::Step::end) {
      script.warning = reader.warning();
      return script;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const platform::LoadedScript script = platform::read_key_script(text);
  if (script.error.empty() == script.lines.empty()) std::abort();
  if (script.lines.size() > static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1) std::abort();
  if (!printable(script.error) || script.error.size() > 80) std::abort();
  const platform::LoadedScript pieces = read_in_pieces(text);
  if (!pieces.lines.empty() && pieces.lines != script.lines) std::abort();
  if (!pieces.error.empty() && pieces.error != script.error) std::abort();
  if (pieces.error.empty() && pieces.warning != script.warning) std::abort();
  if (!printable(script.warning) || script.warning.size() > 120) std::abort();
  if (pieces.lines.empty() && pieces.error.empty() && script.error != "no line of keys") std::abort();
  return 0;
}
