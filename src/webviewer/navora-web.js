// Shows Navora index files in browsers that cannot run the applet. The page keeps its
// APPLET element and PARAMs; the viewer reads them and puts itself in the element's place.
//
// The page names this file alone. It loads the viewer's parts from the folder it came from,
// in the order below, each a plain script (modules do not load from file:// pages in every
// browser). Every part calls NavoraWeb.part(name, version) as it runs; a part that is missing
// or of another version stops the viewer with a message in the page, since parts of two
// versions would misread each other. In Node this file gives the parts without a DOM: the
// index reader, language files, the keyword model, the address format.
(function () {
'use strict';

const VERSION = '@TAMBLIN_VERSION@';
// The parts in the order they need each other; the first NO_DOM of them have no DOM.
const PARTS = ['fields', 'model', 'reader', 'language', 'params', 'tree', 'address', 'pages',
    'search-fold', 'search-words', 'search-parts', 'search-rank', 'search-index', 'dom',
    'companion', 'list', 'contents', 'panels', 'search', 'viewer', 'start'];
const NO_DOM = 13;

if (typeof document === 'undefined') {
    if (typeof module === 'object' && module.exports) {
        for (const part of PARTS.slice(0, NO_DOM)) require(`./navora-web-${part}.js`);
        module.exports = global.NavoraWebParts;
    }
    return;
}
// A page with two script lines gets one viewer for each applet all the same.
if (window.NavoraWeb && window.NavoraWeb.version) return;

const script = document.currentScript;
const folder = script && script.src ? script.src : document.baseURI;
const shared = {};
const versions = {};

function isNavora(applet) {
    const code = (applet.getAttribute('code') || '').trim().replace(/\.class$/i, '');
    return /(^|\.)Navora$/i.test(code);
}

window.NavoraWeb = {
    version: VERSION,
    isNavora,
    part(name, version) {
        versions[name] = String(version);
        // A part of another version writes into a throwaway object, never among the others.
        return version === VERSION ? shared : {};
    },
};

function addStyleSheet() {
    if (document.querySelector('link[data-navora-web]')) return;
    const link = document.createElement('link');
    link.rel = 'stylesheet';
    link.href = new URL('navora-web.css', folder).href;
    link.dataset.navoraWeb = '';
    link.addEventListener('load', () => {
        if (window.NavoraWeb.redraw) window.NavoraWeb.redraw();
    });
    (document.head || document.documentElement).appendChild(link);
}

// What is wrong with the parts, or '' when every one is there and of this version.
function problems() {
    const found = [];
    for (const name of PARTS) {
        const file = `navora-web-${name}.js`;
        if (!(name in versions)) found.push(`${file} is missing or cannot be read`);
        else if (versions[name] !== VERSION) found.push(`${file} is of version ${versions[name]}`);
    }
    return found.join('; ');
}

// The message goes where each viewer would have gone; the applet's own text stays.
function refuse(why) {
    const text = `The index cannot be shown: the viewer's files beside this page are not all of ` +
        `version ${VERSION} (${why}). Write the page again with Tamblin to replace them.`;
    for (const applet of Array.from(document.getElementsByTagName('applet'))) {
        if (!isNavora(applet)) continue;
        const message = document.createElement('p');
        message.className = 'nv-refused';
        message.setAttribute('role', 'alert');
        message.textContent = text;
        applet.parentNode.insertBefore(message, applet);
    }
}

function loaded() {
    const why = problems();
    if (why) refuse(why);
    else shared.start();
}

function whenParsed(fn) {
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', fn);
    else fn();
}

// Over http the first index file of each viewer and its language file are asked for now,
// while the parts load, so the tree does not wait for them and then for the files. From disk
// nothing is asked early: the browser may refuse the files, and the viewer then reads their
// companions.
function preloadIndexes() {
    if (!/^https?:$/.test(location.protocol)) return;
    for (const applet of Array.from(document.getElementsByTagName('applet'))) {
        if (!isNavora(applet)) continue;
        const param = Array.from(applet.getElementsByTagName('param'))
            .find((p) => (p.getAttribute('name') || '').trim().toLowerCase() === 'index1');
        // "INDEX;ENCODING,LANGUAGE;ENCODING,..."
        const value = param ? param.getAttribute('value') || '' : '';
        for (const field of value.split(',').slice(0, 2)) {
            const file = field.split(';')[0].trim();
            if (!file) continue;
            const link = document.createElement('link');
            link.rel = 'preload';
            link.as = 'fetch';
            // As the viewer's own request is made: same origin, no credentials elsewhere.
            link.crossOrigin = 'anonymous';
            link.href = new URL(file, document.baseURI).href;
            (document.head || document.documentElement).appendChild(link);
        }
    }
}

addStyleSheet();
preloadIndexes();
let pending = PARTS.length;
const settle = () => {
    if (--pending === 0) whenParsed(loaded);
};
for (const name of PARTS) {
    const part = document.createElement('script');
    // Named by version, so that a browser's cache never mixes the parts of two versions.
    part.src = new URL(`navora-web-${name}.js?v=${encodeURIComponent(VERSION)}`, folder).href;
    part.async = false;
    part.addEventListener('load', settle);
    part.addEventListener('error', settle);
    (document.head || document.documentElement).appendChild(part);
}
})();
