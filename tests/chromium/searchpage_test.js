'use strict';
// Search pages written by tamblin-cli, opened as readers open them: a double click (file://,
// no switch, where Chromium refuses the page's requests for the files beside it) and from a
// web server on loopback.
const h = require('./harness');

const { assert } = h;

const TREE = [
    { title: 'Getting started', url: 'start.htm', keywords: ['setup'],
        children: [{ title: 'Installing', url: 'install.htm', keywords: ['install'] }] },
    { title: 'Reference', url: 'ref.htm', keywords: ['options'] },
];
const TITLES = ['Getting started', 'Reference'];

const FRENCH = ['2;1', 'Francais', 'Chercher : ', 'Mots : ', 'Pages : ', 'Sommaire', 'Index',
    'Choisir', 'A propos', 'Sortir', 'Afficher la page', "Choisir l'index (langue)",
    'A propos de Navora...', 'Info', 'Lecture', 'Index lu', 'Cliquer',
    'Lecture du fichier...', 'Index non lu', 'Affichage', "Impossible d'afficher"]
    .join('\r\n') + '\r\n';

function siteWithIndex(tree = TREE) {
    const site = h.site();
    site.write('site.xo', h.indexText(tree));
    for (const name of ['start.htm', 'install.htm', 'ref.htm']) {
        site.write(name, `<html><head><title>${name}</title></head><body>${name}</body></html>`);
    }
    return site;
}

h.test('the browser runs with no switch that opens files to pages', async ({ browser }) => {
    const line = await h.commandLine(browser);
    for (const flag of h.RELAXING) assert.ok(!line.includes(flag), `${flag} in ${line}`);
});

for (const [version, name] of [['0', '2.1'], ['1', '2.3'], ['2', 'script']]) {
    for (const layout of ['classic', 'side']) {
        h.test(`${layout} page, applet ${name}: the index from disk and from a server`, async ({ browser }) => {
            const site = siteWithIndex();
            site.searchpage(['--applet-version', version, '--layout', layout, '--index', 'site.xo']);
            assert.ok(site.exists('site.xo.js'));
            await h.eachWay(browser, site, async (page) => {
                await h.viewerReady(page);
                assert.deepStrictEqual(await h.treeTitles(page), TITLES);
            });
        });
    }
}

h.test('without companions the page says why from disk, and works from a server', async ({ browser }) => {
    const site = siteWithIndex();
    site.searchpage(['--no-companion', '--index', 'site.xo']);
    assert.ok(!site.exists('site.xo.js'));
    await h.eachWay(browser, site, async (page, how) => {
        await h.viewerReady(page);
        if (how === 'http') {
            assert.deepStrictEqual(await h.treeTitles(page), TITLES);
            return;
        }
        const message = await h.viewerMessage(page);
        await h.snapshot(page, 'no-companion-from-disk');
        assert.match(message, /site\.xo/);
        assert.match(message, /web server/);
        assert.match(message, /Tamblin/);
    });
});

h.test('a stale companion loses to its file over http and stands in for it from disk', async ({ browser }) => {
    const site = siteWithIndex();
    site.searchpage(['--index', 'site.xo']);
    // Changed by hand after the page was written: the companion still holds the old bytes.
    site.write('site.xo', h.indexText([{ title: 'Edited by hand', url: 'ref.htm' }]));
    await h.eachWay(browser, site, async (page, how) => {
        await h.viewerReady(page);
        assert.deepStrictEqual(await h.treeTitles(page),
            how === 'http' ? ['Edited by hand'] : TITLES);
    });
    // A save through Tamblin's core writes the companion again.
    const converted = site.cli(['convert', 'site.xo', 'site.xo']);
    assert.strictEqual(converted.status, 0, converted.stderr);
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        assert.deepStrictEqual(await h.treeTitles(page), ['Edited by hand']);
    });
});

h.test('hostile bytes in an index stay text when read through the companion', async ({ browser }) => {
    // Index fields cannot hold ';', so the quote and the call are closed without one.
    const hostile = ['"),alert(1),//', '</script><script>alert(2)</script>',
        'line\u2028separator', '<img src=x onerror=alert(3)>'];
    const site = siteWithIndex(hostile.map((title) => ({ title, url: 'ref.htm' })));
    site.searchpage(['--index', 'site.xo']);
    const { page, errors, context } = await h.open(browser, 'about:blank');
    const dialogs = [];
    page.on('dialog', (d) => { dialogs.push(d.message()); d.dismiss(); });
    await page.goto(site.fileUrl('Search.html'));
    await h.viewerReady(page);
    assert.deepStrictEqual(await h.treeTitles(page), hostile);
    assert.deepStrictEqual(dialogs, []);
    assert.strictEqual(await page.locator('.nv-viewer img[src=x]').count(), 0);
    h.noErrors(errors);
    await context.close();
});

h.test('a language file is read through its companion from disk', async ({ browser }) => {
    const site = siteWithIndex();
    site.write('fr.xol', FRENCH);
    site.searchpage(['--index', 'site.xo', '--language-file', 'fr.xol', '--language-code', 'fr']);
    assert.ok(site.exists('fr.xol.js'));
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        const tabs = await page.locator('.nv-viewer [role=tab]').allTextContents();
        assert.ok(tabs.includes('Sommaire'), tabs.join(', '));
    });
});

h.test('side-by-side page: entries open in its frame, from disk and from a server', async ({ browser }) => {
    const site = siteWithIndex();
    site.searchpage(['--layout', 'side', '--index', 'site.xo']);
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        const frame = page.frame({ name: 'pages' });
        assert.ok(frame, 'the page has its frame');
        await h.openEntry(page, 'Reference');
        await frame.waitForURL(/ref\.htm$/);
        assert.match(page.url(), /Search\.html/); // the search page stays
        // The sidebar fills its height, beside the frame.
        const box = await page.locator('#nv-side .nv-viewer').boundingBox();
        const pages = await page.locator('#nv-pages').boundingBox();
        assert.ok(box.height > 600, `viewer ${box.height} high`);
        assert.ok(pages.x >= box.x + box.width, 'frame right of the viewer');
        await h.snapshot(page, 'side-desktop');
        // The page's own parts; the viewer inside has tests of its own.
        assert.deepStrictEqual(await h.axe(page, '#nv-splitter, #nv-pages, #nv-side > h1'), []);
    });
});

h.test('frameset of old: the page in one frame opens entries in the other', async ({ browser }) => {
    const site = siteWithIndex();
    site.searchpage(['--target', 'main', '--index', 'site.xo']);
    site.frameset('frames.html', { first: 'start.htm' });
    await h.eachWay(browser, site, async (page) => {
        const contents = page.frame({ name: 'contents' });
        await contents.waitForSelector('.nv-viewer [role=treeitem]');
        await h.treeRow(contents, 'Reference').dblclick();
        await page.frame({ name: 'main' }).waitForURL(/ref\.htm$/);
        assert.match(contents.url(), /Search\.html(#.*)?$/);
    }, { page: 'frames.html' });
});

h.test('side-by-side page: the bar between sidebar and frame resizes by keyboard and mouse', async ({ browser }) => {
    const site = siteWithIndex();
    site.searchpage(['--layout', 'side', '--index', 'site.xo']);
    const { page, errors, context } = await h.open(browser, site.fileUrl('Search.html'));
    await h.viewerReady(page);
    const width = () => page.locator('#nv-side').evaluate((el) => el.getBoundingClientRect().width);
    assert.strictEqual(await width(), 400);
    await page.locator('#nv-splitter').focus();
    await page.keyboard.press('ArrowRight');
    assert.strictEqual(await width(), 416);
    await page.keyboard.press('Shift+ArrowLeft');
    assert.strictEqual(await width(), 336);
    assert.strictEqual(await page.locator('#nv-splitter').getAttribute('aria-valuenow'), '336');
    const bar = await page.locator('#nv-splitter').boundingBox();
    await page.mouse.move(bar.x + 4, bar.y + 100);
    await page.mouse.down();
    await page.mouse.move(600, bar.y + 100, { steps: 4 });
    await page.mouse.up();
    assert.strictEqual(await width(), 600);
    // The viewer follows: its rows are laid out for the new width.
    const viewer = await page.locator('#nv-side .nv-viewer').boundingBox();
    assert.ok(viewer.width > 560, `viewer ${viewer.width} wide`);
    h.noErrors(errors);
    await context.close();
});

h.test('side-by-side page on a phone: the index behind a button over the page', async ({ browser }) => {
    const site = siteWithIndex();
    site.searchpage(['--layout', 'side', '--index', 'site.xo']);
    await h.eachWay(browser, site, async (page) => {
        await h.viewerReady(page);
        const button = page.locator('#nv-show');
        assert.ok(await button.isVisible());
        const size = await button.boundingBox();
        assert.ok(size.width >= 44 && size.height >= 44, 'a touch target');
        // At first the index covers the screen, so the reader can choose a page.
        assert.ok(await page.locator('#nv-side').isVisible());
        assert.strictEqual(await button.getAttribute('aria-expanded'), 'true');
        await h.snapshot(page, 'side-phone-index');
        await h.treeRow(page, 'Reference').dblclick();
        await page.frame({ name: 'pages' }).waitForURL(/ref\.htm$/);
        await page.waitForFunction(() => !document.body.classList.contains('nv-side-open'));
        assert.ok(!(await page.locator('#nv-side').isVisible()));
        const frame = await page.locator('#nv-pages').boundingBox();
        assert.strictEqual(Math.round(frame.width), 360);
        await h.snapshot(page, 'side-phone-page');
        await button.tap();
        assert.ok(await page.locator('#nv-side').isVisible());
        assert.deepStrictEqual(await h.axe(page, '#nv-show, #nv-pages'), []);
        assert.strictEqual(await page.evaluate(() => document.documentElement.scrollWidth), 360);
    }, h.PHONE);
});

h.run();
