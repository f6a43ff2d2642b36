// Holds the phrase order of `tamblin-cli keywords --json` against the script viewer's own:
// the viewer's grouping of keywords, from whichever of its files holds it, is run in Node on
// the viewer's reading of the same files. Phrases are drawn from letters whose
// lower case is unusual (final sigma, dotted I, letters outside the BMP, ones that sort
// differently in UTF-16 than by code point), in many cases and orders.
//
// node sort_parity.js TAMBLIN_CLI WEBVIEWER_DIR
// Exit 0 same order everywhere, 1 a difference, 77 the viewer groups no keywords here.
'use strict';

const childProcess = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { random } = require(path.join(__dirname, '..', 'support', 'seeded_random.js'));

const [cli, viewerDir] = process.argv.slice(2);
if (!cli || !viewerDir) {
    console.error('usage: node sort_parity.js TAMBLIN_CLI WEBVIEWER_DIR');
    process.exit(64);
}

// The body of a method `name(...) { ... }` in a script's source, by matching braces outside
// strings, comments and regular expressions simple enough for the viewer's code.
function methodSource(source, name) {
    const at = source.search(new RegExp(`\\n\\s*${name}\\s*\\(\\s*\\)\\s*\\{`));
    if (at < 0) return null;
    let i = source.indexOf('{', at);
    const start = i;
    let depth = 0;
    for (; i < source.length; ++i) {
        const c = source[i];
        if (c === '"' || c === "'" || c === '`') {
            for (++i; i < source.length && source[i] !== c; ++i) if (source[i] === '\\') ++i;
        } else if (c === '/' && source[i + 1] === '/') {
            i = source.indexOf('\n', i);
        } else if (c === '{') {
            ++depth;
        } else if (c === '}' && --depth === 0) {
            return source.slice(start + 1, i);
        }
    }
    return null;
}

// The viewer's entry script loads its parts in Node and exports what they define: its own
// groupKeywords(model) where it has one; an older single-file viewer kept the same code as a
// method, keywordGroups(), which is taken from its source and run on a stand-in `this`.
const entry = path.resolve(viewerDir, 'navora-web.js');
const reader = require(entry);
if (typeof reader.readIndex !== 'function' || typeof reader.decodeBytes !== 'function') {
    console.error(`${entry} exports no readIndex and decodeBytes`);
    process.exit(1);
}
let groupKeywords = typeof reader.groupKeywords === 'function' ? reader.groupKeywords : null;
let holder = 'groupKeywords';
// Today's viewer keeps its groups as numbers in its KeywordIndex; read as the older groups.
if (!groupKeywords && typeof reader.KeywordIndex === 'function') {
    groupKeywords = (model) => {
        const index = new reader.KeywordIndex(model);
        const table = model.keywords;
        const groups = [];
        for (let g = 0; g < index.count; ++g) {
            const keywords = Array.from(index.keywords(g),
                (k) => ({ fullTitle: table.fullTitle(k), fullUrl: table.fullUrl(k) }));
            groups.push({ phrase: index.phrase(g), keywords });
        }
        return groups;
    };
    holder = 'KeywordIndex';
}
if (!groupKeywords) {
    for (const file of fs.readdirSync(viewerDir).filter((f) => f.endsWith('.js')).sort()) {
        const body = methodSource(fs.readFileSync(path.join(viewerDir, file), 'utf8'),
            'keywordGroups');
        if (body) {
            const method = new Function(body);
            groupKeywords = (model) => method.call({ model, groups: null, finishReading() {} });
            holder = `${file}'s keywordGroups`;
            break;
        }
    }
}
if (!groupKeywords) {
    console.log(`skipped: the viewer in ${viewerDir} groups no keywords that this test can find`);
    process.exit(77);
}

function viewerOrder(bytes) {
    const model = reader.readIndex(reader.decodeBytes(new Uint8Array(bytes)));
    return groupKeywords(model).map((g) => ({
        phrase: g.phrase,
        uses: g.keywords.map((k) => [k.fullTitle, k.fullUrl]),
    }));
}

function cliOrder(file) {
    const out = childProcess.execFileSync(cli, ['keywords', file, '--json'], { encoding: 'utf8' });
    return JSON.parse(out).phrases.map((p) => ({ phrase: p.phrase, uses: p.uses }));
}

const pieces = ['a', 'A', 'b', 'Z', ' ', '  ', '-', '_', '\u00df', '\u1e9e', '\u0130', 'i', 'I',
    '\u03a3', '\u03c3', '\u03c2', '\u039f', '\u0345', "'", '\u00c9', '\u00e9', '\u0152',
    '\u2160', '\u24b6', '\uff21', '\ud801\udc00', '\ud801\udc28', '\ue000', '\uffe0', '\u01c5',
    '\u10a0', '\u0041\u0301', '1', 'GIT', 'Git', 'git', 'SYNOPSIS', 'Synopsis', '\u00ff',
    '\u0178', '\u212a', 'k'];

function phraseFrom(rnd) {
    let text = '';
    const n = 1 + Math.floor(rnd() * 4);
    for (let i = 0; i < n; ++i) text += pieces[Math.floor(rnd() * pieces.length)];
    return text.trim() || 'x';
}

function indexFile(seed, cp1252) {
    const rnd = random(seed);
    const lines = ['XO0;2;1;1', '1;Parity;December 06 2026', '3;1;;;'];
    const pages = 2 + Math.floor(rnd() * 6);
    for (let p = 1; p <= pages; ++p) {
        const parent = p > 1 && rnd() < 0.5 ? Math.floor(rnd() * (p - 1)) + 1 : 0;
        lines.push(`5;${p};1;p${p}.htm;Page ${p};;${parent};;`);
    }
    const keywords = 5 + Math.floor(rnd() * 120);
    for (let k = 0; k < keywords; ++k) {
        const phrase = phraseFrom(rnd);
        if (rnd() < 0.15) {
            lines.push(`7;${phrase};http://o.example/${k}#a;Other ${k};;`);
        } else {
            const p = 1 + Math.floor(rnd() * pages);
            lines.push(`7;${phrase};&${p}#k${k};&${p};;`);
        }
    }
    const text = lines.join('\r\n') + '\r\n';
    if (!cp1252) return Buffer.from(text, 'utf8');
    // Only the characters Windows-1252 has, written as its bytes.
    const high = new Map([[0x20ac, 0x80], [0x152, 0x8c], [0x178, 0x9f]]);
    const bytes = [];
    for (const ch of text) {
        const c = ch.codePointAt(0);
        if (c < 0x80 || (c >= 0xa0 && c <= 0xff)) bytes.push(c);
        else if (high.has(c)) bytes.push(high.get(c));
        else bytes.push(0x3f);
    }
    return Buffer.from(bytes);
}

const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'sort-parity-'));
let failures = 0;
try {
    for (let seed = 1; seed <= 60 && failures < 5; ++seed) {
        const bytes = indexFile(seed, seed % 5 === 0);
        const file = path.join(dir, `p${seed}.xo`);
        fs.writeFileSync(file, bytes);
        const ours = JSON.stringify(cliOrder(file));
        const theirs = JSON.stringify(viewerOrder(bytes));
        if (ours !== theirs) {
            ++failures;
            console.error(`seed ${seed}: tamblin-cli ${ours}\n  viewer (${holder}) ${theirs}`);
        }
    }
} finally {
    fs.rmSync(dir, { recursive: true, force: true });
}
if (failures) process.exit(1);
console.log(`same order as the viewer's ${holder} on 60 files`);
