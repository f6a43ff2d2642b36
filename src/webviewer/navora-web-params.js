// What the page's APPLET element says: its "index%d" PARAMs, mode, colours and font, and
// which of the URLs it leads to may be followed.
(function (nv) {
'use strict';

const JAVA_COLOURS = {
    black: '#000000', blue: '#0000ff', cyan: '#00ffff', darkgray: '#404040', gray: '#808080',
    green: '#00ff00', lightgray: '#c0c0c0', magenta: '#ff00ff', orange: '#ffc800',
    pink: '#ffafaf', red: '#ff0000', white: '#ffffff', yellow: '#ffff00',
};

// A colour name of the wizard or #RRGGBB; anything else keeps the style sheet's colour.
function cssColour(value) {
    const text = String(value || '').trim();
    if (/^#[0-9a-f]{6}$/i.test(text)) return text;
    return JAVA_COLOURS[text.toLowerCase()] || null;
}

function isDark(hex) {
    const n = parseInt(hex.slice(1), 16);
    return ((n >> 16) & 255) * 0.299 + ((n >> 8) & 255) * 0.587 + (n & 255) * 0.114 < 140;
}

// "Dialog 12pt", "Serif bold 14", "Courier italic 10pt" and the like.
function cssFont(value) {
    const words = String(value || '').trim().split(/\s+/).filter(Boolean);
    const font = { family: null, size: null, weight: null, style: null };
    const families = {
        dialog: 'sans-serif', sansserif: 'sans-serif', helvetica: 'sans-serif', arial: 'sans-serif',
        serif: 'serif', timesroman: 'serif', times: 'serif', monospaced: 'monospace',
        courier: 'monospace', dialoginput: 'monospace',
    };
    const names = [];
    for (const word of words) {
        const lower = word.toLowerCase();
        const size = /^(\d{1,3})(pt|px)?$/.exec(lower);
        if (size) {
            const n = Math.min(72, Math.max(6, parseInt(size[1], 10)));
            font.size = size[2] === 'px' ? n + 'px' : n + 'pt';
        } else if (lower === 'bold') {
            font.weight = 'bold';
        } else if (lower === 'italic') {
            font.style = 'italic';
        } else if (lower !== 'plain' && /^[a-z0-9-]+$/i.test(word)) {
            names.push(word);
        }
    }
    if (names.length) {
        const joined = names.join(' ');
        const generic = families[joined.toLowerCase().replace(/[\s-]/g, '')];
        font.family = generic || `"${joined}", sans-serif`;
    }
    return font;
}

// Only relative, http(s) and mailto URLs are followed; anything with another scheme is not.
function safeUrl(raw, base) {
    const text = String(raw || '');
    if (text.trim() === '') return null;
    const cleaned = text.replace(/[\u0000-\u0020\u007f]/g, '');
    let url;
    try {
        url = new URL(text.trim(), base);
    } catch (e) {
        return null;
    }
    if (/^[a-z][a-z0-9+.-]*:/i.test(cleaned)) {
        return ['http:', 'https:', 'mailto:'].includes(url.protocol) ? url.href : null;
    }
    if (cleaned.startsWith('//') || cleaned.startsWith('\\\\')) {
        return ['http:', 'https:'].includes(url.protocol) ? url.href : null;
    }
    return ['http:', 'https:', 'file:'].includes(url.protocol) ? url.href : null;
}

// What one "index%d" PARAM holds, as the generator writes it:
// file[;enc],[language[;enc]],options,select URL,initial query,language and country.
function parseIndexParam(value) {
    const parts = String(value).split(',');
    const fileAndEncoding = (text) => {
        const at = (text || '').indexOf(';');
        return at < 0 ? { file: (text || '').trim(), encoding: '' }
            : { file: text.slice(0, at).trim(), encoding: text.slice(at + 1).trim() };
    };
    const index = fileAndEncoding(parts[0]);
    const language = fileAndEncoding(parts[1]);
    const words = (parts[2] || '').toLowerCase().split(/\s+/).filter(Boolean);
    const tail = parts.slice(4);
    const code = tail.length > 1 ? tail.pop() : '';
    return {
        value: String(value),
        indexFile: index.file,
        indexEncoding: index.encoding,
        languageFile: language.file,
        languageEncoding: language.encoding,
        noContents: words.includes('nocontents'),
        noIndex: words.includes('noindex'),
        indexFirst: words.includes('index'),
        // The Search tab first, where the index has a search index.
        searchFirst: words.includes('search'),
        sort: words.includes('sort'),
        expanded: words.includes('expanded'),
        // Look for also lists the phrases that hold the text further on, unless told not to.
        elsewhere: !words.includes('prefixonly'),
        selectUrl: (parts[3] || '').trim(),
        initialQuery: tail.join(','),
        languageCode: code.trim(),
    };
}

// The colours the search page wizard puts in unless the author changes them.
const WIZARD_COLOURS = {
    bgcolour: 'white', fgcolour: 'black', fieldbgcolor: 'white', iconbgcolor: 'white',
    cardbgcolor: '#FFFFCC', selectcolor: 'green', tipbgcolor: '#EFFFFF',
};

// True when every colour PARAM is absent, empty or the wizard's default, so that the reader's
// own choice of a dark or light look may decide; colours the author chose always win.
function wizardColours(params) {
    return Object.keys(WIZARD_COLOURS).every((name) => {
        const value = String(params.get(name) || '').trim();
        const colour = cssColour(value);
        const wizard = cssColour(WIZARD_COLOURS[name]).toLowerCase();
        return value === '' || (colour !== null && colour.toLowerCase() === wizard);
    });
}

// The words of the "mode" PARAM: "applet wide" unless the page says otherwise.
function parseMode(value) {
    const words = String(value || 'applet wide').toLowerCase().split(/\s+/);
    return {
        iconMode: words.includes('icon'), high: words.includes('high'),
        popUp: words.includes('popup'), closeAfter: words.includes('close'),
    };
}

Object.assign(nv, {
    cssColour, isDark, cssFont, safeUrl, parseIndexParam, parseMode, wizardColours
});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('params', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
