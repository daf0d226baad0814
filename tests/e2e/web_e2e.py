#!/usr/bin/python3
"""The show's web page in headless Chromium, driven through Selenium.

    web_e2e.py BUILD_DIR TOOLS_DIR    the checks; exit 0 pass, 1 fail

BUILD_DIR holds the web build, TOOLS_DIR the e2e tools of the native build. The page's folder
(BUILD_DIR/site) must hold its files and nothing else; it is served as it is, and as a copy with
the test pictures and font in its data package, whose scenes the framebuffer model knows exactly.
Chromium runs at its own pace, at most 60 animation frames a second: the show's 5,202 flips take
at least 86.7 s, however fast the machine, and a case that needs the show running for some
seconds has it, however busy.
"""

import contextlib
import functools
import gzip
import http.server
import json
import os
import shutil
import subprocess
import sys
import tarfile
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

PAGE_FILES = ["index.html", "page.js", "page.css", "favicon.ico", "show.js", "show.wasm.gz",
              "sound.wasm.gz", "sound_worklet.js", "show.data.tgz"]
# A first visit, from a server that compresses nothing.
DOWNLOAD_LIMIT = 1_000_000
PRESENTED_FRAMES = 5202
SOUND_RATE = 44100
# Quieter than any second of the song, louder than rounding noise.
AUDIBLE_RMS = 50
# Hang guards only: a whole show, and anything else the page is waited for.
SHOW_LIMIT_S = 400
LIMIT_S = 60
# The page's report, with what the tests see of it besides.
REPORT = """const cover = document.getElementById("cover");
const button = document.getElementById("full-screen");
return window.showReport && {...showReport, fullScreen: document.fullscreenElement !== null,
  buttonShown: button.classList.contains("shown") || getComputedStyle(button).opacity !== "0",
  cover: cover.hidden ? null : cover.textContent, offersStart: cover.classList.contains("ready"),
  viewport: [innerWidth, innerHeight]}"""


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def make_model_site(build_dir, tools_dir, site):
    """The page with the test pictures and font in its data package, in place of the show's."""
    shutil.copytree(os.path.join(build_dir, "site"), site)
    data = os.path.join(site, "model-data")
    os.makedirs(data)
    subprocess.run([os.path.join(tools_dir, "e2e_write_assets"), data], check=True)
    # The song is the show's own; only pictures and font are the test's.
    shutil.copy(os.path.join(build_dir, "data", "theme2.xm"), data)
    with gzip.open(os.path.join(site, "show.data.tgz"), "wb") as packed:
        with tarfile.open(fileobj=packed, mode="w", format=tarfile.GNU_FORMAT) as tar:
            for name in sorted(os.listdir(data)):
                tar.add(os.path.join(data, name), arcname=name)
    shutil.rmtree(data)


# Bodies sent by the server, and the requests it could not answer.
SENT = []
NOT_FOUND = []


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def copyfile(self, source, outputfile):
        body = source.read()
        outputfile.write(body)
        SENT.append((self.path, len(body)))

    def send_error(self, code, *args, **kwargs):
        NOT_FOUND.append(f"{code} {self.path}")
        super().send_error(code, *args, **kwargs)


def browser(unlimited_frame_rate=False):
    options = Options()
    unlimited = ["--disable-gpu-vsync", "--disable-frame-rate-limit"] if unlimited_frame_rate else []
    for argument in ["--headless=new", "--no-sandbox", "--autoplay-policy=no-user-gesture-required",
                     "--disable-dev-shm-usage", *unlimited]:
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def set_viewport(driver, width, height, ratio=1, phone=False):
    """A page of width x height CSS pixels, `ratio` monitor pixels each; a phone's is touched."""
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": ratio,
                            "mobile": phone})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                           {"enabled": phone, "maxTouchPoints": 5})


def report(driver):
    return driver.execute_script(REPORT)


def wait_for(driver, condition, what, limit_s=LIMIT_S):
    """The page's report once `condition` holds for it."""
    deadline = time.monotonic() + limit_s
    while not ((state := report(driver)) and condition(state)):
        check(time.monotonic() < deadline, f"{what}: not within {limit_s} s "
                                           f"(page: {json.dumps(state)})")
        time.sleep(0.05)
    return state


def running(state):
    return state["state"] == "running"


def open_page(driver, url, width, height, ratio=1, phone=False):
    set_viewport(driver, width, height, ratio, phone)
    driver.get(url)
    state = wait_for(driver, lambda s: s["state"] in ("ready", "failed"), "the page loads")
    check(state["state"] == "ready" and "Click to start" in state["cover"],
          f"the page shows {state['cover']!r} ({state['error']}) instead of its start screen")
    return state


def start(driver):
    driver.find_element("id", "cover").click()
    return wait_for(driver, lambda s: s["frames"] > 0 or not running(s), "the first frame")


def more_frames(driver, what, count=2):
    """Waits for `count` more frames presented, or the show's end."""
    first = report(driver)["frames"]
    return wait_for(driver, lambda s: s["frames"] >= first + count or not running(s), what)


def escape(driver):
    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    state = wait_for(driver, lambda s: not running(s), "the end after Escape")
    check(state["state"] == "ended" and state["status"] == 0,
          f"Escape ended the show as {state['state']} with status {state['status']}")
    return state


def scene_on_screen(driver, work, identify, width, height, ratio=1):
    """The scene of the model a screenshot of the running show is, once the full-screen button is
    gone and fresh frames are on the canvas. The largest whole scale that fits in monitor pixels,
    centred."""
    wait_for(driver, lambda s: not s["buttonShown"] and s["viewport"] == [width, height],
             f"a {width}x{height} page without the full-screen button")
    check(running(more_frames(driver, "frames before a screenshot")), "the show ended too soon")
    png, ppm = os.path.join(work, "shot.png"), os.path.join(work, "shot.ppm")
    driver.save_screenshot(png)
    check(running(report(driver)), "the show ended during a screenshot")
    subprocess.run(["convert", png, "-strip", ppm], check=True)
    width, height = width * ratio, height * ratio
    scale = min(width // 640, height // 400)
    place = [str(scale), str((width - 640 * scale) // 2), str((height - 400 * scale) // 2)]
    result = subprocess.run([identify, ppm, "xrgb8888", *place], capture_output=True, text=True)
    if result.returncode != 0:
        kept = os.path.join(tempfile.gettempdir(), f"web-e2e-{width}x{height}.png")
        shutil.copy(png, kept)
        raise Failure(f"a screenshot at scale {scale} is no scene of the model "
                      f"({result.stdout.strip() or result.stderr.strip()}); kept as {kept}")
    return result.stdout.strip()


def case_to_end(driver, urls, work, identify):
    open_page(driver, urls["model"], 1280, 800)
    start(driver)
    # Screenshots once so many frames are presented: at no more than 60 frames a second the marks
    # are 10 s apart, the last over 25 s before the end.
    scenes = []
    for mark in range(600, PRESENTED_FRAMES - 1200, 600):
        wait_for(driver, lambda s: s["frames"] >= mark or not running(s), f"frame {mark}",
                 SHOW_LIMIT_S)
        scenes.append(scene_on_screen(driver, work, identify, 1280, 800))
    wait_for(driver, lambda s: not running(s), "the show's end", SHOW_LIMIT_S)
    state = wait_for(driver, lambda s: s["sound"]["ended"], "the music's fade heard")
    check(state["state"] == "ended" and state["status"] == 0,
          f"the show ended as {state['state']} with status {state['status']}")
    check(state["frames"] == PRESENTED_FRAMES,
          f"{state['frames']} frames presented instead of {PRESENTED_FRAMES}")
    check(len(set(scenes)) >= 2, f"the screenshots show only {scenes}")
    check("ended" in state["cover"] and "again" in state["cover"],
          f"at the end the page shows {state['cover']!r}")
    sound = state["sound"]
    print(f"  scenes: {' '.join(scenes)}; sound: {sound['frames']} frames, second by second RMS "
          f"{' '.join(f'{r:.0f}' for r in sound['windowRms'])}")
    check(sound["rate"] == SOUND_RATE, f"sound at {sound['rate']} Hz")
    # From the first tenth of the show to its last (the worklet reports once a second); never more
    # than real time plays.
    check(sound["firstFrame"] is not None and sound["firstFrame"] < PRESENTED_FRAMES / 10
          and sound["lastFrame"] > PRESENTED_FRAMES * 0.9,
          f"sound pulled from frame {sound['firstFrame']} to {sound['lastFrame']} only")
    seconds = (state["endMs"] - state["startMs"]) / 1000
    check(sound["frames"] <= (seconds + 0.5) * SOUND_RATE,
          f"{sound['frames']} sound frames, more than {seconds:.1f} s holds")
    quiet = [i for i, rms in enumerate(sound["windowRms"]) if rms < AUDIBLE_RMS]
    check(sound["windowRms"] and not quiet, f"silent seconds of the sound: {quiet}")
    check(sound["unfilled"] == 0 and sound["quanta"] * 128 == sound["frames"],
          f"{sound['unfilled']} quanta unfilled, {sound['quanta']} for {sound['frames']} frames")
    check(sound["afterEnd"] == 0, "sound was still pulled after the show ended")


def case_escape_and_again(driver, urls, work, identify):
    # A page whose size is no whole multiple: scale 1, centred, black around.
    open_page(driver, urls["model"], 1000, 700)
    for run in (1, 2):
        start(driver)
        scene_on_screen(driver, work, identify, 1000, 700)
        # Other keys reach the show too, and do nothing.
        ActionChains(driver).send_keys("q", Keys.SPACE, Keys.ENTER, Keys.F1).perform()
        check(running(more_frames(driver, "frames after other keys")),
              f"run {run}: a key other than Escape stopped the show")
        state = escape(driver)
        check(0 < state["frames"] < PRESENTED_FRAMES and state["runs"] == run,
              f"run {run} counted as {state['runs']}, Escape after {state['frames']} frames")
        # A second run starts in a fresh module once the page offers it.
        wait_for(driver, lambda s: s["offersStart"], "the page offers another run")
    state = wait_for(driver, lambda s: s["sound"]["ended"], "the music's fade heard")
    time.sleep(1)
    check(state["sound"]["quanta"] > 0 and report(driver)["sound"]["afterEnd"] == 0,
          "no sound, or sound pulled after Escape")


def case_inactive_page(driver, urls, work, identify):
    # Headless Chromium neither hides a tab nor takes its focus away, so the page is told as the
    # browser would tell it: blur and focus events, and a visibility change with document.hidden.
    # The page as built: its own pictures and font load and the show runs on them.
    open_page(driver, urls["real"], 1280, 800)
    start(driver)
    more_frames(driver, "the show's frames", 30)
    changes = [
        ("blurred", "window.dispatchEvent(new Event('blur'))",
         "window.dispatchEvent(new Event('focus'))"),
        ("hidden", "Object.defineProperty(document, 'hidden', {configurable: true, get: () => true});"
                   "document.dispatchEvent(new Event('visibilitychange'))",
         "delete document.hidden; document.dispatchEvent(new Event('visibilitychange'))"),
    ]
    for name, away, back in changes:
        driver.execute_script(away)
        first = report(driver)["frames"]
        time.sleep(0.5)
        state = report(driver)
        # The show takes the news before its next frame; only one already waiting for its
        # animation frame may still be presented.
        check(running(state) and state["frames"] <= first + 1,
              f"{state['frames'] - first} frames presented while the page was {name}")
        driver.execute_script(back)
        check(running(more_frames(driver, f"frames once the page is no longer {name}")),
              f"the show ended once the page was no longer {name}")
    escape(driver)


# Routes the page's sound to the destination through web_sound_probe.js.
PROBE = """const connect = AudioNode.prototype.connect;
AudioNode.prototype.connect = function (target, ...rest) {
  if (!(target instanceof AudioDestinationNode) || this === window.soundProbe) {
    return connect.call(this, target, ...rest);
  }
  window.probeAdded ??= target.context.audioWorklet.addModule("/web_sound_probe.js").then(() => {
    window.soundProbe = new AudioWorkletNode(target.context, "sound-probe",
                                             { outputChannelCount: [2] });
    connect.call(soundProbe, target);
  });
  probeAdded.then(() => connect.call(this, soundProbe));
  return target;
};"""
BUSY_TURNS = 30


def case_busy_page(driver, urls, work, identify):
    # The page's thread held 150 ms of every 300 ms while the show plays, for 30 turns: 9 s at
    # least, of a show that runs 86.7 s at least.
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE})
    open_page(driver, urls["real"], 1280, 800)
    start(driver)
    wait_for(driver, lambda s: s["sound"]["quanta"] > 0 and driver.execute_script(
        "return window.soundProbe !== undefined"), "the music, through the probe")
    driver.execute_script("""soundProbe.port.onmessage = (event) => { window.probed = event.data; };
      soundProbe.port.postMessage("reset");
      window.busyTurns = 0;
      window.busy = setInterval(() => {
        const until = performance.now() + 150;
        while (performance.now() < until) {}
        busyTurns += 1;
      }, 300);""")
    wait_for(driver, lambda s: driver.execute_script("return busyTurns") >= BUSY_TURNS,
             f"{BUSY_TURNS} turns of a busy page")
    driver.execute_script("clearInterval(busy); soundProbe.port.postMessage('get');")
    probed = wait_for(driver, lambda s: driver.execute_script("return window.probed"),
                      "the probe's counts") and driver.execute_script("return probed")
    check(running(report(driver)), "the show ended while the page was busy")
    state = escape(driver)
    state = wait_for(driver, lambda s: s["sound"]["ended"], "the music's fade heard")
    sound = state["sound"]
    print(f"  busy page: {probed['quanta']} quanta reached the destination, {probed['silent']} "
          f"silent, {probed['repeated']} played again; the worklet rendered {sound['quanta']}, "
          f"could not fill {sound['unfilled']}")
    # 29 whole turns of 300 ms at least between the reset and the count.
    check(probed["quanta"] >= (BUSY_TURNS - 1) * 0.3 * SOUND_RATE / 128,
          f"only {probed['quanta']} quanta reached the destination")
    check(probed["silent"] == 0 and probed["repeated"] == 0 and sound["unfilled"] == 0,
          "sound was dropped while the page was busy")


def case_phone(driver, urls, work, identify):
    # A phone held upright, with no keyboard: 390x844 CSS pixels of 3 monitor pixels each, touched.
    open_page(driver, urls["model"], 390, 844, 3, phone=True)
    # The touches carry their own times, so that how fast they arrive does not matter: taps a
    # second apart, or a tenth for a double tap.
    clock = [time.time()]

    def touch(*points, gap=1.0):
        for kind, touched in (("touchStart", points), ("touchEnd", ())):
            clock[0] += gap if kind == "touchStart" else 0.05
            driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
                "type": kind, "timestamp": clock[0],
                "touchPoints": [{"x": x, "y": y} for x, y in touched]})

    for run, end in ((1, "the end button"), (2, "a two-finger tap")):
        touch((195, 422))
        wait_for(driver, lambda s: s["frames"] > 0, f"run {run}: the show started by a tap")
        if run == 1:
            for full in (True, False):
                touch((195, 600))
                touch((195, 600), gap=0.1)
                wait_for(driver, lambda s: s["fullScreen"] == full,
                         f"full screen {'on' if full else 'off'} on a double tap")
            scene_on_screen(driver, work, identify, 390, 844, 3)
            # A tap shows the button for a while; tapped again should it have gone meanwhile.
            while running(report(driver)):
                touch((195, 600))
                touch(driver.execute_script(
                    "const box = document.getElementById('end-show').getBoundingClientRect();"
                    "return [box.x + box.width / 2, box.y + box.height / 2]"))
                wait_for(driver, lambda s: not running(s) or not s["buttonShown"], "the end")
        else:
            touch((150, 400), (250, 400))
        state = wait_for(driver, lambda s: not running(s), f"the end on {end}")
        check(state["status"] == 0, f"{end} ended the show with status {state['status']}")
        wait_for(driver, lambda s: s["offersStart"], "the page offers another run")
    # Without an AudioWorklet the show runs silent, and the start screen says so; without
    # WebAssembly too, a plain message.
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                           {"source": "delete window.AudioWorkletNode"})
    driver.get(urls["model"])
    state = wait_for(driver, lambda s: s["state"] != "loading", "the page without AudioWorklet")
    check("without sound" in (state["cover"] or ""), f"the page shows {state['cover']!r}")
    touch((195, 422))
    wait_for(driver, lambda s: s["frames"] > 0, "the silent show started by a tap")
    touch((150, 400), (250, 400))
    state = wait_for(driver, lambda s: not running(s), "the silent show's end")
    check(state["status"] == 0 and state["sound"]["quanta"] == 0,
          f"the silent show ended with status {state['status']}, {state['sound']['quanta']} quanta")
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                           {"source": "delete window.WebAssembly"})
    driver.get(urls["model"])
    state = wait_for(driver, lambda s: s["state"] == "failed", "the page without WebAssembly")
    check("WebAssembly" in state["cover"], f"without WebAssembly the page shows {state['cover']!r}")


def case_full_screen_and_resize(driver, urls, work, identify):
    open_page(driver, urls["model"], 1000, 700)
    start(driver)
    ActionChains(driver).double_click(driver.find_element("tag name", "body")).perform()
    wait_for(driver, lambda s: s["fullScreen"], "full screen on a double click")
    ActionChains(driver).send_keys(Keys.F11).perform()
    wait_for(driver, lambda s: not s["fullScreen"], "F11 leaving full screen")
    # The button shows itself when the mouse moves.
    ActionChains(driver).move_by_offset(10, 10).perform()
    driver.find_element("id", "full-screen").click()
    wait_for(driver, lambda s: s["fullScreen"], "full screen on the button")
    # A larger page takes the picture at the scale that now fits.
    set_viewport(driver, 1920, 1200)
    scene_on_screen(driver, work, identify, 1920, 1200)
    escape(driver)


def case_first_visit(driver, urls, work, identify):
    # The page as built, from nothing in the browser's cache: every byte it fetches until the show
    # runs, counted by the server.
    SENT.clear()
    open_page(driver, urls["real"], 1280, 800)
    start(driver)
    more_frames(driver, "the show's frames", 30)
    sent = sum(size for _, size in SENT)
    print(f"  a first visit: {sent} bytes in {len(SENT)} files")
    check(sent <= DOWNLOAD_LIMIT, f"{sent} bytes sent, more than {DOWNLOAD_LIMIT}: {SENT}")
    escape(driver)
    # The package holds the six data files the generator made, whole.
    data = os.path.join(urls["build"], "data")
    with tarfile.open(os.path.join(urls["build"], "site", "show.data.tgz")) as tar:
        packed = {member.name: tar.extractfile(member).read() for member in tar.getmembers()}
    made = {name: open(os.path.join(data, name), "rb").read() for name in os.listdir(data)}
    check(packed == made, f"show.data.tgz holds {sorted(packed)}, not the data files of {data}")


CASES = [
    ("a page busy 150 ms of every 300 ms: the music goes on, every quantum filled",
     case_busy_page),
    ("a phone: a tap starts, the picture fits exactly, the end button and two fingers end it; "
     "without AudioWorklet it runs silent; without WebAssembly, a plain message", case_phone),
    ("a first visit: at most 1,000,000 bytes", case_first_visit),
    ("the show to its end: screenshots are scenes of the model, sound throughout", case_to_end),
    ("Escape ends the show, and it starts again", case_escape_and_again),
    ("the page as built runs; without focus or out of sight it presents nothing, and again once "
     "back", case_inactive_page),
    ("full screen by double click, F11 and the button; a resized page re-places the picture",
     case_full_screen_and_resize),
]


def run_case(name, case, urls, work, identify):
    print(f"web e2e: {name}")
    NOT_FOUND.clear()
    driver = browser()
    try:
        case(driver, urls, work, identify)
        # A warning (such as the script processor's deprecation) is allowed; an error is not.
        errors = [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"]
        errors += [f"the server answered {answer}" for answer in NOT_FOUND]
        check(not errors, "errors on the console:\n    " + "\n    ".join(errors))
        print("  passed")
        return True
    except Failure as failure:
        print(f"  FAILED: {failure}")
        for entry in driver.get_log("browser")[-20:]:
            print(f"  browser: {entry['level']} {entry['message']}")
        return False
    finally:
        driver.quit()


@contextlib.contextmanager
def serve(build_dir, tools_dir):
    """The page as built ("real") and with the model's data ("model") on a local server: their
    URLs, the build's folder ("build") and a scratch folder ("work")."""
    with tempfile.TemporaryDirectory(prefix="web-e2e.") as work:
        site = os.path.abspath(os.path.join(build_dir, "site"))
        root = os.path.join(work, "root")
        os.makedirs(root)
        os.symlink(site, os.path.join(root, "real"))
        make_model_site(build_dir, tools_dir, os.path.join(root, "model"))
        shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "web_sound_probe.js"),
                    root)
        handler = functools.partial(QuietHandler, directory=root)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        urls = {site: f"http://127.0.0.1:{server.server_address[1]}/{site}/index.html"
                for site in ("real", "model")}
        try:
            yield {**urls, "build": build_dir, "work": work}
        finally:
            server.shutdown()


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    build_dir, tools_dir = sys.argv[1], sys.argv[2]
    identify = os.path.join(tools_dir, "e2e_identify_picture")
    site = os.path.join(build_dir, "site")
    files = sorted(os.listdir(site))
    if files != sorted(PAGE_FILES):
        print(f"web e2e: FAILED: {site} holds {files}, not the page's {sorted(PAGE_FILES)}")
        return 1
    with serve(build_dir, tools_dir) as urls:
        results = [run_case(name, case, urls, urls["work"], identify) for name, case in CASES]
        return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
