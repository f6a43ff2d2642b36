// The ranking of the Search tab: the pages that hold every word typed, title and heading hits
// first, then by how often and how near each other the words stand; and where in a page's
// text the words stand, for its snippet. Works on the typed arrays of a word's pages
// (navora-web-search-parts.js). No DOM.
(function (nv) {
'use strict';

// Pages numbers fit in 21 bits: a result's sort key is its score above its page.
const PAGE_BITS = 2097152;
const SCORE_TOP = 1e9;

// The words that begin with one prefix merged into one list of pages, as a word's. Their
// places are merged only for the pages asked (placesIn): a query of one word ranks without them.
function mergeLists(lists, pageCount) {
    if (lists.length === 1) return lists[0];
    const values = new Uint32Array(pageCount);
    const seen = new Uint8Array(pageCount);
    for (const list of lists) {
        for (let i = 0; i < list.pages.length; i += 1) {
            const p = list.pages[i];
            seen[p] = 1;
            // Counts add up, flags join.
            values[p] = ((values[p] >>> 2) + (list.values[i] >>> 2)) * 4
                | (values[p] & 3) | (list.values[i] & 3);
        }
    }
    let n = 0;
    for (let p = 0; p < pageCount; p += 1) n += seen[p];
    const pages = new Uint32Array(n);
    const merged = new Uint32Array(n);
    for (let p = 0, i = 0; p < pageCount; p += 1) {
        if (!seen[p]) continue;
        pages[i] = p;
        merged[i] = values[p];
        i += 1;
    }
    return { pages, values: merged, offsetStart: null, offsets: null, sources: lists, pageCount };
}

// Whether no page of a list keeps places: the commonest words keep none.
function keepsNone(list) {
    return list.sources ? list.sources.every(keepsNone) : !list.offsets && !list.placesAt;
}

// The places of a list at some of its pages, `indices` ascending into list.pages: {start,
// offsets}, those of indices[c] at offsets[start[c] .. start[c + 1]), ascending. Only the
// pages asked for are read: the words a prefix begins may stand on most pages of a site.
function placesIn(list, indices) {
    const { placeCount, writePlaces } = nv.searchParts;
    const m = indices.length;
    const start = new Uint32Array(m + 1);
    if (keepsNone(list)) {
        return { start, offsets: new Uint32Array(0) };
    }
    if (!list.sources) {
        for (let c = 0; c < m; c += 1) start[c + 1] = start[c] + placeCount(list, indices[c]);
        const offsets = new Uint32Array(start[m]);
        for (let c = 0; c < m; c += 1) writePlaces(list, indices[c], offsets, start[c]);
        return { start, offsets };
    }
    // A merged list: each page's places from every word of the prefix that stands there.
    const pages = new Uint32Array(m);
    for (let c = 0; c < m; c += 1) pages[c] = list.pages[indices[c]];
    const each = (visit) => {
        for (const source of list.sources) {
            if (keepsNone(source)) continue;
            if (m * 16 < source.pages.length) {
                for (let c = 0; c < m; c += 1) {
                    const i = find(source, pages[c]);
                    if (i >= 0) visit(source, i, c);
                }
                continue;
            }
            for (let i = 0, c = 0; i < source.pages.length && c < m;) {
                if (source.pages[i] < pages[c]) i += 1;
                else if (source.pages[i] > pages[c]) c += 1;
                else {
                    visit(source, i, c);
                    i += 1;
                    c += 1;
                }
            }
        }
    };
    each((source, i, c) => { start[c + 1] += placeCount(source, i); });
    for (let c = 0; c < m; c += 1) start[c + 1] += start[c];
    const where = start.slice(0, m);
    const offsets = new Uint32Array(start[m]);
    each((source, i, c) => { where[c] = writePlaces(source, i, offsets, where[c]); });
    for (let c = 0; c < m; c += 1) sortRange(offsets, start[c], start[c + 1]);
    return { start, offsets };
}

// Sorts a[from .. to) in place: a page's few places by insertion, without the subarray that
// sorting each of 20,000 pages would make; many places by the engine's sort.
function sortRange(a, from, to) {
    if (to - from > 32) {
        a.subarray(from, to).sort();
        return;
    }
    for (let i = from + 1; i < to; i += 1) {
        const v = a[i];
        let j = i - 1;
        while (j >= from && a[j] > v) {
            a[j + 1] = a[j];
            j -= 1;
        }
        a[j + 1] = v;
    }
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

// The smallest distance between the places a[aFrom .. aTo) and b[bFrom .. bTo), each
// ascending; Infinity when one is empty. Ranges rather than subarrays: ranking makes no
// object per page.
function nearest(a, aFrom, aTo, b, bFrom, bTo) {
    let best = Infinity;
    for (let i = aFrom, j = bFrom; i < aTo && j < bTo;) {
        const d = a[i] - b[j];
        best = Math.min(best, Math.abs(d));
        if (d < 0) i += 1;
        else j += 1;
    }
    return best;
}

// Whether `word` follows `before` in the query with only a dot, dash or the like between.
function joinedTo(query, before, word) {
    const between = query.slice(before.end, word.start);
    return between.length === 1 && /[.\-_:/]/.test(between);
}

// The pages that hold every list, as sort keys: the score (best first) above the page number.
// Title hits first, then headings, then how often and how near each other. The pages with
// every word are found first; only their places are read.
function rank(lists, joined, words) {
    const order = lists.map((l, i) => i).sort((a, b) => lists[a].pages.length - lists[b].pages.length);
    const smallest = lists[order[0]];
    const at = new Int32Array(lists.length);
    const where = lists.map(() => new Uint32Array(smallest.pages.length));
    let m = 0;
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
        for (let k = 0; k < lists.length; k += 1) where[k][m] = at[k];
        m += 1;
    }
    const places = lists.length > 1 ? lists.map((l, k) => placesIn(l, where[k].subarray(0, m))) : null;
    const keys = new Float64Array(m);
    let found = 0;
    for (let c = 0; c < m; c += 1) {
        for (let k = 0; k < lists.length; k += 1) at[k] = where[k][c];
        const score = scoreOf(lists, at, places, c, joined, words);
        if (score < 0) continue;
        keys[found] = Math.round(SCORE_TOP - score * 1000) * PAGE_BITS + lists[0].pages[at[0]];
        found += 1;
    }
    return keys.subarray(0, found);
}

// The `k` smallest of `keys`, sorted: the best results without sorting every page that has
// the words (20,000 on a large site, for the 50 shown).
function smallest(keys, k) {
    if (keys.length <= k) return keys.slice().sort();
    const top = keys.slice(0, k).sort();
    let worst = top[k - 1];
    for (let i = k; i < keys.length; i += 1) {
        const v = keys[i];
        if (v >= worst) continue;
        let j = k - 1;
        while (j > 0 && top[j - 1] > v) {
            top[j] = top[j - 1];
            j -= 1;
        }
        top[j] = v;
        worst = top[k - 1];
    }
    return top;
}

// What a count adds to a page's score, for the counts most pages have.
const COUNT_SCORES = Float64Array.from({ length: 1024 }, (_, n) => 10 * Math.log2(1 + n));

// What each page of a list scores by itself: its title, headings and how often.
function withBase(list) {
    const base = new Float64Array(list.pages.length);
    const { values } = list;
    for (let i = 0; i < base.length; i += 1) {
        const v = values[i];
        const count = v >>> 2;
        base[i] = (v & 1 ? 1000 : 0) + (v & 2 ? 100 : 0)
            + (count < 1024 ? COUNT_SCORES[count] : 10 * Math.log2(1 + count));
    }
    list.base = base;
    return list;
}

function scoreOf(lists, at, places, c, joined, words) {
    let total = 0;
    for (let k = 0; k < lists.length; k += 1) total += lists[k].base[at[k]];
    for (let k = 0; k + 1 < lists.length; k += 1) {
        const a = places[k];
        const b = places[k + 1];
        const aFrom = a.start[c];
        const aTo = a.start[c + 1];
        const bFrom = b.start[c];
        const bTo = b.start[c + 1];
        // Dotted names (os.path): the words must stand next to each other. Where a page
        // keeps only some places of a word, a pair not seen among them may be in the rest.
        if (joined[k + 1] && !adjacent(a.offsets, aFrom, aTo, b.offsets, bFrom, bTo,
            words[k + 1].start - words[k].start) && keepsAll(lists[k], at[k], aTo - aFrom)
            && keepsAll(lists[k + 1], at[k + 1], bTo - bFrom)) return -1;
        const d = nearest(a.offsets, aFrom, aTo, b.offsets, bFrom, bTo);
        if (d !== Infinity) total += 50 / (1 + d / 8);
    }
    return total;
}

// Whether some place in b[bFrom .. bTo) stands `gap` after one in a[aFrom .. aTo).
function adjacent(a, aFrom, aTo, b, bFrom, bTo, gap) {
    for (let i = aFrom, j = bFrom; i < aTo && j < bTo;) {
        const d = b[j] - a[i];
        if (d === gap) return true;
        if (d < gap) j += 1;
        else i += 1;
    }
    return false;
}

// Whether a page keeps every place of a word in its text (a title's count has none).
function keepsAll(list, i, kept) {
    return kept === list.values[i] >>> 2 && (list.values[i] & 1) === 0;
}

// The first word's place nearest the others' in page `id`; -1 when it keeps none.
function bestOffset(lists, id) {
    const all = lists.map((l) => {
        const i = find(l, id);
        return i < 0 ? new Uint32Array(0) : placesIn(l, Uint32Array.of(i)).offsets;
    });
    if (!all[0].length) return -1;
    let best = all[0][0];
    let bestDistance = Infinity;
    for (let i = 0; i < all[0].length; i += 1) {
        let distance = 0;
        for (const other of all.slice(1)) {
            const d = nearest(all[0], i, i + 1, other, 0, other.length);
            distance += d === Infinity ? 0 : d;
        }
        if (distance < bestDistance) {
            best = all[0][i];
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

Object.assign(nv, {
    searchRank: { PAGE_BITS, SCORE_TOP, mergeLists, placesIn, withBase, joinedTo, rank, smallest,
        bestOffset, marks }
});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('search-rank', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
