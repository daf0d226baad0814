// The show's entry routine: loads the data, opens the display, starts the music and runs the
// frames.
#pragma once

#include <cstdint>

// Number of the frame the current pass produces; one step per pass of the frame loop.
extern std::uint32_t frame_counter;

// The highest frame that is still presented; the pass after it ends the show.
constexpr std::uint32_t end_frame = 5501;

// Returns 1 when the display cannot be opened; otherwise the process ends inside, with status 0.
int show_main();
