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

// Reads a file beside the page, taking what the loader read early where it did.
function readFile(url) {
    let early = null;
    try {
        early = NavoraWeb.takeEarly(new URL(url, document.baseURI).href);
    } catch (e) {
        early = null;
    }
    return early ? early.then((bytes) => bytes || readFileNow(url)) : readFileNow(url);
}

// XMLHttpRequest, because fetch() refuses file:// pages.
function readFileNow(url) {
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

// Runs `fn` in a task of its own, soon: a chain of them waits for no timer's clamp, and the
// page paints between them when a frame is due.
const queued = [];
let channel = null;
function nextTask(fn) {
    if (!channel) {
        channel = new MessageChannel();
        channel.port1.onmessage = () => {
            const next = queued.shift();
            if (next) next();
        };
    }
    queued.push(fn);
    channel.port2.postMessage(0);
}

// Runs the script at `src` (a function, so that a bad address rejects too) and settles with
// what its fixed wrapper hands over while it runs: the wrapper finds its taker in `waiting`
// by document.currentScript. Data files read this way work from disk, where Chromium
// refuses requests; `what` names them in the errors.
function dataByScript(src, waiting, what) {
    return new Promise((resolve, reject) => {
        const script = document.createElement('script');
        let settled = false;
        const settle = (fn, value) => {
            if (settled) return;
            settled = true;
            waiting.delete(script);
            script.remove();
            fn(value);
        };
        waiting.set(script, (data) => settle(resolve, data));
        // The script ran without handing anything over: not a file of this format.
        script.addEventListener('load', () => settle(reject, new Error('not a ' + what)));
        script.addEventListener('error', () => settle(reject, new Error('no ' + what)));
        try {
            script.src = src();
        } catch (e) {
            settle(reject, e);
            return;
        }
        (document.head || document.documentElement).appendChild(script);
    });
}

Object.assign(nv, {make, dataByScript, readFile, newId, afterPaint, nextTask});
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('dom', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
