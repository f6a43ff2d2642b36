// The keywords of an index as the Index tab lists them: grouped by phrase, sorted without
// regard to case, and narrowed to those that begin with what the reader types, then those
// that hold it further on.
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
        // The holders of every text on the way to the last one typed ('g', 'gi', 'git'),
        // so that deleting letters finds each answer again instead of looking through all.
        this.holders = new Map();
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

    // The groups that hold `text` but do not begin with it, as positions in groups, in
    // their order. A text that goes on from one seen on the way only needs the groups that
    // held that one further on looked through: the longer text further on means the shorter
    // there.
    containing(text) {
        const wanted = String(text).toLowerCase();
        if (wanted === '') return [];
        const groups = this.groups;
        let shorter = '';
        for (const seen of Array.from(this.holders.keys())) {
            if (!wanted.startsWith(seen)) this.holders.delete(seen);
            else if (seen.length > shorter.length) shorter = seen;
        }
        let holders = this.holders.get(wanted);
        if (!holders && shorter) {
            holders = this.holders.get(shorter).filter((g) => groups[g].key.indexOf(wanted, 1) > 0);
        } else if (!holders) {
            holders = [];
            for (let g = 0; g < groups.length; ++g) {
                if (groups[g].key.indexOf(wanted, 1) > 0) holders.push(g);
            }
        }
        this.holders.set(wanted, holders);
        return holders.filter((g) => !groups[g].key.startsWith(wanted));
    }

    // What Look for lists for `text`: those that begin with it, then, with `elsewhere`,
    // those that hold it further on. item(i) is the i-th of the count.
    search(text, elsewhere) {
        const range = this.prefixRange(text);
        const begin = range.to - range.from;
        const others = elsewhere ? this.containing(text) : [];
        const groups = this.groups;
        return {
            begin,
            count: begin + others.length,
            item: (i) => (i < begin ? groups[range.from + i] : groups[others[i - begin]]),
        };
    }
}

nv.groupKeywords = groupKeywords;
nv.KeywordIndex = KeywordIndex;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('keywords', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
