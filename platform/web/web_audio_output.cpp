#include "platform/web/web_audio_output.h"

#include <emscripten.h>

#include <algorithm>

namespace web_platform {

namespace {

// The page's side is in page.js; the bodies are JavaScript, which clang-format would take apart.
// clang-format off
EM_JS(int, page_open_sound, (int rate, int block_frames), {
  const pull = (frames) => {
    const left = _web_sound_pull(frames) >> 2;
    const right = left + block_frames;
    return [ HEAPF32.subarray(left, left + frames), HEAPF32.subarray(right, right + frames) ];
  };
  return Module.page.openSound(rate, pull) ? 1 : 0;
});
EM_JS(void, page_start_sound, (), { Module.page.startSound(); });
EM_JS(void, page_close_sound, (), { Module.page.closeSound(); });
// clang-format on

WebAudioOutput* installed = nullptr;

}  // namespace

bool WebAudioOutput::open(int rate, audio::Fill fill, void* context) {
  if (fill_ != nullptr || fill == nullptr || rate <= 0) return false;
  if (page_open_sound(rate, static_cast<int>(max_block_frames)) == 0) return false;
  fill_ = fill;
  context_ = context;
  started_ = false;
  meter_ = SoundMeter(static_cast<std::size_t>(rate));
  return true;
}

void WebAudioOutput::start() {
  if (fill_ == nullptr) return;
  started_ = true;
  page_start_sound();
}

void WebAudioOutput::close() {
  if (fill_ == nullptr) return;
  // The page asks for no more blocks once this returns.
  page_close_sound();
  started_ = false;
  fill_ = nullptr;
  context_ = nullptr;
}

const float* WebAudioOutput::pull(std::size_t frames) {
  frames = std::min(frames, max_block_frames);
  float* left = channels_.data();
  float* right = channels_.data() + max_block_frames;
  if (!started_) {
    std::fill(channels_.begin(), channels_.end(), 0.0f);
    return left;
  }
  fill_(context_, samples_.data(), frames);
  meter_.add(samples_.data(), frames);
  to_float_channels(samples_.data(), frames, left, right);
  return left;
}

void install_web_audio_output(WebAudioOutput& output) { installed = &output; }

}  // namespace web_platform

// Called by the page's script processor and by whoever reads what it delivered.
extern "C" {

EMSCRIPTEN_KEEPALIVE const float* web_sound_pull(int frames) {
  using web_platform::installed;
  static const std::array<float, 2 * web_platform::WebAudioOutput::max_block_frames> silence{};
  if (installed == nullptr || frames <= 0) return silence.data();
  return installed->pull(static_cast<std::size_t>(frames));
}

EMSCRIPTEN_KEEPALIVE double web_sound_frames() {
  return web_platform::installed != nullptr
             ? static_cast<double>(web_platform::installed->meter().frames())
             : 0.0;
}

EMSCRIPTEN_KEEPALIVE int web_sound_peak() {
  return web_platform::installed != nullptr ? web_platform::installed->meter().peak() : 0;
}

EMSCRIPTEN_KEEPALIVE int web_sound_windows() {
  return web_platform::installed != nullptr
             ? static_cast<int>(web_platform::installed->meter().windows())
             : 0;
}

EMSCRIPTEN_KEEPALIVE double web_sound_window_rms(int index) {
  return web_platform::installed != nullptr && index >= 0
             ? web_platform::installed->meter().window_rms(static_cast<std::size_t>(index))
             : 0.0;
}

}  // extern "C"
