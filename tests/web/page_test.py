#!/usr/bin/python3
"""The web page in a real headless Chromium, driven in real time over WebDriver.

    page_test.py SITE NATIVE_VREX REFERENCE [unittest arguments, e.g. QuestionTest]

SITE is the built page (index.html, vrex.js, vrex.wasm, vrex-data.*), served here on
127.0.0.1; NATIVE_VREX is the Linux demo, whose command-line messages the page must repeat;
REFERENCE holds the native capture of one frame per scene (reference-frames.sh).
"""
import base64
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, "..", ".."))
SITE = NATIVE_VREX = REFERENCE = None
MIN_LUMA_PSNR = 30.0
CHROMIUM_FLAGS = [
    "--headless=new", "--no-sandbox", "--enable-unsafe-swiftshader", "--use-angle=swiftshader",
    "--disable-background-networking", "--disable-component-update", "--disable-sync", "--no-first-run",
    "--window-size=1024,768",
]
SITE_FILES = ["index.html", "vrex.js", "vrex.wasm", "vrex-data.js", "vrex-data.data"]


class Server:
    """The project's own web server on a free port of 127.0.0.1."""

    def __init__(self, folder):
        self.process = subprocess.Popen([sys.executable, os.path.join(SOURCE, "scripts", "web-serve.py"), folder, "0"],
                                        stdout=subprocess.PIPE, text=True)
        self.url = self.process.stdout.readline().strip()
        if not self.url.startswith("http://127.0.0.1:"):
            raise RuntimeError("the server did not start: " + self.url)

    def stop(self):
        self.process.terminate()
        self.process.wait(10)


def site_without(name):
    """A copy of the site (by links) that lacks one file: a download that fails."""
    folder = tempfile.mkdtemp(prefix="vrex-site-")
    for file in SITE_FILES:
        if file != name:
            os.symlink(os.path.join(SITE, file), os.path.join(folder, file))
    return folder


class PageCase(unittest.TestCase):
    """One browser and one server for the cases of a class; a fresh page for each case."""

    folder = None  # the site a class serves; the built one unless it says otherwise
    extra_flags = []

    @classmethod
    def setUpClass(cls):
        cls.server = Server(cls.folder or SITE)
        cls.profile = tempfile.mkdtemp(prefix="vrex-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in CHROMIUM_FLAGS + cls.extra_flags + ["--user-data-dir=" + cls.profile]:
            options.add_argument(flag)
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        cls.driver.set_script_timeout(60)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.stop()
        shutil.rmtree(cls.profile, ignore_errors=True)

    def open(self, query=""):
        self.driver.get(self.server.url + "index.html" + query)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, script, timeout=30, what=None):
        """Polls a JS expression until it is truthy; returns its value."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = self.js("return " + script)
            if value:
                return value
            time.sleep(0.05)
        self.fail("timed out waiting for " + (what or script))

    def message(self):
        """The page's message panel: (shown, text, detail)."""
        return self.js("const m = document.getElementById('message');"
                       "return [!m.hidden, document.getElementById('message-text').textContent,"
                       "        document.getElementById('message-detail').textContent]")

    def frames(self):
        return self.js("return Module.vrexPage ? Module.vrexPage.frames : 0")

    def canvas_luma_psnr(self, png):
        """Luma PSNR in dB of the canvas against a PNG of the same size (inf when equal)."""
        url = "data:image/png;base64," + base64.b64encode(png).decode()
        result = self.driver.execute_async_script("""
            const [url, done] = arguments;
            const picture = new Image();
            picture.onerror = () => done('the PNG did not decode');
            picture.onload = () => {
                const canvas = document.getElementById('canvas');
                const pixels = source => {
                    const c = document.createElement('canvas');
                    c.width = canvas.width; c.height = canvas.height;
                    const g = c.getContext('2d');
                    g.drawImage(source, 0, 0);
                    return g.getImageData(0, 0, c.width, c.height).data;
                };
                if (picture.width !== canvas.width || picture.height !== canvas.height)
                    return done('sizes differ: ' + picture.width + 'x' + picture.height);
                const a = pixels(canvas), b = pixels(picture);
                let sum = 0;
                for (let i = 0; i < a.length; i += 4) {
                    const d = 0.299 * (a[i] - b[i]) + 0.587 * (a[i + 1] - b[i + 1]) + 0.114 * (a[i + 2] - b[i + 2]);
                    sum += d * d;
                }
                const mse = sum / (a.length / 4);
                done(mse === 0 ? 'inf' : 10 * Math.log10(255 * 255 / mse));
            };
            picture.src = url;""", url)
        if isinstance(result, str) and result != "inf":
            self.fail(result)
        return float(result)

    def canvas_png(self):
        data = self.js("return document.getElementById('canvas').toDataURL('image/png')")
        return base64.b64decode(data.split(",", 1)[1])


class QuestionTest(PageCase):
    def test_the_question_waits_before_anything_is_drawn(self):
        self.open()
        self.wait_for("!document.getElementById('dialog').hidden", what="the question")
        caption, text, buttons = self.js(
            "return [document.getElementById('dialog-caption').textContent,"
            "        document.getElementById('dialog-text').textContent,"
            "        [...document.querySelectorAll('#dialog-buttons button')].map(b => b.textContent)]")
        self.assertEqual(caption, "Options")
        self.assertEqual(text, "Click Yes to go to full screen (Recommended)")
        self.assertEqual(buttons, ["Yes", "No"])
        time.sleep(1)  # the question is modal: nothing may go on behind it
        self.assertEqual(self.frames(), 0)
        self.assertFalse(self.message()[0])


class OptionsTest(PageCase):
    def native_error(self, arguments):
        """The first line the Linux demo prints for the same mistake, and its status."""
        run = subprocess.run([NATIVE_VREX] + arguments, capture_output=True, text=True, timeout=30)
        return run.stderr.splitlines()[0], run.returncode

    def test_a_mistake_shows_the_command_lines_error_and_usage_and_starts_nothing(self):
        cases = [
            ("?bogus", ["--bogus"]),
            ("?fps=0", ["--fps", "0"]),
            ("?fps", ["--fps"]),
            ("?start=nowhere", ["--start", "nowhere"]),
            ("?start=99999999&still", ["--start", "99999999"]),
            ("?windowed&fullscreen", ["--windowed", "--fullscreen"]),
            ("?mute=yes", ["--mute", "yes"]),
        ]
        for query, arguments in cases:
            with self.subTest(query=query):
                expected, status = self.native_error(arguments)
                self.assertEqual(status, 2)
                self.open(query)
                self.wait_for("document.body.dataset.state === 'ended'", what="the end of " + query)
                shown, text, detail = self.message()
                self.assertTrue(shown)
                self.assertEqual(text, expected)
                self.assertIn("Usage: vrex [OPTIONS]", detail)
                self.assertEqual(self.js("return document.body.dataset.status"), "2")
                self.assertEqual(self.frames(), 0)
                self.assertIsNone(self.js("return document.body.dataset.frame"))
                self.assertTrue(self.js("return document.getElementById('dialog').hidden"))

    def test_the_query_is_split_into_names_and_values(self):
        self.open("?bogus")
        self.wait_for("document.body.dataset.state === 'ended'")
        self.assertEqual(self.js("return Module.arguments"), ["--bogus"])
        self.open("?start=model&fps=30&windowed&loop&start=a%20b+c")
        self.assertEqual(self.js("return Module.arguments"),
                         ["--start", "model", "--fps", "30", "--windowed", "--loop", "--start", "a b c"])


class MissingFileTest(PageCase):
    def test_each_file_that_fails_to_download_is_named(self):
        for name in ["vrex-data.data", "vrex-data.js", "vrex.js", "vrex.wasm"]:
            with self.subTest(missing=name):
                folder = site_without(name)
                server = Server(folder)
                try:
                    self.driver.get(server.url + "index.html?windowed&mute")
                    self.wait_for("document.body.dataset.state === 'failed'", what="the failure")
                    shown, text, _ = self.message()
                    self.assertTrue(shown)
                    self.assertIn(name, text)
                    self.assertEqual(self.frames(), 0)
                finally:
                    server.stop()
                    shutil.rmtree(folder)


class NoWebGl2Test(PageCase):
    extra_flags = ["--disable-webgl2"]

    def test_a_browser_without_webgl2_is_told_what_to_do(self):
        self.open("?windowed&mute")
        self.wait_for("document.body.dataset.state === 'failed'")
        shown, text, _ = self.message()
        self.assertTrue(shown)
        self.assertIn("WebGL 2", text)
        self.assertIn("hardware acceleration", text)
        # Nothing else was even fetched.
        self.assertFalse(self.js("return typeof Module.callMain === 'function'"))


class ProgressTest(PageCase):
    def test_the_download_shows_bytes_done_of_the_total(self):
        total = os.path.getsize(os.path.join(SITE, "vrex-data.data"))
        # A slow line (about 8 MB/s) so that the download lasts long enough to be watched.
        self.driver.set_network_conditions(offline=False, latency=5, download_throughput=8_000_000,
                                           upload_throughput=8_000_000)
        try:
            self.open()
            seen = []
            deadline = time.monotonic() + 30
            while time.monotonic() < deadline:
                shown, text = self.js("return [!document.getElementById('progress-panel').hidden,"
                                      "document.getElementById('progress-text').textContent]")
                if shown and text.startswith("Downloading the data: ") and text not in seen:
                    seen.append(text)
                if self.js("return !document.getElementById('dialog').hidden"):
                    break
                time.sleep(0.02)
        finally:
            self.driver.delete_network_conditions()
        self.assertGreaterEqual(len(seen), 2, seen)
        done = []
        for text in seen:
            numbers = text[len("Downloading the data: "):].replace(" bytes", "").replace(",", "").split(" of ")
            self.assertEqual(int(numbers[1]), total, text)
            done.append(int(numbers[0]))
        self.assertEqual(done, sorted(done))
        self.assertLess(done[0], total)
        # Once the data is in, the bar gives way to the question.
        self.assertTrue(self.js("return document.getElementById('progress-panel').hidden"))


class FramesTest(PageCase):
    def test_one_frame_of_each_scene_matches_the_native_capture(self):
        with open(os.path.join(REFERENCE, "frames.txt")) as listing:
            frames = [int(line) for line in listing if line.strip()]
        self.assertGreaterEqual(len(frames), 7)
        figures = []
        for frame in frames:
            with self.subTest(frame=frame):
                self.open(f"?start={frame}&still")
                self.wait_for(f"document.body.dataset.frame === '{frame}'", timeout=90, what=f"frame {frame}")
                self.assertEqual(self.frames(), 1)  # held: nothing drawn over it
                with open(os.path.join(REFERENCE, f"frame_{frame:05d}.png"), "rb") as png:
                    psnr = self.canvas_luma_psnr(png.read())
                figures.append(f"frame {frame}: {psnr:.2f} dB")
                print(f"luma PSNR of frame {frame} against the native capture: {psnr:.2f} dB", flush=True)
                self.assertGreaterEqual(psnr, MIN_LUMA_PSNR)
        print("luma PSNR: " + ", ".join(figures), flush=True)

    def test_the_comparison_sees_a_different_frame(self):
        # The same measure between neighbouring scenes' frames must fall well below the bar.
        with open(os.path.join(REFERENCE, "frames.txt")) as listing:
            first, second = [int(line) for line in listing if line.strip()][:2]
        self.open(f"?start={first}&still")
        self.wait_for(f"document.body.dataset.frame === '{first}'", timeout=90)
        with open(os.path.join(REFERENCE, f"frame_{second:05d}.png"), "rb") as png:
            self.assertLess(self.canvas_luma_psnr(png.read()), 20.0)


def main():
    global SITE, NATIVE_VREX, REFERENCE
    if len(sys.argv) < 4:
        sys.exit(__doc__.strip())
    SITE, NATIVE_VREX, REFERENCE = (os.path.abspath(path) for path in sys.argv[1:4])
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:], verbosity=2)


if __name__ == "__main__":
    main()
