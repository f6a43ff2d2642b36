'use strict';
// The Search tab: the words of every page, from the search index `tamblin-cli scan` writes
// beside the index file, read from disk (script elements) and over http (requests).
const h = require('./harness');

const { assert } = h;

function page(title, body) {
    return `<html><head><title>${title}</title><script>var walrus = "in a script";</script>`
        + `<style>.walrus { color: red }</style></head><body>${body}</body></html>`;
}

// A small site scanned by the command line, and its side-by-side page.
function scannedSite() {
    const site = h.site();
    site.write('index.htm', page('Start', '<p>See <a href="walrus.htm">one</a>, '
        + '<a href="zoo.htm">two</a> and <a href="other.htm">three</a>.</p>'));
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

async function fromDiskAndServer(browser, site, check) {
    const server = await h.serve(site.dir);
    try {
        for (const [how, url] of [['http', server.url('Search.html')], ['file', site.fileUrl('Search.html')]]) {
            const { page, errors, context } = await h.open(browser, url);
            try {
                await check(page, how);
                h.noErrors(errors);
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

h.test('typing finds pages, a title hit first, and Enter opens the page in its frame', async ({ browser }) => {
    const site = scannedSite();
    await fromDiskAndServer(browser, site, async (page) => {
        const input = await searchTab(page);
        await input.pressSequentially('walr');
        // The prefix finds "walrus" and "walruses"; the page with it in its title first,
        // though the other says it more often.
        assert.deepStrictEqual(await results(page, 2), ['The walrus operator', 'Animals']);
        // The text around the words comes once the results stand still.
        await page.locator('.nv-search-result').nth(1).locator('mark').first().waitFor();
        const marked = await page.locator('.nv-search-result').nth(1).locator('mark').allTextContents();
        assert.ok(marked.length >= 2 && marked.every((m) => /^walrus/i.test(m)), marked.join('|'));
        // Several words: pages with all of them.
        await input.fill('walrus sea');
        assert.deepStrictEqual(await results(page, 1), ['Animals']);
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

h.test('a site without a search index has no Search tab', async ({ browser }) => {
    const site = h.site();
    site.write('index.htm', page('Start', '<p>Words.</p>'));
    site.cli(['scan', '--no-full-text', 'index.htm', '-o', 'site.xo']);
    assert.ok(!site.exists('site.xo.search'));
    site.searchpage(['--index', 'site.xo']);
    await fromDiskAndServer(browser, site, async (page) => {
        await h.viewerReady(page);
        const tabs = await page.locator('.nv-viewer [role=tab]').allTextContents();
        assert.ok(!tabs.includes('Search'), tabs.join(', '));
    });
});

h.run();
