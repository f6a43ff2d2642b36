// The full-text search index the scan writes beside an index file (SITE.xo.search/), read
// part by part: the list first, then only the word parts of the words typed, the page parts
// of the results shown and the text parts of their snippets. No DOM: parts come through the
// loader the caller gives, as text.
(function (nv) {
'use strict';

// Word parts one prefix may load: a short prefix being typed stays within the part where it
// would stand, so that each keystroke fetches little; a longer one reads on.
const partsFor = (prefix) => (prefix.length < 3 ? 1 : 8);
const SNIPPET_BEFORE = 60;
const SNIPPET_AFTER = 140;

const base36 = (s) => parseInt(s, 36);

class SearchIndex {
    // loadPart(name) -> Promise of the text of part `name` ("index", "w3", "p0", "t12").
    constructor(loadPart) {
        this.loadPart = loadPart;
        this.parts = new Map();
        this.pageCount = 0;
        this.firsts = [];
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

    // Reads the list; false when it is not one this viewer reads.
    async open() {
        const lines = (await this.part('index')).split('\n');
        if (lines[0] !== 'navora-search 1') return false;
        const [count, perPart] = (lines[1] || '').split(' ').map(Number);
        if (!Number.isInteger(count) || perPart !== 200) return false;
        this.pageCount = count;
        this.perPart = perPart;
        this.firsts = lines.slice(2).filter((w) => w !== '');
        return true;
    }

    // The word part that `word` would be in.
    partOf(word) {
        const cmp = nv.searchWords.compareWords;
        let lo = 0;
        let hi = this.firsts.length - 1;
        while (lo < hi) {
            const mid = (lo + hi + 1) >> 1;
            if (cmp(this.firsts[mid], word) <= 0) lo = mid;
            else hi = mid - 1;
        }
        return lo;
    }

    async wordLines(n) {
        const key = `lines${n}`;
        if (!this.parts.has(key)) {
            this.parts.set(key, this.part(`w${n}`).then((text) => text.split('\n')
                .filter((l) => l !== '').map((l) => {
                    const tab = l.indexOf('\t');
                    return [l.slice(0, tab), l.slice(tab + 1)];
                })));
        }
        return this.parts.get(key);
    }

    // Postings of `word` (or of every word it begins) merged by page: Map page -> posting.
    async postings(word, prefix) {
        const merged = new Map();
        if (!this.firsts.length) return merged;
        const cmp = nv.searchWords.compareWords;
        const first = this.partOf(word);
        const limit = prefix ? partsFor(word) : 1;
        for (let n = first; n < this.firsts.length && n < first + limit; n += 1) {
            if (n > first && !(prefix && this.firsts[n].startsWith(word))) break;
            for (const [w, list] of await this.wordLines(n)) {
                const hit = prefix ? w.startsWith(word) : w === word;
                if (!hit) {
                    if (cmp(w, word) > 0 && !w.startsWith(word)) break;
                    continue;
                }
                readPostings(list, merged);
            }
        }
        for (const p of merged.values()) p.offsets.sort((a, b) => a - b);
        return merged;
    }

    // The pages of `query`, best first: [{page, score, hits}], and its words.
    async search(query) {
        const words = nv.searchWords.split(query);
        if (!words.length) return { results: [], words: [] };
        const last = query.codePointAt(query.length - 1);
        const folded = [];
        nv.searchWords.fold(last, folded);
        const prefix = folded.some((c) => nv.searchWords.kindOf(c) !== 0);
        const lists = await Promise.all(words.map((w, i) =>
            this.postings(w.word, prefix && i === words.length - 1)));
        const results = [];
        for (const [page, posting] of lists[0]) {
            const hits = [posting];
            for (let i = 1; i < lists.length && hits.length === i; i += 1) {
                const other = lists[i].get(page);
                if (other) hits.push(other);
            }
            if (hits.length === lists.length) results.push({ page, score: score(hits), hits });
        }
        results.sort((a, b) => b.score - a.score || a.page - b.page);
        return { results, words: words.map((w) => w.word), prefix };
    }

    // {url, title, sections: [{start, part, index}]} of page `id`.
    async page(id) {
        const n = Math.floor(id / this.perPart);
        const key = `pages${n}`;
        if (!this.parts.has(key)) {
            this.parts.set(key, this.part(`p${n}`).then((text) => text.split('\n')
                .filter((l) => l !== '').map((line) => {
                    const [url, title, list] = line.split('\t');
                    const numbers = list ? list.split(',').map(base36) : [];
                    const sections = [];
                    for (let i = 0; i + 2 < numbers.length; i += 3) {
                        sections.push({ start: numbers[i], part: numbers[i + 1], index: numbers[i + 2] });
                    }
                    return { url, title, sections };
                })));
        }
        return (await this.parts.get(key))[id % this.perPart];
    }

    // The text around the first place of the words in page `id`: {text, marks: [[from, to]]},
    // marks where a word of the query stands.
    async snippet(id, result, words, prefix) {
        const page = await this.page(id);
        const offsets = result.hits[0].offsets;
        if (!page || !page.sections.length) return { text: '', marks: [] };
        const at = offsets.length ? bestOffset(result.hits) : 0;
        let s = 0;
        while (s + 1 < page.sections.length && page.sections[s + 1].start <= at) s += 1;
        const section = page.sections[s];
        const text = (await this.part(`t${section.part}`)).split('\n')[section.index] || '';
        const local = at - section.start;
        let from = Math.max(0, local - SNIPPET_BEFORE);
        let to = Math.min(text.length, local + SNIPPET_AFTER);
        // Whole words at the ends, and never half of a surrogate pair.
        if (from > 0) from = Math.max(from, text.lastIndexOf(' ', from) + 1);
        const space = text.indexOf(' ', to);
        if (to < text.length && space !== -1 && space - to < 20) to = space;
        const piece = text.slice(from, to);
        return { text: (from > 0 ? '\u2026' : '') + piece + (to < text.length ? '\u2026' : ''),
            marks: marks(piece, words, prefix, from > 0 ? 1 : 0) };
    }
}

function readPostings(list, merged) {
    let page = 0;
    for (const item of list.split(';')) {
        const v = item.split(',').map(base36);
        page += v[0];
        let p = merged.get(page);
        if (!p) {
            p = { count: 0, flags: 0, offsets: [] };
            merged.set(page, p);
        }
        p.count += v[1];
        p.flags |= v[2];
        let offset = 0;
        for (let i = 3; i < v.length; i += 1) {
            offset += v[i];
            p.offsets.push(offset);
        }
    }
}

// Title hits first, then headings, then how often and how near each other: as the scan's
// own reader ranks.
function score(hits) {
    let total = 0;
    for (const h of hits) {
        total += (h.flags & 1 ? 1000 : 0) + (h.flags & 2 ? 100 : 0) + 10 * Math.log2(1 + h.count);
    }
    for (let i = 0; i + 1 < hits.length; i += 1) {
        let nearest = Infinity;
        for (const a of hits[i].offsets) {
            for (const b of hits[i + 1].offsets) nearest = Math.min(nearest, Math.abs(a - b));
        }
        if (nearest !== Infinity) total += 50 / (1 + nearest / 8);
    }
    return total;
}

// The first word's place nearest the others'.
function bestOffset(hits) {
    let best = hits[0].offsets[0];
    let bestDistance = Infinity;
    for (const a of hits[0].offsets) {
        let distance = 0;
        for (const h of hits.slice(1)) {
            let nearest = Infinity;
            for (const b of h.offsets) nearest = Math.min(nearest, Math.abs(a - b));
            distance += nearest === Infinity ? 0 : nearest;
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

// The text of a part from its script: what the scan writes around the bytes, exactly.
const OPENING = '/* Written by Tamblin: a part of the full-text search index of the index file this '
    + 'folder is named after, for the search page\'s viewer. */\r\n'
    + 'if (typeof navoraSearchPart === "function") navoraSearchPart(1, "';
const CLOSING = '");\r\n';
function partBase64(script) {
    if (!script.startsWith(OPENING) || !script.endsWith(CLOSING)) return null;
    const data = script.slice(OPENING.length, script.length - CLOSING.length);
    return /^[A-Za-z0-9+/]*={0,2}$/.test(data) && data.length % 4 === 0 ? data : null;
}

// The name of the search index's folder for an index file's address.
function searchFolder(indexUrl) {
    return `${String(indexUrl).replace(/[?#].*$/, '')}.search/`;
}

nv.SearchIndex = SearchIndex;
nv.searchPartBase64 = partBase64;
nv.searchFolder = searchFolder;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('search-index', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
