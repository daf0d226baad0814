// The song's instruments, every sample synthesized here.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/xm_writer/xm_module.h"

// Instrument numbers as the patterns use them (1-based, as stored in a cell).
enum Voice : std::uint8_t {
  kick = 1,
  snare,
  closed_hat,
  open_hat,
  crash,
  tom,
  bass,
  lead,
  lead_echo,
  chip,
  pad,
  bell,
  voice_count = bell
};

std::vector<xmwrite::Instrument> song_instruments();
