// Reads the text of an index file as the editor reads it, with the same corrections.
(function (nv) {
'use strict';
const { BAD, parseInteger, isAbsoluteUrl, ensureTrailingSlash, Fields, referenceId, BaseUrl, IntList, IndexModel } = nv;

class IndexReader {
    constructor() {
        this.model = new IndexModel();
        this.entries = this.model.entries;
        // Ids to entries while reading; the model itself keeps no map.
        this.ids = new Map([[0, 0]]);
        this.bases = new Map();
        this.currentBase = null;
        this.defaultBaseCount = 0;
        this.fields = new Fields();
        this.placed = 0;
        // Keyword records wait until the entries are read, so a viewer can show the tree
        // first; each still sees only the entries read before its own line. Four numbers
        // each: where the line starts, its number, the entries placed before it, its base.
        this.waiting = new IntList();
        this.limit = Infinity;
        this.badAt = [];
    }

    read(text) {
        this.readEntries(text);
        this.readKeywords();
        return this.model;
    }

    deferKeyword(start, number) {
        this.waiting.push(start);
        this.waiting.push(number);
        this.waiting.push(this.placed);
        this.waiting.push(this.currentBase ? this.currentBase.index : -1);
    }

    readEntries(text) {
        this.model.text = text;
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
                this.deferKeyword(start, number);
            } else if (stop > start) {
                const line = text.slice(start, stop);
                this.lineNumber = number;
                this.lineStart = start;
                if (!this.parseLine(line, first)) {
                    this.model.badLines.push(line);
                    this.badAt.push(number);
                }
            }
            first = false;
            start = end + 1;
            ++number;
        }
        this.entries.finish();
        this.deferring = false;
        return this.model;
    }

    readKeywords() {
        const waiting = this.waiting.done();
        this.waiting = new IntList();
        const text = this.model.text;
        const bad = [];
        const badAt = [];
        const current = this.currentBase;
        for (let k = 0; k < waiting.length; k += 4) {
            const start = waiting[k];
            let end = text.indexOf('\n', start);
            if (end < 0) end = text.length;
            const line = text.slice(start, end > start && text.charCodeAt(end - 1) === 13 ? end - 1 : end);
            const number = waiting[k + 1];
            this.limit = waiting[k + 2];
            this.currentBase = waiting[k + 3] >= 0 ? this.model.baseUrls[waiting[k + 3]] : null;
            this.lineStart = start;
            if (!this.parseLine(line, number === 0)) {
                bad.push(line);
                badAt.push(number);
            }
        }
        this.model.keywords.finish();
        this.ids = null;
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
        return this.model.versionAtLeast(major, minor);
    }

    // The entry with `id` read before the current line, or -1.
    findEntry(id) {
        const e = this.ids.get(id);
        return e !== undefined && e <= this.limit ? e : -1;
    }

    appendBase(url, id, target) {
        const base = new BaseUrl(id, url, target, this.model.baseUrls.length);
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
                    this.deferKeyword(this.lineStart, this.lineNumber);
                    return true;
                }
                return this.parseOldKeyword(fields);
            case 3: return this.parseBaseUrl(fields);
            case 5: return this.parseEntry(fields);
            case 6: return this.parsePageTip(fields);
            case 7:
                if (this.deferring) {
                    this.deferKeyword(this.lineStart, this.lineNumber);
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
        this.currentBase = this.appendBase('', this.defaultBaseCount + 1, '');
        ++this.defaultBaseCount;
        return true;
    }

    // The entry of the contents with `id` (0 the root), or -1.
    findParent(id) {
        if (id === 0) return 0;
        if (id < 0) return -1;
        const e = this.ids.get(id);
        return e !== undefined && this.entries.inContents(e) ? e : -1;
    }

    place(id, base, parent) {
        const e = this.entries.add(this.lineStart, base ? base.index : -1, parent);
        this.ids.set(id, e);
        ++this.placed;
    }

    parseOldEntry(fields) {
        const id = parseInteger(fields.take());
        if (this.findEntry(id) >= 0) return false;
        const url = fields.take();
        const title = fields.take();
        if (title === '') return false;
        let parent = -1;
        if (this.versionAtLeast(1, 2) && fields.has()) {
            parent = this.findParent(parseInteger(fields.take()));
            if (fields.has()) fields.take();
        }
        this.place(id, isAbsoluteUrl(url) ? null : this.currentBase, parent);
        return true;
    }

    parseEntry(fields) {
        const id = parseInteger(fields.take());
        if (this.findEntry(id) >= 0) return false;
        const baseField = fields.take();
        let base = null;
        if (baseField !== '') {
            base = this.bases.get(parseInteger(baseField)) || null;
            if (!base) return false;
        }
        fields.take();
        if (fields.take() === '') return false;
        let parent = -1;
        if (fields.has()) fields.take();
        if (fields.has()) parent = this.findParent(parseInteger(fields.take()));
        if (fields.has()) fields.take();
        this.place(id, base, parent);
        return true;
    }

    parseBaseUrl(fields) {
        if (this.model.major === 2) {
            const id = parseInteger(fields.take());
            if (id <= 0) return false;
            const url = ensureTrailingSlash(fields.take());
            const target = fields.has() ? fields.take() : '';
            this.appendBase(url, id, target);
            return true;
        }
        if (this.model.major === 1) {
            const url = ensureTrailingSlash(fields.take());
            this.currentBase = this.appendBase(url, this.defaultBaseCount + 1, '');
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
        const e = this.findEntry(id);
        if (e < 0) return false;
        fields.take();
        this.entries.setTip(e, this.lineStart);
        return true;
    }

    // The entry a "&id" field names, or -1; the text after the id is left in this.rest.
    findReference(text) {
        this.rest = '';
        if (text.length < 2 || text.charCodeAt(0) !== 38) return -1;
        let digits = 1;
        while (digits < text.length && text.charCodeAt(digits) >= 48 && text.charCodeAt(digits) <= 57) {
            ++digits;
        }
        if (digits === 1) return -1;
        this.rest = text.slice(digits);
        return this.findEntry(referenceId(text, 1, digits));
    }

    // The text with its reference replaced; the entry it names (or -1) is left in this.resolved.
    resolve(text, urlMode, base) {
        this.resolved = -1;
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
        const e = this.findEntry(referenceId(text, 0, digits));
        if (e < 0) return text;
        this.resolved = e;
        return (urlMode ? this.entries.fullUrl(e) : this.entries.title(e)) + text.slice(digits);
    }

    parseKeyword(fields) {
        const phraseField = fields.take();
        const urlField = fields.take();
        const titleField = fields.take();
        if (phraseField === '' || titleField === '') return false;
        const target = fields.has() ? fields.take() : '';
        const byPhrase = this.findReference(phraseField);
        const byUrl = this.findReference(urlField);
        const byTitle = this.findReference(titleField);
        let owner;
        if (byPhrase >= 0) {
            const differs = (byUrl >= 0 && byUrl !== byPhrase) || (byTitle >= 0 && byTitle !== byPhrase);
            owner = differs ? -1 : byPhrase;
        } else if (byUrl >= 0) {
            owner = byTitle >= 0 && byTitle !== byUrl ? -1 : byUrl;
        } else {
            owner = byTitle;
        }
        if (owner >= 0 && byUrl === owner && byTitle === owner) {
            // As this program writes them: the rest after the references is already the
            // anchor and the extra title, read again from the line when wanted.
            this.model.keywords.addWritten(this.lineStart, owner, byPhrase === owner);
            return true;
        }
        const phrase = this.resolve(phraseField, false, null);
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
        const owner = byUrl >= 0 ? (byTitle >= 0 && byTitle !== byUrl ? -1 : byUrl) : byTitle;
        this.storeKeyword(owner, phrase, url, title, target);
        return true;
    }

    // A keyword stays with its owner only when its URL continues the owner's full URL.
    storeKeyword(owner, phrase, url, title, target) {
        const entries = this.entries;
        if (owner >= 0 && url !== '') {
            const base = entries.base(owner);
            const baseUrl = base ? base.url : '';
            const ownUrl = entries.url(owner);
            if (url.startsWith(baseUrl) && url.startsWith(ownUrl, baseUrl.length)) {
                url = url.slice(baseUrl.length + ownUrl.length);
            } else {
                owner = -1;
            }
        }
        if (owner >= 0 && title.startsWith(entries.title(owner))) title = title.slice(entries.title(owner).length);
        this.model.keywords.addMade(owner, phrase, url, title, target);
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

Object.assign(nv, {readIndex, readIndexInSteps});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('reader', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
