// The Index tab: Look for, the keywords that begin with it (then, unless the page says
// "prefixonly", those that hold it further on), and the pages of the one chosen. Look for is
// a combobox of the keyword list, as screen readers expect.
(function (nv) {
'use strict';
const { make, newId, VirtualList } = nv;

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
        this.narrow();
    }

    lookForKey(e) {
        if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
            this.keywordList.key(e);
        } else if (e.key === 'Enter') {
            e.preventDefault();
            this.displaySelectedPage();
        }
    }

    // The keywords that begin with what Look for holds.
    narrow() {
        const keywords = this.host.keywords();
        if (!keywords) {
            this.host.notRead();
            return;
        }
        this.groups = keywords;
        const text = this.lookFor.value;
        const found = keywords.search(text, this.elsewhere);
        this.begin = found.begin;
        this.keywordList.el.scrollTop = 0;
        this.keywordList.selected = -1;
        this.keywordList.setSource(found.count, found.item);
        if (found.count) this.keywordList.select(0);
        else {
            this.lookFor.removeAttribute('aria-activedescendant');
            this.showPages(null);
        }
        this.host.found(text, found.count, this.elsewhere);
    }

    // Look for set to `text` and the keyword `phrase` chosen, when the list has it.
    restore(text, phrase) {
        this.lookFor.value = text;
        this.shown = true;
        this.narrow();
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
        this.pageList.el.scrollTop = 0;
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

nv.IndexView = IndexView;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('index', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
