"use strict";
// The page around the show: loads the module (show.js, its wasm and its preloaded data files),
// waits for a click to start it (browsers play sound only after a gesture, and picture and music
// are to begin together), answers the module's calls (the `page` object: canvas, animation
// frames, sleeps, events, sound), and says when the show has ended, offering to start it again in
// a fresh module.
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

// What the sound output delivered in a run: frames presented when its first and last blocks were
// pulled, and blocks pulled after the run had ended (none, when all is well).
function freshSound() {
  return { rate: 0, frames: 0, peak: 0, windowRms: [], firstFrame: null, lastFrame: null,
           blocksAfterEnd: 0 };
}

// Where show.js could not be loaded (a page opened from disk, or a build without it).
function pageMissing(file) {
  showReport.state = "failed";
  showReport.error = file + " could not be loaded";
  document.getElementById("message").textContent =
    "The show cannot run here: " + file + " could not be loaded. Serve this folder over HTTP "
    + "(scripts/serve_web.sh) and open it there.";
}

function startPage() {
  const canvas = document.getElementById("screen");
  const cover = document.getElementById("cover");
  const message = document.getElementById("message");
  const fullScreenButton = document.getElementById("full-screen");
  const context2d = canvas.getContext("2d", { alpha: false });

  let module = null;   // the module of the next or current run
  let running = false;
  let audioContext = null;
  let soundNode = null;
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
    placeCanvas(x, y, width, height) {
      canvas.style.left = x + "px";
      canvas.style.top = y + "px";
      canvas.style.width = width + "px";
      canvas.style.height = height + "px";
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
    // `pull(frames)` renders that many frames and gives the left and right channels.
    openSound(rate, pull) {
      if (!audioContext || audioContext.sampleRate !== rate) return false;
      const frames = 2048;
      soundNode = audioContext.createScriptProcessor(frames, 0, 2);
      soundNode.onaudioprocess = (event) => {
        const [left, right] = pull(event.outputBuffer.length);
        event.outputBuffer.getChannelData(0).set(left);
        event.outputBuffer.getChannelData(1).set(right);
        const sound = showReport.sound;
        if (!running) {
          sound.blocksAfterEnd += 1;
        } else {
          sound.firstFrame ??= showReport.frames;
          sound.lastFrame = showReport.frames;
        }
      };
      showReport.sound.rate = rate;
      return true;
    },
    startSound() {
      if (soundNode) soundNode.connect(audioContext.destination);
    },
    closeSound() {
      if (!soundNode) return;
      soundNode.onaudioprocess = null;
      soundNode.disconnect();
      soundNode = null;
    },
    // The last call of a run, while the module still answers; it is then left suspended, never to
    // resume, and dropped.
    showEnding(status) {
      const sound = showReport.sound;
      sound.frames = module._web_sound_frames();
      sound.peak = module._web_sound_peak();
      sound.windowRms = [];
      const windows = module._web_sound_windows();
      for (let i = 0; i < windows; i += 1) sound.windowRms.push(module._web_sound_window_rms(i));
      ended(status);
    },
  };

  function ended(status) {
    if (!running) return;
    running = false;
    page.closeSound();
    page.keepScreenOn(false);
    document.body.style.cursor = "";
    showReport.status = status;
    showReport.endMs = performance.now();
    showReport.state = "ended";
    canvas.hidden = true;
    say(status === 0 ? "The show has ended. Click to start it again."
                     : "The show could not open its screen (status " + status + "). "
                       + "Click to try again.", false);
    prepare();
  }

  // A fresh module: the show's state starts from zero in each.
  function prepare() {
    module = null;
    createShow({
      page,
      print: (text) => console.log(text),
      printErr: (text) => console.error(text),
      onAbort: (what) => failed(what),
    }).then((ready) => {
      module = ready;
      if (showReport.loadMs === null) showReport.loadMs = performance.now();
      if (showReport.state === "loading") {
        showReport.state = "ready";
        say("Click to start", true);
      } else {
        cover.classList.add("ready");
      }
    }, (error) => failed(error));
  }

  function start() {
    if (running || !module) return;
    try {
      if (!audioContext) audioContext = new AudioContext({ sampleRate: 44100 });
      audioContext.resume();
    } catch (error) {
      audioContext = null;  // the show runs silent
    }
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
  fullScreenButton.addEventListener("click", (event) => {
    event.stopPropagation();
    toggleFullScreen();
  });
  document.addEventListener("dblclick", toggleFullScreen);

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

  let buttonTimer = 0;
  document.addEventListener("pointermove", () => {
    if (running) events.push([pointerMoved, ""]);
    fullScreenButton.classList.add("shown");
    clearTimeout(buttonTimer);
    buttonTimer = setTimeout(() => fullScreenButton.classList.remove("shown"), 2000);
  });

  prepare();
}
