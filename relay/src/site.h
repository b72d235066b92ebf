#pragma once
// The static files of a site folder, as rink-relay serves them on its port beside WebSocket: a
// GET or HEAD of a file inside the folder, with its content type; nothing outside it (no "..",
// no hidden files, no link that leads out), and no listing of a folder.

#include <filesystem>
#include <optional>
#include <string_view>

namespace relay {

// The file a request's target names in `root` (a canonical path), or nothing.
std::optional<std::filesystem::path> site_file(const std::filesystem::path& root, std::string_view target);

// The content type of a file by its extension; application/octet-stream for one not known.
std::string_view content_type(const std::filesystem::path& file);

}  // namespace relay
