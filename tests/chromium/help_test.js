'use strict';
// The help searchable in a browser: the build scans the help pages and writes search.html
// beside them with the index and its full-text search index (TAMBLIN_HELP_DIR, the laid-out
// bin/Doc/Tamblin). A reader opens the page from disk, as the help says, and over http.
const fs = require('fs');
const path = require('path');
const h = require('./harness');

const { assert } = h;
const dir = process.env.TAMBLIN_HELP_DIR || '';

h.test('the shipped help has a search page that finds the words of its pages', async ({ browser }) => {
    for (const name of ['search.html', 'help.xo', 'help.xo.js', 'help.xo.search/index.js',
        'navora-web.js', 'Contents.htm']) {
        assert.ok(fs.existsSync(path.join(dir, name)), `${name} is in ${dir}`);
    }
    // The help tells the reader where the page is.
    assert.match(fs.readFileSync(path.join(dir, 'Contents.htm'), 'latin1'),
        /Doc\/Tamblin\/search\.html/);
    // No path of the machine that built it.
    assert.doesNotMatch(fs.readFileSync(path.join(dir, 'help.xo'), 'latin1'), /tamblin-scan/);
    const server = await h.serve(dir);
    try {
        const fileUrl = (f) => 'file://' + encodeURI(path.join(dir, 'search.html')) + '#' + f;
        for (const url of [(f) => server.url('search.html', f), fileUrl]) {
            const { page, errors, context } = await h.open(browser, url('nv1.tab=search&nv1.query=flatten'));
            try {
                await h.viewerReady(page);
                await page.waitForFunction(() => document.querySelectorAll('.nv-search-title').length > 0
                    && document.querySelector('.nv-search-title').textContent !== '');
                const titles = await page.locator('.nv-search-title').allTextContents();
                // The page with the word in its title first; pages that only mention it after.
                assert.strictEqual(titles[0], 'Flatten', titles.join(' | '));
                assert.ok(titles.length >= 3, titles.join(' | '));
                await page.locator('.nv-search-input').press('Enter');
                await page.frame({ name: 'pages' }).waitForURL(/ID_EDIT_FLATTEN\.htm$/);
                h.noErrors(errors);
            } catch (e) {
                throw new Error(`${page.url()}: ${e.stack || e}`);
            } finally {
                await context.close();
            }
        }
    } finally {
        await server.close();
    }
});

h.run();
