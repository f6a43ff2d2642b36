// node fold_parity.js FOLD_DUMP WEBVIEWER_DIR: the viewer's word folding and word splitting
// against the scan's, over every code point and a set of texts.
'use strict';
const { execFileSync } = require('child_process');
const path = require('path');

const [dump, folder] = process.argv.slice(2);
require(path.join(folder, 'navora-web-search-fold.js'));
require(path.join(folder, 'navora-web-search-words.js'));
const nv = global.NavoraWebParts;

const texts = [
  'Hello, World! 3.11 os.path',
  'Ｆｕｌｌｗｉｄｔｈ ＡＢＣ１２３ ﬁle Straße ẞ İstanbul ǅ',
  'résumé naïve Ångström ΣΊΣΥΦΟΣ ς',
  '東京都に住んでいます。日本語のテキスト 中 文',
  '한국어 텍스트 𝐀𝐁𝐂 😀 emoji 𠀀𠀁',
  'soft\u00adhyphen zero\u200bwidth a\u0301b',
  'x'.repeat(80) + ' end',
  '\ud800 lone \udc00 surrogates',
];

const lines = [];
const folded = [];
for (let c = 0; c <= 0x10ffff; c += 1) {
  if (c >= 0xd800 && c <= 0xdfff) continue;
  folded.length = 0;
  nv.searchWords.fold(c, folded);
  let line = `${c.toString(16).toUpperCase()} ${nv.searchWords.kindOf(c)}`;
  for (const f of folded) line += ` ${f.toString(16).toUpperCase()}`;
  lines.push(line);
}
for (const text of texts) {
  lines.push(nv.searchWords.split(text).map((w) => `${w.word}@${w.start}-${w.end} `).join(''));
}
const ours = lines.join('\n') + '\n';
// Lone surrogates cannot be written in UTF-8: the scan never sees them, as a separator.
const input = texts.map((t) => t.replace(/[\ud800-\udfff]/g, (s, i, all) => {
  const pair = /[\ud800-\udbff][\udc00-\udfff]/.test(all.slice(i - 1, i + 1)) ||
    /[\ud800-\udbff][\udc00-\udfff]/.test(all.slice(i, i + 2));
  return pair ? s : '\ufffd';
})).join('\n') + '\n';
const theirs = execFileSync(dump, { input, maxBuffer: 1 << 26 }).toString('utf8');
if (ours !== theirs) {
  const a = ours.split('\n');
  const b = theirs.split('\n');
  let shown = 0;
  for (let i = 0; i < Math.max(a.length, b.length) && shown < 20; i += 1) {
    if (a[i] !== b[i]) {
      console.error(`script: ${a[i]}\n   C++: ${b[i]}`);
      shown += 1;
    }
  }
  process.exit(1);
}
console.log(`fold parity: ${lines.length} lines agree`);
