// What the viewer's two lists show. The contents tree as rows: one walk over the entries
// for every job that visits them, and the rows a tree view shows, opened and closed without
// remaking the others. The keywords as the Index tab lists them: grouped by phrase, sorted
// without regard to case, and narrowed to those that begin with what the reader types, then
// those that hold it further on.
(function (nv) {
'use strict';
const { IntList } = nv;

// Calls visit(e, depth, i, size) for the entries of `list` and everything below them, in
// tree order, e being the i-th of the `size` entries of its level. An index can be deeper
// than the call stack, so this walks with its own stack. An entry's children are looked at
// after its visit; a visit that returns true ends the walk.
function walkTree(entries, list, depth, visit) {
    const lists = [list];
    const next = [0];
    const from = [0];
    const to = [list.length];
    const depths = [depth];
    while (lists.length) {
        const top = lists.length - 1;
        if (next[top] >= to[top]) {
            lists.pop();
            next.pop();
            from.pop();
            to.pop();
            depths.pop();
            continue;
        }
        const at = next[top]++;
        const e = lists[top][at];
        if (visit(e, depths[top], at - from[top], to[top] - from[top]) === true) return;
        const first = entries.kidStart[e];
        const end = entries.kidStart[e + 1];
        if (end > first) {
            lists.push(entries.kids);
            next.push(first);
            from.push(first);
            to.push(end);
            depths.push(depths[top] + 1);
        }
    }
}

// The rows of `list` and of everything below them, all open, in tree order.
function openRows(entries, list, depth) {
    const rows = [];
    walkTree(entries, list, depth, (e, d, i, size) => {
        rows.push({ entry: e, depth: d, open: entries.childCount(e) > 0, pos: i + 1, size });
    });
    return rows;
}

// Closed rows, one for each of `list`.
function closedRows(list, depth) {
    return Array.from(list, (e, i) => ({ entry: e, depth, open: false, pos: i + 1, size: list.length }));
}

// Entries and keywords of the whole index, in and out of the contents; a keyword that
// names the root belongs to no entry and is not shown.
function countTree(model) {
    return { entries: model.entries.count - 1,
        keywords: model.keywords.count - model.entries.keywords(0).length };
}

function spliceAll(array, at, items) {
    // Large branches go in slices; spreading them at once can overflow the call stack.
    for (let k = 0; k < items.length; k += 10000) {
        array.splice(at + k, 0, ...items.slice(k, k + 10000));
    }
}

// The rows a tree view shows: { entry, depth, open, pos, size } for each entry whose parents
// are open, `pos` counting from 1 among the `size` entries of its level. Only the rows of an
// open branch are ever made.
class TreeRows {
    constructor() {
        this.rows = [];
        this.top = [];
        this.entries = null;
    }

    // Entries not in contents are kept for the index but not shown in the tree.
    reset(model, sort, expanded) {
        const entries = model.entries;
        this.entries = entries;
        if (sort) entries.sortChildren();
        this.top = entries.children(0).filter((e) => entries.inContents(e));
        this.rows = expanded ? openRows(entries, this.top, 0) : closedRows(this.top, 0);
        return this.rows;
    }

    clear() {
        this.rows = [];
        this.top = [];
    }

    // The entries from the top of the tree down to the first entry that `wanted` accepts, in
    // tree order; null when none does.
    pathTo(wanted) {
        const path = [];
        let found = false;
        walkTree(this.entries, this.top, 0, (e, depth) => {
            path.length = depth;
            path.push(e);
            found = wanted(e);
            return found;
        });
        return found ? path : null;
    }

    // Opens the rows above the last entry of `path` and gives that entry's row. Each level is
    // looked for only as far as its parent's branch goes, so a deep path costs its depth.
    reveal(path) {
        const rows = this.rows;
        let at = -1;
        for (let level = 0; level < path.length; ++level) {
            let found = -1;
            for (let k = at + 1; k < rows.length && (at < 0 || rows[k].depth >= level); ++k) {
                if (rows[k].depth === level && rows[k].entry === path[level]) {
                    found = k;
                    break;
                }
            }
            if (found < 0) return -1;
            if (level + 1 < path.length && !rows[found].open) this.toggle(found);
            at = found;
        }
        return at;
    }

    // The open branches as [depth, position among its level] in row order: what openAt()
    // needs to open them again while the file is the same.
    openPlaces() {
        const places = [];
        for (const row of this.rows) {
            if (row.open) places.push([row.depth, row.pos - 1]);
        }
        return places;
    }

    // Opens the branches openPlaces() gave, in one pass over the rows.
    openAt(places) {
        const rows = this.rows;
        const trail = [];
        let k = 0;
        for (const place of places || []) {
            const depth = Number(place[0]);
            const parent = trail[depth - 1];
            const list = depth === 0 ? this.top : parent !== undefined ? this.entries.children(parent) : [];
            const entry = list[Number(place[1])];
            if (entry === undefined || !this.entries.childCount(entry)) continue;
            trail.length = depth;
            trail.push(entry);
            while (k < rows.length && rows[k].entry !== entry) ++k;
            if (k >= rows.length) return;
            if (!rows[k].open) this.toggle(k);
        }
    }

    // The end of row i's branch: the first row after it that is not below it.
    branchEnd(i) {
        const rows = this.rows;
        let end = i + 1;
        while (end < rows.length && rows[end].depth > rows[i].depth) ++end;
        return end;
    }

    // Opens or closes row i; false when it has no children.
    toggle(i) {
        const node = this.rows[i];
        if (!node || !this.entries.childCount(node.entry)) return false;
        if (node.open) {
            this.rows.splice(i + 1, this.branchEnd(i) - i - 1);
            node.open = false;
        } else {
            node.open = true;
            spliceAll(this.rows, i + 1, closedRows(this.entries.children(node.entry), node.depth + 1));
        }
        return true;
    }

    // Opens row i and everything below it.
    expandAll(i) {
        const node = this.rows[i];
        if (!node) return;
        if (node.open) this.toggle(i);
        const children = this.entries.children(node.entry);
        node.open = children.length > 0;
        spliceAll(this.rows, i + 1, openRows(this.entries, children, node.depth + 1));
    }

    parentOf(i) {
        const node = this.rows[i];
        for (let k = i - 1; node && k >= 0; --k) {
            if (this.rows[k].depth < node.depth) return k;
        }
        return -1;
    }
}

// Every keyword of the index, in tree order then the other keywords.
function keywordsInOrder(model) {
    const entries = model.entries;
    const all = new IntList();
    walkTree(entries, entries.children(0), 0, (e) => {
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
    // its first letter.
    holding(wanted, candidates) {
        const scan = new HoldingScan(this, wanted, candidates);
        scan.step(() => false);
        return scan.found;
    }

    // The groups that hold `text` but do not begin with it (those not in `range`, its
    // prefixRange()), in their order.
    containing(text, range = this.prefixRange(text)) {
        const look = this.look(text, true, range);
        look.step(() => false);
        return look.others;
    }

    // What Look for lists for `text`: those that begin with it, then, with `elsewhere`,
    // those that hold it further on. item(i) is the group of the i-th of the count.
    search(text, elsewhere) {
        const look = this.look(text, elsewhere);
        look.step(() => false);
        return look.result();
    }

    // The same as search(), in two halves: the groups that begin with the text at once (two
    // binary searches), those that hold it further on by the look's step(), which may stop
    // when told and go on later, so that a keystroke lists the first half within its frame.
    look(text, elsewhere, range = this.prefixRange(text)) {
        return new KeywordLook(this, String(text).toLowerCase(), range, elsewhere);
    }

    // The groups that held a text on the way to `wanted` ('g', 'gi' for 'git'), the nearest
    // first, or null; the holders of texts off the way are forgotten. Deleting letters finds
    // each answer again instead of looking through all, and a text that goes on from one
    // seen only needs the groups that held that one looked through: the longer text further
    // on means the shorter there.
    holdersOnTheWay(wanted) {
        let shorter = '';
        for (const seen of Array.from(this.holders.keys())) {
            if (!wanted.startsWith(seen)) this.holders.delete(seen);
            else if (seen.length > shorter.length) shorter = seen;
        }
        return shorter ? this.holders.get(shorter) : null;
    }
}

// The groups, of `candidates` or of all, whose key holds `wanted` after its first letter,
// found in steps: step(until) goes on until until() says the time is up and is true once
// every group is looked through; `found` then holds them in order. One pass over the keys:
// each search goes on from the last find.
class HoldingScan {
    constructor(index, wanted, candidates) {
        this.keys = index.keys;
        this.starts = index.keyStarts;
        this.wanted = wanted;
        this.candidates = candidates;
        this.found = new Int32Array(candidates ? candidates.length : index.count);
        this.n = 0;
        this.c = 0;
        this.g = 0;
        this.p = candidates ? -1 : this.keys.indexOf(wanted, 1);
        this.done = wanted.includes('\n');
    }

    step(until) {
        if (!this.done) this.done = this.candidates ? this.stepCandidates(until) : this.stepAll(until);
        if (this.done && this.found.length !== this.n) this.found = this.found.slice(0, this.n);
        return this.done;
    }

    stepCandidates(until) {
        const { keys, starts, wanted, candidates, found } = this;
        let { p, n, c } = this;
        for (let k = 1; c < candidates.length; ++c, ++k) {
            if ((k & 255) === 0 && until()) break;
            const g = candidates[c];
            if (p < starts[g] + 1) p = keys.indexOf(wanted, starts[g] + 1);
            if (p < 0) {
                c = candidates.length;
                break;
            }
            if (p + wanted.length < starts[g + 1]) found[n++] = g;
        }
        Object.assign(this, { p, n, c });
        return c >= candidates.length;
    }

    // From find to find, passing over the groups without one.
    stepAll(until) {
        const { keys, starts, wanted, found } = this;
        let { p, n, g } = this;
        for (let k = 1; p >= 0; ++k) {
            if ((k & 255) === 0 && until()) break;
            while (starts[g + 1] <= p) ++g;
            if (p === starts[g]) {
                p = keys.indexOf(wanted, p + 1);
            } else {
                found[n++] = g;
                p = keys.indexOf(wanted, starts[g + 1] + 1);
            }
        }
        Object.assign(this, { p, n, g });
        return p < 0;
    }
}

// One look of Look for (KeywordIndex.look()): `begin` groups from range.from begin with the
// text, known at once; with `elsewhere`, step(until) finds those that hold it further on
// (`others`, in order), true once done; result() is what search() gives, once done.
class KeywordLook {
    constructor(index, wanted, range, elsewhere) {
        this.index = index;
        this.wanted = wanted;
        this.range = range;
        this.begin = range.to - range.from;
        this.others = new Int32Array(0);
        this.scan = null;
        this.done = !elsewhere || wanted === '';
        if (this.done) return;
        const known = index.holders.get(wanted);
        if (known) {
            this.finish(known);
            return;
        }
        this.scan = new HoldingScan(index, wanted, index.holdersOnTheWay(wanted));
    }

    step(until) {
        if (!this.done && this.scan.step(until)) this.finish(this.scan.found);
        return this.done;
    }

    // Holders are in order, so those that begin with the text are one run of them.
    finish(holders) {
        const index = this.index;
        index.holdersOnTheWay(this.wanted);
        index.holders.set(this.wanted, holders);
        const { from: lo, to: hi } = this.range;
        let from = 0;
        while (from < holders.length && holders[from] < lo) ++from;
        let to = from;
        while (to < holders.length && holders[to] < hi) ++to;
        if (from === to) {
            this.others = holders;
        } else {
            this.others = new Int32Array(holders.length - (to - from));
            this.others.set(holders.subarray(0, from));
            this.others.set(holders.subarray(to), from);
        }
        this.scan = null;
        this.done = true;
    }

    // The groups listed so far: item(i) is the group of the i-th of the count.
    result() {
        const { begin, others } = this;
        const from = this.range.from;
        return { begin, count: begin + others.length, item: (i) => (i < begin ? from + i : others[i - begin]) };
    }
}

Object.assign(nv, {walkTree, openRows, countTree, TreeRows, KeywordIndex});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('tree', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
