// What a test asks of the emulated platform beyond a working screen: make chosen calls fail, report
// a pixel format no layout has, and record every call in order. The program under the platform must
// survive any of its steps failing, so every step the display takes can be made to fail here.
// An empty plan (the default) changes nothing and records nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"

namespace emulated {

// Every call the platform records; those marked * can be made to fail, with the answer given.
enum class Step {
  load_library,      // * null
  get_proc_address,  // * null
  free_library,
  direct_draw_create,  // * DDERR_GENERIC
  direct_draw_release,
  register_class,  // * 0
  create_window,   // * null
  destroy_window,
  dispatch_message,
  send_message,
  set_cooperative_level,  // * DDERR_GENERIC
  set_display_mode,       // * DDERR_INVALIDMODE
  restore_display_mode,
  create_surface,  // * DDERR_OUTOFVIDEOMEMORY
  surface_release,
  get_attached_surface,  // * DDERR_NOTFOUND
  get_pixel_format,      // * DDERR_GENERIC
  lock,                  // * DDERR_GENERIC
  unlock,
  restore,  // * DDERR_WRONGMODE
  flip,     // * DDERR_GENERIC
  set_cursor,
  system_parameters,  // * FALSE
  sleep,
  exit_process,
};

// Of the calls of `step`, the first `after` go through and the next `times` fail (negative: every
// one from then on).
struct Fault {
  Step step;
  int after = 0;
  int times = 1;
};

struct FaultPlan {
  std::vector<Fault> faults;
  // GetPixelFormat answers this instead of the mode's format: a driver the display cannot use.
  std::optional<DDPIXELFORMAT> pixel_format;
  // Keep a line per call (recorded_calls); off by default, since the log grows with every frame.
  bool record_calls = false;
};

// The calls made since install, as "Name(arguments)": "SetDisplayMode(640,400,32)",
// "Release(ddraw)", "DispatchMessageA(256,27)". Empty unless the plan records.
const std::vector<std::string>& recorded_calls();
// Adds a line to the record, for code beside the platform that takes part in the same order (the
// music calls in tests).
void record_call(std::string_view line);

// What the program holds of the platform now; all zero and false once it has given everything back.
struct Held {
  int library_references = 0;
  bool exclusive = false;
  bool mode_switched = false;
  bool primary_surface = false;
  int windows = 0;
  bool operator==(const Held&) const = default;
};
Held held();

// The surfaces of the live chain are lost, as after another program switched the mode and back:
// Lock and Flip answer DDERR_SURFACELOST until Restore.
void lose_surfaces();

}  // namespace emulated
