// The keywords of an index as the Index tab lists them: grouped by phrase, sorted without
// regard to case, and narrowed to those that begin with what the reader types, then those
// that hold it further on.
(function (nv) {
'use strict';
const { IntList } = nv;

// Every keyword of the index, in tree order then the other keywords.
function keywordsInOrder(model) {
    const entries = model.entries;
    const all = new IntList();
    nv.walkTree(entries, entries.children(0), 0, (e) => {
        for (const k of entries.keywords(e)) all.push(k);
    });
    for (const k of model.otherKeywords) all.push(k);
    return all.done();
}

// The sorted groups, one per phrase, and the search in them: a narrowing is two binary
// searches, no rebuild. Groups are numbers; what they hold is kept in typed arrays and one
// string of every group's phrase in lower case, each followed by a line end (no phrase holds
// one), which Look for searches in one go.
class KeywordIndex {
    constructor(model) {
        this.table = model.keywords;
        const all = keywordsInOrder(model);
        const phrases = Array.from(all, (k) => this.table.phrase(k));
        const keys = phrases.map((p) => p.toLowerCase());
        // By phrase without regard to case, then by phrase, then in the order above.
        const order = Array.from(all, (k, i) => i);
        order.sort((a, b) => (keys[a] < keys[b] ? -1 : keys[a] > keys[b] ? 1
            : phrases[a] < phrases[b] ? -1 : phrases[a] > phrases[b] ? 1 : a - b));
        this.members = new Int32Array(all.length);
        const starts = new IntList();
        const keyStarts = new IntList();
        const groupKeys = [];
        let at = 0;
        order.forEach((i, j) => {
            this.members[j] = all[i];
            if (j > 0 && phrases[i] === phrases[order[j - 1]]) return;
            starts.push(j);
            keyStarts.push(at);
            groupKeys.push(keys[i]);
            at += keys[i].length + 1;
        });
        starts.push(all.length);
        keyStarts.push(at);
        this.starts = starts.done();
        this.keyStarts = keyStarts.done();
        this.count = groupKeys.length;
        // Joined with one more, empty, so the last key ends with a line end too: one flat string.
        groupKeys.push('');
        this.keys = this.count ? groupKeys.join('\n') : '';
        // The holders of every text on the way to the last one typed ('g', 'gi', 'git'),
        // so that deleting letters finds each answer again instead of looking through all.
        this.holders = new Map();
    }

    // Group g's phrase in lower case.
    key(g) {
        return this.keys.slice(this.keyStarts[g], this.keyStarts[g + 1] - 1);
    }

    // Group g's phrase, as its first keyword has it.
    phrase(g) {
        return this.table.phrase(this.members[this.starts[g]]);
    }

    // The keywords of group g.
    keywords(g) {
        return this.members.subarray(this.starts[g], this.starts[g + 1]);
    }

    // The first group whose key is not below `key`.
    lowerBound(key) {
        let lo = 0;
        let hi = this.count;
        while (lo < hi) {
            const mid = (lo + hi) >> 1;
            if (this.key(mid) < key) lo = mid + 1;
            else hi = mid;
        }
        return lo;
    }

    // The groups whose phrase begins with `text`, as groups from .. to - 1.
    prefixRange(text) {
        const wanted = String(text).toLowerCase();
        const from = this.lowerBound(wanted);
        const to = wanted === '' ? this.count : this.lowerBound(wanted + '\uffff');
        return { from, to };
    }

    // The groups of `candidates` (all when null), in order, whose key holds `wanted` after
    // its first letter. One pass over the keys: each search goes on from the last find.
    holding(wanted, candidates) {
        const found = new IntList();
        if (wanted.includes('\n')) return found.done();
        const keys = this.keys;
        const starts = this.keyStarts;
        const all = candidates === null;
        const n = all ? this.count : candidates.length;
        let p = -1;
        for (let c = 0; c < n; ++c) {
            let g = all ? c : candidates[c];
            if (p < starts[g] + 1) p = keys.indexOf(wanted, starts[g] + 1);
            if (p < 0) break;
            if (p + wanted.length < starts[g + 1]) found.push(g);
            else if (all) {
                // Straight on to the group of the find, passing over those without one.
                while (starts[g + 1] <= p) ++g;
                c = g - 1;
            }
        }
        return found.done();
    }

    // The groups that hold `text` but do not begin with it, in their order. A text that goes
    // on from one seen on the way only needs the groups that held that one further on looked
    // through: the longer text further on means the shorter there.
    containing(text) {
        const wanted = String(text).toLowerCase();
        if (wanted === '') return [];
        let shorter = '';
        for (const seen of Array.from(this.holders.keys())) {
            if (!wanted.startsWith(seen)) this.holders.delete(seen);
            else if (seen.length > shorter.length) shorter = seen;
        }
        let holders = this.holders.get(wanted);
        if (!holders) holders = this.holding(wanted, shorter ? this.holders.get(shorter) : null);
        this.holders.set(wanted, holders);
        return holders.filter((g) => !this.keys.startsWith(wanted, this.keyStarts[g]));
    }

    // What Look for lists for `text`: those that begin with it, then, with `elsewhere`,
    // those that hold it further on. item(i) is the group of the i-th of the count.
    search(text, elsewhere) {
        const range = this.prefixRange(text);
        const begin = range.to - range.from;
        const others = elsewhere ? this.containing(text) : [];
        return {
            begin,
            count: begin + others.length,
            item: (i) => (i < begin ? range.from + i : others[i - begin]),
        };
    }
}

nv.KeywordIndex = KeywordIndex;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('keywords', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
