// The smaller pieces of a viewer: the Select and About tabs, and the floating window of the
// icon mode.
(function (nv) {
'use strict';
const { make, newId, VirtualList, cssColour } = nv;

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

nv.SelectView = SelectView;
nv.AboutView = AboutView;
nv.IconWindow = IconWindow;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('panels', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
