// A sound output for tests: its open, start and close are lines in the emulated platform's call
// record, in order with the display's calls, and a test pulls frames through the fill as a device
// would, from the test's thread or another. `device` false: there is no sound device.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/audio_output.h"
#include "platform/emulated/fault_plan.h"

struct RecordingAudioOutput final : audio::Output {
  bool open(int rate, audio::Fill fill, void* context) override {
    emulated::record_call("audio open(" + std::to_string(rate) + ")");
    const std::lock_guard lock(mutex);
    if (device) fill_ = fill, context_ = context;
    return device;
  }
  void start() override { emulated::record_call("audio start()"); }
  void close() override {
    const std::lock_guard lock(mutex);
    if (fill_ != nullptr) emulated::record_call("audio close()");
    fill_ = nullptr;
  }
  // Appends `frames` filled frames to `pulled`; false once the output is closed.
  bool pull(std::size_t frames) {
    const std::lock_guard lock(mutex);
    pulled.resize(pulled.size() + (fill_ != nullptr ? 2 * frames : 0));
    if (fill_ != nullptr) fill_(context_, pulled.data() + pulled.size() - 2 * frames, frames);
    return fill_ != nullptr;
  }

  bool device = true;
  std::vector<std::int16_t> pulled;  // left, right, ...
  std::mutex mutex;
  audio::Fill fill_ = nullptr;
  void* context_ = nullptr;
};
