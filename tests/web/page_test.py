#!/usr/bin/python3
"""The web page in a real headless Chromium, driven in real time over WebDriver.

    page_test.py SITE NATIVE_VREX REFERENCE DATA_DIR [unittest arguments, e.g. QuestionTest]

SITE is the built page (index.html, vrex.js, vrex.wasm, vrex-data.*), served here on
127.0.0.1; NATIVE_VREX is the Linux demo, whose command-line messages the page must repeat;
REFERENCE holds the native capture of one frame per scene (reference-frames.sh); DATA_DIR is
the data set the site packs, from which variants are packed.
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
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, "..", ".."))
SITE = NATIVE_VREX = REFERENCE = DATA_DIR = None
MIN_LUMA_PSNR = 30.0
CHROMIUM_FLAGS = [
    "--headless=new", "--no-sandbox", "--enable-unsafe-swiftshader", "--use-angle=swiftshader",
    "--disable-background-networking", "--disable-component-update", "--disable-sync", "--no-first-run",
    "--window-size=1024,768",
]
SITE_FILES = ["index.html", "vrex.js", "vrex.wasm", "vrex-data.js", "vrex-data.data"]
FILE_PACKAGER = "/usr/share/emscripten/tools/file_packager.py"
with open(os.path.join(HERE, "canvas_psnr.js")) as script:
    CANVAS_PSNR = script.read()  # the measure every engine's tests compare the canvas by
MODEL_FRAME = 9700  # well inside the model scene
LIT_FRAME = 5400  # the axis star, its spheres and rods lit


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


def site_with_data_without(data_dir, name):
    """A copy of the site whose packed data set lacks one file."""
    folder = site_without("vrex-data.data")
    os.remove(os.path.join(folder, "vrex-data.js"))
    data = os.path.join(folder, "data")
    os.mkdir(data)
    for file in os.listdir(data_dir):
        if file != name:
            os.symlink(os.path.join(data_dir, file), os.path.join(data, file))
    subprocess.run([sys.executable, FILE_PACKAGER, "vrex-data.data", "--preload", "data@/",
                    "--js-output=vrex-data.js"], cwd=folder, check=True, capture_output=True)
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
        result = self.driver.execute_async_script(f"({CANVAS_PSNR})(arguments[0]).then(arguments[1])", url)
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
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # The canvas draws at its size on the screen: 800 x 600 pixels, the captures' size.
        cls.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                   {"width": 800, "height": 600, "deviceScaleFactor": 1, "mobile": False})

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


class ShowTest(PageCase):
    def test_no_starts_the_show_in_the_page_and_escape_ends_it(self):
        self.open()
        self.wait_for("!document.getElementById('dialog').hidden", what="the question")
        self.driver.find_element(By.ID, "dialog-no").click()
        self.wait_for("Module.vrexPage.frames >= 10", what="frames")
        self.assertEqual(self.js("return document.body.dataset.state"), "playing")
        self.assertIsNone(self.js("return document.fullscreenElement"))
        ActionChains(self.driver).send_keys(Keys.ESCAPE).perform()
        self.wait_for("document.body.dataset.state === 'ended'", what="the end")
        frames = self.frames()
        shown, text, _ = self.message()
        self.assertTrue(shown)
        self.assertEqual(text, "The show has ended.")
        self.assertEqual(self.js("return document.body.dataset.status"), "0")
        time.sleep(0.5)
        self.assertEqual(self.frames(), frames)  # the loop has ended: nothing more is drawn
        # Starting again asks again.
        self.driver.find_element(By.XPATH, "//div[@id='message-buttons']/button[text()='Start again']").click()
        self.wait_for("!document.getElementById('dialog').hidden", what="the question again")
        self.assertEqual(self.frames(), 0)

    def test_yes_asks_for_full_screen_and_plays_either_way(self):
        self.open("?mute")
        self.wait_for("!document.getElementById('dialog').hidden", what="the question")
        self.driver.find_element(By.ID, "dialog-yes").click()
        self.wait_for("Module.vrexPage.frames >= 10", what="frames")
        full, notice = self.js("return [document.fullscreenElement && document.fullscreenElement.id,"
                               "        document.getElementById('notice').hidden ? '' :"
                               "        document.getElementById('notice').textContent]")
        print(f"full screen: {full!r}; notice: {notice!r}")
        if full != "stage":
            self.assertEqual(notice, "The browser refused full screen; the show plays in the page.")
        # The picture stays 4:3 whether the page or the screen holds it.
        box = self.js("const r = document.getElementById('canvas').getBoundingClientRect(); return [r.width, r.height]")
        self.assertAlmostEqual(box[0] / box[1], 4 / 3, delta=0.01)

    def test_the_picture_keeps_4_to_3_in_any_page_shape(self):
        for width, height in [(1200, 500), (500, 900)]:
            with self.subTest(size=(width, height)):
                self.driver.set_window_size(width, height)
                self.open(f"?start={MODEL_FRAME}&still")
                self.wait_for(f"document.body.dataset.frame === '{MODEL_FRAME}'", timeout=90)
                box = self.js("const r = document.getElementById('canvas').getBoundingClientRect();"
                              "return [r.width, r.height, innerWidth, innerHeight]")
                self.assertAlmostEqual(box[0] / box[1], 4 / 3, delta=0.01)
                self.assertTrue(box[0] == box[2] or box[1] == box[3], box)  # as large as it fits

    def test_the_right_button_switches_lighting(self):
        # One frame a second, so that a click lands in the wait after the first frame. The loop
        # reads it once the second frame is drawn: the third is the first drawn without light.
        query = f"?windowed&mute&fps=1&start={LIT_FRAME}"

        def third_frame(click):
            self.open(query)
            self.wait_for("Module.vrexPage && Module.vrexPage.frames === 1", timeout=60, what="the first frame")
            if click:
                ActionChains(self.driver).context_click(self.driver.find_element(By.ID, "canvas")).perform()
            self.wait_for("Module.vrexPage.frames === 3", timeout=10, what="the third frame")

        third_frame(False)
        lit = self.canvas_png()
        self.assertEqual(self.frames(), 3)
        third_frame(False)
        self.assertGreater(self.canvas_luma_psnr(lit), 40.0)  # the frame does not depend on time
        third_frame(True)
        switched = self.canvas_luma_psnr(lit)
        self.assertEqual(self.frames(), 3)
        print(f"luma PSNR of the third frame with lighting switched off against lit: {switched:.2f} dB")
        self.assertLess(switched, 30.0)
        # No context menu got in the way: the page still has the canvas's events.
        self.assertFalse(self.message()[0])


class SoundTest(PageCase):
    extra_flags = ["--autoplay-policy=no-user-gesture-required"]

    def music_position(self):
        return self.js("return Module.vrexAudio ? Module.vrexAudio.position() : null")

    def test_the_music_plays_from_the_shows_time(self):
        self.open(f"?windowed&start={MODEL_FRAME}")
        self.wait_for("Module.vrexAudio && Module.vrexAudio.position() >= 0", timeout=60, what="the music")
        first = self.music_position()
        shown_at = (MODEL_FRAME + self.frames()) / 60
        self.assertAlmostEqual(first, shown_at, delta=1.0)
        time.sleep(1.0)
        second = self.music_position()
        self.assertAlmostEqual(second - first, 1.0, delta=0.3)
        self.assertTrue(self.js("return document.getElementById('notice').hidden"))

    def test_mute_starts_no_audio_at_all(self):
        self.open("?windowed&mute")
        self.wait_for("Module.vrexPage && Module.vrexPage.frames >= 30", timeout=60)
        self.assertIsNone(self.music_position())


class ClickForSoundTest(PageCase):
    def test_without_a_click_the_show_starts_and_a_click_brings_the_music_in_at_the_shows_time(self):
        self.open(f"?windowed&start={MODEL_FRAME}")
        self.wait_for("Module.vrexPage && Module.vrexPage.frames >= 10", timeout=60)
        self.wait_for("document.getElementById('notice').textContent === 'Click for sound'", timeout=30)
        self.assertFalse(self.js("return document.getElementById('notice').hidden"))
        self.assertEqual(self.js("return Module.vrexAudio.position()"), -1)
        self.driver.find_element(By.ID, "canvas").click()
        self.wait_for("Module.vrexAudio.position() >= 0", timeout=10, what="the music after the click")
        position, frames = self.js("return [Module.vrexAudio.position(), Module.vrexPage.frames]")
        self.assertAlmostEqual(position, (MODEL_FRAME + frames) / 60, delta=0.5)
        self.assertTrue(self.js("return document.getElementById('notice').hidden"))


class InitErrorTest(PageCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = site_with_data_without(DATA_DIR, "musika.mp3")
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        shutil.rmtree(cls.folder)

    def test_a_data_set_without_the_music_ends_with_init_error(self):
        for query, answer in [("?windowed", None), ("", "dialog-no")]:
            with self.subTest(query=query, answer=answer):
                self.open(query)
                if answer:
                    self.wait_for("!document.getElementById('dialog').hidden", what="the question")
                    self.driver.find_element(By.ID, answer).click()
                self.wait_for("document.body.dataset.state === 'ended'", timeout=60)
                shown, text, detail = self.message()
                self.assertTrue(shown)
                self.assertEqual(text, "The show ended with status -1.")
                self.assertIn("Init Error!", detail)
                self.assertEqual(self.frames(), 0)


class ReaderBoxTest(PageCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = site_with_data_without(DATA_DIR, "dinos.3ds")
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        shutil.rmtree(cls.folder)

    def test_a_readers_message_box_is_a_page_dialog_with_ok(self):
        self.open("?windowed&mute")
        self.wait_for("!document.getElementById('dialog').hidden", timeout=60, what="the reader's box")
        caption, text, buttons = self.js(
            "return [document.getElementById('dialog-caption').textContent,"
            "        document.getElementById('dialog-text').textContent,"
            "        [...document.querySelectorAll('#dialog-buttons button')].map(b => b.textContent)]")
        self.assertEqual((caption, text, buttons), ("Error", "Unable to find the file: dinos.3ds!", ["OK"]))
        time.sleep(0.5)
        self.assertEqual(self.frames(), 0)  # modal: start-up waits for the answer
        self.driver.find_element(By.ID, "dialog-ok").click()
        # Without its model the show goes on, as the demo does.
        self.wait_for("Module.vrexPage.frames >= 10", timeout=60, what="frames after OK")
        self.assertEqual(self.js("return document.body.dataset.state"), "playing")


def main():
    global SITE, NATIVE_VREX, REFERENCE, DATA_DIR
    if len(sys.argv) < 5:
        sys.exit(__doc__.strip())
    SITE, NATIVE_VREX, REFERENCE, DATA_DIR = (os.path.abspath(path) for path in sys.argv[1:5])
    unittest.main(argv=[sys.argv[0]] + sys.argv[5:], verbosity=2)


if __name__ == "__main__":
    main()
