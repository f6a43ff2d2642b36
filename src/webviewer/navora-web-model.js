// The index as it is read: base URLs, entries with their keywords, the index itself. The
// JSON of each is what `tamblin-cli export --json` writes.
(function (nv) {
'use strict';

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

nv.BaseUrl = BaseUrl;
nv.Keyword = Keyword;
nv.Entry = Entry;
nv.IndexModel = IndexModel;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('model', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
