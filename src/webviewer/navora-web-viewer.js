// One viewer in place of one APPLET element: what ties the views together (tabs, the
// address, opening pages) and what they ask of their host. The views it composes do the
// rest, and navora-web-reading.js adds how it reads an index and its language file.
(function (nv) {
'use strict';
const { make, VirtualList, LANGUAGE_DEFAULTS, VIEWER_TEXTS, KeywordIndex, ContentsView, IndexView, SelectView,
    AboutView, IconWindow, TabBar, PageOpener, AddressMemory, applyLook, safeUrl, parseIndexParam,
    parseMode, SearchView } = nv;

class Viewer {
    constructor(applet, params, width, height, number) {
        this.applet = applet;
        this.params = params;
        this.width = width;
        this.height = height;
        this.indexes = [];
        for (let n = 1; params.has(`index${n}`); ++n) this.indexes.push(parseIndexParam(params.get(`index${n}`)));
        this.mode = parseMode(params.get('mode'));
        this.defaultTarget = (params.get('target') || '').trim() || '_self';
        this.contentsIcons = params.get('contentsicons');
        this.texts = LANGUAGE_DEFAULTS.slice();
        this.viewerTexts = VIEWER_TEXTS.slice();
        this.model = null;
        this.keywordIndex = null;
        this.current = -1;
        this.loadCount = 0;
        this.memory = new AddressMemory(number || 1);
        this.pages = new PageOpener((href) => this.shown(href));
        this.build();
    }

    // Text n of the language file: 1 to 19 the applet's, 20 on the viewer's own.
    text(n) {
        if (n >= 20) return this.viewerTexts[n - 20] || VIEWER_TEXTS[n - 20];
        return this.texts[n - 1] || LANGUAGE_DEFAULTS[n - 1];
    }

    imageUrl(name) {
        return name ? safeUrl(name, document.baseURI) : null;
    }

    build() {
        const root = make('div', 'nv-viewer');
        root.classList.add(this.mode.high ? 'nv-high' : 'nv-wide');
        applyLook(root, this.params);
        this.root = root;
        this.tabBar = new TabBar((name) => this.tabChosen(name));
        this.tipLine = make('div', 'nv-tipline');
        this.status = make('div', 'nv-status');
        this.status.setAttribute('role', 'status');
        this.status.setAttribute('aria-live', 'polite');
        root.append(this.tabBar.el, this.tabBar.cards, this.tipLine, this.status);
        this.contents = new ContentsView(this);
        this.tree = this.contents.list;
        this.index = new IndexView(this);
        this.select = new SelectView((n) => this.choose(n));
        this.about = new AboutView();
        this.search = new SearchView(this);
        if (this.mode.iconMode) this.buildIconMode();
        else {
            // The applet's size; a narrow screen's layout sets it aside.
            root.style.width = `${this.width}px`;
            root.style.height = `${this.height}px`;
            this.applet.parentNode.insertBefore(root, this.applet);
        }
        this.applet.style.display = 'none';
        this.applet.setAttribute('aria-hidden', 'true');
        window.addEventListener('hashchange', () => {
            if (this.model && this.memory.changedElsewhere()) this.restore(this.memory.read(), null);
        });
        window.addEventListener('pagehide', () => this.memory.flush());
        if (!this.indexes.length) {
            this.setStatus(this.text(22));
            this.showTabs();
            return;
        }
        const wanted = Number(this.memory.read().index) - 1;
        this.load(wanted > 0 && wanted < this.indexes.length ? wanted : 0);
    }

    buildIconMode() {
        const win = new IconWindow(this.params, this.applet, this.root, this.width, this.height,
            (name) => this.imageUrl(name));
        win.exitButton.textContent = this.text(8);
        win.onOpen = () => {
            this.drawLists();
            const tab = this.tabBar.active;
            if (tab) tab.tab.focus();
        };
        this.iconWindow = win;
        if (this.mode.popUp) win.open();
    }

    setStatus(text) {
        this.status.textContent = text;
    }

    showTip(tip) {
        this.tipLine.textContent = tip || '';
        this.tipLine.classList.toggle('nv-has-tip', !!tip);
    }

    // ---- What the views ask of their host.

    activate(e) {
        const entries = this.model.entries;
        this.display(entries.fullUrl(e), nv.entryTarget(entries, e, this.defaultTarget));
    }

    displayKeyword(k) {
        const keywords = this.model.keywords;
        this.display(keywords.fullUrl(k), nv.keywordTarget(keywords, k, this.defaultTarget));
    }

    ready() {
        return !!this.model;
    }

    notRead() {
        this.setStatus(this.text(17));
    }

    noPage() {
        this.setStatus(this.text(19));
    }

    // Look for found `count` keywords for `text`: none is said in the status line.
    found(text, count, elsewhere) {
        if (!count && text !== '') {
            this.setStatus(this.text(elsewhere ? 21 : 20).replace('%1', text));
            this.missed = true;
        } else if (this.missed) {
            this.setStatus(this.text(14));
            this.missed = false;
        }
    }

    // The sorted keywords, made when the Index tab first wants them, so the contents show first.
    keywords() {
        if (!this.model) return null;
        if (!this.keywordIndex) this.finishReading();
        if (!this.keywordIndex && this.model) this.keywordIndex = new KeywordIndex(this.model);
        return this.model ? this.keywordIndex : null;
    }

    choose(n) {
        if (n !== this.current) this.load(n, true);
    }

    fillAbout() {
        const p = this.indexes[this.current];
        const m = this.model;
        const t = (n) => this.text(n);
        const facts = [];
        if (p) facts.push([t(26), p.indexFile]);
        if (m) {
            facts.push([t(27), m.description], [t(28), m.date], [t(29), m.tip]);
            if (this.entryCount !== undefined) {
                facts.push([t(30), String(this.entryCount)], [t(31), String(this.keywordCount)]);
            }
        }
        if (this.languageDescription) facts.push([t(32), this.languageDescription]);
        facts.push([t(33), t(34)], [t(35), t(36)]);
        this.about.fill(this.text(11), facts);
    }

    // ---- Tabs.

    // The tabs of the index shown, on the one the page opens with, or with `keep` on the one
    // open now (the Search tab comes later than the others where its index does).
    showTabs(keep) {
        const p = this.indexes[this.current] || {};
        const open = keep && this.tabBar.active ? this.tabBar.active.name : null;
        const focused = keep && this.tabBar.active && document.activeElement === this.tabBar.active.tab;
        const tabs = [];
        if (!p.noContents) tabs.push({ card: this.contents.card, n: 4, name: 'contents' });
        if (!p.noIndex) tabs.push({ card: this.index.card, n: 5, name: 'index' });
        if (this.searchIndex) tabs.push({ card: this.search.card, n: 37, name: 'search' });
        if (this.indexes.length > 1) tabs.push({ card: this.select.card, n: 6, name: 'select' });
        tabs.push({ card: this.about.card, n: 7, name: 'about' });
        for (const t of tabs) t.label = this.text(t.n);
        this.tabBar.show(tabs, this.imageUrl(this.params.get('tabicons')));
        this.tree.el.setAttribute('aria-label', this.text(4));
        this.index.setTexts((n) => this.text(n));
        this.select.label.textContent = this.text(10);
        this.search.setTexts((n) => this.text(n));
        if (this.iconWindow) this.iconWindow.setTexts(this.text(8), this.text(15));
        this.root.setAttribute('lang', (p.languageCode || '').slice(0, 2).toLowerCase() || 'en');
        this.fillAbout();
        if (open) {
            const t = this.tabBar.find(open) || this.tabBar.tabs[0];
            this.tabBar.select(t);
            if (focused) t.tab.focus();
            return;
        }
        this.selectTab(p.searchFirst && this.searchIndex ? 'search' : p.indexFirst ? 'index' : 'contents');
    }

    selectTab(name) {
        const t = this.tabBar.find(name) || this.tabBar.tabs[0];
        this.tabBar.select(t);
        this.tabChosen(t.name);
    }

    tabChosen(name) {
        this.activeTab = name;
        if (name === 'index' && this.model) this.index.showOnce();
        if (name === 'select') this.select.show(this.indexes, this.current);
        if (name === 'search') this.search.prepare();
        this.drawLists();
        this.changed();
    }

    drawLists() {
        const lists = [this.tree, this.index.keywordList, this.index.pageList, this.select.list];
        VirtualList.measureAll(lists);
        for (const list of lists) list.draw();
    }

    // ---- The address: what is shown, kept in the page's fragment.

    changed() {
        if (!this.model || this.restoring) return;
        const state = { tab: this.activeTab };
        if (this.indexes.length > 1) state.index = String(this.current + 1);
        if (this.activeTab === 'contents') {
            const e = this.contents.selectedEntry();
            const entries = this.model.entries;
            if (e !== null && (entries.url(e) || entries.base(e))) state.entry = entries.fullUrl(e);
        } else if (this.activeTab === 'index') {
            state.look = this.index.lookFor.value;
            state.phrase = this.index.phrase();
        } else if (this.activeTab === 'search') {
            state.query = this.search.query();
        }
        this.memory.write(state, () => ({ open: this.contents.openPlaces() }));
    }

    // Shows what an address names; `extra` holds the branches that were open.
    restore(state, extra) {
        this.restoring = true;
        try {
            if (extra && extra.open) this.contents.openAt(extra.open);
            if (state.entry !== undefined) {
                const entries = this.model.entries;
                this.contents.reveal((e) => entries.fullUrl(e) === state.entry);
            }
            if (state.tab && this.tabBar.find(state.tab)) this.selectTab(state.tab);
            if (state.look !== undefined || state.phrase !== undefined) {
                this.index.restore(state.look || '', state.phrase);
            }
            if (state.query !== undefined && this.searchIndex) this.search.restore(state.query);
        } finally {
            this.restoring = false;
        }
    }

    // ---- The Search tab's pages: an entry's own title and target where the page is one.

    entryOf(page) {
        return this.model ? this.contents.entryWithUrl(page.url) : null;
    }

    titleOf(page) {
        const e = this.entryOf(page);
        return (e !== null && this.model.entries.title(e)) || page.title || page.url;
    }

    openPage(page) {
        const e = this.entryOf(page);
        if (e !== null) this.activate(e);
        else {
            const base = this.contents.firstBase();
            this.display(base ? base.url + page.url : page.url, this.defaultTarget);
        }
    }

    // ---- Opening pages, and following what the frames show.

    // Opens `url` in `target` as a link of the page would.
    display(url, target) {
        const href = safeUrl(url, document.baseURI);
        if (!href) {
            this.setStatus(`${this.text(19)}: ${url}`);
            return false;
        }
        this.setStatus(this.text(18));
        // What Back should come back to is in the address before the page goes.
        this.changed();
        this.memory.flush();
        if (!this.pages.open(href, target)) this.setStatus(this.text(19));
        if (this.mode.closeAfter && this.iconWindow) this.iconWindow.close();
        return true;
    }

    // A frame shows `href`: the tree shows its entry, unless the one selected is it already.
    shown(href) {
        if (!this.model) return;
        const entry = this.contents.entryShowing(href);
        if (entry === null || entry === this.contents.selectedEntry()) return;
        this.contents.reveal((e) => e === entry);
    }
}

Object.assign(nv, {Viewer});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('viewer', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
