// One viewer in place of one APPLET element: the tabs, the reading of an index and its
// language file, and the opening of pages. The views it composes do the rest.
(function (nv) {
'use strict';
const { make, newId, readFile, afterPaint, decodeBytes, readLanguage, readIndexInSteps, countTree,
    LANGUAGE_DEFAULTS, KeywordIndex, ContentsView, IndexView, SelectView, AboutView, IconWindow,
    cssColour, isDark, cssFont, safeUrl, parseIndexParam, parseMode } = nv;

const BUILT_IN_TEXT = {
    bad: (n) => (n === 1 ? '1 line of the index file could not be read and was skipped'
        : `${n} lines of the index file could not be read and were skipped`),
    notRead: 'The index file could not be read',
    empty: 'The index has no entries',
};

const TAB_ICONS = { contents: 0, index: 1, select: 2, about: 3 };

class Viewer {
    constructor(applet, params, width, height) {
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
        this.model = null;
        this.keywordIndex = null;
        this.current = -1;
        this.loadCount = 0;
        this.build();
    }

    text(n) {
        return this.texts[n - 1] || LANGUAGE_DEFAULTS[n - 1];
    }

    imageUrl(name) {
        return name ? safeUrl(name, document.baseURI) : null;
    }

    applyLook(el) {
        const p = this.params;
        const set = (name, param) => {
            const colour = cssColour(p.get(param));
            if (colour) el.style.setProperty(name, colour);
            return colour;
        };
        set('--nv-bg', 'bgcolour');
        set('--nv-fg', 'fgcolour');
        set('--nv-field', 'fieldbgcolor');
        set('--nv-icon-bg', 'iconbgcolor');
        set('--nv-card', 'cardbgcolor');
        set('--nv-tip', 'tipbgcolor');
        const select = set('--nv-select', 'selectcolor');
        if (select) el.style.setProperty('--nv-select-fg', isDark(select) ? '#ffffff' : '#000000');
        const font = cssFont(p.get('font'));
        if (font.family) el.style.fontFamily = font.family;
        if (font.size) el.style.fontSize = font.size;
        if (font.weight) el.style.fontWeight = font.weight;
        if (font.style) el.style.fontStyle = font.style;
        if ((p.get('buttonshape') || '').trim().toLowerCase() === 'square') el.classList.add('nv-square');
    }

    build() {
        const root = make('div', 'nv-viewer');
        root.classList.add(this.mode.high ? 'nv-high' : 'nv-wide');
        this.applyLook(root);
        this.root = root;
        this.tabBar = make('div', 'nv-tabs');
        this.tabBar.setAttribute('role', 'tablist');
        this.cards = make('div', 'nv-cards');
        this.tipLine = make('div', 'nv-tipline');
        this.status = make('div', 'nv-status');
        this.status.setAttribute('role', 'status');
        this.status.setAttribute('aria-live', 'polite');
        root.append(this.tabBar, this.cards, this.tipLine, this.status);
        this.contents = new ContentsView(this);
        this.tree = this.contents.list;
        this.index = new IndexView(this);
        this.select = new SelectView((n) => this.choose(n));
        this.about = new AboutView();
        if (this.mode.iconMode) this.buildIconMode();
        else {
            root.style.width = `${this.width}px`;
            root.style.height = `${this.height}px`;
            this.applet.parentNode.insertBefore(root, this.applet);
        }
        this.applet.style.display = 'none';
        this.applet.setAttribute('aria-hidden', 'true');
        if (!this.indexes.length) {
            this.setStatus(BUILT_IN_TEXT.notRead);
            this.showTabs();
            return;
        }
        this.load(0);
    }

    buildIconMode() {
        const win = new IconWindow(this.params, this.applet, this.root, this.width, this.height,
            (name) => this.imageUrl(name));
        win.exitButton.textContent = this.text(8);
        win.onOpen = () => {
            this.drawLists();
            const tab = this.tabs && this.tabs.find((t) => t.tab.getAttribute('aria-selected') === 'true');
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

    activate(entry) {
        this.display(entry.fullUrl, this.entryTarget(entry));
    }

    displayKeyword(keyword) {
        this.display(keyword.fullUrl, this.keywordTarget(keyword));
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
        const facts = [];
        if (p) facts.push(['Index file', p.indexFile]);
        if (m) {
            facts.push(['Description', m.description], ['Date', m.date], ['Tip', m.tip],
                ['Entries', String(this.entryCount)], ['Keywords', String(this.keywordCount)]);
        }
        if (this.languageDescription) facts.push(['Language', this.languageDescription]);
        facts.push(['Viewer', 'Navora for browsers without Java']);
        this.about.fill(this.text(11), facts);
    }

    // ---- Tabs.

    showTabs() {
        const p = this.indexes[this.current] || {};
        const tabs = [];
        if (!p.noContents) tabs.push({ card: this.contents.card, n: 4, name: 'contents' });
        if (!p.noIndex) tabs.push({ card: this.index.card, n: 5, name: 'index' });
        if (this.indexes.length > 1) tabs.push({ card: this.select.card, n: 6, name: 'select' });
        tabs.push({ card: this.about.card, n: 7, name: 'about' });
        this.tabBar.textContent = '';
        this.cards.textContent = '';
        const strip = this.imageUrl(this.params.get('tabicons'));
        for (const t of tabs) {
            const tab = make('button', 'nv-tab');
            tab.type = 'button';
            tab.setAttribute('role', 'tab');
            tab.id = newId('tab');
            tab.dataset.name = t.name;
            if (strip) {
                const img = make('img', 'nv-tab-icon nv-strip');
                img.alt = '';
                img.src = strip;
                img.style.objectPosition = `${-16 * TAB_ICONS[t.name]}px 0`;
                tab.appendChild(img);
            }
            tab.appendChild(make('span', '', this.text(t.n)));
            t.card.setAttribute('role', 'tabpanel');
            t.card.setAttribute('aria-labelledby', tab.id);
            tab.addEventListener('click', () => this.selectTab(t));
            tab.addEventListener('keydown', (e) => this.tabKey(e, tabs.indexOf(t)));
            t.tab = tab;
            this.tabBar.appendChild(tab);
            this.cards.appendChild(t.card);
        }
        this.tabs = tabs;
        this.index.setTexts((n) => this.text(n));
        this.select.label.textContent = this.text(10);
        if (this.iconWindow) this.iconWindow.setTexts(this.text(8), this.text(15));
        this.root.setAttribute('lang', (p.languageCode || '').slice(0, 2).toLowerCase() || 'en');
        this.fillAbout();
        const first = tabs.find((t) => t.name === (p.indexFirst ? 'index' : 'contents')) || tabs[0];
        this.selectTab(first);
    }

    tabKey(e, i) {
        const n = this.tabs.length;
        const moves = { ArrowRight: i + 1, ArrowLeft: i - 1, Home: 0, End: n - 1 };
        if (!(e.key in moves)) return;
        e.preventDefault();
        const t = this.tabs[(moves[e.key] + n) % n];
        this.selectTab(t);
        t.tab.focus();
    }

    selectTab(t) {
        for (const other of this.tabs) {
            const on = other === t;
            other.tab.setAttribute('aria-selected', on ? 'true' : 'false');
            other.tab.tabIndex = on ? 0 : -1;
            other.card.hidden = !on;
        }
        this.activeTab = t.name;
        if (t.name === 'index' && this.model) this.index.showOnce();
        if (t.name === 'select') this.select.show(this.indexes, this.current);
        this.drawLists();
    }

    drawLists() {
        for (const list of [this.tree, this.index.keywordList, this.index.pageList, this.select.list]) {
            list.rowHeight = 0;
            list.draw();
        }
    }

    // ---- Reading an index and its language file.

    // Whatever goes wrong while loading leaves a message, never an empty panel.
    async load(n, chosen = false) {
        try {
            await this.loadIndex(n, chosen);
        } catch (e) {
            this.failed((this.indexes[n] || {}).indexFile || '');
        }
    }

    failed(file) {
        this.contents.message.textContent = `${BUILT_IN_TEXT.notRead}: ${file}`;
        this.setStatus(this.text(17));
        this.fillAbout();
        this.signal();
    }

    async loadLanguage(p, ticket) {
        this.texts = LANGUAGE_DEFAULTS.slice();
        this.languageDescription = '';
        if (!p.languageFile) return;
        try {
            const language = readLanguage(decodeBytes(await readFile(p.languageFile), p.languageEncoding));
            if (ticket !== this.loadCount) return;
            this.texts = language.texts;
            this.languageDescription = language.description;
        } catch (e) {
            // The default texts stand in for a language file that cannot be read.
        }
    }

    async loadIndex(n, chosen) {
        const ticket = ++this.loadCount;
        const p = this.indexes[n];
        this.current = n;
        this.model = null;
        this.reader = null;
        this.keywordIndex = null;
        this.contents.clear();
        this.index.clear(this.index.lookFor.value);
        await this.loadLanguage(p, ticket);
        if (ticket !== this.loadCount) return;
        this.index.lookFor.value = p.initialQuery;
        this.showTabs();
        this.setStatus(this.text(16));
        let bytes;
        try {
            bytes = await readFile(p.indexFile);
        } catch (e) {
            if (ticket === this.loadCount) this.failed(p.indexFile);
            return;
        }
        if (ticket !== this.loadCount) return;
        // Kept for the benchmark: where the time to the first tree goes.
        const read = performance.now();
        const text = decodeBytes(bytes, p.indexEncoding);
        const decoded = performance.now();
        this.reader = readIndexInSteps(text);
        const parsed = performance.now();
        this.show(this.reader.model, p);
        this.timings = { read, decode: decoded - read, parse: parsed - decoded, show: performance.now() - parsed };
        // The keywords are read once the tree is on the screen, and sorted for the Index
        // tab a little later, unless the reader asks for them first.
        afterPaint(() => {
            if (ticket !== this.loadCount) return;
            this.finishReading();
            setTimeout(() => {
                if (ticket === this.loadCount && this.model) this.keywords();
            }, 100);
        });
        if (chosen && p.selectUrl) this.display(p.selectUrl, this.defaultTarget);
    }

    show(model, p) {
        this.model = model;
        this.contents.show(model, p.sort, p.expanded, BUILT_IN_TEXT.empty);
        this.showTip(model.tip);
        this.root.dispatchEvent(new CustomEvent('navora-web-tree', { bubbles: true }));
    }

    // Reads the keywords the first step left, then tells the reader the index is read.
    finishReading() {
        if (!this.reader) return;
        const reader = this.reader;
        this.reader = null;
        let model;
        try {
            model = reader.readKeywords();
        } catch (e) {
            this.setStatus(this.text(17));
            this.signal();
            return;
        }
        const counts = countTree(model);
        this.entryCount = counts.entries;
        this.keywordCount = counts.keywords;
        const bad = model.badLines.length;
        this.setStatus(bad ? `${this.text(14)} \u2013 ${BUILT_IN_TEXT.bad(bad)}` : this.text(14));
        this.fillAbout();
        if (this.activeTab === 'index') {
            this.index.shown = true;
            this.index.narrow();
        }
        this.signal();
    }

    signal() {
        this.root.dataset.state = this.model ? 'ready' : 'failed';
        const event = new CustomEvent('navora-web-ready', { bubbles: true, detail: { viewer: this } });
        this.root.dispatchEvent(event);
    }

    // ---- Opening pages.

    entryTarget(entry) {
        if (entry.ownTarget) return entry.target;
        if (entry.base && entry.base.target) return entry.base.target;
        return this.defaultTarget;
    }

    keywordTarget(keyword) {
        if (keyword.ownTarget) return keyword.target;
        return keyword.owner ? this.entryTarget(keyword.owner) : this.defaultTarget;
    }

    // Opens `url` in `target` as a link of the page would.
    display(url, target) {
        const href = safeUrl(url, document.baseURI);
        if (!href) {
            this.setStatus(`${this.text(19)}: ${url}`);
            return false;
        }
        this.setStatus(this.text(18));
        const link = document.createElement('a');
        link.href = href;
        link.target = (target || '').trim() || '_self';
        if (link.target === '_blank') link.rel = 'noopener';
        link.style.display = 'none';
        document.body.appendChild(link);
        try {
            link.click();
        } catch (e) {
            this.setStatus(this.text(19));
        }
        link.remove();
        if (this.mode.closeAfter && this.iconWindow) this.iconWindow.close();
        return true;
    }
}

nv.Viewer = Viewer;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('viewer', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
