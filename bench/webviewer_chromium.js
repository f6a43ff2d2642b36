'use strict';
// The script viewer in Debian's chromium (headless, no switch) over loopback http, against a
// page that only fetches the same index file and splits its text on line ends, measured in
// the same run: the time to the first contents tree on the screen, the time of one keystroke
// in Look for (and of the work after it until its whole list is shown), and the JS heap once
// everything is read. Median of RUNS runs of each, on a
// generated index and on the indexes of two real sites scanned from disk: Debian's Python
// 3.11 documentation (527 pages) and its Apache HTTP Server manual in all its languages
// (about 2,700 pages; the shell script installs both packages when they are missing).
//
//   bash bench/webviewer_chromium.sh [ENTRIES] [KEYWORDS_PER_ENTRY] [DOCS_DIR]
//   (defaults 50000, 2 and /usr/share/doc/python3.11/html; RUNS=7; SITES=generated,python,apache
//   names the sites to measure, all three by default; KEYS=1 adds a line per keystroke)
//
// Needs build/bin/tamblin-cli, build/bin/gen_index and the browser tests' npm packages
// (ctest --test-dir build -R chromium_packages installs them).
const fs = require('fs');
const path = require('path');
const h = require('../tests/chromium/harness');

const runs = Number(process.env.RUNS || 7);
const [entries = 50000, keywords = 2, docs = '/usr/share/doc/python3.11/html'] =
    process.argv.slice(2).map((a, i) => (i < 2 ? Number(a) : a));
const bin = process.env.TAMBLIN_BIN;
const sites = (process.env.SITES || 'generated,python,apache').split(',');
const APACHE_MANUAL = '/usr/share/doc/apache2-doc/manual';

// When the tree is painted: a frame after the viewer shows it, once that frame's tasks ran.
const MARKS = `
document.addEventListener('navora-web-tree', () => requestAnimationFrame(() =>
    setTimeout(() => { window.shownAt = performance.now(); }, 0)));
document.addEventListener('navora-web-ready', () => { window.readAt = performance.now(); });`;

// The baseline: fetch the file, decode it, split it on line ends, show the count, and keep
// the lines (their heap is the heap baseline).
const BASELINE_PAGE = (file) => `<!DOCTYPE html><html lang="en"><head><title>Baseline</title>
<meta name="viewport" content="width=device-width, initial-scale=1"></head><body><div id="out"></div>
<script>
fetch(${JSON.stringify(file)}).then((r) => r.arrayBuffer()).then((bytes) => {
    window.lines = new TextDecoder('windows-1252').decode(bytes).split(/\\r?\\n/);
    document.getElementById('out').textContent = window.lines.length + ' lines';
    requestAnimationFrame(() => setTimeout(() => { window.shownAt = performance.now(); }, 0));
});
</script></body></html>`;

// Typing a word that is in the index letter by letter, then deleting it: the time of each
// step, with the layout it causes. `find(text)` does the work of one step.
function typingSteps(word) {
    const steps = [];
    for (let i = 1; i <= word.length; ++i) steps.push(word.slice(0, i));
    for (let i = word.length - 1; i >= 0; --i) steps.push(word.slice(0, i));
    return steps;
}

// Each step: the keystroke (its task and the layout it forces), then, where Look for finds
// the phrases that hold the text further on after that frame, the longest the page was
// busy at once until the whole list was laid out (every task and frame in between, measured
// by a chain of messages that runs whenever the page is free), and the time to that list.
async function viewerKeystrokes(page, steps) {
    return page.evaluate(async (list) => {
        const v = document.querySelector('.nv-viewer');
        const input = v.querySelector('.nv-index .nv-input');
        const times = [];
        const scripts = [];
        const busiest = [];
        const wholes = [];
        for (const text of list) {
            let done = false;
            const whole = new Promise((resolve) => v.addEventListener('navora-web-looked', () => {
                void v.offsetHeight;
                done = true;
                resolve(performance.now());
            }, { once: true }));
            const s = performance.now();
            input.value = text;
            input.dispatchEvent(new Event('input'));
            scripts.push(performance.now() - s);
            void v.offsetHeight;
            const keyEnd = performance.now();
            times.push(keyEnd - s);
            let longest = 0;
            let last = keyEnd;
            const probe = new MessageChannel();
            const free = new Promise((resolve) => {
                probe.port1.onmessage = () => {
                    const now = performance.now();
                    longest = Math.max(longest, now - last);
                    last = now;
                    if (done) resolve();
                    else probe.port2.postMessage(0);
                };
            });
            probe.port2.postMessage(0);
            const end = await whole;
            await free;
            busiest.push(longest);
            wholes.push(end - s);
            probe.port1.close();
        }
        return { times, scripts, busiest, wholes };
    }, steps);
}

// The simplest Look for over the split lines: the keyword lines that hold the text.
async function baselineKeystrokes(page, steps) {
    return page.evaluate((list) => {
        const out = document.getElementById('out');
        const times = [];
        for (const text of list) {
            const s = performance.now();
            const wanted = text.toLowerCase();
            let n = 0;
            for (const line of window.lines) {
                if (line.startsWith('7;') && line.toLowerCase().includes(wanted)) ++n;
            }
            out.textContent = `${n} found`;
            void out.offsetHeight;
            times.push(performance.now() - s);
        }
        return times;
    }, steps);
}

// The JS heap, and the typed arrays' stores, which live outside it (the viewer keeps its
// index in typed arrays, so the heap alone would flatter it).
async function heapAfterGc(page) {
    const cdp = await page.context().newCDPSession(page);
    for (let i = 0; i < 3; ++i) await cdp.send('HeapProfiler.collectGarbage');
    const usage = await cdp.send('Runtime.getHeapUsage');
    await cdp.detach();
    return { heap: usage.usedSize, stores: usage.backingStorageSize || 0 };
}

async function measureViewer(browser, url, steps) {
    const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
    await context.addInitScript(MARKS);
    const page = await context.newPage();
    page.setDefaultTimeout(120000);
    await page.goto(url);
    await page.waitForFunction(() => window.shownAt !== undefined);
    const shown = await page.evaluate(() => window.shownAt);
    await page.waitForFunction(() => window.readAt !== undefined);
    // The Index tab's first list (the viewer sorts the keywords before it says the index is
    // read, or when the tab is wanted before that).
    const indexTab = await page.evaluate(() => {
        const s = performance.now();
        document.querySelector('.nv-viewer [role=tab][data-name=index]').click();
        void document.body.offsetHeight;
        return performance.now() - s;
    });
    const { times: keys, scripts, busiest, wholes } = await viewerKeystrokes(page, steps);
    const { heap, stores } = await heapAfterGc(page);
    await context.close();
    return { shown, indexTab, keys, scripts, busiest, wholes, heap, stores };
}

async function measureBaseline(browser, url, steps) {
    const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
    const page = await context.newPage();
    page.setDefaultTimeout(120000);
    await page.goto(url);
    await page.waitForFunction(() => window.shownAt !== undefined);
    const shown = await page.evaluate(() => window.shownAt);
    const keys = await baselineKeystrokes(page, steps);
    const { heap, stores } = await heapAfterGc(page);
    await context.close();
    return { shown, keys, heap, stores };
}

const median = (list) => {
    const s = list.slice().sort((a, b) => a - b);
    const m = s.length >> 1;
    return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
};
const ms = (x) => `${x.toFixed(x < 10 ? 1 : 0)} ms`;
const mb = (x) => `${(x / 1048576).toFixed(1)} MB`;

// With KEYS=1, each step of the typing: its median and slowest over the runs, and the median
// of the part spent in script before the layout; then, until the whole list is laid out, the
// longest the page was busy at once (median / slowest) and the median time to that list.
function keyTable(steps, viewer) {
    console.log('  per key: median / slowest (script median) | then busiest: median / slowest | whole list');
    steps.forEach((text, i) => {
        const all = viewer.map((r) => r.keys[i]);
        const script = median(viewer.map((r) => r.scripts[i]));
        const busy = viewer.map((r) => r.busiest[i]);
        console.log(`    ${JSON.stringify(text).padEnd(26)} ${ms(median(all)).padStart(7)} / `
            + `${ms(Math.max(...all)).padStart(7)}   (${ms(script)})  | ${ms(median(busy)).padStart(7)} / `
            + `${ms(Math.max(...busy)).padStart(7)} | ${ms(median(viewer.map((r) => r.wholes[i]))).padStart(7)}`);
    });
}

async function bench(browser, name, site, file, word) {
    site.searchpage(['--index', file]);
    site.write('baseline.html', BASELINE_PAGE(file));
    const bytes = fs.statSync(site.path(file)).size;
    const text = site.read(file).toString('latin1');
    const count = (re) => (text.match(re) || []).length;
    const steps = typingSteps(word);
    const server = await h.serve(site.dir);
    const viewer = [];
    const base = [];
    try {
        // Taken in turns, so both see the same machine.
        for (let i = 0; i < runs; ++i) {
            viewer.push(await measureViewer(browser, server.url('Search.html'), steps));
            base.push(await measureBaseline(browser, server.url('baseline.html'), steps));
        }
    } finally {
        await server.close();
    }
    const v = {
        shown: median(viewer.map((r) => r.shown)), indexTab: median(viewer.map((r) => r.indexTab)),
        key: median(viewer.map((r) => median(r.keys))), keyMax: median(viewer.map((r) => Math.max(...r.keys))),
        keyWorst: Math.max(...viewer.map((r) => Math.max(...r.keys))),
        busyMax: median(viewer.map((r) => Math.max(...r.busiest))),
        busyWorst: Math.max(...viewer.map((r) => Math.max(...r.busiest))),
        whole: median(viewer.map((r) => median(r.wholes))),
        heap: median(viewer.map((r) => r.heap)), stores: median(viewer.map((r) => r.stores)),
    };
    const b = {
        shown: median(base.map((r) => r.shown)), key: median(base.map((r) => median(r.keys))),
        keyMax: median(base.map((r) => Math.max(...r.keys))), heap: median(base.map((r) => r.heap)),
        stores: median(base.map((r) => r.stores)),
    };
    const aim = 2 * b.shown + 100;
    console.log(`\n${name}: ${count(/^5;/gm)} entries, ${count(/^7;/gm)} keywords, ${bytes} bytes; `
        + `median of ${runs} runs over loopback http`);
    console.log(`  first tree shown: ${ms(v.shown)}   fetch+split baseline: ${ms(b.shown)}   `
        + `ratio ${(v.shown / b.shown).toFixed(2)}x   (aim: within 2x + 100 ms = ${ms(aim)}: `
        + `${v.shown <= aim ? 'met' : 'NOT met'})`);
    console.log(`  first Index tab: ${ms(v.indexTab)}`);
    console.log(`  Look for keystroke ("${word}" typed and deleted): median ${ms(v.key)}, `
        + `slowest ${ms(v.keyMax)}   baseline (scanning the split lines): median ${ms(b.key)}, `
        + `slowest ${ms(b.keyMax)}   ratio ${(v.key / b.key).toFixed(2)}x   `
        + `(aim: within 16 ms: ${v.keyMax <= 16 ? 'met' : 'NOT met'})`);
    console.log(`  then, until the whole list is laid out (the phrases that hold the text further on): `
        + `the page busy at once at most ${ms(v.busyMax)} (median of the runs' slowest), `
        + `${ms(v.busyWorst)} in all runs; whole list after a median ${ms(v.whole)}; `
        + `slowest keystroke of all runs ${ms(v.keyWorst)}`);
    if (process.env.KEYS) keyTable(steps, viewer);
    console.log(`  JS heap after GC: ${mb(v.heap)}   split lines: ${mb(b.heap)}   `
        + `ratio ${(v.heap / b.heap).toFixed(2)}x   (aim: within 3x: ${v.heap <= 3 * b.heap ? 'met' : 'NOT met'})`);
    const all = (r) => r.heap + r.stores;
    console.log(`  with typed-array stores outside the heap: ${mb(v.stores)} + heap = ${mb(all(v))}   `
        + `split lines: ${mb(all(b))}   ratio ${(all(v) / all(b)).toFixed(2)}x`);
}

async function main() {
    const { chromium } = require(path.join(process.env.TAMBLIN_NODE_MODULES, 'playwright-core'));
    const executablePath = h.chromiumPath();
    if (!executablePath) throw new Error('no chromium: run scripts/install-deps.sh');
    const browser = await chromium.launch({ executablePath, args: [] });
    console.log(`chromium ${browser.version()}, headless`);
    try {
        if (sites.includes('generated')) {
            const generated = h.site();
            const index = require('child_process').execFileSync(path.join(bin, 'gen_index'),
                [String(entries), String(keywords)], { maxBuffer: 1 << 30 });
            generated.write('big.xo', index);
            await bench(browser, 'generated index', generated, 'big.xo', 'page number 4321 keyword 1');
        }

        const realSites = [
            { name: 'python', start: path.join(docs, 'index.html'), args: [], word: 'string methods',
                package: 'python3.11-doc' },
            { name: 'apache', start: `${APACHE_MANUAL}/en/index.html`, args: ['--all-languages'],
                word: 'rewriterule directive', package: 'apache2-doc' },
        ].filter((real) => sites.includes(real.name));
        for (const real of realSites) {
            if (!fs.existsSync(real.start)) {
                console.log(`\nno ${real.start} (apt-get install ${real.package}): that site is left out`);
                continue;
            }
            const site = h.site();
            const scan = site.cli(['scan', real.start, ...real.args, '-o', 'site.xo']);
            if (scan.status > 1) throw new Error(`scan failed: ${scan.stderr}`);
            await bench(browser, `scanned ${[real.start, ...real.args].join(' ')}`, site, 'site.xo', real.word);
        }
    } finally {
        await browser.close();
        for (const dir of h.scratchRoots) fs.rmSync(dir, { recursive: true, force: true });
    }
}

main().catch((e) => {
    console.error(e);
    process.exit(1);
});
