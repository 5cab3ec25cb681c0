#!/usr/bin/env python3
"""Writes the web page as a site anyone can publish on a static host:

    web-dist.py WEB_BUILD DATA_DIR WEB_MUSIC GEN_DATA [--site DIR] [--zip FILE]

WEB_BUILD is the page that web-build.sh built (index.html, vrex.js, vrex.wasm); DATA_DIR the
data set to pack; WEB_MUSIC the page's copies of the music (vrex-gen-web-music); GEN_DATA the
data tool, which draws the icons. Writes WEB_BUILD/site/ and WEB_BUILD/vrex-demo-VERSION-web.zip
(or DIR and FILE), with index.html at the top of both.

Every address is relative, so the site plays from any folder of any host. Each file but the
page, its service worker and its manifest carries a hash of its content in its name: a new build
is fetched whole, never mixed with an old one. The data set is packed without the music (the
page fetches one copy of it, see gaudio/gaudio_web_fetch.h), and the large files are stored as
gzip streams that the page unpacks, so a host that compresses nothing still serves a light site.
"""
import argparse
import gzip
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, ".."))
FILE_PACKAGER = "/usr/share/emscripten/tools/file_packager.py"
ICON_SIZES = [192, 512]  # what the installers of web apps ask for
# The copies of the music, best first, with the media type the page asks the browser about.
MUSIC_COPIES = [("musika.opus", "audio/ogg; codecs=opus"), ("musika.mp3", "audio/mpeg")]
MUSIC_NOTE_MAGIC = "vrex-music-copies\n"  # gaudio/gaudio_web_fetch.h
PACKED = ["vrex-data.data", "vrex.wasm"]  # stored as gzip streams, unpacked by the page
WORKER = "sw.js"
# Asked for by fixed names (the site's address, the page's link to its manifest, the worker's
# registration), so these alone carry no hash.
PLAIN_NAMES = {"index.html", "manifest.json", WORKER}
LEFT_OUT = {"musika.mp3", "musika.mid"}  # the page fetches its own music; the score is for editors
SITE_LINE = "  const SITE = {};\n"  # in web/index.html, filled in here
WORKER_LINES = ("const VERSION = '';", "const FILES = [];", "const MUSIC = [];")  # in web/service-worker.js


def hashed(name, content):
    """name.HASH.ext: the first 12 hex digits of the content's SHA-256."""
    stem, extension = os.path.splitext(name)
    return f"{stem}.{hashlib.sha256(content).hexdigest()[:12]}{extension}"


def read(path):
    with open(path, "rb") as file:
        return file.read()


def version_of(web_build):
    with open(os.path.join(web_build, "CMakeCache.txt")) as cache:
        for line in cache:
            if line.startswith("CMAKE_PROJECT_VERSION:"):
                return line.split("=", 1)[1].strip()
    sys.exit("web-dist: no project version in " + web_build)


def replace_once(text, old, new, where):
    if text.count(old) != 1:
        sys.exit(f"web-dist: {where} must hold {old.strip()!r} exactly once")
    return text.replace(old, new)


class Site:
    """The files of the site by published name, and the map from plain names to them."""

    def __init__(self):
        self.files = {}  # published name -> bytes
        self.names = {}  # plain name -> published name, for the names that carry a hash

    def add(self, name, content):
        if name in PACKED:
            content = gzip.compress(content, compresslevel=9, mtime=0)
        published = name if name in PLAIN_NAMES else hashed(name, content)
        self.files[published] = content
        if name not in PLAIN_NAMES:
            self.names[name] = published
        return published

    def packed_sizes(self):
        """Plain name -> bytes on the site, for the files stored packed."""
        return {name: len(self.files[self.names[name]]) for name in PACKED}


def pack_data(data_dir, note, work):
    """The data set as the page's loader takes it, with the note in place of musika.mp3."""
    folder = os.path.join(work, "data")
    os.mkdir(folder)
    for name in sorted(os.listdir(data_dir)):
        path = os.path.join(data_dir, name)
        if name.startswith(".") or name in LEFT_OUT or not os.path.isfile(path):
            continue
        os.symlink(os.path.abspath(path), os.path.join(folder, name))
    with open(os.path.join(folder, "musika.mp3"), "w") as file:
        file.write(note)
    packing = subprocess.run([sys.executable, FILE_PACKAGER, "vrex-data.data", "--preload", "data@/",
                              "--js-output=vrex-data.js"], cwd=work, capture_output=True, text=True)
    if packing.returncode != 0:
        sys.exit("web-dist: the file packager failed:\n" + packing.stderr)
    data, loader = read(os.path.join(work, "vrex-data.data")), read(os.path.join(work, "vrex-data.js"))
    # The packager draws a random id for its cache, which we do not use: the data's own hash in
    # its place keeps an unchanged data set under an unchanged name, so a rebuild is no update.
    loader, count = re.subn(rb'"package_uuid": "[0-9a-f-]+"', b'"package_uuid": "' +
                            hashlib.sha256(data).hexdigest()[:32].encode() + b'"', loader)
    if count != 1:
        sys.exit("web-dist: the file packager's loader has no package_uuid to fix")
    return data, loader


def draw_icons(gen_data, work):
    folder = os.path.join(work, "icons")
    subprocess.run([gen_data, "--icons", ",".join(map(str, ICON_SIZES)), folder], check=True,
                   stdout=subprocess.DEVNULL)
    return {size: read(os.path.join(folder, f"{size}.png")) for size in ICON_SIZES}


def manifest(icons):
    """Installed from the browser's menu, the show opens full screen and plays at once: on a
    phone whose browser gives pages no full screen, this is how it fills the screen."""
    return json.dumps({
        "name": "vrex demo",
        "short_name": "vrex demo",
        "description": "A self-running real-time 3D demo",
        "id": "./",
        "start_url": "./index.html?windowed",
        "scope": "./",
        "display": "fullscreen",
        "orientation": "landscape",
        "background_color": "#000000",
        "theme_color": "#000000",
        "icons": [{"src": name, "sizes": f"{size}x{size}", "type": "image/png"} for size, name in icons.items()],
    }, indent=2).encode() + b"\n"


def page(template, site, icons):
    text = replace_once(template, SITE_LINE, "  const SITE = " + json.dumps(
        {"files": site.names, "sizes": site.packed_sizes(), "worker": WORKER}, sort_keys=True) + ";\n", "index.html")
    head = ('<link rel="manifest" href="manifest.json">\n'
            f'<link rel="icon" href="{icons[192]}">\n'
            f'<link rel="apple-touch-icon" href="{icons[192]}">\n'
            '<meta name="theme-color" content="#000000">\n'
            '</head>')
    return replace_once(text, "</head>", head, "index.html").encode()


def worker(template, site, music):
    precached = sorted(name for name in site.files if name not in music)
    version = hashlib.sha256("\n".join(sorted(precached + music)).encode()
                             + site.files["index.html"] + site.files["manifest.json"]).hexdigest()[:16]
    values = (f"const VERSION = '{version}';", "const FILES = " + json.dumps(precached) + ";",
              "const MUSIC = " + json.dumps(music) + ";")
    for line, value in zip(WORKER_LINES, values):
        template = replace_once(template, line, value, "service-worker.js")
    return template.encode()


def build(web_build, data_dir, web_music, gen_data, work):
    site = Site()
    music = [site.add(name, read(os.path.join(web_music, name))) for name, _ in MUSIC_COPIES]
    note = MUSIC_NOTE_MAGIC + "".join(f"{kind} {name}\n" for (_, kind), name in zip(MUSIC_COPIES, music))
    data, loader = pack_data(data_dir, note, work)
    site.add("vrex-data.data", data)
    site.add("vrex-data.js", loader)
    site.add("vrex.wasm", read(os.path.join(web_build, "vrex.wasm")))
    site.add("vrex.js", read(os.path.join(web_build, "vrex.js")))
    icons = {size: site.add(f"icon-{size}.png", png) for size, png in draw_icons(gen_data, work).items()}
    site.add("manifest.json", manifest(icons))
    with open(os.path.join(SOURCE, "web", "index.html")) as template:
        site.add("index.html", page(template.read(), site, icons))
    with open(os.path.join(SOURCE, "web", "service-worker.js")) as template:
        site.add(WORKER, worker(template.read(), site, music))
    return site


def write_folder(site, folder):
    """Written beside the old folder and swapped in, so a failed build leaves the old site whole."""
    fresh = folder + ".new"
    shutil.rmtree(fresh, ignore_errors=True)
    os.makedirs(fresh)
    for name, content in site.files.items():
        with open(os.path.join(fresh, name), "wb") as file:
            file.write(content)
    shutil.rmtree(folder, ignore_errors=True)
    os.rename(fresh, folder)


def write_zip(site, path):
    """index.html first and every file at the top: what the game sites' uploads expect."""
    stamp = time.localtime()[:6]
    partial = path + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in ["index.html"] + sorted(name for name in site.files if name != "index.html"):
            entry = zipfile.ZipInfo(name, stamp)
            entry.external_attr = 0o644 << 16
            archive.writestr(entry, site.files[name], zipfile.ZIP_DEFLATED, compresslevel=9)
    os.replace(partial, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("web_build")
    parser.add_argument("data_dir")
    parser.add_argument("web_music")
    parser.add_argument("gen_data")
    parser.add_argument("--site", help="the folder to write (default WEB_BUILD/site)")
    parser.add_argument("--zip", help="the archive to write (default WEB_BUILD/vrex-demo-VERSION-web.zip)")
    args = parser.parse_args()
    folder = args.site or os.path.join(args.web_build, "site")
    archive = args.zip or os.path.join(args.web_build, f"vrex-demo-{version_of(args.web_build)}-web.zip")
    with tempfile.TemporaryDirectory(prefix="vrex-dist-") as work:
        site = build(args.web_build, args.data_dir, args.web_music, args.gen_data, work)
    write_folder(site, folder)
    write_zip(site, archive)
    total = sum(len(content) for content in site.files.values())
    print(f"web-dist: {len(site.files)} files, {total:,} bytes, in {folder} and {archive}")


if __name__ == "__main__":
    main()
