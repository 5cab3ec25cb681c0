#!/usr/bin/python3
"""Measures the web page in headless Chromium on 127.0.0.1 (figures, not a test):

    page_times.py SITE [RUNS]

the sizes of what the page downloads, the time from asking for the page to its first frame
(median of RUNS loads, default 5), the milliseconds per frame in each scene with every frame
drawn (?exact, about three seconds of frames after each scene's first, in one load per scene),
and, keeping time with the CPU slowed four times (a phone), how many of the frames due each
heavy scene draws in five seconds (the rest are stepped).
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

SOURCE = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
FLAGS = ["--headless=new", "--no-sandbox", "--enable-unsafe-swiftshader", "--use-angle=swiftshader",
         "--disable-background-networking", "--disable-component-update", "--disable-sync", "--no-first-run",
         "--window-size=1024,768"]
SCENES = ["intro", "overlay", "star", "terrain", "still", "star2", "model", "credits"]


def main():
    site = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    for name in ["vrex.wasm", "vrex.js", "vrex-data.data", "vrex-data.js", "index.html"]:
        print(f"{name}: {os.path.getsize(os.path.join(site, name)):,} bytes")
    server = subprocess.Popen([sys.executable, os.path.join(SOURCE, "scripts", "web-serve.py"), site, "0"],
                              stdout=subprocess.PIPE, text=True)
    url = server.stdout.readline().strip() + "index.html"
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in FLAGS + ["--user-data-dir=" + tempfile.mkdtemp(prefix="vrex-bench-")]:
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        firsts, transfers = [], []
        for _ in range(runs):
            driver.get(url + "?windowed&mute")
            while not driver.execute_script("return window.Module && Module.vrexPage && Module.vrexPage.frames > 0"):
                time.sleep(0.01)
            firsts.append(driver.execute_script("return Module.vrexPage.firstFrameMs"))
            transfers.append(driver.execute_script(
                "return performance.getEntriesByType('resource').concat(performance.getEntriesByType('navigation'))"
                ".reduce((sum, e) => sum + (e.transferSize || 0), 0)"))
        print(f"page load to first frame: median {statistics.median(firsts):.0f} ms of {runs} loads "
              f"({', '.join(f'{t:.0f}' for t in firsts)})")
        print(f"bytes transferred per load (first load, no cache): {transfers[0]:,}")
        for scene in SCENES:
            driver.get(url + f"?windowed&mute&exact&start={scene}")
            while not driver.execute_script("return window.Module && Module.vrexPage && Module.vrexPage.frames > 0"):
                time.sleep(0.01)
            times = driver.execute_async_script("""
                const done = arguments[0];
                const stamps = [];
                const watch = () => {
                    stamps.push([performance.now(), Module.vrexPage.frames]);
                    if (stamps.length < 180 && performance.now() - stamps[0][0] < 3000) requestAnimationFrame(watch);
                    else done(stamps);
                };
                requestAnimationFrame(watch);""")
            (t0, f0), (t1, f1) = times[0], times[-1]
            print(f"{scene}: {(t1 - t0) / max(1, f1 - f0):.1f} ms per frame ({f1 - f0} frames in {t1 - t0:.0f} ms)")
        for scene in ["star", "terrain", "still", "model"]:
            driver.get(url + f"?windowed&mute&start={scene}")
            while not driver.execute_script("return window.Module && Module.vrexPage && Module.vrexPage.frames > 0"):
                time.sleep(0.01)
            driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 4})
            drawn, due = driver.execute_async_script("""
                const done = arguments[0];
                const now = () => [Module.vrexPage.frames, Number(document.body.dataset.showFrame)];
                setTimeout(() => {
                    const [d0, f0] = now();
                    setTimeout(() => { const [d1, f1] = now(); done([d1 - d0, f1 - f0]); }, 5000);
                }, 1000);""")
            driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 1})
            print(f"{scene}, keeping time at 4x CPU throttle: drew {drawn} of {due} frames due in 5 s "
                  f"({100 * drawn / max(1, due):.0f} %)")
    finally:
        driver.quit()
        server.terminate()


if __name__ == "__main__":
    main()
