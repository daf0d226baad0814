// Kept apart from the mixer proper so that the mixer builds and is used without a replayer.
#include "xm/mixer.h"

namespace xm {

void Mixer::update(const Replayer& replayer) {
  for (int channel = 0; channel < replayer.module().channels; ++channel) {
    update_channel(channel, replayer.voice(channel));
  }
}

}  // namespace xm
