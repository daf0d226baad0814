#include "platform/windows/waveout_output.h"

// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace windows_platform {

namespace {

constexpr int channels = 2;
constexpr int bytes_per_frame = channels * static_cast<int>(sizeof(std::int16_t));
// Four blocks of 20 ms: 80 ms queued rides out a busy frame, and the music still stops at once.
constexpr int buffer_count = 4;
constexpr int buffer_ms = 20;

}  // namespace

struct WaveOutOutput::State {
  HWAVEOUT device = nullptr;
  HANDLE done = nullptr;  // set by the device each time it hands a block back, and by close()
  HANDLE thread = nullptr;
  audio::Fill fill = nullptr;
  void* context = nullptr;
  std::size_t frames = 0;              // per block
  std::vector<std::int16_t> samples;   // the blocks back to back
  WAVEHDR headers[buffer_count] = {};  // their headers, in the order the device plays them
  std::atomic<bool> stopping{false};

  // Fills block i and queues it; false when the device refuses it.
  bool queue(int i) {
    WAVEHDR& header = headers[i];
    fill(context, reinterpret_cast<std::int16_t*>(header.lpData), frames);
    header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    return waveOutWrite(device, &header, sizeof header) == MMSYSERR_NOERROR;
  }

  // The blocks come back in the order they were queued, so the next one due is always checked
  // first and the music is never reordered.
  static DWORD WINAPI run(LPVOID self) {
    State& state = *static_cast<State*>(self);
    for (int i = 0; i < buffer_count; ++i) {
      if (!state.queue(i)) return 0;
    }
    int next = 0;
    while (WaitForSingleObject(state.done, INFINITE) == WAIT_OBJECT_0) {
      if (state.stopping.load(std::memory_order_acquire)) break;
      while ((state.headers[next].dwFlags & WHDR_DONE) != 0) {
        if (!state.queue(next)) return 0;
        next = (next + 1) % buffer_count;
      }
    }
    return 0;
  }
};

WaveOutOutput::WaveOutOutput() : state_(nullptr) {}

WaveOutOutput::~WaveOutOutput() { close(); }

bool WaveOutOutput::open(int rate, audio::Fill fill, void* context) {
  if (state_ != nullptr || fill == nullptr || rate <= 0) return false;
  auto* state = new State;
  state->fill = fill;
  state->context = context;
  state->frames = static_cast<std::size_t>(rate) * buffer_ms / 1000;
  if (state->frames == 0) state->frames = 1;
  state->samples.assign(state->frames * channels * buffer_count, 0);
  // Auto-reset: each wake-up consumes the signal, and a block handed back later sets it again.
  state->done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = channels;
  format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.nAvgBytesPerSec = static_cast<DWORD>(rate) * bytes_per_frame;
  format.nBlockAlign = bytes_per_frame;
  format.wBitsPerSample = 16;
  if (state->done == nullptr ||
      waveOutOpen(&state->device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(state->done), 0,
                  CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    if (state->done != nullptr) CloseHandle(state->done);
    delete state;
    return false;
  }
  for (int i = 0; i < buffer_count; ++i) {
    WAVEHDR& header = state->headers[i];
    header.lpData = reinterpret_cast<LPSTR>(state->samples.data() + i * state->frames * channels);
    header.dwBufferLength = static_cast<DWORD>(state->frames * bytes_per_frame);
    if (waveOutPrepareHeader(state->device, &header, sizeof header) != MMSYSERR_NOERROR) {
      state_ = state;
      close();
      return false;
    }
  }
  state_ = state;
  return true;
}

void WaveOutOutput::start() {
  if (state_ == nullptr || state_->thread != nullptr) return;
  state_->thread = CreateThread(nullptr, 0, &State::run, state_, 0, nullptr);
  // Above the frame loop's priority, so a busy frame does not starve the device.
  if (state_->thread != nullptr) SetThreadPriority(state_->thread, THREAD_PRIORITY_HIGHEST);
}

void WaveOutOutput::close() {
  if (state_ == nullptr) return;
  State& state = *state_;
  if (state.thread != nullptr) {
    state.stopping.store(true, std::memory_order_release);
    SetEvent(state.done);
    WaitForSingleObject(state.thread, INFINITE);
    CloseHandle(state.thread);
  }
  // Hands every queued block back, so that each can be unprepared.
  waveOutReset(state.device);
  for (WAVEHDR& header : state.headers) {
    if ((header.dwFlags & WHDR_PREPARED) != 0) {
      waveOutUnprepareHeader(state.device, &header, sizeof header);
    }
  }
  waveOutClose(state.device);
  CloseHandle(state.done);
  delete state_;
  state_ = nullptr;
}

}  // namespace windows_platform
