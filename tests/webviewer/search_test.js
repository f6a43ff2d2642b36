// node search_test.js VIEWER_DIR TAMBLIN_CLI: the Search tab's reading of the search index
// that `tamblin-cli scan` writes, without a DOM: the parts it loads, ranking, several words,
// the last word as a prefix, snippets and their marks, hostile parts.
'use strict';
const assert = require('assert');
const childProcess = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const [folder, cli] = process.argv.slice(2);
const nv = require(path.join(folder, 'navora-web.js'));

function page(title, body) {
    return `<html><head><title>${title}</title><script>var walrus = 1;</script></head>`
        + `<body>${body}</body></html>`;
}

const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'tamblin-search-'));
process.on('exit', () => fs.rmSync(dir, { recursive: true, force: true }));
const write = (name, text) => {
    fs.mkdirSync(path.dirname(path.join(dir, name)), { recursive: true });
    fs.writeFileSync(path.join(dir, name), text);
};
write('docs/index.htm', page('Start', '<a href="walrus.htm">1</a><a href="zoo.htm">2</a>'
    + '<a href="ja.htm">3</a><a href="many.htm">4</a><a href="apart.htm">5</a>'));
// "os" and "path", but not as os.path.
write('docs/apart.htm', page('Apart', '<p>The os module; a path.</p>'));
write('docs/walrus.htm', page('The walrus operator', '<h2>Assignment expressions</h2>'
    + '<p>Use := to assign. os.path.join and Python 3.11.</p>'));
write('docs/zoo.htm', page('Animals', '<p>A walrus lives in the sea. Walrus, walrus: '
    + 'walruses and seals.</p><p style="display: none">invisible</p><p>Ré&shy;sumé</p>'));
write('docs/ja.htm', page('日本語', '<p>東京都に住んでいます。</p>'));
write('docs/many.htm', page('Many', `<p>${'filler '.repeat(5000)} sea walrus near</p>`));
const scan = childProcess.spawnSync(cli, ['scan', 'docs/index.htm', '-o', 'site.xo'], { cwd: dir });
assert.strictEqual(scan.status, 0, String(scan.stderr));

const loaded = [];
function loader(name, ahead) {
    loaded.push(ahead ? `${name} ahead` : name);
    const script = fs.readFileSync(path.join(dir, 'site.xo.search', `${name}.js`), 'latin1');
    const data = nv.searchPartBase64(script);
    if (data === null) return Promise.reject(new Error(`${name}: not a part`));
    return Promise.resolve(new Uint8Array(Buffer.from(data, 'base64')));
}

async function titles(index, query) {
    const found = await index.search(query);
    return Promise.all(found.results.map(async (r) => (await index.page(r.page)).title));
}

async function main() {
    const index = new nv.SearchIndex(loader);
    assert.ok(await index.open());
    assert.strictEqual(index.pageCount, 6);

    // Title hit first; the last word as a prefix; several words mean all of them.
    assert.deepStrictEqual(await titles(index, 'walrus'), ['The walrus operator', 'Animals', 'Many']);
    assert.deepStrictEqual(await titles(index, 'WALR'), ['The walrus operator', 'Animals', 'Many']);
    assert.deepStrictEqual(await titles(index, 'walr '), []);
    assert.deepStrictEqual(await titles(index, 'walrus sea'), ['Animals', 'Many']);
    assert.deepStrictEqual(await titles(index, 'sea walrus'), ['Animals', 'Many']);
    // Headings before plain text; digits and dotted names.
    assert.deepStrictEqual(await titles(index, 'expressions'), ['The walrus operator']);
    assert.deepStrictEqual(await titles(index, 'os.path'), ['The walrus operator']);
    assert.deepStrictEqual((await titles(index, 'os path')).sort(), ['Apart', 'The walrus operator']);
    assert.deepStrictEqual(await titles(index, '3.11'), ['The walrus operator']);
    // Accents and soft hyphens fold away; script and hidden text are no words.
    assert.deepStrictEqual(await titles(index, 'resume'), ['Animals']);
    assert.deepStrictEqual(await titles(index, 'invisible'), []);
    assert.deepStrictEqual(await titles(index, 'var'), []);
    // Japanese by pairs of characters.
    assert.deepStrictEqual(await titles(index, '東京'), ['日本語']);
    assert.deepStrictEqual(await titles(index, '京都に'), ['日本語']);

    // Snippets: around the words, marked where they stand, from the text part of the place.
    const found = await index.search('walrus near');
    const many = found.results[0];
    const snippet = await index.snippet(many.page, many, found.words, found.prefix);
    const marked = snippet.marks.map(([a, b]) => snippet.text.slice(a, b));
    assert.deepStrictEqual(marked, ['walrus', 'near']);
    assert.ok(snippet.text.startsWith('\u2026'), snippet.text);
    const zoo = (await index.search('walrus')).results[1];
    const z = await index.snippet(zoo.page, zoo, ['walrus'], true);
    assert.deepStrictEqual(z.marks.map(([a, b]) => z.text.slice(a, b)),
        ['walrus', 'Walrus', 'walrus', 'walruses']);

    // A prefix that grows within the same words keeps its ranking; a key that a newer one
    // has overtaken by the time its parts are in is not ranked.
    const walr = await index.search('walr', 50);
    const walru = await index.search('walru', 50);
    assert.strictEqual(walru.ranked, walr.ranked);
    assert.notStrictEqual((await index.search('walrus sea', 50)).ranked, walr.ranked);
    assert.strictEqual(await index.search('walrus ne', 50, () => true), null);
    assert.deepStrictEqual(await titles(index, 'walrus ne'), ['Many']);

    // Only the parts of the words typed: one word part of several, one page part.
    loaded.length = 0;
    const fresh = new nv.SearchIndex(loader);
    await fresh.open();
    await fresh.search('sea');
    assert.deepStrictEqual(loaded.filter((n) => n[0] === 'w').length, 1);
    // A small site's page parts are read ahead; a larger one's wait for their results.
    loaded.length = 0;
    fresh.readPagesAhead(0);
    assert.deepStrictEqual(loaded, []);
    fresh.readPagesAhead(8);
    assert.deepStrictEqual(loaded, ['p0 ahead']);

    // A word's first characters are read from the start parts and first.js, and find what the
    // word parts find: one character alone its best pages and how many, the last of several
    // words every page it begins a word of, two characters the words they begin merged.
    const starts = new nv.SearchIndex(loader);
    await starts.open();
    assert.ok(starts.startParts > 0);
    // The ranking run on made-up pages before the first key leaves nothing behind.
    loaded.length = 0;
    starts.warmUp();
    assert.deepStrictEqual([loaded, starts.lists.size, starts.ranked.size], [[], 0, 0]);
    const words = new nv.SearchIndex(loader);
    await words.open();
    words.startParts = 0;
    const pagesOf = async (index, query) => {
        const found = await index.search(query);
        return { pages: found.results.map((r) => r.page), total: found.total };
    };
    for (const query of ['w', 'wa', 'W', 's', 'se', 're', 'o', 'walrus s', 'sea w', 'os p', 'walrus q',
        '東', '東京', 'x', 'zq']) {
        const [fast, slow] = [await pagesOf(starts, query), await pagesOf(words, query)];
        assert.strictEqual(fast.total, slow.total, query);
        // The last word of several does not rank yet: the same pages, in their order.
        if (query.includes(' ')) fast.pages.sort();
        if (query.includes(' ')) slow.pages.sort();
        assert.deepStrictEqual(fast.pages, slow.pages, query);
    }
    // What each key waits for: first.js for one character; after it, the start part, read
    // ahead; for two, that part, and then the word parts a third will want.
    loaded.length = 0;
    const keys = new nv.SearchIndex(loader);
    await keys.open();
    await keys.search('w');
    assert.deepStrictEqual(loaded.filter((n) => n !== 'index'), ['first']);
    keys.readAhead();
    const part = `s${'w'.codePointAt(0) % keys.startParts}`;
    assert.deepStrictEqual(loaded.slice(-1), [part]);
    loaded.length = 0;
    await keys.search('wa');
    assert.deepStrictEqual(loaded, []);
    keys.readAhead();
    assert.ok(loaded.length > 0 && loaded.every((n) => /^w\d+$/.test(n)), String(loaded));
    loaded.length = 0;
    assert.deepStrictEqual(await titles(keys, 'wal'), ['The walrus operator', 'Animals', 'Many']);
    assert.deepStrictEqual(loaded, ['p0']);

    // A part that is not one the scan writes is refused, whatever it holds.
    const opening = fs.readFileSync(path.join(dir, 'site.xo.search', 'index.js'), 'latin1');
    assert.strictEqual(nv.searchPartBase64(opening.replace('navoraSearchPart(3, "', 'alert(2, "')), null);
    assert.strictEqual(nv.searchPartBase64(opening.replace(/"\);\r\n$/, '"+alert(1));\r\n')), null);
    // Packed bytes as the scan packs them; a copy from before the start or past the length
    // said is refused.
    const { unpack } = nv.searchParts;
    assert.strictEqual(Buffer.from(unpack(Uint8Array.of(6, 2, 97, 98, 0, 2))).toString(), 'ababab');
    for (const bad of [[8, 2, 97, 98, 0, 3], [5, 2, 97, 98, 0, 2], [1, 2, 97, 98], [3, 2, 97, 98, 0]]) {
        assert.throws(() => unpack(Uint8Array.from(bad)), /bad part|cut short/, String(bad));
    }
    assert.strictEqual(nv.searchFolder('http://x/a/site.xo?v=1#t'), 'http://x/a/site.xo.search/');

    // The words that begin with a prefix: one list, each page's places in order, few or many.
    const forty = Uint32Array.from({ length: 40 }, (_, i) => 2 * i + 1);
    const merged = nv.searchRank.mergeLists([
        { pages: Uint32Array.of(1, 3), values: Uint32Array.of(2 << 2, 40 << 2 | 1),
            offsetStart: Uint32Array.of(0, 2, 42), offsets: Uint32Array.from([10, 30, ...forty]) },
        { pages: Uint32Array.of(3, 4), values: Uint32Array.of(40 << 2 | 2, 1 << 2),
            offsetStart: Uint32Array.of(0, 40, 41), offsets: Uint32Array.from([...forty.map((v) => v - 1), 7]) },
    ], 5);
    assert.deepStrictEqual(Array.from(merged.pages), [1, 3, 4]);
    assert.deepStrictEqual(Array.from(merged.values), [2 << 2, 80 << 2 | 3, 1 << 2]);
    // Only the pages asked for, one (looked up) or all (walked along).
    const placesOf3 = Array.from({ length: 80 }, (_, i) => i);
    const one = nv.searchRank.placesIn(merged, Uint32Array.of(1));
    assert.deepStrictEqual(Array.from(one.start), [0, 80]);
    assert.deepStrictEqual(Array.from(one.offsets), placesOf3);
    const all = nv.searchRank.placesIn(merged, Uint32Array.of(0, 1, 2));
    assert.deepStrictEqual(Array.from(all.start), [0, 2, 82, 83]);
    assert.deepStrictEqual(Array.from(all.offsets), [10, 30, ...placesOf3, 7]);

    // The result count: one page in English; a language file that says "%1 pages found" in
    // its own words but has no text for one page keeps its own words.
    const english = (n) => nv.VIEWER_TEXTS[n - 20];
    assert.deepStrictEqual([0, 1, 2].map((n) => nv.searchCountText(english, n)),
        ['No pages found', '1 page found', '2 pages found']);
    const lines = ['2;1', 'Deutsch', ...nv.LANGUAGE_DEFAULTS, ...nv.VIEWER_TEXTS.slice(0, 21)];
    lines[lines.length - 1] = '%1 Seiten gefunden';
    const german = nv.readLanguage(lines.join('\r\n'));
    const text = (n) => german.viewerTexts[n - 20];
    assert.strictEqual(nv.searchCountText(text, 1), '1 Seiten gefunden');
    german.viewerTexts[21] = '%1 Seite gefunden';
    assert.deepStrictEqual([1, 3].map((n) => nv.searchCountText(text, n)),
        ['1 Seite gefunden', '3 Seiten gefunden']);

    // Code point order, as the scan sorts words.
    const cmp = nv.searchWords.compareWords;
    assert.ok(cmp('\uffff', '\u{10000}') < 0 && cmp('a', 'ab') < 0 && cmp('b', 'ab') > 0);
    console.log('search tests passed');
}

main().catch((e) => {
    console.error(e);
    process.exit(1);
});
