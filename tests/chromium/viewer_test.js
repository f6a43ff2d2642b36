'use strict';
// The viewer as readers use it: the keyboard in the tree and in Look for, what screen
// readers are told (checked by axe-core on every tab), phones, pages opened in new windows,
// deep links and Back, and the tree following a frame. Each case runs on a page opened from
// disk and on the same page over loopback http, unless it says why not.
const h = require('./harness');

const { assert } = h;

const TREE = [
    { title: 'Getting started', url: 'start.htm', keywords: ['setup', 'Guide to setup'],
        children: [{ title: 'Installing', url: 'install.htm', keywords: ['install'] }] },
    { title: 'Getting help', url: 'help.htm', keywords: ['Guided tour', 'help'] },
    { title: 'Reference', url: 'ref.htm', keywords: ['Guide', 'options', 'git-rebase(1)'] },
];

// Pages of the site; each links to the next, so a reader can move on inside a frame.
const PAGES = { 'start.htm': 'install.htm', 'install.htm': 'help.htm', 'help.htm': 'ref.htm',
    'ref.htm': 'start.htm' };

function writePages(site) {
    for (const [name, next] of Object.entries(PAGES)) {
        site.write(name, `<!DOCTYPE html><html lang="en"><head><title>${name}</title></head>`
            + `<body><p>${name}</p><a id="next" href="${next}">next</a></body></html>`);
    }
}

function siteWith(tree = TREE, args = []) {
    const site = h.site();
    site.write('site.xo', h.indexText(tree));
    writePages(site);
    site.searchpage(['--index', 'site.xo', ...args]);
    return site;
}

const viewer = (page) => page.locator('.nv-viewer').first();

// The selected row of a list of the viewer ('.nv-contents', '.nv-index [role=listbox]').
function selectedText(page, list = '.nv-contents') {
    return page.evaluate((sel) => {
        const row = document.querySelector(`.nv-viewer ${sel} .nv-selected`);
        return row ? (row.querySelector('.nv-label') || row).textContent : null;
    }, list);
}

// Types `text` into Look for at once and waits for its whole list: the phrases that hold it
// further on come after the frame that shows those that begin with it.
async function lookFor(page, text) {
    await viewer(page).locator('.nv-index input').fill(text);
    await page.waitForFunction(() => !document.querySelector('.nv-viewer .nv-index [aria-busy]'));
}

function status(page) {
    return viewer(page).locator('[role=status]').textContent();
}

async function chooseTab(page, name) {
    await viewer(page).locator(`[role=tab][data-name=${name}]`).click();
}

// What the tree says of each of its rows in the page: "level posinset/setsize expanded".
function treeRowFacts(page) {
    return page.evaluate(() => Array.from(document.querySelectorAll('.nv-viewer [role=treeitem]'))
        .sort((a, b) => a.dataset.index - b.dataset.index)
        .map((r) => [r.getAttribute('aria-level'),
            `${r.getAttribute('aria-posinset')}/${r.getAttribute('aria-setsize')}`,
            r.getAttribute('aria-expanded') || '-'].join(' ')));
}

h.test('over http the index and language files are read once, while the parts load; from disk not early', async ({ browser }) => {
    const site = h.site();
    site.write('site.xo', h.indexText(TREE));
    site.write('en.xol', ['2;1', 'English', 'Look for: ', 'Keywords: ', 'Pages: ', 'Table of contents']
        .join('\r\n') + '\r\n');
    site.searchpage(['--index', 'site.xo', '--index-encoding', 'UTF8', '--language-file', 'en.xol',
        '--language-encoding', '8859_1']);
    const server = await h.serve(site.dir);
    try {
        const { page, errors, context } = await h.open(browser, server.url('Search.html'));
        await h.viewerReady(page);
        assert.deepStrictEqual(server.requests.filter((r) => /^\/(site\.xo|en\.xol)$/.test(r)).sort(),
            ['/en.xol', '/site.xo']);
        assert.deepStrictEqual(await page.evaluate(() => performance.getEntriesByType('resource')
            .filter((e) => /(site\.xo|en\.xol)$/.test(e.name)).map((e) => e.initiatorType)),
            ['xmlhttprequest', 'xmlhttprequest']);
        assert.strictEqual(await viewer(page).locator('[role=tab][data-name=contents]').textContent(),
            'Table of contents');
        h.noErrors(errors);
        await context.close();
    } finally {
        await server.close();
    }
    const { page, errors, context } = await h.open(browser, site.fileUrl('Search.html'));
    await h.viewerReady(page);
    assert.strictEqual(await page.locator('link[rel=preload]').count(), 0);
    assert.deepStrictEqual(await h.treeTitles(page), ['Getting started', 'Getting help', 'Reference']);
    h.noErrors(errors);
    await context.close();
});

// Over http alone: only there can the test hold a file back.
h.test('a search index slower than the tree: the tree first, then its tab, the reader\'s tab and focus kept', async ({ browser }) => {
    const site = h.site();
    writePages(site);
    site.write('index.htm', '<!DOCTYPE html><html lang="en"><head><title>Home</title></head><body>'
        + '<a href="start.htm">start</a> <a href="help.htm">help</a></body></html>');
    site.cli(['scan', 'index.htm', '-o', 'site.xo']);
    assert.ok(site.exists('site.xo.search/index.js'), 'the scan wrote a search index');
    site.searchpage(['--index', 'site.xo']);
    const server = await h.serve(site.dir);
    const context = await browser.newContext();
    try {
        const page = await context.newPage();
        const errors = [];
        page.on('pageerror', (e) => errors.push(e.message));
        let release;
        const held = new Promise((resolve) => { release = resolve; });
        await page.route(/\.search\/index\.js/, async (route) => {
            await held;
            await route.continue();
        });
        await page.goto(server.url('Search.html'));
        await h.viewerReady(page);
        assert.strictEqual(await viewer(page).locator('[role=tab][data-name=search]').count(), 0);
        assert.notStrictEqual(await viewer(page).getAttribute('data-state'), 'ready');
        await chooseTab(page, 'index');
        const lookFor = viewer(page).locator('.nv-index .nv-input');
        await lookFor.fill('st');
        release();
        await page.waitForSelector('.nv-viewer[data-state=ready] [role=tab][data-name=search]');
        assert.strictEqual(await viewer(page).locator('[role=tab][aria-selected=true]').getAttribute('data-name'), 'index');
        assert.ok(await lookFor.evaluate((el) => el === document.activeElement && el.value === 'st'));
        assert.deepStrictEqual(errors, []);
    } finally {
        await context.close();
        await server.close();
    }
});

h.test('tree: arrows, type-ahead with spaces and Enter, as the tree pattern has them', async ({ browser }) => {
    const site = siteWith();
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        await viewer(page).locator('[role=tree]').focus();
        assert.deepStrictEqual(await h.focused(page).then((f) => [f.role, f.activeText]),
            ['tree', 'Getting started']);
        assert.deepStrictEqual(await treeRowFacts(page),
            ['1 1/3 false', '1 2/3 -', '1 3/3 -']);
        await page.keyboard.press('ArrowRight');
        assert.deepStrictEqual(await treeRowFacts(page),
            ['1 1/3 true', '2 1/1 -', '1 2/3 -', '1 3/3 -']);
        await page.keyboard.press('ArrowRight');
        assert.strictEqual((await h.focused(page)).activeText, 'Installing');
        await page.keyboard.press('ArrowLeft');
        assert.strictEqual((await h.focused(page)).activeText, 'Getting started');
        await page.keyboard.press('End');
        assert.strictEqual((await h.focused(page)).activeText, 'Reference');
        // Two words typed at once: the space goes to the search, not to opening a page.
        await page.keyboard.type('getting h');
        assert.strictEqual((await h.focused(page)).activeText, 'Getting help');
        assert.match(page.url(), /Search\.html/);
        await page.keyboard.press('ArrowDown');
        await page.keyboard.press('Enter');
        await page.waitForURL(/ref\.htm$/);
    });
});

h.test('tabs: arrows, Home and End move between the tabs and show each', async ({ browser }) => {
    const site = siteWith();
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        const shown = () => page.evaluate(() => {
            const tab = document.activeElement;
            const panel = document.getElementById(tab.getAttribute('aria-controls'));
            return [tab.getAttribute('role'), tab.dataset.name, tab.getAttribute('aria-selected'),
                panel.hidden ? 'hidden' : 'shown'];
        });
        await viewer(page).locator('[role=tab][aria-selected=true]').focus();
        assert.deepStrictEqual(await shown(), ['tab', 'contents', 'true', 'shown']);
        await page.keyboard.press('ArrowRight');
        assert.deepStrictEqual(await shown(), ['tab', 'index', 'true', 'shown']);
        await page.keyboard.press('End');
        assert.deepStrictEqual(await shown(), ['tab', 'about', 'true', 'shown']);
        await page.keyboard.press('ArrowRight');
        assert.deepStrictEqual(await shown(), ['tab', 'contents', 'true', 'shown']);
        // Only the chosen tab is in the Tab order; Tab goes on into its panel.
        await page.keyboard.press('Tab');
        assert.strictEqual((await h.focused(page)).role, 'tree');
    });
});

h.test('Look for: a combobox of its list, and the status says when nothing matches', async ({ browser }) => {
    const site = siteWith();
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        await chooseTab(page, 'index');
        const input = viewer(page).locator('input');
        await input.focus();
        await page.keyboard.type('gu');
        const combo = await h.focused(page);
        assert.deepStrictEqual([combo.role, combo.activeText], ['combobox', 'Guide']);
        const controls = await input.getAttribute('aria-controls');
        assert.strictEqual(await page.locator(`[id="${controls}"]`).getAttribute('role'), 'listbox');
        await page.keyboard.press('ArrowDown');
        assert.strictEqual((await h.focused(page)).activeText, 'Guide to setup');
        assert.strictEqual(await selectedText(page, '.nv-index [role=listbox]'), 'Guide to setup');
        // Found inside phrases too, after those that begin with the text.
        await lookFor(page, 'rebase');
        assert.strictEqual((await h.focused(page)).activeText, 'git-rebase(1)');
        await lookFor(page, 'qqq');
        assert.strictEqual(await status(page), 'No keyword begins with or contains "qqq"');
        assert.strictEqual((await h.focused(page)).activeDescendant, null);
        assert.deepStrictEqual(await h.axe(page), []);
        await lookFor(page, 'tour');
        assert.strictEqual(await status(page), 'Index read');
        // Enter shows the chosen keyword's page.
        await page.keyboard.press('Enter');
        await page.waitForURL(/help\.htm$/);
    });
});

h.test('Look for lists the phrases that begin with the text at once, those that hold it after, in order, sizes right', async ({ browser }) => {
    const site = siteWith();
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        await chooseTab(page, 'index');
        // What the keystroke's own task shows, and what the list shows once whole.
        const typed = (text) => page.evaluate(async (value) => {
            const v = document.querySelector('.nv-viewer');
            const input = v.querySelector('.nv-index input');
            const list = v.querySelector('.nv-index [role=listbox]');
            const state = () => {
                const active = document.getElementById(input.getAttribute('aria-activedescendant'));
                const rows = Array.from(list.querySelectorAll('[role=option]'))
                    .sort((a, b) => a.dataset.index - b.dataset.index);
                return {
                    rows: rows.map((r) => `${r.getAttribute('aria-posinset')}/${r.getAttribute('aria-setsize')} `
                        + `${r.classList.contains('nv-elsewhere') ? '~' : ''}${r.textContent}`),
                    busy: list.getAttribute('aria-busy'), active: active ? active.textContent : null,
                    status: v.querySelector('[role=status]').textContent,
                };
            };
            const whole = new Promise((resolve) => v.addEventListener('navora-web-looked',
                (e) => resolve(e.detail.count), { once: true }));
            input.value = value;
            input.dispatchEvent(new Event('input', { bubbles: true }));
            const first = state();
            const count = await whole;
            return { first, count, last: state() };
        }, text);
        let r = await typed('i');
        assert.deepStrictEqual(r.first, { rows: ['1/1 install'], busy: 'true', active: 'install', status: 'Index read' });
        assert.deepStrictEqual(r.last, { rows: ['1/6 install', '2/6 ~git-rebase(1)', '3/6 Guide', '4/6 Guide to setup',
            '5/6 Guided tour', '6/6 options'], busy: null, active: 'install', status: 'Index read' });
        assert.strictEqual(r.count, 6);
        assert.deepStrictEqual(await h.axe(page), []);
        // Nothing begins with it: nothing is chosen until the phrases that hold it are found.
        r = await typed('qqq');
        assert.deepStrictEqual([r.first.rows, r.first.busy, r.first.status], [[], 'true', 'Index read']);
        assert.deepStrictEqual(r.last, { rows: [], busy: null, active: null,
            status: 'No keyword begins with or contains "qqq"' });
        r = await typed('up');
        assert.deepStrictEqual([r.first.rows, r.first.active], [[], null]);
        assert.deepStrictEqual(r.last, { rows: ['1/2 Guide to setup', '2/2 setup'], busy: null,
            active: 'Guide to setup', status: 'Index read' });
        assert.strictEqual(await selectedText(page, '.nv-index [role=listbox]'), 'Guide to setup');
        // A text whose look is cut short by the next key: only the last one's list is shown.
        r = await page.evaluate(async () => {
            const v = document.querySelector('.nv-viewer');
            const input = v.querySelector('.nv-index input');
            const counts = [];
            v.addEventListener('navora-web-looked', (e) => counts.push(e.detail.count));
            for (const value of ['s', 'se']) {
                input.value = value;
                input.dispatchEvent(new Event('input', { bubbles: true }));
            }
            await new Promise((resolve) => setTimeout(resolve, 300));
            return counts;
        });
        assert.deepStrictEqual(r, [3]);
        assert.strictEqual(await page.evaluate(() => {
            const input = document.querySelector('.nv-viewer .nv-index input');
            return document.getElementById(input.getAttribute('aria-controls')).querySelectorAll('[role=option]').length;
        }), 3);
    });
});

h.test('the index\'s characters beyond ASCII are laid out once before the index is said read, and leave nothing', async ({ browser }) => {
    const tree = [{ title: 'Manuel fran\u00e7ais', url: 'start.htm', keywords: ['RewriteRule \u30c7\u30a3\u30ec\u30af\u30c6\u30a3\u30d6'],
        children: [{ title: '\uc124\uce58', url: 'install.htm', keywords: ['\u0417\u0430\u043f\u0443\u0441\u043a \ud83d\ude80'] }] }];
    const site = siteWith(tree);
    const server = await h.serve(site.dir);
    try {
        for (const url of [server.url('Search.html'), site.fileUrl('Search.html')]) {
            const context = await browser.newContext(h.DESKTOP);
            // Each probe's text, and whether the page had heard the index was read by then.
            await context.addInitScript(() => {
                window.probes = [];
                new MutationObserver((records) => {
                    for (const r of records) {
                        for (const n of r.addedNodes) {
                            if (n.classList && n.classList.contains('nv-probe')) {
                                window.probes.push([n.textContent, document.querySelector('[data-state=ready]') !== null]);
                            }
                        }
                    }
                }).observe(document, { childList: true, subtree: true });
            });
            try {
                const page = await context.newPage();
                await page.goto(url);
                await page.waitForSelector('.nv-viewer[data-state=ready]');
                const probes = await page.evaluate(() => window.probes);
                const laidOut = probes.map(([text]) => text).join('');
                for (const ch of '\u00e7\u30c7\u30a3\u30ec\u30af\u30c6\u30d6\uc124\uce58\u0417\u0430\u043f\u0443\u0441\u043a\ud83d\ude80') {
                    assert.ok(laidOut.includes(ch), `${ch} laid out (${url})`);
                }
                assert.strictEqual(laidOut.length, new Set(laidOut).size + 1, 'each once (the rocket is two halves)');
                assert.ok(probes.every(([, ready]) => !ready), 'before the index was said read');
                assert.strictEqual(await page.locator('.nv-probe').count(), 0);
                await chooseTab(page, 'index');
                await lookFor(page, '\u30c7\u30a3');
                assert.strictEqual(await selectedText(page, '.nv-index [role=listbox]'),
                    'RewriteRule \u30c7\u30a3\u30ec\u30af\u30c6\u30a3\u30d6');
            } finally {
                await context.close();
            }
        }
    } finally {
        await server.close();
    }
});

// A site of `count` entries at the top level, each with two keywords.
function largeTree(count) {
    const tree = [];
    for (let i = 1; i <= count; ++i) {
        const n = String(i).padStart(5, '0');
        tree.push({ title: `Entry ${n}`, url: `p${n}.htm`, keywords: [`key ${n}`, `word ${n}`] });
    }
    return tree;
}

// Every row the list has in the page says where it stands in the whole list, and the
// active descendant names a row in the page.
async function rowsSayWhereTheyStand(page, list, count) {
    const facts = await page.evaluate((sel) => {
        const el = document.querySelector(`.nv-viewer ${sel}`);
        const rows = Array.from(el.querySelectorAll('.nv-row'));
        const active = el.getAttribute('aria-activedescendant');
        return {
            rows: rows.map((r) => [Number(r.dataset.index), r.getAttribute('aria-posinset'),
                r.getAttribute('aria-setsize')]),
            active: active && document.getElementById(active) ? active : null,
            scrolled: el.scrollTop,
        };
    }, list);
    assert.ok(facts.rows.length > 0 && facts.rows.length < 200, `${facts.rows.length} rows in the page`);
    for (const [i, pos, size] of facts.rows) {
        assert.deepStrictEqual([pos, size], [String(i + 1), String(count)], `row ${i}`);
    }
    assert.ok(facts.active, 'the active descendant is in the page');
    return facts;
}

h.test('a large index: set size and position on every row after scrolling, the active row kept', async ({ browser }) => {
    const count = 5000;
    const site = siteWith(largeTree(count));
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        const tree = viewer(page).locator('[role=tree]');
        await tree.focus();
        await page.keyboard.press('End');
        assert.strictEqual((await h.focused(page)).activeText, 'Entry 05000');
        await rowsSayWhereTheyStand(page, '[role=tree]', count);
        // Scrolled far from the selected row, as a mouse wheel does.
        await tree.hover();
        await page.mouse.wheel(0, -40000);
        await page.waitForFunction(() => document.querySelector('.nv-viewer [role=tree]').scrollTop < 200000);
        const facts = await rowsSayWhereTheyStand(page, '[role=tree]', count);
        assert.ok(facts.rows.some(([i]) => i === count - 1), 'the selected row stays in the page');
        assert.deepStrictEqual(await h.axe(page), []);
        await chooseTab(page, 'index');
        const keywords = viewer(page).locator('.nv-index [role=listbox]').first();
        await page.waitForFunction(() => document.querySelector('.nv-viewer .nv-index .nv-row'));
        await keywords.focus();
        await page.keyboard.press('PageDown');
        await page.keyboard.press('PageDown');
        await keywords.hover();
        await page.mouse.wheel(0, 60000);
        await page.waitForFunction(() => document.querySelector('.nv-viewer .nv-index [role=listbox]').scrollTop > 30000);
        await rowsSayWhereTheyStand(page, '.nv-index [role=listbox]', 2 * count);
        assert.deepStrictEqual(await h.axe(page), []);
    });
});

// A list knows its height from the page's own notices, not by asking at every change: one
// made taller with no window resize (a page's script, the side page's bar) still draws rows
// down to its new foot.
h.test('a list made taller without a window resize fills its new height with rows', async ({ browser }) => {
    const site = siteWith(largeTree(300));
    const { page, errors, context } = await h.open(browser, site.fileUrl('Search.html'));
    await h.viewerReady(page);
    const rowsReachTheFoot = () => {
        const tree = document.querySelector('.nv-viewer [role=tree]');
        const rows = Array.from(tree.querySelectorAll('[role=treeitem]'));
        return Math.max(...rows.map((r) => r.offsetTop + r.offsetHeight)) >= tree.scrollTop + tree.clientHeight;
    };
    assert.ok(await page.evaluate(rowsReachTheFoot));
    const before = await viewer(page).locator('[role=tree]').evaluate((el) => el.clientHeight);
    await page.evaluate(() => { document.querySelector('.nv-viewer').style.height = '740px'; });
    await page.waitForFunction(rowsReachTheFoot);
    assert.ok(await viewer(page).locator('[role=tree]').evaluate((el) => el.clientHeight) > before + 300);
    h.noErrors(errors);
    await context.close();
});

h.test('axe finds nothing on any tab, after scrolling and after a search', async ({ browser }) => {
    const site = h.site();
    site.write('site.xo', h.indexText(TREE));
    site.write('more.xo', h.indexText(largeTree(300), { description: 'More' }));
    writePages(site);
    site.searchpage(['--index', 'site.xo', '--index', 'more.xo']);
    for (const [kind, options] of [['desktop', {}], ['phone', h.PHONE], ['dark', { colorScheme: 'dark' }]]) {
        await h.eachWay(browser, site, async (page, how) => {
            await h.viewerReady(page);
            const names = await viewer(page).locator('[role=tab]').evaluateAll(
                (tabs) => tabs.map((t) => t.dataset.name));
            assert.deepStrictEqual(names, ['contents', 'index', 'select', 'about']);
            const seen = [];
            const look = async (what) => {
                for (const v of await h.axe(page)) seen.push(`${what}: ${v}`);
                await h.snapshot(page, `axe-${kind}-${how}-${what}`);
            };
            await page.waitForFunction(() => /Index read/.test(
                document.querySelector('.nv-viewer [role=status]').textContent));
            await look('contents');
            await chooseTab(page, 'index');
            await look('index');
            await lookFor(page, 'gu');
            await look('index after a search');
            await lookFor(page, 'nothing like it');
            await look('index after a search without match');
            await chooseTab(page, 'about');
            await look('about');
            await chooseTab(page, 'select');
            await look('select');
            // The larger index, scrolled.
            await viewer(page).locator('.nv-select [role=option]').nth(1).click();
            await h.treeRow(page, 'Entry 00001').waitFor();
            const tree = viewer(page).locator('[role=tree]');
            await tree.hover();
            await page.mouse.wheel(0, 3000);
            await page.waitForFunction(() => document.querySelector('.nv-viewer [role=tree]').scrollTop > 0);
            await look('contents scrolled');
            assert.deepStrictEqual(seen, [], `${kind} viewer`);
        }, options);
    }
});

h.test('a phone: the viewer fills the screen, touch targets and text are large, nothing scrolls sideways', async ({ browser }) => {
    const site = siteWith();
    await h.eachWay(browser, site, async (page, how) => {
        await h.viewerReady(page);
        const box = await viewer(page).boundingBox();
        assert.ok(box.x >= 0 && box.x + box.width <= 360, `viewer at ${box.x}, ${box.width} wide`);
        assert.ok(box.width >= 320, `viewer ${box.width} wide`);
        assert.strictEqual(await page.evaluate(() => document.documentElement.scrollWidth), 360);
        // Rows are the target of a tap: 44 px; the toggle inside one at least 24 px.
        await h.treeRow(page, 'Getting started').locator('.nv-toggle').tap();
        const sizes = await page.evaluate(() => {
            const v = document.querySelector('.nv-viewer');
            const size = (el) => el.getBoundingClientRect();
            const px = (el) => parseFloat(getComputedStyle(el).fontSize);
            return {
                rows: Array.from(v.querySelectorAll('[role=treeitem]')).map((r) => size(r).height),
                toggles: Array.from(v.querySelectorAll('.nv-toggle:not(.nv-leaf)'))
                    .map((t) => Math.min(size(t).width, size(t).height)),
                tabs: Array.from(v.querySelectorAll('[role=tab]')).map((t) => size(t).height),
                text: [...v.querySelectorAll('.nv-label, [role=tab] span, [role=status]')].map(px),
            };
        });
        assert.strictEqual(sizes.rows.length, 4, 'the toggle opened its branch');
        for (const r of sizes.rows) assert.ok(r >= 44, `row ${r} high`);
        for (const t of sizes.toggles) assert.ok(t >= 24, `toggle ${t} px`);
        for (const t of sizes.tabs) assert.ok(t >= 24, `tab ${t} high`);
        for (const t of sizes.text) assert.ok(t >= 16, `text at ${t} px`);
        await h.snapshot(page, `phone-contents-${how}`);
        await chooseTab(page, 'index');
        const input = viewer(page).locator('input');
        assert.ok(parseFloat(await input.evaluate((el) => getComputedStyle(el).fontSize)) >= 16,
            'a phone zooms into Look for when its text is smaller than 16 px');
        await input.fill('gu');
        assert.strictEqual(await page.evaluate(() => document.documentElement.scrollWidth), 360);
        await h.snapshot(page, `phone-index-${how}`);
        // A tap on a keyword and on Display page opens its page.
        await viewer(page).locator('.nv-index [role=option]', { hasText: 'Guided tour' }).tap();
        await viewer(page).locator('.nv-button').tap();
        await page.waitForURL(/help\.htm$/);
    }, h.PHONE);
});

h.test('a page opened in a window of its own, named or not, finds no opener', async ({ browser }) => {
    // The pages are another site's: served from another origin.
    const other = h.site();
    writePages(other);
    const offSite = await h.serve(other.dir);
    try {
        const tree = [
            { title: 'Named frame the page lacks', url: offSite.url('start.htm'), target: 'help' },
            { title: 'Blank', url: offSite.url('install.htm'), target: '_blank' },
            { title: 'Odd case', url: offSite.url('help.htm'), target: '_BLANK' },
            { title: 'Padded', url: offSite.url('ref.htm'), target: ' helper ',
                keywords: ['padded'] },
            { title: 'The page default', url: offSite.url('start.htm') },
        ];
        const site = siteWith(tree, ['--target', 'elsewhere']);
        await h.eachWay(browser, site, async (page) => {
            await h.viewerReady(page);
            for (const t of tree) {
                assert.strictEqual(await h.openerSeenByPopup(page, () => h.openEntry(page, t.title)),
                    null, t.title);
            }
            // A keyword, opened with Display page.
            await chooseTab(page, 'index');
            await viewer(page).locator('input').fill('padded');
            assert.strictEqual(await h.openerSeenByPopup(page,
                () => viewer(page).locator('.nv-button').click()), null, 'keyword');
        });
    } finally {
        await offSite.close();
    }
});

h.test('deep links: an address names a tab and entry, or Look for and a phrase', async ({ browser }) => {
    const site = siteWith();
    const server = await h.serve(site.dir);
    try {
        for (const url of [(f) => server.url('Search.html', f), (f) => site.fileUrl('Search.html', f)]) {
            const entry = await h.open(browser, url('nv1.tab=contents&nv1.entry=install.htm'));
            await h.viewerReady(entry.page);
            assert.deepStrictEqual(await h.treeTitles(entry.page),
                ['Getting started', 'Installing', 'Getting help', 'Reference']);
            assert.strictEqual(await selectedText(entry.page), 'Installing');
            h.noErrors(entry.errors);
            await entry.context.close();

            const keyword = await h.open(browser,
                url('nv1.tab=index&nv1.look=gu&nv1.phrase=Guided%20tour'));
            await h.viewerReady(keyword.page);
            const page = keyword.page;
            await page.waitForFunction(() => document.querySelector('.nv-viewer .nv-index .nv-selected'));
            assert.strictEqual(await viewer(page).locator('[role=tab][aria-selected=true]')
                .getAttribute('data-name'), 'index');
            assert.strictEqual(await viewer(page).locator('input').inputValue(), 'gu');
            assert.strictEqual(await selectedText(page, '.nv-index [role=listbox]'), 'Guided tour');
            // A choice of the reader's names itself in the address.
            await viewer(page).locator('.nv-index [role=option]', { hasText: /^Guide$/ }).click();
            await page.waitForFunction(() => /nv1\.phrase=Guide(&|$)/.test(location.hash));
            // A link followed within the page.
            await page.evaluate(() => { location.hash = '#nv1.tab=contents&nv1.entry=ref.htm'; });
            await page.waitForFunction(() => document.querySelector(
                '.nv-viewer [role=tab][data-name=contents][aria-selected=true]'));
            assert.strictEqual(await selectedText(page), 'Reference');
            h.noErrors(keyword.errors);
            await keyword.context.close();
        }
    } finally {
        await server.close();
    }
});

// The browser's Back, to the search page. (Playwright's goBack can take the viewer's own
// change of the fragment, as it shows the address it came back to, for a failed navigation.)
// The history is about:blank, the search page and the page shown; the browser may add the
// last a moment after the page is on the screen.
async function back(page) {
    await page.waitForLoadState('load');
    await page.waitForFunction(() => history.length >= 3);
    await page.goBack({ waitUntil: 'commit' }).catch(() => {});
    await page.waitForURL(/Search\.html/);
    await page.waitForLoadState('load');
    await h.viewerReady(page);
}

h.test('Back after Display page brings back the tab, the entry, the branches and Look for', async ({ browser }) => {
    const site = siteWith();
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        await viewer(page).locator('[role=tree]').focus();
        await page.keyboard.press('ArrowRight');
        await page.keyboard.press('ArrowDown');
        await page.keyboard.press('Enter');
        await page.waitForURL(/install\.htm$/);
        await back(page);
        assert.deepStrictEqual(await h.treeTitles(page),
            ['Getting started', 'Installing', 'Getting help', 'Reference']);
        assert.strictEqual(await selectedText(page), 'Installing');

        await chooseTab(page, 'index');
        await viewer(page).locator('input').fill('gui');
        await viewer(page).locator('.nv-index [role=option]', { hasText: 'Guided tour' }).click();
        await viewer(page).locator('.nv-button').click();
        await page.waitForURL(/help\.htm$/);
        await back(page);
        await page.waitForFunction(() => document.querySelector('.nv-viewer .nv-index .nv-selected'));
        assert.strictEqual(await viewer(page).locator('input').inputValue(), 'gui');
        assert.strictEqual(await selectedText(page, '.nv-index [role=listbox]'), 'Guided tour');
        // Branches opened before stay open when the reader goes back to the contents.
        await chooseTab(page, 'contents');
        assert.deepStrictEqual(await h.treeTitles(page),
            ['Getting started', 'Installing', 'Getting help', 'Reference']);
    });
});

// Waits until the tree's selected row is `title`.
async function treeSelects(page, title) {
    await page.waitForFunction((t) => {
        const row = document.querySelector('.nv-viewer .nv-contents .nv-selected .nv-label');
        return row && row.textContent === t;
    }, title);
}

h.test('sync: the tree follows the page a frame shows, also after a link inside it', async ({ browser }) => {
    const site = siteWith(TREE, ['--target', 'main']);
    site.frameset('frames.html', { first: 'start.htm' });
    await h.eachWay(browser, site, async (page, how) => {
        const contents = page.frame({ name: 'contents' });
        await contents.waitForSelector('.nv-viewer [role=treeitem]');
        const main = page.frame({ name: 'main' });
        // Opened through the viewer: followed from disk too.
        await contents.locator('.nv-viewer [role=tab][data-name=index]').click();
        await contents.locator('.nv-viewer input').fill('install');
        await contents.locator('.nv-viewer .nv-button').click();
        await main.waitForURL(/install\.htm$/);
        await contents.locator('.nv-viewer [role=tab][data-name=contents]').click();
        await treeSelects(contents, 'Installing');
        if (how === 'file') return; // every file its own origin: the frame cannot be read
        await main.locator('#next').click();
        await main.waitForURL(/help\.htm$/);
        await treeSelects(contents, 'Getting help');
    }, { page: 'frames.html' });
});

h.test('sync on the side-by-side page, also after a link inside its frame', async ({ browser }) => {
    const site = siteWith(TREE, ['--layout', 'side']);
    await h.eachWay(browser, site, async (page, how) => {
        await h.viewerReady(page);
        const frame = page.frame({ name: 'pages' });
        await h.openEntry(page, 'Getting help');
        await frame.waitForURL(/help\.htm$/);
        await treeSelects(page, 'Getting help');
        if (how === 'file') return;
        await frame.locator('#next').click();
        await frame.waitForURL(/ref\.htm$/);
        await treeSelects(page, 'Reference');
        await frame.locator('#next').click();
        await frame.waitForURL(/start\.htm$/);
        await treeSelects(page, 'Getting started');
        // The address names the entry synced to, for a link or Back.
        await page.waitForFunction(() => /nv1\.entry=start\.htm/.test(location.hash));
    });
});

h.run();
