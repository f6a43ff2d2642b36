// A list that puts only the rows in view into the page, so 100,000 rows cost no more than
// twenty.
(function (nv) {
'use strict';
const { make, newId } = nv;

// Rows come from items[start .. start + count), or from a function of the row's number;
// renderRow fills a row element. The selected row is always in the page, even scrolled out
// of view, so that the list's active descendant names a row that exists.
//
// The list keeps its own account of where it is scrolled and how high it is, read from the
// page only when the page says they changed (a scroll, a resize, a new measure): reading them
// while rows come and go would make the browser lay the page out again at every change, and
// a keystroke in Look for changes two lists.
class VirtualList {
    constructor(role, label, renderRow, onActivate) {
        this.el = make('div', 'nv-list');
        this.el.setAttribute('role', role);
        this.el.setAttribute('aria-label', label);
        this.el.tabIndex = 0;
        this.flat = role !== 'tree';
        this.spacer = make('div', 'nv-spacer');
        this.el.appendChild(this.spacer);
        this.renderRow = renderRow;
        this.onActivate = onActivate;
        this.onSelect = null;
        this.onKey = null;
        this.items = [];
        this.itemAt = null;
        this.start = 0;
        this.count = 0;
        this.selected = -1;
        this.rowHeight = 0;
        this.drawnHeight = 0;
        this.top = 0;
        this.view = 0;
        this.rows = new Map();
        this.idBase = newId();
        this.typed = '';
        this.typedAt = 0;
        this.el.addEventListener('scroll', () => {
            this.top = this.el.scrollTop;
            this.draw();
        });
        if (typeof ResizeObserver === 'function') {
            new ResizeObserver(() => {
                if (this.view !== this.el.clientHeight) {
                    this.view = this.el.clientHeight;
                    this.draw();
                }
            }).observe(this.el);
        }
        this.el.addEventListener('keydown', (e) => this.key(e));
        this.el.addEventListener('click', (e) => this.click(e));
        this.el.addEventListener('dblclick', (e) => {
            const i = this.rowIndex(e.target);
            if (i >= 0 && this.onActivate) this.onActivate(this.item(i), i, 'dblclick');
        });
    }
    // The list shows items[start .. start + count).
    setItems(items, start = 0, count = items.length) {
        this.items = items;
        this.itemAt = null;
        this.start = start;
        this.setCount(count);
    }
    // The list shows itemAt(0 .. count).
    setSource(count, itemAt) {
        this.items = [];
        this.itemAt = itemAt;
        this.start = 0;
        this.setCount(count);
    }
    setCount(count) {
        this.count = count;
        this.selected = count ? Math.min(Math.max(this.selected, 0), count - 1) : -1;
        this.refresh();
    }
    item(i) {
        return this.itemAt ? this.itemAt(i) : this.items[this.start + i];
    }
    // The row height, and the list's height and scrolling read with it; measured again after
    // rowHeight is set to 0.
    measure() {
        if (!this.rowHeight) VirtualList.measureAll([this]);
        return this.rowHeight;
    }
    // Measures several lists with one layout of the page rather than one each.
    static measureAll(lists) {
        const probes = lists.map((list) => list.el.appendChild(make('div', 'nv-row', 'Xg')));
        lists.forEach((list, k) => {
            list.rowHeight = probes[k].getBoundingClientRect().height || 20;
            list.view = list.el.clientHeight;
            list.top = list.el.scrollTop;
        });
        for (const probe of probes) probe.remove();
    }
    // Scrolls to `top` pixels; the rows follow at once, not at the scroll event.
    scrollToTop(top) {
        if (this.top === top) return;
        this.top = top;
        this.el.scrollTop = top;
    }
    refresh() {
        this.clearRows();
        this.draw();
    }
    clearRows() {
        for (const row of this.rows.values()) row.remove();
        this.rows.clear();
    }
    // Rows placed with another height (the style sheet came after them, or the window
    // changed to a phone's layout) are made again, so rows never overlap.
    draw() {
        // An empty list needs no measure, which would lay the page out before it is filled.
        if (!this.count) {
            this.clearRows();
            this.spacer.style.height = '0px';
            this.el.removeAttribute('aria-activedescendant');
            return;
        }
        const h = this.measure();
        if (h !== this.drawnHeight) {
            this.clearRows();
            this.drawnHeight = h;
        }
        this.spacer.style.height = `${this.count * h}px`;
        const view = this.view || 300;
        const first = Math.max(0, Math.floor(this.top / h) - 5);
        const last = Math.min(this.count, Math.ceil((this.top + view) / h) + 5);
        for (const [i, row] of this.rows) {
            if ((i < first || i >= last) && i !== this.selected) {
                row.remove();
                this.rows.delete(i);
            }
        }
        for (let i = first; i < last; ++i) this.addRow(i, h);
        if (this.selected >= 0) {
            this.addRow(this.selected, h);
            this.el.setAttribute('aria-activedescendant', this.idBase + this.selected);
        } else {
            this.el.removeAttribute('aria-activedescendant');
        }
    }
    addRow(i, h) {
        if (this.rows.has(i)) return;
        const row = make('div', 'nv-row');
        row.id = this.idBase + i;
        row.dataset.index = String(i);
        row.style.top = `${i * h}px`;
        row.setAttribute('aria-selected', i === this.selected ? 'true' : 'false');
        if (i === this.selected) row.classList.add('nv-selected');
        if (this.flat) {
            // Only some rows are in the page: each says where it stands in the whole list.
            row.setAttribute('aria-setsize', String(this.count));
            row.setAttribute('aria-posinset', String(i + 1));
        }
        this.renderRow(row, this.item(i), i);
        this.el.appendChild(row);
        this.rows.set(i, row);
    }
    // The id of row i; the selected row's is always in the page.
    rowId(i) {
        return this.idBase + i;
    }
    select(i, scroll = true) {
        if (!this.count) return;
        i = Math.max(0, Math.min(this.count - 1, i));
        const old = this.rows.get(this.selected);
        if (old) {
            old.classList.remove('nv-selected');
            old.setAttribute('aria-selected', 'false');
        }
        this.selected = i;
        if (scroll) this.scrollTo(i);
        this.draw();
        const row = this.rows.get(i);
        if (row) {
            row.classList.add('nv-selected');
            row.setAttribute('aria-selected', 'true');
        }
        if (this.onSelect) this.onSelect(this.item(i), i);
    }
    scrollTo(i) {
        const h = this.measure();
        const view = this.view || 300;
        this.spacer.style.height = `${this.count * h}px`;
        if (i * h < this.top) this.scrollToTop(i * h);
        else if ((i + 1) * h > this.top + view) this.scrollToTop(Math.max(0, (i + 1) * h - view));
    }
    rowIndex(target) {
        const row = target && target.closest ? target.closest('.nv-row') : null;
        return row && this.el.contains(row) ? parseInt(row.dataset.index, 10) : -1;
    }
    click(e) {
        const i = this.rowIndex(e.target);
        if (i < 0) return;
        this.el.focus({ preventScroll: true });
        this.select(i, false);
        if (this.onClick) this.onClick(this.item(i), i, e);
    }
    key(e) {
        if (this.onKey && this.onKey(e)) return;
        const page = Math.max(1, Math.floor((this.view || 300) / this.measure()) - 1);
        const moves = {
            ArrowDown: this.selected + 1, ArrowUp: this.selected - 1, Home: 0, End: this.count - 1,
            PageDown: this.selected + page, PageUp: this.selected - page,
        };
        if (e.key in moves) {
            this.select(moves[e.key]);
        } else if (e.key === 'Enter' || (e.key === ' ' && !this.typing())) {
            if (this.selected >= 0 && this.onActivate) this.onActivate(this.item(this.selected), this.selected, 'key');
        } else if (e.key.length === 1 && !e.ctrlKey && !e.metaKey && !e.altKey) {
            this.typeAhead(e.key);
        } else {
            return;
        }
        e.preventDefault();
    }
    // True while a type-ahead search is going on, when a space is part of what is typed.
    typing() {
        return this.typed !== '' && Date.now() - this.typedAt <= 1000;
    }
    // Jumps to the next row whose text starts with what was typed in the last second.
    typeAhead(ch) {
        const now = Date.now();
        this.typed = now - this.typedAt > 1000 ? ch : this.typed + ch;
        this.typedAt = now;
        const wanted = this.typed.toLowerCase();
        const from = this.typed.length === 1 ? this.selected + 1 : this.selected;
        const limit = Math.min(this.count, 200000);
        for (let k = 0; k < limit; ++k) {
            const i = (Math.max(from, 0) + k) % this.count;
            const text = this.textOf ? this.textOf(this.item(i)) : '';
            if (text.toLowerCase().startsWith(wanted)) {
                this.select(i);
                return;
            }
        }
    }
}

Object.assign(nv, {VirtualList});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('list', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
