#!/usr/bin/python3
"""The published site (scripts/web-dist.py) as a viewer meets it: its zip unpacked into a
sub-folder of Python's plain http.server, visited in headless Chromium.

    dist_test.py ZIP WEB_BUILD DATA_DIR WEB_MUSIC GEN_DATA [unittest arguments, e.g. OfflineTest]

ZIP is the site as web-dist.py wrote it; WEB_BUILD, DATA_DIR, WEB_MUSIC and GEN_DATA are what
it was written from, from which the update case writes a second site with one picture changed.
"""
import functools
import gzip
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
import unittest
import zipfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import page_test  # noqa: E402  (its browser flags and PSNR measure)

SOURCE = os.path.normpath(os.path.join(HERE, "..", ".."))
ZIP = WEB_BUILD = DATA_DIR = WEB_MUSIC = GEN_DATA = None
FIRST_VISIT_LIMIT = 8_000_000  # bytes
SUB_PATH = "party/2026/vrex/"  # not the top of the host: every address must be relative
INTRO1_FRAME = 1530  # clock 1.07: INTRO1.TGA fills the picture
HASHED = re.compile(r"\.[0-9a-f]{12}\.")
SOUND = ["--autoplay-policy=no-user-gesture-required"]
# The bytes that came over the network for the page and everything it fetched.
TRANSFERRED = ("return performance.getEntriesByType('resource').concat(performance.getEntriesByType('navigation'))"
               ".reduce((sum, e) => sum + e.transferSize, 0)")


class PlainServer:
    """Python's http.server on a free port of 127.0.0.1, counting the bytes of file bodies sent."""

    def __init__(self, root):
        self.sent = 0
        server = self

        class Handler(http.server.SimpleHTTPRequestHandler):
            def copyfile(self, source, outputfile):
                body = source.read()
                outputfile.write(body)
                server.sent += len(body)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=root))
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def unpack(zip_path, folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with zipfile.ZipFile(zip_path) as archive:
        archive.extractall(folder)


def site_files(zip_path):
    with zipfile.ZipFile(zip_path) as archive:
        return {name: archive.read(name) for name in archive.namelist()}


def site_map(files):
    """The SITE object web-dist.py wrote into the page."""
    found = re.search(r"const SITE = (\{.*\});\n", files["index.html"].decode())
    return json.loads(found.group(1))


def worker_list(files, name):
    """One of the lists web-dist.py wrote into the service worker: FILES or MUSIC."""
    return json.loads(re.search(r"const " + name + r" = (\[.*\]);", files["sw.js"].decode()).group(1))


def chromium(profile, flags):
    """Headless Chromium with the page's tests' flags and a profile of its own."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in page_test.CHROMIUM_FLAGS + flags + ["--user-data-dir=" + profile]:
        options.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def write_site(data_dir, zip_path, folder):
    subprocess.run([sys.executable, os.path.join(SOURCE, "scripts", "web-dist.py"), WEB_BUILD, data_dir, WEB_MUSIC,
                    GEN_DATA, "--site", folder, "--zip", zip_path], check=True, stdout=subprocess.DEVNULL)


class ZipTest(unittest.TestCase):
    def setUp(self):
        self.files = site_files(ZIP)

    def test_index_html_is_first_at_the_top_and_the_zip_is_small_in_files(self):
        with zipfile.ZipFile(ZIP) as archive:
            names = archive.namelist()
        self.assertEqual(names[0], "index.html")
        self.assertLessEqual(len(names), 1000)
        self.assertFalse([name for name in names if "/" in name or "\\" in name])

    def test_every_file_the_site_asks_for_is_in_it_by_a_relative_address(self):
        site = site_map(self.files)
        listed = lambda name: worker_list(self.files, name)
        manifest = json.loads(self.files["manifest.json"])
        package = gzip.decompress(self.files[site["files"]["vrex-data.data"]])
        note = package[package.index(b"vrex-music-copies\n"):].split(b"\n\n")[0].decode(errors="replace")
        music = [line.split(" ")[-1] for line in note.splitlines()[1:3]]
        asked = (list(site["files"].values()) + [site["worker"]] + listed("FILES") + listed("MUSIC") + music
                 + [icon["src"] for icon in manifest["icons"]]
                 + re.findall(r'(?:href|src)="([^"]+)"', self.files["index.html"].decode()))
        for name in asked:
            with self.subTest(name=name):
                self.assertIn(name, self.files)
        self.assertEqual(sorted(listed("MUSIC")), sorted(music))
        self.assertEqual(sorted(listed("FILES") + listed("MUSIC") + ["sw.js"]), sorted(self.files))

    def test_names_carry_their_contents_hash(self):
        site = site_map(self.files)
        for plain, published in site["files"].items():
            with self.subTest(name=plain):
                self.assertRegex(published, HASHED)
                self.assertIn(published, self.files)

    def test_a_rebuild_from_the_same_inputs_is_the_same_site(self):
        # Otherwise every rebuild would be an update that browsers fetch again.
        work = tempfile.mkdtemp(prefix="vrex-dist-")
        try:
            write_site(DATA_DIR, os.path.join(work, "again.zip"), os.path.join(work, "site"))
            again = site_files(os.path.join(work, "again.zip"))
        finally:
            shutil.rmtree(work)
        self.assertEqual(sorted(again), sorted(self.files))
        self.assertEqual(again["sw.js"], self.files["sw.js"])

    def test_a_first_visit_stays_under_8_mb_whichever_copy_of_the_music_it_takes(self):
        music = worker_list(self.files, "MUSIC")
        for taken in music:
            with self.subTest(music=taken):
                total = sum(len(content) for name, content in self.files.items() if name not in music or name == taken)
                print(f"a first visit that takes {taken}: {total:,} bytes")
                self.assertLessEqual(total, FIRST_VISIT_LIMIT)


class BrowserCase(unittest.TestCase):
    """A fresh browser profile for each case, and the zip unpacked under a sub-path."""

    extra_flags = SOUND

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="vrex-dist-")
        self.folder = os.path.join(self.root, SUB_PATH)
        unpack(ZIP, self.folder)
        self.server = PlainServer(self.root)
        self.profile = tempfile.mkdtemp(prefix="vrex-chromium-")
        self.driver = chromium(self.profile, self.extra_flags)
        self.driver.set_script_timeout(60)

    def tearDown(self):
        self.driver.quit()
        self.server.stop()
        shutil.rmtree(self.profile, ignore_errors=True)
        shutil.rmtree(self.root, ignore_errors=True)

    def open(self, query=""):
        self.driver.get(self.server.url + SUB_PATH + "index.html" + query)

    js = page_test.PageCase.js
    wait_for = page_test.PageCase.wait_for
    canvas_png = page_test.PageCase.canvas_png
    canvas_luma_psnr = page_test.PageCase.canvas_luma_psnr
    message = page_test.PageCase.message

    def wait_until_kept(self):
        """Until the service worker has the site (it has finished installing and is active)."""
        self.driver.execute_async_script("""
            const done = arguments[0];
            navigator.serviceWorker.ready.then(r => done(r.active.state));""")

    def music_kept(self):
        """The copies of the music in the site's caches."""
        return self.driver.execute_async_script("""
            const done = arguments[0];
            caches.keys().then(async names => {
                const kept = [];
                for (const name of names)
                    for (const request of await (await caches.open(name)).keys())
                        if (/musika\./.test(request.url)) kept.push(request.url);
                done(kept);
            });""")

    def fetched(self):
        """The published names the page fetched, by Resource Timing."""
        return {entry.rsplit("/", 1)[-1] for entry in
                self.js("return performance.getEntriesByType('resource').map(e => e.name.split('?')[0])")}

    def bytes_transferred(self):
        return self.js(TRANSFERRED)

    def still(self, frame):
        self.open(f"?start={frame}&still")
        self.wait_for(f"document.body.dataset.frame === '{frame}'", timeout=90, what=f"frame {frame}")
        return self.canvas_png()


class FirstVisitTest(BrowserCase):
    def test_the_first_visit_plays_with_its_music_and_downloads_under_8_mb(self):
        self.open("?windowed")
        self.wait_for("Module.vrexAudio && Module.vrexAudio.position() >= 0", timeout=90, what="the music")
        self.assertEqual(self.js("return document.body.dataset.state"), "playing")
        self.wait_until_kept()
        page_bytes = self.bytes_transferred()
        print(f"first visit: {page_bytes:,} bytes by Resource Timing, {self.server.sent:,} bytes "
              f"sent by the server with the service worker's own downloads", flush=True)
        self.assertLessEqual(page_bytes, FIRST_VISIT_LIMIT)
        self.assertLessEqual(self.server.sent, FIRST_VISIT_LIMIT)
        # Only one copy of the music came over the network.
        self.assertEqual(len([name for name in self.fetched() if name.startswith("musika.")]), 1)
        # The browser would install it: manifest, icons and worker as it asks for them.
        self.assertEqual(self.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"], [])
        manifest = json.loads(site_files(ZIP)["manifest.json"])
        self.assertEqual((manifest["name"], manifest["display"], manifest["orientation"]),
                         ("vrex demo", "fullscreen", "landscape"))


class OfflineTest(BrowserCase):
    def test_with_the_server_stopped_the_second_visit_plays_with_its_music(self):
        self.open("?windowed")
        self.wait_for("Module.vrexAudio && Module.vrexAudio.position() >= 0", timeout=90, what="the music")
        self.wait_until_kept()
        deadline = time.monotonic() + 30
        while not self.music_kept() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(len(self.music_kept()), 1)  # the copy the page took, and only that one
        self.server.stop()
        self.open("?windowed&start=model")
        self.wait_for("Module.vrexPage && Module.vrexPage.frames >= 30", timeout=90, what="frames without the network")
        self.wait_for("Module.vrexAudio.position() >= 0", timeout=30, what="the music without the network")
        self.assertFalse(self.js("return !document.getElementById('message').hidden"))
        # The folder's own address, as a published site is usually opened, answers too.
        self.driver.get(self.server.url + SUB_PATH)
        self.wait_for("document.body.dataset.state === 'playing' || !document.getElementById('dialog').hidden",
                      timeout=90, what="the page at the folder's address")
        self.server = PlainServer(self.root)  # for tearDown


class UpdateTest(BrowserCase):
    extra_flags = []

    def test_a_new_build_is_shown_whole_on_the_visit_after_next(self):
        old_files = set(site_files(ZIP))
        old = self.still(INTRO1_FRAME)
        self.wait_until_kept()
        # The new build: one picture changed, uploaded over the old site.
        data = tempfile.mkdtemp(prefix="vrex-data-")
        try:
            for name in os.listdir(DATA_DIR):
                os.symlink(os.path.join(DATA_DIR, name), os.path.join(data, name))
            os.remove(os.path.join(data, "INTRO1.TGA"))
            shutil.copy(os.path.join(DATA_DIR, "INTRO2.TGA"), os.path.join(data, "INTRO1.TGA"))
            new_zip = os.path.join(self.root, "new.zip")
            write_site(data, new_zip, os.path.join(self.root, "new-site"))
        finally:
            shutil.rmtree(data)
        new_files = set(site_files(new_zip))
        # Only the data set's two files are new; the rest keep their names, and their copies in
        # the browser serve the new build too.
        self.assertEqual({name.split(".")[0] for name in new_files ^ old_files}, {"vrex-data"})
        unpack(new_zip, self.folder)
        versions = {"old": old_files, "new": new_files}

        def version_shown():
            fetched = {name for name in self.fetched() if HASHED.search(name)}
            whole = [name for name, files in versions.items() if fetched <= files]
            self.assertEqual(len(whole), 1, f"fetched {sorted(fetched)}")  # never a mix
            return whole[0]

        # The next visit plays what the worker holds while it fetches the new build.
        self.still(INTRO1_FRAME)
        self.assertEqual(version_shown(), "old")
        self.assertGreater(self.canvas_luma_psnr(old), 40.0)
        self.wait_for("document.body.dataset.update === 'waiting'", timeout=90, what="the new build fetched")
        notice = self.js("return document.getElementById('notice').textContent")
        self.assertIn("new version", notice)
        # The viewer leaves; once no page shows the old build, the new one takes over.
        self.driver.get(self.server.url)
        self.wait_for(f"navigator.serviceWorker.getRegistration('{SUB_PATH}').then(r => window.settled ="
                      " r && !r.waiting && !r.installing) && window.settled", timeout=30, what="the new worker")
        self.still(INTRO1_FRAME)
        self.assertEqual(version_shown(), "new")
        psnr = self.canvas_luma_psnr(old)
        print(f"luma PSNR of frame {INTRO1_FRAME} of the new build against the old: {psnr:.2f} dB")
        self.assertLess(psnr, 30.0)


class InitErrorTest(BrowserCase):
    def test_a_published_data_set_without_musika_mp3_still_ends_with_init_error(self):
        # The site's data package packed again, under its published names, without the note
        # that stands for the music.
        site = site_map(site_files(ZIP))["files"]
        work = tempfile.mkdtemp(prefix="vrex-data-")
        try:
            data = os.path.join(work, "data")
            os.mkdir(data)
            for name in os.listdir(DATA_DIR):
                if not name.startswith(".") and name not in ("musika.mp3", "musika.mid"):
                    os.symlink(os.path.join(DATA_DIR, name), os.path.join(data, name))
            page_test.pack_data_set(work)
            with open(os.path.join(work, "vrex-data.data"), "rb") as packed:
                with open(os.path.join(self.folder, site["vrex-data.data"]), "wb") as published:
                    published.write(gzip.compress(packed.read()))
            shutil.copy(os.path.join(work, "vrex-data.js"), os.path.join(self.folder, site["vrex-data.js"]))
        finally:
            shutil.rmtree(work)
        self.open("?windowed")
        self.wait_for("document.body.dataset.state === 'ended'", timeout=60, what="the end")
        shown, text, detail = self.message()
        self.assertTrue(shown)
        self.assertEqual(text, "The show ended with status -1.")
        self.assertIn("Init Error!", detail)


class ProgressTest(BrowserCase):
    extra_flags = []

    def test_the_bar_counts_the_packed_bytes_never_past_the_whole_nor_back(self):
        files = site_files(ZIP)
        total = len(files[site_map(files)["files"]["vrex-data.data"]])
        self.driver.set_network_conditions(offline=False, latency=5, download_throughput=2_000_000,
                                           upload_throughput=2_000_000)
        seen = []
        try:
            self.open()
            deadline = time.monotonic() + 60
            while time.monotonic() < deadline:
                shown, text, value = self.js("return [!document.getElementById('progress-panel').hidden,"
                                             "document.getElementById('progress-text').textContent,"
                                             "document.getElementById('progress').value]")
                if shown and text.startswith("Downloading the data: "):
                    seen.append((text, value))
                if self.js("return !document.getElementById('dialog').hidden"):
                    break
                time.sleep(0.02)
        finally:
            self.driver.delete_network_conditions()
        self.assertTrue(self.js("return !document.getElementById('dialog').hidden"), "the question after the bar")
        self.assertGreaterEqual(len(set(text for text, _ in seen)), 3, seen)
        done = []
        for text, value in seen:
            numbers = text[len("Downloading the data: "):].replace(" bytes", "").replace(",", "").split(" of ")
            self.assertEqual(int(numbers[1]), total, text)
            self.assertLessEqual(int(numbers[0]), total, text)
            self.assertLessEqual(value, 1.0)
            done.append((int(numbers[0]), value))
        self.assertEqual(done, sorted(done))
        self.assertLess(done[0][0], total)


def main():
    global ZIP, WEB_BUILD, DATA_DIR, WEB_MUSIC, GEN_DATA
    if len(sys.argv) < 6:
        sys.exit(__doc__.strip())
    ZIP, WEB_BUILD, DATA_DIR, WEB_MUSIC, GEN_DATA = (os.path.abspath(path) for path in sys.argv[1:6])
    unittest.main(argv=[sys.argv[0]] + sys.argv[6:], verbosity=2)


if __name__ == "__main__":
    main()
