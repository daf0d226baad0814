// The fixed scene timeline: what is drawn for each frame number.
#pragma once

constexpr int message_line_count = 27;

// Captions 1 to 3, then the six text pages of four lines each; every line 40 characters.
extern const char* const message_lines[message_line_count];

// Draws the scene for frame_counter, if any; at frame 2650 it moves frame_counter on to 2950.
void draw_scene();
