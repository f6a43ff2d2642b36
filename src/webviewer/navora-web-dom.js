// What every part with a DOM shares: making elements, ids, reading files beside the page,
// waiting for a paint.
(function (nv) {
'use strict';

function make(tag, className, text) {
    const el = document.createElement(tag);
    if (className) el.className = className;
    if (text !== undefined) el.textContent = text;
    return el;
}

// Reads a file beside the page. XMLHttpRequest, because fetch() refuses file:// pages.
function readFile(url) {
    return new Promise((resolve, reject) => {
        let request;
        try {
            request = new XMLHttpRequest();
            request.open('GET', url, true);
            request.responseType = 'arraybuffer';
        } catch (e) {
            reject(e);
            return;
        }
        request.onload = () => {
            const ok = request.status === 200 || (request.status === 0 && request.response);
            if (ok) resolve(new Uint8Array(request.response));
            else reject(new Error(`HTTP ${request.status}`));
        };
        request.onerror = () => {
            if (typeof fetch !== 'function') {
                reject(new Error('not readable'));
                return;
            }
            fetch(url).then((r) => (r.ok ? r.arrayBuffer() : Promise.reject(new Error(`HTTP ${r.status}`))))
                .then((buffer) => resolve(new Uint8Array(buffer)), reject);
        };
        try {
            request.send();
        } catch (e) {
            reject(e);
        }
    });
}

let nextId = 1;

// An id no other element of the page has, ending in `suffix`.
function newId(suffix) {
    return `nv${nextId++}-${suffix || ''}`;
}

// Runs `fn` once the next frame is painted, or after a second where a hidden page paints none.
function afterPaint(fn) {
    let done = false;
    const run = () => {
        if (!done) {
            done = true;
            fn();
        }
    };
    requestAnimationFrame(() => setTimeout(run, 0));
    setTimeout(run, 1000);
}


nv.make = make;
nv.readFile = readFile;
nv.newId = newId;
nv.afterPaint = afterPaint;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('dom', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
