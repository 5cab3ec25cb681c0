// The web page's cases in one more browser engine, Firefox ESR or WebKitGTK, driven in real time.
//
//     node engine_test.mjs ENGINE GROUP SITE NATIVE_VREX REFERENCE MODULES CAPTURE DATA_DIR
//
// ENGINE is firefox or webkit (engine_drivers.mjs); GROUP is one of the describe blocks below
// (one browser per group). SITE is the built page, served here on 127.0.0.1; NATIVE_VREX the
// Linux demo, whose command-line messages the page must repeat; REFERENCE the native capture
// of one frame per scene (reference-frames.sh); MODULES the folder npm installed
// puppeteer-core into; CAPTURE vrex-capture-gles, which draws a native frame at a dense
// screen's size from the data set in DATA_DIR. Chromium's cases, with these and many more, are page_test.py.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';
import { after, before, describe, it } from 'node:test';
import { fileURLToPath } from 'node:url';

import { launchBrowser } from './engine_drivers.mjs';

const HERE = path.dirname(fileURLToPath(import.meta.url));
const SOURCE = path.resolve(HERE, '..', '..');
const [ENGINE, GROUP, SITE, NATIVE_VREX, REFERENCE, MODULES, CAPTURE, DATA_DIR] = process.argv.slice(2).map(
    (value, index) => (index < 2 ? value : path.resolve(value)));
const MIN_LUMA_PSNR = 30.0;  // the same bar as Chromium's frames
const OTHER_FRAME_MAX_PSNR = 20.0;
const HEAVY_SCENES = ['star', 'terrain-turning', 'terrain-still', 'model'];
const MODEL_FRAME = 9700;  // well inside the model scene
const SITE_FILES = ['index.html', 'vrex.js', 'vrex.wasm', 'vrex-data.js', 'vrex-data.data'];
const CANVAS_PSNR = fs.readFileSync(path.join(HERE, 'canvas_psnr.js'), 'utf8');

if (!DATA_DIR) {
    console.error('usage: node engine_test.mjs ENGINE GROUP SITE NATIVE_VREX REFERENCE MODULES CAPTURE DATA_DIR');
    process.exit(2);
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// The project's own web server on a free port of 127.0.0.1.
async function serve(folder) {
    const server = spawn('python3', [path.join(SOURCE, 'scripts', 'web-serve.py'), folder, '0'],
                         { stdio: ['ignore', 'pipe', 'inherit'] });
    const [line] = await readline.createInterface({ input: server.stdout })[Symbol.asyncIterator]().next()
        .then(next => [next.value || '']);
    if (!line.startsWith('http://127.0.0.1:')) throw new Error('the server did not start: ' + line);
    return { url: line, stop: () => server.kill() };
}

// A copy of the site that lacks one file: a download that fails.
function siteWithout(name) {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vrex-site-'));
    for (const file of SITE_FILES)
        if (file !== name) fs.copyFileSync(path.join(SITE, file), path.join(folder, file));
    return folder;
}

// The first line the Linux demo prints for the same mistake; it must end with status 2.
function nativeError(args) {
    try {
        execFileSync(NATIVE_VREX, args, { stdio: ['ignore', 'ignore', 'pipe'], timeout: 30000 });
    } catch (error) {
        assert.equal(error.status, 2, 'the native demo ends with status 2 on ' + args.join(' '));
        return String(error.stderr).split('\n')[0];
    }
    throw new Error('the native demo accepted ' + args.join(' '));
}

function referenceFrames() {
    const listing = fs.readFileSync(path.join(REFERENCE, 'frames.txt'), 'utf8');
    return listing.split('\n').filter(line => line.trim()).map(Number);
}

function pictureOf(folder, frame) {
    const file = path.join(folder, `frame_${String(frame).padStart(5, '0')}.png`);
    return 'data:image/png;base64,' + fs.readFileSync(file).toString('base64');
}

const referencePicture = frame => pictureOf(REFERENCE, frame);

// The native capture of one frame at a size, drawn now.
function captureAt(frame, width, height) {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vrex-capture-'));
    try {
        execFileSync(CAPTURE, ['--skip-ahead', '--frames', String(frame), '--size', `${width}x${height}`, '--out', folder],
                     { cwd: DATA_DIR, stdio: 'ignore', timeout: 120000,
                       env: { ...process.env, SDL_VIDEODRIVER: 'offscreen', SDL_AUDIODRIVER: 'dummy' } });
        return pictureOf(folder, frame);
    } finally {
        fs.rmSync(folder, { recursive: true, force: true });
    }
}

// The frames of the scenes that draw the most, by the README's names (screenshots.sh).
function heavyFrames() {
    const listing = execFileSync(path.join(SOURCE, 'scripts', 'screenshots.sh'), ['--list'], { encoding: 'utf8' });
    const byName = new Map(listing.trim().split('\n').map(line => line.split(/\s+/)).map(([name, n]) => [name, +n]));
    return HEAVY_SCENES.map(name => byName.get(name));
}

// One browser and one server for a group's cases; a fresh page for each case.
function withBrowser(options = {}) {
    const session = {};
    before(async () => {
        session.server = await serve(SITE);
        session.browser = await launchBrowser(ENGINE, MODULES, options);
        console.log(`# ${ENGINE}: ${await session.browser.version()}`);
        await session.browser.setViewport(800, 600);
    });
    after(async () => {
        await session.browser?.close();
        session.server?.stop();
    });
    const page = {
        open: (query = '', server = session.server) => session.browser.open(server.url + 'index.html' + query),
        run: (source, ...args) => session.browser.run(source, ...args),
        click: selector => session.browser.click(selector),
        press: key => session.browser.press(key),
        // Polls an expression until it is truthy; returns its value.
        async waitFor(expression, timeoutMs = 30000, what = expression) {
            const deadline = Date.now() + timeoutMs;
            while (Date.now() < deadline) {
                const value = await page.run(`() => ${expression}`);
                if (value) return value;
                await sleep(50);
            }
            throw new Error('timed out waiting for ' + what);
        },
        frames: () => page.run('() => (Module.vrexPage ? Module.vrexPage.frames : 0)'),
        message: () => page.run(`() => ({
            shown: !document.getElementById('message').hidden,
            text: document.getElementById('message-text').textContent,
            detail: document.getElementById('message-detail').textContent })`),
        // The canvas as it is now, or a picture it gave earlier (its data URL), against a picture.
        async lumaPsnr(pictureUrl, canvasUrl) {
            const result = await page.run(CANVAS_PSNR, pictureUrl, canvasUrl);
            if (typeof result === 'string' && result !== 'inf') throw new Error(result);
            return Number(result === 'inf' ? Infinity : result);
        },
        async still(frame) {
            await page.open(`?start=${frame}&still`);
            await page.waitFor(`document.body.dataset.frame === '${frame}'`, 120000, `frame ${frame}`);
        },
        session,
    };
    return page;
}

const groups = {
    Question() {
        const page = withBrowser();
        it('asks the question, draws nothing behind it, and No plays the show until Escape', async () => {
            await page.open();
            await page.waitFor("!document.getElementById('dialog').hidden", 60000, 'the question');
            const question = await page.run(`() => [document.getElementById('dialog-caption').textContent,
                document.getElementById('dialog-text').textContent,
                [...document.querySelectorAll('#dialog-buttons button')].map(b => b.textContent)]`);
            assert.deepEqual(question, ['Options', 'Click Yes to go to full screen (Recommended)', ['Yes', 'No']]);
            await sleep(1000);  // modal: nothing may go on behind it
            assert.equal(await page.frames(), 0);

            await page.click('#dialog-no');
            await page.waitFor('Module.vrexPage.frames >= 10', 60000, 'frames');
            assert.equal(await page.run('() => document.body.dataset.state'), 'playing');
            assert.equal(await page.run('() => document.fullscreenElement'), null);
            // The click on No lets the page make sound. Without an audio device an engine may
            // keep its audio clock suspended: then there is nothing to hear, and it is said.
            const state = await page.run('() => Module.vrexAudio && Module.vrexAudio.context.state');
            if (state === 'running')
                await page.waitFor('Module.vrexAudio.position() >= 0', 20000, 'the music after No');
            else
                console.log(`# ${ENGINE}: no sound here (its audio context stays ${state}); the show plays without it`);

            await page.press('Escape');
            await page.waitFor("document.body.dataset.state === 'ended'", 30000, 'the end');
            const { shown, text } = await page.message();
            assert.ok(shown);
            assert.equal(text, 'The show has ended.');
            assert.equal(await page.run('() => document.body.dataset.status'), '0');
        });
    },

    Messages() {
        const page = withBrowser();
        it("shows a bad query's message, as the command line words it, and starts nothing", async () => {
            for (const [query, args] of [['?fps=0', ['--fps=0']], ['?start=nowhere', ['--start=nowhere']]]) {
                const expected = nativeError(args);
                await page.open(query);
                await page.waitFor("document.body.dataset.state === 'ended'", 60000, 'the end of ' + query);
                const { shown, text, detail } = await page.message();
                assert.ok(shown, query);
                assert.equal(text, expected);
                assert.match(detail, /Usage: vrex \[OPTIONS\]/);
                assert.equal(await page.frames(), 0);
            }
        });
        it('names the file that failed to download', async () => {
            for (const missing of ['vrex-data.data', 'vrex.wasm']) {
                const folder = siteWithout(missing);
                const server = await serve(folder);
                try {
                    await page.open('?windowed&mute', server);
                    await page.waitFor("document.body.dataset.state === 'failed'", 60000, 'the failure');
                    const { shown, text } = await page.message();
                    assert.ok(shown, missing);
                    assert.ok(text.includes(missing), `${missing} is not named in: ${text}`);
                    assert.equal(await page.frames(), 0);
                } finally {
                    server.stop();
                    fs.rmSync(folder, { recursive: true, force: true });
                }
            }
        });
    },

    Frames() {
        const page = withBrowser();
        it('draws one frame of each heavy scene as the native capture does', async () => {
            const figures = [];
            for (const frame of heavyFrames()) {
                await page.still(frame);
                assert.equal(await page.frames(), 1, 'held: nothing is drawn over it');
                const psnr = await page.lumaPsnr(referencePicture(frame));
                figures.push(`frame ${frame}: ${psnr.toFixed(2)} dB`);
                assert.ok(psnr >= MIN_LUMA_PSNR, `frame ${frame}: ${psnr.toFixed(2)} dB`);
            }
            console.log(`# ${ENGINE}: luma PSNR against the native capture: ${figures.join(', ')}`);
        });
        it("tells a different scene's frame from the one on the canvas", async () => {
            const [first, second] = referenceFrames();
            await page.still(first);
            assert.ok(await page.lumaPsnr(referencePicture(second)) < OTHER_FRAME_MAX_PSNR);
        });
    },

    Density() {
        const RATIO = 2;
        const page = withBrowser({ ratio: RATIO });
        it('draws a dense screen in its own pixels, as the native capture at that size', async () => {
            assert.equal(await page.run('() => devicePixelRatio'), RATIO);
            await page.still(MODEL_FRAME);
            const size = await page.run("() => [document.getElementById('canvas').width, document.getElementById('canvas').height]");
            assert.deepEqual(size, [800 * RATIO, 600 * RATIO]);
            const psnr = await page.lumaPsnr(captureAt(MODEL_FRAME, ...size));
            console.log(`# ${ENGINE}: luma PSNR at devicePixelRatio ${RATIO} against the native ${size.join('x')}: ${psnr.toFixed(2)} dB`);
            assert.ok(psnr >= MIN_LUMA_PSNR, `${psnr.toFixed(2)} dB`);
        });
    },

    Pacing() {
        const page = withBrowser();
        it('keeps sixty show frames a second, never drawing one twice', async () => {
            await page.open('?windowed&mute');
            await page.waitFor('document.body.dataset.showFrame >= 30', 60000, 'frames');
            const [rate, repeated] = await page.run(`() => new Promise(done => {
                const frame = () => Number(document.body.dataset.showFrame);
                const drawn = [];
                const watch = new MutationObserver(() => drawn.push(frame()));
                watch.observe(document.body, { attributeFilter: ['data-show-frame'] });
                const t0 = performance.now(), f0 = frame();
                setTimeout(() => {
                    watch.disconnect();
                    done([(frame() - f0) / ((performance.now() - t0) / 1000),
                          drawn.filter((f, i) => i > 0 && f <= drawn[i - 1]).length]);
                }, 3000);
            })`);
            console.log(`# ${ENGINE}: ${rate.toFixed(1)} show frames a second, keeping time`);
            assert.ok(Math.abs(rate - 60) <= 2, `${rate} show frames a second`);
            assert.equal(repeated, 0, 'a frame drawn twice, or the show going back');
        });
    },

    Context() {
        const page = withBrowser();
        it('draws the model scene again once a lost context comes back', async () => {
            await page.open(`?windowed&mute&start=${MODEL_FRAME}`);
            await page.waitFor('Module.vrexPage && Module.vrexPage.frames >= 10', 60000, 'frames');
            // The extension must be had while the context lives; a lost one gives none.
            await page.run("() => { window.loser = GLctx.getExtension('WEBGL_lose_context'); loser.loseContext(); }");
            await page.waitFor("document.body.dataset.graphics === 'lost'", 5000, 'the loss seen');
            const frames = await page.frames();
            await page.waitFor(`Module.vrexPage.frames >= ${frames + 10}`, 5000, 'the show going on unseen');
            await page.run('() => loser.restoreContext()');
            await page.waitFor("document.body.dataset.graphics === 'restored'", 2000, 'the context rebuilt');
            const back = await page.frames();
            await page.waitFor(`Module.vrexPage.frames >= ${back + 3}`, 2000, 'frames in the context given back');
            // The scene's brightness swings by half as the dinosaurs turn: the canvas is compared
            // with the native capture of the very frame it holds.
            const [frame, width, height, shown] = await page.run(`() => {
                const c = document.getElementById('canvas');
                return [Number(document.body.dataset.showFrame), c.width, c.height, c.toDataURL('image/png')]; }`);
            const psnr = await page.lumaPsnr(captureAt(frame, width, height), shown);
            console.log(`# ${ENGINE}: frame ${frame} in the context given back: ${psnr.toFixed(2)} dB against the native capture`);
            assert.ok(psnr >= MIN_LUMA_PSNR, `${psnr.toFixed(2)} dB`);
            assert.equal(await page.run('() => GLctx.getError()'), 0);
            assert.equal((await page.message()).shown, false);
        });
    },
};

if (!groups[GROUP]) {
    console.error(`no group ${GROUP}; the groups are ${Object.keys(groups).join(', ')}`);
    process.exit(2);
}
describe(`${ENGINE}: ${GROUP}`, groups[GROUP]);
