// An independent model of the show's timeline, written from what the framebuffer holds when each
// frame is presented, rendering from the test asset files rather than from the loaded buffers; only
// the lines of text are the show's own.
#pragma once

#include <cstdint>
#include <vector>

namespace timeline_model {

enum class Content {
  nothing,  // past the last frame
  black,
  logo,
  logo_caption,
  presents,
  presents_caption,
  title,
  title_caption,
  balls,
  page1,
  page2,
  page3,
  page4,
  page5,
  page6,
  white,
  raster_bars,
};

// What the framebuffer holds when the pass with counter value f hands it over.
Content shown_at(std::uint32_t f);

// The counter values of the presented passes, in order: 0 to 2650, then 2951 to 5501.
std::vector<std::uint32_t> presented_counters();

// The 640x400 framebuffer picture of a content, built from the test asset files.
const std::vector<std::uint32_t>& image(Content content);

}  // namespace timeline_model
