// Words for the Search tab, split and folded exactly as the scan splits and folds them when it
// writes the search index (the tables are shared: navora-web-search-fold.js): letters and
// digits once folded make words; Chinese and Japanese text gives every pair of neighbours.
(function (nv) {
'use strict';

const MAX_WORD_LENGTH = 64;
const SEPARATOR = 0;
const WORD = 1;
const PAIR = 2;

// The tables' numbers as scripts/gen_word_fold.js packs them: base 32, zigzagged.
function unpack(text) {
    const out = [];
    let v = 0;
    for (let i = 0; i < text.length; i += 1) {
        const c = text.charCodeAt(i);
        let d = c >= 0x41 && c <= 0x5a ? c - 0x41 : c >= 0x61 && c <= 0x66 ? c - 0x61 + 26 : -1;
        if (d >= 0) {
            v = v * 32 + d;
            out.push(v % 2 ? -(v + 1) / 2 : v / 2);
            v = 0;
            continue;
        }
        d = c >= 0x67 && c <= 0x7a ? c - 0x67 : c >= 0x30 && c <= 0x39 ? c - 0x30 + 20 : c === 0x2d ? 30 : 31;
        v = v * 32 + d;
    }
    return out;
}

let tables = null;
function load() {
    if (tables) return tables;
    const packed = nv.wordFoldTables;
    const t = { kinds: unpack(packed.kinds), runs: unpack(packed.runs), multi: unpack(packed.multi) };
    const firsts = [];
    const kinds = [];
    let first = 0;
    for (let i = 0; i < t.kinds.length; i += 2) {
        first += t.kinds[i];
        firsts.push(first);
        kinds.push(t.kinds[i + 1]);
    }
    const folds = new Map();
    first = 0;
    for (let i = 0; i + 3 < t.runs.length; i += 4) {
        first += t.runs[i];
        const [count, step, delta] = [t.runs[i + 1], t.runs[i + 2], t.runs[i + 3]];
        for (let k = 0; k < count; k += 1) {
            const c = first + k * step;
            folds.set(c, delta === 0 ? [] : [c + delta]);
        }
    }
    let at = 0;
    for (let i = 0; i + 1 < t.multi.length;) {
        at += t.multi[i];
        const length = t.multi[i + 1];
        folds.set(at, t.multi.slice(i + 2, i + 2 + length));
        i += 2 + length;
    }
    tables = { firsts, kinds, folds };
    return tables;
}

function kindOf(c) {
    if (c < 0x80) {
        return (c >= 0x61 && c <= 0x7a) || (c >= 0x41 && c <= 0x5a) || (c >= 0x30 && c <= 0x39)
            ? WORD : SEPARATOR;
    }
    const { firsts, kinds } = load();
    let lo = 0;
    let hi = firsts.length - 1;
    while (lo < hi) {
        const mid = (lo + hi + 1) >> 1;
        if (firsts[mid] <= c) lo = mid;
        else hi = mid - 1;
    }
    return kinds[lo];
}

// Appends the code points `c` folds to.
function fold(c, out) {
    if (c < 0x80) {
        out.push(c >= 0x41 && c <= 0x5a ? c + 32 : c);
        return;
    }
    if (c >= 0xac00 && c <= 0xd7a3) {
        const s = c - 0xac00;
        out.push(0x1100 + Math.floor(s / 588), 0x1161 + Math.floor((s % 588) / 28));
        if (s % 28 !== 0) out.push(0x11a7 + (s % 28));
        return;
    }
    const folded = load().folds.get(c);
    if (folded === undefined) out.push(c);
    else for (const f of folded) out.push(f);
}

// The words of `text`: {word, start, end}, positions in UTF-16 code units of `text`.
function split(text) {
    const words = [];
    let word = [];
    let wordStart = 0;
    let wordEnd = 0;
    let pairs = [];
    const emit = (points, start, end) => words.push({ word: String.fromCodePoint(...points), start, end });
    const endWord = () => {
        if (word.length) emit(word, wordStart, wordEnd);
        word = [];
    };
    const endPairs = () => {
        if (pairs.length === 1) emit([pairs[0].c], pairs[0].start, pairs[0].end);
        for (let i = 0; i + 1 < pairs.length; i += 1) {
            emit([pairs[i].c, pairs[i + 1].c], pairs[i].start, pairs[i + 1].end);
        }
        pairs = [];
    };
    const folded = [];
    for (let at = 0; at < text.length;) {
        const c = text.codePointAt(at);
        const end = at + (c >= 0x10000 ? 2 : 1);
        folded.length = 0;
        fold(c, folded);
        for (const f of folded) {
            const kind = kindOf(f);
            if (kind === WORD) {
                endPairs();
                if (!word.length) wordStart = at;
                if (word.length < MAX_WORD_LENGTH) word.push(f);
                wordEnd = end;
            } else if (kind === PAIR) {
                endWord();
                pairs.push({ c: f, start: at, end });
            } else {
                endWord();
                endPairs();
            }
        }
        at = end;
    }
    endWord();
    endPairs();
    return words;
}

// Words in code point order, the order of the scan's UTF-8 bytes (not of UTF-16 units).
function compareWords(a, b) {
    const n = Math.min(a.length, b.length);
    for (let i = 0; i < n; i += 1) {
        const x = a.charCodeAt(i);
        const y = b.charCodeAt(i);
        if (x === y) continue;
        const high = (u) => (u >= 0xd800 && u <= 0xdfff ? u + 0x2000 : u >= 0xe000 ? u - 0x800 : u);
        return high(x) < high(y) ? -1 : 1;
    }
    return a.length - b.length;
}

nv.searchWords = { kindOf, fold, split, compareWords, MAX_WORD_LENGTH };
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('search-words', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
