// Finds the page's Navora applets and puts a viewer in the place of each.
(function (nv) {
'use strict';
const { Viewer } = nv;

function appletParams(applet) {
    const params = new Map();
    for (const param of applet.querySelectorAll('param')) {
        const name = (param.getAttribute('name') || '').trim().toLowerCase();
        if (name && !params.has(name)) params.set(name, param.getAttribute('value') || '');
    }
    return params;
}

function sizeOf(applet, name, fallback) {
    const n = parseInt(applet.getAttribute(name) || '', 10);
    return n > 0 && n <= 4000 ? n : fallback;
}

const started = new WeakSet();
const viewers = [];

function startAll() {
    for (const applet of Array.from(document.getElementsByTagName('applet'))) {
        if (started.has(applet) || !NavoraWeb.isNavora(applet)) continue;
        started.add(applet);
        try {
            viewers.push(new Viewer(applet, appletParams(applet), sizeOf(applet, 'width', 400),
                sizeOf(applet, 'height', 300), viewers.length + 1));
        } catch (e) {
            // A viewer that fails leaves the page as it was, sorry text and all.
            applet.style.display = '';
        }
    }
}

// A page of the applet's days lays out at 980 px on a phone, where the viewer would be a
// thumbnail; the viewer asks for the device's width unless the page says otherwise.
function askForDeviceWidth() {
    if (document.querySelector('meta[name=viewport]')) return;
    const meta = document.createElement('meta');
    meta.name = 'viewport';
    meta.content = 'width=device-width, initial-scale=1';
    (document.head || document.documentElement).appendChild(meta);
}

// Rows are measured again once the style sheet gives them their height.
function redrawAll() {
    for (const viewer of viewers) viewer.drawLists();
}

// Called by the loader once every part is there and of its version.
nv.start = () => {
    Object.assign(NavoraWeb, {
        viewers, readIndex: nv.readIndex, readLanguage: nv.readLanguage, decodeBytes: nv.decodeBytes,
        start: startAll, redraw: redrawAll,
    });
    askForDeviceWidth();
    window.addEventListener('load', redrawAll);
    window.addEventListener('resize', redrawAll);
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', startAll);
    else startAll();
};
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('start', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
