// One small driver per browser engine, with the same few calls, so that the page's cases are
// written once and run in each:
//
//     const browser = await launchBrowser('firefox', modulesFolder);   // or 'webkit'; a third
//                                            // argument, {ratio: 2}, makes a dense screen
//     await browser.open(url);
//     const value = await browser.run(functionSource, ...args);      // awaited in the page
//     await browser.click('#dialog-no');  await browser.press('Escape');
//     await browser.setViewport(800, 600);  await browser.close();
//
// Firefox ESR is driven over WebDriver BiDi by puppeteer-core (installed by the tests' set-up
// into the build tree), in a real window: headless Firefox has no WebGL. WebKitGTK's
// MiniBrowser is driven by plain WebDriver requests to WebKitWebDriver. Both need an X display
// (the tests run under xvfb-run). Both run without their sandboxes, as Chromium's tests do: a
// pristine root is a chroot, where no process may make the user namespaces they are built on;
// they load only our own page from 127.0.0.1.
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import net from 'node:net';
import path from 'node:path';

const FIREFOX = '/usr/bin/firefox-esr';
const WEBKIT_DRIVER = '/usr/bin/WebKitWebDriver';
const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const SCRIPT_TIMEOUT_MS = 60000;
const ELEMENT = 'element-6066-11e4-a52e-4f735466cecf';  // the key WebDriver returns an element under
const ESCAPE_KEY = '\uE00C';

// A function's source called with JSON arguments, as one expression.
function callOf(source, args) {
    return `(${source})(${args.map(value => JSON.stringify(value)).join(', ')})`;
}

class FirefoxBrowser {
    static async launch(modulesFolder, ratio) {
        const puppeteer = createRequire(path.join(modulesFolder, 'package.json'))('puppeteer-core');
        const browser = await puppeteer.launch({
            browser: 'firefox', executablePath: FIREFOX, headless: false,
            env: { ...process.env, MOZ_DISABLE_CONTENT_SANDBOX: '1', MOZ_DISABLE_RDD_SANDBOX: '1',
                   MOZ_DISABLE_SOCKET_PROCESS_SANDBOX: '1', MOZ_DISABLE_GMP_SANDBOX: '1' },
            // The size is set by setViewport, which copes with what an older Firefox lacks.
            defaultViewport: null,
            // A page that plays sound by itself is what the tests check; the profile is new each run.
            extraPrefsFirefox: { 'media.autoplay.default': 1, 'media.autoplay.blocking_policy': 0,
                                 'layout.css.devPixelsPerPx': String(ratio) },
        });
        const page = (await browser.pages())[0] || await browser.newPage();
        return new FirefoxBrowser(browser, page);
    }

    constructor(browser, page) {
        this.browser = browser;
        this.page = page;
    }

    async open(url) { await this.page.goto(url, { waitUntil: 'load' }); }
    async run(source, ...args) { return this.page.evaluate(callOf(source, args)); }
    async click(selector) { await this.page.click(selector); }
    async press(key) { await this.page.keyboard.press(key); }
    async setViewport(width, height) {
        try {
            await this.page.setViewport({ width, height });
        } catch (error) {
            // puppeteer sends the screen's orientation with the size; an older Firefox ESR (140,
            // as Debian 12 may have it) knows only the size, which it has set all the same.
            if (!/setScreenOrientationOverride/.test(String(error && error.message))) throw error;
        }
    }
    async version() { return this.browser.version(); }
    async close() { await this.browser.close(); }
}

function freePort() {
    return new Promise((resolve, reject) => {
        const server = net.createServer();
        server.once('error', reject);
        server.listen(0, '127.0.0.1', () => {
            const { port } = server.address();
            server.close(() => resolve(port));
        });
    });
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

class WebKitBrowser {
    static async launch(ratio) {
        const port = await freePort();
        const driver = spawn(WEBKIT_DRIVER, [`--port=${port}`], {
            stdio: ['ignore', 'ignore', 'inherit'],
            // GTK's own scale is WebKitGTK's devicePixelRatio.
            env: { ...process.env, WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS: '1', GDK_SCALE: String(ratio) },
        });
        const base = `http://127.0.0.1:${port}`;
        for (let tries = 0; ; ++tries) {
            try {
                if ((await fetch(base + '/status')).ok) break;
            } catch (error) {
                if (tries > 100) throw new Error('WebKitWebDriver did not start: ' + error.message);
            }
            await sleep(100);
        }
        const capabilities = {
            browserName: 'MiniBrowser',
            'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] },
        };
        const created = await WebKitBrowser.request('POST', base + '/session',
                                                    { capabilities: { alwaysMatch: capabilities } });
        const browser = new WebKitBrowser(driver, `${base}/session/${created.sessionId}`, created.capabilities);
        await browser.command('POST', '/timeouts', { script: SCRIPT_TIMEOUT_MS });
        return browser;
    }

    static async request(method, url, body) {
        const response = await fetch(url, {
            method, headers: { 'Content-Type': 'application/json' },
            body: body === undefined ? undefined : JSON.stringify(body),
        });
        const answer = await response.json();
        if (!response.ok) throw new Error(`WebDriver ${method} ${url}: ${JSON.stringify(answer.value)}`);
        return answer.value;
    }

    constructor(driver, session, capabilities) {
        this.driver = driver;
        this.session = session;
        this.capabilities = capabilities;
    }

    command(method, route, body) { return WebKitBrowser.request(method, this.session + route, body); }

    async open(url) { await this.command('POST', '/url', { url }); }

    async run(source, ...args) {
        // WebDriver's asynchronous script hands its result to the last argument; a rejection
        // comes back as a thrown error, as puppeteer's does.
        const script = `const done = arguments[arguments.length - 1];
            Promise.resolve().then(() => ${callOf(source, args)}).then(
                value => done({ value: value === undefined ? null : value }),
                error => done({ error: String(error && error.stack || error) }));`;
        const answer = await this.command('POST', '/execute/async', { script, args: [] });
        if (answer.error) throw new Error(answer.error);
        return answer.value;
    }

    async click(selector) {
        const element = await this.command('POST', '/element', { using: 'css selector', value: selector });
        await this.command('POST', `/element/${element[ELEMENT]}/click`, {});
    }

    async press(key) {
        if (key !== 'Escape') throw new Error('only Escape is mapped: ' + key);
        await this.command('POST', '/actions', {
            actions: [{ type: 'key', id: 'keyboard',
                        actions: [{ type: 'keyDown', value: ESCAPE_KEY }, { type: 'keyUp', value: ESCAPE_KEY }] }],
        });
    }

    // The window is sized so that the page (the viewport) gets exactly width x height: the
    // browser's own bars take what they take.
    async setViewport(width, height) {
        for (let tries = 0; tries < 3; ++tries) {
            const [innerWidth, innerHeight] = await this.run('() => [innerWidth, innerHeight]');
            if (innerWidth === width && innerHeight === height) return;
            const rect = await this.command('GET', '/window/rect');
            await this.command('POST', '/window/rect',
                               { width: rect.width + width - innerWidth, height: rect.height + height - innerHeight });
        }
        throw new Error(`the viewport does not come to ${width}x${height}`);
    }

    async version() { return `${this.capabilities.browserName} ${this.capabilities.browserVersion}`; }

    async close() {
        try {
            await this.command('DELETE', '');
        } finally {
            this.driver.kill();
        }
    }
}

export async function launchBrowser(engine, modulesFolder, { ratio = 1 } = {}) {
    if (engine === 'firefox') return FirefoxBrowser.launch(modulesFolder, ratio);
    if (engine === 'webkit') return WebKitBrowser.launch(ratio);
    throw new Error('no such engine: ' + engine);
}
