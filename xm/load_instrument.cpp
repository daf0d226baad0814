// An instrument's header, its sample headers and its samples' data, as much as the file holds.
#include <algorithm>

#include "xm/load_reader.h"

namespace xm::loading {
namespace {

constexpr std::uint32_t instrument_head = 29;           // size, name, type, sample count
constexpr std::uint32_t instrument_with_samples = 243;  // up to the fadeout
constexpr std::uint32_t sample_header_min = 40;

std::string instrument_name(int i) { return "instrument " + num(static_cast<unsigned>(i) + 1); }

// Envelope fields as stored: 12 points of (tick, value) words, then the bytes at `count_at`
// (count), `sustain_at` (sustain, loop start, loop end) and `type_at`.
Envelope read_envelope(std::span<const std::uint8_t> head, std::size_t points_at,
                       std::size_t count_at, std::size_t sustain_at, std::size_t type_at) {
  auto word = [&](std::size_t at) { return static_cast<unsigned>(head[at] | (head[at + 1] << 8)); };
  Envelope e;
  // All twelve points are kept: a loop may go back to one past the envelope's end.
  for (std::size_t i = 0; i < max_envelope_points; ++i) {
    e.points[i] = {static_cast<std::uint16_t>(word(points_at + 4 * i)),
                   static_cast<std::uint8_t>(std::min(word(points_at + 4 * i + 2), 64u))};
  }
  const int stored = std::min<int>(head[count_at], max_envelope_points);
  int count = 1;
  // Ticks must rise; FastTracker 2's editor never saves it otherwise, so the rest is dropped.
  while (count < stored && e.points[static_cast<std::size_t>(count)].tick >
                               e.points[static_cast<std::size_t>(count) - 1].tick) {
    ++count;
  }
  count = std::min(count, stored);
  e.count = static_cast<std::uint8_t>(count);
  const auto last = static_cast<std::uint8_t>(std::max(count - 1, 0));
  e.sustain = std::min(head[sustain_at], last);
  e.loop_start = std::min<std::uint8_t>(head[sustain_at + 1], max_envelope_points - 1);
  e.loop_end = std::min(head[sustain_at + 2], last);
  const std::uint8_t type = head[type_at];
  e.on = (type & 1) && count > 0;
  e.sustain_on = e.on && (type & 2);
  // A loop ending past the last point is never reached; one that ends before it starts still
  // goes back (forward) to its start, as FastTracker 2 plays it.
  e.loop_on = e.on && (type & 4) && head[sustain_at + 2] < count;
  return e;
}

// The fields of an instrument with samples after its first 29 bytes: keymap, envelopes,
// auto-vibrato and fadeout.
void read_instrument_fields(std::span<const std::uint8_t> head, unsigned samples, Instrument& in) {
  // Offsets below are from the instrument's start, less the 29 bytes already read.
  constexpr std::size_t base = instrument_head;
  // FastTracker 2 has 16 sample slots and takes a keymap entry past them as the last one.
  for (std::size_t k = 0; k < note_count; ++k) {
    const unsigned s = std::min<unsigned>(head[33 - base + k], max_samples - 1);
    in.keymap[k] = s < samples ? static_cast<std::uint8_t>(s) : no_sample;
  }
  in.volume_envelope = read_envelope(head, 129 - base, 225 - base, 227 - base, 233 - base);
  in.panning_envelope = read_envelope(head, 177 - base, 226 - base, 230 - base, 234 - base);
  in.vibrato_type = head[235 - base] <= 3 ? head[235 - base] : 0;
  in.vibrato_sweep = head[236 - base];
  // FastTracker 2 takes auto-vibrato depths up to 15 and rates up to 63.
  in.vibrato_depth = std::min<std::uint8_t>(head[237 - base], 15);
  in.vibrato_rate = std::min<std::uint8_t>(head[238 - base], 63);
  in.fadeout = static_cast<std::uint16_t>(head[239 - base] | (head[240 - base] << 8));
}

// One sample header of `size` bytes, whole in the file.
SampleHeader read_sample_header(Reader& r, std::uint32_t size, Sample& out) {
  const std::size_t at = r.pos();
  SampleHeader h;
  h.length = r.u32();
  h.loop_start = r.u32();
  h.loop_length = r.u32();
  out.volume = std::min<std::uint8_t>(r.u8(), 64);
  out.finetune = static_cast<std::int8_t>(r.u8());
  h.type = r.u8();
  out.panning = r.u8();
  // FastTracker 2 plays relative notes from -48 (C-4 down to C-0) to +71 (C-0 up to B-5).
  out.relative_note =
      static_cast<std::int8_t>(std::clamp<int>(static_cast<std::int8_t>(r.u8()), -48, 71));
  r.u8();  // reserved
  out.name = r.text(22);
  r.seek(at + std::uint64_t{size});
  return h;
}

// Frame n after the last playable one (n >= 0) as playing on reads it: silence, the loop again, or
// the loop mirrored. A ping-pong turn plays its end frame twice, as FastTracker 2 does.
std::int16_t frame_after(const Sample& s, const std::int16_t* f, std::uint32_t n) {
  const std::uint32_t len = s.loop_length;
  switch (s.loop) {
    case LoopType::forward:
      return f[s.loop_start + n % len];
    case LoopType::ping_pong: {
      const std::uint32_t t = n % (2 * len);
      return t < len ? f[s.length - 1 - t] : f[s.loop_start + (t - len)];
    }
    case LoopType::none:
      break;
  }
  return 0;
}

// The sample's frames from the bytes that arrived, and after them, where the file ended first, up
// to `silence` frames of silence (taken from it) towards the length its header says.
void read_sample(std::span<const std::uint8_t> data, const SampleHeader& h, Sample& s,
                 std::uint64_t& silence) {
  s.sixteen_bit = (h.type & 0x10) != 0;
  const std::uint32_t per_frame = s.sixteen_bit ? 2 : 1;
  // A 16-bit sample's odd last byte is not a frame.
  const auto arrived = static_cast<std::uint32_t>(data.size() / per_frame);
  const std::uint32_t silent =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(h.length / per_frame - arrived, silence));
  silence -= silent;
  const std::uint32_t frames = arrived + silent;
  // Bit 1 marks ping-pong whatever bit 0 says, so type 3 plays ping-pong.
  s.loop = (h.type & 2) ? LoopType::ping_pong : (h.type & 1) ? LoopType::forward : LoopType::none;
  s.loop_start = h.loop_start / per_frame;
  s.loop_length = h.loop_length / per_frame;
  if (s.loop_length == 0 || s.loop_start >= frames) s.loop = LoopType::none;
  if (s.loop == LoopType::none) {
    s.loop_start = s.loop_length = 0;
  } else {
    s.loop_length = std::min(s.loop_length, frames - s.loop_start);
  }
  s.length = s.loop == LoopType::none ? frames : s.loop_start + s.loop_length;

  s.data.assign(std::size_t{s.length} + 2 * sample_guard, 0);
  std::int16_t* f = s.data.data() + sample_guard;
  std::uint16_t value = 0;
  for (std::uint32_t i = 0; i < std::min(s.length, arrived); ++i) {
    if (s.sixteen_bit) {
      value = static_cast<std::uint16_t>(value + (data[2 * i] | (data[2 * i + 1] << 8)));
      f[i] = static_cast<std::int16_t>(value);
    } else {
      value = static_cast<std::uint8_t>(value + data[i]);
      f[i] = static_cast<std::int16_t>(static_cast<std::int8_t>(value) * 256);
    }
  }
  for (std::uint32_t n = 0; n < sample_guard; ++n) f[s.length + n] = frame_after(s, f, n);
  // Played backwards, a ping-pong loop from frame 0 turns there: the guard before mirrors it.
  if (s.loop == LoopType::ping_pong && s.loop_start == 0) {
    const std::uint32_t len = s.loop_length;
    for (std::uint32_t n = 0; n < sample_guard; ++n) {
      const std::uint32_t t = n % (2 * len);
      s.data[sample_guard - 1 - n] = t < len ? f[t] : f[s.length - 1 - (t - len)];
    }
  }
}

}  // namespace

void make_blank(Instrument& in) {
  in = Instrument{};
  in.keymap.fill(no_sample);
  in.fadeout = blank_fadeout;
}

Got read_instrument(Reader& r, int index, Instrument& in, std::vector<SampleHeader>& headers) {
  const std::string name = instrument_name(index);
  const std::size_t at = r.pos();
  if (r.left() < 4) return r.ended();
  const std::uint32_t size = r.u32();
  if (size < instrument_head) {
    r.fail(at, name + ": header size " + num(size) + " is too small (at least " +
                   num(instrument_head) + ")");
    return Got::none;
  }
  if (r.left() < instrument_head - 4) return r.ended();
  in.name = r.text(22);
  r.u8();  // type, which FastTracker 2 ignores
  const unsigned samples = r.u16();
  if (samples > max_samples) {
    r.fail(at + 27, name + ": " + num(samples) + " samples (at most " + num(max_samples) + ")");
    return Got::none;
  }
  std::uint32_t sample_header_size = 0;
  if (samples > 0) {
    if (size < instrument_with_samples) {
      r.fail(at, name + ": header size " + num(size) + " is too small for samples (at least " +
                     num(instrument_with_samples) + ")");
      return Got::none;
    }
    if (r.left() < instrument_with_samples - instrument_head) {
      make_blank(in);
      return r.ended();
    }
    const auto head = r.take(instrument_with_samples - instrument_head);
    sample_header_size = static_cast<std::uint32_t>(head[0] | (head[1] << 8) | (head[2] << 16) |
                                                    (static_cast<std::uint32_t>(head[3]) << 24));
    if (sample_header_size < sample_header_min) {
      r.fail(at + 29, name + ": sample header size " + num(sample_header_size) +
                          " is too small (at least " + num(sample_header_min) + ")");
      return Got::none;
    }
    read_instrument_fields(head, samples, in);
  }
  // The sample headers must all be there, or the instrument plays nothing.
  if (r.size() - at < size + std::uint64_t{samples} * sample_header_size) {
    make_blank(in);
    return r.ended();
  }
  r.seek(at + std::uint64_t{size});
  if (samples == 0) in.fadeout = blank_fadeout;
  in.samples.resize(samples);
  for (Sample& s : in.samples) headers.push_back(read_sample_header(r, sample_header_size, s));
  return Got::whole;
}

bool read_sample_data(Reader& r, int index, Instrument& in,
                      const std::vector<SampleHeader>& headers, std::uint64_t& silence,
                      std::vector<Missing>& missing) {
  for (std::size_t s = 0; s < headers.size(); ++s) {
    const SampleHeader& h = headers[s];
    const auto data = r.take(h.length);
    read_sample(data, h, in.samples[s], silence);
    if (data.size() == h.length) continue;
    const std::uint32_t per_frame = in.samples[s].sixteen_bit ? 2 : 1;
    std::size_t silent_from = s;
    if (!data.empty()) {
      missing.push_back({.part = Missing::Part::frames,
                         .index = index + 1,
                         .sample = static_cast<int>(s),
                         .held = static_cast<std::uint32_t>(data.size()) / per_frame,
                         .of = h.length / per_frame});
      ++silent_from;
    }
    for (std::size_t k = s + 1; k < headers.size(); ++k)
      read_sample({}, headers[k], in.samples[k], silence);
    if (silent_from < headers.size()) {
      missing.push_back({.part = Missing::Part::samples,
                         .index = index + 1,
                         .sample = static_cast<int>(silent_from),
                         .of = static_cast<std::uint32_t>(headers.size())});
    }
    return false;
  }
  return true;
}

}  // namespace xm::loading
