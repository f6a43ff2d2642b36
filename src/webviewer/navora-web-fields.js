// The smallest pieces of an index file: its bytes as text (by the search page wizard's
// encoding names or, without one, as the editor chooses), the fields of its records,
// integers as the editor reads them, references by id.
(function (nv) {
'use strict';

const INT_MAX = 2147483647;
const INT_MIN = -2147483648;
const BAD = { bad: true };

function isCSpace(c) {
    return c === 32 || (c >= 9 && c <= 13);
}

// Leading decimal integer, saturated; a value of 0 from a field not starting with "0" is an
// error, as in the editor.
function parseInteger(text) {
    let i = 0;
    const n = text.length;
    while (i < n && isCSpace(text.charCodeAt(i))) ++i;
    let negative = false;
    if (i < n && (text[i] === '+' || text[i] === '-')) {
        negative = text[i] === '-';
        ++i;
    }
    let value = 0;
    for (; i < n; ++i) {
        const c = text.charCodeAt(i);
        if (c < 48 || c > 57) break;
        if (value <= INT_MAX) value = value * 10 + (c - 48);
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    if (value === 0 && (n === 0 || text[0] !== '0')) throw BAD;
    return value === 0 ? 0 : value;
}

function trimSpaces(text) {
    let begin = 0;
    let end = text.length;
    while (begin < end && text.charCodeAt(begin) === 32) ++begin;
    while (end > begin && text.charCodeAt(end - 1) === 32) --end;
    return begin === 0 && end === text.length ? text : text.slice(begin, end);
}

function isAbsoluteUrl(text) {
    for (let i = 0; i < text.length; ++i) {
        const c = text.charCodeAt(i);
        if (c === 58) return i > 0;
        if (!((c >= 65 && c <= 90) || (c >= 97 && c <= 122))) return false;
    }
    return false;
}

function ensureTrailingSlash(text) {
    return text !== '' && !text.endsWith('/') ? text + '/' : text;
}

// The fields of one record: ";" separates, a final ";" opens no further field. One cursor
// is reused for every line, so a large file makes no array per line.
class Fields {
    reset(line) {
        this.line = line;
        this.pos = 0;
        this.atStart = true;
    }
    skipPending() {
        if (!this.atStart && this.pos < this.line.length && this.line.charCodeAt(this.pos) === 59) {
            ++this.pos;
            this.atStart = true;
        }
    }
    has() {
        this.skipPending();
        return this.pos < this.line.length;
    }
    take() {
        this.skipPending();
        const line = this.line;
        if (this.pos >= line.length) throw BAD;
        let end = line.indexOf(';', this.pos);
        if (end < 0) end = line.length;
        const field = line.slice(this.pos, end);
        this.pos = end;
        this.atStart = false;
        return trimSpaces(field);
    }
}

// The id of a reference: the digits text[from .. to), saturated rather than wrapped.
function referenceId(text, from, to) {
    let value = 0;
    for (let i = from; i < to; ++i) {
        value = value * 10 + (text.charCodeAt(i) - 48);
        if (value > INT_MAX) return INT_MAX;
    }
    return value;
}

const WINDOWS_1252_HIGH = [
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
];

let nativeWindows1252 = null;

// Windows-1252 as browsers read it, where the five unassigned bytes stand for C1 controls.
// The engine's own decoder is used when it reads them so; the table below otherwise.
function decodeWindows1252(bytes) {
    if (nativeWindows1252 === null) {
        try {
            const decoder = new TextDecoder('windows-1252');
            const probe = decoder.decode(new Uint8Array([0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F, 0xFF]));
            nativeWindows1252 = probe === '\u20ac\u0081\u008d\u008f\u0090\u009d\u0178\u00ff' ? decoder : false;
        } catch (e) {
            nativeWindows1252 = false;
        }
    }
    if (nativeWindows1252) return nativeWindows1252.decode(bytes);
    return decodeWindows1252ByTable(bytes);
}

function decodeWindows1252ByTable(bytes) {
    const parts = [];
    const chunk = 8192;
    const codes = new Uint16Array(Math.min(chunk, bytes.length));
    for (let start = 0; start < bytes.length; start += chunk) {
        const end = Math.min(start + chunk, bytes.length);
        for (let i = start; i < end; ++i) {
            const b = bytes[i];
            codes[i - start] = b >= 0x80 && b < 0xA0 ? WINDOWS_1252_HIGH[b - 0x80] : b;
        }
        parts.push(String.fromCharCode.apply(null, codes.subarray(0, end - start)));
    }
    return parts.join('');
}

function hasUtf8Bom(bytes) {
    return bytes.length >= 3 && bytes[0] === 0xEF && bytes[1] === 0xBB && bytes[2] === 0xBF;
}

function tryDecode(label, bytes) {
    try {
        return new TextDecoder(label, { fatal: true }).decode(bytes);
    } catch (e) {
        return null;
    }
}

function decodeLenient(label, bytes) {
    try {
        return new TextDecoder(label).decode(bytes);
    } catch (e) {
        return decodeWindows1252(bytes);
    }
}

function decodeUtf16(bytes) {
    if (bytes.length >= 2 && bytes[0] === 0xFF && bytes[1] === 0xFE) {
        return decodeLenient('utf-16le', bytes.subarray(2));
    }
    if (bytes.length >= 2 && bytes[0] === 0xFE && bytes[1] === 0xFF) {
        return decodeLenient('utf-16be', bytes.subarray(2));
    }
    return decodeLenient('utf-16be', bytes);
}

// `encoding` is the search page wizard's name for it; empty means the editor's own choice:
// UTF-8 when every byte after a UTF-8 byte order mark is valid UTF-8, else Windows-1252.
function decodeBytes(bytes, encoding) {
    if (!(bytes instanceof Uint8Array)) bytes = new Uint8Array(bytes);
    const name = String(encoding || '').trim().toLowerCase();
    if (name === 'utf8' || name === 'utf-8') {
        return decodeLenient('utf-8', hasUtf8Bom(bytes) ? bytes.subarray(3) : bytes);
    }
    if (name === 'unicode') return decodeUtf16(bytes);
    if (name === '8859_1' || name === 'dbcs_ascii') {
        return decodeWindows1252(hasUtf8Bom(bytes) ? bytes.subarray(3) : bytes);
    }
    if (name === 'jisautodetect') {
        for (const label of ['shift_jis', 'euc-jp', 'iso-2022-jp']) {
            const text = tryDecode(label, bytes);
            if (text !== null) return text;
        }
        return decodeLenient('shift_jis', bytes);
    }
    const rest = hasUtf8Bom(bytes) ? bytes.subarray(3) : bytes;
    const text = tryDecode('utf-8', rest);
    return text !== null ? text : decodeWindows1252(bytes);
}

// The characters beyond ASCII that a text holds, each once, in the order first met, at most
// `limit` of them. They are looked for a slice of time at a time (scan()), so that a large
// text never holds the page up.
class OtherCharacters {
    constructor(text, limit = 4096) {
        this.text = text;
        this.limit = limit;
        this.found = [];
        this.seen = new Set();
        this.runs = /[^\x00-\x7f]+/g;
        this.done = false;
    }

    // Looks on for about `ms` milliseconds; true once the text is looked through.
    scan(ms) {
        const until = Date.now() + ms;
        while (!this.done) {
            const run = this.runs.exec(this.text);
            if (!run || this.found.length >= this.limit) {
                this.done = true;
                break;
            }
            for (const ch of run[0]) {
                // A surrogate without its pair is no character.
                if (this.seen.has(ch) || (ch.length === 1 && (ch.charCodeAt(0) & 0xf800) === 0xd800)) continue;
                if (this.found.length === this.limit) break;
                this.seen.add(ch);
                this.found.push(ch);
            }
            if (Date.now() >= until) break;
        }
        return this.done;
    }
}

Object.assign(nv, {
    INT_MAX, BAD, parseInteger, trimSpaces, isAbsoluteUrl, ensureTrailingSlash, Fields,
    referenceId, decodeBytes, OtherCharacters
});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('fields', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
