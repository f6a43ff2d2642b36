// The index as it is read, kept small enough for 100,000 records: the file's text once and,
// for each entry and keyword, where its record starts and a few numbers, in typed arrays.
// Titles, URLs and the rest are read again from the record when they are wanted (a row
// drawn, a page opened). Entries and keywords are numbers: entry 0 is the root, whose
// children are the top of the tree; entries count from 1 and keywords from 0 in the order
// they were read. toJSON() gives what `tamblin-cli export --json` writes.
(function (nv) {
'use strict';
const { Fields, parseInteger, trimSpaces } = nv;

class BaseUrl {
    constructor(id, url, target, index) {
        this.id = id;
        this.url = url;
        this.target = target;
        this.index = index;
    }
}

// Integers that grow as a file is read.
class IntList {
    constructor() {
        this.data = new Int32Array(64);
        this.length = 0;
    }
    push(value) {
        if (this.length === this.data.length) {
            const grown = new Int32Array(this.length * 2);
            grown.set(this.data);
            this.data = grown;
        }
        this.data[this.length++] = value;
    }
    done() {
        return this.data.slice(0, this.length);
    }
}

// One cursor for every record read again; no caller keeps it across another read.
const cursor = new Fields();

// The fields of the record that starts at `start` of `text`, after its type.
function recordAt(text, start) {
    let end = text.indexOf('\n', start);
    if (end < 0) end = text.length;
    if (end > start && text.charCodeAt(end - 1) === 13) --end;
    cursor.reset(text.slice(start, end));
    const type = cursor.take();
    cursor.isOld = parseInteger(type.startsWith('XO') ? type.slice(2) : type) === 1;
    return cursor;
}

// Field n (0 the type) of the record at `start`, which the record is known to have. The
// fields most asked for (titles and phrases, for every row and every sort) are found so,
// without reading the fields before them.
function fieldAt(text, start, n) {
    let from = start;
    for (let i = 0; i < n; ++i) from = text.indexOf(';', from) + 1;
    let end = text.indexOf('\n', from);
    if (end < 0) end = text.length;
    if (end > from && text.charCodeAt(end - 1) === 13) --end;
    let stop = text.indexOf(';', from);
    if (stop < 0 || stop > end) stop = end;
    return trimSpaces(text.slice(from, stop));
}

// The text after a reference's "&digits", as the reader found it.
function afterReference(text) {
    let digits = 1;
    while (digits < text.length && text.charCodeAt(digits) >= 48 && text.charCodeAt(digits) <= 57) ++digits;
    return text.slice(digits);
}

// Groups `items` (0 .. count) by owner(item) in 0 .. owners, keeping their order: the items
// of owner o are list[start[o] .. start[o + 1]). Those of owner -1 come before all others.
function groupBy(count, owners, owner) {
    const start = new Int32Array(owners + 2);
    for (let i = 0; i < count; ++i) ++start[owner(i) + 2];
    for (let o = 1; o < start.length; ++o) start[o] += start[o - 1];
    const list = new Int32Array(count);
    const at = start.slice();
    for (let i = 0; i < count; ++i) list[at[owner(i) + 1]++] = i;
    return { list, start: start.subarray(1) };
}

const ROOT = { id: 0, url: '', title: '', target: '', icon: '' };
const NONE = new Int32Array(0);

class EntryTable {
    constructor(model) {
        this.model = model;
        this.lineList = new IntList();
        this.baseList = new IntList();
        this.parentList = new IntList();
        this.tipList = new IntList();
        this.count = 0;
        this.add(-1, -1, -1);
        this.kids = NONE;
        this.kidStart = new Int32Array(2);
        this.kw = NONE;
        this.kwStart = null;
        this.parents = null;
        this.lastRead = -1;
        this.last = ROOT;
    }

    // A new entry whose record starts at `line`; `parent` -1 keeps it out of the contents.
    add(line, base, parent) {
        this.lineList.push(line);
        this.baseList.push(base);
        this.parentList.push(parent);
        this.tipList.push(-1);
        return this.count++;
    }

    setTip(e, line) {
        this.tipList.data[e] = line;
    }

    // In the contents: placed under an entry of the contents or at the top.
    inContents(e) {
        return e === 0 || (this.parents || this.parentList.data)[e] >= 0;
    }

    // Once the entries are read: each entry's children in the order read, those out of the
    // contents last among the root's.
    finish() {
        this.lines = this.lineList.done();
        this.bases = this.baseList.done();
        this.parents = this.parentList.done();
        this.tips = this.tipList.done();
        this.lineList = this.baseList = this.parentList = this.tipList = null;
        const parents = this.parents;
        const n = this.count;
        const start = new Int32Array(n + 1);
        for (let e = 1; e < n; ++e) ++start[Math.max(parents[e], 0) + 1];
        for (let e = 1; e <= n; ++e) start[e] += start[e - 1];
        const kids = new Int32Array(n - 1);
        const at = start.slice(0, n);
        for (let e = 1; e < n; ++e) {
            if (parents[e] >= 0) kids[at[parents[e]]++] = e;
        }
        for (let e = 1; e < n; ++e) {
            if (parents[e] < 0) kids[at[0]++] = e;
        }
        this.kids = kids;
        this.kidStart = start;
    }

    // Entry e's record as fields: { id, url, title, target, icon }. The last one read is kept,
    // since drawing a row asks for several of them.
    record(e) {
        if (e === this.lastRead) return this.last;
        if (e === 0) return ROOT;
        const f = recordAt(this.model.text, this.lines[e]);
        const id = parseInteger(f.take());
        const old = f.isOld;
        if (!old) f.take();
        const url = f.take();
        const title = f.take();
        let target = '';
        let icon = '';
        if (old) {
            // "1;id;url;title;parent;icon", the parent and icon from format 1.2 on.
            if (this.model.versionAtLeast(1, 2) && f.has()) {
                f.take();
                if (f.has()) icon = f.take();
            }
        } else {
            // "5;id;base;url;title;target;parent;icon".
            if (f.has()) target = f.take();
            if (f.has()) f.take();
            if (f.has()) icon = f.take();
        }
        this.last = { id, url, title, target, icon };
        this.lastRead = e;
        return this.last;
    }

    id(e) { return this.record(e).id; }
    url(e) { return this.record(e).url; }

    title(e) {
        if (e === 0) return '';
        const text = this.model.text;
        const start = this.lines[e];
        // "5;" as this program writes it: the title is the fifth field.
        if (text.charCodeAt(start) === 53 && text.charCodeAt(start + 1) === 59) return fieldAt(text, start, 4);
        return this.record(e).title;
    }

    target(e) { return this.record(e).target; }
    ownTarget(e) { return this.record(e).target !== ''; }
    icon(e) { return this.record(e).icon; }

    base(e) {
        const b = e === 0 ? -1 : this.bases[e];
        return b >= 0 ? this.model.baseUrls[b] : null;
    }

    fullUrl(e) {
        const base = this.base(e);
        return base ? base.url + this.url(e) : this.url(e);
    }

    tip(e) {
        if (e === 0 || this.tips[e] < 0) return '';
        const f = recordAt(this.model.text, this.tips[e]);
        f.take();
        return f.take();
    }

    children(e) {
        return this.kids.subarray(this.kidStart[e], this.kidStart[e + 1]);
    }

    childCount(e) {
        return this.kidStart[e + 1] - this.kidStart[e];
    }

    keywords(e) {
        return this.kwStart ? this.kw.subarray(this.kwStart[e], this.kwStart[e + 1]) : NONE;
    }

    // Sorts every entry's children by title without regard to case, ties kept in order.
    sortChildren() {
        for (let e = 0; e < this.count; ++e) {
            const kids = this.children(e);
            if (kids.length < 2) continue;
            const keyed = Array.from(kids, (k, i) => ({ key: this.title(k).toLowerCase(), k, i }));
            keyed.sort((a, b) => (a.key < b.key ? -1 : a.key > b.key ? 1 : a.i - b.i));
            keyed.forEach((x, i) => { kids[i] = x.k; });
        }
    }

    toJSON(e) {
        const base = this.base(e);
        const r = this.record(e);
        const keywords = Array.from(this.keywords(e), (k) => this.model.keywords.toJSON(k));
        return {
            id: r.id, title: r.title, url: r.url, baseUrl: base ? base.id : null, fullUrl: this.fullUrl(e),
            target: r.target, ownTarget: r.target !== '', icon: r.icon, tip: this.tip(e),
            inContents: this.inContents(e), keywords,
            children: Array.from(this.children(e), (c) => this.toJSON(c)),
        };
    }
}

// Keywords as this program writes them ("7;&12 intro;&12#a;&12;") are read again from their
// record; any other keeps its fields as the reader made them.
const PHRASE_BY_REFERENCE = 1;

class KeywordTable {
    constructor(model) {
        this.model = model;
        this.entries = model.entries;
        this.lineList = new IntList();
        this.ownerList = new IntList();
        this.flagList = new IntList();
        this.made = new Map();
        this.count = 0;
        this.others = NONE;
        this.lastRead = -1;
        this.last = null;
    }

    // A keyword of entry `owner` read from its record at `line`; its phrase starts with the
    // owner's title when `byReference`.
    addWritten(line, owner, byReference) {
        this.lineList.push(line);
        this.ownerList.push(owner);
        this.flagList.push(byReference ? PHRASE_BY_REFERENCE : 0);
        return this.count++;
    }

    // Any other keyword; without an owner (-1), `anchor` is its URL and `extraTitle` its title.
    addMade(owner, phrase, anchor, extraTitle, target) {
        this.made.set(this.count, { phrase, anchor, extraTitle, target });
        this.lineList.push(-1);
        this.ownerList.push(owner);
        this.flagList.push(0);
        return this.count++;
    }

    // Once the keywords are read: each entry's keywords, and those of none, in the order read.
    finish() {
        this.lines = this.lineList.done();
        this.owners = this.ownerList.done();
        this.flags = this.flagList.done();
        this.lineList = this.ownerList = this.flagList = null;
        const owners = this.owners;
        const { list, start } = groupBy(this.count, this.entries.count, (k) => owners[k]);
        this.others = list.subarray(0, start[0]);
        this.entries.kw = list;
        this.entries.kwStart = start;
    }

    owner(k) {
        return this.owners[k];
    }

    // Keyword k's fields: { phrase, anchor, extraTitle, target }; the last one read is kept.
    record(k) {
        if (k === this.lastRead) return this.last;
        let r = this.made.get(k);
        if (!r) {
            const f = recordAt(this.model.text, this.lines[k]);
            f.take();
            const url = f.take();
            const title = f.take();
            const target = f.has() ? f.take() : '';
            r = {
                phrase: this.phrase(k), anchor: afterReference(url), extraTitle: afterReference(title), target,
            };
        }
        this.lastRead = k;
        this.last = r;
        return r;
    }

    phrase(k) {
        const made = this.made.get(k);
        if (made) return made.phrase;
        const phrase = fieldAt(this.model.text, this.lines[k], 1);
        if (this.flags[k] & PHRASE_BY_REFERENCE) return this.entries.title(this.owners[k]) + afterReference(phrase);
        return phrase.length > 1 && phrase[0] === '&' ? phrase.slice(1) : phrase;
    }

    anchor(k) { return this.record(k).anchor; }
    extraTitle(k) { return this.record(k).extraTitle; }
    target(k) { return this.record(k).target; }
    ownTarget(k) { return this.record(k).target !== ''; }

    fullUrl(k) {
        const owner = this.owners[k];
        const anchor = this.anchor(k);
        return owner >= 0 ? this.entries.fullUrl(owner) + anchor : anchor;
    }

    fullTitle(k) {
        const owner = this.owners[k];
        const extra = this.extraTitle(k);
        return owner >= 0 ? this.entries.title(owner) + extra : extra;
    }

    toJSON(k) {
        const r = this.record(k);
        if (this.owners[k] < 0) return { phrase: r.phrase, url: r.anchor, title: r.extraTitle, target: r.target };
        return {
            phrase: r.phrase, anchor: r.anchor, extraTitle: r.extraTitle, fullUrl: this.fullUrl(k),
            fullTitle: this.fullTitle(k), target: r.target, ownTarget: r.target !== '',
        };
    }
}

class IndexModel {
    constructor() {
        this.text = '';
        this.description = '';
        this.date = '';
        this.tip = '';
        this.major = -1;
        this.minor = 0;
        this.coding = 0;
        this.baseUrls = [];
        this.root = 0;
        this.entries = new EntryTable(this);
        this.keywords = new KeywordTable(this);
        this.badLines = [];
    }
    versionAtLeast(major, minor) {
        return this.major > major || (this.major === major && this.minor >= minor);
    }
    get contents() {
        return this.entries.children(0);
    }
    get otherKeywords() {
        return this.keywords.others;
    }
    toJSON() {
        return {
            description: this.description, date: this.date, tip: this.tip,
            format: [this.major, this.minor], coding: this.coding,
            baseUrls: this.baseUrls.map((b) => ({ id: b.id, url: b.url, target: b.target })),
            contents: Array.from(this.contents, (e) => this.entries.toJSON(e)),
            otherKeywords: Array.from(this.otherKeywords, (k) => this.keywords.toJSON(k)),
            badLines: this.badLines,
        };
    }
}

Object.assign(nv, {BaseUrl, IntList, IndexModel});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('model', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
