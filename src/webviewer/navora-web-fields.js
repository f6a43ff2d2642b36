// The smallest pieces of an index file's records: fields, integers as the editor reads
// them, references by id.
(function (nv) {
'use strict';

const INT_MAX = 2147483647;
const INT_MIN = -2147483648;
const BAD = { bad: true };

function isCSpace(c) {
    return c === 32 || (c >= 9 && c <= 13);
}

// Leading decimal integer, saturated; a value of 0 from a field not starting with "0" is an
// error, as in the editor.
function parseInteger(text) {
    let i = 0;
    const n = text.length;
    while (i < n && isCSpace(text.charCodeAt(i))) ++i;
    let negative = false;
    if (i < n && (text[i] === '+' || text[i] === '-')) {
        negative = text[i] === '-';
        ++i;
    }
    let value = 0;
    for (; i < n; ++i) {
        const c = text.charCodeAt(i);
        if (c < 48 || c > 57) break;
        if (value <= INT_MAX) value = value * 10 + (c - 48);
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    if (value === 0 && (n === 0 || text[0] !== '0')) throw BAD;
    return value === 0 ? 0 : value;
}

function trimSpaces(text) {
    let begin = 0;
    let end = text.length;
    while (begin < end && text.charCodeAt(begin) === 32) ++begin;
    while (end > begin && text.charCodeAt(end - 1) === 32) --end;
    return begin === 0 && end === text.length ? text : text.slice(begin, end);
}

function isAbsoluteUrl(text) {
    for (let i = 0; i < text.length; ++i) {
        const c = text.charCodeAt(i);
        if (c === 58) return i > 0;
        if (!((c >= 65 && c <= 90) || (c >= 97 && c <= 122))) return false;
    }
    return false;
}

function ensureTrailingSlash(text) {
    return text !== '' && !text.endsWith('/') ? text + '/' : text;
}

// The fields of one record: ";" separates, a final ";" opens no further field. One cursor
// is reused for every line, so a large file makes no array per line.
class Fields {
    reset(line) {
        this.line = line;
        this.pos = 0;
        this.atStart = true;
    }
    skipPending() {
        if (!this.atStart && this.pos < this.line.length && this.line.charCodeAt(this.pos) === 59) {
            ++this.pos;
            this.atStart = true;
        }
    }
    has() {
        this.skipPending();
        return this.pos < this.line.length;
    }
    take() {
        this.skipPending();
        const line = this.line;
        if (this.pos >= line.length) throw BAD;
        let end = line.indexOf(';', this.pos);
        if (end < 0) end = line.length;
        const field = line.slice(this.pos, end);
        this.pos = end;
        this.atStart = false;
        return trimSpaces(field);
    }
}

// The id of a reference: the digits text[from .. to), saturated rather than wrapped.
function referenceId(text, from, to) {
    let value = 0;
    for (let i = from; i < to; ++i) {
        value = value * 10 + (text.charCodeAt(i) - 48);
        if (value > INT_MAX) return INT_MAX;
    }
    return value;
}

nv.INT_MAX = INT_MAX;
nv.BAD = BAD;
nv.parseInteger = parseInteger;
nv.trimSpaces = trimSpaces;
nv.isAbsoluteUrl = isAbsoluteUrl;
nv.ensureTrailingSlash = ensureTrailingSlash;
nv.Fields = Fields;
nv.referenceId = referenceId;
})(typeof NavoraWeb === 'object' ? NavoraWeb.part('fields', '@TAMBLIN_VERSION@')
    : (module.exports = global.NavoraWebParts = global.NavoraWebParts || {}));
