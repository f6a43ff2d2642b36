// Companion scripts: the bytes of a file beside the page, for pages read from disk.
//
// Chromium refuses a file:// page's every request for the files beside it, but runs the
// scripts the page adds. Tamblin writes beside each index and language file a companion named
// after it with ".js" added (site.xo.js), which calls navoraCompanion(1, "<the file's bytes
// in base64>"). readFile asks for the file itself first and for its companion only where
// that fails, so over http a stale companion never shows.
(function (nv) {
'use strict';

const readFileItself = nv.readFile;
// Script element -> what takes its bytes; a companion that no viewer asked for is ignored.
const waiting = new Map();

function companionUrl(url) {
    const u = new URL(url, document.baseURI);
    u.hash = '';
    u.pathname += '.js';
    return u.href;
}

function readCompanion(url) {
    return nv.dataByScript(() => companionUrl(url), waiting, 'companion');
}

// Called by a companion as it runs.
function takeCompanion(version, data) {
    const deliver = waiting.get(document.currentScript);
    if (!deliver || version !== 1 || typeof data !== 'string') return;
    let binary;
    try {
        binary = atob(data);
    } catch (e) {
        return;
    }
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; i += 1) bytes[i] = binary.charCodeAt(i);
    deliver(bytes);
}

// Whether this browser refuses the page's requests for files on disk, found by asking for
// the page itself, which is there: a missing file is another matter.
let refusal = null;
function refusesFiles() {
    if (location.protocol !== 'file:') return Promise.resolve(false);
    if (!refusal) {
        refusal = readFileItself(location.href.replace(/#.*$/, '')).then(() => false, () => true);
    }
    return refusal;
}

// The file itself, or else its companion. A failure in a browser that refuses files on disk
// is marked, for the message.
function readFile(url) {
    return readFileItself(url).catch((error) => readCompanion(url).catch(async () => {
        error.refusedFromDisk = await refusesFiles();
        throw error;
    }));
}

// Why a file could not be read and what to do, where that is known; '' otherwise.
function notReadAdvice(file, error) {
    if (!error || !error.refusedFromDisk) return '';
    return 'This browser does not let a page opened from disk read the files beside it. Open '
        + 'the page from a web server, or write the page again with Tamblin, which puts a copy '
        + `this browser can read beside the file (${file}.js).`;
}

if (typeof window.navoraCompanion !== 'function') window.navoraCompanion = takeCompanion;
Object.assign(nv, {readFile, notReadAdvice});
})(NavoraWeb.part('companion', '@TAMBLIN_VERSION@'));
