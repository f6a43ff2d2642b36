// The Search tab: the words of every page, from the search index the scan writes beside the
// index file (SITE.xo.search/). Results come as the reader types: each the page's title and
// the text around the words, the words marked. Page text is only ever set as text.
(function (nv) {
'use strict';
const { make, newId, afterPaint, SearchIndex, searchPartBase64, searchPartBytes, searchFolder,
    searchCountText } = nv;

const SHOWN = 50; // results listed at most
const SNIPPET_DELAY = 350; // ms the results must stand before the rest of them are read
const ROW_GUESS = 24; // px of a row before its text comes, until one is measured
const PAGE_PARTS_AHEAD = 8; // page parts read when the box is first used, if no more

// Script element -> what takes its text: parts a page loads by script elements (from disk,
// where Chromium refuses requests) hand their data to navoraSearchPart as they run.
const waiting = new Map();
function takePart(version, data) {
    const deliver = waiting.get(document.currentScript);
    if (deliver && version === nv.SEARCH_PART_VERSION && typeof data === 'string') deliver(data);
}
if (typeof window.navoraSearchPart !== 'function') window.navoraSearchPart = takePart;

function partByScript(url) {
    return nv.dataByScript(() => url, waiting, 'search part');
}

// Over http the part is read as text and never run; from disk it runs as a script. A part
// read `ahead` of the keys that want it yields to those a key waits for.
async function readPart(url, ahead) {
    if (/^https?:$/.test(new URL(url).protocol) && typeof fetch === 'function') {
        const response = await fetch(url, { priority: ahead ? 'low' : 'high' });
        if (!response.ok) throw new Error(`HTTP ${response.status}`);
        const data = searchPartBase64(await response.text());
        if (data === null) throw new Error('not a search part');
        return searchPartBytes(data);
    }
    const data = await partByScript(url);
    if (!/^[A-Za-z0-9+/]*={0,2}$/.test(data)) throw new Error('not a search part');
    return searchPartBytes(data);
}

// The search index beside the index file at `indexFile`, or null when it has none.
async function openSearch(indexFile) {
    let folder;
    try {
        folder = searchFolder(new URL(indexFile, document.baseURI).href);
    } catch (e) {
        return null;
    }
    const index = new SearchIndex((name, ahead) => readPart(`${folder}${name}.js`, ahead));
    try {
        return (await index.open()) ? index : null;
    } catch (e) {
        return null;
    }
}

// The rows of the results: only those in view have their titles on the frame that answers a
// key; the others, and the text around the words, follow once the results have stood.
class SearchView {
    // host: openPage(page), titleOf(page) and changed() (the words typed, for the address).
    constructor(host) {
        this.host = host;
        this.card = make('div', 'nv-card nv-search');
        const line = make('label', 'nv-lookfor');
        this.prompt = make('span', 'nv-prompt');
        this.input = make('input', 'nv-input nv-search-input');
        this.input.type = 'search';
        this.input.autocomplete = 'off';
        this.input.spellcheck = false;
        this.list = make('ul', 'nv-search-results');
        this.list.id = newId('results');
        this.list.setAttribute('role', 'listbox');
        this.input.setAttribute('role', 'combobox');
        this.input.setAttribute('aria-controls', this.list.id);
        this.input.setAttribute('aria-expanded', 'false');
        this.input.setAttribute('aria-autocomplete', 'list');
        this.count = make('div', 'nv-search-count');
        this.count.setAttribute('role', 'status');
        this.count.setAttribute('aria-live', 'polite');
        line.append(this.prompt, this.input);
        this.card.append(line, this.count, this.list);
        this.index = null;
        this.ticket = 0;
        this.found = null; // the results shown: {results, total, words, prefix}
        this.rows = []; // row elements, kept to be filled again by the next results
        this.shown = 0; // of which this many hold results now
        this.pages = []; // the page of each result, once read
        this.active = -1;
        this.viewHeight = 0;
        this.rowHeight = ROW_GUESS;
        this.input.addEventListener('input', () => this.typed());
        this.input.addEventListener('keydown', (e) => this.key(e));
        this.input.addEventListener('focus', () => this.prepare());
        // Known from its own events, so that new results need not ask the layout to scroll up.
        this.scrolled = false;
        this.list.addEventListener('scroll', () => { this.scrolled = this.list.scrollTop > 0; });
        this.list.addEventListener('click', (e) => {
            const row = e.target.closest && e.target.closest('.nv-search-result');
            if (row && row.parentNode === this.list) this.open(Number(row.dataset.n));
        });
        // The height of the list, known without asking the layout on a keystroke.
        if (typeof ResizeObserver === 'function') {
            new ResizeObserver((changes) => {
                this.viewHeight = changes[changes.length - 1].contentRect.height;
            }).observe(this.list);
        }
    }

    // A key changed the words: the search, then the address once the results are painted.
    typed() {
        this.run();
        if (this.addressLater) return;
        this.addressLater = true;
        afterPaint(() => {
            this.addressLater = false;
            this.host.changed();
        });
    }

    // The words in the box, for the address.
    query() {
        return this.input.value;
    }

    // Shows what an address names: the words, searched again.
    restore(query) {
        if (this.input.value === query) return;
        this.input.value = query;
        this.run();
    }

    setTexts(text) {
        this.texts = text;
        this.prompt.textContent = `${text(38)}: `;
        this.list.setAttribute('aria-label', text(37));
    }

    attach(index) {
        this.index = index;
        this.ticket += 1;
        this.clearResults();
        if (index && this.input.value) this.run();
        else if (index) this.warm();
    }

    // What the first key would wait for is made before it comes, once: the folding tables
    // unpacked, the host's pages by address (asking for one builds them), and the fonts of
    // a result's row (its bold title, the smaller text around the words, the marked words),
    // which the browser sets up, with a call to its font service, when text is first laid
    // out in them. (The box's focus also reads a small site's page parts.)
    warm() {
        if (!this.index) return;
        setTimeout(() => {
            nv.searchWords.split('a');
            this.host.titleOf({ url: '', title: '' });
            // Only a list on the screen lays anything out (the tab may not be shown yet).
            if (this.warmed || !this.list.getClientRects().length) return;
            this.warmed = true;
            const probe = make('li', 'nv-search-result nv-probe');
            probe.setAttribute('aria-hidden', 'true');
            const snippet = make('div', 'nv-search-snippet', 'a ');
            snippet.appendChild(make('mark', '', 'a'));
            probe.append(make('div', 'nv-search-title', 'a'), snippet);
            this.list.appendChild(probe);
            void probe.offsetWidth;
            probe.remove();
        }, 0);
    }

    // The tab is chosen or its box has the focus: a key may come soon. What its first key
    // reads is read now (a small site's page parts, the first characters' pages).
    prepare() {
        this.warm();
        if (!this.index) return;
        this.index.readPagesAhead(PAGE_PARTS_AHEAD);
        this.index.readFirsts();
        const index = this.index;
        setTimeout(() => index.warmUp(), 0);
    }

    clearResults() {
        this.stopWatching();
        this.found = null;
        this.setShown(0);
        this.active = -1;
        this.setCount('');
        this.input.setAttribute('aria-expanded', 'false');
        this.input.removeAttribute('aria-activedescendant');
    }

    setCount(text) {
        if (this.count.textContent !== text) this.count.textContent = text;
    }

    // Each keystroke starts a search; an older one that ends later is dropped, so the words
    // last typed always have the last say.
    async run() {
        const ticket = ++this.ticket;
        const query = this.input.value;
        if (!this.index || !query.trim()) {
            this.clearResults();
            return;
        }
        let found;
        let pages = [];
        try {
            // A key typed while the parts of this one came in makes its ranking needless.
            found = await this.index.search(query, SHOWN, () => ticket !== this.ticket);
            if (!found) return;
            // The rows in view get their titles before anything is drawn.
            pages = await this.pagesOf(found.results.slice(0, this.rowsInView()));
        } catch (e) {
            found = { results: [], total: 0, words: [] };
        }
        if (ticket !== this.ticket) return;
        this.show(found, pages, ticket);
    }

    // How many rows the list shows at once, from its height as last observed.
    rowsInView() {
        const view = this.viewHeight || this.list.clientHeight || 400;
        return Math.ceil(view / this.rowHeight) + 1;
    }

    // The pages of `results`; null for one whose part cannot be read.
    pagesOf(results) {
        return Promise.all(results.map((r) => this.index.page(r.page).catch(() => null)));
    }

    show(found, pages, ticket) {
        this.stopWatching();
        const { results, total } = found;
        // A key that leaves the same results (a prefix growing within the same words) leaves
        // the rows as they are, their text around the words included.
        const same = this.found && found.ranked && found.ranked === this.found.ranked
            && pages.length <= this.pages.length;
        this.found = found;
        if (same) {
            if (this.active !== 0) this.setActive(0, false);
            this.card.dispatchEvent(new CustomEvent('navora-web-searched', { bubbles: true,
                detail: { count: total } }));
            this.whenStood(ticket);
            this.readAhead();
            return;
        }
        this.pages = pages.slice();
        this.setCount(searchCountText(this.texts, total));
        this.setShown(pages.length);
        if (this.scrolled) this.list.scrollTop = 0;
        this.active = -1;
        this.input.setAttribute('aria-expanded', results.length ? 'true' : 'false');
        if (results.length) this.setActive(0, false);
        else this.input.removeAttribute('aria-activedescendant');
        this.card.dispatchEvent(new CustomEvent('navora-web-searched', { bubbles: true,
            detail: { count: total } }));
        this.whenStood(ticket);
        this.readAhead();
    }

    // The parts the next key will want are asked for once this key's results are painted.
    readAhead() {
        const index = this.index;
        afterPaint(() => index.readAhead());
    }

    // Rows 0 .. n hold the first n results, with the pages read so far; rows before `from`
    // hold theirs already.
    setShown(n, from = 0) {
        const fresh = document.createDocumentFragment();
        for (let i = from; i < n; i += 1) {
            if (!this.rows[i]) this.rows[i] = this.newRow(i);
            const row = this.rows[i];
            const page = this.pages[i];
            // What stays the same is not set again: the row is not drawn again.
            const title = page ? this.host.titleOf(page) : '';
            if (row.firstChild.textContent !== title) row.firstChild.textContent = title;
            if (row.lastChild.firstChild) row.lastChild.textContent = '';
            row.filled = null;
            if (row.getAttribute('aria-selected') !== 'false') row.setAttribute('aria-selected', 'false');
            // Not every result has a row yet: each says where it stands of all.
            const size = String(this.found.results.length);
            if (row.getAttribute('aria-setsize') !== size) row.setAttribute('aria-setsize', size);
            if (i >= this.shown) fresh.appendChild(row);
        }
        for (let i = n; i < this.shown; i += 1) this.rows[i].remove();
        this.list.appendChild(fresh);
        this.shown = n;
    }

    newRow(i) {
        const row = make('li', 'nv-search-result');
        row.id = newId('result');
        row.dataset.n = String(i);
        row.setAttribute('role', 'option');
        row.setAttribute('aria-posinset', String(i + 1));
        row.append(make('div', 'nv-search-title'), make('div', 'nv-search-snippet'));
        return row;
    }

    // Once the results have stood a moment (while the reader types on, they change before),
    // the rows in view get their text and another screenful its rows; the rest follow as the
    // reader scrolls to the last row.
    whenStood(ticket) {
        setTimeout(async () => {
            if (ticket !== this.ticket || !this.found) return;
            if (this.shown) this.rowHeight = this.rows[0].getBoundingClientRect().height || ROW_GUESS;
            await this.extend(this.shown + this.rowsInView(), ticket);
            if (ticket !== this.ticket) return;
            for (let i = 0; i < this.shown; i += 1) this.whenSeen(i, ticket);
        }, SNIPPET_DELAY);
    }

    // Rows for the first n results.
    // One at a time, so that rows are never made twice.
    extend(n, ticket) {
        this.extending = (this.extending || Promise.resolve()).then(async () => {
            if (ticket !== this.ticket || !this.found) return;
            const more = this.found.results.slice(this.pages.length, n);
            if (!more.length) return;
            const pages = await this.pagesOf(more);
            if (ticket !== this.ticket) return;
            const from = this.shown;
            this.pages.push(...pages);
            this.setShown(this.pages.length, from);
            if (this.seen) for (let i = from; i < this.shown; i += 1) this.whenSeen(i, ticket);
        }).catch(() => {
            // Rows that cannot be made leave those there are; the next ones may still come.
        });
        return this.extending;
    }

    // Row i gets the text around the words as it scrolls into view.
    whenSeen(i, ticket) {
        if (typeof IntersectionObserver !== 'function') return;
        if (!this.seen) {
            this.seen = new IntersectionObserver((changes) => {
                for (const change of changes) {
                    if (!change.isIntersecting) continue;
                    this.seen.unobserve(change.target);
                    const n = Number(change.target.dataset.n);
                    this.fillSnippet(n, ticket);
                    if (n === this.shown - 1) this.extend(this.shown + this.rowsInView(), ticket);
                }
            }, { root: this.list });
        }
        this.seen.observe(this.rows[i]);
    }

    stopWatching() {
        if (this.seen) this.seen.disconnect();
        this.seen = null;
    }

    async fillSnippet(i, ticket) {
        const { results, words, prefix, ranked } = this.found;
        if (this.rows[i].filled && this.rows[i].filled === ranked) return;
        try {
            const snippet = await this.index.snippet(results[i].page, results[i], words, prefix);
            if (ticket !== this.ticket) return;
            this.rows[i].filled = ranked;
            const box = this.rows[i].lastChild;
            let at = 0;
            for (const [from, to] of snippet.marks) {
                box.append(snippet.text.slice(at, from), make('mark', '', snippet.text.slice(from, to)));
                at = to;
            }
            box.append(snippet.text.slice(at));
        } catch (e) {
            // A part that cannot be read leaves its row with what it has.
        }
    }

    setActive(n, scroll = true) {
        if (this.active >= 0 && this.active < this.shown) {
            this.rows[this.active].setAttribute('aria-selected', 'false');
        }
        this.active = n;
        if (n < 0 || n >= this.shown) return;
        const row = this.rows[n];
        row.setAttribute('aria-selected', 'true');
        this.input.setAttribute('aria-activedescendant', row.id);
        if (scroll) row.scrollIntoView({ block: 'nearest' });
    }

    // Moves to result n, making its row first where the results have not stood yet.
    async moveTo(n) {
        const ticket = this.ticket;
        if (n >= this.shown) await this.extend(n + 1, ticket);
        if (ticket === this.ticket) this.setActive(Math.min(n, this.shown - 1));
    }

    key(e) {
        const moves = { ArrowDown: 1, ArrowUp: -1, PageDown: 10, PageUp: -10 };
        const count = this.found ? this.found.results.length : 0;
        if (e.key in moves && count) {
            e.preventDefault();
            this.moveTo(Math.max(0, Math.min(count - 1, this.active + moves[e.key])));
        } else if (e.key === 'Enter') {
            e.preventDefault();
            this.open(this.active);
        } else if (e.key === 'Escape' && this.input.value) {
            // The combobox pattern: Escape empties the box and closes its list.
            e.preventDefault();
            this.input.value = '';
            this.typed();
        }
    }

    async open(n) {
        if (!this.found || !(n >= 0 && n < this.found.results.length)) return;
        this.setActive(n);
        const page = this.pages[n] || await this.index.page(this.found.results[n].page);
        if (page) this.host.openPage(page);
    }
}

Object.assign(nv, {SearchView, openSearch});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('search', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
