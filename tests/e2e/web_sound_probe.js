"use strict";
// Put by the web e2e between the page's sound and the destination: passes it on, and counts the
// quanta that reached the destination from a reset on, those of silence, and those repeating the
// quantum 4,096 frames before (a script processor's block not refilled in time is played again).
const back = 32;
registerProcessor("sound-probe", class extends AudioWorkletProcessor {
  constructor() {
    super();
    this.counts = null;
    this.past = [];
    this.port.onmessage = (event) => {
      if (event.data === "reset") this.counts = { quanta: 0, silent: 0, repeated: 0 };
      else this.port.postMessage(this.counts);
    };
  }

  process(inputs, outputs) {
    const input = inputs[0], output = outputs[0];
    input.forEach((channel, i) => output[i].set(channel));
    const left = input.length ? Float32Array.from(input[0]) : new Float32Array(128);
    const old = this.past.length === back ? this.past.shift() : null;
    this.past.push(left);
    if (this.counts) {
      this.counts.quanta += 1;
      if (left.every((sample) => sample === 0)) this.counts.silent += 1;
      else if (old && left.every((sample, i) => sample === old[i])) this.counts.repeated += 1;
    }
    return true;
  }
});
