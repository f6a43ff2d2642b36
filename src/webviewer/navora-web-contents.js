// The Contents tab: the tree drawn as a list of its visible rows.
(function (nv) {
'use strict';
const { make, VirtualList, TreeRows } = nv;

// `host` opens entries (activate(e), e an entry of the model), shows tips (showTip(text))
// and gives image URLs (imageUrl(name)) and the contents icon strip (contentsIcons).
class ContentsView {
    constructor(host) {
        this.host = host;
        this.rows = new TreeRows();
        this.entries = null;
        this.card = make('div', 'nv-card nv-contents');
        this.list = new VirtualList('tree', 'Contents', (row, node) => this.renderNode(row, node),
            (node) => this.activateNode(node));
        this.list.textOf = (node) => this.entries.title(node.entry);
        this.list.onKey = (e) => this.key(e);
        this.list.onClick = (node, i, e) => {
            if (e.target.closest('.nv-toggle')) this.toggle(i);
            else this.activateNode(node);
        };
        this.list.onSelect = (node) => {
            host.showTip(this.entries.tip(node.entry));
            host.changed();
        };
        this.message = make('div', 'nv-message');
        this.card.append(this.list.el, this.message);
    }

    clear() {
        this.rows.clear();
        this.list.setItems([]);
        this.message.textContent = '';
    }

    // The rows of a newly read index, the first selected; `emptyText` when there are none.
    show(model, sort, expanded, emptyText) {
        this.entries = model.entries;
        const rows = this.rows.reset(model, sort, expanded);
        this.list.selected = -1;
        this.list.setItems(rows);
        if (rows.length) this.list.select(0, false);
        this.message.textContent = rows.length ? '' : emptyText;
    }

    renderNode(row, node) {
        const entries = this.entries;
        const e = node.entry;
        row.setAttribute('role', 'treeitem');
        row.setAttribute('aria-level', String(node.depth + 1));
        row.setAttribute('aria-setsize', String(node.size));
        row.setAttribute('aria-posinset', String(node.pos));
        row.style.paddingLeft = `${node.depth * 1.2 + 0.2}em`;
        const hasChildren = entries.childCount(e) > 0;
        if (hasChildren) row.setAttribute('aria-expanded', node.open ? 'true' : 'false');
        const toggle = make('span', 'nv-toggle', hasChildren ? (node.open ? '\u2212' : '+') : '');
        if (!hasChildren) toggle.classList.add('nv-leaf');
        toggle.setAttribute('aria-hidden', 'true');
        row.appendChild(toggle);
        row.appendChild(this.nodeIcon(entries.icon(e), hasChildren, node.open));
        row.appendChild(make('span', 'nv-label', entries.title(e)));
        const tip = entries.tip(e);
        if (tip) row.title = tip;
    }

    nodeIcon(icon, folder, open) {
        const own = this.host.imageUrl(icon);
        const strip = this.host.imageUrl(this.host.contentsIcons);
        if (own || strip) {
            const img = make('img', 'nv-node-icon');
            img.alt = '';
            if (own) img.src = own;
            else {
                img.src = strip;
                img.classList.add('nv-strip');
                img.style.objectPosition = `${-16 * (folder ? (open ? 1 : 0) : 2)}px 0`;
            }
            return img;
        }
        const glyph = make('span', `nv-node-icon nv-glyph ${folder ? (open ? 'nv-open' : 'nv-closed') : 'nv-page'}`);
        glyph.setAttribute('aria-hidden', 'true');
        return glyph;
    }

    key(e) {
        const i = this.list.selected;
        if (i < 0) return false;
        const node = this.list.item(i);
        if (e.key === 'ArrowRight') {
            if (this.entries.childCount(node.entry) && !node.open) this.toggle(i);
            else if (node.open) this.list.select(i + 1);
        } else if (e.key === 'ArrowLeft') {
            if (node.open) this.toggle(i);
            else {
                const parent = this.rows.parentOf(i);
                if (parent >= 0) this.list.select(parent);
            }
        } else if (e.key === '*') {
            this.expandAll(i);
        } else {
            return false;
        }
        e.preventDefault();
        return true;
    }

    toggle(i) {
        if (!this.rows.toggle(i)) return;
        this.list.setItems(this.rows.rows);
        this.list.select(i);
    }

    // Opens the branches above the first entry `wanted(e)` accepts and selects it; false
    // when no entry of the contents does.
    reveal(wanted) {
        const path = this.rows.pathTo(wanted);
        const i = path ? this.rows.reveal(path) : -1;
        if (i < 0) return false;
        this.list.setItems(this.rows.rows);
        this.list.select(i);
        return true;
    }

    selectedEntry() {
        const i = this.list.selected;
        return i >= 0 && this.list.count ? this.list.item(i).entry : null;
    }

    // The open branches, and back: see TreeRows.openPlaces().
    openPlaces() {
        return this.rows.openPlaces();
    }

    openAt(places) {
        this.rows.openAt(places);
        this.list.setItems(this.rows.rows);
    }

    expandAll(i) {
        this.rows.expandAll(i);
        this.list.setItems(this.rows.rows);
        this.list.select(i);
    }

    // A heading without a page opens or closes; any other entry is shown.
    activateNode(node) {
        const e = node.entry;
        if (this.entries.url(e) === '' && !this.entries.base(e)) {
            const i = this.rows.rows.indexOf(node);
            if (i >= 0) this.toggle(i);
            return;
        }
        this.host.activate(e);
    }
}

nv.ContentsView = ContentsView;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('contents', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
