// The keywords of an index as the Index tab lists them: grouped by phrase, sorted without
// regard to case, and narrowed to those that begin with what the reader types.
(function (nv) {
'use strict';

// Every keyword of the index, in tree order then the other keywords, sorted by phrase
// without regard to case (then by phrase, then by that order), one group per phrase.
function groupKeywords(model) {
    const all = [];
    nv.walkTree(model.root.children, 0, (entry) => {
        for (const keyword of entry.keywords) all.push(keyword);
    });
    for (const keyword of model.otherKeywords) all.push(keyword);
    const keyed = all.map((keyword, order) => ({ key: keyword.phrase.toLowerCase(), keyword, order }));
    keyed.sort((a, b) => (a.key < b.key ? -1 : a.key > b.key ? 1
        : a.keyword.phrase < b.keyword.phrase ? -1 : a.keyword.phrase > b.keyword.phrase ? 1 : a.order - b.order));
    const groups = [];
    for (const k of keyed) {
        const last = groups[groups.length - 1];
        if (last && last.phrase === k.keyword.phrase) last.keywords.push(k.keyword);
        else groups.push({ phrase: k.keyword.phrase, key: k.key, keywords: [k.keyword] });
    }
    return groups;
}

// The sorted groups and the search in them: a narrowing is two binary searches, no rebuild.
class KeywordIndex {
    constructor(model) {
        this.groups = groupKeywords(model);
    }

    // The first group whose key is not below `key`.
    lowerBound(key) {
        const groups = this.groups;
        let lo = 0;
        let hi = groups.length;
        while (lo < hi) {
            const mid = (lo + hi) >> 1;
            if (groups[mid].key < key) lo = mid + 1;
            else hi = mid;
        }
        return lo;
    }

    // The groups whose phrase begins with `text`, as groups[from .. to).
    prefixRange(text) {
        const wanted = String(text).toLowerCase();
        const from = this.lowerBound(wanted);
        const to = wanted === '' ? this.groups.length : this.lowerBound(wanted + '\uffff');
        return { from, to };
    }
}

nv.groupKeywords = groupKeywords;
nv.KeywordIndex = KeywordIndex;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('keywords', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
