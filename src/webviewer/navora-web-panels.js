// The smaller pieces of a viewer: its look, the tab bar, the Select and About tabs, and the
// floating window of the icon mode.
(function (nv) {
'use strict';
const { make, newId, VirtualList, cssColour, isDark, cssFont, wizardColours, OtherCharacters } = nv;

// The colours, font and button shape the PARAMs give. Where the colours are the wizard's
// (or none), the style sheet's take their place, and they follow the reader's dark mode.
function applyLook(el, params) {
    const p = params;
    if (wizardColours(p)) {
        el.classList.add('nv-reader-colours');
    } else {
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
    }
    const font = cssFont(p.get('font'));
    if (font.family) el.style.fontFamily = font.family;
    // Through a property, so that a phone's layout can keep text at 16 px or more.
    if (font.size) el.style.setProperty('--nv-font-size', font.size);
    if (font.weight) el.style.fontWeight = font.weight;
    if (font.style) el.style.fontStyle = font.style;
    if ((p.get('buttonshape') || '').trim().toLowerCase() === 'square') el.classList.add('nv-square');
}

// Lays the characters beyond ASCII of `text` out once, unseen, in the viewer's font, a few
// at a time between the page's other tasks, then calls done(); stops without a word once
// they are no longer wanted(). The first time a page shows a script its font lacks
// (Japanese, Korean, Thai...), the browser asks the system for a font that has it and waits
// for the answer, within the layout of the keystroke in Look for that first lists such a
// phrase: a wait longer than the keystroke's own work.
function warmFonts(root, text, wanted, done) {
    const characters = new OtherCharacters(text);
    let laidOut = 0;
    const step = () => {
        if (!wanted()) return;
        const scanned = characters.scan(4);
        const next = characters.found.slice(laidOut, laidOut + 128);
        laidOut += next.length;
        if (next.length && root.isConnected) {
            // Each in a block of its own: where characters share a line, the browser asks
            // for a font only for the first that its fonts lack, and takes the font found
            // for the others it holds; the next text that begins with one of those asked
            // again, within a keystroke's layout.
            const probe = make('div', 'nv-probe');
            for (const ch of next) probe.appendChild(make('div', '', ch));
            probe.setAttribute('aria-hidden', 'true');
            root.appendChild(probe);
            void probe.offsetWidth;
            probe.remove();
        }
        if (scanned && laidOut === characters.found.length) done();
        else setTimeout(step, 0);
    };
    setTimeout(step, 0);
}

const TAB_ICONS = { contents: 0, index: 1, select: 2, about: 3 };

// The tabs: { name, label, card } each; onSelect(name) hears of the reader's choice.
class TabBar {
    constructor(onSelect) {
        this.el = make('div', 'nv-tabs');
        this.el.setAttribute('role', 'tablist');
        this.cards = make('div', 'nv-cards');
        this.onSelect = onSelect;
        this.tabs = [];
        this.active = null;
    }

    show(tabs, strip) {
        this.el.textContent = '';
        // Cards shown again stay in place, so a tab added later (Search, whose index may
        // come after the tree) takes neither the focus nor a list's scrolling from them.
        const kept = new Set(tabs.map((t) => t.card));
        for (const card of Array.from(this.cards.children)) {
            if (!kept.has(card)) card.remove();
        }
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
            tab.appendChild(make('span', '', t.label));
            tab.setAttribute('aria-controls', newId('card'));
            t.card.id = tab.getAttribute('aria-controls');
            t.card.setAttribute('role', 'tabpanel');
            t.card.setAttribute('aria-labelledby', tab.id);
            tab.addEventListener('click', () => this.choose(t));
            tab.addEventListener('keydown', (e) => this.key(e, tabs.indexOf(t)));
            t.tab = tab;
            this.el.appendChild(tab);
            if (t.card.parentNode !== this.cards) this.cards.appendChild(t.card);
        }
        this.tabs = tabs;
    }

    find(name) {
        return this.tabs.find((t) => t.name === name) || null;
    }

    choose(t) {
        this.select(t);
        this.onSelect(t.name);
    }

    select(t) {
        for (const other of this.tabs) {
            const on = other === t;
            other.tab.setAttribute('aria-selected', on ? 'true' : 'false');
            other.tab.tabIndex = on ? 0 : -1;
            other.card.hidden = !on;
        }
        this.active = t;
    }

    key(e, i) {
        const n = this.tabs.length;
        const moves = { ArrowRight: i + 1, ArrowLeft: i - 1, Home: 0, End: n - 1 };
        if (!(e.key in moves)) return;
        e.preventDefault();
        const t = this.tabs[(moves[e.key] + n) % n];
        this.choose(t);
        t.tab.focus();
    }
}

// One row per index of the page; choosing one calls choose(n).
class SelectView {
    constructor(choose) {
        this.card = make('div', 'nv-card nv-select');
        this.label = make('div', 'nv-prompt');
        this.label.id = newId('sel');
        this.list = new VirtualList('listbox', 'Select', (row, item) => {
            row.setAttribute('role', 'option');
            row.textContent = item.label;
        }, (item) => choose(item.n));
        this.list.el.setAttribute('aria-labelledby', this.label.id);
        this.list.textOf = (item) => item.label;
        this.list.onClick = (item) => choose(item.n);
        this.card.append(this.label, this.list.el);
    }

    show(indexes, current) {
        this.list.setItems(indexes.map((p, n) => {
            const language = p.languageFile ? p.languageFile.replace(/\.xol$/i, '') : '';
            const code = p.languageCode ? ` [${p.languageCode}]` : '';
            return { n, label: `${p.indexFile}${language ? ` (${language})` : ''}${code}` };
        }));
        this.list.select(Math.max(current, 0), false);
    }
}

class AboutView {
    constructor() {
        this.card = make('div', 'nv-card nv-about');
        // The facts scroll in a small viewer: the keyboard must reach them too.
        this.card.tabIndex = 0;
        this.title = make('h2', 'nv-about-title');
        this.body = make('dl', 'nv-about-body');
        this.card.append(this.title, this.body);
    }

    // `facts` is a list of [term, value]; those without a value are left out.
    fill(title, facts) {
        this.title.textContent = title.replace(/\.\.\.$/, '');
        this.body.textContent = '';
        for (const [term, value] of facts) {
            if (value) this.body.append(make('dt', '', term), make('dd', '', value));
        }
    }
}

// The icon on the page and the window it opens, which holds the viewer's `root`.
class IconWindow {
    constructor(params, applet, root, width, height, imageUrl) {
        const button = make('button', 'nv-icon');
        button.type = 'button';
        button.setAttribute('aria-haspopup', 'dialog');
        button.setAttribute('aria-label', 'Navora');
        const bg = cssColour(params.get('iconbgcolor'));
        if (bg) button.style.backgroundColor = bg;
        const icon = imageUrl(params.get('icon'));
        if (icon) {
            const img = make('img');
            img.alt = 'Navora';
            img.src = icon;
            button.appendChild(img);
        } else {
            button.appendChild(make('span', 'nv-icon-glyph', '\u2630'));
        }
        applet.parentNode.insertBefore(button, applet);
        this.button = button;

        const win = make('div', 'nv-window');
        win.setAttribute('role', 'dialog');
        win.setAttribute('aria-label', 'Navora');
        win.hidden = true;
        const size = (params.get('miniconwindowsize') || '').split(',').map((v) => parseInt(v, 10) || 0);
        win.style.width = `${Math.max(width, size[0] || 0, 200)}px`;
        win.style.height = `${Math.max(height, size[1] || 0, 150)}px`;
        const bar = make('div', 'nv-window-bar');
        this.exitButton = make('button', 'nv-exit');
        this.exitButton.type = 'button';
        this.exitButton.addEventListener('click', () => this.close());
        bar.appendChild(this.exitButton);
        win.append(bar, root);
        win.addEventListener('keydown', (e) => {
            if (e.key === 'Escape') this.close();
        });
        document.body.appendChild(win);
        this.window = win;
        this.onOpen = null;
        button.addEventListener('click', () => (win.hidden ? this.open() : this.close()));
    }

    // Exit, and the icon's tip.
    setTexts(exit, tip) {
        this.exitButton.textContent = exit;
        this.button.title = tip;
    }

    open() {
        this.window.hidden = false;
        this.button.setAttribute('aria-expanded', 'true');
        if (this.onOpen) this.onOpen();
    }

    close() {
        this.window.hidden = true;
        this.button.setAttribute('aria-expanded', 'false');
        this.button.focus();
    }
}

Object.assign(nv, {applyLook, warmFonts, TabBar, SelectView, AboutView, IconWindow});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('panels', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
