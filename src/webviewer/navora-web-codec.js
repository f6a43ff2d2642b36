// Bytes to text, by the search page wizard's encoding names or, without one, as the
// editor chooses.
(function (nv) {
'use strict';

const WINDOWS_1252_HIGH = [
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
];

let nativeWindows1252 = null;

// Windows-1252 as browsers read it, where the five unassigned bytes stand for C1 controls.
// The engine's own decoder is used when it reads them so; the table below otherwise.
function decodeWindows1252(bytes) {
    if (nativeWindows1252 === null) {
        try {
            const decoder = new TextDecoder('windows-1252');
            const probe = decoder.decode(new Uint8Array([0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F, 0xFF]));
            nativeWindows1252 = probe === '\u20ac\u0081\u008d\u008f\u0090\u009d\u0178\u00ff' ? decoder : false;
        } catch (e) {
            nativeWindows1252 = false;
        }
    }
    if (nativeWindows1252) return nativeWindows1252.decode(bytes);
    return decodeWindows1252ByTable(bytes);
}

function decodeWindows1252ByTable(bytes) {
    const parts = [];
    const chunk = 8192;
    const codes = new Uint16Array(Math.min(chunk, bytes.length));
    for (let start = 0; start < bytes.length; start += chunk) {
        const end = Math.min(start + chunk, bytes.length);
        for (let i = start; i < end; ++i) {
            const b = bytes[i];
            codes[i - start] = b >= 0x80 && b < 0xA0 ? WINDOWS_1252_HIGH[b - 0x80] : b;
        }
        parts.push(String.fromCharCode.apply(null, codes.subarray(0, end - start)));
    }
    return parts.join('');
}

function hasUtf8Bom(bytes) {
    return bytes.length >= 3 && bytes[0] === 0xEF && bytes[1] === 0xBB && bytes[2] === 0xBF;
}

function tryDecode(label, bytes) {
    try {
        return new TextDecoder(label, { fatal: true }).decode(bytes);
    } catch (e) {
        return null;
    }
}

function decodeLenient(label, bytes) {
    try {
        return new TextDecoder(label).decode(bytes);
    } catch (e) {
        return decodeWindows1252(bytes);
    }
}

function decodeUtf16(bytes) {
    if (bytes.length >= 2 && bytes[0] === 0xFF && bytes[1] === 0xFE) {
        return decodeLenient('utf-16le', bytes.subarray(2));
    }
    if (bytes.length >= 2 && bytes[0] === 0xFE && bytes[1] === 0xFF) {
        return decodeLenient('utf-16be', bytes.subarray(2));
    }
    return decodeLenient('utf-16be', bytes);
}

// `encoding` is the search page wizard's name for it; empty means the editor's own choice:
// UTF-8 when every byte after a UTF-8 byte order mark is valid UTF-8, else Windows-1252.
function decodeBytes(bytes, encoding) {
    if (!(bytes instanceof Uint8Array)) bytes = new Uint8Array(bytes);
    const name = String(encoding || '').trim().toLowerCase();
    if (name === 'utf8' || name === 'utf-8') {
        return decodeLenient('utf-8', hasUtf8Bom(bytes) ? bytes.subarray(3) : bytes);
    }
    if (name === 'unicode') return decodeUtf16(bytes);
    if (name === '8859_1' || name === 'dbcs_ascii') {
        return decodeWindows1252(hasUtf8Bom(bytes) ? bytes.subarray(3) : bytes);
    }
    if (name === 'jisautodetect') {
        for (const label of ['shift_jis', 'euc-jp', 'iso-2022-jp']) {
            const text = tryDecode(label, bytes);
            if (text !== null) return text;
        }
        return decodeLenient('shift_jis', bytes);
    }
    const rest = hasUtf8Bom(bytes) ? bytes.subarray(3) : bytes;
    const text = tryDecode('utf-8', rest);
    return text !== null ? text : decodeWindows1252(bytes);
}

nv.decodeBytes = decodeBytes;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('codec', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
