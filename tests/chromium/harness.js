'use strict';
// What every browser test file shares: one headless chromium per file (Debian's, launched
// with no switch that relaxes file access), search pages written by tamblin-cli, a loopback
// web server, phones, axe-core and a small runner.
//
// A test file:
//
//   const h = require('./harness');
//   h.test('the tree shows the index', async ({ browser }) => {
//       const site = h.site();                        // a scratch folder
//       site.write('site.xo', h.indexText([{ title: 'Home', url: 'index.htm' }]));
//       site.searchpage(['--index', 'site.xo']);      // writes Search.html and copies Redist/
//       const { page } = await h.open(browser, site.fileUrl('Search.html'));
//       await h.viewerReady(page);
//       h.assert.deepStrictEqual(await h.treeTitles(page), ['Home']);
//   });
//   h.run();
//
// Register the file in CMakeLists.txt with tamblin_chromium_test(). Runs one file:
//   ctest --test-dir build -R chromium_
// Environment: TAMBLIN_CLI, TAMBLIN_NODE_MODULES (set by ctest), TAMBLIN_CHROMIUM (the
// browser binary, default Debian's), WEBVIEWER_SNAPSHOTS=DIR (save h.snapshot() PNGs there),
// TAMBLIN_KEEP_SCRATCH=1 (keep the scratch folders), TAMBLIN_CHROMIUM_ONLY=TEXT (run only the
// tests whose name holds TEXT).

const assert = require('assert');
const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const SKIP = 77;
const modules = process.env.TAMBLIN_NODE_MODULES || path.join(__dirname, 'node_modules');
const cli = process.env.TAMBLIN_CLI || '';

function requireModule(name) {
    return require(path.join(modules, name));
}

// The real binary rather than /usr/bin/chromium: that wrapper adds switches of its own from
// /etc/chromium.d, and the tests must see the browser as a reader's double click starts it.
function chromiumPath() {
    const candidates = [process.env.TAMBLIN_CHROMIUM, '/usr/lib/chromium/chromium',
        '/usr/bin/chromium'];
    return candidates.find((p) => p && fs.existsSync(p)) || null;
}

// Switches that would let a file:// page read the files beside it: none may be passed, or
// the tests would prove nothing about readers' browsers.
const RELAXING = ['--allow-file-access-from-files', '--disable-web-security',
    '--allow-file-access', '--allow-universal-access-from-files'];

// The browser's own command line, as chrome://version shows it.
async function commandLine(browser) {
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.goto('chrome://version');
    const text = await page.textContent('#command_line');
    await context.close();
    return text;
}

const scratchRoots = [];

// A scratch folder with the files of one site.
class Site {
    constructor() {
        this.dir = fs.mkdtempSync(path.join(os.tmpdir(), 'tamblin-chromium-'));
        scratchRoots.push(this.dir);
    }

    path(name) { return path.join(this.dir, name); }

    write(name, bytes) {
        const to = this.path(name);
        fs.mkdirSync(path.dirname(to), { recursive: true });
        fs.writeFileSync(to, bytes);
        return to;
    }

    read(name) { return fs.readFileSync(this.path(name)); }

    exists(name) { return fs.existsSync(this.path(name)); }

    // file:// address of a file of the site (with an optional #fragment).
    fileUrl(name, fragment) {
        return 'file://' + encodeURI(this.path(name)) + (fragment ? '#' + fragment : '');
    }

    // tamblin-cli searchpage with -o PAGE (Search.html unless given) run in the site's
    // folder; throws unless it exits with `expect` (0).
    searchpage(args, { page = 'Search.html', expect = 0 } = {}) {
        const result = run(['searchpage', '-o', page, ...args], this.dir);
        if (result.status !== expect) {
            throw new Error(`tamblin-cli searchpage exited ${result.status}, not ${expect}\n` +
                result.stdout + result.stderr);
        }
        return result;
    }

    // Any tamblin-cli command, in the site's folder.
    cli(args) { return run(args, this.dir); }

    // A frameset page as sites of the applet's day were built: `contents` (the search page)
    // in a frame on the left, the pages in the frame `frame` on the right, starting at
    // `first`. Write the search page with --target FRAME for its entries to open there.
    frameset(name, { contents = 'Search.html', first = 'about:blank', frame = 'main' } = {}) {
        return this.write(name, '<!DOCTYPE html>\r\n<html><head><title>Frames</title></head>\r\n'
            + `<frameset cols="320,*"><frame name="contents" src="${contents}">`
            + `<frame name="${frame}" src="${first}"></frameset></html>\r\n`);
    }
}

function run(args, cwd) {
    if (!cli) throw new Error('TAMBLIN_CLI is not set');
    const result = childProcess.spawnSync(cli, args, { cwd, encoding: 'latin1' });
    if (result.error) throw result.error;
    return result;
}

function site() {
    return new Site();
}

// An index file (format 2.1, CR LF) from a tree of { title, url, target, keywords: [phrase],
// children: [...] }; `description` heads it.
function indexText(entries, { description = 'Test site', baseUrl = '' } = {}) {
    const lines = ['XO0;2;1;1;Tamblin 1.1.18', `1;${description};December 8 2026`];
    if (baseUrl) lines.push(`3;1;${baseUrl};`);
    let id = 0;
    const walk = (list, parent) => {
        for (const e of list) {
            const own = ++id;
            lines.push(`5;${own};${baseUrl ? 1 : ''};${e.url || ''};${e.title};${e.target || ''};${parent};`);
            for (const phrase of e.keywords || []) lines.push(`7;${phrase};&${own};&${own};`);
            walk(e.children || [], own);
        }
    };
    walk(entries, 0);
    return lines.join('\r\n') + '\r\n';
}

// A static server for one folder on 127.0.0.1 (an ephemeral port). `requests` lists the
// paths asked for, in order. Files are sent as they are on disk at the time of the request.
async function serve(root, { headers = {} } = {}) {
    const types = { '.html': 'text/html', '.htm': 'text/html', '.js': 'text/javascript',
        '.css': 'text/css', '.gif': 'image/gif', '.png': 'image/png' };
    const requests = [];
    const server = http.createServer((req, res) => {
        const urlPath = decodeURIComponent(new URL(req.url, 'http://x').pathname);
        requests.push(urlPath);
        if (urlPath === '/favicon.ico') {
            res.writeHead(204);
            res.end();
            return;
        }
        const file = path.join(root, path.normalize(urlPath));
        if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
            res.writeHead(404, { 'Content-Type': 'text/plain' });
            res.end('not found');
            return;
        }
        res.writeHead(200, {
            'Content-Type': types[path.extname(file).toLowerCase()] || 'application/octet-stream',
            'Cache-Control': 'no-store', ...headers });
        res.end(fs.readFileSync(file));
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const base = `http://127.0.0.1:${server.address().port}/`;
    return {
        requests,
        url: (name, fragment) => base + encodeURI(name) + (fragment ? '#' + fragment : ''),
        close: () => new Promise((resolve) => server.close(resolve)),
    };
}

const PHONE = { viewport: { width: 360, height: 740 }, isMobile: true, hasTouch: true,
    deviceScaleFactor: 2 };
const DESKTOP = { viewport: { width: 1024, height: 768 } };

// A new context and page on `url`. `errors` collects uncaught exceptions and console errors,
// which most tests want empty (h.noErrors).
async function open(browser, url, options = {}) {
    const { wait = 'load', ...contextOptions } = options;
    const context = await browser.newContext({ ...DESKTOP, ...contextOptions });
    const page = await context.newPage();
    page.setDefaultTimeout(20000);
    const errors = [];
    page.on('pageerror', (e) => errors.push(`page error: ${e.message}`));
    page.on('console', (m) => {
        // A refused file:// request is the browser's complaint about the reading that the
        // viewer tries first; a failed load is reported with its address below.
        const text = m.text();
        if (m.type() !== 'error' || /^Failed to load resource/.test(text)
            || /from origin 'null' has been blocked by CORS policy/.test(text)) return;
        errors.push(`console: ${text}`);
    });
    page.on('response', (r) => {
        // The viewer asks whether an index has a search index beside it (SITE.xo.search/).
        if (r.status() === 404 && /\.search\/index\.js$/.test(r.url())) return;
        if (r.status() >= 400) errors.push(`${r.status()}: ${r.url()}`);
    });
    await page.goto(url, { waitUntil: wait });
    return { page, context, errors };
}

// Resolves once viewer `n` of the page shows its tree or its message (an index that could
// not be read); viewers fill in after the page has loaded.
async function viewerReady(page, n = 0) {
    await page.waitForFunction((i) => {
        const viewer = document.querySelectorAll('.nv-viewer')[i];
        if (!viewer) return false;
        const message = viewer.querySelector('.nv-message');
        return viewer.querySelector('[role=treeitem]') !== null
            || (message !== null && message.textContent.trim() !== '');
    }, n);
}

// Titles of the rows of viewer `n`'s contents tree, top to bottom.
function treeTitles(page, n = 0) {
    return page.evaluate((i) => {
        const viewer = document.querySelectorAll('.nv-viewer')[i];
        return Array.from(viewer.querySelectorAll('[role=treeitem]'))
            .sort((a, b) => a.getBoundingClientRect().top - b.getBoundingClientRect().top)
            .map((r) => (r.querySelector('.nv-label') || r).textContent);
    }, n);
}

// The row of viewer `n`'s tree whose title is exactly `title`.
function treeRow(page, title, n = 0) {
    const exact = new RegExp(`^${title.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')}$`);
    return page.locator('.nv-viewer').nth(n).locator('[role=treeitem]')
        .filter({ has: page.locator('.nv-label', { hasText: exact }) });
}

// Opens the entry titled `title` as a reader does, with a double click on its row.
async function openEntry(page, title, n = 0) {
    await treeRow(page, title, n).dblclick();
}

// Runs `action` (which makes the page open a new window) and returns what the new window
// sees as window.opener: null is the only safe answer for a page of another site.
async function openerSeenByPopup(page, action) {
    const [popup] = await Promise.all([page.context().waitForEvent('page'), action()]);
    // A new window starts at about:blank before it goes to the page.
    await popup.waitForURL((u) => u.href !== 'about:blank');
    await popup.waitForLoadState('domcontentloaded');
    const opener = await popup.evaluate(() => (window.opener === null ? null : 'an opener'));
    await popup.close();
    return opener;
}

// The element that has the keyboard focus, and the row its aria-activedescendant names (or
// null when it names none or one not in the page).
function focused(page) {
    return page.evaluate(() => {
        const el = document.activeElement;
        const id = el && el.getAttribute('aria-activedescendant');
        const active = id ? document.getElementById(id) : null;
        // A tree row's title, without the text of its toggle.
        const label = active && active.querySelector('.nv-label');
        return {
            role: el && el.getAttribute('role'), tag: el && el.tagName.toLowerCase(),
            activeDescendant: id || null,
            activeText: active ? (label || active).textContent : null,
        };
    });
}

// What viewer `n` says where its tree would be ('' when it shows a tree).
function viewerMessage(page, n = 0) {
    return page.evaluate((i) => {
        const el = document.querySelectorAll('.nv-viewer')[i].querySelector('.nv-message');
        return el && el.offsetParent !== null ? el.textContent.trim() : '';
    }, n);
}

// axe-core's violations inside `selector` (the viewer by default), as "rule: target" lines.
async function axe(page, selector = '.nv-viewer', rules = {}) {
    const source = fs.readFileSync(path.join(modules, 'axe-core', 'axe.min.js'), 'utf8');
    if (!(await page.evaluate(() => typeof window.axe === 'object'))) {
        await page.addScriptTag({ content: source });
    }
    const result = await page.evaluate(([sel, options]) => window.axe.run(
        { include: Array.from(document.querySelectorAll(sel)) }, options), [selector, rules]);
    return result.violations.flatMap((v) => v.nodes.map((n) => `${v.id}: ${n.target.join(' ')}`));
}

// Saves a PNG of the page as NAME.png when WEBVIEWER_SNAPSHOTS names a folder.
async function snapshot(page, name) {
    const dir = process.env.WEBVIEWER_SNAPSHOTS;
    if (!dir) return;
    fs.mkdirSync(dir, { recursive: true });
    await page.screenshot({ path: path.join(dir, `${name}.png`) });
}

function noErrors(errors) {
    assert.deepStrictEqual(errors, [], 'the page reported errors');
}

// The runner: tests run in order in one browser; a failing test does not stop the others.
const tests = [];
function test(name, fn) {
    tests.push({ name, fn });
}

async function launch() {
    const executablePath = chromiumPath();
    if (!executablePath) {
        console.log('SKIP: no chromium (scripts/install-deps.sh installs it)');
        process.exit(SKIP);
    }
    const { chromium } = requireModule('playwright-core');
    const browser = await chromium.launch({ executablePath, args: [] });
    return browser;
}

async function runAll() {
    const only = process.env.TAMBLIN_CHROMIUM_ONLY || '';
    const chosen = tests.filter((t) => t.name.includes(only));
    const browser = await launch();
    let failed = 0;
    for (const t of chosen) {
        try {
            await t.fn({ browser });
            console.log(`ok - ${t.name}`);
        } catch (e) {
            failed += 1;
            console.log(`not ok - ${t.name}\n${String(e.stack || e).replace(/^/gm, '    ')}`);
        }
    }
    await browser.close();
    if (!process.env.TAMBLIN_KEEP_SCRATCH) {
        for (const dir of scratchRoots) fs.rmSync(dir, { recursive: true, force: true });
    }
    console.log(`${chosen.length - failed} of ${chosen.length} passed`);
    return failed === 0 ? 0 : 1;
}

// `check(page, how, context)` on a page of the site opened over http, then from disk, as
// the two ways readers open it; `fragment` is the address's part after "#", `options` those
// of the browser context (a phone, dark mode).
async function eachWay(browser, site, check, { page: name = 'Search.html', fragment = '', ...options } = {}) {
    const server = await serve(site.dir);
    try {
        for (const [how, url] of [['http', server.url(name, fragment)], ['file', site.fileUrl(name, fragment)]]) {
            const { page, errors, context } = await open(browser, url, options);
            try {
                await check(page, how, context);
                noErrors(errors);
            } catch (e) {
                throw new Error(`opened over ${how}: ${e.stack || e}`);
            } finally {
                await context.close();
            }
        }
    } finally {
        await server.close();
    }
}

function runTests() {
    runAll().then((code) => process.exit(code), (e) => {
        console.error(e);
        process.exit(1);
    });
}

module.exports = {
    assert, site, indexText, serve, eachWay, open, viewerReady, treeTitles, treeRow, openEntry,
    viewerMessage, axe,
    openerSeenByPopup, focused, snapshot, noErrors, test, run: runTests, PHONE, DESKTOP, RELAXING, commandLine, chromiumPath,
    scratchRoots,
};
