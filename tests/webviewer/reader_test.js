// The script viewer's reader in Node: decoding by the wizard's encoding names, language
// files, and the reader's answers to the oddities of old and hand-made index files.
// node reader_test.js NAVORA_WEB_JS
'use strict';
const assert = require('assert');
const path = require('path');
const viewer = require(path.resolve(process.argv[2]));
const { readIndex, readLanguage, decodeBytes } = viewer;

let failures = 0;
function check(name, body) {
    try {
        body();
    } catch (error) {
        ++failures;
        console.log(`FAILED ${name}\n${error.message}`);
    }
}
const bytes = (list) => new Uint8Array(list);
const read = (lines) => JSON.parse(JSON.stringify(readIndex(lines.join('\r\n'))));

check('decoding by the wizard\'s names and without one', () => {
    const cafe = [0x43, 0x61, 0x66, 0xC3, 0xA9];
    assert.strictEqual(decodeBytes(bytes(cafe), ''), 'Caf\u00e9');
    assert.strictEqual(decodeBytes(bytes([0xEF, 0xBB, 0xBF, ...cafe]), ''), 'Caf\u00e9');
    // Not valid UTF-8: every byte is Windows-1252, the unassigned ones C1 controls.
    assert.strictEqual(decodeBytes(bytes([0x80, 0x81, 0x8D, 0x93, 0xE9]), ''),
        '\u20ac\u0081\u008d\u201c\u00e9');
    // A byte order mark before bytes that are not UTF-8 is read as Windows-1252 too.
    assert.strictEqual(decodeBytes(bytes([0xEF, 0xBB, 0xBF, 0xE9]), ''), '\u00ef\u00bb\u00bf\u00e9');
    // Overlong forms and surrogates are not UTF-8.
    assert.strictEqual(decodeBytes(bytes([0xC0, 0xAF]), ''), '\u00c0\u00af');
    assert.strictEqual(decodeBytes(bytes([0xED, 0xA0, 0x80]), ''), '\u00ed\u00a0\u20ac');
    assert.strictEqual(decodeBytes(bytes(cafe), '8859_1'), 'Caf\u00c3\u00a9');
    assert.strictEqual(decodeBytes(bytes(cafe), 'DBCS_ASCII'), 'Caf\u00c3\u00a9');
    assert.strictEqual(decodeBytes(bytes([0xE9]), 'UTF8'), '\ufffd');
    assert.strictEqual(decodeBytes(bytes([0x00, 0x41, 0x00, 0xE9]), 'Unicode'), 'A\u00e9');
    assert.strictEqual(decodeBytes(bytes([0xFF, 0xFE, 0x41, 0x00]), 'Unicode'), 'A');
    assert.strictEqual(decodeBytes(bytes([0xFE, 0xFF, 0x00, 0x41]), 'Unicode'), 'A');
    // Shift_JIS, then EUC-JP, for the same two characters.
    assert.strictEqual(decodeBytes(bytes([0x93, 0xfa, 0x96, 0x7b]), 'JISAutoDetect'), '\u65e5\u672c');
    assert.strictEqual(decodeBytes(bytes([0xc6, 0xfc, 0xcb, 0xdc]), 'JISAutoDetect'), '\u65e5\u672c');
    // A large file goes through in pieces.
    const big = new Uint8Array(100000).fill(0xE9);
    assert.strictEqual(decodeBytes(big, '').length, 100000);
});

check('the example file of the format', () => {
    const model = read(['XO0;2;1;1;Tamblin 1.1.18', '1;My site;December 6 2026', '3;1;docs/;main',
        '5;1;1;index.htm;Welcome;;0;', '7;&1;&1;&1;', '7;&1 page;&1#top;&1 (top);',
        '5;2;;guide/a.htm;Guide;_blank;1;', '6;2;Read this first', '5;3;1;old.htm;Old page;;-1;',
        '7;Search help;search.htm;Search;']);
    assert.deepStrictEqual(model.format, [2, 1]);
    assert.deepStrictEqual(model.contents.map((e) => [e.title, e.inContents]),
        [['Welcome', true], ['Old page', false]]);
    const welcome = model.contents[0];
    assert.deepStrictEqual(welcome.keywords.map((k) => [k.phrase, k.fullUrl, k.fullTitle]),
        [['Welcome', 'docs/index.htm', 'Welcome'], ['Welcome page', 'docs/index.htm#top', 'Welcome (top)']]);
    assert.deepStrictEqual(welcome.children.map((e) => [e.title, e.target, e.ownTarget, e.tip]),
        [['Guide', '_blank', true, 'Read this first']]);
    assert.deepStrictEqual(model.otherKeywords,
        [{ phrase: 'Search help', url: 'search.htm', title: 'Search', target: '' }]);
    assert.deepStrictEqual(Object.keys(welcome), ['id', 'title', 'url', 'baseUrl', 'fullUrl', 'target',
        'ownTarget', 'icon', 'tip', 'inContents', 'keywords', 'children']);
});

check('bad lines are kept, skipped and do not stop reading', () => {
    const model = read(['0;2;1;1;no prefix', '4;x', 'x;1', '0;2;1;1', '   ', ';5;x', '5;1;;a.htm;',
        '5;1;;a.htm;A', '5;2;7;b.htm;B;;0;', '5;1;;c.htm;C;;0;', '6;9;tip', '']);
    assert.deepStrictEqual(model.format, [2, 1]);
    assert.deepStrictEqual(model.badLines, ['4;x', 'x;1', '0;2;1;1', '5;1;;a.htm;', '5;2;7;b.htm;B;;0;',
        '5;1;;c.htm;C;;0;', '6;9;tip']);
    assert.deepStrictEqual(model.contents.map((e) => [e.title, e.inContents]), [['A', false]]);
    const coding = read(['XO0;2;1;2', '3;1;docs/']);
    assert.deepStrictEqual(coding.format, [-1, 1]);
    assert.deepStrictEqual(coding.badLines, ['XO0;2;1;2', '3;1;docs/']);
    // A header after an empty first line is a bad line.
    assert.deepStrictEqual(read(['', 'XO0;2;1;1']).badLines, ['XO0;2;1;1']);
});

check('references: agreeing, disagreeing and missing', () => {
    const model = read(['XO0;2;1;1', '5;3;;g.htm;Guide;;0;', '5;4;;h.htm;Other;;0;',
        '7;&3 intro;;&3;', '7;&3 intro;&4#a;Title;', '7;&9x;u.htm;T;', '7;&3;elsewhere.htm;&3;']);
    assert.deepStrictEqual(model.contents[0].keywords.map((k) => [k.phrase, k.anchor, k.extraTitle]),
        [['Guide intro', '', '']]);
    assert.deepStrictEqual(model.otherKeywords, [
        { phrase: 'Guide intro', url: 'h.htm#a', title: 'Title', target: '' },
        { phrase: '9x', url: 'u.htm', title: 'T', target: '' },
        // The URL does not continue the entry's own: kept apart, where it still leads.
        { phrase: 'Guide', url: 'elsewhere.htm', title: 'Guide', target: '' },
    ]);
});

check('formats 0 and 1: unnamed base URLs and old records', () => {
    const model = read(['XO0;1;2;Old site;1999', '1;1;a.htm;A;0', '3;http://h.example/x',
        '1;2;b.htm;B;1;icon.gif', '1;3;http://abs.example/c.htm;C;0', '2;Bee;B;&2#k;main']);
    assert.strictEqual(model.description, 'Old site');
    assert.deepStrictEqual(model.baseUrls.map((b) => [b.id, b.url]), [[1, ''], [2, 'http://h.example/x/']]);
    assert.deepStrictEqual(model.contents.map((e) => [e.title, e.baseUrl, e.fullUrl]),
        [['A', 1, 'a.htm'], ['C', null, 'http://abs.example/c.htm']]);
    const b = model.contents[0].children[0];
    assert.deepStrictEqual([b.fullUrl, b.icon], ['http://h.example/x/b.htm', 'icon.gif']);
    assert.deepStrictEqual(b.keywords.map((k) => [k.phrase, k.anchor, k.target, k.ownTarget]),
        [['Bee', '#k', 'main', true]]);
    const zero = read(['XO0;0;1998', '1;1;a.htm;A']);
    assert.deepStrictEqual([zero.description, zero.date, zero.contents.length], ['No description', '1998', 1]);
});

check('numbers as the editor reads them', () => {
    const model = read(['XO0;2;1;1', '5;+3;;a.htm;A;;0;', '5;-0;;b.htm;B;;0;', '5;0;;c.htm;C;;0;',
        '5;99999999999;;d.htm;D;;0;', '7;p;&99999999999999;t;']);
    assert.deepStrictEqual(model.contents.map((e) => e.id), [3, 2147483647]);
    assert.deepStrictEqual(model.badLines, ['5;-0;;b.htm;B;;0;', '5;0;;c.htm;C;;0;']);
    // A reference's id saturates as well, so it names the entry with the largest id.
    assert.deepStrictEqual(model.contents[1].keywords.map((k) => k.fullUrl), ['d.htm']);
});

check('language files', () => {
    const language = readLanguage('2;1\r\n\r\nFrancais\r\nChercher : \r\n \r\n');
    assert.strictEqual(language.description, 'Francais');
    assert.strictEqual(language.texts[0], 'Chercher : ');
    assert.strictEqual(language.texts[1], ' ');
    assert.strictEqual(language.texts[3], 'Contents');
    assert.strictEqual(language.byName.displayPage, 'Display page');
    assert.deepStrictEqual(language.badLines, []);
    assert.deepStrictEqual(readLanguage('3;0\nX').badLines, ['3;0']);
    assert.strictEqual(readLanguage('').texts.length, 19);
});

check('a deep and a large index', () => {
    const lines = ['XO0;2;1;1'];
    for (let id = 1; id <= 5000; ++id) lines.push(`5;${id};;p${id}.htm;P ${id};;${id - 1};`);
    let model = readIndex(lines.join('\n'));
    let depth = 0;
    for (let e = model.contents[0]; e !== undefined; e = model.entries.children(e)[0]) ++depth;
    assert.strictEqual(depth, 5000);
    const wide = ['XO0;2;1;1'];
    for (let id = 1; id <= 50000; ++id) wide.push(`5;${id};;p.htm;P;;${id > 10 ? Math.floor((id - 1) / 10) : 0};`);
    model = readIndex(wide.join('\r\n'));
    assert.strictEqual(model.contents.length, 10);
    assert.strictEqual(model.badLines.length, 0);
});

check('the tree as rows: opening, closing, all below, parents, sorting', () => {
    const model = readIndex(['XO0;2;1;1', '5;1;;a.htm;b top;;0;', '5;2;;b.htm;A child;;1;',
        '5;3;;c.htm;Z grandchild;;2;', '5;4;;d.htm;a top;;0;', '5;5;;e.htm;hidden;;-1;',
        '5;6;;f.htm;C child;;1;', '7;k;&3;t;', '7;j;&5;u;'].join('\n'));
    const rows = new viewer.TreeRows();
    const shown = () => rows.rows.map((r) => `${r.depth}${r.open ? '-' : '+'}${model.entries.title(r.entry)}`);
    rows.reset(model, false, false);
    assert.deepStrictEqual(shown(), ['0+b top', '0+a top']);
    assert.strictEqual(rows.toggle(1), false);
    assert.strictEqual(rows.toggle(0), true);
    assert.deepStrictEqual(shown(), ['0-b top', '1+A child', '1+C child', '0+a top']);
    rows.expandAll(0);
    assert.deepStrictEqual(shown(), ['0-b top', '1-A child', '2+Z grandchild', '1+C child', '0+a top']);
    assert.deepStrictEqual([rows.parentOf(2), rows.parentOf(3), rows.parentOf(0)], [1, 0, -1]);
    rows.toggle(0);
    assert.deepStrictEqual(shown(), ['0+b top', '0+a top']);
    rows.reset(model, true, true);
    assert.deepStrictEqual(shown(), ['0+a top', '0-b top', '1-A child', '2+Z grandchild', '1+C child']);
    // Entries out of the contents count, and the walk goes deeper than the call stack.
    assert.deepStrictEqual(viewer.countTree(model), { entries: 6, keywords: 2 });
    const deep = ['XO0;2;1;1'];
    for (let id = 1; id <= 20000; ++id) deep.push(`5;${id};;p.htm;P;;${id - 1};`);
    const deepModel = readIndex(deep.join('\n'));
    const rowsOfDeep = viewer.openRows(deepModel.entries, deepModel.contents, 0);
    assert.deepStrictEqual([rowsOfDeep.length, rowsOfDeep[19999].depth], [20000, 19999]);
    // Revealing the deepest entry and remembering the open branches stay linear.
    const deepRows = new viewer.TreeRows();
    deepRows.reset(deepModel, false, false);
    const path = deepRows.pathTo((e) => deepModel.entries.id(e) === 20000);
    assert.deepStrictEqual([path.length, deepRows.reveal(path)], [20000, 19999]);
    const places = deepRows.openPlaces();
    assert.strictEqual(places.length, 19999);
    deepRows.toggle(0);
    deepRows.openAt(places);
    assert.strictEqual(deepRows.rows.length, 20000);
});

check('open branches remembered by place come back, and what no longer fits is passed over', () => {
    const model = readIndex(['XO0;2;1;1', '5;1;;a.htm;A;;0;', '5;2;;b.htm;B;;1;', '5;3;;c.htm;C;;2;',
        '5;4;;d.htm;D;;0;', '5;5;;e.htm;E;;4;', '5;6;;f.htm;F;;4;', '5;7;;g.htm;G;;6;'].join('\n'));
    const rows = new viewer.TreeRows();
    rows.reset(model, false, false);
    rows.toggle(1);
    rows.toggle(0);
    rows.toggle(1);
    rows.toggle(5);
    const places = rows.openPlaces();
    assert.deepStrictEqual(places, [[0, 0], [1, 0], [0, 1], [1, 1]]);
    const shown = () => rows.rows.map((r) => model.entries.title(r.entry)).join('');
    assert.strictEqual(shown(), 'ABCDEFG');
    rows.reset(model, false, false);
    rows.openAt(places.concat([[0, 9], [5, 0]]));
    assert.strictEqual(shown(), 'ABCDEFG');
    rows.reset(model, false, false);
    rows.openAt([[0, 1], [1, 1]]);
    assert.strictEqual(shown(), 'ADEFG');
});

check('keywords grouped by phrase, sorted without case, narrowed by their beginning', () => {
    const model = readIndex(['XO0;2;1;1', '5;1;;a.htm;A;;0;', '7;beta;&1;&1;', '7;Alpha;&1#x;&1;',
        '5;2;;b.htm;B;;1;', '7;alpha;&2;&2;', '7;Beta;&2;&2;', '7;beta;&2#y;&2 (y);',
        '7;alphabet;other.htm;Other;'].join('\n'));
    const index = new viewer.KeywordIndex(model);
    const groups = Array.from({ length: index.count }, (_, g) => g);
    assert.deepStrictEqual(groups.map((g) => [index.phrase(g),
        Array.from(index.keywords(g), (k) => model.keywords.fullUrl(k))]), [
        ['Alpha', ['a.htm#x']], ['alpha', ['b.htm']], ['alphabet', ['other.htm']],
        ['Beta', ['b.htm']], ['beta', ['a.htm', 'b.htm#y']]]);
    const phrases = (text) => {
        const r = index.prefixRange(text);
        return groups.slice(r.from, r.to).map((g) => index.phrase(g));
    };
    assert.deepStrictEqual(phrases('ALPHA'), ['Alpha', 'alpha', 'alphabet']);
    assert.deepStrictEqual(phrases('alphab'), ['alphabet']);
    assert.deepStrictEqual(phrases(''), groups.map((g) => index.phrase(g)));
    assert.deepStrictEqual(phrases('gamma'), []);
    assert.deepStrictEqual(phrases('\uffff'), []);
});

check('the index PARAM, mode words, colours, fonts and which URLs are followed', () => {
    const p = viewer.parseIndexParam('My Site.xo;UTF8,french2.xol;8859_1,sort noindex,sel.htm,a,b,frCA');
    assert.deepStrictEqual([p.indexFile, p.indexEncoding, p.languageFile, p.languageEncoding],
        ['My Site.xo', 'UTF8', 'french2.xol', '8859_1']);
    assert.deepStrictEqual([p.sort, p.noIndex, p.noContents, p.selectUrl, p.initialQuery, p.languageCode],
        [true, true, false, 'sel.htm', 'a,b', 'frCA']);
    assert.deepStrictEqual(viewer.parseIndexParam('x.xo,,,,,en').initialQuery, '');
    assert.deepStrictEqual(viewer.parseMode('Icon High popup'),
        { iconMode: true, high: true, popUp: true, closeAfter: false });
    assert.deepStrictEqual(viewer.parseMode(undefined).iconMode, false);
    assert.deepStrictEqual(['Green', '#FFFFCC', 'url(x)', '#fff'].map(viewer.cssColour),
        ['#00ff00', '#FFFFCC', null, null]);
    assert.deepStrictEqual(viewer.cssFont('Serif bold 14'),
        { family: 'serif', size: '14pt', weight: 'bold', style: null });
    assert.strictEqual(viewer.cssFont('Evil"Font 900px').family, null);
    const base = 'file:///site/search.html';
    assert.strictEqual(viewer.safeUrl('a b.htm#x', base), 'file:///site/a%20b.htm#x');
    assert.strictEqual(viewer.safeUrl('java\tscript:alert(1)', base), null);
    assert.strictEqual(viewer.safeUrl('//evil.example/x', base), null);
    assert.strictEqual(viewer.safeUrl('https://h.example/', base), 'https://h.example/');
    assert.strictEqual(viewer.safeUrl('data:text/html,x', base), null);
});

check('Look for: phrases that begin with the text, then those that hold it further on', () => {
    const model = readIndex(['XO0;2;1;1', '7;aab;u;t;', '7;git-rebase(1);u;t;', '7;rebase;u;t;',
        '7;ab;u;t;', '7;Rebasing;u;t;', '7;xrebasex;u;t;', '7;abab;u;t;'].join('\n'));
    const index = new viewer.KeywordIndex(model);
    const listed = (text, elsewhere = true) => {
        const found = index.search(text, elsewhere);
        const out = [];
        for (let i = 0; i < found.count; ++i) out.push(index.phrase(found.item(i)));
        return [found.begin, out];
    };
    assert.deepStrictEqual(listed('rebase'), [1, ['rebase', 'git-rebase(1)', 'xrebasex']]);
    assert.deepStrictEqual(listed('rebase', false), [1, ['rebase']]);
    // Typed on from the last text, the answer is narrowed from the last one; a group that
    // begins with the shorter text may hold the longer one further on.
    assert.deepStrictEqual(listed('a'), [3, ['aab', 'ab', 'abab', 'git-rebase(1)', 'rebase', 'Rebasing', 'xrebasex']]);
    assert.deepStrictEqual(listed('ab'), [2, ['ab', 'abab', 'aab']]);
    assert.deepStrictEqual(listed('aba'), [1, ['abab']]);
    // Letters deleted: each shorter text finds its own answer again, not the longer one's.
    assert.deepStrictEqual(listed('ab'), [2, ['ab', 'abab', 'aab']]);
    assert.deepStrictEqual(listed('a'), [3, ['aab', 'ab', 'abab', 'git-rebase(1)', 'rebase', 'Rebasing', 'xrebasex']]);
    assert.deepStrictEqual(listed('abab'), [1, ['abab']]);
    assert.deepStrictEqual(listed('REB'), [2, ['rebase', 'Rebasing', 'git-rebase(1)', 'xrebasex']]);
    assert.deepStrictEqual(listed(''), [7, ['aab', 'ab', 'abab', 'git-rebase(1)', 'rebase', 'Rebasing', 'xrebasex']]);
    assert.deepStrictEqual(listed('zz'), [0, []]);
    assert.strictEqual(viewer.parseIndexParam('x.xo,,sort prefixonly,,,en').elsewhere, false);
    assert.strictEqual(viewer.parseIndexParam('x.xo,,,,,en').elsewhere, true);
});

check('Look for over many phrases finds what a plain search of every phrase finds', () => {
    // Phrases of a small alphabet, so that most texts are held by many and some by few; the
    // answers of typed, narrowed and deleted texts must be those of looking at every phrase.
    let seed = 7;
    const random = (n) => {
        seed = (seed * 1103515245 + 12345) % 2147483648;
        return seed % n;
    };
    const letters = 'abAB \u0130\u00e9';
    const lines = ['XO0;2;1;1', '5;1;;a.htm;Owner title;;0;'];
    for (let i = 0; i < 3000; ++i) {
        let phrase = '';
        for (let n = 1 + random(8); n > 0; --n) phrase += letters[random(letters.length)];
        phrase = phrase.trim() || 'a';
        lines.push(i % 3 ? `7;${phrase};&1#k${i};&1;` : `7;&1 ${phrase};&1;&1;`);
    }
    const model = readIndex(lines.join('\r\n'));
    const index = new viewer.KeywordIndex(model);
    const sliced = new viewer.KeywordIndex(model);
    const keys = Array.from({ length: index.count }, (_, g) => index.phrase(g).toLowerCase());
    const expected = (text) => {
        const wanted = text.toLowerCase();
        const begin = keys.filter((k) => k.startsWith(wanted)).length;
        const others = [];
        keys.forEach((k, g) => {
            if (wanted !== '' && k.indexOf(wanted, 1) > 0 && !k.startsWith(wanted)) others.push(g);
        });
        return [begin, others];
    };
    for (const text of ['a', 'ab', 'aba', 'abab', 'ababa', 'abab', 'ab', 'a', '', 'B', 'b a', 'b ab', 'o',
        'owner title a', '\u0130', 'i', '\u00e9a', 'zz', 'a\nb']) {
        const found = index.search(text, true);
        const others = [];
        for (let i = found.begin; i < found.count; ++i) others.push(found.item(i));
        assert.deepStrictEqual([found.begin, others], expected(text), `for "${text}"`);
        if (found.begin) assert.ok(keys[found.item(0)].startsWith(text.toLowerCase()));
        // Found in slices, each stopped as soon as it may be: the same, in the same order.
        const look = sliced.look(text, true);
        while (!look.step(() => true));
        assert.deepStrictEqual([look.begin, Array.from(look.others)], expected(text), `sliced, for "${text}"`);
    }
    // Many holders take many slices; narrowed from an unfinished look's text, the answer is
    // still whole.
    const many = new viewer.KeywordIndex(readIndex(['XO0;2;1;1'].concat(
        Array.from({ length: 3000 }, (_, i) => `7;k${i} ab${i % 7};u;t;`)).join('\n')));
    const look = many.look('a', true);
    let steps = 1;
    while (!look.step(() => true)) ++steps;
    assert.ok(steps > 5, `${steps} slices`);
    assert.deepStrictEqual([look.begin, look.others.length], [0, 3000]);
    many.look('ab', true).step(() => true);
    assert.strictEqual(many.search('ab6', true).count, 428);
    // A look left unfinished (a key typed before it ended) leaves no answer behind it.
    index.look('b', true).step(() => true);
    const after = index.search('ba', true);
    assert.deepStrictEqual(Array.from({ length: after.count - after.begin }, (_, i) => after.item(after.begin + i)),
        expected('ba')[1]);
    // Sorted by phrase without regard to case, one group per phrase.
    for (let g = 1; g < index.count; ++g) assert.ok(keys[g - 1] <= keys[g]);
    assert.strictEqual(new Set(Array.from({ length: index.count }, (_, g) => index.phrase(g))).size, index.count);
});

check('the characters beyond ASCII whose fonts are looked for ahead: each once, whole', () => {
    const all = (text, limit, ms = 50) => {
        const found = new viewer.OtherCharacters(text, limit);
        let scans = 0;
        while (!found.scan(ms)) ++scans;
        return [found.found.join(' '), scans];
    };
    // In the order met; a pair of surrogates is one character, and one without its pair none.
    assert.deepStrictEqual(all('ab\u00e9c\u00e9 \u65e5\u672c\u65e5 \ud83d\ude00x\ud83d\ude00 \ud800z\udc00'),
        ['\u00e9 \u65e5 \u672c \ud83d\ude00', 0]);
    assert.deepStrictEqual(all('only ASCII;\r\n'), ['', 0]);
    assert.deepStrictEqual(all(''), ['', 0]);
    // At most `limit` are wanted: the rest of the text is not looked at.
    const many = Array.from({ length: 300 }, (_, i) => String.fromCharCode(0x4e00 + i));
    assert.strictEqual(all(many.join(''), 100)[0], many.slice(0, 100).join(' '));
    assert.strictEqual(all(many.join('a'), 100)[0], many.slice(0, 100).join(' '));
    // Looked for in slices of time: a slice spent at once still finds the same, slice by slice.
    const long = `${'x'.repeat(2000)}\u0416 `.repeat(500) + '\u0436';
    const [sliced, scans] = all(long, 4096, 0);
    assert.strictEqual(sliced, '\u0416 \u0436');
    assert.ok(scans > 0);
});

check('fields read again from their records when wanted', () => {
    const model = readIndex(['XO0;2;1;1', '3;2;http://h.example/d;win', '5;1;2; a.htm ; Top ;;0; i.gif',
        '5;2;;h.htm;Hidden;;-1;', '5;3;;b.htm;Second;;0;', '6;3;Second tip', '6;3;Later tip',
        '7;&1 one;&1#x;&1 (x);frame', '7;&0 root;&0;&0;', '7;&3;b.htm#y;&3;',
        '5;4;;c.htm;Third;;0;'].join('\r\n'));
    const { entries, keywords } = model;
    // The entries out of the contents come after the others at the top.
    assert.deepStrictEqual(Array.from(model.contents, (e) => entries.title(e)), ['Top', 'Second', 'Third', 'Hidden']);
    const [top, second] = model.contents;
    assert.deepStrictEqual([entries.url(top), entries.fullUrl(top), entries.icon(top), entries.target(top)],
        ['a.htm', 'http://h.example/d/a.htm', 'i.gif', '']);
    assert.strictEqual(entries.tip(second), 'Later tip');
    const [k] = entries.keywords(top);
    assert.deepStrictEqual([keywords.phrase(k), keywords.fullUrl(k), keywords.fullTitle(k), keywords.target(k)],
        ['Top one', 'http://h.example/d/a.htm#x', 'Top (x)', 'frame']);
    const [made] = entries.keywords(second);
    assert.deepStrictEqual([keywords.phrase(made), keywords.anchor(made), keywords.fullUrl(made)],
        ['Second', '#y', 'b.htm#y']);
    // A keyword of the root (reference 0) belongs to no entry: not counted, not listed.
    assert.deepStrictEqual(viewer.countTree(model), { entries: 4, keywords: 2 });
    assert.strictEqual(new viewer.KeywordIndex(model).count, 2);
});

check('the address: each viewer its part, other parts kept, bad escapes ignored', () => {
    let hash = viewer.withViewerState('#top', 1, { tab: 'index', look: 'a&b=c #d', phrase: 'git-rebase(1)' });
    assert.strictEqual(hash, '#top&nv1.tab=index&nv1.look=a%26b%3Dc%20%23d&nv1.phrase=git-rebase(1)');
    hash = viewer.withViewerState(hash, 2, { tab: 'contents', entry: 'docs/a b.htm', index: '2' });
    assert.deepStrictEqual(viewer.viewerState(hash, 1), { tab: 'index', look: 'a&b=c #d', phrase: 'git-rebase(1)' });
    assert.deepStrictEqual(viewer.viewerState(hash, 2), { tab: 'contents', index: '2', entry: 'docs/a b.htm' });
    hash = viewer.withViewerState(hash, 1, { tab: 'contents', look: '' });
    assert.strictEqual(hash, '#top&nv1.tab=contents&nv2.tab=contents&nv2.index=2&nv2.entry=docs%2Fa%20b.htm');
    assert.deepStrictEqual(viewer.viewerState('#nv1.look=%E0%A4&nv1.tab=index&nv1.evil=x&nv0.tab=a', 1), { tab: 'index' });
    assert.deepStrictEqual(viewer.parseFragment('#nv1.look=%E0%A4&nv0.tab=a').others, ['nv1.look=%E0%A4', 'nv0.tab=a']);
    assert.strictEqual(viewer.withViewerState('', 1, {}), '');
    // The Search tab names its words, spaces and all.
    hash = viewer.withViewerState('', 1, { tab: 'search', query: 'walrus & sea' });
    assert.strictEqual(hash, '#nv1.tab=search&nv1.query=walrus%20%26%20sea');
    assert.deepStrictEqual(viewer.viewerState(hash, 1), { tab: 'search', query: 'walrus & sea' });
});

check('new windows never get the page as opener; frames of the page are frames', () => {
    const frames = new Set(['main', 'top']);
    const frameOf = (name) => frames.has(name);
    assert.deepStrictEqual(['', '_self', '_PARENT', '_top'].map((t) => viewer.opensNewContext(t, frameOf)),
        [false, false, false, false]);
    assert.deepStrictEqual(['_blank', '_BLANK', 'elsewhere', '_new'].map((t) => viewer.opensNewContext(t, frameOf)),
        [true, true, true, true]);
    assert.strictEqual(viewer.opensNewContext(' main ', frameOf), false);
    // Where the targets come from: the entry's own, its base URL's, then the page's.
    const model = readIndex(['XO0;2;1;1', '3;1;d/;right', '5;1;1;a.htm;A;;0;', '5;2;1;b.htm;B;own;0;',
        '5;3;;c.htm;C;;0;', '7;k;&3;&3;', '7;l;x.htm;X;'].join('\n'));
    assert.deepStrictEqual(Array.from(model.contents, (e) => viewer.entryTarget(model.entries, e, '_self')),
        ['right', 'own', '_self']);
    assert.deepStrictEqual([model.entries.keywords(model.contents[2])[0], model.otherKeywords[0]]
        .map((k) => viewer.keywordTarget(model.keywords, k, 'f')), ['f', 'f']);
});

check('colours left to the reader, and the viewer\'s own texts after the applet\'s 19', () => {
    const params = (pairs) => new Map(Object.entries(pairs));
    assert.strictEqual(viewer.wizardColours(params({})), true);
    assert.strictEqual(viewer.wizardColours(params({ bgcolour: 'White', cardbgcolor: '#ffffcc', selectcolor: ' green ' })), true);
    assert.strictEqual(viewer.wizardColours(params({ bgcolour: 'white', tipbgcolor: 'yellow' })), false);
    assert.strictEqual(viewer.wizardColours(params({ fgcolour: 'bogus' })), false);
    const applet = readLanguage('2;1\r\nFr\r\n' + Array(19).fill('x').join('\r\n'));
    assert.deepStrictEqual(applet.viewerTexts, viewer.VIEWER_TEXTS);
    assert.strictEqual(applet.viewerTexts[0], 'No keyword begins with "%1"');
    const more = readLanguage('2;1\r\nFr\r\n' + Array(19).fill('x').join('\r\n') + '\r\nAucun mot ne commence par "%1"\r\n');
    assert.strictEqual(more.viewerTexts[0], 'Aucun mot ne commence par "%1"');
    assert.strictEqual(more.viewerTexts[1], viewer.VIEWER_TEXTS[1]);
    assert.strictEqual(more.texts.length, 19);
});

console.log(failures ? `${failures} group(s) failed` : 'all reader tests passed');
process.exit(failures ? 1 : 0);
