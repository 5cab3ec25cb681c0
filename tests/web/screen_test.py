#!/usr/bin/python3
"""The page on different screens, in headless Chromium: density, resizing, touch, focus, and a
GPU context lost and given back.

    screen_test.py SITE NATIVE_VREX REFERENCE DATA_DIR CAPTURE [unittest arguments]

The first four are page_test.py's; CAPTURE is vrex-capture-gles, which draws the native frames
at the sizes a dense screen asks for. Chromium's device-metrics and touch emulation stand in
for a phone's screen.
"""
import base64
import os
import sys
import tempfile
import time
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

import page_test
from page_test import LIT_FRAME, MIN_LUMA_PSNR, MODEL_FRAME, PageCase

CAPTURE = None
STILL_TERRAIN_FRAME = 7450  # the camera holds still: frames near it differ only in the fountain


def capture_at(frame, width, height):
    """The native capture of one frame at a size, as PNG bytes."""
    return page_test.capture_frame(frame, (width, height), CAPTURE)


class ScreenCase(PageCase):
    def canvas_buffer(self):
        return tuple(self.js("const c = document.getElementById('canvas'); return [c.width, c.height]"))

    def save(self, name):
        """Keeps the canvas as a PNG beside the test's output, for a person to look at."""
        path = os.path.join(tempfile.gettempdir(), f"vrex-{name}.png")
        with open(path, "wb") as file:
            file.write(self.canvas_png())
        print(f"canvas saved as {path}")


class DensityTest(ScreenCase):
    def test_a_dense_screen_draws_in_its_own_pixels_as_the_native_capture_does(self):
        for ratio in (2, 3):
            with self.subTest(ratio=ratio):
                self.screen(800, 600, ratio)
                self.open(f"?start={MODEL_FRAME}&still")
                self.wait_for(f"document.body.dataset.frame === '{MODEL_FRAME}'", timeout=90)
                size = (800 * ratio, 600 * ratio)
                self.assertEqual(self.canvas_buffer(), size)
                psnr = self.canvas_luma_psnr(capture_at(MODEL_FRAME, *size))
                print(f"luma PSNR at devicePixelRatio {ratio} against the native {size[0]}x{size[1]}: {psnr:.2f} dB")
                self.save(f"density-{ratio}")
                self.assertGreaterEqual(psnr, MIN_LUMA_PSNR)

    def test_the_comparison_sees_a_picture_drawn_small_and_stretched(self):
        # What the page did before: the 800 x 600 picture scaled up by the browser.
        self.screen(800, 600, 2)
        self.open(f"?start={MODEL_FRAME}&still")
        self.wait_for(f"document.body.dataset.frame === '{MODEL_FRAME}'", timeout=90)
        small = base64.b64encode(capture_at(MODEL_FRAME, 800, 600)).decode()
        stretched = self.driver.execute_async_script("""
            const [small, done] = arguments;
            const picture = new Image();
            picture.onload = () => {
                const c = document.createElement('canvas');
                c.width = 1600; c.height = 1200;
                c.getContext('2d').drawImage(picture, 0, 0, 1600, 1200);
                done(c.toDataURL('image/png'));
            };
            picture.src = 'data:image/png;base64,' + small;""", small)
        sharp = capture_at(MODEL_FRAME, 1600, 1200)
        soft = base64.b64decode(stretched.split(",", 1)[1])
        sharp_psnr, soft_psnr = self.canvas_luma_psnr(sharp), self.canvas_luma_psnr(soft)
        print(f"luma PSNR of the canvas at devicePixelRatio 2: {sharp_psnr:.2f} dB against the native 1600x1200, "
              f"{soft_psnr:.2f} dB against the native 800x600 stretched")
        self.assertGreater(sharp_psnr, soft_psnr + 3.0)


class ResizeTest(ScreenCase):
    DEVICE_BOX = ("const r = document.getElementById('canvas').getBoundingClientRect();"
                  "return [Math.round(r.width * devicePixelRatio), Math.round(r.height * devicePixelRatio)]")

    def test_the_buffer_follows_the_page_and_the_picture_stays_whole_at_4_to_3(self):
        self.screen(800, 600)
        # A timer holds the show in the still terrain for minutes, whatever the machine's speed.
        self.open(f"?windowed&mute&fps=10&start={STILL_TERRAIN_FRAME}")
        self.wait_for("Module.vrexPage && Module.vrexPage.frames >= 5", timeout=60, what="frames")
        self.assertEqual(self.canvas_buffer(), (800, 600))
        # A browser's zoom is a change of devicePixelRatio, as a move to a denser screen is.
        for width, height, ratio, buffer in [(1200, 900, 1, (1200, 900)), (1500, 600, 1, (800, 600)),
                                             (640, 900, 1, (640, 480)), (640, 900, 1.5, (960, 720))]:
            with self.subTest(page=(width, height), ratio=ratio):
                self.screen(width, height, ratio)
                self.wait_for(f"document.getElementById('canvas').width === {buffer[0]} &&"
                              f"document.getElementById('canvas').height === {buffer[1]}", timeout=5,
                              what=f"a {buffer[0]}x{buffer[1]} buffer")
                frames = self.frames()
                self.wait_for(f"Module.vrexPage.frames >= {frames + 3}", timeout=10, what="frames after the resize")
                # The still terrain, whole and unstretched: only the fountain moves between frames.
                psnr = self.canvas_luma_psnr(capture_at(STILL_TERRAIN_FRAME, *buffer))
                print(f"luma PSNR after the resize to {buffer[0]}x{buffer[1]}: {psnr:.2f} dB")
                self.assertGreaterEqual(psnr, 25.0)
        self.save("resized")

    def test_the_buffer_follows_the_canvas_into_full_screen(self):
        # A window smaller than the screen, which full screen then fills.
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        self.driver.set_window_size(640, 480)
        self.open("?mute")
        self.wait_for("!document.getElementById('dialog').hidden", what="the question")
        in_page = self.js(self.DEVICE_BOX)
        self.driver.find_element("id", "dialog-yes").click()
        self.wait_for("document.fullscreenElement && Module.vrexPage.frames >= 10", what="frames in full screen")
        time.sleep(0.5)  # the browser's window grows to the screen over a few frames
        box = self.js(self.DEVICE_BOX)
        print(f"the canvas is {in_page[0]}x{in_page[1]} device pixels in the page, {box[0]}x{box[1]} in full screen")
        self.assertNotEqual(box, in_page)  # else this says nothing
        self.assertEqual(list(self.canvas_buffer()), box)


class TouchTest(ScreenCase):
    def touch(self, kind, points, at):
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
            "type": kind, "timestamp": at,
            "touchPoints": [{"x": x, "y": y, "id": n} for n, (x, y) in enumerate(points)]})

    def tap(self, points):
        # The events carry their own times, a tenth of a second apart: a loaded machine's
        # driver may take longer than a tap lasts between its two calls.
        down = time.time()
        self.touch("touchStart", points, down)
        self.touch("touchEnd", [], down + 0.1)

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # A phone's screen: dense, worked by fingers.
        cls.screen(800, 600, 2, mobile=True)
        cls.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})

    def test_a_two_finger_tap_switches_lighting_as_the_right_button_does(self):
        # As page_test's right-button case: one frame a second, the tap in the wait after the
        # first frame, the third frame the first drawn without light.
        query = f"?windowed&mute&fps=1&start={LIT_FRAME}"

        def third_frame(points):
            # A loaded machine may draw the second frame before the tap is in: then again.
            for _ in range(3):
                self.open(query)
                self.wait_for("Module.vrexPage && Module.vrexPage.frames >= 1", timeout=60, what="the first frame")
                if points:
                    self.tap(points)
                if self.frames() == 1:
                    break
            else:
                self.fail("the second frame came before the tap three times")
            self.wait_for("Module.vrexPage.frames === 3", timeout=10, what="the third frame")

        third_frame(None)
        lit = self.canvas_png()
        third_frame([(400, 300)])  # one finger: nothing switches
        self.assertGreater(self.canvas_luma_psnr(lit), 40.0)
        third_frame([(350, 300), (450, 300)])
        switched = self.canvas_luma_psnr(lit)
        print(f"luma PSNR of the third frame after a two-finger tap against lit: {switched:.2f} dB")
        self.assertLess(switched, 30.0)

    # Named to run first: after a two-finger tap, Chromium's emulation delivers no touch to the
    # next page it opens.
    def test_a_first_tap_brings_the_sound_the_page_says_tap_for(self):
        self.open(f"?windowed&start={MODEL_FRAME}")
        self.wait_for("document.getElementById('notice').textContent === 'Tap for sound'", timeout=60)
        style = self.js("const s = getComputedStyle(document.getElementById('stage'));"
                        "return [s.touchAction, s.userSelect || s.webkitUserSelect]")
        self.assertEqual(style, ["none", "none"])
        self.tap([(400, 300)])
        self.wait_for("Module.vrexAudio.context.state === 'running'", timeout=10, what="sound after the tap")

    def test_yes_without_full_screen_fills_the_page_and_says_so_once(self):
        self.open("?mute")
        self.wait_for("!document.getElementById('dialog').hidden", what="the question")
        # A browser that offers pages no full screen at all, as an iPhone's.
        self.js("Element.prototype.requestFullscreen = undefined; Element.prototype.webkitRequestFullscreen = undefined;"
                "Object.defineProperty(document, 'fullscreenEnabled', {value: false});")
        self.driver.find_element("id", "dialog-yes").click()
        self.wait_for("Module.vrexPage.frames >= 10", what="frames")
        notice = self.js("return document.getElementById('notice').textContent")
        self.assertEqual(notice, "Full screen is not offered here; the show fills the page.")
        box = self.js("const r = document.getElementById('canvas').getBoundingClientRect(); return [r.width, r.height]")
        self.assertEqual(box, [800, 600])


class FocusTest(ScreenCase):
    def test_the_canvas_takes_the_keyboard_and_keys_do_not_scroll_the_page(self):
        # The page inside another, taller one on another origin, as a game site embeds it.
        self.screen(1000, 800)
        with tempfile.TemporaryDirectory(prefix="vrex-host-") as folder:
            with open(os.path.join(folder, "host.html"), "w") as host:
                host.write("<!doctype html><body style='height:3000px'><p>A site</p><button id=b>elsewhere</button>"
                           f"<iframe id=f src='{self.server.url}index.html?windowed&mute' width=820 height=620>"
                           "</iframe></body>")
            site = page_test.Server(folder)
            try:
                self.driver.get(site.url + "host.html")
                self.keys_stay_in_the_frame()
            finally:
                site.stop()

    def keys_stay_in_the_frame(self):
        self.driver.switch_to.frame("f")
        self.wait_for("window.Module && Module.vrexPage && Module.vrexPage.frames >= 5", timeout=60, what="frames")
        self.assertEqual(self.js("return document.activeElement.id"), "canvas")
        self.driver.switch_to.default_content()
        self.driver.find_element("id", "b").click()  # the keyboard elsewhere...
        self.driver.switch_to.frame("f")
        self.driver.find_element("id", "canvas").click()  # ...and back to the show by a click
        self.assertEqual(self.js("return document.activeElement.id"), "canvas")
        # What the browser would scroll by, in this page or the one around it, it is told not to.
        self.js("window.keysSeen = []; addEventListener('keydown', e => keysSeen.push([e.key, e.defaultPrevented]))")
        ActionChains(self.driver).send_keys(Keys.ARROW_DOWN, Keys.SPACE, Keys.PAGE_DOWN).perform()
        self.assertEqual(self.js("return keysSeen"), [["ArrowDown", True], [" ", True], ["PageDown", True]])
        ActionChains(self.driver).send_keys(Keys.ESCAPE).perform()
        self.wait_for("document.body.dataset.state === 'ended'", what="the end by Escape")


class ContextLossTest(ScreenCase):
    def start_model_scene(self):
        self.screen(800, 600)
        self.open(f"?windowed&mute&start={MODEL_FRAME}")
        self.wait_for("Module.vrexPage && Module.vrexPage.frames >= 10", timeout=60, what="frames")
        # The extension must be had while the context lives; the lost context gives no more.
        self.js("window.loser = GLctx.getExtension('WEBGL_lose_context'); loser.loseContext()")
        self.wait_for("document.body.dataset.graphics === 'lost'", timeout=5, what="the loss seen")
        frames = self.frames()
        self.wait_for(f"Module.vrexPage.frames >= {frames + 10}", timeout=5, what="the show going on unseen")

    def test_a_context_given_back_draws_the_scene_again_within_a_second(self):
        self.start_model_scene()
        self.js("loser.restoreContext()")
        restored_at = time.monotonic()
        self.wait_for("document.body.dataset.graphics === 'restored'", timeout=1, what="the context rebuilt")
        frames = self.frames()
        self.wait_for(f"Module.vrexPage.frames >= {frames + 3}", timeout=1, what="frames in the context given back")
        # The scene's brightness swings by half as the dinosaurs turn: the canvas is compared
        # with the native capture of the very frame it holds.
        frame, png = self.frame_and_canvas()
        seconds = time.monotonic() - restored_at
        psnr = self.luma_psnr_between(png, capture_at(frame, *self.canvas_buffer()))
        print(f"frame {frame}, {seconds:.2f} s after the context came back: {psnr:.2f} dB against the native capture")
        self.save("context-restored")
        self.assertGreaterEqual(psnr, MIN_LUMA_PSNR)
        self.assertEqual(self.js("return GLctx.getError()"), 0)
        self.assertFalse(self.message()[0])

    def test_a_context_not_given_back_is_told_with_try_again(self):
        self.start_model_scene()
        self.assertFalse(self.message()[0])  # a moment's loss is not worth a word
        self.wait_for("!document.getElementById('message').hidden", timeout=10, what="the message")
        shown, text, _ = self.message()
        self.assertIn("graphics (WebGL) context", text)
        self.assertEqual(self.js("return [...document.querySelectorAll('#message-buttons button')]"
                                 ".map(b => b.textContent)"), ["Try again"])


def main():
    global CAPTURE
    if len(sys.argv) < 6:
        sys.exit(__doc__.strip())
    page_test.SITE, page_test.NATIVE_VREX, page_test.REFERENCE, page_test.DATA_DIR, CAPTURE = (
        os.path.abspath(path) for path in sys.argv[1:6])
    unittest.main(argv=[sys.argv[0]] + sys.argv[6:], verbosity=2)


if __name__ == "__main__":
    main()
