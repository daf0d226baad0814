#!/usr/bin/python3
"""The web page's figures in headless Chromium: how soon it is ready, and its frames at the
browser's own pace for ten seconds and over a whole show with the frame rate unlimited.

    web_figures.py BUILD_DIR TOOLS_DIR    (tests/e2e/web_e2e.sh --figures installs and runs it)

It drives the page as the end-to-end checks do (tests/e2e/web_e2e.py) and checks nothing.
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "e2e"))
import web_e2e  # noqa: E402  (found through the path above)


def figures(urls):
    for unlimited in (False, True):
        driver = web_e2e.browser(unlimited)
        try:
            load_ms = web_e2e.open_page(driver, urls["real"], 1280, 800)["loadMs"]
            web_e2e.start(driver)
            if unlimited:
                state = web_e2e.wait_for(driver, lambda s: not web_e2e.running(s),
                                         "the show's end", web_e2e.SHOW_LIMIT_S)
            else:
                time.sleep(10)
                state = driver.execute_script("return {...showReport, endMs: performance.now()}")
            ms, frames = state["endMs"] - state["startMs"], state["frames"]
            print(f"{'unlimited' if unlimited else 'at its own pace'}: ready in {load_ms:.0f} ms, "
                  f"{frames} frames in {ms / 1000:.1f} s ({frames / ms * 1000:.1f} a second, "
                  f"{ms / frames:.2f} ms a frame in all), {state['presentMs'] / frames:.2f} ms a "
                  f"frame to convert and draw (longest {state['presentMaxMs']:.1f} ms)")
        finally:
            driver.quit()


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    with web_e2e.serve(sys.argv[1], sys.argv[2]) as urls:
        figures(urls)
    return 0


if __name__ == "__main__":
    sys.exit(main())
