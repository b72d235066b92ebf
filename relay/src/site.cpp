// Mapping a request's target onto the site folder.

#include "site.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace relay {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The path of a target with its %XX escapes read; nothing for a broken escape or a byte that
// has no place in a file's name (a NUL, a backslash, a control character).
std::optional<std::string> decoded_path(std::string_view target) {
  target = target.substr(0, target.find_first_of("?#"));
  std::string path;
  for (std::size_t at = 0; at < target.size(); ++at) {
    char c = target[at];
    if (c == '%') {
      if (at + 2 >= target.size()) return std::nullopt;
      const int high = hex_value(target[at + 1]);
      const int low = hex_value(target[at + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      c = static_cast<char>(high * 16 + low);
      at += 2;
    }
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '\\') return std::nullopt;
    path.push_back(c);
  }
  return path;
}

}  // namespace

std::optional<std::filesystem::path> site_file(const std::filesystem::path& root, std::string_view target) {
  const std::optional<std::string> path = decoded_path(target);
  if (!path || path->empty() || path->front() != '/') return std::nullopt;
  std::filesystem::path file = root;
  std::size_t start = 1;
  while (start <= path->size()) {
    const std::size_t slash = std::min(path->find('/', start), path->size());
    const std::string_view part = std::string_view(*path).substr(start, slash - start);
    if (part.empty()) {
      if (slash != path->size()) return std::nullopt;  // "//" inside the path
      file /= "index.html";
    } else {
      if (part.front() == '.') return std::nullopt;  // "..", "." and hidden files
      file /= part;
    }
    start = slash + 1;
  }
  // A link may lead anywhere: what it resolves to must still lie in the folder.
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(file, error);
  if (error || !std::filesystem::is_regular_file(real, error)) return std::nullopt;
  const auto [root_end, unused] = std::mismatch(root.begin(), root.end(), real.begin(), real.end());
  if (root_end != root.end()) return std::nullopt;
  return real;
}

std::string_view content_type(const std::filesystem::path& file) {
  struct Type {
    std::string_view extension;
    std::string_view type;
  };
  static constexpr Type types[] = {
      {".html", "text/html; charset=utf-8"}, {".js", "text/javascript; charset=utf-8"},
      {".mjs", "text/javascript; charset=utf-8"}, {".css", "text/css; charset=utf-8"},
      {".json", "application/json"}, {".webmanifest", "application/manifest+json"},
      {".wasm", "application/wasm"}, {".png", "image/png"}, {".svg", "image/svg+xml"},
      {".ico", "image/vnd.microsoft.icon"}, {".bmp", "image/bmp"}, {".wav", "audio/wav"},
      {".txt", "text/plain; charset=utf-8"},
  };
  const std::string extension = file.extension().string();
  for (const Type& type : types) {
    if (extension == type.extension) return type.type;
  }
  return "application/octet-stream";
}

}  // namespace relay
