"use strict";
// The page around the show: loads the module (show.js and its wasm), the music's player
// (sound.wasm) and the show's data files (show.data.tgz), waits for a click or tap to start it
// (browsers play sound only after a gesture, and picture and music are to begin together), answers
// the module's calls (the `page` object: canvas, animation frames, sleeps, events, sound), and says
// when the show has ended, offering to start it again in a fresh module. The music plays in an
// audio worklet (sound_worklet.js), one node per run, on the browser's audio thread.
//
// window.showReport tells how the runs went: for the tests, and for anyone curious.

const showReport = {
  state: "loading",  // loading, ready, running, ended, failed
  loadMs: null,      // from navigation to the first module ready to start
  runs: 0,
  status: null,      // exit status of the last run
  error: null,
  startMs: null,     // of the last run, on the page's clock
  endMs: null,
  frames: 0,         // presented in the last run
  presentMs: 0,      // converting and drawing them, in total
  presentMaxMs: 0,
  sound: freshSound(),
};
window.showReport = showReport;

// What the worklet played in a run: quanta of 128 frames rendered, quanta it could not fill and
// quanta asked for after its end (none of either, when all is well), frames presented when its
// first and last reports came, and, once it has ended, the sound's frames and loudness.
function freshSound() {
  return { rate: 0, quanta: 0, unfilled: 0, afterEnd: 0, firstFrame: null, lastFrame: null,
           ended: false, frames: 0, peak: 0, windowRms: [], error: null };
}

// The page's large files come gzip-compressed, whatever the web host does: inflated here.
const canRun = typeof WebAssembly === "object" && typeof DecompressionStream === "function";

async function fetchInflated(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(url + ": " + response.status + " " + response.statusText);
  const bytes = new Uint8Array(await response.arrayBuffer());
  // A host that marks .gz files as gzip-encoded has the browser inflate them on the way.
  if (bytes[0] !== 0x1f || bytes[1] !== 0x8b) return bytes;
  const inflated = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"));
  return new Uint8Array(await new Response(inflated).arrayBuffer());
}

// The six data files, from one tar file (a 512-byte header before each file, naming it and
// giving its size in octal, the file padded to 512 bytes); each run's module gets them.
const dataFiles = [];
const dataLoaded = !canRun ? null : fetchInflated("show.data.tgz").then((tar) => {
  const text = (at, length) => new TextDecoder().decode(tar.subarray(at, at + length))
    .replace(/\0.*$/s, "");
  for (let at = 0; at + 512 <= tar.length && tar[at] !== 0;) {
    const size = parseInt(text(at + 124, 12), 8);
    if (!(size >= 0) || at + 512 + size > tar.length) throw new Error("show.data.tgz is damaged");
    dataFiles.push([text(at, 100), tar.subarray(at + 512, at + 512 + size)]);
    at += 512 + Math.ceil(size / 512) * 512;
  }
});
// The show's WebAssembly module, for each run's instance.
const showWasm = !canRun ? null : fetchInflated("show.wasm.gz").then((bytes) =>
  WebAssembly.compile(bytes));

// Where show.js could not be loaded (a page opened from disk, or a build without it).
function pageMissing(file) {
  showReport.state = "failed";
  showReport.error = file + " could not be loaded";
  document.getElementById("message").textContent =
    "The show cannot run here: " + file + " could not be loaded. Serve this folder over HTTP "
    + "(scripts/serve_web.sh) and open it there.";
}

function startPage() {
  if (!canRun) {
    showReport.state = "failed";
    showReport.error = "no WebAssembly or DecompressionStream";
    document.getElementById("message").textContent =
      "The show cannot run in this browser: it needs WebAssembly and DecompressionStream, which "
      + "this browser lacks or has turned off.";
    return;
  }
  const canvas = document.getElementById("screen");
  const cover = document.getElementById("cover");
  const message = document.getElementById("message");
  const fullScreenButton = document.getElementById("full-screen");
  const endButton = document.getElementById("end-show");
  const context2d = canvas.getContext("2d", { alpha: false });

  let module = null;   // the module of the next or current run
  let running = false;
  let audioContext = null;
  let workletAdded = null;  // the worklet's script, added to the context once
  let soundBytes = null;    // sound.wasm, for each run's worklet node
  let soundNode = null;     // of the current run, until its fade has been heard
  let picture = null;  // ImageData the frames are copied into
  let frameView = null;
  let wakeLock = null;
  const events = [];   // [kind, key name], numbered as platform/web/page_input.h

  // Event numbers of page_input.h.
  const keyDown = 1, keyRepeat = 2, keyUp = 3, shown = 4, hidden = 5, focused = 6, blurred = 7;
  const pointerMoved = 8;

  function say(text, ready) {
    message.textContent = text;
    cover.classList.toggle("ready", ready);
    cover.hidden = false;
  }

  function failed(what) {
    showReport.state = "failed";
    showReport.error = String(what);
    running = false;
    say("The show cannot run here: " + what, false);
  }

  // The module's side of the page.
  const page = {
    displayMode(width, height) {
      canvas.width = width;
      canvas.height = height;
      picture = context2d.createImageData(width, height);
      context2d.fillStyle = "#000";
      context2d.fillRect(0, 0, width, height);
      canvas.hidden = false;
    },
    displayRestored() {
      canvas.hidden = true;
    },
    viewport() {
      return { width: window.innerWidth, height: window.innerHeight,
               pixelRatio: window.devicePixelRatio || 1 };
    },
    // By a transform of the canvas at its own size: layout would round a fraction of a CSS pixel
    // (a third, at three monitor pixels to one) and put the picture off its monitor pixels.
    placeCanvas(x, y, width, height) {
      canvas.style.width = canvas.width + "px";
      canvas.style.height = canvas.height + "px";
      canvas.style.transform =
        `matrix(${width / canvas.width}, 0, 0, ${height / canvas.height}, ${x}, ${y})`;
    },
    showFrame(heap, address, width, height, startMs) {
      if (!picture || picture.width !== width || picture.height !== height) return;
      // The module's memory seen where the frame is; made again only when that changes.
      if (!frameView || frameView.buffer !== heap.buffer || frameView.byteOffset !== address ||
          frameView.length !== width * height * 4) {
        frameView = heap.subarray(address, address + width * height * 4);
      }
      picture.data.set(frameView);
      context2d.putImageData(picture, 0, 0);
      const took = performance.now() - startMs;
      showReport.frames += 1;
      showReport.presentMs += took;
      showReport.presentMaxMs = Math.max(showReport.presentMaxMs, took);
    },
    // The next animation frame; at once in a hidden page, which has none.
    nextAnimationFrame() {
      return new Promise((resolve) => {
        if (document.hidden) {
          setTimeout(resolve, 0);
          return;
        }
        const onHidden = () => {
          if (document.hidden) done();
        };
        const done = () => {
          document.removeEventListener("visibilitychange", onHidden);
          resolve();
        };
        document.addEventListener("visibilitychange", onHidden);
        requestAnimationFrame(done);
      });
    },
    sleep(milliseconds) {
      return new Promise((resolve) => setTimeout(resolve, milliseconds));
    },
    nextEvent() {
      const event = events.shift();
      return event ? { kind: event[0], code: event[1] } : null;
    },
    showCursor(visible) {
      document.body.style.cursor = visible ? "" : "none";
    },
    // The screen saver's switch: a wake lock while the show holds the screen.
    keepScreenOn(on) {
      if (on && !wakeLock && navigator.wakeLock) {
        navigator.wakeLock.request("screen").then((lock) => {
          if (running) wakeLock = lock;
          else lock.release();
        }, () => {});
      } else if (!on && wakeLock) {
        wakeLock.release().catch(() => {});
        wakeLock = null;
      }
    },
    // The worklet node was made as the run started; the music calls post it commands.
    openSound(rate) {
      if (!soundNode || audioContext.sampleRate !== rate) return false;
      showReport.sound.rate = rate;
      return true;
    },
    loadSound(bytes) {
      if (soundNode) soundNode.port.postMessage({ load: bytes.buffer }, [bytes.buffer]);
    },
    playSound() {
      if (!soundNode) return;
      soundNode.connect(audioContext.destination);
      soundNode.port.postMessage({ play: audioContext.sampleRate });
    },
    // The worklet fades out and then says it has ended; the node goes then.
    stopSound() {
      if (soundNode) soundNode.port.postMessage({ fade: true });
    },
    // The last call of a run, while the module still answers; it is then left suspended, never to
    // resume, and dropped.
    showEnding(status) {
      ended(status);
    },
  };

  function ended(status) {
    if (!running) return;
    running = false;
    page.stopSound();
    page.keepScreenOn(false);
    document.body.style.cursor = "";
    showReport.status = status;
    showReport.endMs = performance.now();
    showReport.state = "ended";
    canvas.hidden = true;
    endButton.hidden = true;
    say(status === 0 ? "The show has ended. Click to start it again."
                     : "The show could not open its screen (status " + status + "). "
                       + "Click to try again.", false);
    prepare();
  }

  // The worklet's messages about the run's sound.
  function soundMessage(node, message) {
    const sound = showReport.sound;
    if (message.progress || message.ended) {
      Object.assign(sound, message.progress || message.ended);
      if (running) {
        sound.firstFrame ??= showReport.frames;
        sound.lastFrame = showReport.frames;
      }
    }
    if (message.warning) console.warn("The show's music: " + message.warning);
    if (message.ended) {
      sound.ended = true;
      node.disconnect();
      if (soundNode === node) soundNode = null;
    }
  }

  // A worklet node for a run, its player ready; null where the show runs without sound. Called in
  // the click's handler: the context is made and resumed before anything is waited for.
  async function openSoundNode() {
    if (!soundBytes || !window.AudioWorkletNode) return null;
    try {
      if (!audioContext) audioContext = new AudioContext({ sampleRate: 44100 });
      audioContext.resume();
      workletAdded ??= audioContext.audioWorklet.addModule("sound_worklet.js");
      await workletAdded;
      const node = new AudioWorkletNode(audioContext, "show-sound", {
        numberOfInputs: 0, outputChannelCount: [2], processorOptions: { wasm: soundBytes } });
      await new Promise((resolve, reject) => {
        node.port.onmessage = (event) => {
          if (event.data.ready) resolve();
          else reject(event.data.failed);
        };
      });
      node.port.onmessage = (event) => soundMessage(node, event.data);
      return node;
    } catch (error) {
      showReport.sound.error = String(error);
      console.warn("The show runs without sound: " + error);
      return null;
    }
  }

  // A fresh module: the show's state starts from zero in each.
  function prepare() {
    module = null;
    Promise.all([createShow({
      page,
      print: (text) => console.log(text),
      printErr: (text) => console.error(text),
      onAbort: (what) => failed(what),
      instantiateWasm(imports, instantiated) {
        showWasm.then((compiled) => WebAssembly.instantiate(compiled, imports))
          .then((instance) => instantiated(instance), (error) => failed(error));
        return {};
      },
    }), soundLoaded, dataLoaded]).then(([ready]) => {
      for (const [name, bytes] of dataFiles) ready.FS.writeFile("/" + name, bytes);
      module = ready;
      if (showReport.loadMs === null) showReport.loadMs = performance.now();
      if (showReport.state === "loading") {
        showReport.state = "ready";
        say(soundBytes ? "Click to start"
                       : "Click to start (without sound: this browser has no AudioWorklet)", true);
      } else {
        cover.classList.add("ready");
      }
    }, (error) => failed(error));
  }

  async function start() {
    if (running || !module) return;
    running = true;
    showReport.runs += 1;
    showReport.state = "running";
    showReport.status = null;
    showReport.frames = 0;
    showReport.presentMs = 0;
    showReport.presentMaxMs = 0;
    showReport.sound = freshSound();
    showReport.startMs = performance.now();
    showReport.endMs = null;
    cover.hidden = true;
    endButton.hidden = false;
    // A node left from the last run, its fade not yet heard, goes now.
    if (soundNode) soundNode.disconnect();
    soundNode = await openSoundNode();
    events.length = 0;
    events.push([document.hidden ? hidden : shown, ""]);
    events.push([document.hasFocus() ? focused : blurred, ""]);
    const run = module;
    try {
      run.callMain([]);
    } catch (error) {
      if (running) failed(error);
    }
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else {
      document.documentElement.requestFullscreen().catch(() => {});
    }
  }

  cover.addEventListener("click", start);
  cover.addEventListener("keydown", (event) => {
    if (event.code === "Enter" || event.code === "Space") start();
  });
  // Escape, for a page without a keyboard.
  function endShow() {
    if (running) events.push([keyDown, "Escape"], [keyUp, "Escape"]);
  }

  fullScreenButton.addEventListener("click", (event) => {
    event.stopPropagation();
    toggleFullScreen();
  });
  endButton.addEventListener("click", (event) => {
    event.stopPropagation();
    endShow();
  });
  document.addEventListener("dblclick", toggleFullScreen);

  // Touch: a tap shows the buttons, a second finger ends the show, a double tap switches full
  // screen (and is no double click besides).
  let lastTap = null;  // time and place of the last one-finger tap
  document.addEventListener("touchstart", (event) => {
    showButtons();
    if (running && event.touches.length >= 2) {
      event.preventDefault();
      endShow();
    }
  }, { passive: false });
  document.addEventListener("touchend", (event) => {
    if (event.touches.length > 0 || event.changedTouches.length !== 1) return;
    const touch = event.changedTouches[0];
    // When the finger left, not when the busy page got round to it.
    const now = event.timeStamp;
    const double = lastTap !== null && now - lastTap.time < 400
      && Math.hypot(touch.clientX - lastTap.x, touch.clientY - lastTap.y) < 40;
    lastTap = double ? null : { time: now, x: touch.clientX, y: touch.clientY };
    if (double && running && !event.target.closest("button")) {
      event.preventDefault();
      toggleFullScreen();
    }
  }, { passive: false });

  window.addEventListener("keydown", (event) => {
    if (event.code === "F11") {
      event.preventDefault();
      if (!event.repeat) toggleFullScreen();
      return;
    }
    if (!running) return;
    event.preventDefault();
    events.push([event.repeat ? keyRepeat : keyDown, event.code]);
  });
  window.addEventListener("keyup", (event) => {
    if (running && event.code !== "F11") events.push([keyUp, event.code]);
  });
  document.addEventListener("visibilitychange", () => {
    if (running) events.push([document.hidden ? hidden : shown, ""]);
  });
  window.addEventListener("focus", () => {
    if (running) events.push([focused, ""]);
  });
  window.addEventListener("blur", () => {
    if (running) events.push([blurred, ""]);
  });

  // The buttons, out of the picture until the mouse moves or the page is touched.
  let buttonTimer = 0;
  function showButtons() {
    for (const button of [fullScreenButton, endButton]) button.classList.add("shown");
    clearTimeout(buttonTimer);
    buttonTimer = setTimeout(() => {
      for (const button of [fullScreenButton, endButton]) button.classList.remove("shown");
    }, 2000);
  }
  document.addEventListener("pointermove", () => {
    if (running) events.push([pointerMoved, ""]);
    showButtons();
  });

  // The music's player, fetched once; without an AudioWorklet there is nothing to play it in.
  const soundLoaded = !window.AudioWorkletNode ? Promise.resolve()
    : fetchInflated("sound.wasm.gz").then((bytes) => { soundBytes = bytes.buffer; });
  prepare();
}
