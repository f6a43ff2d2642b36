'use strict';
// Search pages written by tamblin-cli, opened as readers open them: a double click (file://,
// no switch) and from a web server.
const h = require('./harness');

const { assert } = h;

const TREE = [
    { title: 'Getting started', url: 'start.htm', keywords: ['setup'],
        children: [{ title: 'Installing', url: 'install.htm', keywords: ['install'] }] },
    { title: 'Reference', url: 'ref.htm', keywords: ['options'] },
];

function siteWithIndex() {
    const site = h.site();
    site.write('site.xo', h.indexText(TREE));
    for (const name of ['start.htm', 'install.htm', 'ref.htm']) {
        site.write(name, `<html><head><title>${name}</title></head><body>${name}</body></html>`);
    }
    return site;
}

h.test('the browser runs with no switch that opens files to pages', async ({ browser }) => {
    const line = await h.commandLine(browser);
    for (const flag of h.RELAXING) assert.ok(!line.includes(flag), `${flag} in ${line}`);
});

h.test('over http the default page shows the index', async ({ browser }) => {
    const site = siteWithIndex();
    site.searchpage(['--index', 'site.xo']);
    const server = await h.serve(site.dir);
    try {
        const { page, errors, context } = await h.open(browser, server.url('Search.html'));
        await h.viewerReady(page);
        assert.deepStrictEqual(await h.treeTitles(page), ['Getting started', 'Reference']);
        h.noErrors(errors);
        await context.close();
    } finally {
        await server.close();
    }
});

h.run();
