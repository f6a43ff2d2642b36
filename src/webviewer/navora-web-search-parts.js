// The parts of the full-text search index the scan writes beside an index file
// (SITE.xo.search/), as bytes: taken out of their fixed script, and the words and pages of a
// word part decoded into typed arrays. No DOM.
(function (nv) {
'use strict';

// Added to the places kept of a word whose pages come as a bitmap (SearchWordPart).
const BITMAP = 32;
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

    // Passes over n numbers without their values.
    skip(n) {
        for (let left = n; left > 0; this.at += 1) {
            if (this.at >= this.end) throw new Error('part cut short');
            if (this.bytes[this.at] < 0x80) left -= 1;
        }
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

// A word's pages: {pages, values (count << 2 | flags), offsetStart, offsets}, typed arrays;
// their places are read only for the pages asked (writePlaces): a prefix merges the pages of
// many words, and only a query of several words, or a snippet, asks where they stand.
function pagesOf(entry) {
    if (entry.pages) return entry.pages;
    const { count, bytes, end } = entry;
    const kept = entry.kept & ~BITMAP;
    const numbers = new Numbers(bytes, entry.start, end);
    const pages = new Uint32Array(count);
    const values = new Uint32Array(count);
    const placesAt = kept ? new Uint32Array(count) : null;
    // Words on most pages list them as a bitmap.
    const bitmap = entry.kept & BITMAP;
    if (bitmap) {
        const size = numbers.next();
        const at = numbers.at;
        let n = 0;
        for (let b = 0; b < size && at + b < end; b += 1) {
            const byte = bytes[at + b];
            for (let bit = 0; byte !== 0 && bit < 8; bit += 1) {
                if (byte >> bit & 1 && n < count) {
                    pages[n] = b * 8 + bit;
                    n += 1;
                }
            }
        }
        if (n !== count) throw new Error('bad bitmap');
        numbers.at = at + size;
    }
    let page = 0;
    for (let i = 0; i < count; i += 1) {
        if (!bitmap) {
            page += numbers.next();
            pages[i] = page;
        }
        values[i] = numbers.next();
        if (kept) {
            placesAt[i] = numbers.at;
            numbers.skip(numbers.next());
        }
    }
    entry.pages = { pages, values, offsetStart: null, offsets: null, entry, placesAt };
    return entry.pages;
}

// The places of page i of a word's list (pagesOf): how many, and each written into `out`
// from `at` (returns where it ends). Read from the part's bytes, only for the pages asked.
function placeCount(list, i) {
    if (list.offsets) return list.offsetStart[i + 1] - list.offsetStart[i];
    if (!list.placesAt) return 0;
    return new Numbers(list.entry.bytes, list.placesAt[i], list.entry.end).next();
}

function writePlaces(list, i, out, at) {
    if (list.offsets) {
        out.set(list.offsets.subarray(list.offsetStart[i], list.offsetStart[i + 1]), at);
        return at + list.offsetStart[i + 1] - list.offsetStart[i];
    }
    if (!list.placesAt) return at;
    const numbers = new Numbers(list.entry.bytes, list.placesAt[i], list.entry.end);
    let offset = 0;
    let to = at;
    for (let n = numbers.next(); n > 0; n -= 1) {
        offset += numbers.next();
        out[to] = offset;
        to += 1;
    }
    return to;
}

// The bytes of a part as the scan packed them (SearchPartPack): the length, then runs of
// literal bytes each followed by a copy of earlier bytes, which may overlap what it writes.
const MIN_COPY = 4;
const MAX_BYTES = 1 << 28;
function unpack(packed) {
    const numbers = new Numbers(packed);
    const size = numbers.next();
    if (size > MAX_BYTES) throw new Error('bad part');
    const out = new Uint8Array(size);
    let n = 0;
    while (n < size) {
        const literals = numbers.next();
        if (literals > packed.length - numbers.at || literals > size - n) throw new Error('bad part');
        out.set(packed.subarray(numbers.at, numbers.at + literals), n);
        numbers.at += literals;
        n += literals;
        if (n === size) break;
        const length = numbers.next() + MIN_COPY;
        const distance = numbers.next();
        if (distance === 0 || distance > n || length > size - n) throw new Error('bad part');
        if (distance >= length) {
            out.copyWithin(n, n - distance, n - distance + length);
            n += length;
        } else {
            for (const end = n + length; n < end; n += 1) out[n] = out[n - distance];
        }
    }
    if (numbers.at !== packed.length) throw new Error('bad part');
    return out;
}

// The data of a part from its script: what the scan writes around the bytes, exactly.
const OPENING = '/* Written by Tamblin: a part of the full-text search index of the index file this '
    + 'folder is named after, for the search page\'s viewer. */\r\n'
    + 'if (typeof navoraSearchPart === "function") navoraSearchPart(3, "';
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
    searchParts: { readWordPart, pagesOf, placeCount, writePlaces, unpack, utf8 },
    searchPartBase64: partBase64, searchPartBytes: partBytes, searchFolder, SEARCH_PART_VERSION: 3
});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('search-parts', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
