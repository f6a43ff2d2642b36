#!/usr/bin/env node
// Writes src/scanner/WebEncodingTables.cpp: the labels of every encoding browsers read and
// the tables their decoders look bytes up in, taken from the TextDecoder of a real browser
// (headless Chromium), the reference the scanner's decoding is held to. Node's TextDecoder
// is not one: its ICU reads IBM866's 0x1A, 0x1C and 0x7F as other controls, loses
// windows-1252's 0xFF, and decodes GBK without gb18030's four-byte sequences.
//   node scripts/gen_web_encodings.js > src/scanner/WebEncodingTables.cpp
'use strict';
const { runInBrowser } = require('./browser_run.js');

function tables() {

// Encoding names in the order of WebEncoding::Kind, with their labels.
const encodings = [
  ['UTF-8', 'unicode-1-1-utf-8 unicode11utf8 unicode20utf8 utf-8 utf8 x-unicode20utf8'],
  ['IBM866', '866 cp866 csibm866 ibm866'],
  ['ISO-8859-2', 'csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 iso_8859-2:1987 l2 latin2'],
  ['ISO-8859-3', 'csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 iso_8859-3:1988 l3 latin3'],
  ['ISO-8859-4', 'csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 iso_8859-4:1988 l4 latin4'],
  ['ISO-8859-5', 'csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 iso88595 iso_8859-5 iso_8859-5:1988'],
  ['ISO-8859-6', 'arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 iso-8859-6 iso-8859-6-e iso-8859-6-i iso-ir-127 iso8859-6 iso88596 iso_8859-6 iso_8859-6:1987'],
  ['ISO-8859-7', 'csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 iso-ir-126 iso8859-7 iso88597 iso_8859-7 iso_8859-7:1987 sun_eu_greek'],
  ['ISO-8859-8', 'csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e iso-ir-138 iso8859-8 iso88598 iso_8859-8 iso_8859-8:1988 visual'],
  ['ISO-8859-8-I', 'csiso88598i iso-8859-8-i logical'],
  ['ISO-8859-10', 'csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6'],
  ['ISO-8859-13', 'iso-8859-13 iso8859-13 iso885913'],
  ['ISO-8859-14', 'iso-8859-14 iso8859-14 iso885914'],
  ['ISO-8859-15', 'csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9'],
  ['ISO-8859-16', 'iso-8859-16'],
  ['KOI8-R', 'cskoi8r koi koi8 koi8-r koi8_r'],
  ['KOI8-U', 'koi8-ru koi8-u'],
  ['macintosh', 'csmacintosh mac macintosh x-mac-roman'],
  ['windows-874', 'dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874'],
  ['windows-1250', 'cp1250 windows-1250 x-cp1250'],
  ['windows-1251', 'cp1251 windows-1251 x-cp1251'],
  ['windows-1252', 'ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 iso-ir-100 iso8859-1 iso88591 iso_8859-1 iso_8859-1:1987 l1 latin1 us-ascii windows-1252 x-cp1252'],
  ['windows-1253', 'cp1253 windows-1253 x-cp1253'],
  ['windows-1254', 'cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 iso_8859-9 iso_8859-9:1989 l5 latin5 windows-1254 x-cp1254'],
  ['windows-1255', 'cp1255 windows-1255 x-cp1255'],
  ['windows-1256', 'cp1256 windows-1256 x-cp1256'],
  ['windows-1257', 'cp1257 windows-1257 x-cp1257'],
  ['windows-1258', 'cp1258 windows-1258 x-cp1258'],
  ['x-mac-cyrillic', 'x-mac-cyrillic x-mac-ukrainian'],
  ['GBK', 'chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk iso-ir-58 x-gbk'],
  ['gb18030', 'gb18030'],
  ['Big5', 'big5 big5-hkscs cn-big5 csbig5 x-x-big5'],
  ['EUC-JP', 'cseucpkdfmtjapanese euc-jp x-euc-jp'],
  ['ISO-2022-JP', 'csiso2022jp iso-2022-jp'],
  ['Shift_JIS', 'csshiftjis ms932 ms_kanji shift-jis shift_jis sjis windows-31j x-sjis'],
  ['EUC-KR', 'cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 ks_c_5601-1989 ksc5601 ksc_5601 windows-949'],
  ['replacement', 'csiso2022kr hz-gb-2312 iso-2022-cn iso-2022-cn-ext iso-2022-kr replacement'],
  ['UTF-16BE', 'unicodefffe utf-16be'],
  ['UTF-16LE', 'csunicode iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le'],
  ['x-user-defined', 'x-user-defined'],
];
const singleByte = encodings.slice(1, 29).map(([name]) => name);

function decoder(name) {
  return new TextDecoder(name, { fatal: false, ignoreBOM: true });
}

// The browser knows every label but those of the encoding its TextDecoder refuses.
for (const [name, labels] of encodings) {
  if (name === 'replacement') continue;
  for (const label of labels.split(' ')) {
    const got = decoder(label).encoding.toLowerCase();
    if (got !== name.toLowerCase()) throw new Error(`${label}: ${got}, not ${name}`);
  }
}

// The one code point `bytes` decode to, or 0 when they decode to anything else.
// A fresh decoder each time: the browser's EUC-JP keeps its JIS X 0212 state past a flush.
function single(dec, bytes) {
  const text = decoder(dec.encoding).decode(Uint8Array.from(bytes));
  const points = Array.from(text, (c) => c.codePointAt(0));
  return points.length === 1 && points[0] !== 0xfffd ? points[0] : 0;
}

function table(count, bytesOf, dec) {
  const values = [];
  for (let pointer = 0; pointer < count; ++pointer) values.push(single(dec, bytesOf(pointer)));
  return values;
}

const out = [];
function emit(line) { out.push(line); }
function array(type, name, values) {
  emit(`const ${type} ${name}[${values.length}] = {`);
  for (let i = 0; i < values.length; i += 16) {
    emit('    ' + values.slice(i, i + 16).join(',') + ',');
  }
  emit('};');
  emit('');
}

emit('// Generated by scripts/gen_web_encodings.js from Node\'s TextDecoder; do not edit.');
emit('// clang-format off');
emit('#include "scanner/WebEncodingTables.h"');
emit('');
emit('namespace tamblin::webencoding {');
emit('');
const labelRows = [];
encodings.forEach(([, labels], kind) => {
  for (const label of labels.split(' ')) labelRows.push([label, kind]);
});
labelRows.sort((a, b) => (a[0] < b[0] ? -1 : a[0] > b[0] ? 1 : 0));
emit(`const Label kLabels[${labelRows.length}] = {`);
for (const [label, kind] of labelRows) emit(`    {"${label}", ${kind}},`);
emit('};');
emit(`const size_t kLabelCount = ${labelRows.length};`);
emit(`const char* const kNames[${encodings.length}] = {`);
for (const [name] of encodings) emit(`    "${name}",`);
emit('};');
emit('');
const high = [];
for (const name of singleByte) {
  const dec = decoder(name);
  for (let b = 0x80; b < 0x100; ++b) high.push(single(dec, [b]));
}
array('char16_t', 'kSingleByte', high);

// Shift_JIS reaches every pointer of the JIS X 0208 index but the ones it maps to the
// private use area itself (8836 to 10715); EUC-JP reaches the rest of the rows below 94.
const sjis = decoder('shift_jis');
const eucjp = decoder('euc-jp');
array('char16_t', 'kJis0208', table(60 * 188, (p) => {
  if (p >= 8836 && p < 10716) return [0xff]; // never mapped by the index
  const lead = Math.floor(p / 188);
  const trail = p % 188;
  return [lead < 0x1f ? lead + 0x81 : lead + 0xc1, trail < 0x3f ? trail + 0x40 : trail + 0x41];
}, sjis));
array('char16_t', 'kJis0212', table(94 * 94, (p) => [0x8f, Math.floor(p / 94) + 0xa1, (p % 94) + 0xa1], eucjp));
array('char16_t', 'kEucKr', table(126 * 190, (p) => [Math.floor(p / 190) + 0x81, (p % 190) + 0x41], decoder('euc-kr')));
const gb = decoder('gb18030');
array('char16_t', 'kGb18030', table(126 * 190, (p) => {
  const trail = p % 190;
  return [Math.floor(p / 190) + 0x81, trail < 0x3f ? trail + 0x40 : trail + 0x41];
}, gb));
array('char32_t', 'kBig5', table(126 * 157, (p) => {
  const trail = p % 157;
  return [Math.floor(p / 157) + 0x81, trail < 0x3f ? trail + 0x40 : trail + 0x62];
}, decoder('big5')));

// Four-byte gb18030 below U+10000 as ranges of consecutive code points: [pointer, first].
const ranges = [];
let last = null;
for (let p = 0; p <= 39419; ++p) {
  const b4 = 0x30 + (p % 10);
  const b3 = 0x81 + (Math.floor(p / 10) % 126);
  const b2 = 0x30 + (Math.floor(p / 1260) % 10);
  const b1 = 0x81 + Math.floor(p / 12600);
  const cp = single(gb, [b1, b2, b3, b4]);
  if (last === null || cp !== last.cp + (p - last.p) || cp === 0) {
    last = { p, cp };
    ranges.push(`${p},${cp}`);
  }
}
emit(`const GbRange kGbRanges[${ranges.length}] = {`);
for (let i = 0; i < ranges.length; i += 8) {
  emit('    ' + ranges.slice(i, i + 8).map((r) => `{${r}}`).join(',') + ',');
}
emit('};');
emit(`const size_t kGbRangeCount = ${ranges.length};`);
emit('');
emit('} // namespace tamblin::webencoding');
return out.join('\n') + '\n';
}

process.stdout.write(runInBrowser(tables.toString() + '\nreturn tables();'));
