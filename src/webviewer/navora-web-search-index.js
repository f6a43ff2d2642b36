// The full-text search index the scan writes beside an index file (SITE.xo.search/), read
// part by part: the list first, then only the word parts of the words typed, the page parts
// of the results shown and the text parts of their snippets. No DOM: parts come through the
// loader the caller gives, as bytes. What a part gives is decoded once and kept, so that each
// keystroke does only the work its new characters ask for.
(function (nv) {
'use strict';
const { readWordPart, pagesOf, unpack, utf8 } = nv.searchParts;
const { PAGE_BITS, SCORE_TOP, mergeLists, withBase, joinedTo, rank, smallest, bestOffset, marks } =
    nv.searchRank;

// Word parts a prefix being typed may load: a short one looks at few, a longer one reads on.
const partsFor = (prefix) => (prefix.length < 2 ? 2 : prefix.length < 3 ? 4 : 16);
const FEW_PARTS = 4;
const SNIPPET_BEFORE = 60;
const SNIPPET_AFTER = 140;

const base36 = (s) => parseInt(s, 36);
const MAX_START_PARTS = 64;

// first.js: per line a first character, its page count, its best pages as "page,value" pairs
// and, where there is room, all its pages as ranges "first-last" or "page", in base 36
// (SearchStartLists). A line that is not one is left out.
function readFirsts(bytes, pageCount) {
    const firsts = new Map();
    for (const line of utf8.decode(bytes).split('\n')) {
        const [word, total, list, ranges] = line.split('\t');
        const numbers = (list || '').split(',').map(base36);
        if (!word || numbers.length % 2 || numbers.some((n) => !(n >= 0))) continue;
        const pages = new Uint32Array(numbers.length / 2);
        const values = new Uint32Array(pages.length);
        for (let i = 0; i < pages.length; i += 1) {
            pages[i] = numbers[2 * i];
            values[i] = numbers[2 * i + 1];
        }
        if (!ascending(pages, pageCount)) continue;
        const best = { pages, values, offsetStart: null, offsets: null,
            total: Math.max(base36(total) || 0, pages.length) };
        firsts.set(word, { best, every: ranges ? pagesOfRanges(ranges, pageCount) : null });
    }
    return firsts;
}

function ascending(pages, pageCount) {
    return pages.every((p, i) => p < pageCount && (i === 0 || p > pages[i - 1]));
}

// A list of the pages of "first-last" and "page" ranges with nothing to rank them by; null
// when the ranges are not such.
function pagesOfRanges(text, pageCount) {
    const found = [];
    for (const range of text.split(',')) {
        const [from, to = from] = range.split('-').map(base36);
        if (!(from <= to) || to >= pageCount || found.length + to - from >= pageCount) return null;
        for (let p = from; p <= to; p += 1) found.push(p);
    }
    const pages = Uint32Array.from(found);
    if (!ascending(pages, pageCount)) return null;
    return { pages, values: new Uint32Array(pages.length), offsetStart: null, offsets: null };
}

class SearchIndex {
    // loadPart(name, ahead) -> Promise of the bytes in the script of part `name` ("index",
    // "w3", "p0", "t12"), still packed; `ahead` when no key waits for it yet.
    constructor(loadPart) {
        this.loadPart = loadPart;
        this.parts = new Map();
        this.terms = new Map();
        this.lists = new Map();
        this.ranked = new Map();
        this.pageCount = 0;
        this.firsts = [];
        this.lasts = [];
    }

    part(name, ahead = false) {
        if (!this.parts.has(name)) {
            const loading = this.loadPart(name, ahead).then(unpack).catch((e) => {
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
        const [count, perPart, starts] = (lines[1] || '').split(' ').map(Number);
        if (!Number.isInteger(count) || !(perPart > 0) || count >= PAGE_BITS) return false;
        this.pageCount = count;
        this.perPart = perPart;
        this.startParts = Number.isInteger(starts) && starts > 0 && starts <= MAX_START_PARTS ? starts : 0;
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
        // A prefix whose words fill few parts has all of them at once: the next keys, which
        // begin fewer words, then wait for no part.
        const all = prefix ? Math.max(limit, FEW_PARTS) + 1 : 1;
        for (let n = lo; n < this.firsts.length && found.length < all; n += 1) {
            const first = this.firsts[n];
            const holds = prefix ? cmp(first, word) <= 0 || first.startsWith(word) : cmp(first, word) <= 0;
            if (!holds) break;
            found.push(n);
        }
        return found.length <= FEW_PARTS ? found : found.slice(0, limit);
    }

    // The pages of `word` (or of every word it begins), merged by page. A prefix that grows
    // and still begins the same words gives the same list, so that what was ranked from it
    // stands. The first one or two characters of a word take their list from a start part
    // when it has one: one small part instead of the word parts of every word they begin.
    term(word, prefix) {
        const key = `${prefix ? '>' : '='}${word}`;
        if (!this.terms.has(key)) {
            const short = prefix && this.startParts && Array.from(word).length <= 2;
            const reading = (short ? this.startTerm(word) : this.wordTerm(word, prefix)).catch((e) => {
                this.terms.delete(key);
                throw e;
            });
            this.terms.set(key, reading);
        }
        return this.terms.get(key);
    }

    // The start part's list of a prefix; where it has none (a prefix that begins one word or
    // none) or cannot be read, the word parts'. Two characters also name the word parts that
    // a third will want, for readAhead.
    async startTerm(word) {
        let entry;
        try {
            const entries = await this.decoded(`s${word.codePointAt(0) % this.startParts}`, readWordPart);
            entry = entries.find((e) => e.word === word);
        } catch (e) {
            entry = null;
        }
        if (!entry) return this.wordTerm(word, true);
        if (Array.from(word).length === 2) this.ahead = this.partsOf(word, true).map((n) => `w${n}`);
        const key = `\u0000${word}`;
        if (!this.lists.has(key)) this.lists.set(key, this.numbered(withBase(pagesOf(entry))));
        return this.lists.get(key);
    }

    // The word parts' list of `word`, or of every word it begins.
    async wordTerm(word, prefix) {
        const parts = await Promise.all(this.partsOf(word, prefix)
            .map((n) => this.decoded(`w${n}`, readWordPart)));
        const entries = [];
        for (const list of parts) {
            for (const entry of list) {
                if (prefix ? entry.word.startsWith(word) : entry.word === word) entries.push(entry);
            }
        }
        return this.listOf(entries);
    }

    // One list for the pages of `entries`, made once for each set of them.
    listOf(entries) {
        if (!entries.length) return null;
        const key = entries.length === 1 ? entries[0].word : entries.map((e) => e.word).join(' ');
        let list = this.lists.get(key);
        if (!list) {
            list = this.numbered(withBase(mergeLists(entries.map(pagesOf), this.pageCount)));
            this.lists.set(key, list);
        }
        return list;
    }

    // A list's number, which rankings kept are found by.
    numbered(list) {
        this.made = (this.made || 0) + 1;
        list.id = this.made;
        return list;
    }

    // The pages of `query`, best first: {results: [{page, score, lists}], total, words,
    // prefix, ranked}; `limit` results at most; `ranked` is the same object for the same
    // results. Words joined by a dot or the like (os.path) must
    // stand next to each other where the pages keep their places. Null when `stale()` says,
    // once the words' parts are in, that a newer query has come: it is not ranked.
    async search(query, limit = Infinity, stale = () => false) {
        const words = nv.searchWords.split(query);
        if (!words.length) return { results: [], total: 0, words: [] };
        const last = query.codePointAt(query.length - 1);
        const folded = [];
        nv.searchWords.fold(last, folded);
        const prefix = folded.some((c) => nv.searchWords.kindOf(c) !== 0);
        // A last word of one character: its pages from first.js, where it has them.
        const typed = words[words.length - 1].word;
        const first = prefix && this.startParts && Array.from(typed).length === 1
            ? await this.firstList(typed, words.length === 1) : null;
        const only = first && words.length === 1 ? first : null;
        const lists = await Promise.all(words.map((w, i) => (i === words.length - 1 && first
            ? first : this.term(w.word, prefix && i === words.length - 1))));
        if (stale()) return null;
        if (lists.some((l) => l === null)) return { results: [], total: 0, words: words.map((w) => w.word), prefix };
        const joined = words.map((w, i) => i > 0 && joinedTo(query, words[i - 1], w));
        // The same lists again (a key typed and taken back, a prefix that begins the same
        // words) rank from what was kept; joined words rank by how far apart they are typed.
        const key = lists.map((l, i) => (joined[i] ? `${l.id}+${words[i].start - words[i - 1].start}` : l.id))
            .join(' ') + (limit === Infinity ? '' : ` /${limit}`);
        let ranked = this.ranked.get(key);
        if (!ranked) {
            const keys = rank(lists, joined, words);
            // A first character's list holds its best pages only; it knows how many there are.
            ranked = { best: smallest(keys, Math.min(limit, keys.length)), total: only ? only.total : keys.length };
            if (this.ranked.size >= 32) this.ranked.delete(this.ranked.keys().next().value);
            this.ranked.set(key, ranked);
        }
        const results = [];
        for (const k of ranked.best) {
            results.push({ page: k % PAGE_BITS, score: (SCORE_TOP - Math.floor(k / PAGE_BITS)) / 1000, lists });
        }
        return { results, total: ranked.total, words: words.map((w) => w.word), prefix, ranked };
    }

    // Asks for the parts the next character of the word last typed will want, while the
    // reader types it: the start part after one character, the word parts after two. Called
    // once the key's results are drawn, since every request costs the frame it is made in.
    readAhead() {
        const names = this.ahead || [];
        this.ahead = null;
        for (const name of names) this.decoded(name, readWordPart).catch(() => {});
    }

    // The best pages of each first character (first.js), read once: before the first key
    // where the box's focus asks for them.
    readFirsts() {
        if (!this.startParts) return Promise.resolve(null);
        if (!this.firstChars) {
            this.firstChars = this.decoded('first', (bytes) => readFirsts(bytes, this.pageCount))
                .catch(() => new Map());
        }
        return this.firstChars;
    }

    // The pages of a first character from first.js: its best pages and how many there are
    // (`only`: a query of it alone), or every page it begins a word of, unranked (the last
    // word of several); null where first.js has not the one asked.
    async firstList(word, only) {
        const firsts = await this.readFirsts();
        const first = firsts && firsts.get(word);
        const list = first && (only ? first.best : first.every);
        if (!list) return null;
        if (!list.base) this.numbered(withBase(list));
        this.ahead = [`s${word.codePointAt(0) % this.startParts}`];
        return list;
    }

    // Runs the ranking once on pages made up, so that the first keys find its code compiled
    // rather than interpreted: a key's lists hold hundreds of pages.
    warmUp() {
        if (this.warmedUp) return;
        this.warmedUp = true;
        const count = 1000;
        const made = (step) => {
            const pages = Uint32Array.from({ length: count / step }, (_, i) => i * step);
            return { pages, values: pages.map((p) => (p % 7) << 2 | (p % 3)), offsetStart: null, offsets: null };
        };
        const lists = [withBase(mergeLists([made(1), made(2)], count)), withBase(made(3))];
        smallest(rank([lists[0]], [false], []), 50);
        smallest(rank(lists, [false, false], [{ start: 0 }, { start: 2 }]), 50);
    }

    // Reads every page part ahead when there are at most `most`: a small site's results then
    // get their titles without waiting for a part after their words'. Asked for as less
    // urgent, so that the word parts of a key typed at once are sent first.
    readPagesAhead(most) {
        const parts = Math.ceil(this.pageCount / this.perPart);
        for (let n = 0; n < parts && parts <= most; n += 1) this.part(`p${n}`, true).catch(() => {});
    }

    // {url, title, sections: [{start, part, index}]} of page `id`. A part's lines are read
    // as their pages are asked for: the rows in view want a few of them.
    async page(id) {
        const n = Math.floor(id / this.perPart);
        const lines = await this.decoded(`p${n}`, (bytes) => utf8.decode(bytes).split('\n')
            .filter((l) => l !== ''));
        const at = id % this.perPart;
        const line = lines[at];
        if (typeof line !== 'string') return line;
        const [url, title, list] = line.split('\t');
        const numbers = list ? list.split(',').map(base36) : [];
        const sections = [];
        for (let i = 0; i + 2 < numbers.length; i += 3) {
            sections.push({ start: numbers[i], part: numbers[i + 1], index: numbers[i + 2] });
        }
        lines[at] = { url, title, sections };
        return lines[at];
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

// The result count in the words of the language file (`text(n)`, the viewer's texts): its
// own text for one page where it has one, or where its text for several is still the English.
function countText(text, total) {
    if (!total) return text(39);
    const defaults = nv.VIEWER_TEXTS;
    const one = total === 1 && (text(41) !== defaults[21] || text(40) === defaults[20]);
    return text(one ? 41 : 40).replace('%1', String(total));
}

Object.assign(nv, {SearchIndex, searchCountText: countText});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('search-index', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
