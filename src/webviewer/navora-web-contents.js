// The Contents tab (the tree drawn as a list of its visible rows) and the Index tab.
(function (nv) {
'use strict';
const { make, newId, afterPaint, nextTask, VirtualList, TreeRows, safeUrl, walkTree } = nv;

// Milliseconds of one slice of the look for phrases that hold the text further on: with the
// layout of the rows it adds, well within a frame.
const LOOK_SLICE = 3;

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
        this.byUrl = null;
        this.byAddress = null;
        this.rows.clear();
        this.list.setItems([]);
        this.message.textContent = '';
    }

    // The rows of a newly read index, the first selected; `emptyText` when there are none.
    show(model, sort, expanded, emptyText) {
        this.entries = model.entries;
        this.byUrl = null;
        this.byAddress = null;
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

    // The first entry of the contents with `url` as the index file has it, or null; made
    // when first wanted, as is the base URL of the first entry that has one.
    entryWithUrl(url) {
        if (!this.byUrl) {
            const entries = this.entries;
            this.byUrl = new Map();
            this.base = null;
            walkTree(entries, this.rows.top, 0, (e) => {
                const own = entries.url(e);
                if (own && !this.byUrl.has(own)) this.byUrl.set(own, e);
                if (!this.base) this.base = entries.base(e);
            });
        }
        const e = this.byUrl.get(url);
        return e === undefined ? null : e;
    }

    firstBase() {
        this.entryWithUrl('');
        return this.base;
    }

    // The first entry of the contents whose page is at `href`, the fragment aside, or null.
    entryShowing(href) {
        if (!this.byAddress) {
            const entries = this.entries;
            this.byAddress = new Map();
            walkTree(entries, this.rows.top, 0, (e) => {
                const url = entries.url(e) || entries.base(e) ? safeUrl(entries.fullUrl(e), document.baseURI) : null;
                if (url && !this.byAddress.has(url)) this.byAddress.set(url, e);
            });
        }
        let e = this.byAddress.get(href);
        if (e === undefined) e = this.byAddress.get(href.replace(/#.*$/, ''));
        return e === undefined ? null : e;
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

// `host` says whether an index is read (ready()), gives its sorted keywords (keywords(): a
// KeywordIndex, or null while none is read), shows pages (displayKeyword(k), k a keyword of
// the model), speaks (notRead(), noPage(), found(text, count, elsewhere)) and hears of
// changes (changed()). The keyword list's items are groups of the KeywordIndex; the page
// list's are keywords.
class IndexView {
    constructor(host) {
        this.host = host;
        this.card = make('div', 'nv-card nv-index');
        const lookRow = make('label', 'nv-lookfor');
        this.lookForLabel = make('span', 'nv-prompt');
        this.lookFor = make('input', 'nv-input');
        this.lookFor.type = 'text';
        this.lookFor.setAttribute('autocomplete', 'off');
        this.lookFor.setAttribute('role', 'combobox');
        this.lookFor.setAttribute('aria-autocomplete', 'list');
        this.lookFor.setAttribute('aria-expanded', 'true');
        lookRow.append(this.lookForLabel, this.lookFor);
        this.keywordsLabel = make('div', 'nv-prompt');
        this.keywordsLabel.id = newId('kw');
        this.groups = null;
        this.keywordList = new VirtualList('listbox', 'Keywords', (row, group, i) => {
            row.setAttribute('role', 'option');
            row.textContent = this.groups.phrase(group);
            if (i === this.begin && i > 0) row.classList.add('nv-elsewhere');
        }, () => this.displaySelectedPage());
        this.keywordList.el.id = newId('kwl');
        this.keywordList.el.setAttribute('aria-labelledby', this.keywordsLabel.id);
        this.keywordList.textOf = (group) => this.groups.phrase(group);
        this.keywordList.onSelect = (group, i) => {
            this.lookFor.setAttribute('aria-activedescendant', this.keywordList.rowId(i));
            this.showPages(group);
            host.changed();
        };
        this.lookFor.setAttribute('aria-controls', this.keywordList.el.id);
        this.begin = 0;
        this.elsewhere = true;
        this.pagesLabel = make('div', 'nv-prompt');
        this.pagesLabel.id = newId('pg');
        this.pageList = new VirtualList('listbox', 'Pages', (row, k) => {
            const table = this.groups.table;
            row.setAttribute('role', 'option');
            row.textContent = table.fullTitle(k) || table.phrase(k);
            const url = table.fullUrl(k);
            if (url) row.title = url;
        }, () => this.displaySelectedPage());
        this.pageList.el.setAttribute('aria-labelledby', this.pagesLabel.id);
        this.pageList.textOf = (k) => this.groups.table.fullTitle(k);
        this.displayButton = make('button', 'nv-button');
        this.displayButton.type = 'button';
        this.displayButton.addEventListener('click', () => this.displaySelectedPage());
        this.lookFor.addEventListener('input', () => {
            this.narrow();
            host.changed();
        });
        this.lookFor.addEventListener('keydown', (e) => this.lookForKey(e));
        const left = make('div', 'nv-pane');
        left.append(lookRow, this.keywordsLabel, this.keywordList.el);
        const right = make('div', 'nv-pane');
        right.append(this.pagesLabel, this.pageList.el, this.displayButton);
        this.card.append(left, right);
        this.shown = false;
    }

    // The language's texts: Look for, Keywords, Pages, Display page.
    setTexts(text) {
        this.lookForLabel.textContent = text(1);
        this.keywordsLabel.textContent = text(2);
        this.pagesLabel.textContent = text(3);
        this.displayButton.textContent = text(9);
    }

    // Empty lists for an index about to be read, Look for holding `query`.
    clear(query) {
        this.shown = false;
        this.look = null;
        this.keywordList.el.removeAttribute('aria-busy');
        this.begin = 0;
        this.groups = null;
        this.lookFor.removeAttribute('aria-activedescendant');
        this.keywordList.setItems([]);
        this.pageList.setItems([]);
        this.lookFor.value = query;
    }

    // Fills the lists the first time the tab is wanted with an index read.
    showOnce() {
        if (this.shown || this.keywordList.count) return;
        this.shown = true;
        this.narrow(true);
    }

    lookForKey(e) {
        if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
            this.keywordList.key(e);
        } else if (e.key === 'Enter') {
            e.preventDefault();
            this.displaySelectedPage();
        }
    }

    // The keywords that begin with what Look for holds, listed at once, then those that hold
    // it further on: a keystroke lists the first within its frame, and the others are looked
    // for after that frame is painted, a slice at a time, and added below them, the list
    // busy until then. `now` lists them all at once (an address restored, a tab shown).
    narrow(now = false) {
        const keywords = this.host.keywords();
        if (!keywords) {
            this.host.notRead();
            return;
        }
        this.groups = keywords;
        const text = this.lookFor.value;
        const look = keywords.look(text, this.elsewhere);
        if (now) look.step(() => false);
        this.look = look;
        this.keywordList.scrollToTop(0);
        this.keywordList.selected = -1;
        this.list(look, true);
        if (look.done) {
            this.listed(look, text);
            return;
        }
        // The begun list says how many begin with the text; the status waits for the whole.
        if (look.begin) this.host.found(text, look.begin, this.elsewhere);
        this.keywordList.el.setAttribute('aria-busy', 'true');
        const slice = () => {
            if (this.look !== look) return;
            const until = performance.now() + LOOK_SLICE;
            if (!look.step(() => performance.now() > until)) {
                nextTask(slice);
                return;
            }
            this.list(look, false);
            this.listed(look, text);
        };
        afterPaint(slice);
    }

    // The keyword list as `look` has it so far, its first row chosen when `fresh`. Later,
    // the row chosen stays chosen: the phrases that hold the text further on come after
    // those listed.
    list(look, fresh) {
        const found = look.result();
        const list = this.keywordList;
        const had = fresh ? 0 : list.count;
        this.begin = found.begin;
        list.setSource(found.count, found.item);
        if (!had && found.count) {
            list.selected = -1;
            list.select(0, false);
        } else if (!found.count) {
            this.lookFor.removeAttribute('aria-activedescendant');
            this.showPages(null);
        }
    }

    // The look is done: the status says so and the page hears of it.
    listed(look, text) {
        if (this.look === look) this.look = null;
        this.keywordList.el.removeAttribute('aria-busy');
        const count = this.keywordList.count;
        this.host.found(text, count, this.elsewhere);
        this.card.dispatchEvent(new CustomEvent('navora-web-looked', { bubbles: true, detail: { count } }));
    }

    // Look for set to `text` and the keyword `phrase` chosen, when the list has it.
    restore(text, phrase) {
        this.lookFor.value = text;
        this.shown = true;
        this.narrow(true);
        const list = this.keywordList;
        const key = phrase === undefined ? '' : String(phrase).toLowerCase();
        for (let i = 0; phrase !== undefined && i < list.count; ++i) {
            const group = list.item(i);
            if (this.groups.key(group) === key && this.groups.phrase(group) === phrase) {
                list.select(i);
                return;
            }
        }
    }

    // The phrase chosen, if any.
    phrase() {
        const i = this.keywordList.selected;
        return i >= 0 && this.keywordList.count ? this.groups.phrase(this.keywordList.item(i)) : undefined;
    }

    showPages(group) {
        this.pageList.selected = -1;
        this.pageList.scrollToTop(0);
        const keywords = group === null ? [] : this.groups.keywords(group);
        this.pageList.setItems(keywords);
        if (keywords.length) this.pageList.select(0, false);
    }

    displaySelectedPage() {
        if (!this.host.ready()) {
            this.host.notRead();
            return;
        }
        const i = this.pageList.selected;
        if (i < 0) {
            this.host.noPage();
            return;
        }
        this.host.displayKeyword(this.pageList.item(i));
    }
}

Object.assign(nv, {ContentsView, IndexView});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('contents', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
