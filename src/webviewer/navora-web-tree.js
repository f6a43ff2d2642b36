// The contents tree as rows: one walk over the entries for every job that visits them, and
// the rows a tree view shows, opened and closed without remaking the others.
(function (nv) {
'use strict';

// Calls visit(entry, depth) for `entries` and everything below them, in tree order. An index
// can be deeper than the call stack, so this walks with its own stack. An entry's children
// are looked at after its visit, so a visit may sort them.
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
        visit(entry, depths[top]);
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
    walkTree(entries, depth, (entry, d) => {
        rows.push({ entry, depth: d, open: entry.children.length > 0 });
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

// The rows a tree view shows: { entry, depth, open } for each entry whose parents are open.
// Only the rows of an open branch are ever made.
class TreeRows {
    constructor() {
        this.rows = [];
    }

    // Entries not in contents are kept for the index but not shown in the tree.
    reset(model, sort, expanded) {
        if (sort) sortTree(model.root);
        const top = model.root.children.filter((e) => e.inContents);
        this.rows = expanded ? openRows(top, 0) : top.map((entry) => ({ entry, depth: 0, open: false }));
        return this.rows;
    }

    clear() {
        this.rows = [];
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
            const depth = node.depth + 1;
            spliceAll(this.rows, i + 1, node.entry.children.map((entry) => ({ entry, depth, open: false })));
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
