// Reads the text of an index file as the editor reads it, with the same corrections.
(function (nv) {
'use strict';
const { BAD, parseInteger, isAbsoluteUrl, ensureTrailingSlash, Fields, referenceId, BaseUrl, Keyword, Entry, IndexModel } = nv;

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

function readIndex(text) {
    return new IndexReader().read(String(text));
}

// The entries now, the keywords when readKeywords() is called.
function readIndexInSteps(text) {
    const reader = new IndexReader();
    reader.readEntries(String(text));
    return reader;
}

nv.readIndex = readIndex;
nv.readIndexInSteps = readIndexInSteps;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('reader', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
