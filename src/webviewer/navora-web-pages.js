// Opening the pages an index leads to, as a link of the page would, and following what the
// frames of the page show.
(function (nv) {
'use strict';

const SAME_CONTEXT = ['', '_self', '_parent', '_top'];

// The frame named `name` anywhere in this page's tree of frames, or null. Where a frame's
// name cannot be read (another origin), its parent is asked for it by name, which browsers
// answer with child frames only; a name such as "top" never passes for a frame.
function findFrame(name) {
    let root = window;
    try {
        root = window.top || window;
    } catch (e) {
        root = window;
    }
    const stack = [root];
    for (let seen = 0; stack.length && seen < 1000; ++seen) {
        const w = stack.pop();
        let count = 0;
        try {
            count = w.length;
        } catch (e) {
            count = 0;
        }
        for (let i = 0; i < count; ++i) {
            let child = null;
            try {
                child = w[i];
            } catch (e) {
                continue;
            }
            if (!child) continue;
            let named = false;
            try {
                named = child.name === name;
            } catch (e) {
                try {
                    named = w[name] === child;
                } catch (e2) {
                    named = false;
                }
            }
            if (named) return child;
            stack.push(child);
        }
    }
    return null;
}

// Whether opening in `target` makes a new browsing context (a window or tab), which must
// then not be given this page as its opener: a page opened so could replace this one.
function opensNewContext(target, frameOf) {
    const name = String(target || '').trim();
    if (SAME_CONTEXT.includes(name.toLowerCase())) return false;
    if (name.toLowerCase() === '_blank') return true;
    return !frameOf(name);
}

// Where the page of entry e opens: its own target, its base URL's, or the page's `fallback`.
function entryTarget(entries, e, fallback) {
    if (entries.ownTarget(e)) return entries.target(e);
    const base = entries.base(e);
    if (base && base.target) return base.target;
    return fallback;
}

// Where the page of keyword k opens: its own target, else its entry's.
function keywordTarget(keywords, k, fallback) {
    if (keywords.ownTarget(k)) return keywords.target(k);
    const owner = keywords.owner(k);
    return owner >= 0 ? entryTarget(keywords.entries, owner, fallback) : fallback;
}

// The address a frame shows, or null where it cannot be read (another origin).
function frameAddress(frame) {
    try {
        const href = frame.location.href;
        return href && href !== 'about:blank' ? href : null;
    } catch (e) {
        return null;
    }
}

// Opens pages, and tells onShown(href) what the frames it opened pages in show, whenever
// that changes, also when the reader follows links inside them. Where a frame cannot be
// read, onShown hears of the pages opened through the viewer alone.
class PageOpener {
    constructor(onShown) {
        this.onShown = onShown;
        this.watched = new Map();
        this.timer = 0;
    }

    // False when the browser refused to follow the link.
    open(href, target) {
        const name = (target || '').trim() || '_self';
        const frame = SAME_CONTEXT.includes(name.toLowerCase()) ? null : findFrame(name);
        const before = frame ? frameAddress(frame) : null;
        const link = document.createElement('a');
        link.href = href;
        link.target = name;
        if (opensNewContext(name, findFrame)) link.rel = 'noopener';
        link.style.display = 'none';
        document.body.appendChild(link);
        let ok = true;
        try {
            link.click();
        } catch (e) {
            ok = false;
        }
        link.remove();
        if (ok && frame) this.watch(name, href, before);
        return ok;
    }

    // Follows the frame named `name`. `href` was just opened in it while it showed `before`,
    // which it may go on showing for a moment.
    watch(name, href, before) {
        this.watched.set(name, { last: href || null, before: before || null });
        if (href) this.onShown(href);
        if (!this.timer) this.timer = setInterval(() => this.look(), 500);
    }

    // Follows the frame named `name` from what it shows now, when there is such a frame.
    watchFrame(name) {
        const frame = findFrame(name);
        if (!frame) return;
        this.watch(name, null, null);
        this.look();
    }

    look() {
        if (document.hidden) return;
        for (const [name, seen] of this.watched) {
            const frame = findFrame(name);
            const href = frame ? frameAddress(frame) : null;
            if (!href || href === seen.last) continue;
            if (href === seen.before) continue;
            seen.before = null;
            seen.last = href;
            this.onShown(href);
        }
    }
}

Object.assign(nv, {entryTarget, keywordTarget, findFrame, opensNewContext, PageOpener});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('pages', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
