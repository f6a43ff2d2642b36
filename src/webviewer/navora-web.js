// Shows Navora index files in browsers that cannot run the applet. The page keeps its
// APPLET element and PARAMs; this script reads them and puts a viewer in the element's
// place. The reader below has no DOM, so the same file also loads in Node.
'use strict';
(function () {

// ---------------------------------------------------------------- bytes to text

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

// ---------------------------------------------------------------- the index reader

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

class BaseUrl {
    constructor(id, url, target) {
        this.id = id;
        this.url = url;
        this.target = target;
    }
}

class Keyword {
    constructor(owner, phrase, anchor, extraTitle, target) {
        this.owner = owner;
        this.phrase = phrase;
        this.anchor = anchor;
        this.extraTitle = extraTitle;
        this.target = target;
        this.ownTarget = target !== '';
    }
    get fullUrl() {
        return this.owner ? this.owner.fullUrl + this.anchor : this.anchor;
    }
    get fullTitle() {
        return this.owner ? this.owner.title + this.extraTitle : this.extraTitle;
    }
    toJSON() {
        if (!this.owner) {
            return { phrase: this.phrase, url: this.anchor, title: this.extraTitle, target: this.target };
        }
        return {
            phrase: this.phrase, anchor: this.anchor, extraTitle: this.extraTitle,
            fullUrl: this.fullUrl, fullTitle: this.fullTitle, target: this.target,
            ownTarget: this.ownTarget,
        };
    }
}

class Entry {
    constructor(id, base, url, title, target, icon, inContents) {
        this.id = id;
        this.base = base;
        this.url = url;
        this.title = title;
        this.target = target;
        this.ownTarget = target !== '';
        this.icon = icon;
        this.tip = '';
        this.inContents = inContents;
        this.inRoot = inContents;
        this.keywords = [];
        this.children = [];
    }
    get fullUrl() {
        return this.base ? this.base.url + this.url : this.url;
    }
    toJSON() {
        return {
            id: this.id, title: this.title, url: this.url, baseUrl: this.base ? this.base.id : null,
            fullUrl: this.fullUrl, target: this.target, ownTarget: this.ownTarget, icon: this.icon,
            tip: this.tip, inContents: this.inContents, keywords: this.keywords,
            children: this.children,
        };
    }
}

class IndexModel {
    constructor() {
        this.description = '';
        this.date = '';
        this.tip = '';
        this.major = -1;
        this.minor = 0;
        this.coding = 0;
        this.baseUrls = [];
        this.root = new Entry(0, null, '', '', '', '', true);
        this.otherKeywords = [];
        this.badLines = [];
    }
    get contents() {
        return this.root.children;
    }
    toJSON() {
        return {
            description: this.description, date: this.date, tip: this.tip,
            format: [this.major, this.minor], coding: this.coding,
            baseUrls: this.baseUrls.map((b) => ({ id: b.id, url: b.url, target: b.target })),
            contents: this.root.children, otherKeywords: this.otherKeywords,
            badLines: this.badLines,
        };
    }
}

// Reads the text of an index file as the editor reads it, with the same corrections.
class IndexReader {
    constructor() {
        this.model = new IndexModel();
        this.holding = [];
        this.entries = new Map([[0, this.model.root]]);
        this.bases = new Map();
        this.currentBase = null;
        this.defaultBaseCount = 0;
        this.fields = new Fields();
        this.model.root.seq = -1;
        this.placed = 0;
        // Keyword records wait until the entries are read, so a viewer can show the tree
        // first; each still sees only the entries read before its own line.
        this.keywordLines = [];
        this.keywordBases = [];
        this.limit = Infinity;
        this.badAt = [];
    }

    read(text) {
        this.readEntries(text);
        this.readKeywords();
        return this.model;
    }

    deferKeyword(start, stop, number) {
        this.keywordLines.push(start, stop, number, this.placed);
        this.keywordBases.push(this.currentBase);
    }

    readEntries(text) {
        this.text = text;
        this.deferring = true;
        let first = true;
        let start = 0;
        let number = 0;
        while (start < text.length) {
            let end = text.indexOf('\n', start);
            if (end < 0) end = text.length;
            const stop = end > start && text.charCodeAt(end - 1) === 13 ? end - 1 : end;
            const type = text.charCodeAt(start);
            if (stop > start + 1 && (type === 55 || type === 50) && text.charCodeAt(start + 1) === 59) {
                // A keyword record, as written: kept by position, read after the entries.
                this.deferKeyword(start, stop, number);
            } else if (stop > start) {
                const line = text.slice(start, stop);
                this.lineNumber = number;
                this.lineStart = start;
                this.lineStop = stop;
                this.lineFirst = first;
                if (!this.parseLine(line, first)) {
                    this.model.badLines.push(line);
                    this.badAt.push(number);
                }
            }
            first = false;
            start = end + 1;
            ++number;
        }
        for (const entry of this.holding) this.model.root.children.push(entry);
        this.holding = [];
        this.deferring = false;
        return this.model;
    }

    readKeywords() {
        const waiting = this.keywordLines;
        const bases = this.keywordBases;
        this.keywordLines = [];
        this.keywordBases = [];
        const bad = [];
        const badAt = [];
        const current = this.currentBase;
        for (let i = 0, k = 0; k < waiting.length; ++i, k += 4) {
            const line = this.text.slice(waiting[k], waiting[k + 1]);
            const number = waiting[k + 2];
            this.limit = waiting[k + 3];
            this.currentBase = bases[i];
            if (!this.parseLine(line, number === 0)) {
                bad.push(line);
                badAt.push(number);
            }
        }
        this.text = '';
        this.limit = Infinity;
        this.currentBase = current;
        if (bad.length) {
            // Both lists are in file order; merged, so are the bad lines.
            const lines = this.model.badLines;
            const merged = [];
            let i = 0;
            let j = 0;
            while (i < lines.length || j < bad.length) {
                if (j >= bad.length || (i < lines.length && this.badAt[i] < badAt[j])) merged.push(lines[i++]);
                else merged.push(bad[j++]);
            }
            this.model.badLines = merged;
        }
        return this.model;
    }

    versionAtLeast(major, minor) {
        const m = this.model;
        return m.major > major || (m.major === major && m.minor >= minor);
    }

    findEntry(id) {
        const entry = this.entries.get(id);
        return entry && entry.seq < this.limit ? entry : null;
    }

    appendBase(base) {
        if (!this.bases.has(base.id)) this.bases.set(base.id, base);
        this.model.baseUrls.push(base);
        return base;
    }

    parseLine(line, first) {
        const fields = this.fields;
        fields.reset(line);
        try {
            if (!fields.has()) return true;
            let type = fields.take();
            if (type === '') return true;
            if (first && type.startsWith('XO')) type = type.slice(2);
            switch (parseInteger(type)) {
            case 0: return first && this.parseHeader(fields);
            case 1:
                if (this.model.major === 2) {
                    this.model.description = fields.take();
                    this.model.date = fields.take();
                    return true;
                }
                return this.parseOldEntry(fields);
            case 2:
                if (this.deferring) {
                    this.deferKeyword(this.lineStart, this.lineStop, this.lineNumber);
                    return true;
                }
                return this.parseOldKeyword(fields);
            case 3: return this.parseBaseUrl(fields);
            case 5: return this.parseEntry(fields);
            case 6: return this.parsePageTip(fields);
            case 7:
                if (this.deferring) {
                    this.deferKeyword(this.lineStart, this.lineStop, this.lineNumber);
                    return true;
                }
                return this.parseKeyword(fields);
            default: return false;
            }
        } catch (e) {
            if (e === BAD) return false;
            throw e;
        }
    }

    parseHeader(fields) {
        const m = this.model;
        m.major = parseInteger(fields.take());
        switch (m.major) {
        case 0:
            m.date = fields.take();
            m.description = 'No description';
            break;
        case 1:
            m.minor = parseInteger(fields.take());
            m.description = fields.take();
            m.date = fields.take();
            break;
        case 2:
            m.minor = parseInteger(fields.take());
            m.coding = parseInteger(fields.take());
            if (m.coding !== 1) {
                m.major = -1;
                return false;
            }
            return true;
        default:
            m.major = -1;
            return false;
        }
        // Formats 0 and 1 start with one unnamed base URL that applies until a record 3.
        this.currentBase = this.appendBase(new BaseUrl(this.defaultBaseCount + 1, '', ''));
        ++this.defaultBaseCount;
        return true;
    }

    findParent(id) {
        if (id === 0) return this.model.root;
        if (id < 0) return null;
        const found = this.entries.get(id);
        return found && found.inRoot ? found : null;
    }

    place(entry, parent) {
        (parent ? parent.children : this.holding).push(entry);
        entry.inRoot = parent !== null;
        entry.seq = this.placed++;
        this.entries.set(entry.id, entry);
    }

    parseOldEntry(fields) {
        const id = parseInteger(fields.take());
        if (this.findEntry(id)) return false;
        const url = fields.take();
        const title = fields.take();
        if (title === '') return false;
        let parent = null;
        let icon = '';
        if (this.versionAtLeast(1, 2) && fields.has()) {
            parent = this.findParent(parseInteger(fields.take()));
            if (fields.has()) icon = fields.take();
        }
        const base = isAbsoluteUrl(url) ? null : this.currentBase;
        this.place(new Entry(id, base, url, title, '', icon, parent !== null), parent);
        return true;
    }

    parseEntry(fields) {
        const id = parseInteger(fields.take());
        if (this.findEntry(id)) return false;
        const baseField = fields.take();
        let base = null;
        if (baseField !== '') {
            base = this.bases.get(parseInteger(baseField)) || null;
            if (!base) return false;
        }
        const url = fields.take();
        const title = fields.take();
        if (title === '') return false;
        let target = '';
        let parent = null;
        let icon = '';
        if (fields.has()) target = fields.take();
        if (fields.has()) parent = this.findParent(parseInteger(fields.take()));
        if (fields.has()) icon = fields.take();
        this.place(new Entry(id, base, url, title, target, icon, parent !== null), parent);
        return true;
    }

    parseBaseUrl(fields) {
        if (this.model.major === 2) {
            const id = parseInteger(fields.take());
            if (id <= 0) return false;
            const url = ensureTrailingSlash(fields.take());
            const target = fields.has() ? fields.take() : '';
            this.appendBase(new BaseUrl(id, url, target));
            return true;
        }
        if (this.model.major === 1) {
            const url = ensureTrailingSlash(fields.take());
            this.currentBase = this.appendBase(new BaseUrl(this.defaultBaseCount + 1, url, ''));
            ++this.defaultBaseCount;
            return true;
        }
        return false;
    }

    parsePageTip(fields) {
        const id = parseInteger(fields.take());
        if (id === 0) {
            this.model.tip = fields.take();
            return true;
        }
        const entry = this.findEntry(id);
        if (!entry) return false;
        entry.tip = fields.take();
        return true;
    }

    // The entry a "&id" field names; the text after the id is left in this.rest.
    findReference(text) {
        this.rest = '';
        if (text.length < 2 || text.charCodeAt(0) !== 38) return null;
        let digits = 1;
        while (digits < text.length && text.charCodeAt(digits) >= 48 && text.charCodeAt(digits) <= 57) {
            ++digits;
        }
        if (digits === 1) return null;
        this.rest = text.slice(digits);
        return this.findEntry(referenceId(text, 1, digits));
    }

    // The text with its reference replaced; the entry it names is left in this.resolved.
    resolve(text, urlMode, base) {
        this.resolved = null;
        if (text === '') return text;
        if (text.length === 1 || text[0] !== '&') {
            if (urlMode && base && !isAbsoluteUrl(text)) text = base.url + text;
            return text;
        }
        text = text.slice(1);
        let digits = 0;
        while (digits < text.length && text.charCodeAt(digits) >= 48 && text.charCodeAt(digits) <= 57) {
            ++digits;
        }
        if (digits === 0) return text;
        const entry = this.findEntry(referenceId(text, 0, digits));
        if (!entry) return text;
        this.resolved = entry;
        return (urlMode ? entry.fullUrl : entry.title) + text.slice(digits);
    }

    parseKeyword(fields) {
        const phraseField = fields.take();
        const urlField = fields.take();
        const titleField = fields.take();
        if (phraseField === '' || titleField === '') return false;
        const target = fields.has() ? fields.take() : '';
        const byPhrase = this.findReference(phraseField);
        const byUrl = this.findReference(urlField);
        const urlRest = this.rest;
        const byTitle = this.findReference(titleField);
        const titleRest = this.rest;
        let owner;
        if (byPhrase) {
            const differs = (byUrl && byUrl !== byPhrase) || (byTitle && byTitle !== byPhrase);
            owner = differs ? null : byPhrase;
        } else if (byUrl) {
            owner = byTitle && byTitle !== byUrl ? null : byUrl;
        } else {
            owner = byTitle;
        }
        const phrase = this.resolve(phraseField, false, null);
        if (owner && byUrl === owner && byTitle === owner) {
            // As this program writes them: the rest after the references is already the
            // anchor and the extra title.
            owner.keywords.push(new Keyword(owner, phrase, urlRest, titleRest, target));
            return true;
        }
        const url = this.resolve(urlField, true, null);
        const title = this.resolve(titleField, false, null);
        this.storeKeyword(owner, phrase, url, title, target);
        return true;
    }

    parseOldKeyword(fields) {
        const phrase = fields.take();
        let title = fields.take();
        let url = fields.take();
        if (phrase === '' || title === '') return false;
        let target = '';
        if (this.versionAtLeast(1, 2) && fields.has()) target = fields.take();
        url = this.resolve(url, true, this.currentBase);
        const byUrl = this.resolved;
        title = this.resolve(title, false, null);
        const byTitle = this.resolved;
        const owner = byUrl ? (byTitle && byTitle !== byUrl ? null : byUrl) : byTitle;
        this.storeKeyword(owner, phrase, url, title, target);
        return true;
    }

    // A keyword stays with its owner only when its URL continues the owner's full URL.
    storeKeyword(owner, phrase, url, title, target) {
        if (owner && url !== '') {
            const base = owner.base ? owner.base.url : '';
            if (url.startsWith(base) && url.startsWith(owner.url, base.length)) {
                url = url.slice(base.length + owner.url.length);
            } else {
                owner = null;
            }
        }
        if (owner && title.startsWith(owner.title)) title = title.slice(owner.title.length);
        const keyword = new Keyword(owner, phrase, url, title, target);
        (owner ? owner.keywords : this.model.otherKeywords).push(keyword);
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

function readIndex(text) {
    return new IndexReader().read(String(text));
}

// The entries now, the keywords when readKeywords() is called.
function readIndexInSteps(text) {
    const reader = new IndexReader();
    reader.readEntries(String(text));
    return reader;
}

// ---------------------------------------------------------------- language files

const LANGUAGE_DEFAULTS = [
    'Look for: ', 'Keywords: ', 'Pages: ', 'Contents', 'Index', 'Select', 'About', 'Exit',
    'Display page', 'Select index (language)', 'About Navora...', 'Navora information...',
    'Reading help index', 'Index read', 'Click to see help index', 'Reading index file...',
    'Sorry, cannot do lookup as index not read', 'Displaying page', 'Could not display page',
];
const LANGUAGE_NAMES = [
    'lookFor', 'keywords', 'pages', 'contentsTab', 'indexTab', 'selectTab', 'aboutTab', 'exit',
    'displayPage', 'selectIndex', 'aboutNavora', 'information', 'readingHelpIndex', 'indexRead',
    'clickToSeeHelpIndex', 'readingIndexFile', 'cannotLookUp', 'displayingPage',
    'couldNotDisplayPage',
];

// texts[n - 1] is text number n; a text the file lacks keeps its default. badLines holds a
// format line other than "2;1".
function readLanguage(text) {
    const lines = String(text).split('\n')
        .map((line) => (line.endsWith('\r') ? line.slice(0, -1) : line))
        .filter((line) => line !== '');
    const result = {
        format: lines.length ? lines[0] : '',
        description: lines.length > 1 ? lines[1] : '',
        texts: LANGUAGE_DEFAULTS.slice(),
        byName: {},
        missing: Math.max(0, LANGUAGE_DEFAULTS.length - Math.max(0, lines.length - 2)),
        badLines: [],
    };
    if (result.format !== '2;1') result.badLines.push(result.format);
    for (let i = 0; i < LANGUAGE_DEFAULTS.length && i + 2 < lines.length; ++i) {
        result.texts[i] = lines[i + 2];
    }
    LANGUAGE_NAMES.forEach((name, i) => { result.byName[name] = result.texts[i]; });
    return result;
}

if (typeof module === 'object' && module.exports) {
    module.exports = { readIndex, readLanguage, decodeBytes };
}
if (typeof document === 'undefined') return;

// ---------------------------------------------------------------- the viewer

const JAVA_COLOURS = {
    black: '#000000', blue: '#0000ff', cyan: '#00ffff', darkgray: '#404040', gray: '#808080',
    green: '#00ff00', lightgray: '#c0c0c0', magenta: '#ff00ff', orange: '#ffc800',
    pink: '#ffafaf', red: '#ff0000', white: '#ffffff', yellow: '#ffff00',
};

// A colour name of the wizard or #RRGGBB; anything else keeps the style sheet's colour.
function cssColour(value) {
    const text = String(value || '').trim();
    if (/^#[0-9a-f]{6}$/i.test(text)) return text;
    return JAVA_COLOURS[text.toLowerCase()] || null;
}

function isDark(hex) {
    const n = parseInt(hex.slice(1), 16);
    return ((n >> 16) & 255) * 0.299 + ((n >> 8) & 255) * 0.587 + (n & 255) * 0.114 < 140;
}

// "Dialog 12pt", "Serif bold 14", "Courier italic 10pt" and the like.
function cssFont(value) {
    const words = String(value || '').trim().split(/\s+/).filter(Boolean);
    const font = { family: null, size: null, weight: null, style: null };
    const families = {
        dialog: 'sans-serif', sansserif: 'sans-serif', helvetica: 'sans-serif', arial: 'sans-serif',
        serif: 'serif', timesroman: 'serif', times: 'serif', monospaced: 'monospace',
        courier: 'monospace', dialoginput: 'monospace',
    };
    const names = [];
    for (const word of words) {
        const lower = word.toLowerCase();
        const size = /^(\d{1,3})(pt|px)?$/.exec(lower);
        if (size) {
            const n = Math.min(72, Math.max(6, parseInt(size[1], 10)));
            font.size = size[2] === 'px' ? n + 'px' : n + 'pt';
        } else if (lower === 'bold') {
            font.weight = 'bold';
        } else if (lower === 'italic') {
            font.style = 'italic';
        } else if (lower !== 'plain' && /^[a-z0-9-]+$/i.test(word)) {
            names.push(word);
        }
    }
    if (names.length) {
        const joined = names.join(' ');
        const generic = families[joined.toLowerCase().replace(/[\s-]/g, '')];
        font.family = generic || `"${joined}", sans-serif`;
    }
    return font;
}

// Only relative, http(s) and mailto URLs are followed; anything with another scheme is not.
function safeUrl(raw, base) {
    const text = String(raw || '');
    if (text.trim() === '') return null;
    const cleaned = text.replace(/[\u0000-\u0020\u007f]/g, '');
    let url;
    try {
        url = new URL(text.trim(), base);
    } catch (e) {
        return null;
    }
    if (/^[a-z][a-z0-9+.-]*:/i.test(cleaned)) {
        return ['http:', 'https:', 'mailto:'].includes(url.protocol) ? url.href : null;
    }
    if (cleaned.startsWith('//') || cleaned.startsWith('\\\\')) {
        return ['http:', 'https:'].includes(url.protocol) ? url.href : null;
    }
    return ['http:', 'https:', 'file:'].includes(url.protocol) ? url.href : null;
}

function make(tag, className, text) {
    const el = document.createElement(tag);
    if (className) el.className = className;
    if (text !== undefined) el.textContent = text;
    return el;
}

// Reads a file beside the page. XMLHttpRequest, because fetch() refuses file:// pages.
function readFile(url) {
    return new Promise((resolve, reject) => {
        let request;
        try {
            request = new XMLHttpRequest();
            request.open('GET', url, true);
            request.responseType = 'arraybuffer';
        } catch (e) {
            reject(e);
            return;
        }
        request.onload = () => {
            const ok = request.status === 200 || (request.status === 0 && request.response);
            if (ok) resolve(new Uint8Array(request.response));
            else reject(new Error(`HTTP ${request.status}`));
        };
        request.onerror = () => {
            if (typeof fetch !== 'function') {
                reject(new Error('not readable'));
                return;
            }
            fetch(url).then((r) => (r.ok ? r.arrayBuffer() : Promise.reject(new Error(`HTTP ${r.status}`))))
                .then((buffer) => resolve(new Uint8Array(buffer)), reject);
        };
        try {
            request.send();
        } catch (e) {
            reject(e);
        }
    });
}

// What one "index%d" PARAM holds, as the generator writes it:
// file[;enc],[language[;enc]],options,select URL,initial query,language and country.
function parseIndexParam(value) {
    const parts = String(value).split(',');
    const fileAndEncoding = (text) => {
        const at = (text || '').indexOf(';');
        return at < 0 ? { file: (text || '').trim(), encoding: '' }
            : { file: text.slice(0, at).trim(), encoding: text.slice(at + 1).trim() };
    };
    const index = fileAndEncoding(parts[0]);
    const language = fileAndEncoding(parts[1]);
    const words = (parts[2] || '').toLowerCase().split(/\s+/).filter(Boolean);
    const tail = parts.slice(4);
    const code = tail.length > 1 ? tail.pop() : '';
    return {
        value: String(value),
        indexFile: index.file,
        indexEncoding: index.encoding,
        languageFile: language.file,
        languageEncoding: language.encoding,
        noContents: words.includes('nocontents'),
        noIndex: words.includes('noindex'),
        indexFirst: words.includes('index'),
        sort: words.includes('sort'),
        expanded: words.includes('expanded'),
        selectUrl: (parts[3] || '').trim(),
        initialQuery: tail.join(','),
        languageCode: code.trim(),
    };
}

let nextId = 1;

// A list that puts only the rows in view into the page, so 100,000 rows cost no more than
// twenty. Rows come from getCount()/getItem(i); renderRow fills a row element.
class VirtualList {
    constructor(role, label, renderRow, onActivate) {
        this.el = make('div', 'nv-list');
        this.el.setAttribute('role', role);
        this.el.setAttribute('aria-label', label);
        this.el.tabIndex = 0;
        this.spacer = make('div', 'nv-spacer');
        this.el.appendChild(this.spacer);
        this.renderRow = renderRow;
        this.onActivate = onActivate;
        this.onSelect = null;
        this.onKey = null;
        this.items = [];
        this.start = 0;
        this.count = 0;
        this.selected = -1;
        this.rowHeight = 0;
        this.rows = new Map();
        this.idBase = `nv${nextId++}-`;
        this.typed = '';
        this.typedAt = 0;
        this.el.addEventListener('scroll', () => this.draw());
        this.el.addEventListener('keydown', (e) => this.key(e));
        this.el.addEventListener('click', (e) => this.click(e));
        this.el.addEventListener('dblclick', (e) => {
            const i = this.rowIndex(e.target);
            if (i >= 0 && this.onActivate) this.onActivate(this.item(i), i, 'dblclick');
        });
    }
    // The list shows items[start .. start + count).
    setItems(items, start = 0, count = items.length) {
        this.items = items;
        this.start = start;
        this.count = count;
        this.selected = count ? Math.min(Math.max(this.selected, 0), count - 1) : -1;
        this.refresh();
    }
    item(i) {
        return this.items[this.start + i];
    }
    measure() {
        if (this.rowHeight) return this.rowHeight;
        const probe = make('div', 'nv-row', 'Xg');
        this.el.appendChild(probe);
        this.rowHeight = probe.getBoundingClientRect().height || 20;
        probe.remove();
        return this.rowHeight;
    }
    refresh() {
        for (const row of this.rows.values()) row.remove();
        this.rows.clear();
        this.draw();
    }
    draw() {
        const h = this.measure();
        this.spacer.style.height = `${this.count * h}px`;
        const view = this.el.clientHeight || 300;
        const first = Math.max(0, Math.floor(this.el.scrollTop / h) - 5);
        const last = Math.min(this.count, Math.ceil((this.el.scrollTop + view) / h) + 5);
        for (const [i, row] of this.rows) {
            if (i < first || i >= last) {
                row.remove();
                this.rows.delete(i);
            }
        }
        for (let i = first; i < last; ++i) {
            if (this.rows.has(i)) continue;
            const row = make('div', 'nv-row');
            row.id = this.idBase + i;
            row.dataset.index = String(i);
            row.style.top = `${i * h}px`;
            row.setAttribute('aria-selected', i === this.selected ? 'true' : 'false');
            if (i === this.selected) row.classList.add('nv-selected');
            this.renderRow(row, this.item(i), i);
            this.el.appendChild(row);
            this.rows.set(i, row);
        }
        if (this.selected >= 0) this.el.setAttribute('aria-activedescendant', this.idBase + this.selected);
        else this.el.removeAttribute('aria-activedescendant');
    }
    select(i, scroll = true) {
        if (!this.count) return;
        i = Math.max(0, Math.min(this.count - 1, i));
        const old = this.rows.get(this.selected);
        if (old) {
            old.classList.remove('nv-selected');
            old.setAttribute('aria-selected', 'false');
        }
        this.selected = i;
        if (scroll) this.scrollTo(i);
        this.draw();
        const row = this.rows.get(i);
        if (row) {
            row.classList.add('nv-selected');
            row.setAttribute('aria-selected', 'true');
        }
        if (this.onSelect) this.onSelect(this.item(i), i);
    }
    scrollTo(i) {
        const h = this.measure();
        const view = this.el.clientHeight || 300;
        if (i * h < this.el.scrollTop) this.el.scrollTop = i * h;
        else if ((i + 1) * h > this.el.scrollTop + view) this.el.scrollTop = (i + 1) * h - view;
    }
    rowIndex(target) {
        const row = target && target.closest ? target.closest('.nv-row') : null;
        return row && this.el.contains(row) ? parseInt(row.dataset.index, 10) : -1;
    }
    click(e) {
        const i = this.rowIndex(e.target);
        if (i < 0) return;
        this.el.focus({ preventScroll: true });
        this.select(i, false);
        if (this.onClick) this.onClick(this.item(i), i, e);
    }
    key(e) {
        if (this.onKey && this.onKey(e)) return;
        const page = Math.max(1, Math.floor((this.el.clientHeight || 300) / this.measure()) - 1);
        const moves = {
            ArrowDown: this.selected + 1, ArrowUp: this.selected - 1, Home: 0, End: this.count - 1,
            PageDown: this.selected + page, PageUp: this.selected - page,
        };
        if (e.key in moves) {
            this.select(moves[e.key]);
        } else if (e.key === 'Enter' || e.key === ' ') {
            if (this.selected >= 0 && this.onActivate) this.onActivate(this.item(this.selected), this.selected, 'key');
        } else if (e.key.length === 1 && !e.ctrlKey && !e.metaKey && !e.altKey) {
            this.typeAhead(e.key);
        } else {
            return;
        }
        e.preventDefault();
    }
    // Jumps to the next row whose text starts with what was typed in the last second.
    typeAhead(ch) {
        const now = Date.now();
        this.typed = now - this.typedAt > 1000 ? ch : this.typed + ch;
        this.typedAt = now;
        const wanted = this.typed.toLowerCase();
        const from = this.typed.length === 1 ? this.selected + 1 : this.selected;
        const limit = Math.min(this.count, 200000);
        for (let k = 0; k < limit; ++k) {
            const i = (Math.max(from, 0) + k) % this.count;
            const text = this.textOf ? this.textOf(this.item(i)) : '';
            if (text.toLowerCase().startsWith(wanted)) {
                this.select(i);
                return;
            }
        }
    }
}

const BUILT_IN_TEXT = {
    bad: (n) => (n === 1 ? '1 line of the index file could not be read and was skipped'
        : `${n} lines of the index file could not be read and were skipped`),
    notRead: 'The index file could not be read',
    empty: 'The index has no entries',
};

// One viewer in place of one APPLET element.
class Viewer {
    constructor(applet, params, width, height) {
        this.applet = applet;
        this.params = params;
        this.width = width;
        this.height = height;
        this.indexes = [];
        for (let n = 1; params.has(`index${n}`); ++n) this.indexes.push(parseIndexParam(params.get(`index${n}`)));
        const mode = (params.get('mode') || 'applet wide').toLowerCase().split(/\s+/);
        this.iconMode = mode.includes('icon');
        this.high = mode.includes('high');
        this.popUp = mode.includes('popup');
        this.closeAfter = mode.includes('close');
        this.defaultTarget = (params.get('target') || '').trim() || '_self';
        this.texts = LANGUAGE_DEFAULTS.slice();
        this.model = null;
        this.current = -1;
        this.loadCount = 0;
        this.build();
    }

    text(n) {
        return this.texts[n - 1] || LANGUAGE_DEFAULTS[n - 1];
    }

    imageUrl(name) {
        return name ? safeUrl(name, document.baseURI) : null;
    }

    applyLook(el) {
        const p = this.params;
        const set = (name, param) => {
            const colour = cssColour(p.get(param));
            if (colour) el.style.setProperty(name, colour);
            return colour;
        };
        set('--nv-bg', 'bgcolour');
        set('--nv-fg', 'fgcolour');
        set('--nv-field', 'fieldbgcolor');
        set('--nv-icon-bg', 'iconbgcolor');
        set('--nv-card', 'cardbgcolor');
        set('--nv-tip', 'tipbgcolor');
        const select = set('--nv-select', 'selectcolor');
        if (select) el.style.setProperty('--nv-select-fg', isDark(select) ? '#ffffff' : '#000000');
        const font = cssFont(p.get('font'));
        if (font.family) el.style.fontFamily = font.family;
        if (font.size) el.style.fontSize = font.size;
        if (font.weight) el.style.fontWeight = font.weight;
        if (font.style) el.style.fontStyle = font.style;
        if ((p.get('buttonshape') || '').trim().toLowerCase() === 'square') el.classList.add('nv-square');
    }

    build() {
        const root = make('div', 'nv-viewer');
        root.classList.add(this.high ? 'nv-high' : 'nv-wide');
        this.applyLook(root);
        this.root = root;

        this.tabBar = make('div', 'nv-tabs');
        this.tabBar.setAttribute('role', 'tablist');
        this.cards = make('div', 'nv-cards');
        this.tipLine = make('div', 'nv-tipline');
        this.status = make('div', 'nv-status');
        this.status.setAttribute('role', 'status');
        this.status.setAttribute('aria-live', 'polite');
        root.append(this.tabBar, this.cards, this.tipLine, this.status);
        this.buildContents();
        this.buildIndex();
        this.buildSelect();
        this.buildAbout();

        if (this.iconMode) this.buildIconMode();
        else {
            root.style.width = `${this.width}px`;
            root.style.height = `${this.height}px`;
            this.applet.parentNode.insertBefore(root, this.applet);
        }
        this.applet.style.display = 'none';
        this.applet.setAttribute('aria-hidden', 'true');
        if (!this.indexes.length) {
            this.setStatus(BUILT_IN_TEXT.notRead);
            this.showTabs();
            return;
        }
        this.load(0);
    }

    buildIconMode() {
        const p = this.params;
        const button = make('button', 'nv-icon');
        button.type = 'button';
        button.setAttribute('aria-haspopup', 'dialog');
        button.setAttribute('aria-label', 'Navora');
        const bg = cssColour(p.get('iconbgcolor'));
        if (bg) button.style.backgroundColor = bg;
        const icon = this.imageUrl(p.get('icon'));
        if (icon) {
            const img = make('img');
            img.alt = 'Navora';
            img.src = icon;
            button.appendChild(img);
        } else {
            button.appendChild(make('span', 'nv-icon-glyph', '\u2630'));
        }
        this.applet.parentNode.insertBefore(button, this.applet);
        this.iconButton = button;

        const win = make('div', 'nv-window');
        win.setAttribute('role', 'dialog');
        win.setAttribute('aria-label', 'Navora');
        win.hidden = true;
        const size = (p.get('miniconwindowsize') || '').split(',').map((v) => parseInt(v, 10) || 0);
        const w = Math.max(this.width, size[0] || 0, 200);
        const h = Math.max(this.height, size[1] || 0, 150);
        win.style.width = `${w}px`;
        win.style.height = `${h}px`;
        const bar = make('div', 'nv-window-bar');
        this.exitButton = make('button', 'nv-exit', this.text(8));
        this.exitButton.type = 'button';
        this.exitButton.addEventListener('click', () => this.closeWindow());
        bar.appendChild(this.exitButton);
        win.append(bar, this.root);
        win.addEventListener('keydown', (e) => {
            if (e.key === 'Escape') this.closeWindow();
        });
        document.body.appendChild(win);
        this.window = win;
        button.addEventListener('click', () => (win.hidden ? this.openWindow() : this.closeWindow()));
        if (this.popUp) this.openWindow();
    }

    openWindow() {
        if (!this.window) return;
        this.window.hidden = false;
        this.iconButton.setAttribute('aria-expanded', 'true');
        this.drawLists();
        const tab = this.tabs && this.tabs.find((t) => t.tab.getAttribute('aria-selected') === 'true');
        if (tab) tab.tab.focus();
    }

    closeWindow() {
        if (!this.window) return;
        this.window.hidden = true;
        this.iconButton.setAttribute('aria-expanded', 'false');
        this.iconButton.focus();
    }

    setStatus(text) {
        this.status.textContent = text;
    }

    // ---- Contents: a tree drawn as a list of its visible rows.

    buildContents() {
        const card = make('div', 'nv-card nv-contents');
        this.tree = new VirtualList('tree', 'Contents', (row, node) => this.renderNode(row, node),
            (node) => this.activateNode(node));
        this.tree.textOf = (node) => node.entry.title;
        this.tree.onKey = (e) => this.treeKey(e);
        this.tree.onClick = (node, i, e) => {
            if (e.target.closest('.nv-toggle')) this.toggle(i);
            else this.activateNode(node);
        };
        this.tree.onSelect = (node) => this.showTip(node.entry.tip);
        this.treeMessage = make('div', 'nv-message');
        card.append(this.tree.el, this.treeMessage);
        this.contentsCard = card;
    }

    renderNode(row, node) {
        const entry = node.entry;
        row.setAttribute('role', 'treeitem');
        row.setAttribute('aria-level', String(node.depth + 1));
        row.style.paddingLeft = `${node.depth * 1.2 + 0.2}em`;
        const hasChildren = entry.children.length > 0;
        if (hasChildren) row.setAttribute('aria-expanded', node.open ? 'true' : 'false');
        const toggle = make('span', 'nv-toggle', hasChildren ? (node.open ? '\u2212' : '+') : '');
        if (!hasChildren) toggle.classList.add('nv-leaf');
        toggle.setAttribute('aria-hidden', 'true');
        row.appendChild(toggle);
        row.appendChild(this.nodeIcon(entry, hasChildren, node.open));
        row.appendChild(make('span', 'nv-label', entry.title));
        if (entry.tip) row.title = entry.tip;
    }

    nodeIcon(entry, folder, open) {
        const own = this.imageUrl(entry.icon);
        const strip = this.imageUrl(this.params.get('contentsicons'));
        if (own || strip) {
            const img = make('img', 'nv-node-icon');
            img.alt = '';
            if (own) img.src = own;
            else {
                img.src = strip;
                img.classList.add('nv-strip');
                img.style.objectPosition = `${-16 * (folder ? (open ? 1 : 0) : 2)}px 0`;
            }
            return img;
        }
        const glyph = make('span', `nv-node-icon nv-glyph ${folder ? (open ? 'nv-open' : 'nv-closed') : 'nv-page'}`);
        glyph.setAttribute('aria-hidden', 'true');
        return glyph;
    }

    treeKey(e) {
        const i = this.tree.selected;
        if (i < 0) return false;
        const node = this.tree.item(i);
        if (e.key === 'ArrowRight') {
            if (node.entry.children.length && !node.open) this.toggle(i);
            else if (node.open) this.tree.select(i + 1);
        } else if (e.key === 'ArrowLeft') {
            if (node.open) this.toggle(i);
            else {
                for (let k = i - 1; k >= 0; --k) {
                    if (this.tree.item(k).depth < node.depth) {
                        this.tree.select(k);
                        break;
                    }
                }
            }
        } else if (e.key === '*') {
            this.expandAll(i);
        } else {
            return false;
        }
        e.preventDefault();
        return true;
    }

    childNodes(entry, depth, open) {
        return entry.children.map((child) => ({ entry: child, depth, open: open && child.children.length > 0 }));
    }

    // Opens or closes row i; only the rows of an open branch are ever made.
    toggle(i) {
        const rows = this.visible;
        const node = rows[i];
        if (!node.entry.children.length) return;
        if (node.open) {
            let end = i + 1;
            while (end < rows.length && rows[end].depth > node.depth) ++end;
            rows.splice(i + 1, end - i - 1);
            node.open = false;
        } else {
            node.open = true;
            spliceAll(rows, i + 1, this.childNodes(node.entry, node.depth + 1, false));
        }
        this.tree.setItems(rows);
        this.tree.select(i);
    }

    expandAll(i) {
        const rows = this.visible;
        const node = rows[i];
        if (node.open) this.toggle(i);
        const added = openRows(node.entry.children, node.depth + 1);
        node.open = node.entry.children.length > 0;
        spliceAll(rows, i + 1, added);
        this.tree.setItems(rows);
        this.tree.select(i);
    }

    activateNode(node) {
        const entry = node.entry;
        if (entry.url === '' && !entry.base) {
            const i = this.visible.indexOf(node);
            if (i >= 0) this.toggle(i);
            return;
        }
        this.display(entry.fullUrl, this.entryTarget(entry));
    }

    showTip(tip) {
        this.tipLine.textContent = tip || '';
        this.tipLine.classList.toggle('nv-has-tip', !!tip);
    }

    // ---- Index: Look for, the sorted keywords, their pages.

    buildIndex() {
        const card = make('div', 'nv-card nv-index');
        const lookRow = make('label', 'nv-lookfor');
        this.lookForLabel = make('span', 'nv-prompt');
        this.lookFor = make('input', 'nv-input');
        this.lookFor.type = 'text';
        this.lookFor.setAttribute('autocomplete', 'off');
        this.lookFor.setAttribute('aria-autocomplete', 'list');
        lookRow.append(this.lookForLabel, this.lookFor);
        this.keywordsLabel = make('div', 'nv-prompt');
        this.keywordsLabel.id = `nv${nextId++}-kw`;
        this.keywordList = new VirtualList('listbox', 'Keywords', (row, group) => {
            row.setAttribute('role', 'option');
            row.textContent = group.phrase;
        }, () => this.displaySelectedPage());
        this.keywordList.el.setAttribute('aria-labelledby', this.keywordsLabel.id);
        this.keywordList.textOf = (group) => group.phrase;
        this.keywordList.onSelect = (group) => this.showPages(group);
        this.pagesLabel = make('div', 'nv-prompt');
        this.pagesLabel.id = `nv${nextId++}-pg`;
        this.pageList = new VirtualList('listbox', 'Pages', (row, keyword) => {
            row.setAttribute('role', 'option');
            row.textContent = keyword.fullTitle || keyword.phrase;
            const url = keyword.fullUrl;
            if (url) row.title = url;
        }, () => this.displaySelectedPage());
        this.pageList.el.setAttribute('aria-labelledby', this.pagesLabel.id);
        this.pageList.textOf = (keyword) => keyword.fullTitle;
        this.displayButton = make('button', 'nv-button');
        this.displayButton.type = 'button';
        this.displayButton.addEventListener('click', () => this.displaySelectedPage());
        this.lookFor.addEventListener('input', () => this.narrow());
        this.lookFor.addEventListener('keydown', (e) => {
            if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
                this.keywordList.key(e);
            } else if (e.key === 'Enter') {
                e.preventDefault();
                this.displaySelectedPage();
            }
        });
        const left = make('div', 'nv-pane');
        left.append(lookRow, this.keywordsLabel, this.keywordList.el);
        const right = make('div', 'nv-pane');
        right.append(this.pagesLabel, this.pageList.el, this.displayButton);
        card.append(left, right);
        this.indexCard = card;
    }

    // Every keyword of the index, sorted by phrase without regard to case, grouped by phrase.
    // Made when the Index tab is first wanted, so the contents show first.
    keywordGroups() {
        if (this.groups) return this.groups;
        this.finishReading();
        if (this.groups) return this.groups;
        const all = [];
        const walk = (entries) => {
            const stack = [entries];
            while (stack.length) {
                const list = stack.pop();
                for (let i = list.length - 1; i >= 0; --i) {
                    const entry = list[i];
                    for (const keyword of entry.keywords) all.push(keyword);
                    if (entry.children.length) stack.push(entry.children);
                }
            }
        };
        walk(this.model.root.children);
        for (const keyword of this.model.otherKeywords) all.push(keyword);
        const keyed = all.map((keyword, order) => ({ key: keyword.phrase.toLowerCase(), keyword, order }));
        keyed.sort((a, b) => (a.key < b.key ? -1 : a.key > b.key ? 1
            : a.keyword.phrase < b.keyword.phrase ? -1 : a.keyword.phrase > b.keyword.phrase ? 1 : a.order - b.order));
        const groups = [];
        for (const k of keyed) {
            const last = groups[groups.length - 1];
            if (last && last.phrase === k.keyword.phrase) last.keywords.push(k.keyword);
            else groups.push({ phrase: k.keyword.phrase, key: k.key, keywords: [k.keyword] });
        }
        this.groups = groups;
        return groups;
    }

    // The keywords that begin with what Look for holds: two binary searches, no rebuild.
    narrow() {
        if (!this.model) {
            this.setStatus(this.text(17));
            return;
        }
        const groups = this.keywordGroups();
        const wanted = this.lookFor.value.toLowerCase();
        const lower = (key) => {
            let lo = 0;
            let hi = groups.length;
            while (lo < hi) {
                const mid = (lo + hi) >> 1;
                if (groups[mid].key < key) lo = mid + 1;
                else hi = mid;
            }
            return lo;
        };
        const from = lower(wanted);
        const to = wanted === '' ? groups.length : lower(wanted + '\uffff');
        this.keywordList.el.scrollTop = 0;
        this.keywordList.selected = -1;
        this.keywordList.setItems(groups, from, to - from);
        if (to > from) this.keywordList.select(0);
        else this.showPages(null);
    }

    showPages(group) {
        this.pageList.selected = -1;
        this.pageList.el.scrollTop = 0;
        const keywords = group ? group.keywords : [];
        this.pageList.setItems(keywords);
        if (keywords.length) this.pageList.select(0, false);
    }

    displaySelectedPage() {
        if (!this.model) {
            this.setStatus(this.text(17));
            return;
        }
        const i = this.pageList.selected;
        if (i < 0) {
            this.setStatus(this.text(19));
            return;
        }
        const keyword = this.pageList.item(i);
        this.display(keyword.fullUrl, this.keywordTarget(keyword));
    }

    // ---- Select and About.

    buildSelect() {
        const card = make('div', 'nv-card nv-select');
        this.selectLabel = make('div', 'nv-prompt');
        this.selectLabel.id = `nv${nextId++}-sel`;
        this.selectList = new VirtualList('listbox', 'Select', (row, item) => {
            row.setAttribute('role', 'option');
            row.textContent = item.label;
        }, (item) => this.choose(item.n));
        this.selectList.el.setAttribute('aria-labelledby', this.selectLabel.id);
        this.selectList.textOf = (item) => item.label;
        this.selectList.onClick = (item) => this.choose(item.n);
        card.append(this.selectLabel, this.selectList.el);
        this.selectCard = card;
    }

    selectItems() {
        return this.indexes.map((p, n) => {
            const language = p.languageFile ? p.languageFile.replace(/\.xol$/i, '') : '';
            const code = p.languageCode ? ` [${p.languageCode}]` : '';
            return { n, label: `${p.indexFile}${language ? ` (${language})` : ''}${code}` };
        });
    }

    choose(n) {
        if (n === this.current) return;
        this.load(n, true);
    }

    buildAbout() {
        const card = make('div', 'nv-card nv-about');
        this.aboutTitle = make('h2', 'nv-about-title');
        this.aboutBody = make('dl', 'nv-about-body');
        card.append(this.aboutTitle, this.aboutBody);
        this.aboutCard = card;
    }

    fillAbout() {
        this.aboutTitle.textContent = this.text(11).replace(/\.\.\.$/, '');
        const body = this.aboutBody;
        body.textContent = '';
        const add = (term, value) => {
            if (!value) return;
            body.append(make('dt', '', term), make('dd', '', value));
        };
        const p = this.indexes[this.current];
        const m = this.model;
        if (p) add('Index file', p.indexFile);
        if (m) {
            add('Description', m.description);
            add('Date', m.date);
            add('Tip', m.tip);
            add('Entries', String(this.entryCount));
            add('Keywords', String(this.keywordCount));
        }
        if (this.languageDescription) add('Language', this.languageDescription);
        add('Viewer', 'Navora for browsers without Java');
    }

    // ---- Tabs.

    showTabs() {
        const p = this.indexes[this.current] || {};
        const tabs = [];
        if (!p.noContents) tabs.push({ card: this.contentsCard, n: 4, name: 'contents' });
        if (!p.noIndex) tabs.push({ card: this.indexCard, n: 5, name: 'index' });
        if (this.indexes.length > 1) tabs.push({ card: this.selectCard, n: 6, name: 'select' });
        tabs.push({ card: this.aboutCard, n: 7, name: 'about' });
        this.tabBar.textContent = '';
        this.cards.textContent = '';
        const strip = this.imageUrl(this.params.get('tabicons'));
        const iconIndex = { contents: 0, index: 1, select: 2, about: 3 };
        for (const t of tabs) {
            const tab = make('button', 'nv-tab');
            tab.type = 'button';
            tab.setAttribute('role', 'tab');
            tab.id = `nv${nextId++}-tab`;
            tab.dataset.name = t.name;
            if (strip) {
                const img = make('img', 'nv-tab-icon nv-strip');
                img.alt = '';
                img.src = strip;
                img.style.objectPosition = `${-16 * iconIndex[t.name]}px 0`;
                tab.appendChild(img);
            }
            tab.appendChild(make('span', '', this.text(t.n)));
            t.card.setAttribute('role', 'tabpanel');
            t.card.setAttribute('aria-labelledby', tab.id);
            tab.addEventListener('click', () => this.selectTab(t));
            tab.addEventListener('keydown', (e) => this.tabKey(e, tabs.indexOf(t)));
            t.tab = tab;
            this.tabBar.appendChild(tab);
            this.cards.appendChild(t.card);
        }
        this.tabs = tabs;
        this.lookForLabel.textContent = this.text(1);
        this.keywordsLabel.textContent = this.text(2);
        this.pagesLabel.textContent = this.text(3);
        this.displayButton.textContent = this.text(9);
        this.selectLabel.textContent = this.text(10);
        if (this.exitButton) this.exitButton.textContent = this.text(8);
        if (this.iconButton) this.iconButton.title = this.text(15);
        this.root.setAttribute('lang', (p.languageCode || '').slice(0, 2).toLowerCase() || 'en');
        this.fillAbout();
        const first = tabs.find((t) => t.name === (p.indexFirst ? 'index' : 'contents')) || tabs[0];
        this.selectTab(first, false);
    }

    tabKey(e, i) {
        const n = this.tabs.length;
        const moves = { ArrowRight: i + 1, ArrowLeft: i - 1, Home: 0, End: n - 1 };
        if (!(e.key in moves)) return;
        e.preventDefault();
        const t = this.tabs[(moves[e.key] + n) % n];
        this.selectTab(t);
        t.tab.focus();
    }

    selectTab(t) {
        for (const other of this.tabs) {
            const on = other === t;
            other.tab.setAttribute('aria-selected', on ? 'true' : 'false');
            other.tab.tabIndex = on ? 0 : -1;
            other.card.hidden = !on;
        }
        this.activeTab = t.name;
        if (t.name === 'index' && this.model && !this.keywordList.count && !this.indexShown) {
            this.indexShown = true;
            this.narrow();
        }
        if (t.name === 'select') {
            this.selectList.setItems(this.selectItems());
            this.selectList.select(Math.max(this.current, 0), false);
        }
        this.drawLists();
    }

    drawLists() {
        for (const list of [this.tree, this.keywordList, this.pageList, this.selectList]) {
            list.rowHeight = 0;
            list.draw();
        }
    }

    // ---- Loading an index and its language file.

    // Whatever goes wrong while loading leaves a message, never an empty panel.
    async load(n, chosen = false) {
        try {
            await this.loadIndex(n, chosen);
        } catch (e) {
            this.treeMessage.textContent = `${BUILT_IN_TEXT.notRead}: ${(this.indexes[n] || {}).indexFile || ''}`;
            this.setStatus(this.text(17));
            this.signal();
        }
    }

    async loadIndex(n, chosen) {
        const ticket = ++this.loadCount;
        const p = this.indexes[n];
        this.current = n;
        this.model = null;
        this.reader = null;
        this.groups = null;
        this.indexShown = false;
        this.visible = [];
        this.tree.setItems([]);
        this.keywordList.setItems([]);
        this.pageList.setItems([]);
        this.texts = LANGUAGE_DEFAULTS.slice();
        this.languageDescription = '';
        this.treeMessage.textContent = '';
        if (p.languageFile) {
            try {
                const language = readLanguage(decodeBytes(await readFile(p.languageFile), p.languageEncoding));
                if (ticket !== this.loadCount) return;
                this.texts = language.texts;
                this.languageDescription = language.description;
            } catch (e) {
                // The default texts stand in for a language file that cannot be read.
            }
        }
        if (ticket !== this.loadCount) return;
        this.lookFor.value = p.initialQuery;
        this.showTabs();
        this.setStatus(this.text(16));
        let bytes;
        try {
            bytes = await readFile(p.indexFile);
        } catch (e) {
            if (ticket !== this.loadCount) return;
            this.treeMessage.textContent = `${BUILT_IN_TEXT.notRead}: ${p.indexFile}`;
            this.setStatus(this.text(17));
            this.fillAbout();
            this.signal();
            return;
        }
        if (ticket !== this.loadCount) return;
        // Kept for the benchmark: where the time to the first tree goes.
        const read = performance.now();
        const text = decodeBytes(bytes, p.indexEncoding);
        const decoded = performance.now();
        this.reader = readIndexInSteps(text);
        const parsed = performance.now();
        this.show(this.reader.model, p);
        this.timings = { read, decode: decoded - read, parse: parsed - decoded, show: performance.now() - parsed };
        // The keywords are read once the tree is on the screen, and sorted for the Index
        // tab a little later, unless the reader asks for them first.
        afterPaint(() => {
            if (ticket !== this.loadCount) return;
            this.finishReading();
            setTimeout(() => {
                if (ticket === this.loadCount && this.model) this.keywordGroups();
            }, 100);
        });
        if (chosen && p.selectUrl) this.display(p.selectUrl, this.defaultTarget);
    }

    show(model, p) {
        this.model = model;
        this.sortWanted = p.sort;
        if (p.sort) sortTree(model.root);
        // Entries not in contents are kept for the index but not shown in the tree.
        const top = model.root.children.filter((e) => e.inContents);
        if (p.expanded) {
            this.visible = openRows(top, 0);
        } else {
            this.visible = top.map((entry) => ({ entry, depth: 0, open: false }));
        }
        this.tree.selected = -1;
        this.tree.setItems(this.visible);
        if (this.visible.length) this.tree.select(0, false);
        this.treeMessage.textContent = this.visible.length ? '' : BUILT_IN_TEXT.empty;
        this.showTip(model.tip);
        this.root.dispatchEvent(new CustomEvent('navora-web-tree', { bubbles: true }));
    }

    // Reads the keywords the first step left, then tells the reader the index is read.
    finishReading() {
        if (!this.reader) return;
        const reader = this.reader;
        this.reader = null;
        let model;
        try {
            model = reader.readKeywords();
        } catch (e) {
            this.setStatus(this.text(17));
            this.signal();
            return;
        }
        let entries = 0;
        let keywords = model.otherKeywords.length;
        const stack = [model.root.children];
        while (stack.length) {
            for (const entry of stack.pop()) {
                ++entries;
                keywords += entry.keywords.length;
                if (entry.children.length) stack.push(entry.children);
            }
        }
        this.entryCount = entries;
        this.keywordCount = keywords;
        const bad = model.badLines.length;
        this.setStatus(bad ? `${this.text(14)} \u2013 ${BUILT_IN_TEXT.bad(bad)}` : this.text(14));
        this.fillAbout();
        if (this.activeTab === 'index') {
            this.indexShown = true;
            this.narrow();
        }
        this.signal();
    }

    signal() {
        this.root.dataset.state = this.model ? 'ready' : 'failed';
        const event = new CustomEvent('navora-web-ready', { bubbles: true, detail: { viewer: this } });
        this.root.dispatchEvent(event);
    }

    // ---- Opening pages.

    entryTarget(entry) {
        if (entry.ownTarget) return entry.target;
        if (entry.base && entry.base.target) return entry.base.target;
        return this.defaultTarget;
    }

    keywordTarget(keyword) {
        if (keyword.ownTarget) return keyword.target;
        return keyword.owner ? this.entryTarget(keyword.owner) : this.defaultTarget;
    }

    // Opens `url` in `target` as a link of the page would.
    display(url, target) {
        const href = safeUrl(url, document.baseURI);
        if (!href) {
            this.setStatus(`${this.text(19)}: ${url}`);
            return false;
        }
        this.setStatus(this.text(18));
        const link = document.createElement('a');
        link.href = href;
        link.target = (target || '').trim() || '_self';
        if (link.target === '_blank') link.rel = 'noopener';
        link.style.display = 'none';
        document.body.appendChild(link);
        try {
            link.click();
        } catch (e) {
            this.setStatus(this.text(19));
        }
        link.remove();
        if (this.closeAfter && this.iconMode) this.closeWindow();
        return true;
    }
}

// Runs `fn` once the next frame is painted, or after a second where a hidden page paints none.
function afterPaint(fn) {
    let done = false;
    const run = () => {
        if (!done) {
            done = true;
            fn();
        }
    };
    requestAnimationFrame(() => setTimeout(run, 0));
    setTimeout(run, 1000);
}

// The rows of `entries` and of everything below them, all open, in tree order. An index can
// be deeper than the call stack, so this walks with its own stack.
function openRows(entries, depth) {
    const rows = [];
    const stack = [[entries, 0, depth]];
    while (stack.length) {
        const top = stack[stack.length - 1];
        if (top[1] >= top[0].length) {
            stack.pop();
            continue;
        }
        const entry = top[0][top[1]++];
        rows.push({ entry, depth: top[2], open: entry.children.length > 0 });
        if (entry.children.length) stack.push([entry.children, 0, top[2] + 1]);
    }
    return rows;
}

function spliceAll(array, at, items) {
    // Large branches go in slices; spreading them at once can overflow the call stack.
    for (let k = 0; k < items.length; k += 10000) {
        array.splice(at + k, 0, ...items.slice(k, k + 10000));
    }
}

function sortTree(root) {
    const stack = [root];
    while (stack.length) {
        const entry = stack.pop();
        entry.children.sort((a, b) => {
            const x = a.title.toLowerCase();
            const y = b.title.toLowerCase();
            return x < y ? -1 : x > y ? 1 : 0;
        });
        for (const child of entry.children) if (child.children.length) stack.push(child);
    }
}

// ---- Finding the applets.

function isNavora(applet) {
    const code = (applet.getAttribute('code') || '').trim().replace(/\.class$/i, '');
    return /(^|\.)Navora$/i.test(code);
}

function appletParams(applet) {
    const params = new Map();
    for (const param of applet.querySelectorAll('param')) {
        const name = (param.getAttribute('name') || '').trim().toLowerCase();
        if (name && !params.has(name)) params.set(name, param.getAttribute('value') || '');
    }
    return params;
}

function sizeOf(applet, name, fallback) {
    const n = parseInt(applet.getAttribute(name) || '', 10);
    return n > 0 && n <= 4000 ? n : fallback;
}

const started = new WeakSet();
const viewers = [];

function startAll() {
    for (const applet of Array.from(document.getElementsByTagName('applet'))) {
        if (started.has(applet) || !isNavora(applet)) continue;
        started.add(applet);
        try {
            viewers.push(new Viewer(applet, appletParams(applet), sizeOf(applet, 'width', 400),
                sizeOf(applet, 'height', 300)));
        } catch (e) {
            // A viewer that fails leaves the page as it was, sorry text and all.
            applet.style.display = '';
        }
    }
}

function addStyleSheet() {
    const script = document.currentScript;
    const src = script && script.src;
    if (!src || document.querySelector('link[data-navora-web]')) return;
    const link = document.createElement('link');
    link.rel = 'stylesheet';
    link.href = new URL('navora-web.css', src).href;
    link.dataset.navoraWeb = '';
    // Rows are measured once the style sheet gives them their height.
    link.addEventListener('load', redrawAll);
    (document.head || document.documentElement).appendChild(link);
}

function redrawAll() {
    for (const viewer of viewers) viewer.drawLists();
}

addStyleSheet();
window.addEventListener('load', redrawAll);
window.addEventListener('resize', redrawAll);
window.NavoraWeb = { viewers, readIndex, readLanguage, decodeBytes, start: startAll };
if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', startAll);
}
startAll();
})();
