// The contents tree as rows: one walk over the entries for every job that visits them, and
// the rows a tree view shows, opened and closed without remaking the others.
(function (nv) {
'use strict';

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

nv.walkTree = walkTree;
nv.openRows = openRows;
nv.countTree = countTree;
nv.TreeRows = TreeRows;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('tree', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
