// The page's address as the viewers' memory: its fragment names, for each viewer, the open
// tab and the entry chosen there, or the text in Look for and the phrase chosen, so that an
// address can be passed on and Back comes back to what was shown.
//
//   #nv1.tab=contents&nv1.entry=docs%2Fguide.htm
//   #nv1.tab=index&nv1.look=git%20re&nv1.phrase=git-rebase(1)&nv2.index=2
//   #nv1.tab=search&nv1.query=walrus%20operator
//
// "nvN." starts the keys of the N-th viewer of the page; `index` is the index chosen on the
// Select tab (from 1); `query` the words in the Search tab's box. Entries are named by their URL as the index file has it, since ids
// change at every save. Values are encoded as URI components; parts of the fragment that
// are not a viewer's are kept as they are.
(function (nv) {
'use strict';

const KEYS = ['tab', 'index', 'entry', 'look', 'phrase', 'query'];
const PART = /^nv([1-9][0-9]{0,2})\.([a-z]+)=(.*)$/;

// { others: [part, ...], viewers: Map(number -> { key: value }) }
function parseFragment(hash) {
    const text = String(hash || '').replace(/^#/, '');
    const result = { others: [], viewers: new Map() };
    if (text === '') return result;
    for (const part of text.split('&')) {
        const match = PART.exec(part);
        let value = null;
        if (match && KEYS.includes(match[2])) {
            try {
                value = decodeURIComponent(match[3]);
            } catch (e) {
                value = null;
            }
        }
        if (value === null) {
            if (part !== '') result.others.push(part);
            continue;
        }
        const n = Number(match[1]);
        if (!result.viewers.has(n)) result.viewers.set(n, {});
        result.viewers.get(n)[match[2]] = value;
    }
    return result;
}

function formatFragment(parsed) {
    const parts = parsed.others.slice();
    for (const n of Array.from(parsed.viewers.keys()).sort((a, b) => a - b)) {
        const state = parsed.viewers.get(n);
        for (const key of KEYS) {
            if (state[key] !== undefined && state[key] !== '') {
                parts.push(`nv${n}.${key}=${encodeURIComponent(state[key])}`);
            }
        }
    }
    return parts.length ? `#${parts.join('&')}` : '';
}

// The fragment `hash` with viewer n's part replaced by `state`.
function withViewerState(hash, n, state) {
    const parsed = parseFragment(hash);
    parsed.viewers.set(n, state);
    return formatFragment(parsed);
}

function viewerState(hash, n) {
    return parseFragment(hash).viewers.get(n) || {};
}

// Keeps viewer n's state in the address without adding to the history: a reader's Back
// leaves the page rather than stepping through every row chosen. Writes wait a moment, so
// typing in Look for does not write at every key; flush() writes at once.
class AddressMemory {
    constructor(n) {
        this.n = n;
        this.timer = 0;
        this.pending = null;
        this.written = null;
    }

    read() {
        return viewerState(location.hash, this.n);
    }

    // Other state, as the open branches, goes in the history entry, not in the address.
    extra() {
        const state = history.state;
        const mine = state && typeof state === 'object' && state.navoraWeb;
        return (mine && mine[this.n]) || null;
    }

    // `extra` may be a function that gives it, called only when the write happens: a
    // reader typing in Look for or Search writes at every key. The write waits until the
    // keys pause, so that it never delays the next one's results.
    write(state, extra) {
        this.pending = { state, extra };
        clearTimeout(this.timer);
        this.timer = setTimeout(() => this.flush(), 300);
    }

    flush() {
        clearTimeout(this.timer);
        this.timer = 0;
        if (!this.pending) return;
        const { state } = this.pending;
        const extra = typeof this.pending.extra === 'function' ? this.pending.extra() : this.pending.extra;
        this.pending = null;
        const hash = withViewerState(location.hash, this.n, state);
        const old = history.state && typeof history.state === 'object' ? history.state : {};
        const kept = Object.assign({}, old, { navoraWeb: Object.assign({}, old.navoraWeb, { [this.n]: extra }) });
        try {
            history.replaceState(kept, '', hash || location.pathname + location.search);
            this.written = location.hash;
        } catch (e) {
            // A browser that refuses (too many writes, a sandbox) keeps the old address.
        }
    }

    // True when the address changed since this memory last wrote it (a link, a typed address).
    changedElsewhere() {
        return location.hash !== this.written;
    }
}

Object.assign(nv, {parseFragment, formatFragment, withViewerState, viewerState, AddressMemory});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('address', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
