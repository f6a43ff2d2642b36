// The Index tab: Look for, the keywords that begin with it (then, unless the page says
// "prefixonly", those that hold it further on), and the pages of the one chosen. Look for is
// a combobox of the keyword list, as screen readers expect.
(function (nv) {
'use strict';
const { make, newId, VirtualList } = nv;

// `host` says whether an index is read (ready()), gives its sorted keywords (keywords(): a
// KeywordIndex, or null while none is read), shows pages (displayKeyword(keyword)), speaks
// (notRead(), noPage(), found(text, count, elsewhere)) and hears of changes (changed()).
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
        this.keywordList = new VirtualList('listbox', 'Keywords', (row, group, i) => {
            row.setAttribute('role', 'option');
            row.textContent = group.phrase;
            if (i === this.begin && i > 0) row.classList.add('nv-elsewhere');
        }, () => this.displaySelectedPage());
        this.keywordList.el.id = newId('kwl');
        this.keywordList.el.setAttribute('aria-labelledby', this.keywordsLabel.id);
        this.keywordList.textOf = (group) => group.phrase;
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
        this.pageList = new VirtualList('listbox', 'Pages', (row, keyword) => {
            row.setAttribute('role', 'option');
            row.textContent = keyword.fullTitle || keyword.phrase;
            const url = keyword.fullUrl;
            if (url) row.title = url;
        }, () => this.displaySelectedPage());
        this.pageList.el.setAttribute('aria-labelledby', this.pagesLabel.id);
        this.pageList.textOf = (keyword) => keyword.fullTitle;
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
        for (let i = 0; phrase !== undefined && i < list.count; ++i) {
            if (list.item(i).phrase === phrase) {
                list.select(i);
                return;
            }
        }
    }

    // The phrase chosen, if any.
    phrase() {
        const i = this.keywordList.selected;
        return i >= 0 && this.keywordList.count ? this.keywordList.item(i).phrase : undefined;
    }

    showPages(group) {
        this.pageList.selected = -1;
        this.pageList.el.scrollTop = 0;
        const keywords = group ? group.keywords : [];
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
