"use strict";
// The show's music on the browser's audio thread: one processor per run, the player
// (worklet_player.cpp, sound.wasm) instantiated inside it from the bytes the page hands it, so that
// whatever holds the page's thread, every quantum is rendered on time.
//
// From the page: { load: module bytes }, { play: rate }, { fade: true }. To the page: { ready }
// once the player is there (or { failed }), { warning }, { progress } about once a second and
// { ended } once the fade has been heard, with what was played; the processor then stops for good.
// Counted: quanta rendered by the player, quanta asked for while the music was to play that it
// could not fill, and quanta asked for after the end (none, when all is well).

const quantumFrames = 128;
const progressQuanta = 344;  // about a second at 44,100 Hz

// The player's module needs only these of its environment.
async function instantiate(bytes) {
  let memory = null;
  const imports = {
    env: { emscripten_notify_memory_growth() {} },
    wasi_snapshot_preview1: {
      // The player never waits on a clock: any time will do.
      clock_time_get(id, precision, at) {
        new DataView(memory.buffer).setBigUint64(at, 0n, true);
        return 0;
      },
      proc_exit(code) {
        throw new Error("the sound module stopped with status " + code);
      },
    },
  };
  const { instance } = await WebAssembly.instantiate(bytes, imports);
  memory = instance.exports.memory;
  instance.exports._initialize();
  return instance.exports;
}

class ShowSound extends AudioWorkletProcessor {
  constructor(options) {
    super();
    this.player = null;
    this.waiting = [];     // commands that came before the player
    this.asked = false;    // to play, since a play command came
    this.playing = false;  // the player plays, until its fade has been heard
    this.ended = false;
    this.counts = { quanta: 0, unfilled: 0, afterEnd: 0 };
    this.port.onmessage = (event) => {
      if (this.player) this.run(event.data);
      else this.waiting.push(event.data);
    };
    instantiate(options.processorOptions.wasm).then((player) => {
      this.player = player;
      for (const command of this.waiting) this.run(command);
      this.waiting = null;
      this.port.postMessage({ ready: true });
    }, (error) => this.port.postMessage({ failed: String(error) }));
  }

  run(command) {
    const player = this.player;
    if (this.ended) return;
    if (command.load) {
      const size = command.load.byteLength;
      const at = player.sound_module_buffer(size);
      if (at) new Uint8Array(player.memory.buffer, at, size).set(new Uint8Array(command.load));
      if (!at || !player.sound_load()) {
        this.port.postMessage({ warning: "the music could not be loaded: the show runs silent" });
      }
    } else if (command.play) {
      this.asked = true;
      this.playing = player.sound_play(command.play) === 1;
    } else if (command.fade) {
      player.sound_fade();
      if (!this.playing) this.end();
    }
  }

  end() {
    this.playing = false;
    this.ended = true;
    const player = this.player;
    const windowRms = [];
    for (let i = 0; player && i < player.sound_windows(); i += 1) {
      windowRms.push(player.sound_window_rms(i));
    }
    this.port.postMessage({ ended: { ...this.counts, frames: player ? player.sound_frames() : 0,
                                     peak: player ? player.sound_peak() : 0, windowRms } });
  }

  process(inputs, outputs) {
    if (this.ended) {
      this.counts.afterEnd += 1;
      return false;
    }
    const [left, right] = outputs[0];
    if (this.playing) {
      const player = this.player;
      player.sound_render();
      const channels = new Float32Array(player.memory.buffer, player.sound_channels(),
                                        2 * quantumFrames);
      left.set(channels.subarray(0, quantumFrames));
      right.set(channels.subarray(quantumFrames));
      this.counts.quanta += 1;
      if (player.sound_finished()) this.end();
    } else if (this.asked && !this.ended) {
      this.counts.unfilled += 1;
    }
    if ((this.counts.quanta + this.counts.unfilled) % progressQuanta === 1) {
      this.port.postMessage({ progress: { ...this.counts } });
    }
    return !this.ended;
  }
}

registerProcessor("show-sound", ShowSound);
