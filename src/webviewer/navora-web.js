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

// Windows-1252 as browsers read it, where the five unassigned bytes stand for C1 controls.
function decodeWindows1252(bytes) {
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
    let ascii = true;
    for (let i = 0; i < rest.length; ++i) {
        if (rest[i] >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) return decodeWindows1252(rest);
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

// The fields of one record: ";" separates, a final ";" opens no further field.
class Fields {
    constructor(line) {
        this.parts = line.split(';');
        if (this.parts.length > 1 && this.parts[this.parts.length - 1] === '') this.parts.pop();
        this.next = 0;
    }
    has() {
        return this.next < this.parts.length;
    }
    take() {
        if (this.next >= this.parts.length) throw BAD;
        return trimSpaces(this.parts[this.next++]);
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
        this.entries = new Map([[0, { entry: this.model.root, inRoot: true }]]);
        this.bases = new Map();
        this.currentBase = null;
        this.defaultBaseCount = 0;
    }

    read(text) {
        const lines = text.split('\n');
        let first = true;
        for (let i = 0; i < lines.length; ++i) {
            let line = lines[i];
            if (line.length && line.charCodeAt(line.length - 1) === 13) line = line.slice(0, -1);
            if (line.length && !this.parseLine(line, first)) this.model.badLines.push(line);
            first = false;
        }
        for (const entry of this.holding) this.model.root.children.push(entry);
        this.holding = [];
        return this.model;
    }

    versionAtLeast(major, minor) {
        const m = this.model;
        return m.major > major || (m.major === major && m.minor >= minor);
    }

    findEntry(id) {
        const found = this.entries.get(id);
        return found ? found.entry : null;
    }

    appendBase(base) {
        if (!this.bases.has(base.id)) this.bases.set(base.id, base);
        this.model.baseUrls.push(base);
        return base;
    }

    parseLine(line, first) {
        const fields = new Fields(line);
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
            case 2: return this.parseOldKeyword(fields);
            case 3: return this.parseBaseUrl(fields);
            case 5: return this.parseEntry(fields);
            case 6: return this.parsePageTip(fields);
            case 7: return this.parseKeyword(fields);
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
        return found && found.inRoot ? found.entry : null;
    }

    place(entry, parent) {
        (parent ? parent.children : this.holding).push(entry);
        this.entries.set(entry.id, { entry, inRoot: parent !== null });
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

    // The entry a "&id" field names, and the text after the id.
    findReference(text) {
        if (text.length < 2 || text[0] !== '&') return { entry: null, rest: '' };
        let digits = 1;
        while (digits < text.length && text.charCodeAt(digits) >= 48 && text.charCodeAt(digits) <= 57) {
            ++digits;
        }
        if (digits === 1) return { entry: null, rest: '' };
        return { entry: this.findEntry(referenceId(text.slice(1, digits))), rest: text.slice(digits) };
    }

    // Returns [entry or null, the text with its reference replaced].
    resolve(text, urlMode, base) {
        if (text === '') return [null, text];
        if (text.length === 1 || text[0] !== '&') {
            if (urlMode && base && !isAbsoluteUrl(text)) text = base.url + text;
            return [null, text];
        }
        text = text.slice(1);
        let digits = 0;
        while (digits < text.length && text.charCodeAt(digits) >= 48 && text.charCodeAt(digits) <= 57) {
            ++digits;
        }
        if (digits === 0) return [null, text];
        const entry = this.findEntry(referenceId(text.slice(0, digits)));
        if (!entry) return [null, text];
        const rest = text.slice(digits);
        return [entry, (urlMode ? entry.fullUrl : entry.title) + rest];
    }

    parseKeyword(fields) {
        const phraseField = fields.take();
        const urlField = fields.take();
        const titleField = fields.take();
        if (phraseField === '' || titleField === '') return false;
        const target = fields.has() ? fields.take() : '';
        const byPhrase = this.findReference(phraseField).entry;
        const byUrl = this.findReference(urlField);
        const byTitle = this.findReference(titleField);
        let owner;
        if (byPhrase) {
            const differs = (byUrl.entry && byUrl.entry !== byPhrase) ||
                (byTitle.entry && byTitle.entry !== byPhrase);
            owner = differs ? null : byPhrase;
        } else if (byUrl.entry) {
            owner = byTitle.entry && byTitle.entry !== byUrl.entry ? null : byUrl.entry;
        } else {
            owner = byTitle.entry;
        }
        const phrase = this.resolve(phraseField, false, null)[1];
        if (owner && byUrl.entry === owner && byTitle.entry === owner) {
            // As this program writes them: the rest after the references is already the
            // anchor and the extra title.
            owner.keywords.push(new Keyword(owner, phrase, byUrl.rest, byTitle.rest, target));
            return true;
        }
        const url = this.resolve(urlField, true, null)[1];
        const title = this.resolve(titleField, false, null)[1];
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
        let byUrl;
        let byTitle;
        [byUrl, url] = this.resolve(url, true, this.currentBase);
        [byTitle, title] = this.resolve(title, false, null);
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

function referenceId(digits) {
    let value = 0;
    for (let i = 0; i < digits.length; ++i) {
        value = value * 10 + (digits.charCodeAt(i) - 48);
        if (value > INT_MAX) return INT_MAX;
    }
    return value;
}

function readIndex(text) {
    return new IndexReader().read(String(text));
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

//@@VIEW@@
})();
