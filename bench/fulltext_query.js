// node bench/fulltext_query.js ROOT PORT MODE QUERY: opens a page served from ROOT on
// loopback in chromium and searches QUERY; prints one JSON line: the bytes the page fetched
// (all of them, and those of the search alone) and the time of each keystroke.
//   MODE ours:     Search.html (PAGE=name for another), the viewer's Search tab, typed a key
//                  at a time every PACE ms (150), each timed from the key event until its
//                  results, titles included, are painted; PROFILE=FILE writes chromium's CPU
//                  profile of the typing (bench/cpuprofile_top.js reads it); TRACE=FILE
//                  writes chromium's trace of it (bench/trace_top.js reads it). Then the
//                  floor: the same keys in a plain box of the same page that runs no script,
//                  timed to the next frame (floor, floorMedian): what any keystroke costs
//                  this browser on this machine at the time
//   MODE pagefind: a page that imports /pagefind/pagefind.js and searches each prefix,
//                  reading the first 5 results' data, as Pagefind's own UI shows 5
'use strict';
const path = require('path');

const modules = process.env.TAMBLIN_NODE_MODULES
    || path.join(__dirname, '..', 'build', 'tests', 'chromium', 'packages', 'node_modules');
const { chromium } = require(path.join(modules, 'playwright-core'));
const [root, port, mode, query] = process.argv.slice(2);

// Milliseconds between keys, as a quick typist types.
const PACE = Number(process.env.PACE || 150);

// Runs in the page: for each key typed in the Search tab, the time from the key event until
// the results of the words it makes (titles included) are painted: the first frame in which
// they stand, and the task after that frame. Pushes {value, ms} to window.navoraKeys.
function watchKeys() {
    const box = document.querySelector('.nv-search-input');
    const list = box.closest('.nv-viewer').querySelector('.nv-search-results');
    window.navoraKeys = [];
    let at = 0;
    box.addEventListener('keydown', (e) => { at = e.timeStamp; }, true);
    document.addEventListener('navora-web-searched', () => {
        const key = at;
        const value = box.value;
        const drawn = performance.now() - key;
        // Every row in view has its title.
        const shown = () => {
            const box = list.getBoundingClientRect();
            return Array.from(list.querySelectorAll('.nv-search-title')).every((t) => {
                const r = t.getBoundingClientRect();
                return t.textContent !== '' || r.bottom <= box.top || r.top >= box.bottom;
            });
        };
        const frame = () => {
            if (key !== at || box.value !== value) return;
            if (!shown()) {
                requestAnimationFrame(frame);
                return;
            }
            const after = new MessageChannel();
            after.port1.onmessage = () => {
                const k = { value, ms: performance.now() - key, drawn };
                window.navoraKeys.push(k);
                const wanted = window.navoraKeyWanted;
                if (wanted && wanted.text === value) wanted.resolve(k);
            };
            after.port2.postMessage(0);
        };
        requestAnimationFrame(frame);
    });
}

// The floor: the same keys typed in a plain box of the same page that runs no script, each
// timed from the key event to the task after the next frame, as watchKeys() times ours.
function watchFloor() {
    const box = document.createElement('input');
    box.id = 'navora-floor';
    box.setAttribute('aria-label', 'floor');
    document.body.appendChild(box);
    window.navoraFloor = [];
    let at = 0;
    box.addEventListener('keydown', (e) => { at = e.timeStamp; }, true);
    box.addEventListener('input', () => {
        const key = at;
        requestAnimationFrame(() => {
            const after = new MessageChannel();
            after.port1.onmessage = () => window.navoraFloor.push(performance.now() - key);
            after.port2.postMessage(0);
        });
    });
    box.focus();
}

function medianOf(values) {
    const sorted = values.slice().sort((a, b) => a - b);
    return sorted.length ? Number(sorted[Math.floor(sorted.length / 2)].toFixed(1)) : 0;
}

async function startProfile(page) {
    const session = await page.context().newCDPSession(page);
    await session.send('Profiler.enable');
    await session.send('Profiler.setSamplingInterval', { interval: 100 });
    await session.send('Profiler.start');
    return session;
}

async function stopProfile(session, file) {
    const { profile } = await session.send('Profiler.stop');
    require('fs').writeFileSync(file, JSON.stringify(profile));
}

async function main() {
    const browser = await chromium.launch({ executablePath: '/usr/lib/chromium/chromium' });
    const page = await browser.newPage();
    const sizes = [];
    page.on('response', async (r) => {
        try {
            const body = await r.body();
            sizes.push({ url: r.url(), bytes: body.length });
        } catch (e) { /* redirects have no body */ }
    });
    const base = `http://127.0.0.1:${port}/`;
    const keystrokes = [];
    const drawnAt = []; // ms from the key until the results were in the page, before the paint
    let floor = [];
    const work = { TaskDuration: [], ScriptDuration: [], RecalcStyleDuration: [], LayoutDuration: [] };
    if (mode === 'ours') {
        await page.goto(`${base}${process.env.PAGE || 'Search.html'}`);
        await page.waitForSelector('.nv-viewer [role=treeitem]');
        await page.locator('.nv-viewer [role=tab]', { hasText: 'Search' }).click();
        await page.locator('.nv-search-input').focus();
        await page.evaluate(watchKeys);
        const profiler = process.env.PROFILE ? await startProfile(page) : null;
        if (process.env.TRACE) await browser.startTracing(page, { path: process.env.TRACE, categories: (process.env.TRACE_CATEGORIES || 'toplevel,blink,cc,v8.execute,loading').split(',') });
        const cdp = await page.context().newCDPSession(page);
        await cdp.send('Performance.enable');
        const metrics = async () => Object.fromEntries((await cdp.send('Performance.getMetrics'))
            .metrics.map((m) => [m.name, m.value]));
        for (let i = 1; i <= query.length; i += 1) {
            const started = Date.now();
            const before = await metrics();
            await page.keyboard.type(query[i - 1]);
            const k = await page.evaluate((text) => new Promise((resolve) => {
                const k = window.navoraKeys.find((x) => x.value === text);
                if (k) resolve(k);
                else window.navoraKeyWanted = { text, resolve };
            }), query.slice(0, i));
            const after = await metrics();
            if (query[i - 1] !== ' ') {
                keystrokes.push(k.ms);
                drawnAt.push(k.drawn);
                // The renderer's main thread at work for this key, less waiting and the rest
                // of the machine's load: its tasks, and of them script, style and layout.
                for (const name of Object.keys(work)) work[name].push((after[name] - before[name]) * 1000);
            }
            // A reader's pace: the next key comes a moment after this one.
            await page.waitForTimeout(Math.max(0, PACE - (Date.now() - started)));
        }
        if (profiler) await stopProfile(profiler, process.env.PROFILE);
        if (process.env.TRACE) await browser.stopTracing();
        // The snippets of the results in view.
        await page.waitForTimeout(500);
        await page.evaluate(watchFloor);
        for (const ch of query) {
            const started = Date.now();
            await page.keyboard.type(ch);
            await page.waitForTimeout(Math.max(0, PACE - (Date.now() - started)));
        }
        floor = await page.evaluate(() => window.navoraFloor);
    } else {
        await page.goto(`${base}pagefind_bench.html`);
        await page.waitForFunction(() => window.pagefindReady === true);
        for (let i = 1; i <= query.length; i += 1) {
            if (query[i - 1] === ' ') continue;
            keystrokes.push(await page.evaluate(async (text) => {
                const start = performance.now();
                const found = await window.pagefind.search(text);
                await Promise.all(found.results.slice(0, 5).map((r) => r.data()));
                return performance.now() - start;
            }, query.slice(0, i)));
        }
    }
    await browser.close();
    const total = sizes.reduce((a, s) => a + s.bytes, 0);
    const search = sizes.filter((s) => /\.search\/|navora-web-search|\/pagefind\//.test(s.url))
        .reduce((a, s) => a + s.bytes, 0);
    if (process.env.VERBOSE) {
        for (const s of sizes) if (process.env.VERBOSE === 'all' || /\.search\/|navora-web-search|\/pagefind\//.test(s.url)) console.error(s.bytes, s.url);
    }
    const each = keystrokes.map((k) => Number(k.toFixed(1)));
    keystrokes.sort((a, b) => a - b);
    const median = keystrokes.length ? keystrokes[Math.floor(keystrokes.length / 2)] : 0;
    console.log(JSON.stringify({ mode, query, total, search, requests: sizes.length,
        keystrokeMedian: Number(median.toFixed(1)),
        keystrokeMax: Number((keystrokes[keystrokes.length - 1] || 0).toFixed(1)), keystrokes: each,
        inPage: drawnAt.map((k) => Number(k.toFixed(1))),
        floorMedian: mode === 'ours' ? medianOf(floor) : undefined,
        floor: mode === 'ours' ? floor.map((k) => Number(k.toFixed(1))) : undefined,
        mainThread: mode === 'ours' ? medianOf(work.TaskDuration) : undefined,
        work: mode === 'ours' ? Object.fromEntries(Object.entries(work).map(([n, v]) => [n.replace('Duration', ''),
            v.map((x) => Number(x.toFixed(1)))])) : undefined }));
}

main().catch((e) => {
    console.error(e);
    process.exit(1);
});
