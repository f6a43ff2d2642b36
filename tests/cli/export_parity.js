// Holds the script viewer's index reader against `tamblin-cli export --json`: both must
// give the same model for every file of the index reader's fuzz corpus, for a large file
// from the benchmark generator and for many small random files full of the oddities real
// index files carry (bad lines, references, old formats, stray bytes, other line ends).
//
// node export_parity.js TAMBLIN_CLI NAVORA_WEB_JS CORPUS_DIR [GEN_INDEX]
// Exit 0 same everywhere, 1 a difference (the first one of each file is printed),
// 77 the viewer's script is not there to test.
'use strict';

const childProcess = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { random } = require(path.join(__dirname, '..', 'support', 'seeded_random.js'));

const [cli, viewerScript, corpusDir, genIndex] = process.argv.slice(2);
if (!cli || !viewerScript || !corpusDir) {
    console.error('usage: node export_parity.js TAMBLIN_CLI NAVORA_WEB_JS CORPUS_DIR [GEN_INDEX]');
    process.exit(64);
}
if (!fs.existsSync(viewerScript)) {
    console.log(`skipped: ${viewerScript} is not there`);
    process.exit(77);
}
const viewer = require(path.resolve(viewerScript));
for (const name of ['readIndex', 'decodeBytes']) {
    if (typeof viewer[name] !== 'function') {
        console.error(`${viewerScript} exports no function ${name}`);
        process.exit(1);
    }
}

// ---- Random index files, reproducible from the seed.

function generate(seed) {
    const rnd = random(seed);
    const pick = (list) => list[Math.floor(rnd() * list.length)];
    const chance = (p) => rnd() < p;
    const int = (n) => Math.floor(rnd() * n);
    // Each file has one flavour of bytes, so files come out valid UTF-8, Windows-1252
    // or broken UTF-8, and both sides must decide the same.
    const flavour = pick(['ascii', 'utf8', 'cp1252', 'broken']);
    const words = {
        ascii: ['Home', 'Guide', 'a b', '<img src=x onerror=alert(1)>', '"quoted"', 'back\\slash',
            'tab\there', 'x', 'javascript:alert(1)', '#top', 'http://a.example/'],
        utf8: ['Caf\u00e9', '\u65e5\u672c', '\u{1F600}', 'Stra\u00dfe', '\u2028sep', 'na\u00efve'],
        cp1252: ['Caf\xe9', '\x80uro', '\x93quote\x94', '\x81\x8d\x8f\x90\x9d', 'Stra\xdfe'],
        broken: ['\xc3', '\xed\xa0\x80', '\xe0\x80\xaf', '\xf4\x90\x80\x80', 'ok\xc3\xa9'],
    };
    let pool = words.ascii.concat(words[flavour]);
    const text = () => {
        let t = pick(pool);
        if (chance(0.2)) t = ' ' + t + ' ';
        if (chance(0.05)) t = '';
        if (chance(0.03)) t += '\0';
        return t;
    };
    const ids = [];
    const bases = [];
    const num = () => pick([
        String(int(12)), String(int(12)), String(int(12)), '0', '00', '-1', '-0', '1x', 'x1', '',
        '+3', ' 2 ', '2147483647', '2147483648', '99999999999', String(ids.length ? pick(ids) : 1),
    ]);
    const ref = () => {
        const id = ids.length && chance(0.8) ? pick(ids) : int(30);
        return pick(['&' + id, '&' + id + pick([' rest', '#a', 'x', '']), '&', '&x', '&&' + id,
            '&' + id + '&' + id]);
    };
    const field = (refs) => (refs && chance(0.4) ? ref() : text());
    const target = () => pick(['', '_blank', '_self', 'main', ' _top ']);

    const lines = [];
    const header = pick(['XO0;2;1;1;Tamblin 1.1.18', 'XO0;2;1;1', 'XO0;2;1;1', 'XO0;2;1;1', '0;2;1;1', 'XO0;1;2;Old;1999',
        'XO0;1;1;Old', 'XO0;0;1998', 'XO0;2;1;2', 'XO0;3;1', 'xo0;2;1;1', ' XO0 ;2;1;1', '',
        'XOX', null]);
    if (header !== null) lines.push(header);
    if (chance(0.5)) lines.push(`1;${text()};${text()}`);
    const count = 5 + int(60);
    for (let i = 0; i < count; ++i) {
        const id = chance(0.9) ? (ids.length ? Math.max(...ids) : 0) + 1 + int(2)
            : pick([0, -1, ids.length || 1]);
        switch (pick([1, 2, 3, 3, 5, 5, 5, 5, 6, 7, 7, 7, 7, 'junk'])) {
        case 1:
            lines.push(`1;${id};${text()};${text()}` +
                (chance(0.6) ? `;${ids.length ? pick([0, -1, pick(ids)]) : 0}` : '') +
                (chance(0.3) ? `;${text()}` : ''));
            ids.push(id);
            break;
        case 2:
            lines.push(`2;${field(true)};${field(true)};${field(true)}` +
                (chance(0.5) ? `;${target()}` : ''));
            break;
        case 3:
            if (chance(0.7)) {
                const baseId = chance(0.8) ? String(bases.length + 1) : num();
                bases.push(baseId);
                lines.push(`3;${baseId};${pick(['docs', 'http://h.example/a/', '', 'x/'])}` +
                    (chance(0.5) ? `;${target()}` : ''));
            } else {
                lines.push(`3;${text()}`);
            }
            break;
        case 5: {
            const parent = ids.length && chance(0.8) ? pick(ids) : pick([0, -1, 99]);
            const base = chance(0.5) || !bases.length ? '' : chance(0.9) ? pick(bases) : num();
            const title = chance(0.9) ? pick(pool) : text();
            const parts = [5, id, base, text(), title, target(), parent, text()];
            lines.push(parts.slice(0, chance(0.1) ? 4 : 5 + int(4)).join(';') +
                (chance(0.3) ? ';' : ''));
            ids.push(id);
            break;
        }
        case 6:
            lines.push(`6;${chance(0.2) ? 0 : num()};${text()}`);
            break;
        case 7:
            if (ids.length && chance(0.5)) {
                // As Tamblin writes the keywords of an entry.
                const owner = '&' + pick(ids);
                lines.push(`7;${owner}${pick(['', ' more'])};${owner}${pick(['', '#a'])};` +
                    `${owner}${pick(['', ' (x)'])};${target()}`);
            } else {
                lines.push(`7;${field(true)};${field(true)};${field(true)}` +
                    (chance(0.6) ? `;${target()}` : ''));
            }
            break;
        default:
            lines.push(pick(['4;x', 'x;1', '   ', ';5;x', '8;a', '-1;a', '0;2;1;1', '05;1;;a;A',
                ' 7 ; p ; u ; t ', '5', '7;;;', '\ttab;1', text()]));
        }
    }
    const ends = pick([['\r\n'], ['\n'], ['\r\n', '\n', '\r', '\r\r\n']]);
    let body = lines.map((line) => line + pick(ends)).join('');
    if (chance(0.3)) body = body.replace(/[\r\n]+$/, '');
    if (chance(0.1)) body = '\ufeff' + body;
    if (chance(0.1)) body = '\n' + body;
    // Texts above are written byte for byte: a character below 256 is one byte, and only
    // the UTF-8 flavour's characters above that are written as UTF-8.
    const bytes = [];
    for (const ch of body) {
        const code = ch.codePointAt(0);
        if (code < 256 && ch !== '\ufeff') bytes.push(code);
        else bytes.push(...Buffer.from(ch, 'utf8'));
    }
    // Texts of the UTF-8 flavour written below 256 (such as é) must be UTF-8 too.
    return flavour === 'utf8' ? Buffer.from(body, 'utf8') : Buffer.from(bytes);
}

// ---- Comparing.

// The first place where a and b differ, as a path and the two values; null when equal.
// Walks with its own stack, so deep trees are no problem.
function firstDifference(a, b) {
    const stack = [[a, b, '']];
    while (stack.length) {
        const [x, y, where] = stack.pop();
        const kind = (v) => (v === null ? 'null' : Array.isArray(v) ? 'array' : typeof v);
        if (kind(x) !== kind(y)) return { where, cxx: x, js: y };
        if (kind(x) === 'array') {
            if (x.length !== y.length) {
                return { where: `${where} (length ${x.length} vs ${y.length})`, cxx: x, js: y };
            }
            for (let i = x.length - 1; i >= 0; --i) stack.push([x[i], y[i], `${where}[${i}]`]);
        } else if (kind(x) === 'object') {
            const kx = Object.keys(x);
            const ky = Object.keys(y);
            if (kx.join() !== ky.join()) {
                return { where: `${where} (keys ${kx.join(',')} vs ${ky.join(',')})`, cxx: x, js: y };
            }
            for (let i = kx.length - 1; i >= 0; --i) {
                stack.push([x[kx[i]], y[kx[i]], `${where}.${kx[i]}`]);
            }
        } else if (x !== y) {
            return { where, cxx: x, js: y };
        }
    }
    return null;
}

function show(value) {
    const text = JSON.stringify(value);
    return text && text.length > 300 ? text.slice(0, 300) + '...' : text;
}

function compareFile(file) {
    // GLIBC_TUNABLES set keeps tamblin-cli from starting itself a second time to ask
    // for huge pages, which a small file does not need.
    const run = childProcess.spawnSync(cli, ['export', '--json', file], {
        maxBuffer: 1 << 30, encoding: 'utf8', env: { ...process.env, GLIBC_TUNABLES: '' },
    });
    if (run.status !== 0 && run.status !== 1) {
        return `tamblin-cli export ended with ${run.status}: ${run.stderr}`;
    }
    const cxx = JSON.parse(run.stdout);
    if ((run.status === 1) !== (cxx.badLines.length > 0)) {
        return `exit status ${run.status} with ${cxx.badLines.length} bad lines`;
    }
    let js;
    try {
        const bytes = new Uint8Array(fs.readFileSync(file));
        js = JSON.parse(JSON.stringify(viewer.readIndex(viewer.decodeBytes(bytes, ''))));
    } catch (error) {
        return `the viewer's reader failed: ${error && error.stack}`;
    }
    const difference = firstDifference(cxx, js);
    if (!difference) return null;
    return `first difference at ${difference.where || '(top)'}:\n` +
        `    tamblin-cli: ${show(difference.cxx)}\n    viewer:      ${show(difference.js)}`;
}

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'export-parity-'));
const files = fs.readdirSync(corpusDir).sort().map((name) => path.join(corpusDir, name));
const generatedCount = Number(process.env.PARITY_RANDOM_FILES || 200);
for (let seed = 1; seed <= generatedCount; ++seed) {
    const file = path.join(scratch, `random-${seed}.xo`);
    fs.writeFileSync(file, generate(seed));
    files.push(file);
}
// A chain of entries each inside the one before.
const chain = ['XO0;2;1;1'];
for (let id = 1; id <= 2000; ++id) chain.push(`5;${id};;p${id}.htm;P ${id};;${id - 1};`);
fs.writeFileSync(path.join(scratch, 'chain.xo'), chain.join('\r\n'));
files.push(path.join(scratch, 'chain.xo'));
if (genIndex) {
    const big = path.join(scratch, 'generated.xo');
    fs.writeFileSync(big, childProcess.execFileSync(genIndex, ['5000', '2'], { maxBuffer: 1 << 30 }));
    files.push(big);
}

let failed = 0;
for (const file of files) {
    const problem = compareFile(file);
    if (problem) {
        ++failed;
        console.log(`DIFFERENT ${file}\n  ${problem}`);
    }
}
console.log(`${files.length - failed} of ${files.length} files read the same`);
if (failed) {
    console.log(`kept for a look: ${scratch}`);
} else {
    fs.rmSync(scratch, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
