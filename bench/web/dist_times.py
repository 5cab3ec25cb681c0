#!/usr/bin/python3
"""Measures the published site (make web-dist) in headless Chromium (figures, not a test):

    dist_times.py ZIP [RUNS] [MBIT_PER_S]

The zip is unpacked under a sub-path of Python's plain http.server. Each run takes a fresh
browser profile and makes two visits: the first (nothing kept yet) and the second (from the
service worker). For each it gives the bytes that came over the network (the page's Resource
Timing; for the first also as the server counted them, the worker's own downloads included)
and the time from asking for the page to its first frame. Medians of RUNS (default 5).
MBIT_PER_S, when given, throttles the page's downloads to that line speed.
"""
import os
import shutil
import statistics
import sys
import tempfile
import time

SOURCE = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(SOURCE, "tests", "web"))
import dist_test  # noqa: E402  (its plain server, unpacking, browser and byte count)


def visit(driver, url):
    driver.get(url)
    while not driver.execute_script("return window.Module && Module.vrexPage && Module.vrexPage.frames > 0"):
        time.sleep(0.01)
    while not driver.execute_script("return Module.vrexAudio && Module.vrexAudio.position() >= 0"):
        time.sleep(0.01)
    return driver.execute_script("return Module.vrexPage.firstFrameMs"), driver.execute_script(dist_test.TRANSFERRED)


def run(zip_path, mbps):
    root = tempfile.mkdtemp(prefix="vrex-bench-")
    profile = tempfile.mkdtemp(prefix="vrex-bench-profile-")
    dist_test.unpack(zip_path, os.path.join(root, dist_test.SUB_PATH))
    server = dist_test.PlainServer(root)
    driver = dist_test.chromium(profile, dist_test.SOUND)
    try:
        if mbps:
            rate = int(mbps * 1_000_000 / 8)
            driver.set_network_conditions(offline=False, latency=20, download_throughput=rate, upload_throughput=rate)
        url = server.url + dist_test.SUB_PATH + "index.html?windowed"
        first = visit(driver, url)
        driver.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
        time.sleep(1)  # the worker keeps the music the page took
        sent = server.sent
        driver.get("about:blank")
        second = visit(driver, url)
        return first, sent, second
    finally:
        driver.quit()
        server.stop()
        shutil.rmtree(profile, ignore_errors=True)
        shutil.rmtree(root, ignore_errors=True)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__.strip())
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    mbps = float(sys.argv[3]) if len(sys.argv) > 3 else 0
    results = [run(sys.argv[1], mbps) for _ in range(runs)]
    line = f" at {mbps:g} Mbit/s" if mbps else ""
    for label, pick in [("first visit", lambda r: r[0]), ("second visit", lambda r: r[2])]:
        times = [pick(r)[0] for r in results]
        print(f"{label}{line}: first frame after median {statistics.median(times):.0f} ms of {runs} runs "
              f"({', '.join(f'{t:.0f}' for t in times)}); "
              f"{statistics.median(pick(r)[1] for r in results):,.0f} bytes by Resource Timing")
    print(f"first visit as the server counted it: {statistics.median(r[1] for r in results):,.0f} bytes")


if __name__ == "__main__":
    main()
