// How a viewer reads an index and its language file, in the order that puts the contents
// tree on the screen first: the entries, then (once the tree is painted) the keywords, the
// search index beside the index file, and the Index tab's sorted keywords. Methods of the
// Viewer, which holds what they read.
(function (nv) {
'use strict';
const { Viewer, readFile, afterPaint, warmFonts, decodeBytes, readLanguage, readIndexInSteps,
    countTree, LANGUAGE_DEFAULTS, VIEWER_TEXTS, openSearch } = nv;

Object.assign(Viewer.prototype, {
    // Whatever goes wrong while loading leaves a message, never an empty panel.
    async load(n, chosen = false) {
        try {
            await this.loadIndex(n, chosen);
        } catch (e) {
            this.failed((this.indexes[n] || {}).indexFile || '', e);
        }
    },

    failed(file, error) {
        if (this.openSearchNow) this.openSearchNow();
        const advice = nv.notReadAdvice(file, error);
        this.contents.message.textContent = `${this.text(22)}: ${file}${advice ? `. ${advice}` : ''}`;
        this.setStatus(this.text(17));
        this.fillAbout();
        this.signal();
    },

    async loadLanguage(p, ticket) {
        this.texts = LANGUAGE_DEFAULTS.slice();
        this.viewerTexts = VIEWER_TEXTS.slice();
        this.languageDescription = '';
        if (!p.languageFile) return;
        try {
            const language = readLanguage(decodeBytes(await readFile(p.languageFile), p.languageEncoding));
            if (ticket !== this.loadCount) return;
            this.texts = language.texts;
            this.viewerTexts = language.viewerTexts;
            this.languageDescription = language.description;
        } catch (e) {
            // The default texts stand in for a language file that cannot be read.
        }
    },

    // The search index, asked for at once where the page opens on its tab, else once the
    // tree is painted (openSearchNow()): its request and tables would only delay the tree.
    searchLater(p) {
        const now = p.searchFirst || this.memory.read().tab === 'search';
        let searching;
        if (now) {
            searching = openSearch(p.indexFile);
            this.openSearchNow = null;
        } else {
            searching = new Promise((resolve) => {
                this.openSearchNow = () => {
                    this.openSearchNow = null;
                    resolve(openSearch(p.indexFile));
                };
            });
        }
        return { now, searching };
    },

    async loadIndex(n, chosen) {
        const ticket = ++this.loadCount;
        const p = this.indexes[n];
        this.current = n;
        this.model = null;
        this.reader = null;
        this.keywordsRead = false;
        this.keywordIndex = null;
        this.entryCount = undefined;
        this.contents.clear();
        this.index.clear(this.index.lookFor.value);
        this.index.elsewhere = p.elsewhere;
        // The index file and its language file are asked for at once.
        const { now, searching } = this.searchLater(p);
        const reading = readFile(p.indexFile).then((bytes) => ({ bytes }), (error) => ({ error }));
        this.searchIndex = null;
        this.searchRead = this.attachSearch(searching, ticket);
        await this.loadLanguage(p, ticket);
        // The tree waits for the search index only where the page opens on its tab.
        if (now) await this.searchRead;
        if (ticket !== this.loadCount) return;
        this.index.lookFor.value = p.initialQuery;
        this.showTabs();
        this.setStatus(this.text(16));
        const { bytes, error } = await reading;
        if (ticket !== this.loadCount) return;
        if (error) {
            this.failed(p.indexFile, error);
            return;
        }
        // Kept for the benchmark: where the time to the first tree goes.
        const read = performance.now();
        const text = decodeBytes(bytes, p.indexEncoding);
        const decoded = performance.now();
        this.reader = readIndexInSteps(text);
        const parsed = performance.now();
        this.show(this.reader.model, p, chosen);
        this.timings = { read, decode: decoded - read, parse: parsed - decoded, show: performance.now() - parsed };
        // The keywords are read once the tree is on the screen, then made ready for Look for
        // in tasks of their own, unless the reader asks for them first.
        afterPaint(() => {
            if (ticket !== this.loadCount) return;
            if (this.openSearchNow) this.openSearchNow();
            if (this.finishReading()) this.prepareLookFor(ticket);
        });
        if (chosen && p.selectUrl) this.display(p.selectUrl, this.defaultTarget);
    },

    show(model, p, chosen) {
        this.model = model;
        // Only what the reader does changes the address.
        this.restoring = true;
        this.contents.show(model, p.sort, p.expanded, this.text(23));
        this.restoring = false;
        this.showTip(model.tip);
        // The address names what to show when the page is opened (or come back to) with one.
        const state = this.memory.read();
        if (!chosen && (state.tab || state.entry !== undefined)) this.restore(state, this.memory.extra());
        this.pages.watchFrame(this.defaultTarget);
        this.root.dispatchEvent(new CustomEvent('navora-web-tree', { bubbles: true }));
    },

    // Reads the keywords the first step left, then tells the reader the index is read; true
    // once they are read (now or before), false when they cannot be (the page hears of that
    // at once).
    finishReading() {
        if (!this.reader) return this.keywordsRead;
        const reader = this.reader;
        this.reader = null;
        let model;
        try {
            model = reader.readKeywords();
        } catch (e) {
            this.setStatus(this.text(17));
            this.signal();
            return false;
        }
        const counts = countTree(model);
        this.entryCount = counts.entries;
        this.keywordCount = counts.keywords;
        const bad = model.badLines.length;
        const badText = bad === 1 ? this.text(24) : this.text(25).replace('%1', String(bad));
        this.setStatus(bad ? `${this.text(14)} \u2013 ${badText}` : this.text(14));
        this.fillAbout();
        if (this.activeTab === 'index' && !this.index.shown) {
            const restoring = this.restoring;
            this.restoring = true;
            this.index.shown = true;
            this.index.narrow(true);
            this.restoring = restoring;
        }
        this.keywordsRead = true;
        return true;
    },

    // What the first keystroke in Look for would wait for is made before it comes: the
    // sorted keywords, and the fonts of the index's characters (warmFonts()). Then the page
    // hears that the index is read.
    prepareLookFor(ticket) {
        setTimeout(() => {
            if (ticket !== this.loadCount || !this.model) return;
            // Started first, so that the page hears of the index even if sorting fails.
            warmFonts(this.root, this.model.text, () => ticket === this.loadCount, () => this.signal());
            this.keywords();
        }, 0);
    },

    // The search index once read; its tab is added if the others are shown already.
    async attachSearch(searching, ticket) {
        const index = await searching;
        if (ticket !== this.loadCount) return;
        this.searchIndex = index;
        this.search.attach(index);
        if (index && this.tabBar.tabs.length) this.showTabs(true);
    },

    // Tells the page the index is read (or cannot be), once the search index is there too.
    signal() {
        const ticket = this.loadCount;
        const read = this.searchRead || Promise.resolve();
        read.then(() => {
            if (ticket === this.loadCount) this.announce();
        });
    },

    announce() {
        this.root.dataset.state = this.model ? 'ready' : 'failed';
        const event = new CustomEvent('navora-web-ready', { bubbles: true, detail: { viewer: this } });
        this.root.dispatchEvent(event);
    },
});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('reading', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
