#!/usr/bin/python3
"""The show's web page in headless Chromium, driven through Selenium.

    web_e2e.py BUILD_DIR TOOLS_DIR            the checks; exit 0 pass, 1 fail
    web_e2e.py BUILD_DIR TOOLS_DIR --figures  the page's figures at the browser's own frame rate

BUILD_DIR holds the built page (index.html, page.js, page.css, show.js, show.wasm, show.data);
TOOLS_DIR the e2e tools of the native build (e2e_write_assets, e2e_identify_picture).

The page is served twice from a private HTTP server: as built, and with a data package of the
test pictures and font in place of show.data (same names and sizes, so the module's file list
still fits), whose scenes the framebuffer model knows exactly. Chromium runs with its frame rate
unlimited, so that the show's 5,202 flips take seconds rather than a minute and a half; the sound
plays at its own pace regardless.
"""

import functools
import http.server
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

PAGE_FILES = ["index.html", "page.js", "page.css", "show.js", "show.wasm", "show.data"]
PRESENTED_FRAMES = 5202
SOUND_RATE = 44100
LOAD_LIMIT_MS = 2000
# The full-screen button fades in on the click that starts the show and out 2 s after the last
# mouse move; screenshots wait for it to be gone.
BUTTON_GONE_S = 2.6
# Quieter than any second of the song, louder than rounding noise.
AUDIBLE_RMS = 50
SHOW_LIMIT_S = 240


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def make_model_package(build_dir, tools_dir, work):
    """show.data with the test assets, laid out as show.js lists the files."""
    script = open(os.path.join(build_dir, "show.js"), encoding="utf-8").read()
    match = re.search(r'loadPackage\((\{"files":.*?\})\)', script)
    check(match, "show.js lists no preloaded files")
    listing = json.loads(match.group(1))
    assets = os.path.join(work, "assets")
    os.makedirs(assets)
    subprocess.run([os.path.join(tools_dir, "e2e_write_assets"), assets], check=True)
    # The song is the show's own; only pictures and font are the test's.
    shutil.copy(os.path.join(build_dir, "data", "theme2.xm"), assets)
    package = bytearray(listing["remote_package_size"])
    for entry in listing["files"]:
        data = open(os.path.join(assets, entry["filename"].lstrip("/")), "rb").read()
        check(len(data) == entry["end"] - entry["start"],
              f"{entry['filename']}: the test file's size differs from the built one's")
        package[entry["start"]:entry["end"]] = data
    return bytes(package)


def serve(root):
    handler = functools.partial(QuietHandler, directory=root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f"http://127.0.0.1:{server.server_address[1]}"


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def browser(unlimited_frame_rate):
    options = Options()
    arguments = ["--headless=new", "--no-sandbox", "--autoplay-policy=no-user-gesture-required",
                 "--disable-dev-shm-usage"]
    if unlimited_frame_rate:
        arguments += ["--disable-gpu-vsync", "--disable-frame-rate-limit"]
    for argument in arguments:
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def set_viewport(driver, width, height):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1,
                            "mobile": False})


def report(driver):
    return driver.execute_script("return window.showReport || null")


def wait_for(driver, condition, limit_s, what):
    deadline = time.monotonic() + limit_s
    while time.monotonic() < deadline:
        state = report(driver)
        if state and condition(state):
            return state
        time.sleep(0.05)
    raise Failure(f"{what}: not within {limit_s} s (page: {json.dumps(report(driver))})")


def open_page(driver, url, width, height):
    set_viewport(driver, width, height)
    driver.get(url)
    state = wait_for(driver, lambda s: s["state"] in ("ready", "failed"), 30, "the page loads")
    check(state["state"] == "ready", f"the page failed: {state['error']}")
    cover = driver.find_element("id", "cover")
    check(cover.is_displayed() and "Click to start" in cover.text,
          f"the page shows {cover.text!r} instead of its start screen")
    return state


def start(driver):
    driver.find_element("id", "cover").click()
    return wait_for(driver, lambda s: s["frames"] > 0 or s["state"] != "running", 10,
                    "the first frame")


def scene_on_screen(driver, work, identify, scale, x, y):
    """The scene a screenshot of the page shows, or the identifier's complaint."""
    png = os.path.join(work, "shot.png")
    ppm = os.path.join(work, "shot.ppm")
    with open(png, "wb") as out:
        out.write(driver.get_screenshot_as_png())
    subprocess.run(["convert", png, "-strip", ppm], check=True)
    result = subprocess.run([identify, ppm, "xrgb8888", str(scale), str(x), str(y)],
                            capture_output=True, text=True)
    return result.returncode == 0, result.stdout.strip() or result.stderr.strip()


def keep_failed_shot(work, name):
    kept = os.path.join(tempfile.gettempdir(), f"web-e2e-{name}.png")
    shutil.copy(os.path.join(work, "shot.png"), kept)
    return kept


def whole_place(width, height):
    """Scale and top left of the picture on a page: the largest whole scale that fits, centred."""
    scale = max(1, min(width // 640, height // 400))
    return scale, (width - 640 * scale) // 2, (height - 400 * scale) // 2


def case_loads_fast(driver, urls, work, identify):
    state = open_page(driver, urls["real"], 1280, 800)
    print(f"  loaded in {state['loadMs']:.0f} ms (module, wasm and data files ready)")
    check(state["loadMs"] < LOAD_LIMIT_MS, f"loading took {state['loadMs']:.0f} ms")


def case_to_end(driver, urls, work, identify):
    width, height = 1280, 800
    open_page(driver, urls["model"], width, height)
    start(driver)
    time.sleep(BUTTON_GONE_S)
    scale, x, y = whole_place(width, height)
    scenes = []
    deadline = time.monotonic() + SHOW_LIMIT_S
    while report(driver)["state"] == "running" and time.monotonic() < deadline:
        ok, scene = scene_on_screen(driver, work, identify, scale, x, y)
        if report(driver)["state"] != "running":
            break  # the page's end screen may be in the shot
        check(ok, f"a screenshot is no scene of the model ({scene}); "
                  f"kept as {keep_failed_shot(work, 'to-end')}")
        scenes.append(scene)
        time.sleep(0.4)
    state = wait_for(driver, lambda s: s["state"] != "running", 5, "the show's end")
    print(f"  scenes seen: {' '.join(scenes)}")
    check(state["state"] == "ended" and state["status"] == 0,
          f"the show ended as {state['state']} with status {state['status']}")
    check(state["frames"] == PRESENTED_FRAMES,
          f"{state['frames']} frames presented instead of {PRESENTED_FRAMES}")
    check(len(set(scenes)) >= 2, f"only {len(set(scenes))} scene seen on the page")
    check_sound(state)
    cover = driver.find_element("id", "cover")
    check(cover.is_displayed() and "ended" in cover.text and "again" in cover.text,
          f"at the end the page shows {cover.text!r}")
    seconds = (state["endMs"] - state["startMs"]) / 1000
    print(f"  the whole show: {seconds:.1f} s, {state['presentMs'] / state['frames']:.2f} ms per "
          f"frame to convert and draw (longest {state['presentMaxMs']:.1f} ms)")


def check_sound(state):
    sound = state["sound"]
    seconds = (state["endMs"] - state["startMs"]) / 1000
    check(sound["rate"] == SOUND_RATE, f"sound at {sound['rate']} Hz")
    # Real time, less what a page cannot play: the processor's first blocks after the show starts,
    # the music's wait for its fade at the end (a quarter of a second, during which nothing on the
    # page runs), and blocks the browser drops while its one thread is busy.
    expected = seconds * SOUND_RATE
    print(f"  sound: {sound['frames']:.0f} frames delivered over {seconds:.1f} s "
          f"({sound['frames'] / max(expected, 1):.0%} of real time), peak {sound['peak']}, "
          f"second by second RMS {' '.join(f'{r:.0f}' for r in sound['windowRms'])}")
    check(sound["frames"] >= 0.9 * expected,
          f"only {sound['frames']:.0f} sound frames for {seconds:.1f} s of show")
    check(sound["frames"] <= expected + 0.5 * SOUND_RATE,
          f"{sound['frames']:.0f} sound frames, more than {seconds:.1f} s holds")
    quiet = [i for i, rms in enumerate(sound["windowRms"]) if rms < AUDIBLE_RMS]
    check(sound["windowRms"] and not quiet, f"silent seconds of the show: {quiet}")
    check(sound["blocksAfterEnd"] == 0, "sound was still pulled after the show ended")


def case_escape_and_again(driver, urls, work, identify):
    # A page whose size is no whole multiple: scale 1, centred, black around.
    width, height = 1000, 700
    open_page(driver, urls["model"], width, height)
    scale, x, y = whole_place(width, height)
    for run in (1, 2):
        start(driver)
        time.sleep(BUTTON_GONE_S)
        ok, scene = scene_on_screen(driver, work, identify, scale, x, y)
        check(report(driver)["state"] == "running", "the show ended before Escape")
        check(ok, f"run {run}: the screenshot is no scene of the model ({scene}); "
                  f"kept as {keep_failed_shot(work, 'escape')}")
        # Other keys reach the show too, and do nothing.
        ActionChains(driver).send_keys("q", Keys.SPACE, Keys.ENTER, Keys.F1).perform()
        before = report(driver)["frames"]
        time.sleep(0.5)
        state = report(driver)
        check(state["state"] == "running" and state["frames"] > before,
              f"run {run}: a key other than Escape stopped the show")
        ActionChains(driver).send_keys(Keys.ESCAPE).perform()
        state = wait_for(driver, lambda s: s["state"] != "running", 5, "the end after Escape")
        check(state["state"] == "ended" and state["status"] == 0,
              f"run {run}: Escape ended the show as {state['state']} with {state['status']}")
        check(0 < state["frames"] < PRESENTED_FRAMES,
              f"run {run}: {state['frames']} frames presented before Escape")
        check(state["runs"] == run, f"{state['runs']} runs counted instead of {run}")
        print(f"  run {run}: {scene} on screen, Escape after {state['frames']} frames")
        # A second run starts in a fresh module once the page is ready again.
        deadline = time.monotonic() + 10
        while "ready" not in driver.find_element("id", "cover").get_attribute("class"):
            check(time.monotonic() < deadline, "the page offers no second run")
            time.sleep(0.05)
    time.sleep(1)
    check(report(driver)["sound"]["blocksAfterEnd"] == 0, "sound pulled after Escape")


def frames_while(driver, seconds):
    """Frames presented over `seconds`, after a moment for a frame already under way."""
    time.sleep(0.3)
    first = report(driver)["frames"]
    time.sleep(seconds)
    return report(driver)["frames"] - first


def case_inactive_page(driver, urls, work, identify):
    # Headless Chromium neither hides a tab nor takes its focus away, so the page is told as the
    # browser would tell it: blur and focus events, and a visibility change with document.hidden.
    open_page(driver, urls["model"], 1280, 800)
    start(driver)
    changes = [
        ("blurred", "window.dispatchEvent(new Event('blur'))",
         "window.dispatchEvent(new Event('focus'))"),
        ("hidden", "Object.defineProperty(document, 'hidden', {configurable: true, get: () => true});"
                   "document.dispatchEvent(new Event('visibilitychange'))",
         "delete document.hidden; document.dispatchEvent(new Event('visibilitychange'))"),
    ]
    for name, away, back in changes:
        check(frames_while(driver, 0.5) > 0, f"no frames before the page is {name}")
        driver.execute_script(away)
        away_frames = frames_while(driver, 1.0)
        check(report(driver)["state"] == "running", f"the show ended while the page was {name}")
        check(away_frames == 0, f"{away_frames} frames presented while the page was {name}")
        driver.execute_script(back)
        back_frames = frames_while(driver, 0.5)
        check(back_frames > 0, f"no frames once the page was no longer {name}")
        print(f"  {name}: no frames for a second; back: {back_frames} frames in half a second")
    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    state = wait_for(driver, lambda s: s["state"] != "running", 5, "the end after Escape")
    check(state["status"] == 0, f"the show ended with status {state['status']}")


def case_full_screen_and_resize(driver, urls, work, identify):
    open_page(driver, urls["model"], 1000, 700)
    start(driver)

    def full_screen():
        return driver.execute_script("return document.fullscreenElement !== null")

    ActionChains(driver).double_click(driver.find_element("tag name", "body")).perform()
    check(wait_until(full_screen, True), "a double click did not switch to full screen")
    ActionChains(driver).send_keys(Keys.F11).perform()
    check(wait_until(full_screen, False), "F11 did not leave full screen")
    # The button shows itself when the mouse moves.
    ActionChains(driver).move_by_offset(10, 10).perform()
    driver.find_element("id", "full-screen").click()
    check(wait_until(full_screen, True), "the button did not switch to full screen")
    check(report(driver)["state"] == "running", "switching full screen ended the show")
    # A larger page takes the picture at the scale that now fits.
    width, height = 1920, 1200
    set_viewport(driver, width, height)
    time.sleep(BUTTON_GONE_S)
    scale, x, y = whole_place(width, height)
    ok, scene = scene_on_screen(driver, work, identify, scale, x, y)
    check(report(driver)["state"] == "running", "the show ended before the screenshot")
    check(ok, f"the resized page shows no scene of the model at scale {scale} ({scene}); "
              f"kept as {keep_failed_shot(work, 'resized')}")
    print(f"  full screen by double click, F11 and the button; {scene} at scale {scale} once "
          f"resized to {width}x{height}")
    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    wait_for(driver, lambda s: s["state"] != "running", 5, "the end after Escape")


def wait_until(probe, value, limit_s=3):
    deadline = time.monotonic() + limit_s
    while time.monotonic() < deadline:
        if probe() == value:
            return True
        time.sleep(0.05)
    return False


CASES = [
    ("the page loads in under two seconds", case_loads_fast),
    ("the show to its end: screenshots are scenes of the model, sound throughout", case_to_end),
    ("Escape ends the show, and it starts again", case_escape_and_again),
    ("a page without focus or out of sight presents nothing, and again once back",
     case_inactive_page),
    ("full screen by double click, F11 and the button; a resized page re-places the picture",
     case_full_screen_and_resize),
]


def figures(urls):
    """Frame rate and frame time at the browser's own pace (its animation frames) for ten seconds,
    and a whole show with the frame rate unlimited."""
    driver = browser(unlimited_frame_rate=False)
    try:
        state = open_page(driver, urls["real"], 1280, 800)
        print(f"load: {state['loadMs']:.0f} ms to the start screen (module, wasm, data files)")
        start(driver)
        time.sleep(10)
        state = report(driver)
        elapsed = driver.execute_script("return performance.now()") - state["startMs"]
        print(f"at the browser's pace: {state['frames']} frames in {elapsed / 1000:.1f} s, "
              f"{state['frames'] / elapsed * 1000:.1f} frames per second; "
              f"{state['presentMs'] / state['frames']:.2f} ms per frame to convert and draw "
              f"(longest {state['presentMaxMs']:.1f} ms)")
    finally:
        driver.quit()
    driver = browser(unlimited_frame_rate=True)
    try:
        open_page(driver, urls["real"], 1280, 800)
        start(driver)
        state = wait_for(driver, lambda s: s["state"] != "running", SHOW_LIMIT_S, "the show's end")
        elapsed = state["endMs"] - state["startMs"]
        print(f"unlimited: the whole show ({state['frames']} frames) in {elapsed / 1000:.1f} s, "
              f"{elapsed / state['frames']:.2f} ms a frame in all; "
              f"{state['presentMs'] / state['frames']:.2f} ms of it to convert and draw")
    finally:
        driver.quit()


def main():
    if len(sys.argv) not in (3, 4) or (len(sys.argv) == 4 and sys.argv[3] != "--figures"):
        print(__doc__, file=sys.stderr)
        return 2
    build_dir, tools_dir = sys.argv[1], sys.argv[2]
    identify = os.path.join(tools_dir, "e2e_identify_picture")
    with tempfile.TemporaryDirectory(prefix="web-e2e.") as work:
        root = os.path.join(work, "site")
        for site in ("real", "model"):
            os.makedirs(os.path.join(root, site))
            for name in PAGE_FILES:
                shutil.copy(os.path.join(build_dir, name), os.path.join(root, site))
        with open(os.path.join(root, "model", "show.data"), "wb") as out:
            out.write(make_model_package(build_dir, tools_dir, work))
        server, base = serve(root)
        urls = {site: f"{base}/{site}/index.html" for site in ("real", "model")}
        try:
            if len(sys.argv) == 4:
                figures(urls)
                return 0
            failures = 0
            for name, case in CASES:
                print(f"web e2e: {name}")
                driver = browser(unlimited_frame_rate=True)
                try:
                    case(driver, urls, work, identify)
                    print("  passed")
                except Failure as failure:
                    failures += 1
                    print(f"  FAILED: {failure}")
                    for entry in driver.get_log("browser")[-20:]:
                        print(f"  browser: {entry['message']}")
                finally:
                    driver.quit()
            return 1 if failures else 0
        finally:
            server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
