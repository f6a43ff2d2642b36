'use strict';
// The Search tab: the words of every page, from the search index `tamblin-cli scan` writes
// beside the index file, read from disk (script elements) and over http (requests).
const h = require('./harness');

const { assert } = h;

function page(title, body) {
    return `<html><head><title>${title}</title><script>var walrus = "in a script";</script>`
        + `<style>.walrus { color: red }</style></head><body>${body}</body></html>`;
}

// A small site scanned by the command line, and its side-by-side page; `more` holds pages
// (name -> text) the start page links to as well.
function scannedSite(more = {}) {
    const site = h.site();
    const links = Object.keys(more).map((name) => ` <a href="${name}">${name}</a>`).join('');
    site.write('index.htm', page('Start', '<p>See <a href="walrus.htm">one</a>, '
        + `<a href="zoo.htm">two</a> and <a href="other.htm">three</a>.${links}</p>`));
    for (const [name, text] of Object.entries(more)) site.write(name, text);
    site.write('walrus.htm', page('The walrus operator',
        '<h1>Assignment expressions</h1><p>Use := to assign inside expressions.</p>'));
    site.write('zoo.htm', page('Animals', '<p>A walrus lives in the sea. Walrus, walrus, '
        + 'walrus: the zoo\'s <b>walrus</b>es &amp; seals.</p><div hidden>hiddenword</div>'));
    site.write('other.htm', page('Other', '<p>Nothing here but <i>sea</i> creatures: '
        + '&lt;b&gt;not markup&lt;/b&gt;, caf&eacute;.</p>'));
    site.cli(['scan', 'index.htm', '-o', 'site.xo']);
    assert.ok(site.exists('site.xo.search/index.js'), 'the scan wrote the search index');
    site.searchpage(['--layout', 'side', '--index', 'site.xo']);
    return site;
}

async function searchTab(page) {
    await h.viewerReady(page);
    const tab = page.locator('.nv-viewer [role=tab]', { hasText: 'Search' });
    await tab.click();
    return page.locator('.nv-search-input');
}

async function results(page, count) {
    await page.waitForFunction((n) => document.querySelectorAll('.nv-search-result').length === n
        && Array.from(document.querySelectorAll('.nv-search-title')).every((t) => t.textContent),
    count);
    return page.locator('.nv-search-title').allTextContents();
}

h.test('typing finds pages, a title hit first, and Enter opens the page in its frame', async ({ browser }) => {
    const site = scannedSite();
    await h.eachWay(browser, site, async (page) => {
        const input = await searchTab(page);
        await input.pressSequentially('walr');
        // The prefix finds "walrus" and "walruses"; the page with it in its title first,
        // though the other says it more often.
        assert.deepStrictEqual(await results(page, 2), ['The walrus operator', 'Animals']);
        // The text around the words comes once the results stand still.
        await page.locator('.nv-search-result').nth(1).locator('mark').first().waitFor();
        const marked = await page.locator('.nv-search-result').nth(1).locator('mark').allTextContents();
        assert.ok(marked.length >= 2 && marked.every((m) => /^walrus/i.test(m)), marked.join('|'));
        // A key that begins the same words leaves the rows as they are, text and marks.
        const mark = await page.locator('.nv-search-result').nth(1).locator('mark').first().elementHandle();
        await page.evaluate(() => document.addEventListener('navora-web-searched', () => {
            window.searchedAgain = true;
        }, { once: true }));
        await input.press('u');
        await page.waitForFunction(() => window.searchedAgain === true);
        assert.ok(await mark.evaluate((m) => m.isConnected), 'the snippet stays');
        // Several words: pages with all of them.
        await input.fill('walrus sea');
        assert.deepStrictEqual(await results(page, 1), ['Animals']);
        assert.strictEqual(await page.locator('.nv-search-count').textContent(), '1 page found');
        // Script, style and hidden text are no words of the page; references are decoded
        // and shown as text.
        await input.fill('hiddenword');
        await page.waitForSelector('.nv-search-count:has-text("No pages found")');
        await input.fill('markup cafe');
        assert.deepStrictEqual(await results(page, 1), ['Other']);
        await page.waitForFunction(() => document.querySelector('.nv-search-snippet').textContent !== '');
        const snippet = await page.locator('.nv-search-snippet').first().textContent();
        assert.match(snippet, /<b>not markup<\/b>, café/);
        assert.strictEqual(await page.locator('.nv-search-snippet b').count(), 0);
        await input.fill('walrus');
        await results(page, 2);
        await input.press('Enter');
        await page.frame({ name: 'pages' }).waitForURL(/walrus\.htm$/);
        // A click opens the one clicked.
        await page.locator('.nv-search-result').nth(1).click();
        await page.frame({ name: 'pages' }).waitForURL(/zoo\.htm$/);
        await h.snapshot(page, 'search-results');
    });
});

// What the rows of the results hold: [title, position, set size, has text] of each.
function rowFacts(page) {
    return page.evaluate(() => Array.from(document.querySelectorAll('.nv-search-result'))
        .map((r) => [r.querySelector('.nv-search-title').textContent, r.getAttribute('aria-posinset'),
            r.getAttribute('aria-setsize'), r.querySelector('.nv-search-snippet').textContent !== '']));
}

h.test('many results: rows in view with their titles at once, the others as the reader goes down', async ({ browser }) => {
    const more = {};
    for (let i = 1; i <= 70; i += 1) more[`w${i}.htm`] = page(`Walrus page ${i}`, `<p>A walrus, number ${i}.</p>`);
    const site = scannedSite(more);
    await h.eachWay(browser, site, async (page) => {
        const input = await searchTab(page);
        await input.fill('walrus');
        await page.waitForSelector('.nv-search-count:has-text("72 pages found")');
        // Only the rows a screen holds, each with its title and where it stands of the 50.
        let rows = await rowFacts(page);
        assert.ok(rows.length >= 10 && rows.length < 50, `${rows.length} rows at first`);
        rows.forEach(([title, at, of], i) => {
            assert.ok(title !== '', `row ${i + 1} has no title`);
            assert.deepStrictEqual([at, of], [String(i + 1), '50']);
        });
        // Down to the last of the 50: its row is made, it is the active one.
        for (let i = 0; i < 6; i += 1) await page.keyboard.press('PageDown');
        await page.waitForFunction(() => {
            const input = document.querySelector('.nv-search-input');
            const row = document.getElementById(input.getAttribute('aria-activedescendant'));
            return row && row.getAttribute('aria-posinset') === '50'
                && row.querySelector('.nv-search-title').textContent !== '';
        });
        rows = await rowFacts(page);
        assert.strictEqual(rows.length, 50);
        assert.ok(rows.every(([title]) => title !== ''), 'a row without its title');
        // The rows scrolled into view get their text; the words typed last have the last say.
        await page.waitForFunction(() => document.querySelector('.nv-search-result:last-child mark'));
        await input.pressSequentially('x', { delay: 0 });
        await page.keyboard.press('Backspace');
        await input.pressSequentially(' sea');
        assert.deepStrictEqual(await results(page, 1), ['Animals']);
        assert.deepStrictEqual((await rowFacts(page)).map((r) => r.slice(0, 3)), [['Animals', '1', '1']]);
        assert.deepStrictEqual(await h.axe(page), []);
    });
});

h.test('over http the word parts a key waits for are asked for at a higher priority than the page parts read ahead', async ({ browser }) => {
    const site = scannedSite();
    const server = await h.serve(site.dir);
    const { page, context } = await h.open(browser, server.url('Search.html'));
    try {
        const cdp = await context.newCDPSession(page);
        await cdp.send('Network.enable');
        const asked = [];
        cdp.on('Network.requestWillBeSent', (e) => {
            const part = /\.search\/([pw])\d+\.js$/.exec(e.request.url);
            if (part) asked.push(`${part[1]} ${e.request.initialPriority}`);
        });
        const input = await searchTab(page);
        await input.focus();
        await input.fill('walrus');
        assert.deepStrictEqual(await results(page, 2), ['The walrus operator', 'Animals']);
        assert.deepStrictEqual(Array.from(new Set(asked)).sort(), ['p Low', 'w High']);
    } finally {
        await context.close();
        await server.close();
    }
});

h.test('the fonts of a result row are set up once the box is shown, by a row laid out unseen and taken away', async ({ browser }) => {
    const site = scannedSite();
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        await page.evaluate(() => {
            window.probes = [];
            new MutationObserver((records) => {
                for (const r of records) {
                    for (const n of r.addedNodes) {
                        if (n.classList && n.classList.contains('nv-probe') && r.target.classList.contains('nv-search-results')) {
                            window.probes.push([n.getAttribute('aria-hidden'), n.querySelectorAll('.nv-search-title, mark').length]);
                        }
                    }
                }
            }).observe(document, { childList: true, subtree: true });
        });
        const input = await searchTab(page);
        await input.focus();
        await page.waitForFunction(() => window.probes.length > 0);
        await input.blur();
        await input.focus();
        await input.fill('walrus');
        assert.deepStrictEqual(await results(page, 2), ['The walrus operator', 'Animals']);
        assert.deepStrictEqual(await page.evaluate(() => window.probes), [['true', 2]]);
        assert.strictEqual(await page.locator('.nv-probe').count(), 0);
    });
});

h.test('a site without a search index has no Search tab', async ({ browser }) => {
    const site = h.site();
    site.write('index.htm', page('Start', '<p>Words.</p>'));
    site.cli(['scan', '--no-full-text', 'index.htm', '-o', 'site.xo']);
    assert.ok(!site.exists('site.xo.search'));
    site.searchpage(['--index', 'site.xo']);
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        const tabs = await page.locator('.nv-viewer [role=tab]').allTextContents();
        assert.ok(!tabs.includes('Search'), tabs.join(', '));
    });
});

const viewer = (page) => page.locator('.nv-viewer').first();

// What the box and its list tell a screen reader.
function comboFacts(page) {
    return page.evaluate(() => {
        const input = document.querySelector('.nv-search-input');
        const id = input.getAttribute('aria-activedescendant');
        const active = id && document.getElementById(id);
        const list = document.getElementById(input.getAttribute('aria-controls'));
        return {
            focused: document.activeElement === input,
            role: input.getAttribute('role'),
            expanded: input.getAttribute('aria-expanded'),
            listRole: list && list.getAttribute('role'),
            active: active ? active.querySelector('.nv-search-title').textContent : null,
            activeSelected: active ? active.getAttribute('aria-selected') : null,
            position: active ? `${active.getAttribute('aria-posinset')}/${active.getAttribute('aria-setsize')}` : null,
            status: document.querySelector('.nv-search-count').textContent,
            live: document.querySelector('.nv-search-count').getAttribute('aria-live'),
        };
    });
}

h.test('the Search tab by keyboard: a combobox of its results, the count told politely', async ({ browser }) => {
    const site = scannedSite();
    await h.eachWay(browser, site, async (page) => {
        await searchTab(page);
        // The tab's card opens with the box; Tab from the tab reaches it.
        await page.locator('.nv-search-input').focus();
        await page.keyboard.type('walrus');
        await results(page, 2);
        let facts = await comboFacts(page);
        assert.deepStrictEqual([facts.role, facts.listRole, facts.expanded, facts.live],
            ['combobox', 'listbox', 'true', 'polite']);
        assert.deepStrictEqual([facts.active, facts.activeSelected, facts.position],
            ['The walrus operator', 'true', '1/2']);
        assert.strictEqual(facts.status, '2 pages found');
        await page.keyboard.press('ArrowDown');
        facts = await comboFacts(page);
        assert.deepStrictEqual([facts.focused, facts.active, facts.position], [true, 'Animals', '2/2']);
        assert.strictEqual(await page.locator('.nv-search-result[aria-selected=true]').count(), 1);
        await page.keyboard.press('ArrowDown'); // stays on the last
        assert.strictEqual((await comboFacts(page)).active, 'Animals');
        await page.keyboard.press('ArrowUp');
        assert.strictEqual((await comboFacts(page)).active, 'The walrus operator');
        await page.keyboard.type('xyz');
        await page.waitForSelector('.nv-search-count:has-text("No pages found")');
        facts = await comboFacts(page);
        assert.deepStrictEqual([facts.expanded, facts.active], ['false', null]);
        // Escape empties the box and closes the list.
        await page.keyboard.press('Escape');
        facts = await comboFacts(page);
        assert.deepStrictEqual([facts.expanded, facts.status, facts.focused], ['false', '', true]);
        assert.strictEqual(await page.locator('.nv-search-input').inputValue(), '');
    });
});

h.test('axe finds nothing on the Search tab: desktop, phone and dark, after a search', async ({ browser }) => {
    const site = scannedSite();
    for (const [kind, options] of [['desktop', {}], ['phone', h.PHONE], ['dark', { colorScheme: 'dark' }]]) {
        await h.eachWay(browser, site, async (page, how) => {
            const input = await searchTab(page);
            const seen = [];
            const look = async (what) => {
                for (const v of await h.axe(page)) seen.push(`${what}: ${v}`);
                await h.snapshot(page, `search-axe-${kind}-${how}-${what}`);
            };
            await look('empty');
            await input.fill('walrus');
            await results(page, 2);
            await page.locator('.nv-search-result mark').first().waitFor();
            await look('after a search');
            await input.fill('nothingofthekind');
            await page.waitForSelector('.nv-search-count:has-text("No pages found")');
            await look('no pages found');
            assert.deepStrictEqual(seen, [], `${kind} viewer`);
        }, options);
    }
});

h.test('the Search tab on a phone: large targets and text, nothing scrolls sideways', async ({ browser }) => {
    const site = scannedSite({ 'long.htm': page('A page with a title long enough to wrap on any phone',
        `<p>${'walrus '.repeat(3)}${'x'.repeat(200)} Supercalifragilistic-walrus-expialidocious</p>`) });
    await h.eachWay(browser, site, async (page, how) => {
        const input = await searchTab(page);
        await input.tap();
        await input.fill('walrus');
        await page.waitForFunction(() => document.querySelectorAll('.nv-search-result').length >= 2);
        await page.locator('.nv-search-result mark').first().waitFor();
        const sizes = await page.evaluate(() => {
            const v = document.querySelector('.nv-viewer');
            const px = (el) => parseFloat(getComputedStyle(el).fontSize);
            return {
                rows: [...v.querySelectorAll('.nv-search-result')].map((r) => r.getBoundingClientRect().height),
                text: [...v.querySelectorAll('.nv-search-input, .nv-search-count, .nv-search-title, '
                    + '.nv-search-snippet, .nv-search .nv-prompt')].map(px),
                input: v.querySelector('.nv-search-input').getBoundingClientRect().height,
                wide: document.documentElement.scrollWidth,
                listWide: [...v.querySelectorAll('.nv-search-results')].map((l) => l.scrollWidth - l.clientWidth),
            };
        });
        for (const r of sizes.rows) assert.ok(r >= 44, `result ${r} px high`);
        for (const t of sizes.text) assert.ok(t >= 16, `text at ${t} px`);
        assert.ok(sizes.input >= 44, `box ${sizes.input} px high`);
        assert.strictEqual(sizes.wide, 360, 'the page scrolls sideways');
        assert.deepStrictEqual(sizes.listWide, [0], 'the results scroll sideways');
        await h.snapshot(page, `search-phone-${how}`);
        // A tap opens the page in its frame.
        await page.locator('.nv-search-result', { hasText: 'Animals' }).tap();
        await page.frame({ name: 'pages' }).waitForURL(/zoo\.htm$/);
    }, h.PHONE);
});

h.test('deep links: the address names the Search tab and its words; Back brings them back', async ({ browser }) => {
    const site = scannedSite();
    // Results open in the page's own window here, so Back comes back to the search page.
    site.searchpage(['--index', 'site.xo'], { page: 'Plain.html' });
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        assert.strictEqual(await viewer(page).locator('[role=tab][aria-selected=true]')
            .getAttribute('data-name'), 'search');
        assert.strictEqual(await page.locator('.nv-search-input').inputValue(), 'walrus sea');
        assert.deepStrictEqual(await results(page, 1), ['Animals']);
        // What the reader types names itself in the address.
        await page.locator('.nv-search-input').fill('walrus');
        await page.waitForFunction(() => /nv1\.tab=search&nv1\.query=walrus$/.test(location.hash));
        await results(page, 2);
        await page.locator('.nv-search-result').nth(1).click();
        await page.waitForURL(/zoo\.htm$/);
        await page.waitForFunction(() => history.length >= 3);
        await page.goBack({ waitUntil: 'commit' }).catch(() => {});
        await page.waitForURL(/Plain\.html/);
        await page.waitForLoadState('load');
        await h.viewerReady(page);
        assert.strictEqual(await page.locator('.nv-search-input').inputValue(), 'walrus');
        assert.deepStrictEqual(await results(page, 2), ['The walrus operator', 'Animals']);
        // A link followed within the page.
        await page.evaluate(() => { location.hash = '#nv1.tab=search&nv1.query=markup'; });
        assert.deepStrictEqual(await results(page, 1), ['Other']);
    }, { page: 'Plain.html', fragment: 'nv1.tab=search&nv1.query=walrus%20sea' });
});

h.run();
