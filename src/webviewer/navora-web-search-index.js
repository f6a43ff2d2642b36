// The full-text search index the scan writes beside an index file (SITE.xo.search/), read
// part by part: the list first, then only the word parts of the words typed, the page parts
// of the results shown and the text parts of their snippets. No DOM: parts come through the
// loader the caller gives, as bytes. What a part gives is decoded once and kept, so that each
// keystroke does only the work its new characters ask for.
(function (nv) {
'use strict';

// Word parts a prefix being typed may load: a short one looks at few, a longer one reads on.
const partsFor = (prefix) => (prefix.length < 2 ? 2 : prefix.length < 3 ? 4 : 16);
const SNIPPET_BEFORE = 60;
const SNIPPET_AFTER = 140;
// Pages numbers fit in 21 bits: a result's sort key is its score above its page.
const PAGE_BITS = 2097152;
const SCORE_TOP = 1e9;
// Added to the places kept of a word whose pages come as a bitmap (SearchWordPart).
const BITMAP = 32;

const base36 = (s) => parseInt(s, 36);
const utf8 = new TextDecoder('utf-8');

// Unsigned LEB128 numbers of a part, as the scan writes them (SearchWordPart).
class Numbers {
    constructor(bytes, at = 0, end = bytes.length) {
        this.bytes = bytes;
        this.at = at;
        this.end = end;
    }

    next() {
        let value = 0;
        let scale = 1;
        for (let i = 0; i < 5; i += 1) {
            if (this.at >= this.end) throw new Error('part cut short');
            const b = this.bytes[this.at];
            this.at += 1;
            value += (b & 0x7f) * scale;
            if (b < 0x80) return value;
            scale *= 128;
        }
        throw new Error('bad number');
    }
}

// The words of a word part and where each one's pages are; the pages read when first asked.
function readWordPart(bytes) {
    const entries = [];
    const numbers = new Numbers(bytes);
    let last = new Uint8Array(0);
    while (numbers.at < bytes.length) {
        const shared = numbers.next();
        const size = numbers.next();
        if (shared > last.length || numbers.at + size > bytes.length) throw new Error('bad word');
        const raw = new Uint8Array(shared + size);
        raw.set(last.subarray(0, shared));
        raw.set(bytes.subarray(numbers.at, numbers.at + size), shared);
        numbers.at += size;
        last = raw;
        const kept = numbers.next();
        const count = numbers.next();
        const length = numbers.next();
        if (numbers.at + length > bytes.length) throw new Error('bad word');
        entries.push({ word: utf8.decode(raw), kept, count, bytes, start: numbers.at,
            end: numbers.at + length, pages: null });
        numbers.at += length;
    }
    return entries;
}

// A word's pages: {pages, values (count << 2 | flags), offsetStart, offsets}, typed arrays.
function pagesOf(entry) {
    if (entry.pages) return entry.pages;
    const { count } = entry;
    const kept = entry.kept & ~BITMAP;
    const numbers = new Numbers(entry.bytes, entry.start, entry.end);
    const pages = new Uint32Array(count);
    const values = new Uint32Array(count);
    const offsetStart = new Uint32Array(count + 1);
    const offsets = [];
    // Words on most pages list them as a bitmap.
    const bitmap = entry.kept & BITMAP;
    if (bitmap) {
        const size = numbers.next();
        let n = 0;
        for (let b = 0; b < size && numbers.at + b < numbers.end; b += 1) {
            const byte = entry.bytes[numbers.at + b];
            for (let bit = 0; bit < 8; bit += 1) {
                if (byte >> bit & 1 && n < count) {
                    pages[n] = b * 8 + bit;
                    n += 1;
                }
            }
        }
        if (n !== count) throw new Error('bad bitmap');
        numbers.at += size;
    }
    let page = 0;
    for (let i = 0; i < count; i += 1) {
        if (!bitmap) {
            page += numbers.next();
            pages[i] = page;
        }
        values[i] = numbers.next();
        offsetStart[i] = offsets.length;
        const n = kept ? numbers.next() : 0;
        let offset = 0;
        for (let k = 0; k < n; k += 1) {
            offset += numbers.next();
            offsets.push(offset);
        }
    }
    offsetStart[count] = offsets.length;
    entry.pages = { pages, values, offsetStart, offsets: Uint32Array.from(offsets) };
    return entry.pages;
}

// The words that begin with one prefix merged into one list of pages, as a word's.
function mergeLists(lists, pageCount) {
    if (lists.length === 1) return lists[0];
    const values = new Uint32Array(pageCount);
    const seen = new Uint8Array(pageCount);
    const offsetCount = new Uint32Array(pageCount);
    for (const list of lists) {
        for (let i = 0; i < list.pages.length; i += 1) {
            const p = list.pages[i];
            seen[p] = 1;
            // Counts add up, flags join.
            values[p] = ((values[p] >>> 2) + (list.values[i] >>> 2)) * 4
                | (values[p] & 3) | (list.values[i] & 3);
            offsetCount[p] += list.offsetStart[i + 1] - list.offsetStart[i];
        }
    }
    let n = 0;
    for (let p = 0; p < pageCount; p += 1) n += seen[p];
    const pages = new Uint32Array(n);
    const merged = new Uint32Array(n);
    const offsetStart = new Uint32Array(n + 1);
    const where = new Int32Array(pageCount);
    let total = 0;
    for (let p = 0, i = 0; p < pageCount; p += 1) {
        if (!seen[p]) continue;
        pages[i] = p;
        merged[i] = values[p];
        offsetStart[i] = total;
        where[p] = total;
        total += offsetCount[p];
        i += 1;
    }
    offsetStart[n] = total;
    const offsets = new Uint32Array(total);
    for (const list of lists) {
        for (let i = 0; i < list.pages.length; i += 1) {
            const p = list.pages[i];
            for (let k = list.offsetStart[i]; k < list.offsetStart[i + 1]; k += 1) {
                offsets[where[p]] = list.offsets[k];
                where[p] += 1;
            }
        }
    }
    for (let i = 0; i < n; i += 1) offsets.subarray(offsetStart[i], offsetStart[i + 1]).sort();
    return { pages, values: merged, offsetStart, offsets };
}

// Index of `page` in a list's pages, or -1.
function find(list, page) {
    let lo = 0;
    let hi = list.pages.length - 1;
    while (lo <= hi) {
        const mid = (lo + hi) >> 1;
        const p = list.pages[mid];
        if (p === page) return mid;
        if (p < page) lo = mid + 1;
        else hi = mid - 1;
    }
    return -1;
}

const offsetsAt = (list, i) => list.offsets.subarray(list.offsetStart[i], list.offsetStart[i + 1]);

// The smallest distance between two ascending lists of places; Infinity when one is empty.
function nearest(a, b) {
    let best = Infinity;
    for (let i = 0, j = 0; i < a.length && j < b.length;) {
        const d = a[i] - b[j];
        best = Math.min(best, Math.abs(d));
        if (d < 0) i += 1;
        else j += 1;
    }
    return best;
}

class SearchIndex {
    // loadPart(name) -> Promise of the bytes of part `name` ("index", "w3", "p0", "t12").
    constructor(loadPart) {
        this.loadPart = loadPart;
        this.parts = new Map();
        this.terms = new Map();
        this.ranked = new Map();
        this.pageCount = 0;
        this.firsts = [];
        this.lasts = [];
    }

    part(name) {
        if (!this.parts.has(name)) {
            const loading = this.loadPart(name).catch((e) => {
                this.parts.delete(name);
                throw e;
            });
            this.parts.set(name, loading);
        }
        return this.parts.get(name);
    }

    // What part `name` gives, read by `read` once.
    decoded(name, read) {
        const key = `${name}:`;
        if (!this.parts.has(key)) {
            const reading = this.part(name).then(read).catch((e) => {
                this.parts.delete(key);
                throw e;
            });
            this.parts.set(key, reading);
        }
        return this.parts.get(key);
    }

    // Reads the list; false when it is not one this viewer reads.
    async open() {
        const lines = utf8.decode(await this.part('index')).split('\n');
        if (lines[0] !== 'navora-search 2') return false;
        const [count, perPart] = (lines[1] || '').split(' ').map(Number);
        if (!Number.isInteger(count) || !(perPart > 0) || count >= PAGE_BITS) return false;
        this.pageCount = count;
        this.perPart = perPart;
        for (const line of lines.slice(2)) {
            if (line === '') continue;
            const [first, last] = line.split(' ');
            this.firsts.push(first);
            this.lasts.push(last === undefined ? first : last);
        }
        return true;
    }

    // The word parts that hold `word` or, for a prefix, words that begin with it.
    partsOf(word, prefix) {
        const cmp = nv.searchWords.compareWords;
        let lo = 0;
        let hi = this.firsts.length;
        while (lo < hi) {
            const mid = (lo + hi) >> 1;
            if (cmp(this.lasts[mid], word) < 0) lo = mid + 1;
            else hi = mid;
        }
        const found = [];
        const limit = prefix ? partsFor(word) : 1;
        for (let n = lo; n < this.firsts.length && found.length < limit; n += 1) {
            const first = this.firsts[n];
            const holds = prefix ? cmp(first, word) <= 0 || first.startsWith(word) : cmp(first, word) <= 0;
            if (!holds) break;
            found.push(n);
        }
        return found;
    }

    // The pages of `word` (or of every word it begins), merged by page.
    async term(word, prefix) {
        const key = `${prefix ? '>' : '='}${word}`;
        if (!this.terms.has(key)) {
            const reading = Promise.all(this.partsOf(word, prefix)
                .map((n) => this.decoded(`w${n}`, readWordPart))).then((parts) => {
                const lists = [];
                for (const entries of parts) {
                    for (const entry of entries) {
                        if (prefix ? entry.word.startsWith(word) : entry.word === word) {
                            lists.push(pagesOf(entry));
                        }
                    }
                }
                return lists.length ? withBase(mergeLists(lists, this.pageCount)) : null;
            }).catch((e) => {
                this.terms.delete(key);
                throw e;
            });
            this.terms.set(key, reading);
        }
        return this.terms.get(key);
    }

    // The pages of `query`, best first: {results: [{page, score, lists}], total, words,
    // prefix}; `limit` results at most. Words joined by a dot or the like (os.path) must
    // stand next to each other where the pages keep their places.
    async search(query, limit = Infinity) {
        const words = nv.searchWords.split(query);
        if (!words.length) return { results: [], total: 0, words: [] };
        const last = query.codePointAt(query.length - 1);
        const folded = [];
        nv.searchWords.fold(last, folded);
        const prefix = folded.some((c) => nv.searchWords.kindOf(c) !== 0);
        const lists = await Promise.all(words.map((w, i) => this.term(w.word,
            prefix && i === words.length - 1)));
        if (lists.some((l) => l === null)) return { results: [], total: 0, words: words.map((w) => w.word), prefix };
        const joined = words.map((w, i) => i > 0 && joinedTo(query, words[i - 1], w));
        // The same words again (a key typed and taken back) rank from what was kept.
        const key = JSON.stringify([words.map((w) => [w.word, w.start]), joined, prefix]);
        let keys = this.ranked.get(key);
        if (!keys) {
            keys = rank(lists, joined, words);
            if (this.ranked.size >= 32) this.ranked.delete(this.ranked.keys().next().value);
            this.ranked.set(key, keys);
        }
        const results = [];
        for (let i = 0; i < keys.length && i < limit; i += 1) {
            const page = keys[i] % PAGE_BITS;
            results.push({ page, score: (SCORE_TOP - Math.floor(keys[i] / PAGE_BITS)) / 1000, lists });
        }
        return { results, total: keys.length, words: words.map((w) => w.word), prefix };
    }

    // {url, title, sections: [{start, part, index}]} of page `id`.
    async page(id) {
        const n = Math.floor(id / this.perPart);
        const lines = await this.decoded(`p${n}`, (bytes) => utf8.decode(bytes).split('\n')
            .filter((l) => l !== '').map((line) => {
                const [url, title, list] = line.split('\t');
                const numbers = list ? list.split(',').map(base36) : [];
                const sections = [];
                for (let i = 0; i + 2 < numbers.length; i += 3) {
                    sections.push({ start: numbers[i], part: numbers[i + 1], index: numbers[i + 2] });
                }
                return { url, title, sections };
            }));
        return lines[id % this.perPart];
    }

    async section(part, index) {
        const lines = await this.decoded(`t${part}`, (bytes) => utf8.decode(bytes).split('\n'));
        return lines[index] || '';
    }

    // The text around the best place of the words in page `id`: {text, marks: [[from, to]]},
    // marks where a word of the query stands. A page that keeps no places of its words (the
    // commonest words) shows the first place in its text where one stands.
    async snippet(id, result, words, prefix) {
        const page = await this.page(id);
        if (!page || !page.sections.length) return { text: '', marks: [] };
        const at = bestOffset(result.lists, id);
        let s = 0;
        while (at >= 0 && s + 1 < page.sections.length && page.sections[s + 1].start <= at) s += 1;
        const section = page.sections[s];
        const text = await this.section(section.part, section.index);
        let local = at - section.start;
        if (at < 0) {
            const first = marks(text, words, prefix, 0)[0];
            local = first ? first[0] : 0;
        }
        let from = Math.max(0, local - SNIPPET_BEFORE);
        let to = Math.min(text.length, local + SNIPPET_AFTER);
        // Whole words at the ends.
        if (from > 0) from = Math.max(from, text.lastIndexOf(' ', from) + 1);
        const space = text.indexOf(' ', to);
        if (to < text.length && space !== -1 && space - to < 20) to = space;
        const piece = text.slice(from, to);
        return { text: (from > 0 ? '\u2026' : '') + piece + (to < text.length ? '\u2026' : ''),
            marks: marks(piece, words, prefix, from > 0 ? 1 : 0) };
    }
}

// Whether `word` follows `before` in the query with only a dot, dash or the like between.
function joinedTo(query, before, word) {
    const between = query.slice(before.end, word.start);
    return between.length === 1 && /[.\-_:/]/.test(between);
}

// The pages that hold every list, as sort keys: the score (best first) above the page number.
// Title hits first, then headings, then how often and how near each other.
function rank(lists, joined, words) {
    const order = lists.map((l, i) => i).sort((a, b) => lists[a].pages.length - lists[b].pages.length);
    const smallest = lists[order[0]];
    const at = new Int32Array(lists.length);
    const keys = new Float64Array(smallest.pages.length);
    let found = 0;
    for (let i = 0; i < smallest.pages.length; i += 1) {
        const page = smallest.pages[i];
        let all = true;
        for (let k = 1; k < order.length && all; k += 1) {
            const list = lists[order[k]];
            let j = at[order[k]];
            while (j < list.pages.length && list.pages[j] < page) j += 1;
            at[order[k]] = j;
            all = j < list.pages.length && list.pages[j] === page;
        }
        if (!all) continue;
        at[order[0]] = i;
        const score = scoreOf(lists, at, joined, words);
        if (score < 0) continue;
        keys[found] = Math.round(SCORE_TOP - score * 1000) * PAGE_BITS + page;
        found += 1;
    }
    return keys.subarray(0, found).sort();
}

// What each page of a list scores by itself: its title, headings and how often.
function withBase(list) {
    const base = new Float64Array(list.pages.length);
    for (let i = 0; i < base.length; i += 1) {
        const v = list.values[i];
        base[i] = (v & 1 ? 1000 : 0) + (v & 2 ? 100 : 0) + 10 * Math.log2(1 + (v >>> 2));
    }
    list.base = base;
    return list;
}

function scoreOf(lists, at, joined, words) {
    let total = 0;
    for (let k = 0; k < lists.length; k += 1) total += lists[k].base[at[k]];
    for (let k = 0; k + 1 < lists.length; k += 1) {
        const a = offsetsAt(lists[k], at[k]);
        const b = offsetsAt(lists[k + 1], at[k + 1]);
        // Dotted names (os.path): the words must stand next to each other. Where a page
        // keeps only some places of a word, a pair not seen among them may be in the rest.
        if (joined[k + 1] && !adjacent(a, b, words[k + 1].start - words[k].start)
            && keepsAll(lists[k], at[k]) && keepsAll(lists[k + 1], at[k + 1])) return -1;
        const d = nearest(a, b);
        if (d !== Infinity) total += 50 / (1 + d / 8);
    }
    return total;
}

// Whether some place in `b` stands `gap` after one in `a`.
function adjacent(a, b, gap) {
    for (let i = 0, j = 0; i < a.length && j < b.length;) {
        const d = b[j] - a[i];
        if (d === gap) return true;
        if (d < gap) j += 1;
        else i += 1;
    }
    return false;
}

// Whether a page keeps every place of a word in its text (a title's count has none).
function keepsAll(list, i) {
    const kept = list.offsetStart[i + 1] - list.offsetStart[i];
    return kept === list.values[i] >>> 2 && (list.values[i] & 1) === 0;
}

// The first word's place nearest the others' in page `id`; -1 when it keeps none.
function bestOffset(lists, id) {
    const all = lists.map((l) => {
        const i = find(l, id);
        return i < 0 ? new Uint32Array(0) : offsetsAt(l, i);
    });
    if (!all[0].length) return -1;
    let best = all[0][0];
    let bestDistance = Infinity;
    for (const a of all[0]) {
        let distance = 0;
        for (const other of all.slice(1)) {
            const d = nearest([a], other);
            distance += d === Infinity ? 0 : d;
        }
        if (distance < bestDistance) {
            best = a;
            bestDistance = distance;
        }
    }
    return best;
}

function marks(piece, words, prefix, shift) {
    const found = [];
    for (const w of nv.searchWords.split(piece)) {
        const hit = words.some((q, i) => (prefix && i === words.length - 1 ? w.word.startsWith(q) : w.word === q));
        if (hit) found.push([w.start + shift, w.end + shift]);
    }
    return found;
}

// The data of a part from its script: what the scan writes around the bytes, exactly.
const OPENING = '/* Written by Tamblin: a part of the full-text search index of the index file this '
    + 'folder is named after, for the search page\'s viewer. */\r\n'
    + 'if (typeof navoraSearchPart === "function") navoraSearchPart(2, "';
const CLOSING = '");\r\n';
function partBase64(script) {
    if (!script.startsWith(OPENING) || !script.endsWith(CLOSING)) return null;
    const data = script.slice(OPENING.length, script.length - CLOSING.length);
    return /^[A-Za-z0-9+/]*={0,2}$/.test(data) && data.length % 4 === 0 ? data : null;
}

// The bytes of a part's base64.
function partBytes(base64) {
    const binary = atob(base64);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; i += 1) bytes[i] = binary.charCodeAt(i);
    return bytes;
}

// The name of the search index's folder for an index file's address.
function searchFolder(indexUrl) {
    return `${String(indexUrl).replace(/[?#].*$/, '')}.search/`;
}

Object.assign(nv, {
    SearchIndex, searchPartBase64: partBase64, searchPartBytes: partBytes, searchFolder,
    SEARCH_PART_VERSION: 2
});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('search-index', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
