// The Search tab: the words of every page, from the search index the scan writes beside the
// index file (SITE.xo.search/). Results come as the reader types: each the page's title and
// the text around the words, the words marked. Page text is only ever set as text.
(function (nv) {
'use strict';
const { make, newId, SearchIndex, searchPartBase64, searchPartBytes, searchFolder } = nv;

const SHOWN = 50; // results drawn at once
const SNIPPETS = 5; // of which the first this many get their text at once, the rest when seen
const SNIPPET_DELAY = 350; // ms the results must stand before their text is fetched

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

// Over http the part is read as text and never run; from disk it runs as a script.
async function readPart(url) {
    if (/^https?:$/.test(new URL(url).protocol) && typeof fetch === 'function') {
        const response = await fetch(url);
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
    const index = new SearchIndex((name) => readPart(`${folder}${name}.js`));
    try {
        return (await index.open()) ? index : null;
    } catch (e) {
        return null;
    }
}

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
        this.rows = [];
        this.active = -1;
        this.input.addEventListener('input', () => {
            this.run();
            this.host.changed();
        });
        this.input.addEventListener('keydown', (e) => this.key(e));
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
    }

    clearResults() {
        if (this.seen) this.seen.disconnect();
        this.seen = null;
        this.list.textContent = '';
        this.rows = [];
        this.active = -1;
        this.count.textContent = '';
        this.input.setAttribute('aria-expanded', 'false');
        this.input.removeAttribute('aria-activedescendant');
    }

    // Each keystroke starts a search; an older one that ends later is dropped.
    async run() {
        const ticket = ++this.ticket;
        const query = this.input.value;
        if (!this.index || !query.trim()) {
            this.clearResults();
            return;
        }
        let found;
        try {
            found = await this.index.search(query, SHOWN);
        } catch (e) {
            found = { results: [], total: 0, words: [] };
        }
        if (ticket !== this.ticket) return;
        this.show(found, ticket);
    }

    show(found, ticket) {
        this.clearResults();
        const { results, total, words, prefix } = found;
        this.count.textContent = total
            ? this.texts(40).replace('%1', String(total)) : this.texts(39);
        for (const result of results.slice(0, SHOWN)) {
            const row = make('li', 'nv-search-result');
            row.id = newId('result');
            row.setAttribute('role', 'option');
            row.setAttribute('aria-selected', 'false');
            // Only the first rows are drawn: a screen reader says where a row stands of all.
            row.setAttribute('aria-setsize', String(results.length));
            row.setAttribute('aria-posinset', String(this.rows.length + 1));
            const title = make('div', 'nv-search-title');
            const snippet = make('div', 'nv-search-snippet');
            row.append(title, snippet);
            row.addEventListener('click', () => this.open(this.rows.indexOf(entry)));
            const entry = { row, result, page: null };
            this.rows.push(entry);
            this.list.appendChild(row);
            this.fill(entry, words, prefix, this.rows.length <= SNIPPETS, ticket);
        }
        this.input.setAttribute('aria-expanded', this.rows.length ? 'true' : 'false');
        if (this.rows.length) this.setActive(0);
        this.card.dispatchEvent(new CustomEvent('navora-web-searched', { bubbles: true,
            detail: { count: total } }));
    }

    // The first rows get their title and then their text at once; the others only once the
    // results have stood a moment (while the reader types on, they change before), their
    // text as they scroll into view.
    async fill(entry, words, prefix, first, ticket) {
        const stood = () => new Promise((resolve) => setTimeout(resolve, SNIPPET_DELAY))
            .then(() => ticket === this.ticket);
        try {
            if (!first && !(await stood())) return;
            entry.page = await this.index.page(entry.result.page);
            if (ticket !== this.ticket || !entry.page) return;
            entry.row.firstChild.textContent = this.host.titleOf(entry.page);
            if (!first) {
                this.whenSeen(entry, () => this.fillSnippet(entry, words, prefix, ticket));
                return;
            }
            if (await stood()) await this.fillSnippet(entry, words, prefix, ticket);
        } catch (e) {
            // A part that cannot be read leaves its row with what it has.
        }
    }

    // Rows further down get their snippets as they scroll into view.
    whenSeen(entry, fn) {
        if (typeof IntersectionObserver !== 'function') return;
        if (!this.seen) {
            this.waitingRows = new Map();
            this.seen = new IntersectionObserver((changes) => {
                for (const change of changes) {
                    const run = change.isIntersecting && this.waitingRows.get(change.target);
                    if (!run) continue;
                    this.waitingRows.delete(change.target);
                    this.seen.unobserve(change.target);
                    run();
                }
            }, { root: this.list });
        }
        this.waitingRows.set(entry.row, fn);
        this.seen.observe(entry.row);
    }

    async fillSnippet(entry, words, prefix, ticket) {
        try {
            const snippet = await this.index.snippet(entry.result.page, entry.result, words, prefix);
            if (ticket !== this.ticket) return;
            const box = entry.row.lastChild;
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

    setActive(n) {
        if (this.active >= 0 && this.rows[this.active]) {
            this.rows[this.active].row.setAttribute('aria-selected', 'false');
        }
        this.active = n;
        const entry = this.rows[n];
        if (!entry) return;
        entry.row.setAttribute('aria-selected', 'true');
        this.input.setAttribute('aria-activedescendant', entry.row.id);
        entry.row.scrollIntoView({ block: 'nearest' });
    }

    key(e) {
        const moves = { ArrowDown: 1, ArrowUp: -1, PageDown: 10, PageUp: -10 };
        if (e.key in moves && this.rows.length) {
            e.preventDefault();
            this.setActive(Math.max(0, Math.min(this.rows.length - 1, this.active + moves[e.key])));
        } else if (e.key === 'Enter') {
            e.preventDefault();
            this.open(this.active);
        } else if (e.key === 'Escape' && this.input.value) {
            // The combobox pattern: Escape empties the box and closes its list.
            e.preventDefault();
            this.input.value = '';
            this.run();
            this.host.changed();
        }
    }

    async open(n) {
        const entry = this.rows[n];
        if (!entry) return;
        this.setActive(n);
        const page = entry.page || await this.index.page(entry.result.page);
        if (page) this.host.openPage(page);
    }
}

Object.assign(nv, {SearchView, openSearch});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('search', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
