// The contents tree as rows: one walk over the entries for every job that visits them, and
// the rows a tree view shows, opened and closed without remaking the others.
(function (nv) {
'use strict';

// Calls visit(entry, depth, i, list) for `entries` and everything below them, in tree order,
// `entry` being list[i]. An index can be deeper than the call stack, so this walks with its
// own stack. An entry's children are looked at after its visit, so a visit may sort them;
// a visit that returns true ends the walk.
function walkTree(entries, depth, visit) {
    const lists = [entries];
    const next = [0];
    const depths = [depth];
    while (lists.length) {
        const top = lists.length - 1;
        const list = lists[top];
        if (next[top] >= list.length) {
            lists.pop();
            next.pop();
            depths.pop();
            continue;
        }
        const entry = list[next[top]++];
        if (visit(entry, depths[top], next[top] - 1, list) === true) return;
        if (entry.children.length) {
            lists.push(entry.children);
            next.push(0);
            depths.push(depths[top] + 1);
        }
    }
}

// The rows of `entries` and of everything below them, all open, in tree order.
function openRows(entries, depth) {
    const rows = [];
    walkTree(entries, depth, (entry, d, i, list) => {
        rows.push({ entry, depth: d, open: entry.children.length > 0, pos: i + 1, size: list.length });
    });
    return rows;
}

function byTitle(a, b) {
    const x = a.title.toLowerCase();
    const y = b.title.toLowerCase();
    return x < y ? -1 : x > y ? 1 : 0;
}

function sortTree(root) {
    root.children.sort(byTitle);
    walkTree(root.children, 0, (entry) => {
        if (entry.children.length > 1) entry.children.sort(byTitle);
    });
}

// Closed rows, one for each of `entries`.
function closedRows(entries, depth) {
    return entries.map((entry, i) => ({ entry, depth, open: false, pos: i + 1, size: entries.length }));
}

// Entries and keywords of the whole index, in and out of the contents.
function countTree(model) {
    let entries = 0;
    let keywords = model.otherKeywords.length;
    walkTree(model.root.children, 0, (entry) => {
        ++entries;
        keywords += entry.keywords.length;
    });
    return { entries, keywords };
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
    }

    // Entries not in contents are kept for the index but not shown in the tree.
    reset(model, sort, expanded) {
        if (sort) sortTree(model.root);
        this.top = model.root.children.filter((e) => e.inContents);
        this.rows = expanded ? openRows(this.top, 0) : closedRows(this.top, 0);
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
        walkTree(this.top, 0, (entry, depth) => {
            path.length = depth;
            path.push(entry);
            found = wanted(entry);
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
            const list = depth === 0 ? this.top : (trail[depth - 1] || { children: [] }).children;
            const entry = list[Number(place[1])];
            if (!entry || !entry.children.length) continue;
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
        if (!node || !node.entry.children.length) return false;
        if (node.open) {
            this.rows.splice(i + 1, this.branchEnd(i) - i - 1);
            node.open = false;
        } else {
            node.open = true;
            spliceAll(this.rows, i + 1, closedRows(node.entry.children, node.depth + 1));
        }
        return true;
    }

    // Opens row i and everything below it.
    expandAll(i) {
        const node = this.rows[i];
        if (!node) return;
        if (node.open) this.toggle(i);
        node.open = node.entry.children.length > 0;
        spliceAll(this.rows, i + 1, openRows(node.entry.children, node.depth + 1));
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
nv.sortTree = sortTree;
nv.countTree = countTree;
nv.TreeRows = TreeRows;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('tree', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
