#include "platform/message_box_picture.h"

#include <algorithm>
#include <cstring>

#include "panel.h"
#include "platform/font.h"
#include "platform/keys.h"

namespace platform {

namespace {

constexpr std::uint32_t title_text_colour = 0xFFFFFF;
constexpr std::uint32_t button_colour = 0xD5DBE5;
constexpr std::uint32_t button_edge_colour = 0x23407A;

constexpr int line_height = Glyph::line_height;
constexpr int padding = 14;
constexpr int title_height = line_height + 8;
constexpr int button_width = 80;
constexpr int button_height = line_height + 10;
constexpr int min_text_width = 180;
constexpr int max_text_width = 420;

// Breaks the text at blanks into lines no wider than `limit`; a word wider than that keeps a
// line of its own (and is cut at the box's edge when drawn). Newlines break lines too.
std::vector<std::string> wrap(const char* text, int limit) {
  std::vector<std::string> lines(1);
  const char* at = text;
  while (*at != '\0') {
    if (*at == '\n') {
      lines.emplace_back();
      ++at;
      continue;
    }
    const std::size_t word_length = std::strcspn(at, " \n");
    const std::string word(at, word_length);
    std::string& line = lines.back();
    const std::string joined = line.empty() ? word : line + ' ' + word;
    if (line.empty() || width_of(joined) <= limit) {
      line = joined;
    } else {
      lines.push_back(word);
    }
    at += word_length;
    while (*at == ' ') ++at;
  }
  return lines;
}

}  // namespace

MessageBoxPicture::MessageBoxPicture(const char* text, const char* caption, int picture_width, int picture_height)
    : width_(picture_width), height_(picture_height), caption_(caption) {
  const int limit = std::min(max_text_width, std::max(picture_width - 4 * padding, 1));
  lines_ = wrap(text, limit);
  int text_width = std::max(min_text_width, width_of(caption_));
  for (const std::string& line : lines_) text_width = std::max(text_width, width_of(line));
  const int box_width = std::min(text_width + 2 * padding, picture_width);
  const int lines_height = static_cast<int>(lines_.size()) * line_height;
  const int box_height = std::min(title_height + padding + lines_height + padding + button_height + padding,
                                  picture_height);
  const int left = (picture_width - box_width) / 2, top = (picture_height - box_height) / 2;
  frame_ = {left, top, left + box_width, top + box_height};
  title_bar_ = {left + 1, top + 1, left + box_width - 1, top + title_height};
  const int button_left = left + (box_width - button_width) / 2;
  const int button_top = frame_.bottom - padding - button_height;
  ok_button_ = {button_left, button_top, button_left + button_width, button_top + button_height};
}

void MessageBoxPicture::draw_over(std::uint32_t* picture) const {
  const Panel panel(picture, width_, height_);
  const Rect inside{0, 0, frame_.right - 2, frame_.bottom};  // text stays inside the box
  panel.fill(frame_, panel_body_colour);
  panel.outline(frame_, panel_frame_colour);
  panel.fill(title_bar_, panel_title_colour);
  panel.write(title_bar_.left + padding - 1, title_bar_.top + 3, caption_, title_text_colour, inside);
  int y = title_bar_.bottom + padding;
  for (const std::string& line : lines_) {
    panel.write(frame_.left + padding, y, line, panel_text_colour, inside);
    y += line_height;
  }
  panel.fill(ok_button_, button_colour);
  panel.outline(ok_button_, button_edge_colour);
  const std::string ok = "OK";
  panel.write(ok_button_.left + (button_width - width_of(ok)) / 2, ok_button_.top + 5, ok, panel_text_colour, inside);
}

std::vector<std::uint32_t> MessageBoxPicture::over(const TruePicture& last) const {
  std::vector<std::uint32_t> shown = copy_of(last, width_, height_);
  draw_over(shown.data());
  return shown;
}

bool MessageBoxPicture::answered_by(int vk) { return vk == vk_return || vk == vk_space || vk == vk_escape; }

bool MessageBoxPicture::on_ok_button(int x, int y) const {
  return x >= ok_button_.left && x < ok_button_.right && y >= ok_button_.top && y < ok_button_.bottom;
}

}  // namespace platform
