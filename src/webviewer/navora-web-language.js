// The applet's language files: a format line, a description, then its texts in order.
(function (nv) {
'use strict';

const LANGUAGE_DEFAULTS = [
    'Look for: ', 'Keywords: ', 'Pages: ', 'Contents', 'Index', 'Select', 'About', 'Exit',
    'Display page', 'Select index (language)', 'About Navora...', 'Navora information...',
    'Reading help index', 'Index read', 'Click to see help index', 'Reading index file...',
    'Sorry, cannot do lookup as index not read', 'Displaying page', 'Could not display page',
];
const LANGUAGE_NAMES = [
    'lookFor', 'keywords', 'pages', 'contentsTab', 'indexTab', 'selectTab', 'aboutTab', 'exit',
    'displayPage', 'selectIndex', 'aboutNavora', 'information', 'readingHelpIndex', 'indexRead',
    'clickToSeeHelpIndex', 'readingIndexFile', 'cannotLookUp', 'displayingPage',
    'couldNotDisplayPage',
];

// The viewer's own texts, which the applet never had: positions 20 on of a language file,
// after the applet's 19. A file without them (every file the applet reads) gets these.
const VIEWER_TEXTS = [
    'No keyword begins with "%1"', 'No keyword begins with or contains "%1"',
    'The index file could not be read', 'The index has no entries',
    '1 line of the index file could not be read and was skipped',
    '%1 lines of the index file could not be read and were skipped',
    'Index file', 'Description', 'Date', 'Tip', 'Entries', 'Keywords', 'Language', 'Viewer',
    'Navora for browsers without Java', 'Link',
    'The address of this page names the open tab and the entry or keyword shown: '
        + 'copy it to link to them.',
    'Search', 'Search the words of the pages', 'No pages found', '%1 pages found',
    '%1 page found',
];

// texts[n - 1] is text number n of the applet's 19, viewerTexts[n - 20] the viewer's text n;
// a text the file lacks keeps its default. badLines holds a format line other than "2;1".
function readLanguage(text) {
    const lines = String(text).split('\n')
        .map((line) => (line.endsWith('\r') ? line.slice(0, -1) : line))
        .filter((line) => line !== '');
    const result = {
        format: lines.length ? lines[0] : '',
        description: lines.length > 1 ? lines[1] : '',
        texts: LANGUAGE_DEFAULTS.slice(),
        viewerTexts: VIEWER_TEXTS.slice(),
        byName: {},
        missing: Math.max(0, LANGUAGE_DEFAULTS.length - Math.max(0, lines.length - 2)),
        badLines: [],
    };
    if (result.format !== '2;1') result.badLines.push(result.format);
    for (let i = 0; i < LANGUAGE_DEFAULTS.length && i + 2 < lines.length; ++i) {
        result.texts[i] = lines[i + 2];
    }
    for (let i = 0; i < VIEWER_TEXTS.length && i + 21 < lines.length; ++i) {
        result.viewerTexts[i] = lines[i + 21];
    }
    LANGUAGE_NAMES.forEach((name, i) => { result.byName[name] = result.texts[i]; });
    return result;
}

Object.assign(nv, {LANGUAGE_DEFAULTS, VIEWER_TEXTS, readLanguage});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('language', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
