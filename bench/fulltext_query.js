// node bench/fulltext_query.js ROOT PORT MODE QUERY: opens a page served from ROOT on
// loopback in chromium and searches QUERY; prints one JSON line: the bytes the page fetched
// (all of them, and those of the search alone) and the time of each keystroke.
//   MODE ours:     Search.html, the viewer's Search tab, typed a character at a time
//   MODE pagefind: a page that imports /pagefind/pagefind.js and searches each prefix,
//                  reading the first 5 results' data, as Pagefind's own UI shows 5
'use strict';
const path = require('path');

const modules = process.env.TAMBLIN_NODE_MODULES
    || path.join(__dirname, '..', 'build', 'tests', 'chromium', 'packages', 'node_modules');
const { chromium } = require(path.join(modules, 'playwright-core'));
const [root, port, mode, query] = process.argv.slice(2);

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
    if (mode === 'ours') {
        await page.goto(`${base}Search.html`);
        await page.waitForSelector('.nv-viewer [role=treeitem]');
        await page.locator('.nv-viewer [role=tab]', { hasText: 'Search' }).click();
        const input = page.locator('.nv-search-input');
        await input.focus();
        for (let i = 1; i <= query.length; i += 1) {
            const ms = await page.evaluate((text) => new Promise((resolve) => {
                const box = document.querySelector('.nv-search-input');
                const start = performance.now();
                const done = () => {
                    document.removeEventListener('navora-web-searched', done);
                    requestAnimationFrame(() => resolve(performance.now() - start));
                };
                document.addEventListener('navora-web-searched', done);
                box.value = text;
                box.dispatchEvent(new Event('input'));
            }), query.slice(0, i));
            if (query[i - 1] !== ' ') keystrokes.push(ms);
        }
        // The snippets of the results in view.
        await page.waitForTimeout(500);
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
        for (const s of sizes) if (/\.search\/|navora-web-search|\/pagefind\//.test(s.url)) console.error(s.bytes, s.url);
    }
    keystrokes.sort((a, b) => a - b);
    const median = keystrokes.length ? keystrokes[Math.floor(keystrokes.length / 2)] : 0;
    console.log(JSON.stringify({ mode, query, total, search, requests: sizes.length,
        keystrokeMedian: Number(median.toFixed(1)),
        keystrokeMax: Number((keystrokes[keystrokes.length - 1] || 0).toFixed(1)) }));
}

main().catch((e) => {
    console.error(e);
    process.exit(1);
});
